#include <gtest/gtest.h>

#include <QFile>
#include <QTemporaryDir>
#include <limits>

#include "platform/csv.h"
#include "tests/support/qt_print.h"

namespace {

TEST(Csv, FieldsAreQuotedOnlyWhenTheyMustBe) {
    struct Case {
        const char* field;
        const char* written;
    };
    const Case cases[] = {
        {"Contrat ok", "Contrat ok"},
        {"", ""},
        {"Attente ; retour", "\"Attente ; retour\""},
        {"dit \"oui\"", "\"dit \"\"oui\"\"\""},
        {"deux\nlignes", "\"deux\nlignes\""},
        {"fin\r", "\"fin\r\""},
        {"Théâtre, été", "Théâtre, été"},  // a comma is not the separator here
    };
    for (const Case& c : cases)
        EXPECT_EQ(platform::csvField(QString::fromUtf8(c.field)), QString::fromUtf8(c.written)) << c.field;
}

TEST(Csv, DocumentIsUtf8BehindAByteOrderMarkWithCrLfLines) {
    const QByteArray doc =
        platform::csvDocument({{QStringLiteral("Salle"), QStringLiteral("Suivi")},
                               {QString::fromUtf8("Grande salle"), QString::fromUtf8("Clôturé; ok")}});
    EXPECT_EQ(doc, QByteArray("\xEF\xBB\xBF"
                              "Salle;Suivi\r\nGrande salle;\"Cl\xC3\xB4tur\xC3\xA9; ok\"\r\n"));
    EXPECT_EQ(platform::csvDocument({}), QByteArray("\xEF\xBB\xBF"));
}

TEST(Csv, NumbersUseADecimalComma) {
    EXPECT_EQ(platform::csvNumber(350.5, 2), QStringLiteral("350,50"));
    EXPECT_EQ(platform::csvNumber(-2, 0), QStringLiteral("-2"));
    EXPECT_EQ(platform::csvNumber(1234567.891, 2), QStringLiteral("1234567,89"));
    EXPECT_EQ(platform::csvNumber(2.675, 2), QStringLiteral("2,67")) << "as the sales overview's %.2f writes it";
    EXPECT_EQ(platform::csvNumber(-3.125, 2), QStringLiteral("-3,12"));
    EXPECT_EQ(platform::csvNumber(std::numeric_limits<double>::infinity(), 2), QString());
    EXPECT_EQ(platform::csvNumber(std::numeric_limits<double>::quiet_NaN(), 2), QString());
}

TEST(Csv, OutsideTextsNeverRunAsFormulas) {
    struct Case {
        const char* text;
        const char* field;
    };
    const Case cases[] = {
        {"Les Fâcheux", "Les Fâcheux"},
        {"", ""},
        {"=1+1", "'=1+1"},
        {"+33 6", "'+33 6"},
        {"-20 %", "'-20 %"},
        {"@SOMME(A1)", "'@SOMME(A1)"},
        {"=A;B", "\"'=A;B\""},
        {"Ça = ça", "Ça = ça"},
        {"\t=1+1", "'\t=1+1"},
        {"\r=1+1", "\"'\r=1+1\""},
        {"a\t=1", "a\t=1"},
    };
    for (const Case& c : cases)
        EXPECT_EQ(platform::csvField(platform::csvText(QString::fromUtf8(c.text))), QString::fromUtf8(c.field))
            << c.text;
}

TEST(Csv, WritingReplacesTheFileOrSaysWhyNot) {
    QTemporaryDir dir;
    const QString path = dir.filePath(QStringLiteral("suivi.csv"));
    EXPECT_EQ(platform::writeCsvFile(path, {{QStringLiteral("a")}}), QString());
    EXPECT_EQ(platform::writeCsvFile(path, {{QStringLiteral("b")}}), QString());
    QFile file(path);
    ASSERT_TRUE(file.open(QIODevice::ReadOnly));
    EXPECT_EQ(file.readAll(), QByteArray("\xEF\xBB\xBF"
                                         "b\r\n"));
    EXPECT_FALSE(
        platform::writeCsvFile(dir.filePath(QStringLiteral("absent/suivi.csv")), {{QStringLiteral("a")}}).isEmpty());
}

}  // namespace
