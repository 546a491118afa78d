#include "platform/csv.h"

#include <QSaveFile>
#include <charconv>
#include <cmath>

namespace platform {

void CsvText::startField() {
    if (rowStarted_) content_ += kCsvSeparator;
    rowStarted_ = true;
}

CsvText& CsvText::text(const QString& value) {
    startField();
    QString field = value;
    if (!field.isEmpty() && QStringLiteral("=+-@").contains(field.front())) field.prepend(u'\'');
    const bool quoted = field.contains(kCsvSeparator) || field.contains(u'"') || field.contains(u'\n') ||
                        field.contains(u'\r');
    if (quoted) {
        field.replace(QStringLiteral("\""), QStringLiteral("\"\""));
        field = u'"' + field + u'"';
    }
    content_ += field;
    return *this;
}

CsvText& CsvText::number(double value, int decimals) {
    startField();
    if (!std::isfinite(value)) return *this;
    char buffer[400];
    const auto [end, ec] = std::to_chars(buffer, buffer + sizeof buffer, value, std::chars_format::fixed, decimals);
    if (ec != std::errc()) return *this;
    QString written = QString::fromLatin1(buffer, end - buffer);
    written.replace(u'.', u',');
    content_ += written;
    return *this;
}

CsvText& CsvText::integer(int64_t value) {
    startField();
    content_ += QString::number(value);
    return *this;
}

CsvText& CsvText::empty() {
    startField();
    return *this;
}

void CsvText::endRow() {
    content_ += QStringLiteral("\r\n");
    rowStarted_ = false;
}

QByteArray CsvText::bytes() const { return QByteArray("\xEF\xBB\xBF") + content_.toUtf8(); }

bool writeFile(const QString& path, const QByteArray& bytes) {
    // Written aside and put in place at the end: a failure leaves no half file.
    QSaveFile file(path);
    if (!file.open(QIODevice::WriteOnly)) return false;
    if (file.write(bytes) != bytes.size()) {
        file.cancelWriting();
        return false;
    }
    return file.commit();
}

}  // namespace platform
