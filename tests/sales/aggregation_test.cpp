#include <gtest/gtest.h>

#include <charconv>
#include <random>
#include <string>

#include "sales/aggregation.h"
#include "sales/ticketing_data.h"
#include "tests/sales/sales_print.h"
#include "tests/support/text.h"

namespace {

using sales::AggregateFilter;
using sales::AggregateResult;
using sales::TicketingData;
using sales_testing::aggregateBothWays;
using sales_testing::wholeRange;

TEST(SalesTokens, NumbersAndTokensReadAsTheTicketingTextsNeed) {
    EXPECT_EQ(sales::leadingInt("42"), 42);
    EXPECT_EQ(sales::leadingInt(" 12abc"), 12);
    EXPECT_EQ(sales::leadingInt("-3"), -3);
    EXPECT_EQ(sales::leadingInt("abc"), 0);
    EXPECT_EQ(sales::leadingInt(""), 0);
    EXPECT_EQ(sales::leadingInt("99999999999"), 2147483647);
    EXPECT_EQ(sales::leadingInt("-99999999999"), -2147483647 - 1);

    EXPECT_EQ(sales::leadingDecimal("8.5"), 8.5);
    EXPECT_EQ(sales::leadingDecimal("12"), 12.0);
    EXPECT_EQ(sales::leadingDecimal(".25"), 0.25);
    EXPECT_EQ(sales::leadingDecimal("-1.5"), -1.5);
    EXPECT_EQ(sales::leadingDecimal("1,5"), 1.0);  // a comma ends the number
    EXPECT_EQ(sales::leadingDecimal("7.5 euros"), 7.5);
    EXPECT_EQ(sales::leadingDecimal("inf"), 0.0);
    EXPECT_EQ(sales::leadingDecimal("nan"), 0.0);
    EXPECT_EQ(sales::leadingDecimal("x3"), 0.0);
    EXPECT_EQ(sales::leadingDecimal(""), 0.0);

    EXPECT_EQ(sales::fieldToken("10:12:8.5", ':', 0), "10");
    EXPECT_EQ(sales::fieldToken("10:12:8.5", ':', 2), "8.5");
    EXPECT_EQ(sales::fieldToken("10:12:8.5", ':', 3), "");
    EXPECT_EQ(sales::fieldToken("a::b", ':', 1), "");
    EXPECT_EQ(sales::fieldToken("a::b", ':', 2), "b");
    EXPECT_EQ(sales::fieldToken("1;0;1", ':', 0), "1;0;1");  // the paid flags have their own separator
    EXPECT_EQ(sales::fieldToken(QStringView(u"Plein:Réduit"), QChar(u':'), 1), QStringView(u"Réduit"));
}

TEST(SalesTokens, ShortDecimalsReadExactlyAsTheFullConversion) {
    // The quick path for short prices must give the very double that the full conversion does.
    std::mt19937 rng(7);
    for (int i = 0; i < 20000; ++i) {
        std::string text = std::to_string(std::uniform_int_distribution<long long>(0, 999999999999LL)(rng));
        const std::size_t point = std::uniform_int_distribution<std::size_t>(0, text.size())(rng);
        text.insert(point, ".");
        if (text == ".") continue;
        if (text.front() == '.') text.insert(0, "0");
        double expected = 0;
        std::from_chars(text.data(), text.data() + text.size(), expected);
        ASSERT_EQ(sales::leadingDecimal(text), expected) << text;
    }
    EXPECT_EQ(sales::leadingDecimal("1234567890123456.5"), 1234567890123456.5);  // past the quick path
    EXPECT_EQ(sales::leadingDecimal("2.5e3"), 2500.0);
    EXPECT_EQ(sales::leadingDecimal("0.1"), 0.1);
    EXPECT_EQ(sales::leadingDecimal("5."), 5.0);
}

TEST(SalesTokens, RoomCodesComeFromTheIds) {
    EXPECT_EQ(sales::roomCode(sales::roomNumberOf(2 * 10000000 + 5)), "ZAZ");
    EXPECT_EQ(sales::roomCode(sales::roomNumberOf(45)), "KQ");
    EXPECT_EQ(sales::roomCode(sales::roomNumberOf(10000000)), "ZOD");
    EXPECT_EQ(sales::roomCode(sales::roomNumberOf(3 * 10000000)), "?");
    EXPECT_EQ(sales::roomCode(sales::roomNumberOf(-10000000)), "?");
    TicketingData data;
    data.addShow(2 * 10000000 + 5, q("A"), q("2025-07-01 20:00:00"), {});
    EXPECT_EQ(data.shows()[0].room_number, 2);
}

TEST(SalesTokens, MealTariffIsTheFirstDinerRepasOrRsAmongFourteen) {
    EXPECT_EQ(sales::mealTariffIndex(q("Normal:Réduit:Diner")), 2);
    EXPECT_EQ(sales::mealTariffIndex(q("RS:Plein")), 0);
    EXPECT_EQ(sales::mealTariffIndex(q("Plein:repas midi:RS")), 1);
    EXPECT_EQ(sales::mealTariffIndex(q("Plein:DINER SPECTACLE")), 1);
    EXPECT_EQ(sales::mealTariffIndex(q("Plein:RSA:Rs")), 2);  // RS alone only
    EXPECT_EQ(sales::mealTariffIndex(q("Plein:Dine")), -1);
    EXPECT_EQ(sales::mealTariffIndex(q("")), -1);
    EXPECT_EQ(sales::mealTariffIndex(q("0:1:2:3:4:5:6:7:8:9:10:11:12:Repas")), 13);
    EXPECT_EQ(sales::mealTariffIndex(q("0:1:2:3:4:5:6:7:8:9:10:11:12:13:Repas")), -1);
}

TEST(SalesAggregate, SeatsEurosAndAveragesPerPerformance) {
    TicketingData data;
    data.addShow(1, q("Deux réservations"), q("2025-07-10 20:00:00"), q("Plein:Réduit"));
    data.addShow(2, q("Trois places"), q("2025-07-11 20:00:00"), q("Plein:Réduit"));
    data.addShow(3, q("Personne"), q("2025-07-12 20:00:00"), q("Plein"));
    // Each reservation reads its own tokens from position 0: the third price of the first one
    // is beyond its two seats.
    data.addReservation(1, 2, "10:20:99", "0:1:0", "1;1;1");
    data.addReservation(1, 3, "1:2:3", "0:0:0", "0;0;0");
    data.addReservation(2, 3, "10:12:8.5", "0:0:0", "1;0;1");
    data.addReservation(99, 4, "50:50:50:50", "0:0:0:0", "1;1;1;1");  // no such performance

    const AggregateResult r = aggregateBothWays(data, wholeRange());
    ASSERT_EQ(r.rows.size(), 3u);
    EXPECT_EQ(r.rows[0].reserved, q("5/36.00€/7.20€"));
    EXPECT_EQ(r.rows[0].paid, q("2/30.00€/15.00€"));
    EXPECT_EQ(r.rows[1].reserved, q("3/30.50€/10.17€"));
    EXPECT_EQ(r.rows[1].paid, q("2/18.50€/9.25€"));
    EXPECT_EQ(r.rows[2].reserved, q("0/0.00€/0.00€"));
    EXPECT_EQ(r.rows[2].paid, q("0/0.00€/0.00€"));
    EXPECT_EQ(r.rows[2].meal, QString());
    EXPECT_EQ(r.reservedTotal, q("8/66.50€/8.31€"));
    EXPECT_EQ(r.paidTotal, q("4/48.50€/12.12€"));
    EXPECT_EQ(r.mealTotal, QString());
}

TEST(SalesAggregate, MealSeatsCountAtTheMealTariffOnly) {
    TicketingData data;
    data.addShow(1, q("Cabaret"), q("2025-07-10 20:00:00"), q("Normal:Réduit:Diner"));
    data.addShow(2, q("Soupe"), q("2025-07-11 20:00:00"), q("RS:Plein"));
    data.addShow(3, q("Sans repas"), q("2025-07-12 20:00:00"), q("Plein:Réduit"));
    data.addReservation(1, 4, "30:30:30:30", "2:0:2:1", "1;1;1;1");
    // The third seat has no tariff token: tariff 0, which is the meal tariff here.
    data.addReservation(2, 3, "25:25:25", "0:1", "1;1;1");
    // A tariff token of -1 never meets a performance without a meal tariff.
    data.addReservation(3, 2, "10:10", "-1:-1", "1;1");

    const AggregateResult r = aggregateBothWays(data, wholeRange());
    ASSERT_EQ(r.rows.size(), 3u);
    EXPECT_EQ(r.rows[0].meal, q("2"));
    EXPECT_EQ(r.rows[1].meal, q("2"));
    EXPECT_EQ(r.rows[2].meal, QString());
    EXPECT_EQ(r.mealTotal, q("4"));
}

TEST(SalesAggregate, MalformedSeatTextsNeverFail) {
    TicketingData data;
    data.addShow(1, q("Mal écrit"), q("2025-07-10 20:00:00"), q("Plein"));
    data.addReservation(1, 4, "abc:12.5x::", "", "1;x");  // prices 0, 12.5, 0, 0; one paid
    data.addReservation(1, 0, "100", "0", "1");           // no seat
    data.addReservation(1, -2, "100:100", "0:0", "1;1");  // takes two seats off, runs none
    data.addReservation(1, 2, "10:10", "0:0", "1:1");     // ":" is no flag separator: one paid
    const AggregateResult r = aggregateBothWays(data, wholeRange());
    ASSERT_EQ(r.rows.size(), 1u);
    EXPECT_EQ(r.rows[0].reserved, q("4/32.50€/8.12€"));
    EXPECT_EQ(r.rows[0].paid, q("2/10.00€/5.00€"));
}

TEST(SalesAggregate, NegativeSeatTotalsAreShownAsNumbersNotWrapped) {
    TicketingData data;
    data.addShow(1, q("Annulé"), q("2025-07-10 20:00:00"), q("Plein"));
    data.addReservation(1, -3, "", "", "");
    const AggregateResult r = aggregateBothWays(data, wholeRange());
    ASSERT_EQ(r.rows.size(), 1u);
    EXPECT_EQ(r.rows[0].reserved, q("-3/0.00€/0.00€"));
}

TEST(SalesAggregate, OrderByStartKeepsPositionsAndTiesInReadingOrder) {
    TicketingData data;
    data.addShow(1, q("Troisième"), q("2025-07-12 20:00:00"), {});
    data.addShow(2, q("Premier"), q("2025-07-10 20:00:00"), {});
    data.addShow(3, q("Deuxième A"), q("2025-07-11 18:00:00"), {});
    data.addShow(4, q("Deuxième B"), q("2025-07-11 18:00:00"), {});
    AggregateFilter f = wholeRange();
    f.fromText = q("2025-07-11 00:00:00");
    const AggregateResult r = aggregateBothWays(data, f);
    ASSERT_EQ(r.rows.size(), 3u);
    // The first performance in date order is left out, yet the others keep their places.
    EXPECT_EQ(r.rows[0].position, 1);
    EXPECT_EQ(r.rows[0].show, 2);
    EXPECT_EQ(r.rows[1].show, 3);
    EXPECT_EQ(r.rows[2].position, 3);
    EXPECT_EQ(r.rows[2].show, 0);
}

TEST(SalesAggregate, RangeBoundsAreIncludedAndTotalsCountOnlyWhatIsShown) {
    TicketingData data;
    data.addShow(1, q("Avant"), q("2025-07-09 23:59:59"), {});
    data.addShow(2, q("Début"), q("2025-07-10 00:00:00"), {});
    data.addShow(3, q("Fin"), q("2025-07-12 23:59:59"), {});
    data.addShow(4, q("Après"), q("2025-07-13 00:00:00"), {});
    for (int id = 1; id <= 4; ++id) data.addReservation(id, 1, "10", "0", "1");
    const AggregateFilter f{q("2025-07-10 00:00:00"), q("2025-07-12 23:59:59"), {}, {}};
    const AggregateResult r = aggregateBothWays(data, f);
    ASSERT_EQ(r.rows.size(), 2u);
    EXPECT_EQ(data.shows()[r.rows[0].show].name, q("Début"));
    EXPECT_EQ(data.shows()[r.rows[1].show].name, q("Fin"));
    EXPECT_EQ(r.reservedTotal, q("2/20.00€/10.00€"));

    const AggregateFilter reversed{q("2025-07-12 00:00:00"), q("2025-07-10 00:00:00"), {}, {}};
    const AggregateResult none = aggregateBothWays(data, reversed);
    EXPECT_TRUE(none.rows.empty());
    EXPECT_EQ(none.reservedTotal, q("0/0.00€/0.00€"));
    EXPECT_EQ(none.paidTotal, q("0/0.00€/0.00€"));
}

TEST(SalesAggregate, NameAndRoomFiltersMatchTheStartInAnyCase) {
    TicketingData data;
    data.addShow(5, q("Molière à la plage"), q("2025-07-10 15:00:00"), {});
    data.addShow(10000001, q("Les Fâcheux"), q("2025-07-10 19:00:00"), {});
    data.addShow(20000001, q("Ça tourne"), q("2025-07-10 21:00:00"), {});
    data.addShow(30000001, q("Hors les murs"), q("2025-07-10 22:00:00"), {});
    auto names = [&](const AggregateFilter& f) {
        QStringList out;
        for (const auto& row : aggregateBothWays(data, f).rows) out << data.shows()[row.show].name;
        return out;
    };
    EXPECT_EQ(names(wholeRange({}, q("zod"))), QStringList{q("Les Fâcheux")});
    EXPECT_EQ(names(wholeRange({}, q("z"))), (QStringList{q("Les Fâcheux"), q("Ça tourne")}));
    EXPECT_EQ(names(wholeRange({}, q("kq"))), QStringList{q("Molière à la plage")});
    EXPECT_EQ(names(wholeRange({}, q("?"))), QStringList{q("Hors les murs")});
    // A room filter keeps the codes that start with it: none starts with PR.
    EXPECT_EQ(names(wholeRange({}, q("PR"))), QStringList{});
    EXPECT_EQ(names(wholeRange({}, q("ZODIAQUE"))), QStringList{});

    EXPECT_EQ(names(wholeRange(q("mol"))), QStringList{q("Molière à la plage")});
    EXPECT_EQ(names(wholeRange(q("MOLIÈRE"))), QStringList{q("Molière à la plage")});
    EXPECT_EQ(names(wholeRange(q("ça"))), QStringList{q("Ça tourne")});
    EXPECT_EQ(names(wholeRange(q("Les Fâcheux et les autres"))), QStringList{});
    EXPECT_EQ(names(wholeRange(q("l"), q("zo"))), QStringList{q("Les Fâcheux")});
}

}  // namespace
