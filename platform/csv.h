// Text for a spreadsheet, written as a French spreadsheet opens it as it is: fields separated
// by ";", numbers with a decimal comma and no grouping (so that they read as numbers, not
// texts), a field quoted when it holds ";", a quote or a line break, rows ended by CR LF, and
// the whole in UTF-8 after a byte-order mark (without it, the spreadsheet reads the file in
// the system's code page and the accents come out wrong).
#pragma once

#include <QByteArray>
#include <QString>
#include <cstdint>

namespace platform {

inline constexpr QChar kCsvSeparator = u';';

class CsvText {
public:
    // A text field. One that starts like a formula (=, +, -, @) is given a leading
    // apostrophe, so that a name typed by anyone is never run as one.
    CsvText& text(const QString& value);
    // A number with this many decimals; one that is no finite number leaves the field empty.
    CsvText& number(double value, int decimals);
    CsvText& integer(int64_t value);
    CsvText& empty();
    void endRow();

    // The file's bytes: the byte-order mark, then the rows.
    QByteArray bytes() const;

private:
    void startField();
    QString content_;
    bool rowStarted_ = false;
};

// Writes a file whole; false when it cannot be written.
bool writeFile(const QString& path, const QByteArray& bytes);

}  // namespace platform
