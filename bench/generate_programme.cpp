// Writes, as SQL on the standard output, a programme database of ten festival seasons: 600
// companies, 1,500 shows, 3,000 timeslot groups of one to eleven slots (about 18,000 rows) in
// three rooms, follow-up plans and records on most group heads, and 2,000 contracts. The
// last 300 groups fall in the 90 days from today, so that the manager's default range is
// full. Dates are written relative to CURDATE(); everything else comes out the same on every
// run.
#include <cstdio>
#include <random>
#include <string>
#include <vector>

namespace {

constexpr int kCompanies = 600;
constexpr int kShows = 1500;
constexpr int kGroups = 3000;
constexpr int kUpcomingGroups = 300;
constexpr int kContracts = 2000;
constexpr int kRowsPerInsert = 1000;

const char* const kNames[] = {"Théâtre", "Compagnie", "Collectif", "Troupe", "Cie", "Atelier", "Les Tréteaux"};
const char* const kPlaces[] = {"du Pont-Neuf", "des Éléphants", "d'Avignon",  "Même Pas Peur", "à Léon",
                               "Œil de Bœuf",  "du Soir",       "des Carmes", "de la Lune",    "du Marché"};
const char* const kTitles[] = {"Le Misanthrope",   "Barbe-Bleue",    "Antigone",       "Ça déménage !",
                               "Contes à rebours", "Cœur de pierre", "L'Été en scène", "Les Fourberies de Scapin",
                               "Ubu roi",          "Le Bal"};
const char* const kStarts[] = {"10:30:00", "11:00:00", "14:00:00", "15:00:00", "17:45:00",
                               "19:00:00", "20:30:00", "21:00:00", "21:30:00", "22:15:00"};

std::string quoted(const std::string& text) {
    std::string out = "'";
    for (char c : text) {
        if (c == '\'' || c == '\\') out += c;
        out += c;
    }
    return out + "'";
}

std::string dateIn(int days) { return "CURDATE() + INTERVAL " + std::to_string(days) + " DAY"; }
std::string dmyIn(int days) { return "DATE_FORMAT(" + dateIn(days) + ", '%e/%c/%Y')"; }

// A plan with a return deadline and five payments, and a record done up to some step.
void followUp(std::mt19937& random, int day, std::string& todo, std::string& done) {
    todo = "CONCAT('Contrat envoyé par KQ$$$Contrat reçu par KQ=', " + dmyIn(day - 20) +
           ", '$$$Contrat retouné à la compagnie par KQ$$$Visuel et affiches demandés$$$Visuel et affiches reçus";
    for (int n = 1; n <= 5; ++n)
        todo += "$$$Règlement " + std::to_string(n) + "=', " + dmyIn(day - 60 + 15 * n) + ", ':350";
    todo += "$$$Stat envoyé par KQ à la compagnie$$$Paiement de la compagnie fait par KQ')";
    const int steps = static_cast<int>(random() % 6);
    const char* const kSteps[] = {"Contrat envoyé par KQ", "Contrat reçu par KQ",
                                  "Contrat retouné à la compagnie par KQ", "Visuel et affiches demandés",
                                  "Visuel et affiches reçus"};
    done = "CONCAT(''";
    for (int k = 0; k < steps && k < 5; ++k)
        done += std::string(", '") + (k ? "$$$" : "") + kSteps[k] + "=Fait le ', " + dmyIn(day - 40 + 5 * k);
    done += ")";
}

class Inserts {
public:
    explicit Inserts(std::string head) : head_(std::move(head)) {}
    void add(const std::string& row) {
        if (count_ % kRowsPerInsert == 0)
            std::printf("%s%s\n", count_ ? ";\n" : "", head_.c_str());
        else
            std::printf(",\n");
        std::printf("(%s)", row.c_str());
        ++count_;
    }
    ~Inserts() {
        if (count_) std::printf(";\n");
    }

private:
    std::string head_;
    int count_ = 0;
};

}  // namespace

int main() {
    std::mt19937 random(20261209);
    std::printf("SET NAMES utf8mb4;\n");
    std::printf(
        "INSERT INTO `salle` (`id`, `name`, `code`, `capacity`, `contract_name`) VALUES\n"
        "(0, 'Grande salle', 'GS', '220 places', 'la Grande Salle'),\n"
        "(1, 'Petite salle', 'PS', '49 places', 'la Petite Salle'),\n"
        "(2, 'Chapelle', 'CH', '90 places', 'la Chapelle');\n");
    {
        Inserts companies(
            "INSERT INTO `comp` (`id`, `nom`, `email`, `contact1`, `contact2`, `deleted`, `fulladr`) VALUES");
        for (int i = 0; i < kCompanies; ++i) {
            const std::string name = std::string(kNames[i % 7]) + " " + kPlaces[(i / 7) % 10] + " " + std::to_string(i);
            companies.add(std::to_string(i) + ", " + quoted(name) + ", 'contact@example.org', 'Hélène', '', " +
                          (i % 50 == 49 ? "1" : "0") + ", '1 rue du Port\\r\\n84000 Avignon'");
        }
    }
    {
        Inserts shows("INSERT INTO `showname` (`id`, `name`, `comp`, `deleted`) VALUES");
        for (int i = 0; i < kShows; ++i) {
            const std::string name = std::string(kTitles[i % 10]) + " " + std::to_string(i);
            shows.add(std::to_string(i) + ", " + quoted(name) + ", " + std::to_string(random() % kCompanies) + ", " +
                      (i % 40 == 39 ? "1" : "0"));
        }
    }
    std::vector<int> heads;
    {
        Inserts slots(
            "INSERT INTO `timeslot` (`id`, `date`, `start`, `end`, `deleted`, `showname`, `childof`, `room`, "
            "`todo`, `done`, `survey`) VALUES");
        int id = 0;
        for (int g = 0; g < kGroups; ++g) {
            // Ten seasons of July festivals behind, then the groups of the coming 90 days.
            const bool upcoming = g >= kGroups - kUpcomingGroups;
            const int day = upcoming ? static_cast<int>(random() % 84)
                                     : -365 * (1 + static_cast<int>(random() % 10)) + static_cast<int>(random() % 24);
            const int slotCount = 1 + static_cast<int>(random() % 11);
            const int show = static_cast<int>(random() % kShows);
            const int room = static_cast<int>(random() % 3);
            const char* start = kStarts[random() % 10];
            std::string todo = "''", done = "''", survey = "''";
            if (random() % 10 < 8) {
                followUp(random, day, todo, done);
                survey = "'Accueil compagnie.txt'";
            }
            const int head = id;
            heads.push_back(head);
            for (int k = 0; k < slotCount; ++k, ++id) {
                slots.add(std::to_string(id) + ", " + dateIn(day + k) + ", '" + start + "', '23:00:00', " +
                          (g % 97 == 96 ? "1" : "0") + ", " + std::to_string(show) + ", " +
                          (k == 0 ? "-1" : std::to_string(head)) + ", " + std::to_string(room) + ", " +
                          (k == 0 ? todo + ", " + done + ", " + survey : "'', '', ''"));
            }
        }
    }
    {
        Inserts contracts("INSERT INTO `contract` (`id`, `ts`, `created`, `extra`, `deleted`, `rtf`) VALUES");
        for (int i = 0; i < kContracts; ++i) {
            const int head = heads[static_cast<std::size_t>(random() % heads.size())];
            contracts.add(std::to_string(i) + ", " + std::to_string(head) + ", UTC_TIMESTAMP() - INTERVAL " +
                          std::to_string(random() % 3650) + " DAY, 'Numéro de contrat$$$N_" + std::to_string(i) +
                          "###Prix (TTC)$$$1750.00###Montant de chacun des 5 chèques$$$350.00', " +
                          (i % 30 == 29 ? "1" : "0") + ", 'contrat_standard.rtf'");
        }
    }
    return 0;
}
