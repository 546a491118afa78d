// The numbers behind the sales overview's charts, for the performances its view keeps (the
// range and the filters in force): seats reserved and paid per day and room, takings per day,
// and per performance its fill rate against the capacity of its room.
//
// Long ranges are counted per month rather than per day: a bar per day over years would
// draw thousands of bars and say nothing.
#pragma once

#include <QDate>
#include <QString>
#include <cstdint>
#include <vector>

#include "sales/aggregation.h"
#include "sales/room_capacities.h"
#include "sales/ticketing_data.h"

namespace sales {

inline constexpr int kMostDaysCharted = 62;

struct RoomSeries {
    QString code;                   // "KQ", "ZOD", "ZAZ" or "?"
    std::vector<int64_t> reserved;  // seats, per period
    std::vector<int64_t> paid;
};

struct FillRate {
    int32_t show = 0;   // index in the shows table
    QString label;      // day and time, room, name
    int32_t capacity = 0;
    int64_t reserved = 0;
    int64_t paid = 0;
    double reservedRate = 0.0;  // per cent of the capacity
    double paidRate = 0.0;
};

struct ChartNumbers {
    bool perMonth = false;
    std::vector<QDate> periods;  // the first day of each period of the range, in order
    QStringList periodLabels;    // "08/07" per day, "07/2025" per month
    std::vector<RoomSeries> rooms;  // the rooms with performances kept, KQ, ZOD, ZAZ, then "?"
    std::vector<double> reservedEuros;  // per period
    std::vector<double> paidEuros;
    std::vector<FillRate> fills;  // the performances kept whose room has a capacity, by date
    int withoutCapacity = 0;      // the performances kept whose room has none
};

// `kept`: what the aggregation kept; `from` and `to`: the range's days.
ChartNumbers chartNumbers(const TicketingData& data, const SalesIndex& index, const AggregateResult& kept,
                          const QDate& from, const QDate& to, const RoomCapacities& capacities);

}  // namespace sales
