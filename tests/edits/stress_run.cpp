#include "tests/edits/stress_run.h"

#include <gtest/gtest.h>

#include <QDir>
#include <QFile>
#include <atomic>
#include <fstream>
#include <random>
#include <sstream>
#include <thread>

#include "bench/link_proxy.h"
#include "db/codepage.h"
#include "db/connections.h"
#include "edits/change_trail.h"
#include "followup/followup.h"
#include "tests/support/empty_programme.h"
#include "tests/support/sql.h"
#include "tests/support/testdb.h"

namespace stress {

namespace {

const QString kLogs = QDir(QStringLiteral(BRELO_BUILD_DIR)).filePath(QStringLiteral("stress-logs"));

QString logOf(int workstation) { return QDir(kLogs).filePath(QStringLiteral("poste%1.log").arg(workstation + 1)); }

// Three companies with a show each, three groups of two slots with their plans, a contract.
void fillSmallProgramme() {
    testdb::exec(
        testdb::programmeDb(),
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

// Every row the server commits in a programme table, with what the plan checks need. An
// UPDATE that changes nothing in a row is not a change of it. Each row names its save: its
// session (a random name given at the session's first row) and the number of audit lines the
// session wrote before it (a save writes its audit line after its rows); and whether it was
// written inside a transaction (a statement run on its own commits alone, whatever its save).
void addHistory() {
    // One statement a call: a node of a cluster replicates each as its own text.
    std::vector<std::string> sql{
        "CREATE TABLE `stress_history` (`id` INT NOT NULL AUTO_INCREMENT, `trx` VARCHAR(40) NOT NULL, `tbl` "
        "VARCHAR(16) NOT NULL,"
        " `row_id` BIGINT NOT NULL, `in_transaction` INT NOT NULL, `slot` VARCHAR(40) NULL, `todo` TEXT NULL, `done` "
        "TEXT NULL,"
        " `survey` VARCHAR(255) NULL,"
        " `was_todo` TEXT NULL, `was_done` TEXT NULL, `was_survey` VARCHAR(255) NULL, PRIMARY KEY (`id`))"
        " ENGINE=InnoDB DEFAULT CHARSET=latin1"};
    const std::map<std::string, std::vector<std::string>> columns{
        {"comp", {"nom", "email", "contact1", "contact2", "deleted", "fulladr"}},
        {"showname", {"name", "comp", "deleted"}},
        {"contract", {"ts", "extra", "deleted", "rtf"}},
        {"logs", {"log"}},
        {"timeslot", {"date", "start", "end", "deleted", "showname", "childof", "room", "todo", "done", "survey"}}};
    for (const auto& [table, names] : columns) {
        const bool plan = table == "timeslot";
        // A row's plan before and after each change: a node of a cluster numbers its audit lines
        // in steps of its own, so their order is not the order of the commits.
        const auto record = [&](const char* was) {
            return std::string(
                       "INSERT INTO `stress_history` (`trx`, `tbl`, `row_id`, `in_transaction`, `slot`, `todo`, `done`,"
                       " `survey`, `was_todo`, `was_done`, `was_survey`) VALUES") +
                   " (CONCAT(IFNULL(@history_session, @history_session := UUID()), '-', IFNULL(@history_save, 0)), '" +
                   table + "', NEW.`id`, @@in_transaction, " +
                   (plan ? "CONCAT_WS(' ', NEW.`date`, NEW.`start`, NEW.`end`, IF(NEW.`deleted`, 'deleted', 'live')), "
                           "NEW.`todo`,"
                           " NEW.`done`, NEW.`survey`, "
                         : "NULL, NULL, NULL, NULL, ") +
                   was + ")";
        };
        const std::string insert = record("NULL, NULL, NULL");
        const std::string update = record(plan ? "OLD.`todo`, OLD.`done`, OLD.`survey`" : "NULL, NULL, NULL");
        std::string same;
        for (const std::string& c : names)
            same += (same.empty() ? "" : " AND ") + ("OLD.`" + c + "` <=> NEW.`" + c + "`");
        // A save's audit line is its last row here: the session's next rows are the next save's.
        const std::string next = table == "logs" ? "; SET @history_save = IFNULL(@history_save, 0) + 1" : "";
        sql.push_back("CREATE TRIGGER `history_" + table + "_insert` AFTER INSERT ON `" + table +
                      "` FOR EACH ROW BEGIN " + insert + next + "; END");
        sql.push_back("CREATE TRIGGER `history_" + table + "_update` AFTER UPDATE ON `" + table +
                      "` FOR EACH ROW IF NOT (" + same + ") THEN " + update + "; END IF");
    }
    for (const std::string& statement : sql) testdb::exec(testdb::programmeDb(), statement);
}

// The titles of a follow-up text's items ("Règlement 1", "I2"), as stored.
std::set<std::string> titles(const std::string& text) {
    std::set<std::string> out;
    std::size_t at = 0;
    while (at <= text.size() && !text.empty()) {
        const std::size_t end = std::min(text.find("$$$", at), text.size());
        const std::string item = text.substr(at, end - at);
        out.insert(item.substr(0, item.find('=')));
        at = end + 3;
    }
    return out;
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

// How a workstation said one save ended (its log's E line).
struct Ended {
    int workstation = 0;
    long long ms = 0;
    std::string end;
    std::string token;
    long long auditId = 0;
};

// The tokens the server holds, with the audit line each names (0: none).
std::map<std::string, long long> storedTokens() {
    std::map<std::string, long long> tokens;
    for (const auto& r : rows("SELECT `token`, `log` FROM `save_tokens`")) tokens[r[0]] = std::stoll(r[1]);
    return tokens;
}

// What a workstation did and was told in the seconds before a save ended, and what each server
// holds of its token: a misreported save explains itself.
std::string historyOf(const Ended& e, const std::vector<unsigned>& ports) {
    std::ostringstream text;
    text << "\n  Poste" << e.workstation + 1 << ", its log from " << e.ms - 3000 << " ms to " << e.ms + 500 << " ms:";
    std::ifstream log(logOf(e.workstation).toStdString());
    std::string line;
    while (std::getline(log, line)) {
        std::istringstream in(line);
        std::string kind;
        long long ms = 0;
        in >> kind >> ms;
        if ((kind == "E" || kind == "M") && ms >= e.ms - 3000 && ms <= e.ms + 500) text << "\n    " << line;
    }
    const auto holds = [&](const std::string& where) {
        const auto found = rows(
            "SELECT t.`log`, IFNULL(l.`log`, '(no audit line)') FROM `save_tokens` t LEFT JOIN `logs` l"
            " ON l.`id` = t.`log` WHERE t.`token` = '" +
            e.token + "'");
        text << "\n  " << where << ": "
             << (found.empty()
                     ? std::string("token not stored")
                     : "token -> audit " + found[0][0] + " \"" + db::fromAnsi(found[0][1]).toStdString() + "\"");
    };
    if (ports.empty()) holds("the server");
    for (std::size_t n = 0; n < ports.size(); ++n) {
        const testdb::OnServer node(ports[n]);
        holds("node " + std::to_string(n + 1));
    }
    return text.str();
}

// The saves the server recorded changing a row, newest first, each with its audit line (a node
// of a cluster numbers rows in steps of its own: roughly the order of the commits).
std::string rowHistory(const std::string& table, const std::string& id) {
    std::ostringstream text;
    for (const auto& r :
         rows("SELECT h.`trx`, IFNULL(h.`slot`, ''), IFNULL((SELECT CONCAT(l.`id`, ' ', l.`log`) FROM `stress_history` "
              "a JOIN `logs` l ON l.`id` = a.`row_id`"
              " WHERE a.`trx` = h.`trx` AND a.`tbl` = 'logs' LIMIT 1), '(no audit line)') FROM `stress_history` h"
              " WHERE h.`tbl` = '" +
              table + "' AND h.`row_id` = " + id + " ORDER BY h.`id` DESC LIMIT 6"))
        text << "\n    " << r[0] << (r[1].empty() ? "" : " (" + r[1] + ")") << ": " << db::fromAnsi(r[2]).toStdString();
    return text.str();
}

// Each save's end against the tokens the server holds: one reported committed holds its token
// tied to its audit line, one reported failed or stopped holds none tied to an audit line, and
// every token tied to a workstation's audit line is one a workstation reported committed, or
// whose outcome it said is unknown.
void checkTokens(const std::vector<Ended>& ended, const std::map<std::string, long long>& tokens,
                 const std::vector<unsigned>& ports, Checked& checked) {
    std::set<std::string> reported;
    for (const Ended& e : ended) {
        reported.insert(e.token);
        const auto found = tokens.find(e.token);
        const long long audit = found == tokens.end() ? 0 : found->second;
        if (e.end == "unknown") {
            if (audit != 0) ++checked.unknownStored;
            continue;
        }
        if (e.end == "committed" ? audit == e.auditId : audit == 0) continue;
        ++checked.misreported;
        ADD_FAILURE() << "a save reported " << e.end << " (audit " << e.auditId << ") whose token is "
                      << (audit == 0 ? std::string("not stored") : "stored with audit " + std::to_string(audit))
                      << historyOf(e, ports);
    }
    std::set<std::string> lines;
    for (const auto& r : rows("SELECT `id` FROM `logs` WHERE `log` LIKE 'Poste%'")) lines.insert(r[0]);
    for (const auto& [token, audit] : tokens) {
        // The token and the audit line it names are written in one transaction: one without the
        // other was committed on its own.
        if (audit == 0) {
            ++checked.halfWritten;
            ADD_FAILURE() << "token " << token << " stored without its audit line";
            continue;
        }
        if (reported.count(token) || !lines.count(std::to_string(audit))) continue;
        ++checked.misreported;
        ADD_FAILURE() << "token " << token << " of audit line " << audit << " stored by a save no workstation reported";
    }
}

}  // namespace

double seconds(double otherwise) {
    const QByteArray configured = qgetenv("BRELO_STRESS_SECONDS");
    return configured.isEmpty() ? otherwise : configured.toDouble();
}

Run::Run() {
    testing_support::startEmptyProgramme();
    fillSmallProgramme();
    addHistory();
    for (const char* table : {"comp", "showname", "timeslot", "contract"}) before_[table] = idsOf(table);
}

// The relay and the thread that cuts a link through it every 50 to 400 ms.
struct Run::Cutter {
    explicit Cutter(unsigned serverPort) : relay(0, static_cast<uint16_t>(serverPort), {0.0, 1e12}) {
        thread = std::thread([this] {
            std::mt19937 random(7);
            while (!stop) {
                std::this_thread::sleep_for(
                    std::chrono::milliseconds(std::uniform_int_distribution<int>(50, 400)(random)));
                relay.cutOne(random());
            }
        });
    }
    ~Cutter() {
        stop = true;
        thread.join();
    }
    bench::LinkProxy relay;
    std::atomic<bool> stop{false};
    std::thread thread;
};

void Run::start(double length, const std::vector<unsigned>& ports, bool cuts) {
    length_ = length;
    ports_ = ports;
    std::vector<unsigned> to = ports;
    if (cuts) {
        cutter_ = std::make_shared<Cutter>(ports.empty() ? db::programmeSettings().port : ports.front());
        to = {cutter_->relay.port()};
    }
    const QString worker = QStringLiteral(BRELO_BUILD_DIR "/tests/stress_workstation");
    QDir(kLogs).removeRecursively();
    QDir().mkpath(kLogs);
    for (int i = 0; i < kWorkstations; ++i) {
        auto process = std::make_unique<QProcess>();
        process->setProcessChannelMode(QProcess::ForwardedErrorChannel);
        QStringList arguments{QString::number(length), QString::number(1000 + i), QStringLiteral("Poste%1").arg(i + 1),
                              logOf(i)};
        if (!to.empty()) arguments << QString::number(to[static_cast<std::size_t>(i) % to.size()]);
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
    if (cutter_) cuts_ = cutter_->relay.cuts();
    cutter_.reset();
}

// What the server committed, read from the history its triggers kept: the rows of one
// transaction are the changes of one committed save, whose audit line is among them.
void Run::checkHistory(Checked& checked) const {
    std::map<long long, std::string> lines;
    for (const auto& r : rows("SELECT `id`, `log` FROM `logs`")) lines[std::stoll(r[0])] = r[1];
    std::map<std::string, std::vector<testdb::Row>> byTransaction;
    for (const auto& r :
         rows("SELECT `trx`, `tbl`, `row_id`, `todo`, `done`, `survey`, `was_todo`, `was_done`, `was_survey`,"
              " `in_transaction` FROM `stress_history` ORDER BY `id`")) {
        byTransaction[r[0]].push_back(r);
        if (r[9] != "0") continue;
        ++checked.halfWritten;
        ADD_FAILURE() << r[1] << " row " << r[2]
                      << " written outside a transaction, committed on its own; the row's saves:"
                      << rowHistory(r[1], r[2]);
    }
    std::map<long long, std::vector<testdb::Row>> saves;
    for (const auto& [transaction, changes] : byTransaction) {
        long long audit = -1;
        std::vector<testdb::Row> writes;
        for (const auto& change : changes) {
            if (change[1] == "logs")
                audit = std::stoll(change[2]);
            else
                writes.push_back(change);
        }
        if (audit >= 0) {
            saves[audit] = writes;
            continue;
        }
        for (const auto& change : writes) {
            ++checked.unmeant;
            ADD_FAILURE() << change[1] << " row " << change[2] << " changed by no save (transaction " << transaction
                          << ")";
        }
    }
    for (const auto& [audit, changes] : saves) {
        const QString log = db::fromAnsi(lines[audit]);
        const edits::ChangedRows named = edits::ChangedRows::parse(log);
        for (const auto& change : changes) {
            const QString table = QString::fromStdString(change[1]);
            const QString id = QString::fromStdString(change[2]);
            const bool meant =
                named.contains(table, id) ||
                (table == QStringLiteral("timeslot") && named.contains(QString::fromUtf8(edits::kCleanedPlanKey), id));
            if (!meant) {
                ++checked.unmeant;
                ADD_FAILURE() << change[1] << " row " << change[2]
                              << " changed by a save that does not name it: " << log.toStdString();
            }
            // A plan or done item goes only with another template, or when the user kept his
            // follow-up over a colleague's, shown as a clash (the audit line says what it wrote
            // over). An added row has no before.
            if (change[1] != "timeslot" || (change[6].empty() && change[7].empty() && change[8].empty())) continue;
            if (change[5] != change[8] || log.contains(QStringLiteral("remplace l'autre poste"))) continue;
            for (const auto& [after, before] : {std::pair{3, 6}, std::pair{4, 7}}) {
                const std::set<std::string> now = titles(change[static_cast<std::size_t>(after)]);
                for (const std::string& item : titles(change[static_cast<std::size_t>(before)]))
                    if (!now.count(item)) {
                        ++checked.planItemsLost;
                        ADD_FAILURE() << "item \"" << item << "\" of group row " << change[2] << " lost by "
                                      << log.toStdString();
                    }
            }
        }
    }
    // An add stored twice: two rows holding the name or number only one add gave.
    std::map<std::string, int> names;
    for (const auto& r : rows("SELECT `nom` FROM `comp` WHERE `nom` LIKE 'Poste%'")) ++names[r[0]];
    for (const auto& r : rows("SELECT `extra` FROM `contract`")) {
        const std::string key = "Numéro de contrat$$$";
        const std::string extra = db::fromAnsi(r[0]).toStdString();
        const std::size_t at = extra.find(key);
        if (at != std::string::npos) ++names[extra.substr(at + key.size(), extra.find("###", at) - at - key.size())];
    }
    for (const auto& [name, count] : names)
        if (count > 1) {
            checked.duplicates += count - 1;
            ADD_FAILURE() << "\"" << name << "\" stored " << count << " times";
        }
    checked.cuts = cuts_;
}

Checked Run::check() const {
    // What the workstations say they did.
    Checked checked;
    const std::map<std::string, long long> tokens = storedTokens();
    // A save whose outcome the user was told is unknown counts as committed when the server
    // holds its token (audit id 0 in the log: the token says which line is its).
    const auto auditOf = [&](long long audit, const std::string& token) {
        if (audit != 0) return audit;
        const auto found = tokens.find(token);
        return found == tokens.end() ? 0LL : found->second;
    };
    std::map<std::string, FieldSet> lastSet;     // "table id field" -> the last committed value
    std::map<std::string, std::string> setters;  // "table id field" -> the saves that set it
    std::vector<std::vector<std::string>> adds;
    std::set<long long> committedAudits;
    std::vector<std::pair<long long, std::string>> templateChanges;
    std::vector<Ended> ended;
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
                std::string token, table, id, field, value;
                in >> audit >> token >> table >> id >> field;
                std::getline(in >> std::ws, value);
                if ((audit = auditOf(audit, token)) == 0) continue;
                committedAudits.insert(audit);
                FieldSet& set = lastSet[table + ' ' + id + ' ' + field];
                setters[table + ' ' + id + ' ' + field] += "\n    audit " + std::to_string(audit) + " Poste" +
                                                           std::to_string(i + 1) + " token " + token + ": " + value;
                if (audit > set.auditId) set = {audit, value};
            } else if (kind == "A") {
                long long audit = 0;
                std::vector<std::string> add(4);
                in >> audit >> add[3] >> add[0] >> add[1] >> add[2];
                if ((audit = auditOf(audit, add[3])) == 0) continue;
                committedAudits.insert(audit);
                adds.push_back(add);
            } else if (kind == "T") {
                long long audit = 0;
                std::string token, table, id;
                in >> audit >> token >> table >> id;
                if ((audit = auditOf(audit, token)) != 0) templateChanges.emplace_back(audit, id);
            } else if (kind == "E") {
                Ended e{i};
                in >> e.ms >> e.end >> e.token >> e.auditId;
                ended.push_back(e);
            } else if (kind == "N") {
                std::string table, column, value;
                in >> table >> column;
                std::getline(in >> std::ws, value);
                // A company by its name; a contract by its number, the first of its values to end.
                const std::string where =
                    table == "comp" ? "`nom` = '" + value + "'"
                                    : "`extra` LIKE '%$$$" + value + "###%' OR `extra` LIKE '%$$$" + value + "'";
                const auto found = rows("SELECT COUNT(*) FROM `" + table + "` WHERE " + where);
                if (found[0][0] != "0") {
                    ++checked.misreported;
                    ADD_FAILURE() << "an add reported failed is stored: " << table << ' ' << value;
                }
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
    for (long long audit : committedAudits) {
        if (stored.count(audit)) continue;
        ++checked.misreported;
        ADD_FAILURE() << "audit line " << audit << " of a save reported committed is missing";
    }
    checkTokens(ended, tokens, ports_, checked);
    EXPECT_EQ(static_cast<long>(stored.size()), checked.counters["committed"] + checked.unknownStored)
        << "a save wrote its line without committing";

    // So does a "keep mine" over a colleague's template or whole record, as its audit line says.
    for (const auto& r : rows("SELECT `id`, `log` FROM `logs` WHERE `log` LIKE '%remplace l''autre poste sur : %'")) {
        const QString log = db::fromAnsi(r[1]);
        const QStringList heads = edits::ChangedRows::parse(log).ids(QStringLiteral("timeslot"));
        const QString over = log.mid(log.indexOf(QStringLiteral("remplace l'autre poste sur : ")));
        if (heads.isEmpty() ||
            !(over.contains(QStringLiteral("Surveillance")) || over.contains(QStringLiteral("Plan du suivi")) ||
              over.contains(QStringLiteral("Suivi fait"))))
            continue;
        templateChanges.emplace_back(std::stoll(r[0]), heads.front().toStdString());
    }
    // A template change starts the items anew (the history checks what it kept): an item set
    // before it is not looked for.
    for (const auto& [audit, head] : templateChanges)
        for (auto it = lastSet.begin(); it != lastSet.end();)
            it = it->first.rfind("timeslot " + head + " I", 0) == 0 && it->second.auditId < audit ? lastSet.erase(it)
                                                                                                  : std::next(it);
    // Nothing silently lost: each field holds what the last save that set it wrote.
    for (const auto& [key, set] : lastSet) {
        std::istringstream in(key);
        std::string table, id, field;
        in >> table >> id >> field;
        std::string now;
        if (table == "timeslot" && field.rfind('I', 0) == 0) {
            const auto done = rows("SELECT `done` FROM `timeslot` WHERE `id` = " + id);
            now = done.empty() ? ""
                  : db::fromAnsi(done[0][0]).isEmpty()
                      ? ""
                      : followup::ItemValue(db::fromAnsi(done[0][0]), QString::fromStdString(field)).toStdString();
        } else {
            const auto value = rows("SELECT `" + field + "` FROM `" + table + "` WHERE `id` = " + id);
            now = value.empty() ? "" : db::fromAnsi(value[0][0]).toStdString();
        }
        if (now != set.value) {
            ++checked.silentlyLost;
            ADD_FAILURE() << key << ": the last save set \"" << set.value << "\" (audit " << set.auditId
                          << "), the database holds \"" << now << "\"\n  the saves reported setting it:" << setters[key]
                          << "\n  the saves the server recorded changing the row:" << rowHistory(table, id);
        }
    }

    // Nothing half-written: every committed add is whole, a group with all its slots; every
    // row the run made belongs to a committed add.
    std::map<std::string, std::set<std::string>> made;
    for (const auto& add : adds) {
        const std::string& table = add[0];
        const long long first = std::stoll(add[1]);
        const int count = std::stoi(add[2]);
        for (int k = 0; k < count; ++k) made[table].insert(std::to_string(first + k));
        if (table == "timeslot") {
            const auto group = rows("SELECT COUNT(*) FROM `timeslot` WHERE `id` = " + add[1] + " AND `childof` = -1");
            const auto children = rows("SELECT COUNT(*) FROM `timeslot` WHERE `childof` = " + add[1] + " AND `id` > " +
                                       add[1] + " AND `id` < " + std::to_string(first + count));
            if (group[0][0] != "1" || std::stoi(children[0][0]) != count - 1) {
                ++checked.halfWritten;
                ADD_FAILURE() << "group " << add[1] << " of " << count << " slots is not whole";
            }
        }
        if (table == "comp" && rows("SELECT COUNT(*) FROM `showname` WHERE `comp` = " + add[1])[0][0] == "0") {
            ++checked.halfWritten;
            ADD_FAILURE() << "company " << add[1] << " without its placeholder show";
        }
    }
    for (const char* table : {"comp", "timeslot", "contract"}) {
        for (const std::string& id : idsOf(table)) {
            if (before_.at(table).count(id) || made[table].count(id)) continue;
            // Edits add slots to groups: those rows name a committed group as their head.
            if (std::string(table) == "timeslot" &&
                rows("SELECT COUNT(*) FROM `timeslot` t JOIN `timeslot` h ON h.`id` = t.`childof` WHERE t.`id` = " +
                     id)[0][0] == "1")
                continue;
            ++checked.halfWritten;
            ADD_FAILURE() << table << " row " << id << " belongs to no committed save";
        }
    }
    checkHistory(checked);
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
         << checked.silentlyLost << ", half-written " << checked.halfWritten << "; links cut " << checked.cuts
         << " (saves run again on a new link " << c["linkRetries"] << ", found stored after a lost answer "
         << c["foundAfterLoss"] << ", outcome unknown " << c["unknown"] << " of which stored " << checked.unknownStored
         << "), back to input " << c["backToInput"] << ", duplicates " << checked.duplicates
         << ", outcomes misreported " << checked.misreported << ", rows changed unmeant " << checked.unmeant
         << ", plan items lost " << checked.planItemsLost;
    return text.str();
}

}  // namespace stress
