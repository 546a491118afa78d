// The ticketing texts: per-seat tokens and numbers read from any text, and the aggregation of
// any reservations, where the index must give exactly what the plain scan gives.
#include "fuzz/fuzz_input.h"
#include "sales/aggregation.h"
#include "sales/ticketing_data.h"

extern "C" int LLVMFuzzerTestOneInput(const uint8_t* data, size_t size) {
    const auto lines = fuzzing::pieces(data, size, '\n', 2);
    sales::TicketingData tickets;
    // The first line: tariffs|name filter|room filter|a show name, for two performances in
    // two rooms; the filters are what a user may type in the overview's two filter fields.
    const auto head = [&](int k) { return fuzzing::text(sales::fieldToken(lines[0], '|', k)); };
    const QString tariffs = head(0);
    tickets.addShow(1, QStringLiteral("A"), QStringLiteral("2019-07-05 20:30:00"), tariffs);
    tickets.addShow(10000002, head(3), QStringLiteral("2019-07-05 20:30:00"), tariffs);
    (void)sales::mealTariffIndex(tariffs);
    // Each further line: show|seats|prices|tariff indexes|paid flags.
    for (size_t i = 1; i < lines.size(); ++i) {
        const std::string_view line = lines[i];
        const auto field = [&](int k) { return sales::fieldToken(line, '|', k); };
        // The plain scan reads seat after seat: the reference is held to a thousand seats a
        // row (the index counts the seats past the tokens at once, whatever their number).
        tickets.addReservation(sales::leadingInt(field(0)) % 2 ? 1 : 10000002, sales::leadingInt(field(1)) % 1001,
                               field(2), field(3), field(4));
        (void)sales::leadingDecimal(field(2));
    }
    sales::SalesIndex index;
    index.build(tickets);
    const sales::AggregateFilter all{
        QStringLiteral("0000-01-01 00:00:00"), QStringLiteral("9999-12-31 23:59:59"), {}, {}};
    fuzzing::check(index.aggregate(tickets, all) == sales::aggregateByScan(tickets, all), "index and scan agree");
    const sales::AggregateFilter typed{all.fromText, all.toText, head(1), head(2)};
    fuzzing::check(index.aggregate(tickets, typed) == sales::aggregateByScan(tickets, typed),
                   "index and scan agree on typed filters");
    return 0;
}
