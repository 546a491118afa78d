#include "sales/chart_numbers.h"

#include <algorithm>
#include <cmath>

namespace sales {
namespace {

constexpr int kRoomSlots = 4;  // KQ, ZOD, ZAZ, and every other room number

int roomSlot(int32_t roomNumber) { return roomNumber >= 0 && roomNumber < 3 ? roomNumber : 3; }

// The performance's day, from its "YYYY-MM-DD HH:MM:SS"; invalid when the text is no date.
QDate dayOf(const QString& startsAt) { return QDate::fromString(startsAt.left(10), QStringLiteral("yyyy-MM-dd")); }

// Day and time first, so that the list reads as the overview's, then the room and the name,
// which the charts may cut.
QString fillLabel(const TicketingShow& show) {
    const QDate day = dayOf(show.starts_at);
    const QString when =
        day.isValid() ? day.toString(QStringLiteral("dd/MM ")) + show.starts_at.mid(11, 5) : show.starts_at;
    return when + u' ' + roomCode(show.room_number) + u' ' + show.name;
}

QDate mondayOf(const QDate& day) { return day.addDays(1 - day.dayOfWeek()); }

// The first day of the period that holds `day`.
QDate periodStart(ChartPeriod period, const QDate& day) {
    switch (period) {
    case ChartPeriod::Day: return day;
    case ChartPeriod::Week: return mondayOf(day);
    case ChartPeriod::Month: return QDate(day.year(), day.month(), 1);
    }
    return day;
}

QString periodLabel(ChartPeriod period, const QDate& first) {
    switch (period) {
    case ChartPeriod::Day: return first.toString(QStringLiteral("dd/MM"));
    case ChartPeriod::Week: return first.toString(QStringLiteral("'sem.' dd/MM"));
    case ChartPeriod::Month: return first.toString(QStringLiteral("MM/yyyy"));
    }
    return {};
}

QDate nextPeriod(ChartPeriod period, const QDate& first) {
    switch (period) {
    case ChartPeriod::Day: return first.addDays(1);
    case ChartPeriod::Week: return first.addDays(7);
    case ChartPeriod::Month: return first.addMonths(1);
    }
    return first.addDays(1);
}

}  // namespace

QString periodWord(ChartPeriod period) {
    switch (period) {
    case ChartPeriod::Day: return QStringLiteral("jour");
    case ChartPeriod::Week: return QStringLiteral("semaine");
    case ChartPeriod::Month: return QStringLiteral("mois");
    }
    return {};
}

ChartNumbers chartNumbers(const TicketingData& data, const SalesIndex& index, const AggregateResult& kept,
                          const QDate& from, const QDate& to, const RoomCapacities& capacities) {
    ChartNumbers out;
    out.capacitySource = capacities.source();
    if (from.isValid() && to.isValid() && from <= to) {
        const qint64 days = from.daysTo(to) + 1;
        out.period = days <= kMostDaysCharted                                           ? ChartPeriod::Day
                     : mondayOf(from).daysTo(mondayOf(to)) / 7 + 1 <= kMostWeeksCharted ? ChartPeriod::Week
                                                                                        : ChartPeriod::Month;
        for (QDate p = periodStart(out.period, from); p <= to; p = nextPeriod(out.period, p)) {
            out.periods.push_back(p);
            out.periodLabels << periodLabel(out.period, p);
        }
    }
    const std::size_t periods = out.periods.size();
    out.reservedEuros.assign(periods, 0.0);
    out.paidEuros.assign(periods, 0.0);
    RoomSeries byRoom[kRoomSlots];
    bool used[kRoomSlots] = {};
    bool noCapacity[kRoomSlots] = {};
    for (int s = 0; s < kRoomSlots; ++s) {
        byRoom[s].code = roomCode(s);
        byRoom[s].reserved.assign(periods, 0);
        byRoom[s].paid.assign(periods, 0);
    }
    for (const AggregateRow& row : kept.rows) {
        const TicketingShow& show = data.shows()[static_cast<std::size_t>(row.show)];
        const ShowFigures& f = index.figures(row.show);
        const int slot = roomSlot(show.room_number);
        used[slot] = true;
        const QDate day = dayOf(show.starts_at);
        if (day.isValid() && periods > 0) {
            const QDate key = periodStart(out.period, day);
            const auto it = std::lower_bound(out.periods.begin(), out.periods.end(), key);
            if (it != out.periods.end() && *it == key) {
                const auto p = static_cast<std::size_t>(it - out.periods.begin());
                byRoom[slot].reserved[p] += f.reservedSeats;
                byRoom[slot].paid[p] += f.paidSeats;
                // An infinite amount would stretch the axis to nothing; a NaN would poison
                // the period's sum.
                const double reserved = out.reservedEuros[p] + f.reservedEuros;
                const double paid = out.paidEuros[p] + f.paidEuros;
                if (std::isfinite(reserved) && std::isfinite(paid)) {
                    out.reservedEuros[p] = reserved;
                    out.paidEuros[p] = paid;
                } else {
                    ++out.unreadableTakings;
                }
            }
        }
        const int32_t capacity = capacities.seats(roomCode(show.room_number));
        if (capacity <= 0) {
            ++out.withoutCapacity;
            noCapacity[slot] = true;
            continue;
        }
        out.fills.push_back({row.show, fillLabel(show), capacity, f.reservedSeats, f.paidSeats,
                             100.0 * static_cast<double>(f.reservedSeats) / capacity,
                             100.0 * static_cast<double>(f.paidSeats) / capacity});
    }
    for (int s = 0; s < kRoomSlots; ++s) {
        if (noCapacity[s]) out.roomsWithoutCapacity << byRoom[s].code;
        if (used[s]) out.rooms.push_back(std::move(byRoom[s]));
    }
    return out;
}

}  // namespace sales
