// Tables written for a French spreadsheet: fields separated by ";", lines ended by CR LF, the
// whole in UTF-8 behind a byte-order mark (without it the spreadsheet reads the accents in
// the system's code page). A field holding the separator, a quote or a line break is quoted,
// its quotes doubled. Numbers use a decimal comma.
#pragma once

#include <QByteArray>
#include <QString>
#include <QStringList>
#include <vector>

namespace platform {

QString csvField(const QString& text);
// One line of fields, with its line end.
QString csvLine(const QStringList& fields);
// The whole file: the byte-order mark, then each line in UTF-8.
QByteArray csvDocument(const std::vector<QStringList>& lines);
// A number as a French spreadsheet reads it: a decimal comma, no thousands separator. One that
// is no finite number (a sum of malformed prices) leaves the field empty.
QString csvNumber(double value, int decimals);
// A text that came from outside the program (a name read from a database): one that starts as
// a formula does (=, +, -, @, or a tab or carriage return before one) is given a leading apostrophe, so that the
// spreadsheet shows it rather than running it.
QString csvText(const QString& text);

inline constexpr const char* kCsvFilter = "Fichier CSV (*.csv)";
inline constexpr const char* kCsvWriteFailedFormat = "Impossible d'écrire le fichier %1 : %2";

// Writes the document to `path`, replacing it; an empty text when done, else what failed.
QString writeCsvFile(const QString& path, const std::vector<QStringList>& lines);

}  // namespace platform
