#include "tests/edits/stress_run.h"

#include <gtest/gtest.h>

#include <QDir>
#include <QFile>
#include <fstream>
#include <sstream>

#include "db/codepage.h"
#include "programme/followup.h"
#include "tests/support/empty_programme.h"
#include "tests/support/testdb.h"

namespace stress {

namespace {

std::vector<testdb::Row> rows(const std::string& sql) { return testdb::query(testdb::programmeDb(), sql); }

const QString kLogs = QDir(QStringLiteral(BRELO_BUILD_DIR)).filePath(QStringLiteral("stress-logs"));

QString logOf(int workstation) { return QDir(kLogs).filePath(QStringLiteral("poste%1.log").arg(workstation + 1)); }

// Three companies with a show each, three groups of two slots with their plans, a contract.
void fillSmallProgramme() {
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

struct FieldSet {
    long long auditId = 0;
    std::string value;
};

// The ids a table holds.
std::set<std::string> idsOf(const char* table) {
    std::set<std::string> ids;
    for (const auto& r : rows(std::string("SELECT `id` FROM `") + table + "`")) ids.insert(r[0]);
    return ids;
}

}  // namespace

double seconds(double otherwise) {
    const QByteArray configured = qgetenv("BRELO_STRESS_SECONDS");
    return configured.isEmpty() ? otherwise : configured.toDouble();
}

Run::Run() {
    testing_support::startEmptyProgramme();
    fillSmallProgramme();
    for (const char* table : {"comp", "showname", "timeslot", "contract"}) before_[table] = idsOf(table);
}

void Run::start(double length, const std::vector<unsigned>& ports) {
    length_ = length;
    const QString worker = QStringLiteral(BRELO_BUILD_DIR "/tests/stress_workstation");
    QDir(kLogs).removeRecursively();
    QDir().mkpath(kLogs);
    for (int i = 0; i < kWorkstations; ++i) {
        auto process = std::make_unique<QProcess>();
        process->setProcessChannelMode(QProcess::ForwardedErrorChannel);
        QStringList arguments{QString::number(length), QString::number(1000 + i), QStringLiteral("Poste%1").arg(i + 1), logOf(i)};
        if (!ports.empty()) arguments << QString::number(ports[static_cast<std::size_t>(i) % ports.size()]);
        process->start(worker, arguments);
        ASSERT_TRUE(process->waitForStarted()) << worker.toStdString();
        processes_.push_back(std::move(process));
    }
}

void Run::stop() { QFile(QDir(kLogs).filePath(QStringLiteral("stop"))).open(QIODevice::WriteOnly); }

void Run::wait() {
    for (auto& process : processes_) {
        ASSERT_TRUE(process->waitForFinished(static_cast<int>((length_ + 120) * 1000)));
        EXPECT_EQ(process->exitCode(), 0);
    }
}

Checked Run::check() const {
    // What the workstations say they did.
    Checked checked;
    std::map<std::string, FieldSet> lastSet;  // "table id field" -> the last committed value
    std::vector<std::vector<std::string>> adds;
    std::set<long long> committedAudits;
    for (int i = 0; i < kWorkstations; ++i) {
        std::ifstream log(logOf(i).toStdString());
        Workstation workstation;
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
                ++checked.unneededConflicts;
            } else if (kind == "S") {
                std::string name;
                long value = 0;
                in >> name >> value;
                checked.counters[name] += value;
                workstation.counters[name] = value;
            }
        }
        checked.workstations.push_back(workstation);
    }
    EXPECT_GT(checked.counters["committed"], 0);

    // Every committed save's audit line is there, with its workstation's name.
    std::set<long long> stored;
    for (const auto& r : rows("SELECT `id` FROM `logs` WHERE `log` LIKE 'Poste%'")) stored.insert(std::stoll(r[0]));
    for (long long audit : committedAudits) EXPECT_TRUE(stored.count(audit)) << "audit line " << audit << " missing";
    EXPECT_EQ(static_cast<long>(stored.size()), checked.counters["committed"]) << "a save wrote its line without committing";

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
            ++checked.silentlyLost;
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
                ++checked.halfWritten;
                ADD_FAILURE() << "group " << add[2] << " of " << count << " slots is not whole";
            }
        }
        if (table == "comp" && rows("SELECT COUNT(*) FROM `showname` WHERE `comp` = " + add[2])[0][0] == "0") {
            ++checked.halfWritten;
            ADD_FAILURE() << "company " << add[2] << " without its placeholder show";
        }
    }
    for (const char* table : {"comp", "timeslot", "contract"}) {
        for (const std::string& id : idsOf(table)) {
            if (before_.at(table).count(id) || made[table].count(id)) continue;
            // Edits add slots to groups: those rows name a committed group as their head.
            if (std::string(table) == "timeslot" &&
                rows("SELECT COUNT(*) FROM `timeslot` t JOIN `timeslot` h ON h.`id` = t.`childof` WHERE t.`id` = " + id)[0][0] == "1")
                continue;
            ++checked.halfWritten;
            ADD_FAILURE() << table << " row " << id << " belongs to no committed save";
        }
    }
    EXPECT_EQ(checked.unneededConflicts, 0) << "conflicts shown where a merge should have settled them";
    return checked;
}

std::string savesFigures(const Checked& checked) {
    std::map<std::string, long> c = checked.counters;
    std::ostringstream text;
    text << "saves tried " << c["tried"] << ", committed " << c["committed"] << ", run again "
         << c["idRetries"] + c["lockRetries"] << " (" << c["idRetries"] << " for ids, " << c["lockRetries"]
         << " for deadlocks or lock waits), merged " << c["merged"] << ", conflicts shown " << c["conflicts"]
         << ", rows deleted meanwhile " << c["vanished"] << ", failed " << c["failed"] << ", silently lost "
         << checked.silentlyLost << ", half-written " << checked.halfWritten;
    return text.str();
}

}  // namespace stress
