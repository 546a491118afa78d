// Writes, as SQL on the standard output, a ticketing database of ten festival seasons: three
// rooms, 7,200 performances (24 days, ten performances a day in each room), 300,000
// reservations of 1 to 8 seats booked in no particular order of performance, with the
// tariff lists of real shows (some with a meal tariff), paid and unpaid seats. The same data
// comes out on every run.
#include <cstdio>
#include <random>
#include <string>
#include <vector>

namespace {

constexpr int kSeasons = 10;
constexpr int kFirstYear = 2016;
constexpr int kDays = 24;
constexpr int kRooms = 3;
constexpr int kSlotsPerDay = 10;
constexpr int kReservations = 300000;
constexpr int kRowsPerInsert = 2000;

struct TariffList {
    const char* names;
    std::vector<double> prices;
    std::vector<int> weights;
};

const std::vector<TariffList> kTariffLists = {
    {"Plein:Réduit:Abonné:Enfant", {22, 15.5, 13, 8}, {40, 25, 20, 15}},
    {"Plein:Réduit:Diner spectacle", {24, 16, 42}, {35, 25, 40}},
    {"RS:Plein:Réduit:Groupe", {35, 19, 13, 11}, {30, 35, 25, 10}},
    {"Normal:Repas:Réduit:Carte Off:Invitation", {18, 31, 12, 9.6, 0}, {30, 25, 20, 20, 5}},
    {"Plein:Réduit:Enfant:Professionnel:Exonéré", {20, 14, 7, 10, 0}, {40, 25, 15, 15, 5}},
    {"Tarif unique", {12}, {1}},
    {"Plein:Réduit:Famille:Scolaire:Abonné:Dernière minute", {19, 13, 11, 6, 12, 9.5}, {35, 20, 15, 10, 15, 5}},
};

const char* const kFirstWords[] = {
    "Les Fâcheux",     "Molière",   "Le Misanthrope", "Cabaret", "Ça tourne",      "L'Été", "Contes",
    "La Nuit",         "Fantaisie", "Le Bal",         "Éclats",  "Les Précieuses", "Rêves", "Opéra de quat'sous",
    "Pièces détachées"};
const char* const kLastWords[] = {"à la plage",   "des étoiles", "du soir",  "en scène",     "pour tous",
                                  "sous la lune", "d'hiver",     "de poche", "et compagnie", "au jardin"};

std::string sqlQuoted(const std::string& text) {
    std::string out = "'";
    for (char c : text) {
        if (c == '\'') out += '\'';
        out += c;
    }
    return out + "'";
}

std::string priceText(double price) {
    char buffer[32];
    std::snprintf(buffer, sizeof buffer, "%.2f", price);
    return buffer;
}

// Rows of one table, in INSERT statements of a few thousand rows each.
class Inserter {
public:
    Inserter(const char* head) : head_(head) {}
    ~Inserter() { flush(); }
    void row(const std::string& values) {
        std::fputs(count_ == 0 ? head_ : ",\n", stdout);
        std::fputs(values.c_str(), stdout);
        if (++count_ == kRowsPerInsert) flush();
    }
    void flush() {
        if (count_) std::fputs(";\n", stdout);
        count_ = 0;
    }

private:
    const char* head_;
    int count_ = 0;
};

struct Performance {
    int id;
    int tariffs;
};

}  // namespace

int main() {
    std::mt19937 rng(20160705);
    auto chance = [&](double p) { return std::uniform_real_distribution<double>(0, 1)(rng) < p; };

    std::puts("SET NAMES utf8mb4;\nSET autocommit = 0;\nSET unique_checks = 0;");
    {
        Inserter rooms("INSERT INTO `salle` (`id`, `name`, `last_sync`) VALUES\n");
        rooms.row("(0, 'KQ - Le Kiosque', NOW() - INTERVAL 2 MINUTE)");
        rooms.row("(1, 'ZOD - Salle du Zodiaque', NOW() - INTERVAL 5 MINUTE)");
        rooms.row("(2, 'ZAZ - Le Zazou', NOW() - INTERVAL 31 MINUTE)");
    }

    std::vector<Performance> performances;
    {
        Inserter shows("INSERT INTO `shows` (`id`, `name`, `starts_at`, `salle`, `capacity`, `tariffs`) VALUES\n");
        int next[kRooms] = {0, 0, 0};
        std::uniform_int_distribution<int> pickList(0, static_cast<int>(kTariffLists.size()) - 1);
        std::uniform_int_distribution<int> pickFirst(0, std::size(kFirstWords) - 1);
        std::uniform_int_distribution<int> pickLast(0, std::size(kLastWords) - 1);
        for (int season = 0; season < kSeasons; ++season) {
            // One show per room and time slot for the whole season.
            std::string titles[kRooms][kSlotsPerDay];
            int lists[kRooms][kSlotsPerDay];
            for (int room = 0; room < kRooms; ++room) {
                for (int slot = 0; slot < kSlotsPerDay; ++slot) {
                    titles[room][slot] = std::string(kFirstWords[pickFirst(rng)]) + " " + kLastWords[pickLast(rng)];
                    lists[room][slot] = pickList(rng);
                }
            }
            for (int day = 0; day < kDays; ++day) {
                for (int room = 0; room < kRooms; ++room) {
                    for (int slot = 0; slot < kSlotsPerDay; ++slot) {
                        const int id = room * 10000000 + ++next[room];
                        const int minutes = 10 * 60 + slot * 90 + room * 15;
                        char when[64];
                        std::snprintf(when, sizeof when, "'%04d-07-%02d %02d:%02d:00'", kFirstYear + season, 5 + day,
                                      minutes / 60, minutes % 60);
                        const int list = lists[room][slot];
                        shows.row("(" + std::to_string(id) + ", " + sqlQuoted(titles[room][slot]) + ", " + when + ", " +
                                  std::to_string(room) + ", " + std::to_string(90 + room * 60) + ", " +
                                  sqlQuoted(kTariffLists[list].names) + ")");
                        performances.push_back({id, list});
                    }
                }
            }
        }
    }

    {
        Inserter res("INSERT INTO `res` (`id`, `show_id`, `seats`, `prices`, `tariffs`, `paid`) VALUES\n");
        std::uniform_int_distribution<std::size_t> pickPerformance(0, performances.size() - 1);
        std::discrete_distribution<int> pickSeats({0, 20, 40, 12, 15, 5, 4, 2, 2});
        for (int id = 1; id <= kReservations; ++id) {
            const Performance& p = performances[pickPerformance(rng)];
            const TariffList& list = kTariffLists[static_cast<std::size_t>(p.tariffs)];
            std::discrete_distribution<int> pickTariff(list.weights.begin(), list.weights.end());
            const int seats = pickSeats(rng);
            // Most bookings are paid at once; some not yet, some only in part.
            const int paidMode = chance(0.9) ? 1 : chance(0.6) ? 0 : 2;
            std::string prices, tariffs, paid;
            for (int k = 0; k < seats; ++k) {
                const int tariff = pickTariff(rng);
                double price = list.prices[static_cast<std::size_t>(tariff)];
                if (chance(0.05)) price *= 0.9;  // an occasional promotion
                if (k) {
                    prices += ':';
                    tariffs += ':';
                    paid += ';';
                }
                prices += priceText(price);
                tariffs += std::to_string(tariff);
                paid += paidMode == 1 || (paidMode == 2 && chance(0.5)) ? '1' : '0';
            }
            res.row("(" + std::to_string(id) + ", " + std::to_string(p.id) + ", " + std::to_string(seats) + ", '" +
                    prices + "', '" + tariffs + "', '" + paid + "')");
        }
    }
    std::puts("COMMIT;");
    return 0;
}
