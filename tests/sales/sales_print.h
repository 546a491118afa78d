// Readable failure output for the sales results, and the two aggregations run side by side.
#pragma once

#include <gtest/gtest.h>

#include <QStringList>
#include <ostream>
#include <string>

#include "sales/aggregation.h"

namespace sales {

inline void PrintTo(const AggregateRow& r, std::ostream* os) {
    *os << "{pos " << r.position << ", show " << r.show << ", " << r.reserved.toStdString() << " | "
        << r.paid.toStdString() << " | '" << r.meal.toStdString() << "'}";
}

inline void PrintTo(const AggregateResult& r, std::ostream* os) {
    *os << r.rows.size() << " rows, totals " << r.reservedTotal.toStdString() << " | " << r.paidTotal.toStdString()
        << " | '" << r.mealTotal.toStdString() << "'";
    for (const auto& row : r.rows) {
        *os << "\n  ";
        PrintTo(row, os);
    }
}

}  // namespace sales

inline void PrintTo(const QString& s, std::ostream* os) { *os << '"' << s.toStdString() << '"'; }

namespace sales_testing {

// The index's result, after checking that the plain scan gives the very same.
inline sales::AggregateResult aggregateBothWays(const sales::TicketingData& data,
                                                const sales::AggregateFilter& filter) {
    sales::SalesIndex index;
    index.build(data);
    sales::AggregateResult fast = index.aggregate(data, filter);
    EXPECT_EQ(fast, sales::aggregateByScan(data, filter));
    return fast;
}

// Where two sets of tables differ, or empty when they hold the same rows in the same order.
inline std::string tablesDifference(const sales::TicketingData& a, const sales::TicketingData& b) {
    if (a.rooms().size() != b.rooms().size())
        return "room count " + std::to_string(a.rooms().size()) + " / " + std::to_string(b.rooms().size());
    for (std::size_t i = 0; i < a.rooms().size(); ++i) {
        if (a.rooms()[i].name != b.rooms()[i].name || a.rooms()[i].last_sync != b.rooms()[i].last_sync)
            return "room " + std::to_string(i);
    }
    if (a.shows().size() != b.shows().size())
        return "show count " + std::to_string(a.shows().size()) + " / " + std::to_string(b.shows().size());
    for (std::size_t i = 0; i < a.shows().size(); ++i) {
        const sales::TicketingShow& x = a.shows()[i];
        const sales::TicketingShow& y = b.shows()[i];
        if (x.id != y.id || x.name != y.name || x.starts_at != y.starts_at || x.tariffs != y.tariffs)
            return "show " + std::to_string(i) + " (id " + std::to_string(x.id) + " / " + std::to_string(y.id) + ")";
    }
    if (a.reservations().size() != b.reservations().size())
        return "reservation count " + std::to_string(a.reservations().size()) + " / " +
               std::to_string(b.reservations().size());
    for (std::size_t i = 0; i < a.reservations().size(); ++i) {
        const sales::Reservation& x = a.reservations()[i];
        const sales::Reservation& y = b.reservations()[i];
        if (x.show_id != y.show_id || x.seats != y.seats || a.text(x.prices) != b.text(y.prices) ||
            a.text(x.tariff_indexes) != b.text(y.tariff_indexes) || a.text(x.paid_flags) != b.text(y.paid_flags))
            return "reservation " + std::to_string(i) + " (show " + std::to_string(x.show_id) + " / " +
                   std::to_string(y.show_id) + ")";
    }
    return {};
}

inline sales::AggregateFilter wholeRange(QString name = {}, QString room = {}) {
    return {QStringLiteral("0000-00-00 00:00:00"), QStringLiteral("9999-12-31 23:59:59"), std::move(name),
            std::move(room)};
}

}  // namespace sales_testing
