// The index against the plain scan on random ticketing tables full of the faults real data
// has: malformed and missing tokens, wrong separators, seats of 0 and below, bookings of
// performances that do not exist, equal dates, ids shared by two performances, and prices
// whose sums depend on the order in which they are added.
#include <gtest/gtest.h>

#include <random>

#include "sales/aggregation.h"
#include "sales/ticketing_data.h"
#include "tests/sales/sales_print.h"

namespace {

using sales::AggregateFilter;
using sales::TicketingData;

class RandomTables {
public:
    explicit RandomTables(unsigned startingState) : rng_(startingState) {}

    TicketingData make() {
        TicketingData data;
        const int shows = pick(0, 40);
        for (int i = 0; i < shows; ++i) {
            const int32_t room = pick(0, 9) == 0 ? pick(-1, 5) : pick(0, 2);
            int32_t id = room * 10000000 + pick(1, 30);
            if (!ids_.empty() && pick(0, 15) == 0) id = ids_[pick(0, static_cast<int>(ids_.size()) - 1)];
            ids_.push_back(id);
            data.addShow(id, oneOf(kNames), startsAt(), tariffs());
        }
        const int reservations = pick(0, 300);
        for (int i = 0; i < reservations; ++i) {
            const int32_t showId = ids_.empty() || pick(0, 10) == 0 ? pick(-5, 40000000)
                                                                    : ids_[pick(0, static_cast<int>(ids_.size()) - 1)];
            const int32_t seats = pick(0, 12) == 0 ? pick(-3, 0) : pick(1, 9);
            const int tokens = std::max(0, seats + pick(-3, 2));
            data.addReservation(showId, seats, join(tokens, ':', kPrices), join(tokens + pick(-2, 1), ':', kTariffs),
                                join(tokens + pick(-2, 1), pick(0, 8) == 0 ? ':' : ';', kFlags));
        }
        ids_.clear();
        return data;
    }

    AggregateFilter filter(const TicketingData& data) {
        AggregateFilter f;
        f.fromText = bound(data, QStringLiteral("0000-01-01 00:00:00"));
        f.toText = bound(data, QStringLiteral("9999-12-31 23:59:59"));
        if (pick(0, 4) == 0) std::swap(f.fromText, f.toText);
        f.nameFilter = pick(0, 2) == 0 ? QString() : oneOf(kNameFilters);
        f.roomFilter = pick(0, 2) == 0 ? QString() : oneOf(kRoomFilters);
        return f;
    }

private:
    static inline const std::vector<const char*> kNames = {
        "Molière à la plage", "molière", "Les Fâcheux", "LES", "Ça tourne", "", "Z", "Cabaret Dîner"};
    static inline const std::vector<const char*> kNameFilters = {"m", "MOL", "molière à", "les f",
                                                                 "ç", "z",   "x",         "Cabaret Dîner et plus"};
    static inline const std::vector<const char*> kRoomFilters = {"z", "Z", "zo", "ZAZ",      "kq",
                                                                 "k", "?", "PR", "zodiaque", " "};
    static inline const std::vector<const char*> kTariffNames = {"Plein", "Réduit", "Diner", "diner du soir", "Repas",
                                                                 "RS",    "rs",     "RSA",   "Dine",          ""};
    // Values whose sum changes with the order of the additions, and texts that are no number.
    static inline const std::vector<const char*> kPrices = {"10",    "12.5",  "8.5",   "0.1",  "0.2", "1e16",
                                                            "-1e16", "3.25",  "",      "abc",  "7,5", " 4",
                                                            "-0",    "1e400", "2.675", "9.99x"};
    static inline const std::vector<const char*> kTariffs = {"0",  "1", "2", "3",  "13", "14",
                                                             "-1", "",  "x", " 2", "2.9"};
    static inline const std::vector<const char*> kFlags = {"1", "0", "0", "2", "-1", "", "x", "01"};

    int pick(int low, int high) { return std::uniform_int_distribution<int>(low, high)(rng_); }
    QString oneOf(const std::vector<const char*>& values) {
        return QString::fromUtf8(values[static_cast<std::size_t>(pick(0, static_cast<int>(values.size()) - 1))]);
    }
    std::string join(int count, char separator, const std::vector<const char*>& values) {
        std::string out;
        for (int i = 0; i < count; ++i) {
            if (i) out.push_back(separator);
            out += values[static_cast<std::size_t>(pick(0, static_cast<int>(values.size()) - 1))];
        }
        return out;
    }
    QString startsAt() {
        // Few distinct times, so that equal dates and bounds that hit a date exactly are common.
        return QStringLiteral("2025-07-%1 %2:00:00").arg(pick(10, 13)).arg(pick(18, 21));
    }
    QString tariffs() {
        QStringList names;
        const int count = pick(0, 17);
        for (int i = 0; i < count; ++i) names << oneOf(kTariffNames);
        return names.join(u':');
    }
    QString bound(const TicketingData& data, QString otherwise) {
        if (data.shows().empty() || pick(0, 3) == 0) return pick(0, 1) ? startsAt() : otherwise;
        return data.shows()[static_cast<std::size_t>(pick(0, static_cast<int>(data.shows().size()) - 1))].starts_at;
    }

    std::mt19937 rng_;
    std::vector<int32_t> ids_;
};

TEST(SalesDifferential, IndexGivesTheTextsOfThePlainScanOnRandomTables) {
    for (unsigned round = 1; round <= 300; ++round) {
        RandomTables random(round);
        const TicketingData data = random.make();
        sales::SalesIndex index;
        index.build(data);
        for (int f = 0; f < 8; ++f) {
            const AggregateFilter filter = random.filter(data);
            const sales::AggregateResult fast = index.aggregate(data, filter);
            const sales::AggregateResult scan = sales::aggregateByScan(data, filter);
            ASSERT_EQ(fast, scan) << "round " << round << " filter " << f << ": from " << filter.fromText.toStdString()
                                  << " to " << filter.toText.toStdString() << " name '"
                                  << filter.nameFilter.toStdString() << "' room '" << filter.roomFilter.toStdString()
                                  << "'";
        }
    }
}

TEST(SalesDifferential, SumsFollowTheOrderOfTheReservations) {
    // 1e16 + 3.25 - 1e16 is 4 when added in this order, 3.25 when the large ones meet first.
    TicketingData data;
    data.addShow(7, QStringLiteral("Ordre"), QStringLiteral("2025-07-10 20:00:00"), QStringLiteral("Plein"));
    data.addReservation(7, 1, "1e16", "0", "1");
    data.addReservation(8, 1, "1000", "0", "1");
    data.addReservation(7, 2, "3.25:-1e16", "0:0", "1;1");
    const sales::AggregateResult r = sales_testing::aggregateBothWays(data, sales_testing::wholeRange());
    ASSERT_EQ(r.rows.size(), 1u);
    EXPECT_EQ(r.rows[0].reserved, QString::fromUtf8("3/4.00€/1.33€"));
    EXPECT_EQ(r.rows[0].paid, QString::fromUtf8("3/4.00€/1.33€"));
}

}  // namespace
