#include "sales/sales_export.h"

#include "platform/csv.h"

namespace sales {
namespace {

constexpr const char* kHeadings[] = {"Spectacle",      "AAAA-MM-JJ HH:MM:SS", "Salle",         "Places réservées",
                                     "€ réservés",     "Moyenne réservée (€)", "Places payées", "€ payés",
                                     "Moyenne payée (€)", "RS"};

// Seats, euros and the euros per seat, which the view divides by 1 when there is no seat.
void seatsEuros(platform::CsvText& csv, int64_t seats, double euros) {
    csv.integer(seats).number(euros, 2).number(euros / static_cast<double>(seats > 0 ? seats : 1), 2);
}

void figures(platform::CsvText& csv, const ShowFigures& f) {
    seatsEuros(csv, f.reservedSeats, f.reservedEuros);
    seatsEuros(csv, f.paidSeats, f.paidEuros);
    // Empty when none, as in the view.
    if (f.mealSeats > 0) csv.integer(f.mealSeats);
    else csv.empty();
}

}  // namespace

QByteArray salesCsv(const TicketingData& data, const SalesIndex& index, const AggregateResult& kept) {
    platform::CsvText csv;
    for (const char* heading : kHeadings) csv.text(QString::fromUtf8(heading));
    csv.endRow();
    ShowFigures total;
    for (const AggregateRow& row : kept.rows) {
        const TicketingShow& show = data.shows()[static_cast<std::size_t>(row.show)];
        csv.text(show.name).text(show.starts_at).text(roomCode(show.room_number));
        const ShowFigures& f = index.figures(row.show);
        figures(csv, f);
        csv.endRow();
        // Summed in the view's order, as its totals are.
        total.reservedSeats += f.reservedSeats;
        total.reservedEuros += f.reservedEuros;
        total.paidSeats += f.paidSeats;
        total.paidEuros += f.paidEuros;
        total.mealSeats += f.mealSeats;
    }
    csv.text(QString::fromUtf8(kTotalLabel)).empty().empty();
    figures(csv, total);
    csv.endRow();
    return csv.bytes();
}

}  // namespace sales
