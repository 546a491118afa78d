#include <gtest/gtest.h>

#include <QFile>
#include <QTemporaryDir>

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
    for (const Case& c : cases) EXPECT_EQ(platform::csvField(QString::fromUtf8(c.field)), QString::fromUtf8(c.written)) << c.field;
}

TEST(Csv, DocumentIsUtf8BehindAByteOrderMarkWithCrLfLines) {
    const QByteArray doc = platform::csvDocument({{QStringLiteral("Salle"), QStringLiteral("Suivi")},
                                                  {QString::fromUtf8("Grande salle"), QString::fromUtf8("Clôturé; ok")}});
    EXPECT_EQ(doc, QByteArray("\xEF\xBB\xBF" "Salle;Suivi\r\nGrande salle;\"Cl\xC3\xB4tur\xC3\xA9; ok\"\r\n"));
    EXPECT_EQ(platform::csvDocument({}), QByteArray("\xEF\xBB\xBF"));
}

TEST(Csv, NumbersUseADecimalComma) {
    EXPECT_EQ(platform::csvNumber(350.5, 2), QStringLiteral("350,50"));
    EXPECT_EQ(platform::csvNumber(-2, 0), QStringLiteral("-2"));
    EXPECT_EQ(platform::csvNumber(1234567.891, 2), QStringLiteral("1234567,89"));
}

TEST(Csv, WritingReplacesTheFileOrSaysWhyNot) {
    QTemporaryDir dir;
    const QString path = dir.filePath(QStringLiteral("suivi.csv"));
    EXPECT_EQ(platform::writeCsvFile(path, {{QStringLiteral("a")}}), QString());
    EXPECT_EQ(platform::writeCsvFile(path, {{QStringLiteral("b")}}), QString());
    QFile file(path);
    ASSERT_TRUE(file.open(QIODevice::ReadOnly));
    EXPECT_EQ(file.readAll(), QByteArray("\xEF\xBB\xBF" "b\r\n"));
    EXPECT_FALSE(platform::writeCsvFile(dir.filePath(QStringLiteral("absent/suivi.csv")), {{QStringLiteral("a")}}).isEmpty());
}

}  // namespace
