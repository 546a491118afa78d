#include "platform/csv.h"

#include <QFile>
#include <QSaveFile>
#include <charconv>
#include <cmath>

namespace platform {

namespace {
constexpr char kSeparator = ';';
constexpr const char* kLineEnd = "\r\n";
constexpr const char kByteOrderMark[] = "\xEF\xBB\xBF";
}  // namespace

QString csvField(const QString& text) {
    const bool quoted =
        text.contains(QLatin1Char(kSeparator)) || text.contains(u'"') || text.contains(u'\n') || text.contains(u'\r');
    if (!quoted) return text;
    QString doubled = text;
    doubled.replace(QStringLiteral("\""), QStringLiteral("\"\""));
    return u'"' + doubled + u'"';
}

QString csvLine(const QStringList& fields) {
    QStringList out;
    out.reserve(fields.size());
    for (const QString& field : fields) out << csvField(field);
    return out.join(QLatin1Char(kSeparator)) + QString::fromLatin1(kLineEnd);
}

QByteArray csvDocument(const std::vector<QStringList>& lines) {
    QByteArray bytes(kByteOrderMark);
    for (const QStringList& line : lines) bytes += csvLine(line).toUtf8();
    return bytes;
}

QString csvNumber(double value, int decimals) {
    if (!std::isfinite(value)) return {};
    // Rounded as "%.2f" rounds (an exact half to even), so that a figure reads as on screen.
    char buffer[400];
    const auto [end, ec] = std::to_chars(buffer, buffer + sizeof buffer, value, std::chars_format::fixed, decimals);
    if (ec != std::errc()) return {};
    return QString::fromLatin1(buffer, end - buffer).replace(u'.', u',');
}

QString csvText(const QString& text) {
    // A spreadsheet skips a leading tab or carriage return and reads the formula behind it.
    if (!text.isEmpty() && QStringLiteral("=+-@\t\r").contains(text.front())) return u'\'' + text;
    return text;
}

QString writeCsvFile(const QString& path, const std::vector<QStringList>& lines) {
    // Written aside and renamed at the end: a failed write leaves the file that was there.
    QSaveFile file(path);
    if (!file.open(QIODevice::WriteOnly)) return file.errorString();
    file.write(csvDocument(lines));
    if (!file.commit()) return file.errorString();
    return {};
}

}  // namespace platform
