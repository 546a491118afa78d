#include "sales/aggregation.h"

#include <algorithm>
#include <cassert>
#include <charconv>
#include <unordered_map>

namespace sales {
namespace {

// "%.2f" without the user's locale: the figures always have a decimal point.
void appendFixed2(QString& out, double value) {
    char buffer[400];  // the longest double written with two decimals fits
    const auto [end, ec] = std::to_chars(buffer, buffer + sizeof buffer, value, std::chars_format::fixed, 2);
    out.append(QLatin1StringView(buffer, ec == std::errc() ? end - buffer : 0));
}

void appendInteger(QString& out, int64_t value) {
    char buffer[24];
    const auto [end, ec] = std::to_chars(buffer, buffer + sizeof buffer, value);
    out.append(QLatin1StringView(buffer, ec == std::errc() ? end - buffer : 0));
}

constexpr QChar kEuro(0x20AC);

// The room filter only ever meets four codes: whether each passes is decided once.
class RoomFilter {
public:
    explicit RoomFilter(const QString& filter) {
        for (int room = 0; room < 4; ++room)
            passes_[room] = filter.isEmpty() || roomCode(room).startsWith(filter, Qt::CaseInsensitive);
    }
    bool passes(int32_t roomNumber) const { return passes_[roomNumber >= 0 && roomNumber < 3 ? roomNumber : 3]; }

private:
    bool passes_[4];
};

bool namePasses(const TicketingShow& show, const QString& filter) {
    return filter.isEmpty() || show.name.startsWith(filter, Qt::CaseInsensitive);
}

// Walks the tokens of a separated text one after the other, as fieldToken() cuts them.
class TokenCursor {
public:
    TokenCursor(std::string_view text, char separator) : text_(text), separator_(separator) {}
    bool more() const { return !done_; }
    std::string_view next() {
        if (done_) return {};
        const std::size_t end = text_.find(separator_, pos_);
        if (end == std::string_view::npos) {
            done_ = true;
            return text_.substr(pos_);
        }
        const std::string_view token = text_.substr(pos_, end - pos_);
        pos_ = end + 1;
        return token;
    }

private:
    std::string_view text_;
    char separator_;
    std::size_t pos_ = 0;
    bool done_ = false;
};

struct Seat {
    double price;
    int32_t tariff;
    bool paid;
};

struct Totals {
    int64_t reservedSeats = 0;
    double reservedEuros = 0.0;
    int64_t paidSeats = 0;
    double paidEuros = 0.0;
    int64_t mealSeats = 0;

    void add(const ShowFigures& f) {
        reservedSeats += f.reservedSeats;
        reservedEuros += f.reservedEuros;
        paidSeats += f.paidSeats;
        paidEuros += f.paidEuros;
    }
    void writeTo(AggregateResult& out) const {
        out.reservedTotal = seatsEurosText(reservedSeats, reservedEuros);
        out.paidTotal = seatsEurosText(paidSeats, paidEuros);
        out.mealTotal = mealSeatsText(mealSeats);
    }
};

}  // namespace

QString seatsEurosText(int64_t seats, double euros) {
    QString text;
    text.reserve(32);
    appendInteger(text, seats);
    text.append(u'/');
    appendFixed2(text, euros);
    text.append(kEuro).append(u'/');
    // A negative count, which only malformed bookings give, is no divisor either.
    appendFixed2(text, euros / static_cast<double>(seats > 0 ? seats : 1));
    text.append(kEuro);
    return text;
}

QString mealSeatsText(int64_t seats) {
    QString text;
    if (seats > 0) appendInteger(text, seats);
    return text;
}

std::vector<int32_t> orderByStart(const std::vector<TicketingShow>& shows) {
    std::vector<int32_t> order(shows.size());
    for (std::size_t i = 0; i < order.size(); ++i) order[i] = static_cast<int32_t>(i);
    std::stable_sort(order.begin(), order.end(),
                     [&shows](int32_t a, int32_t b) { return shows[a].starts_at < shows[b].starts_at; });
    return order;
}

void SalesIndex::clear() {
    order_.clear();
    figures_.clear();
    cells_.clear();
}

void SalesIndex::build(const TicketingData& data) {
    const auto& shows = data.shows();
    const int32_t showCount = static_cast<int32_t>(shows.size());
    order_ = orderByStart(shows);
    figures_.assign(shows.size(), ShowFigures{});

    // The shows of each id; the server's primary key makes it one, but nothing here relies
    // on that.
    std::vector<int> meal(shows.size());
    std::vector<int32_t> nextSameId(shows.size(), -1);
    std::unordered_map<int32_t, int32_t> firstOfId;
    firstOfId.reserve(shows.size());
    for (int32_t s = showCount - 1; s >= 0; --s) {
        meal[s] = mealTariffIndex(shows[s].tariffs);
        auto [it, inserted] = firstOfId.try_emplace(shows[s].id, s);
        if (!inserted) {
            nextSameId[s] = it->second;
            it->second = s;
        }
    }

    // Each reservation in table order, so that every show's sums are made in the same order
    // as the scan makes them and come out the same to the last bit.
    std::vector<Seat> seats;
    for (const Reservation& r : data.reservations()) {
        const auto found = firstOfId.find(r.show_id);
        if (found == firstOfId.end()) continue;
        seats.clear();
        int64_t blankSeats = 0;  // seats past every token: price 0, tariff 0, not paid
        if (r.seats > 0) {
            TokenCursor prices(data.text(r.prices), kPriceSeparator);
            TokenCursor tariffs(data.text(r.tariff_indexes), kTariffSeparator);
            TokenCursor paid(data.text(r.paid_flags), kPaidSeparator);
            int32_t k = 0;
            for (; k < r.seats && (prices.more() || tariffs.more() || paid.more()); ++k) {
                const double price = leadingDecimal(prices.next());
                const int32_t tariff = leadingInt(tariffs.next());
                const bool isPaid = leadingInt(paid.next()) != 0;
                seats.push_back({price, tariff, isPaid});
            }
            blankSeats = r.seats - k;
        }
        for (int32_t s = found->second; s >= 0; s = nextSameId[s]) {
            ShowFigures& f = figures_[s];
            const int mealTariff = meal[s];
            f.reservedSeats += r.seats;
            for (const Seat& seat : seats) {
                // Adding a price of 0 leaves a sum unchanged, so the blank seats add none.
                f.reservedEuros += seat.price;
                if (mealTariff >= 0 && seat.tariff == mealTariff) ++f.mealSeats;
                if (seat.paid) {
                    ++f.paidSeats;
                    f.paidEuros += seat.price;
                }
            }
            if (mealTariff == 0) f.mealSeats += blankSeats;
        }
    }

    cells_.resize(shows.size());
    for (std::size_t s = 0; s < shows.size(); ++s) {
        const ShowFigures& f = figures_[s];
        cells_[s] = {seatsEurosText(f.reservedSeats, f.reservedEuros), seatsEurosText(f.paidSeats, f.paidEuros),
                     mealSeatsText(f.mealSeats)};
    }
}

AggregateResult SalesIndex::aggregate(const TicketingData& data, const AggregateFilter& filter) const {
    const auto& shows = data.shows();
    assert(order_.size() == shows.size());
    AggregateResult out;
    Totals totals;
    // The order is by starts_at, so the range is one run of it.
    const auto startOf = [&shows](int32_t s) -> const QString& { return shows[s].starts_at; };
    const auto first = std::lower_bound(order_.begin(), order_.end(), filter.fromText,
                                        [&](int32_t s, const QString& from) { return startOf(s) < from; });
    const auto last = std::upper_bound(first, order_.end(), filter.toText,
                                       [&](const QString& to, int32_t s) { return to < startOf(s); });
    const RoomFilter room(filter.roomFilter);
    out.rows.reserve(static_cast<std::size_t>(last - first));
    for (auto it = first; it < last; ++it) {
        const int32_t s = *it;
        const TicketingShow& show = shows[s];
        if (!namePasses(show, filter.nameFilter) || !room.passes(show.room_number)) continue;
        const Cells& c = cells_[s];
        out.rows.push_back({static_cast<int32_t>(it - order_.begin()), s, c.reserved, c.paid, c.meal});
        totals.add(figures_[s]);
        totals.mealSeats += figures_[s].mealSeats;
    }
    totals.writeTo(out);
    return out;
}

AggregateResult aggregateByScan(const TicketingData& data, const AggregateFilter& filter) {
    const auto& shows = data.shows();
    const std::vector<int32_t> order = orderByStart(shows);
    AggregateResult out;
    Totals totals;
    for (std::size_t i = 0; i < order.size(); ++i) {
        const TicketingShow& p = shows[order[i]];
        const int mealTariff = mealTariffIndex(p.tariffs);
        const QString& code = roomCode(p.room_number);
        if (p.starts_at < filter.fromText || filter.toText < p.starts_at) continue;
        if (!filter.nameFilter.isEmpty() && !p.name.startsWith(filter.nameFilter, Qt::CaseInsensitive)) continue;
        if (!filter.roomFilter.isEmpty() && !code.startsWith(filter.roomFilter, Qt::CaseInsensitive)) continue;
        ShowFigures f;
        for (const Reservation& r : data.reservations()) {
            if (r.show_id != p.id) continue;
            f.reservedSeats += r.seats;
            const std::string_view prices = data.text(r.prices);
            const std::string_view tariffs = data.text(r.tariff_indexes);
            const std::string_view paid = data.text(r.paid_flags);
            for (int32_t k = 0; k < r.seats; ++k) {
                const double price = leadingDecimal(fieldToken(prices, kPriceSeparator, k));
                f.reservedEuros += price;
                if (mealTariff >= 0 && leadingInt(fieldToken(tariffs, kTariffSeparator, k)) == mealTariff) {
                    ++f.mealSeats;
                    ++totals.mealSeats;
                }
                if (leadingInt(fieldToken(paid, kPaidSeparator, k)) != 0) {
                    ++f.paidSeats;
                    f.paidEuros += price;
                }
            }
        }
        out.rows.push_back({static_cast<int32_t>(i), order[i], seatsEurosText(f.reservedSeats, f.reservedEuros),
                            seatsEurosText(f.paidSeats, f.paidEuros), mealSeatsText(f.mealSeats)});
        totals.add(f);
    }
    totals.writeTo(out);
    return out;
}

}  // namespace sales
