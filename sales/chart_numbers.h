// The numbers behind the sales overview's charts, for the performances its view keeps (the
// range and the filters in force): seats reserved and paid per day and room, takings per day,
// and per performance its fill rate against the capacity of its room.
//
// Long ranges are counted per week, then per month, rather than per day: a bar per day over
// years would draw thousands of bars and say nothing.
#pragma once

#include <QDate>
#include <QString>
#include <cstdint>
#include <vector>

#include "sales/aggregation.h"
#include "sales/room_capacities.h"
#include "sales/ticketing_data.h"

namespace sales {

// Per day up to two months, per week (Monday to Sunday) up to half a year, then per month.
inline constexpr int kMostDaysCharted = 62;
inline constexpr int kMostWeeksCharted = 26;
enum class ChartPeriod { Day, Week, Month };

struct RoomSeries {
    QString code;                   // "KQ", "ZOD", "ZAZ" or "?"
    std::vector<int64_t> reserved;  // seats, per period
    std::vector<int64_t> paid;
    bool operator==(const RoomSeries&) const = default;
};

struct FillRate {
    int32_t show = 0;  // index in the shows table
    QString label;     // day and time, room, name
    int32_t capacity = 0;
    int64_t reserved = 0;
    int64_t paid = 0;
    double reservedRate = 0.0;  // per cent of the capacity
    double paidRate = 0.0;
    bool operator==(const FillRate&) const = default;
};

struct ChartNumbers {
    ChartPeriod period = ChartPeriod::Day;
    std::vector<QDate> periods;     // the first day of each period (a week's Monday), in order
    QStringList periodLabels;       // "08/07" per day, "sem. 07/07" per week, "07/2025" per month
    std::vector<RoomSeries> rooms;  // the rooms with performances kept, KQ, ZOD, ZAZ, then "?"
    // Per period; a performance whose takings are no finite number (a malformed price) is
    // left out of them and counted in unreadableTakings.
    std::vector<double> reservedEuros;
    std::vector<double> paidEuros;
    int unreadableTakings = 0;
    std::vector<FillRate> fills;       // the performances kept whose room has a capacity, by date
    int withoutCapacity = 0;           // the performances kept whose room has none
    QStringList roomsWithoutCapacity;  // their room codes, in the order of the rooms
    RoomCapacities::Source capacitySource = RoomCapacities::Source::NotRead;
    bool operator==(const ChartNumbers&) const = default;
};

// "jour", "semaine" or "mois", for the charts' titles and tabs.
QString periodWord(ChartPeriod period);

// `kept`: what the aggregation kept; `from` and `to`: the range's days.
ChartNumbers chartNumbers(const TicketingData& data, const SalesIndex& index, const AggregateResult& kept,
                          const QDate& from, const QDate& to, const RoomCapacities& capacities);

}  // namespace sales
