// The sales figures per performance of a date range, filtered by show name and room, with
// their totals, as the texts the sales overview shows.
//
// Two ways give the same texts: the index, prepared once per load, which knows each
// performance's figures and the order by date, so that filtering on every keystroke costs a
// pass over the performances kept; and the plain scan of every reservation for every
// performance, kept as the reference the index is checked against.
#pragma once

#include <QString>
#include <cstdint>
#include <vector>

#include "sales/ticketing_data.h"

namespace sales {

struct AggregateFilter {
    QString fromText;    // "YYYY-MM-DD HH:MM:SS", included
    QString toText;      // included
    QString nameFilter;  // start of the show's name, any case; empty keeps all
    QString roomFilter;  // start of the room code, any case; empty keeps all
};

// One performance kept, at its place in the order by date.
struct AggregateRow {
    int32_t position = 0;  // index in the order by date, counting the performances left out
    int32_t show = 0;      // index in the shows table
    QString reserved;      // "%u/%.2f€/%.2f€": seats, euros, average
    QString paid;          // the same for the paid seats
    QString meal;          // seats at the meal tariff, empty when none

    bool operator==(const AggregateRow&) const = default;
};

struct AggregateResult {
    std::vector<AggregateRow> rows;
    QString reservedTotal;
    QString paidTotal;
    QString mealTotal;  // empty when no seat was sold at the meal tariff

    bool operator==(const AggregateResult&) const = default;
};

// "%u/%.2f€/%.2f€" with the seats, the euros and the euros per seat (per 1 seat when there
// are none). The seats are written signed: malformed bookings can take a count below 0, and
// that must not read as four billion seats.
QString seatsEurosText(int64_t seats, double euros);
QString mealSeatsText(int64_t seats);

// A performance's own figures, which no filter changes.
struct ShowFigures {
    int64_t reservedSeats = 0;
    double reservedEuros = 0.0;
    int64_t paidSeats = 0;
    double paidEuros = 0.0;
    int64_t mealSeats = 0;
};

class SalesIndex {
public:
    // Reads every reservation once: the figures of the performances it belongs to and the
    // order of the performances by date.
    void build(const TicketingData& data);
    void clear();

    AggregateResult aggregate(const TicketingData& data, const AggregateFilter& filter) const;

    const ShowFigures& figures(int32_t show) const { return figures_[show]; }

private:
    struct Cells {
        QString reserved;
        QString paid;
        QString meal;
    };
    std::vector<int32_t> order_;  // show indexes by starts_at, ties in table order
    std::vector<ShowFigures> figures_;
    std::vector<Cells> cells_;
};

// The reference: every performance scans the whole reservation table and reads each seat's
// tokens from the texts.
AggregateResult aggregateByScan(const TicketingData& data, const AggregateFilter& filter);

// The performances by starts_at, ascending, ties in table order.
std::vector<int32_t> orderByStart(const std::vector<TicketingShow>& shows);

}  // namespace sales
