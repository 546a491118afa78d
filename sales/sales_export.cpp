#include "sales/sales_export.h"

#include "platform/csv.h"

namespace sales {
namespace {

constexpr const char* kHeadings[] = {"Spectacle",
                                     "AAAA-MM-JJ HH:MM:SS",
                                     "Salle",
                                     "Places réservées",
                                     "€ réservés",
                                     "Moyenne réservée (€)",
                                     "Places payées",
                                     "€ payés",
                                     "Moyenne payée (€)",
                                     "RS"};

// Seats, euros and the euros per seat, which the view divides by 1 when there is no seat.
void seatsEuros(QStringList& line, int64_t seats, double euros) {
    line << QString::number(seats) << platform::csvNumber(euros, 2)
         << platform::csvNumber(euros / static_cast<double>(seats > 0 ? seats : 1), 2);
}

void figures(QStringList& line, const ShowFigures& f) {
    seatsEuros(line, f.reservedSeats, f.reservedEuros);
    seatsEuros(line, f.paidSeats, f.paidEuros);
    // Empty when none, as in the view.
    line << (f.mealSeats > 0 ? QString::number(f.mealSeats) : QString());
}

}  // namespace

std::vector<QStringList> salesCsvLines(const TicketingData& data, const SalesIndex& index,
                                       const AggregateResult& kept) {
    std::vector<QStringList> lines;
    QStringList headings;
    for (const char* heading : kHeadings) headings << QString::fromUtf8(heading);
    lines.push_back(headings);
    ShowFigures total;
    for (const AggregateRow& row : kept.rows) {
        const TicketingShow& show = data.shows()[static_cast<std::size_t>(row.show)];
        QStringList line{platform::csvText(show.name), show.starts_at, roomCode(show.room_number)};
        const ShowFigures& f = index.figures(row.show);
        figures(line, f);
        lines.push_back(line);
        // Summed in the view's order, as its totals are.
        total.reservedSeats += f.reservedSeats;
        total.reservedEuros += f.reservedEuros;
        total.paidSeats += f.paidSeats;
        total.paidEuros += f.paidEuros;
        total.mealSeats += f.mealSeats;
    }
    QStringList totals{QString::fromUtf8(kTotalLabel), QString(), QString()};
    figures(totals, total);
    lines.push_back(totals);
    return lines;
}

}  // namespace sales
