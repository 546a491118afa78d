// Readable failure output for the sales results, and the two aggregations run side by side.
#pragma once

#include <gtest/gtest.h>

#include <QStringList>
#include <ostream>

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
inline sales::AggregateResult aggregateBothWays(const sales::TicketingData& data, const sales::AggregateFilter& filter) {
    sales::SalesIndex index;
    index.build(data);
    sales::AggregateResult fast = index.aggregate(data, filter);
    EXPECT_EQ(fast, sales::aggregateByScan(data, filter));
    return fast;
}

inline sales::AggregateFilter wholeRange(QString name = {}, QString room = {}) {
    return {QStringLiteral("0000-00-00 00:00:00"), QStringLiteral("9999-12-31 23:59:59"), std::move(name),
            std::move(room)};
}

}  // namespace sales_testing
