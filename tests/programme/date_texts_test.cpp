#include <gtest/gtest.h>

#include <QLocale>
#include <clocale>

#include "programme/date_texts.h"
#include "tests/support/text.h"

namespace {

TEST(DateTexts, LongFrenchDateWhateverTheProcessLocale) {
    // A French process locale must not turn the C abbreviations into names the tables miss.
    const std::string previous = std::setlocale(LC_ALL, nullptr);
    std::setlocale(LC_ALL, "fr_FR.UTF-8");
    QLocale::setDefault(QLocale(QLocale::French, QLocale::France));

    EXPECT_EQ(programme::longFrenchDate(QStringLiteral("2019-07-05")), q("Vendredi 05 Juillet 2019"));
    EXPECT_EQ(programme::longFrenchDate(QStringLiteral("2019-08-14")), q("Mercredi 14 Août 2019"));
    EXPECT_EQ(programme::longFrenchDate(QStringLiteral("2020-12-01")), q("Mardi 01 Décembre 2020"));
    EXPECT_EQ(programme::longFrenchDate(QStringLiteral("2024-02-25")), q("Dimanche 25 Février 2024"));
    // Texts that make no date give nothing rather than a made-up day.
    EXPECT_EQ(programme::longFrenchDate(QStringLiteral("2019-02-30")), QString());
    EXPECT_EQ(programme::longFrenchDate(QString()), QString());

    QLocale::setDefault(QLocale::c());
    std::setlocale(LC_ALL, previous.c_str());
}

TEST(DateTexts, ShortTimeAndTheFixedPositionReaders) {
    EXPECT_EQ(programme::shortTimeText(QStringLiteral("09:05:00")), QStringLiteral(" 9:05"));
    EXPECT_EQ(programme::shortTimeText(QStringLiteral("21:30:00")), QStringLiteral("21:30"));
    EXPECT_EQ(programme::shortTimeText(QStringLiteral("7:5")), QStringLiteral(" 7:00"));  // positions, not separators

    unsigned year = 1, month = 1, day = 1;
    programme::readIsoDate(QStringLiteral("2019-07-05"), &year, &month, &day);
    EXPECT_EQ(year, 2019u);
    EXPECT_EQ(month, 7u);
    EXPECT_EQ(day, 5u);
    day = 99;
    programme::readIsoDate(QStringLiteral("2019-07"), &year, nullptr, &day);
    EXPECT_EQ(day, 7u);  // the last two characters, whatever they are
    programme::readIsoDate(QStringLiteral("abcd-ef-gh"), &year, &month, &day);
    EXPECT_EQ(year, 0u);
    EXPECT_EQ(month, 0u);
    EXPECT_EQ(day, 0u);
}

TEST(DateTexts, DayMonthYearReader) {
    unsigned a = 42, b = 42, y = 42;
    EXPECT_EQ(programme::readDayMonthYear(QString(), &a, &b, &y), -1);
    EXPECT_EQ(programme::readDayMonthYear(QStringLiteral("7.6.2019"), &a, &b, &y), -1);
    EXPECT_EQ(a, 42u);
    EXPECT_EQ(programme::readDayMonthYear(QStringLiteral("7/6"), &a, &b, &y), -1);
    EXPECT_EQ(a, 7u);
    EXPECT_EQ(b, 6u);
    EXPECT_EQ(y, 42u);
    EXPECT_EQ(programme::readDayMonthYear(QStringLiteral("12/11/20195:350"), &a, &b, &y), 0);
    EXPECT_EQ(a, 12u);
    EXPECT_EQ(b, 11u);
    EXPECT_EQ(y, 2019u);
    EXPECT_EQ(programme::readDayMonthYear(QStringLiteral("1/2/"), nullptr, nullptr, &y), 0);
    EXPECT_EQ(y, 0u);
}

}  // namespace
