#include <gtest/gtest.h>

#include <cmath>
#include <limits>

#include "platform/csv.h"
#include "sales/chart_axes.h"
#include "sales/chart_numbers.h"
#include "sales/room_capacities.h"
#include "sales/sales_export.h"
#include "tests/sales/sales_print.h"
#include "tests/support/text.h"

namespace {

using sales::ChartNumbers;
using sales::RoomCapacities;
using sales::TicketingData;

TEST(SalesRoomCapacities, TheProgrammeRoomOfTheSameCodeGivesTheSeats) {
    RoomCapacities rooms;
    rooms.add(q("KQ"), q("90 places"));
    rooms.add(q(" zod "), q("220 places assises"));
    rooms.add(q("ZAZ"), q("selon configuration"));  // no number: no capacity
    rooms.add(q("ZAZ"), q("140"));                  // a later room with one gives it
    rooms.add(q("KQ"), q("500"));                   // the first that gave one stays
    rooms.add(q(""), q("300"));
    rooms.add(q("PR"), q("0"));
    struct Case {
        const char* code;
        int32_t seats;
    };
    for (const Case& c : {Case{"KQ", 90}, Case{"ZOD", 220}, Case{"zod", 220}, Case{"ZAZ", 140}, Case{"?", 0},
                          Case{"PR", 0}, Case{"", 0}})
        EXPECT_EQ(rooms.seats(q(c.code)), c.seats) << c.code;
    EXPECT_EQ(RoomCapacities().seats(q("KQ")), 0);
}

class SalesChartNumbers : public ::testing::Test {
protected:
    void SetUp() override {
        data.addShow(1, q("Matin"), q("2025-07-10 11:00:00"), q("Plein"));
        data.addShow(2, q("=Soir"), q("2025-07-10 21:00:00"), q("Plein:Diner"));
        data.addShow(10000001, q("Zodiaque"), q("2025-07-12 20:00:00"), q("Plein"));
        data.addShow(30000001, q("Ailleurs"), q("2025-07-12 18:00:00"), q("Plein"));
        data.addShow(20000001, q("Hors champ"), q("2025-07-20 20:00:00"), q("Plein"));
        data.addReservation(1, 3, "10:10:10", "0:0:0", "1;1;0");
        data.addReservation(2, 2, "20:20", "1:1", "1;1");
        data.addReservation(10000001, 4, "15:15:15:15", "0:0:0:0", "0;0;0;0");
        data.addReservation(30000001, 1, "5", "0", "1");
        data.addReservation(20000001, 9, "1:1:1:1:1:1:1:1:1", "", "");
        index.build(data);
        capacities.add(q("KQ"), q("10 places"));
        capacities.add(q("ZOD"), q("8"));
    }
    ChartNumbers numbersFor(const sales::AggregateFilter& filter, QDate from, QDate to) {
        return sales::chartNumbers(data, index, index.aggregate(data, filter), from, to, capacities);
    }
    TicketingData data;
    sales::SalesIndex index;
    RoomCapacities capacities;
};

TEST_F(SalesChartNumbers, SeatsAndTakingsPerDayAndRoomAndFillPerPerformance) {
    const sales::AggregateFilter filter{q("2025-07-09 00:00:00"), q("2025-07-13 23:59:59"), {}, {}};
    const ChartNumbers n = numbersFor(filter, QDate(2025, 7, 9), QDate(2025, 7, 13));
    EXPECT_EQ(n.period, sales::ChartPeriod::Day);
    EXPECT_EQ(n.periodLabels, (QStringList{q("09/07"), q("10/07"), q("11/07"), q("12/07"), q("13/07")}));
    ASSERT_EQ(n.rooms.size(), 3u);
    EXPECT_EQ(n.rooms[0].code, q("KQ"));
    EXPECT_EQ(n.rooms[0].reserved, (std::vector<int64_t>{0, 5, 0, 0, 0}));
    EXPECT_EQ(n.rooms[0].paid, (std::vector<int64_t>{0, 4, 0, 0, 0}));
    EXPECT_EQ(n.rooms[1].code, q("ZOD"));
    EXPECT_EQ(n.rooms[1].reserved, (std::vector<int64_t>{0, 0, 0, 4, 0}));
    EXPECT_EQ(n.rooms[1].paid, (std::vector<int64_t>{0, 0, 0, 0, 0}));
    EXPECT_EQ(n.rooms[2].code, q("?"));
    EXPECT_EQ(n.rooms[2].reserved, (std::vector<int64_t>{0, 0, 0, 1, 0}));
    EXPECT_EQ(n.reservedEuros, (std::vector<double>{0, 70, 0, 65, 0}));
    EXPECT_EQ(n.paidEuros, (std::vector<double>{0, 60, 0, 5, 0}));

    // By date, as the list: the morning, the evening, then the 12th's two in time order.
    ASSERT_EQ(n.fills.size(), 3u);
    EXPECT_EQ(n.fills[0].label, q("10/07 11:00 KQ Matin"));
    EXPECT_DOUBLE_EQ(n.fills[0].reservedRate, 30.0);
    EXPECT_DOUBLE_EQ(n.fills[0].paidRate, 20.0);
    EXPECT_EQ(n.fills[1].capacity, 10);
    EXPECT_DOUBLE_EQ(n.fills[2].reservedRate, 50.0);  // 4 of the 8 seats of ZOD
    EXPECT_EQ(n.fills[2].show, 2);
    EXPECT_EQ(n.withoutCapacity, 1) << "the room numbered 3 has no code the list could give";
    EXPECT_EQ(n.roomsWithoutCapacity, QStringList{q("?")}) << "KQ and ZOD have theirs";

    // A price past what a double holds makes an infinite sum: that performance is left out
    // of its day's takings and counted, never drawn; its seats still count.
    data.addReservation(1, 1, "1e999", "0", "0");
    data.addReservation(10000001, 1, "1e308", "0", "0");
    data.addReservation(10000001, 1, "1e308", "0", "0");
    index.build(data);
    const ChartNumbers huge = numbersFor(filter, QDate(2025, 7, 9), QDate(2025, 7, 13));
    EXPECT_EQ(huge.reservedEuros, (std::vector<double>{0, 40, 0, 5, 0}));
    EXPECT_EQ(huge.unreadableTakings, 2);
    EXPECT_EQ(huge.rooms[0].reserved[1], 6);
}

TEST_F(SalesChartNumbers, FiltersRangesAndLongPeriods) {
    struct Case {
        const char* name;
        sales::AggregateFilter filter;
        QDate from, to;
        std::size_t periods;
        sales::ChartPeriod period;
        std::size_t rooms;
        std::size_t fills;
    };
    const QString from = q("2025-07-01 00:00:00");
    const QString to = q("2025-07-31 23:59:59");
    constexpr auto Day = sales::ChartPeriod::Day;
    constexpr auto Week = sales::ChartPeriod::Week;
    constexpr auto Month = sales::ChartPeriod::Month;
    const Case cases[] = {
        {"room filter", {from, to, {}, q("z")}, QDate(2025, 7, 1), QDate(2025, 7, 31), 31, Day, 2, 1},
        {"name filter", {from, to, q("=soir"), {}}, QDate(2025, 7, 1), QDate(2025, 7, 31), 31, Day, 1, 1},
        {"reversed range", {to, from, {}, {}}, QDate(2025, 7, 31), QDate(2025, 7, 1), 0, Day, 0, 0},
        {"62 days, per day", {from, to, {}, {}}, QDate(2025, 7, 1), QDate(2025, 8, 31), 62, Day, 4, 3},
        {"63 days, per week", {from, to, {}, {}}, QDate(2025, 6, 29), QDate(2025, 8, 30), 10, Week, 4, 3},
        {"26 weeks", {from, to, {}, {}}, QDate(2025, 6, 30), QDate(2025, 12, 28), 26, Week, 4, 3},
        {"27 weeks, per month", {from, to, {}, {}}, QDate(2025, 6, 30), QDate(2025, 12, 29), 7, Month, 4, 3},
        {"ten seasons", {from, to, {}, {}}, QDate(2016, 7, 1), QDate(2025, 12, 31), 114, Month, 4, 3},
    };
    for (const Case& c : cases) {
        SCOPED_TRACE(c.name);
        const ChartNumbers n = numbersFor(c.filter, c.from, c.to);
        EXPECT_EQ(n.periods.size(), c.periods);
        EXPECT_EQ(n.period, c.period);
        EXPECT_EQ(n.rooms.size(), c.rooms);
        EXPECT_EQ(n.fills.size(), c.fills);
        for (const sales::RoomSeries& r : n.rooms) EXPECT_EQ(r.reserved.size(), c.periods);
    }
    // Per month, the July performances all fall in July's bar; per week, in the weeks of
    // Monday 7 and Monday 14 July.
    const ChartNumbers months = numbersFor({from, to, {}, {}}, QDate(2025, 6, 30), QDate(2025, 12, 29));
    EXPECT_EQ(months.periodLabels.mid(0, 3), (QStringList{q("06/2025"), q("07/2025"), q("08/2025")}));
    EXPECT_EQ(months.reservedEuros, (std::vector<double>{0, 144, 0, 0, 0, 0, 0}));
    const ChartNumbers weeks = numbersFor({from, to, {}, {}}, QDate(2025, 7, 2), QDate(2025, 9, 2));
    EXPECT_EQ(weeks.periods.front(), QDate(2025, 6, 30));
    EXPECT_EQ(weeks.periodLabels.mid(0, 4),
              (QStringList{q("sem. 30/06"), q("sem. 07/07"), q("sem. 14/07"), q("sem. 21/07")}));
    EXPECT_EQ(std::vector<double>(weeks.reservedEuros.begin(), weeks.reservedEuros.begin() + 4),
              (std::vector<double>{0, 135, 9, 0}));
    EXPECT_EQ(sales::periodWord(weeks.period), q("semaine"));
}

TEST(SalesChartAxes, TheScaleEndsAtTheFirstWholeStepAboveTheData) {
    const double inf = std::numeric_limits<double>::infinity();
    struct Case {
        double highest, atLeast, top;
        int steps;
    };
    const Case cases[] = {
        {93, 100, 100, 5},  // a fill rate of 93 % reads against 100 %, not 150
        {150, 100, 160, 8}, {7, 0, 7, 7},   {0.4, 0, 1, 1},  {38, 0, 40, 8},          {0, 0, 5, 5},
        {-3, 0, 5, 5},      {inf, 0, 5, 5}, {-inf, 0, 5, 5}, {std::nan(""), 0, 5, 5}, {inf, 100, 100, 5},
        {1234, 0, 1400, 7},
    };
    for (const Case& c : cases) {
        const sales::ValueScale scale = sales::valueScale(c.highest, c.atLeast);
        EXPECT_EQ(scale, (sales::ValueScale{c.top, c.steps})) << c.highest << " " << scale.top << " " << scale.steps;
    }
    // Whatever the data, the labels ("%.0f") are whole, distinct, and the top is near it.
    for (double highest = 0.5; highest < 1e12; highest *= 1.37) {
        const sales::ValueScale scale = sales::valueScale(highest);
        const double step = scale.top / scale.steps;
        EXPECT_GE(scale.top, highest);
        EXPECT_GE(step, 1.0) << highest;
        EXPECT_EQ(step, std::floor(step)) << highest;
        EXPECT_LE(scale.steps, 8) << highest;
        if (highest >= 8) {
            EXPECT_LE(scale.top, highest * 1.6) << highest;
        }
    }
}

TEST(SalesChartAxes, LabelsAreThinnedToWhatFitsOnRoundSteps) {
    const auto numbersOver = [](QDate from, QDate to) {
        return sales::chartNumbers(TicketingData(), sales::SalesIndex(), sales::AggregateResult(), from, to,
                                   RoomCapacities());
    };
    // July 2025 starts on a Tuesday. 700 pixels hold 14 labels of 50.
    const ChartNumbers month = numbersOver(QDate(2025, 7, 1), QDate(2025, 7, 31));
    EXPECT_EQ(sales::shownLabels(month, 50, 700), (std::vector<int>{6, 13, 20, 27})) << "the Mondays";
    EXPECT_EQ(sales::shownLabels(month, 20, 700).size(), 31u) << "all fit";
    EXPECT_EQ(sales::shownLabels(month, 40, 700),
              (std::vector<int>{0, 2, 4, 6, 8, 10, 12, 14, 16, 18, 20, 22, 24, 26, 28, 30}));
    const ChartNumbers week = numbersOver(QDate(2025, 7, 7), QDate(2025, 7, 14));
    EXPECT_EQ(sales::shownLabels(week, 50, 700).size(), 8u);
    // A season, per month, in a narrow window: every third month.
    const ChartNumbers season = numbersOver(QDate(2016, 7, 1), QDate(2025, 12, 31));
    const std::vector<int> shown = sales::shownLabels(season, 60, 700);
    EXPECT_LE(shown.size() * 60, 700u);
    for (std::size_t i = 1; i < shown.size(); ++i) EXPECT_EQ(shown[i] - shown[i - 1], shown[1] - shown[0]);
    EXPECT_TRUE(sales::shownLabels(numbersOver(QDate(2025, 7, 2), QDate(2025, 7, 1)), 50, 700).empty());
    EXPECT_EQ(sales::shownLabels(month, 50, 0).size(), 1u) << "a window too narrow for any still names one";
}

TEST_F(SalesChartNumbers, TheExportHasTheViewsRowsAndTotalsInNumericColumns) {
    const sales::AggregateFilter filter{q("2025-07-10 00:00:00"), q("2025-07-12 23:59:59"), {}, q("kq")};
    const QByteArray bytes = platform::csvDocument(sales::salesCsvLines(data, index, index.aggregate(data, filter)));
    ASSERT_TRUE(bytes.startsWith("\xEF\xBB\xBF"));
    EXPECT_EQ(QString::fromUtf8(bytes.mid(3)),
              q("Spectacle;AAAA-MM-JJ HH:MM:SS;Salle;Places réservées;€ réservés;Moyenne réservée (€);"
                "Places payées;€ payés;Moyenne payée (€);RS\r\n"
                "Matin;2025-07-10 11:00:00;KQ;3;30,00;10,00;2;20,00;10,00;\r\n"
                "'=Soir;2025-07-10 21:00:00;KQ;2;40,00;20,00;2;40,00;20,00;2\r\n"
                "Total;;;5;70,00;14,00;4;60,00;15,00;2\r\n"));
    // Nothing kept: the headings and a total of nothing.
    const QByteArray none = platform::csvDocument(
        sales::salesCsvLines(data, index, index.aggregate(data, {filter.toText, filter.fromText, {}, {}})));
    EXPECT_TRUE(QString::fromUtf8(none).endsWith(q("Total;;;0;0,00;0,00;0;0,00;0,00;\r\n")));
}

}  // namespace
