// The sales overview's performance list and totals as a spreadsheet file: one row per
// performance kept, in the view's order, then the totals; seats, euros and averages each in a
// numeric column of their own.
#pragma once

#include <QByteArray>

#include "sales/aggregation.h"
#include "sales/ticketing_data.h"

namespace sales {

inline constexpr const char* kExportTitle = "Exporter les ventes";
inline constexpr const char* kExportFilter = "Fichiers CSV (*.csv)";
inline constexpr const char* kExportFileName = "ventes.csv";
inline constexpr const char* kExportFailedFormat = "Impossible d'écrire le fichier %1";
inline constexpr const char* kNothingToExport = "Aucune donnée de billetterie à exporter : le serveur n'a encore rien donné.";
inline constexpr const char* kTotalLabel = "Total";

QByteArray salesCsv(const TicketingData& data, const SalesIndex& index, const AggregateResult& kept);

}  // namespace sales
