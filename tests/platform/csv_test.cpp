#include <gtest/gtest.h>

#include <QDir>
#include <QFile>
#include <limits>

#include "platform/csv.h"

namespace {

QString q(const char* utf8) { return QString::fromUtf8(utf8); }

// One field written alone, as it stands in the row.
QString field(const std::function<void(platform::CsvText&)>& write) {
    platform::CsvText csv;
    write(csv);
    const QByteArray bytes = csv.bytes();
    return QString::fromUtf8(bytes.mid(3));
}

TEST(Csv, FieldsAsAFrenchSpreadsheetReadsThem) {
    struct TextCase {
        const char* value;
        const char* written;
    };
    const TextCase texts[] = {
        {"Les Fâcheux", "Les Fâcheux"},
        {"", ""},
        {"Un; deux", "\"Un; deux\""},
        {"Le \"Bal\"", "\"Le \"\"Bal\"\"\""},
        {"Deux\r\nlignes", "\"Deux\r\nlignes\""},
        {"=1+1", "'=1+1"},                            // never run as a formula
        {"+33 6", "'+33 6"},
        {"-20 %", "'-20 %"},
        {"@SOMME(A1)", "'@SOMME(A1)"},
        {"=A;B", "\"'=A;B\""},
        {"Ça tourne !", "Ça tourne !"},
    };
    for (const TextCase& c : texts) EXPECT_EQ(field([&](auto& csv) { csv.text(q(c.value)); }), q(c.written)) << c.value;

    struct NumberCase {
        double value;
        int decimals;
        const char* written;
    };
    const NumberCase numbers[] = {
        {1234.5, 2, "1234,50"},  // no grouping: the spreadsheet reads a number
        {0.0, 2, "0,00"},
        {-3.125, 2, "-3,12"},
        {10.0 / 3, 2, "3,33"},
        {2.675, 2, "2,67"},  // as the view's "%.2f" writes it
        {7, 0, "7"},
        {std::numeric_limits<double>::infinity(), 2, ""},
        {std::numeric_limits<double>::quiet_NaN(), 2, ""},
    };
    for (const NumberCase& c : numbers)
        EXPECT_EQ(field([&](auto& csv) { csv.number(c.value, c.decimals); }), q(c.written)) << c.value;
    EXPECT_EQ(field([](auto& csv) { csv.integer(-12); }), q("-12"));
}

TEST(Csv, RowsFileAndByteOrderMark) {
    platform::CsvText csv;
    csv.text(q("a")).empty().integer(3);
    csv.endRow();
    csv.endRow();
    csv.number(1.5, 1);
    csv.endRow();
    EXPECT_EQ(csv.bytes(), QByteArray("\xEF\xBB\xBF" "a;;3\r\n\r\n1,5\r\n"));

    const QString path = QDir::temp().filePath(QStringLiteral("brelo-csv-test.csv"));
    QFile::remove(path);
    ASSERT_TRUE(platform::writeFile(path, csv.bytes()));
    QFile file(path);
    ASSERT_TRUE(file.open(QIODevice::ReadOnly));
    EXPECT_EQ(file.readAll(), csv.bytes());
    file.close();
    QFile::remove(path);
    EXPECT_FALSE(platform::writeFile(QDir::temp().filePath(QStringLiteral("no-such-folder-brelo/x.csv")), csv.bytes()));
}

}  // namespace
