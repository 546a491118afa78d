#include "sales/ticketing_data.h"

#include <charconv>
#include <cmath>
#include <limits>

namespace sales {

void TicketingData::clear() {
    rooms_.clear();
    shows_.clear();
    reservations_.clear();
    texts_.clear();
}

void TicketingData::addRoom(QString name, QString lastSync) {
    rooms_.push_back({std::move(name), std::move(lastSync)});
}

void TicketingData::addShow(int32_t id, QString name, QString startsAt, QString tariffs) {
    shows_.push_back({id, std::move(name), std::move(startsAt), roomNumberOf(id), std::move(tariffs)});
}

void TicketingData::addReservation(int32_t showId, int32_t seats, std::string_view prices,
                                   std::string_view tariffIndexes, std::string_view paidFlags) {
    Reservation r;
    r.show_id = showId;
    r.seats = seats;
    r.prices = store(prices);
    r.tariff_indexes = store(tariffIndexes);
    r.paid_flags = store(paidFlags);
    reservations_.push_back(r);
}

TextRef TicketingData::store(std::string_view text) {
    TextRef ref{static_cast<uint32_t>(texts_.size()), static_cast<uint32_t>(text.size())};
    texts_.append(text);
    return ref;
}

void TicketingData::shrink() {
    reservations_.shrink_to_fit();
    shows_.shrink_to_fit();
    texts_.shrink_to_fit();
}

namespace {

bool isBlank(char c) { return c == ' ' || c == '\t' || c == '\n' || c == '\v' || c == '\f' || c == '\r'; }
bool isDigit(char c) { return c >= '0' && c <= '9'; }

template <class Char>
std::basic_string_view<Char> token(std::basic_string_view<Char> text, Char separator, int k) {
    if (k < 0) return {};
    std::size_t start = 0;
    for (int i = 0; i < k; ++i) {
        const std::size_t next = text.find(separator, start);
        if (next == std::basic_string_view<Char>::npos) return {};
        start = next + 1;
    }
    const std::size_t end = text.find(separator, start);
    return text.substr(start, end == std::basic_string_view<Char>::npos ? text.size() - start : end - start);
}

// The prices of a load are short decimals such as "15.50". Up to 15 digits make an exact
// integer and 10^k is exact up to k = 22, so one division rounds exactly as the full
// conversion would. Returns -1 for anything else (an exponent, more digits), which the full
// conversion then reads.
double plainDecimal(const char* p, const char* end) {
    static constexpr double kPowers[] = {1e0,  1e1,  1e2,  1e3,  1e4,  1e5,  1e6,  1e7,  1e8,  1e9,  1e10, 1e11,
                                         1e12, 1e13, 1e14, 1e15, 1e16, 1e17, 1e18, 1e19, 1e20, 1e21, 1e22};
    int64_t mantissa = 0;
    int digits = 0;
    int decimals = 0;
    bool point = false;
    for (; p < end; ++p) {
        if (isDigit(*p)) {
            if (++digits > 15) return -1;
            mantissa = mantissa * 10 + (*p - '0');
            if (point) ++decimals;
        } else if (*p == '.' && !point) {
            point = true;
        } else {
            break;
        }
    }
    if (p < end && (*p == 'e' || *p == 'E')) return -1;
    return static_cast<double>(mantissa) / kPowers[decimals];
}

}  // namespace

int32_t leadingInt(std::string_view text) {
    std::size_t i = 0;
    while (i < text.size() && isBlank(text[i])) ++i;
    bool negative = false;
    if (i < text.size() && (text[i] == '+' || text[i] == '-')) negative = text[i++] == '-';
    constexpr int64_t kMax = std::numeric_limits<int32_t>::max();
    constexpr int64_t kMin = std::numeric_limits<int32_t>::min();
    int64_t value = 0;
    for (; i < text.size() && isDigit(text[i]); ++i) {
        value = value * 10 + (text[i] - '0');
        if (value > kMax + 1) value = kMax + 1;  // past the range whatever follows
    }
    if (negative) value = -value;
    if (value > kMax) return static_cast<int32_t>(kMax);
    if (value < kMin) return static_cast<int32_t>(kMin);
    return static_cast<int32_t>(value);
}

double leadingDecimal(std::string_view text) {
    std::size_t i = 0;
    while (i < text.size() && isBlank(text[i])) ++i;
    bool negative = false;
    if (i < text.size() && (text[i] == '+' || text[i] == '-')) negative = text[i++] == '-';
    // Only digits and a point start a number: no "inf", "nan" or hexadecimal.
    const bool startsNumber =
        i < text.size() && (isDigit(text[i]) || (text[i] == '.' && i + 1 < text.size() && isDigit(text[i + 1])));
    if (!startsNumber) return 0.0;
    const char* first = text.data() + i;
    const char* last = text.data() + text.size();
    if (const double quick = plainDecimal(first, last); quick >= 0) return negative ? -quick : quick;
    double value = 0.0;
    const auto [end, ec] = std::from_chars(first, last, value, std::chars_format::general);
    if (ec == std::errc::result_out_of_range) {
        const std::string_view matched(first, static_cast<std::size_t>(end - first));
        const std::size_t e = matched.find_first_of("eE");
        const bool tiny = e != std::string_view::npos && e + 1 < matched.size() && matched[e + 1] == '-';
        value = tiny ? 0.0 : HUGE_VAL;
    } else if (ec != std::errc()) {
        value = 0.0;
    }
    return negative ? -value : value;
}

std::string_view fieldToken(std::string_view text, char separator, int k) { return token(text, separator, k); }

QStringView fieldToken(QStringView text, QChar separator, int k) {
    const std::u16string_view view(text.utf16(), static_cast<std::size_t>(text.size()));
    const std::u16string_view t = token(view, static_cast<char16_t>(separator.unicode()), k);
    return QStringView(t.data(), static_cast<qsizetype>(t.size()));
}

const QString& roomCode(int32_t roomNumber) {
    static const QString kCodes[] = {QStringLiteral("KQ"), QStringLiteral("ZOD"), QStringLiteral("ZAZ")};
    static const QString kUnknown = QStringLiteral("?");
    return roomNumber >= 0 && roomNumber < 3 ? kCodes[roomNumber] : kUnknown;
}

int mealTariffIndex(QStringView tariffs) {
    static constexpr QLatin1StringView kMealNames[] = {QLatin1StringView("Diner"), QLatin1StringView("Repas"),
                                                       QLatin1StringView("RS")};
    for (int k = 0; k < kMealTariffSearchDepth; ++k) {
        // The first five letters: a longer name that starts with Diner matches, "RS" must
        // stand alone.
        const QStringView head = fieldToken(tariffs, QChar(kTariffNameSeparator), k).left(5);
        for (const auto& meal : kMealNames) {
            if (head.compare(meal, Qt::CaseInsensitive) == 0) return k;
        }
    }
    return -1;
}

}  // namespace sales
