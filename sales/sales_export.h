// The sales overview's performance list and totals as a spreadsheet file: one row per
// performance kept, in the view's order, then the totals; seats, euros and averages each in a
// numeric column of their own.
#pragma once

#include <QStringList>
#include <vector>

#include "sales/aggregation.h"
#include "sales/ticketing_data.h"

namespace sales {

inline constexpr const char* kExportTitle = "Exporter les ventes";
inline constexpr const char* kExportFileName = "ventes.csv";
inline constexpr const char* kTotalLabel = "Total";
inline constexpr const char* kNothingToExport =
    "Aucune donnée de billetterie à exporter : le serveur n'a encore rien donné.";

// The lines of the file, for platform::writeCsvFile.
std::vector<QStringList> salesCsvLines(const TicketingData& data, const SalesIndex& index, const AggregateResult& kept);

}  // namespace sales
