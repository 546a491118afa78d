#include "sales/chart_numbers.h"

#include <algorithm>

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
    const QString when = day.isValid() ? day.toString(QStringLiteral("dd/MM ")) + show.starts_at.mid(11, 5) : show.starts_at;
    return when + u' ' + roomCode(show.room_number) + u' ' + show.name;
}

}  // namespace

ChartNumbers chartNumbers(const TicketingData& data, const SalesIndex& index, const AggregateResult& kept,
                          const QDate& from, const QDate& to, const RoomCapacities& capacities) {
    ChartNumbers out;
    if (from.isValid() && to.isValid() && from <= to) {
        out.perMonth = from.daysTo(to) + 1 > kMostDaysCharted;
        if (out.perMonth) {
            for (QDate m(from.year(), from.month(), 1); m <= to; m = m.addMonths(1)) {
                out.periods.push_back(m);
                out.periodLabels << m.toString(QStringLiteral("MM/yyyy"));
            }
        } else {
            for (QDate d = from; d <= to; d = d.addDays(1)) {
                out.periods.push_back(d);
                out.periodLabels << d.toString(QStringLiteral("dd/MM"));
            }
        }
    }
    const std::size_t periods = out.periods.size();
    out.reservedEuros.assign(periods, 0.0);
    out.paidEuros.assign(periods, 0.0);
    RoomSeries byRoom[kRoomSlots];
    bool used[kRoomSlots] = {};
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
            const QDate key = out.perMonth ? QDate(day.year(), day.month(), 1) : day;
            const auto it = std::lower_bound(out.periods.begin(), out.periods.end(), key);
            if (it != out.periods.end() && *it == key) {
                const auto p = static_cast<std::size_t>(it - out.periods.begin());
                byRoom[slot].reserved[p] += f.reservedSeats;
                byRoom[slot].paid[p] += f.paidSeats;
                out.reservedEuros[p] += f.reservedEuros;
                out.paidEuros[p] += f.paidEuros;
            }
        }
        const int32_t capacity = capacities.seats(roomCode(show.room_number));
        if (capacity <= 0) {
            ++out.withoutCapacity;
            continue;
        }
        out.fills.push_back({row.show, fillLabel(show), capacity, f.reservedSeats, f.paidSeats,
                             100.0 * static_cast<double>(f.reservedSeats) / capacity,
                             100.0 * static_cast<double>(f.paidSeats) / capacity});
    }
    for (int s = 0; s < kRoomSlots; ++s) {
        if (used[s]) out.rooms.push_back(std::move(byRoom[s]));
    }
    return out;
}

}  // namespace sales
