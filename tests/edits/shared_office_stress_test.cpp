// Eight workstations on one programme at once, each a process of its own with its own
// connection and loaded copy, driving the saves with random adds, edits, deletes, restores,
// follow-up changes and contracts (tests/stress/workstation.cpp). Afterwards the database
// must hold no half-written save, every committed save's audit line, and for every field a
// save set the value of the last save that set it: nothing silently lost. A conflict shown must
// be one a merge could not settle. BRELO_STRESS_SECONDS sets the length (10 s by default;
// scripts/stress.sh runs 60), BRELO_STRESS_PORT another server (a cluster node).
#include <gtest/gtest.h>

#include <QDir>
#include <QFile>
#include <QProcess>
#include <QTextStream>
#include <fstream>
#include <map>
#include <set>
#include <sstream>

#include "db/codepage.h"
#include "db/connections.h"
#include "programme/followup.h"
#include "tests/support/empty_programme.h"
#include "tests/support/files.h"
#include "tests/support/testdb.h"

namespace {

constexpr int kWorkstations = 8;

std::vector<testdb::Row> rows(const std::string& sql) { return testdb::query(testdb::programmeDb(), sql); }

double stressSeconds() {
    const QByteArray configured = qgetenv("BRELO_STRESS_SECONDS");
    return configured.isEmpty() ? 10.0 : configured.toDouble();
}

// Three companies with a show each, three groups of two slots with their plans, a contract.
void seed() {
    testdb::exec(testdb::programmeDb(),
                 "SET NAMES utf8mb4;"
                 "INSERT INTO `comp` (`id`, `nom`) VALUES (0, 'Mouette'), (1, 'Zèbre'), (2, 'Aigle');"
                 "INSERT INTO `showname` VALUES (0, 'Nuit', 0, 0), (1, 'Saut', 1, 0), (2, 'Vol', 2, 0),"
                 " (3, '<spectacle à définir (compagnie Mouette)>', 0, 0);"
                 "INSERT INTO `salle` VALUES (10, 'Rouge', 'R', '100', 'la rouge');"
                 "SET @plan = 'Contrat envoyé par KQ$$$Contrat reçu par KQ$$$Règlement 1$$$Règlement 2$$$Règlement 3$$$"
                 "Règlement 4$$$Règlement 5$$$I1$$$I2$$$I3$$$I4';"
                 "INSERT INTO `timeslot` (`id`, `date`, `start`, `end`, `deleted`, `showname`, `childof`, `room`, `todo`,"
                 " `done`, `survey`) VALUES"
                 " (0, '2027-07-05', '20:00:00', '22:00:00', 0, 0, -1, 10, @plan, '', 'stress.txt'),"
                 " (1, '2027-07-06', '20:00:00', '22:00:00', 0, 0, 0, 10, '', '', ''),"
                 " (2, '2027-07-07', '20:00:00', '22:00:00', 0, 1, -1, 10, @plan, '', 'stress.txt'),"
                 " (3, '2027-07-08', '20:00:00', '22:00:00', 0, 1, 2, 10, '', '', ''),"
                 " (4, '2027-07-09', '20:00:00', '22:00:00', 0, 2, -1, 10, @plan, '', 'stress.txt'),"
                 " (5, '2027-07-10', '20:00:00', '22:00:00', 0, 2, 4, 10, '', '', '');"
                 "INSERT INTO `contract` (`id`, `ts`, `extra`) VALUES (0, 0, 'Prix (TTC)$$$100')");
}

struct Figures {
    std::map<std::string, long> counters;  // summed over the workstations
    long silentlyLost = 0;
    long halfWritten = 0;
    long unneededConflicts = 0;
};

struct FieldSet {
    long long auditId = 0;
    std::string value;
};

// The ids a table held before the run, which no save of the run created.
std::set<std::string> idsOf(const char* table) {
    std::set<std::string> ids;
    for (const auto& r : rows(std::string("SELECT `id` FROM `") + table + "`")) ids.insert(r[0]);
    return ids;
}

TEST(SharedOfficeStress, EightWorkstationsLoseNothingAndLeaveNothingHalfWritten) {
    testing_support::startEmptyProgramme();
    seed();
    std::map<std::string, std::set<std::string>> before;
    for (const char* table : {"comp", "showname", "timeslot", "contract"}) before[table] = idsOf(table);

    const QString worker = QStringLiteral(BRELO_BUILD_DIR "/tests/stress_workstation");
    const QString logs = QDir(QStringLiteral(BRELO_BUILD_DIR)).filePath(QStringLiteral("stress-logs"));
    QDir(logs).removeRecursively();
    QDir().mkpath(logs);
    const QByteArray port = qgetenv("BRELO_STRESS_PORT");
    std::vector<std::unique_ptr<QProcess>> workstations;
    for (int i = 0; i < kWorkstations; ++i) {
        auto process = std::make_unique<QProcess>();
        process->setProcessChannelMode(QProcess::ForwardedErrorChannel);
        QStringList arguments{QString::number(stressSeconds()), QString::number(1000 + i), QStringLiteral("Poste%1").arg(i + 1),
                              QDir(logs).filePath(QStringLiteral("poste%1.log").arg(i + 1))};
        // A list of ports spreads the workstations over the nodes of a cluster.
        if (!port.isEmpty()) {
            const QList<QByteArray> ports = port.split(',');
            arguments << QString::fromLatin1(ports[i % ports.size()]);
        }
        process->start(worker, arguments);
        ASSERT_TRUE(process->waitForStarted()) << worker.toStdString();
        workstations.push_back(std::move(process));
    }
    for (auto& process : workstations) {
        ASSERT_TRUE(process->waitForFinished(static_cast<int>((stressSeconds() + 120) * 1000)));
        EXPECT_EQ(process->exitCode(), 0);
    }

    // What the workstations say they did.
    Figures figures;
    std::map<std::string, FieldSet> lastSet;  // "table id field" -> the last committed value
    std::vector<std::vector<std::string>> adds;
    std::set<long long> committedAudits;
    for (int i = 0; i < kWorkstations; ++i) {
        std::ifstream log(QDir(logs).filePath(QStringLiteral("poste%1.log").arg(i + 1)).toStdString());
        std::string line;
        while (std::getline(log, line)) {
            std::istringstream in(line);
            std::string kind;
            in >> kind;
            if (kind == "F") {
                long long audit = 0;
                std::string table, id, field, value;
                in >> audit >> table >> id >> field;
                std::getline(in >> std::ws, value);
                committedAudits.insert(audit);
                FieldSet& set = lastSet[table + ' ' + id + ' ' + field];
                if (audit > set.auditId) set = {audit, value};
            } else if (kind == "A") {
                std::vector<std::string> add(4);
                in >> add[0] >> add[1] >> add[2] >> add[3];
                committedAudits.insert(std::stoll(add[0]));
                adds.push_back(add);
            } else if (kind == "U") {
                ++figures.unneededConflicts;
            } else if (kind == "S") {
                std::string name;
                long value = 0;
                in >> name >> value;
                figures.counters[name] += value;
            }
        }
    }
    ASSERT_GT(figures.counters["committed"], 0);

    // Every committed save's audit line is there, with its workstation's name.
    std::set<long long> stored;
    for (const auto& r : rows("SELECT `id` FROM `logs` WHERE `log` LIKE 'Poste%'")) stored.insert(std::stoll(r[0]));
    for (long long audit : committedAudits) EXPECT_TRUE(stored.count(audit)) << "audit line " << audit << " missing";
    EXPECT_EQ(static_cast<long>(stored.size()), figures.counters["committed"]) << "a save wrote its line without committing";

    // Nothing silently lost: each field holds what the last save that set it wrote.
    for (const auto& [key, set] : lastSet) {
        std::istringstream in(key);
        std::string table, id, field;
        in >> table >> id >> field;
        std::string now;
        if (table == "timeslot" && field.rfind('I', 0) == 0) {
            const auto done = rows("SELECT `done` FROM `timeslot` WHERE `id` = " + id);
            now = done.empty() ? "" : db::fromAnsi(done[0][0]).isEmpty()
                                          ? ""
                                          : planning::ItemValue(db::fromAnsi(done[0][0]), QString::fromStdString(field)).toStdString();
        } else {
            const auto value = rows("SELECT `" + field + "` FROM `" + table + "` WHERE `id` = " + id);
            now = value.empty() ? "" : db::fromAnsi(value[0][0]).toStdString();
        }
        if (now != set.value) {
            ++figures.silentlyLost;
            ADD_FAILURE() << key << ": the last save set \"" << set.value << "\" (audit " << set.auditId << "), the database holds \""
                          << now << "\"";
        }
    }

    // Nothing half-written: every committed add is whole, a group with all its slots; every
    // row the run made belongs to a committed add.
    std::map<std::string, std::set<std::string>> made;
    for (const auto& add : adds) {
        const std::string& table = add[1];
        const long long first = std::stoll(add[2]);
        const int count = std::stoi(add[3]);
        for (int k = 0; k < count; ++k) made[table].insert(std::to_string(first + k));
        if (table == "timeslot") {
            const auto group = rows("SELECT COUNT(*) FROM `timeslot` WHERE `id` = " + add[2] + " AND `childof` = -1");
            const auto children = rows("SELECT COUNT(*) FROM `timeslot` WHERE `childof` = " + add[2] + " AND `id` > " + add[2] +
                                       " AND `id` < " + std::to_string(first + count));
            if (group[0][0] != "1" || std::stoi(children[0][0]) != count - 1) {
                ++figures.halfWritten;
                ADD_FAILURE() << "group " << add[2] << " of " << count << " slots is not whole";
            }
        }
        if (table == "comp" && rows("SELECT COUNT(*) FROM `showname` WHERE `comp` = " + add[2])[0][0] == "0") {
            ++figures.halfWritten;
            ADD_FAILURE() << "company " << add[2] << " without its placeholder show";
        }
    }
    for (const char* table : {"comp", "timeslot", "contract"}) {
        for (const std::string& id : idsOf(table)) {
            if (before[table].count(id) || made[table].count(id)) continue;
            // Edits add slots to groups: those rows name a committed group as their head.
            if (std::string(table) == "timeslot" &&
                rows("SELECT COUNT(*) FROM `timeslot` t JOIN `timeslot` h ON h.`id` = t.`childof` WHERE t.`id` = " + id)[0][0] == "1")
                continue;
            ++figures.halfWritten;
            ADD_FAILURE() << table << " row " << id << " belongs to no committed save";
        }
    }
    EXPECT_EQ(figures.unneededConflicts, 0) << "conflicts shown where a merge should have settled them";

    const long again = figures.counters["idRetries"] + figures.counters["lockRetries"];
    std::ostringstream text;
    text << "shared office, " << kWorkstations << " workstations for " << stressSeconds() << " s: saves tried "
         << figures.counters["tried"] << ", committed " << figures.counters["committed"] << ", run again " << again << " ("
         << figures.counters["idRetries"] << " for ids, " << figures.counters["lockRetries"] << " for deadlocks or lock waits), merged "
         << figures.counters["merged"] << ", conflicts shown " << figures.counters["conflicts"] << ", rows deleted meanwhile "
         << figures.counters["vanished"] << ", failed " << figures.counters["failed"] << ", silently lost " << figures.silentlyLost
         << ", half-written " << figures.halfWritten << "\n";
    std::ofstream(testing_support::figuresPath("shared-office.txt")) << text.str();
    std::printf("%s", text.str().c_str());
}

}  // namespace
