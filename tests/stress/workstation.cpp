// One simulated workstation of the shared-office stress test: its own process, so its own
// connection and its own loaded copy of the programme, driving the same saves as the manager's
// windows with random adds, edits, deletes, restores, follow-up changes and contracts, for a
// given time, or until a file named "stop" appears beside its log. It answers the questions a
// user would (at random) and writes one line per event to its log, which the test reads back
// to check the database:
//   F <audit id> <token> <table> <id> <field> <value>   a save that set this field to this value
//   A <audit id> <token> <table> <first id> <rows>       an add of these rows (a group: its slots)
//   U <table> <id> <what>                        a conflict shown that a merge should have settled
//   N <table> <column> <value>                   an add reported not stored (failed): no row may hold it
//   T <audit id> <token> timeslot <head id>      a template change: the items start anew
//   E <ms> <end> <token> <audit id>              how a save ended (committed, stopped, failed, unknown)
//   M <ms> <text>                                a message shown
//   S <counter> <value>                          the workstation's figures at the end
// F, A and T are written for a save reported committed, and for one whose outcome the user was
// told is unknown (audit id 0): the test then asks the server whether its token is stored.
// E and M, with the milliseconds since the start, are the workstation's history, which the
// test prints beside a save it finds misreported.
//
// When its server goes away (a node of a cluster stopped), each unit of work it tries meanwhile
// (a reload, a save) fails with its message; it waits a moment, as a user reading the message
// would, and tries again, until one reaches the server. The figures count the outages it met,
// the messages, the most one unit showed, and the saves it committed once the server was back.
//
//   stress_workstation SECONDS RANDOM_START NAME LOG [PORT]   (PORT: another server than the compiled-in one)
#include <QCoreApplication>
#include <QDateTime>
#include <chrono>
#include <cstdio>
#include <filesystem>
#include <fstream>
#include <functional>
#include <random>
#include <thread>

#include "bench/local_server.h"
#include "db/connections.h"
#include "db/query_runner.h"
#include "edits/corbeille.h"
#include "edits/deletes.h"
#include "edits/saves.h"
#include "edits/transaction.h"
#include "followup/followup.h"
#include "platform/ui_services.h"
#include "programme/account.h"
#include "programme/programme_data.h"

namespace {

using edits::Resolution;
using edits::SaveOutcome;
using edits::SaveResult;

// Nobody is there to read a box: errors are counted and written to the standard error, those
// that say the server could not be worked with (an outage) apart from the others.
class Unattended final : public platform::UnattendedUi {
public:
    explicit Unattended(QString name) : name_(std::move(name)) {}
    long outageErrors = 0;
    long otherErrors = 0;
    std::function<void(const QString&)> shown;
    int messageBox(const QString& text, platform::MessageIcon icon, platform::MessageButtons buttons) override {
        if (shown) shown(text);
        if (icon == platform::MessageIcon::Error) {
            const unsigned error = db::lastErrorNumber();
            const bool outage = text.startsWith(QString::fromUtf8(db::kConnectFailedFormat).section(u'%', 0, 0)) ||
                                db::serverOutOfReach(error) || db::lostConnection(error) || error == kConnectionKilled;
            ++(outage ? outageErrors : otherErrors);
            std::fprintf(stderr, "[%s] %s (%u)\n", name_.toUtf8().constData(), text.toUtf8().constData(), error);
        }
        return buttons == platform::MessageButtons::YesNo ? platform::IDYES : platform::IDOK;
    }
    int askChoice(const QString&, const QStringList&) override { return 0; }

private:
    // What a server stopping says to the connections it closes.
    static constexpr unsigned kConnectionKilled = 1927;
    QString name_;
};

// How long a user takes to read a message before trying again.
constexpr std::chrono::milliseconds kAfterFailure{300};

class Workstation {
public:
    Workstation(unsigned randomStart, QString name, const char* logPath, Unattended& ui)
        : random_(randomStart),
          name_(std::move(name)),
          log_(logPath),
          stop_(std::filesystem::path(logPath).replace_filename("stop")),
          ui_(ui) {
        edits::saveEnded() = [this](edits::RunEnd end, const std::string& token, long long auditId) {
            static const char* const kEnds[] = {"committed", "stopped", "failed", "unknown"};
            log_ << "E " << sinceStart() << ' ' << kEnds[static_cast<int>(end)] << ' ' << token << ' ' << auditId
                 << '\n';
            lastToken_ = token;
        };
        ui.shown = [this](const QString& text) {
            log_ << "M " << sinceStart() << ' ' << text.simplified().toStdString() << '\n';
        };
    }
    ~Workstation() {
        edits::saveEnded() = nullptr;
        ui_.shown = nullptr;
    }

    void run(double seconds) {
        const auto until =
            std::chrono::steady_clock::now() + std::chrono::milliseconds(static_cast<long>(seconds * 1000));
        unit([this] { reload(); });
        while (std::chrono::steady_clock::now() < until && !std::filesystem::exists(stop_)) {
            // A workstation does not reload before every save: its copy goes stale, as a
            // user's does while a dialog is open.
            if (chance(0.4)) unit([this] { reload(); });
            unit([this] { step(); });
        }
        const edits::SaveCounters& c = edits::saveCounters();
        log_ << "S tried " << c.tried << "\nS committed " << c.committed << "\nS idRetries " << c.idRetries
             << "\nS lockRetries " << c.lockRetries << "\nS linkRetries " << c.linkRetries << "\nS foundAfterLoss "
             << c.foundAfterLoss << "\nS unknown " << c.unknown << "\nS failed " << c.failed << "\nS merged " << merged_
             << "\nS conflicts " << conflicts_ << "\nS vanished " << vanished_ << "\nS outages " << outages_
             << "\nS outageMessages " << outageMessages_ << "\nS mostMessagesInAUnit " << mostMessages_
             << "\nS committedAfterOutage " << committedAfterOutage_ << "\nS otherMessages " << ui_.otherErrors
             << "\nS mostOtherMessagesInAUnit " << mostOtherMessages_ << "\nS backToInput " << backToInput_ << "\n";
        log_.flush();
    }

private:
    // One unit of work, as a user does one: the messages it showed are counted; a unit that
    // showed one begins an outage (unless one is on), a unit that reached the server ends it.
    template <class Work>
    void unit(Work work) {
        const long outageMessages = ui_.outageErrors;
        const long otherMessages = ui_.otherErrors;
        const long committed = edits::saveCounters().committed;
        const long reloads = reloads_;
        work();
        const long otherShown = ui_.otherErrors - otherMessages;
        mostOtherMessages_ = std::max(mostOtherMessages_, otherShown);
        if (const long shown = ui_.outageErrors - outageMessages; shown > 0) {
            if (!inOutage_) ++outages_;
            inOutage_ = true;
            outageMessages_ += shown;
            mostMessages_ = std::max(mostMessages_, shown + otherShown);
            std::this_thread::sleep_for(kAfterFailure);
            return;
        }
        const long committedNow = edits::saveCounters().committed;
        if (committedNow > committed || reloads_ > reloads) inOutage_ = false;
        if (outages_ > 0 && !inOutage_) committedAfterOutage_ += committedNow - committed;
    }

    long long sinceStart() const {
        return std::chrono::duration_cast<std::chrono::milliseconds>(std::chrono::steady_clock::now() - began_).count();
    }
    // "<audit id> <token>" of the save just ended when it is, or may be, stored; empty otherwise.
    std::string stored(const SaveResult& r) const {
        if (r.committed()) return std::to_string(r.auditId) + ' ' + lastToken_;
        if (r.outcome == SaveOutcome::Unknown) return "0 " + lastToken_;
        return {};
    }

    bool chance(double p) { return std::uniform_real_distribution<double>(0, 1)(random_) < p; }
    int pick(int n) { return std::uniform_int_distribution<int>(0, n - 1)(random_); }
    QString token() { return QStringLiteral("%1-%2").arg(name_).arg(++counter_); }
    void reload() {
        if (programme::reloadAll(nullptr) == 0) ++reloads_;
    }

    template <class Record, class Keep>
    int pickRecord(const std::vector<Record>& records, Keep keep) {
        std::vector<int> found;
        for (int i = 0; i < static_cast<int>(records.size()); ++i)
            if (keep(records[static_cast<std::size_t>(i)])) found.push_back(i);
        return found.empty() ? -1 : found[static_cast<std::size_t>(pick(static_cast<int>(found.size())))];
    }

    void field(const SaveResult& r, const char* table, const QString& id, const QString& name, const QString& value) {
        if (const std::string saved = stored(r); !saved.empty())
            log_ << "F " << saved << ' ' << table << ' ' << id.toStdString() << ' ' << name.toStdString() << ' '
                 << value.toStdString() << '\n';
    }

    // What a user answers: keep mine, keep theirs, or go back and try again on what is stored.
    // A clash must name what this workstation changed: anything else a merge should have taken.
    // backToInput: the dialog opened again on what is stored, with what this workstation typed
    // (false when the record is gone).
    template <class Save>
    SaveResult settle(Save save, const char* table, const QString& id, const QString& mine,
                      const std::function<bool()>& backToInput = {}) {
        Resolution resolution;
        for (int round = 0; round < 4; ++round) {
            const SaveResult r = save(resolution);
            if (r.outcome == SaveOutcome::Merged) ++merged_;
            if (r.outcome == SaveOutcome::Conflict) {
                ++conflicts_;
                bool named = false;
                // Another template chosen elsewhere clashes with any change of the plan here.
                for (const auto& d : r.differences)
                    named =
                        named || d.mine.contains(mine) || mine.isEmpty() || d.field == QStringLiteral("Surveillance");
                if (!named) log_ << "U " << table << ' ' << id.toStdString() << ' ' << r.differences.size() << '\n';
                if (backToInput && chance(0.3)) {
                    reload();
                    if (!backToInput()) return r;
                    ++backToInput_;
                    resolution = Resolution{};
                    continue;
                }
                if (chance(0.5)) {
                    resolution = Resolution::keepMineOver(r, resolution.restore);
                    continue;
                }
                return r;  // theirs kept
            }
            if (r.outcome == SaveOutcome::Vanished) {
                ++vanished_;
                if (chance(0.5)) {
                    resolution.restore = true;
                    continue;
                }
            }
            return r;
        }
        return {};
    }

    void step() {
        switch (pick(17)) {
        case 12: addSlot(); break;
        case 13: removeSlot(); break;
        case 14: changeTemplate(); break;
        case 15: editContract(); break;
        case 16: deleteCompany(); break;
        case 0: addCompany(); break;
        case 1:
        case 2: editCompany(); break;
        case 3: addGroup(); break;
        case 4:
        case 5:
        case 6: tickItem(); break;
        case 7: moveSlot(); break;
        case 8: newContract(); break;
        case 9: editShow(); break;
        case 10: deleteSomething(); break;
        case 11: restoreSomething(); break;
        }
    }

    void addCompany() {
        const QString name = token();
        const SaveResult r = edits::addCompany({name, {}, {}, {}, {}});
        if (const std::string saved = stored(r); !saved.empty()) log_ << "A " << saved << " comp " << r.newId << " 1\n";
        if (r.outcome == SaveOutcome::Failed) log_ << "N comp nom " << name.toStdString() << '\n';
    }

    void editCompany() {
        const int i = pickRecord(programme::companies(), [](const programme::Company& c) {
            return !programme::isDeleted(c.deleted) && !programme::isPlaceholderName(c.nom);
        });
        if (i < 0) return;
        const programme::Company base = programme::companies()[static_cast<std::size_t>(i)];
        edits::CompanyFields mine = edits::fieldsOf(base);
        const QString value = token();
        static const char* const kFields[] = {"email", "contact1", "fulladr"};
        const char* name = kFields[pick(3)];
        if (name == std::string("email")) mine.email = value;
        if (name == std::string("contact1")) mine.contact1 = value;
        if (name == std::string("fulladr")) mine.fulladr = value;
        programme::Company was = base;
        const auto backToInput = [&] {
            const int now = edits::recordIndex({edits::RecordKind::Company, base.id});
            if (now < 0) return false;
            const programme::Company stored = programme::companies()[static_cast<std::size_t>(now)];
            mine = edits::carryOver(was, stored, mine);
            was = stored;
            return true;
        };
        const SaveResult r = settle([&](const Resolution& res) { return edits::editCompany(was, mine, res); }, "comp",
                                    base.id, value, backToInput);
        field(r, "comp", base.id, QString::fromUtf8(name), value);
    }

    void editShow() {
        const int i = pickRecord(programme::shows(), [](const programme::Show& s) {
            return !programme::isDeleted(s.deleted) && !programme::isPlaceholderName(s.name);
        });
        if (i < 0) return;
        const programme::Show base = programme::shows()[static_cast<std::size_t>(i)];
        const QString value = token();
        const edits::ShowFields mine{value, static_cast<int32_t>(programme::leadingInteger(base.comp))};
        const SaveResult r =
            settle([&](Resolution res) { return edits::editShow(base, mine, res); }, "showname", base.id, value);
        field(r, "showname", base.id, QStringLiteral("name"), value);
    }

    int liveGroup() {
        return pickRecord(programme::timeslots(), [](const programme::Timeslot& t) {
            return !programme::isDeleted(t.deleted) && programme::isGroupHead(t);
        });
    }

    void addGroup() {
        const int show =
            pickRecord(programme::shows(), [](const programme::Show& s) { return !programme::isDeleted(s.deleted); });
        if (show < 0) return;
        planning::TimeslotEditorData group;
        group.showId =
            static_cast<int32_t>(programme::leadingInteger(programme::shows()[static_cast<std::size_t>(show)].id));
        group.room = 10;
        group.survey = QStringLiteral("stress.txt");
        group.todo = QStringLiteral(
            "Contrat envoyé par KQ$$$Contrat reçu par KQ$$$Règlement 1$$$Règlement 2$$$Règlement 3$$$"
            "Règlement 4$$$Règlement 5$$$I1$$$I2$$$I3$$$I4");
        const int count = 1 + pick(3);
        for (int s = 0; s < count; ++s) group.entries.push_back({1 + pick(28), 1 + pick(12), 2027, 18 + s, 0, 20, 0});
        const SaveResult r = edits::addGroup(group);
        if (const std::string saved = stored(r); !saved.empty())
            log_ << "A " << saved << " timeslot " << r.newId << ' ' << count << '\n';
    }

    // A follow-up item done here, as another workstation may do another one.
    void tickItem() {
        const int head = liveGroup();
        if (head < 0) return;
        const edits::GroupRows base = edits::groupRows(head);
        planning::TimeslotEditorData mine = edits::editorInput(base);
        const QString item = QStringLiteral("I%1").arg(1 + pick(4));
        const QString state =
            QStringLiteral("Fait le %1/%2/2027 (%3)").arg(1 + pick(28)).arg(1 + pick(12)).arg(token());
        QStringList items = mine.done.isEmpty() ? QStringList() : mine.done.split(QStringLiteral("$$$"));
        bool replaced = false;
        for (QString& existing : items)
            if (existing.startsWith(item + u'=')) {
                existing = item + u'=' + state;
                replaced = true;
            }
        if (!replaced) items << item + u'=' + state;
        mine.done = items.join(QStringLiteral("$$$"));
        const QString id = base.rows.front().id;
        const SaveResult r =
            settle([&](Resolution res) { return edits::editGroup(base, mine, res); }, "timeslot", id, state);
        field(r, "timeslot", id, item, state);
    }

    void moveSlot() {
        const int head = liveGroup();
        if (head < 0) return;
        const edits::GroupRows base = edits::groupRows(head);
        planning::TimeslotEditorData mine = edits::editorInput(base);
        const auto p = static_cast<std::size_t>(pick(static_cast<int>(mine.entries.size())));
        // A start drawn equal to the loaded one changes nothing: the save keeps what a colleague
        // stored meanwhile, and logging it as set would count that as lost.
        const planning::SlotEntry loaded = mine.entries[p];
        do {
            mine.entries[p].startHour = pick(24);
            mine.entries[p].startMinute = 5 * pick(12);
        } while (mine.entries[p] == loaded);
        const QString start = QString::asprintf("%02d:%02d:00", mine.entries[p].startHour, mine.entries[p].startMinute);
        const QString rowId = base.rows[p].id;
        const QString shown = QString::asprintf("%02d:%02d", mine.entries[p].startHour, mine.entries[p].startMinute);
        const SaveResult r =
            settle([&](Resolution res) { return edits::editGroup(base, mine, res); }, "timeslot", rowId, shown);
        field(r, "timeslot", rowId, QStringLiteral("start"), start);
    }

    void newContract() {
        const int head = liveGroup();
        if (head < 0) return;
        const QString number = token();
        const QString extra = QStringLiteral(
                                  "Date de retour du contrat avant nullité$$$Lundi 15 Juillet 2027###Montant de chacun "
                                  "des 5 chèques$$$100###"
                                  "Date encaissement du chèque numéro 1$$$Mardi 01 Juin 2027###Numéro de contrat$$$%1")
                                  .arg(number);
        const SaveResult r = edits::newContract({QStringLiteral("contrat_simple.rtf"), extra,
                                                 static_cast<int32_t>(programme::leadingInteger(
                                                     programme::timeslots()[static_cast<std::size_t>(head)].id))});
        if (const std::string saved = stored(r); !saved.empty())
            log_ << "A " << saved << " contract " << r.newId << " 1\n";
        if (r.outcome == SaveOutcome::Failed) log_ << "N contract extra " << number.toStdString() << '\n';
    }

    // A group edit of one kind: a slot added at its end, its last slot removed, another
    // checklist template (a new plan).
    SaveResult editGroupWith(const std::function<bool(planning::TimeslotEditorData&)>& change) {
        const int head = liveGroup();
        if (head < 0) return {};
        const edits::GroupRows base = edits::groupRows(head);
        planning::TimeslotEditorData mine = edits::editorInput(base);
        if (!change(mine)) return {};
        SaveResult r = settle([&](const Resolution& res) { return edits::editGroup(base, mine, res); }, "timeslot",
                              base.rows.front().id, QString());
        r.record.id = base.rows.front().id;
        return r;
    }
    void addSlot() {
        editGroupWith([this](planning::TimeslotEditorData& g) {
            if (g.entries.size() >= 5) return false;
            g.entries.push_back({1 + pick(28), 1 + pick(12), 2027, 14, 0, 15, 0});
            return true;
        });
    }
    void removeSlot() {
        editGroupWith([](planning::TimeslotEditorData& g) {
            if (g.entries.size() < 2) return false;
            g.entries.pop_back();
            return true;
        });
    }
    // The new template's plan starts with nothing done: the items ticked before go with it.
    void changeTemplate() {
        const SaveResult r = editGroupWith([this](planning::TimeslotEditorData& g) {
            g.survey =
                g.survey == QStringLiteral("stress.txt") ? QStringLiteral("autre.txt") : QStringLiteral("stress.txt");
            g.todo = QStringLiteral(
                         "Contrat envoyé par KQ$$$Contrat reçu par KQ$$$Règlement 1$$$Règlement 2$$$Règlement 3$$$"
                         "Règlement 4$$$Règlement 5$$$I1$$$I2$$$I3$$$I4$$$%1")
                         .arg(token());
            g.done.clear();
            return true;
        });
        if (const std::string saved = stored(r); !saved.empty())
            log_ << "T " << saved << " timeslot " << r.record.id.toStdString() << '\n';
    }

    void editContract() {
        const int i = pickRecord(programme::contracts(),
                                 [](const programme::Contract& c) { return !programme::isDeleted(c.deleted); });
        if (i < 0) return;
        const programme::Contract base = programme::contracts()[static_cast<std::size_t>(i)];
        const QString value = token();
        edits::ContractFields mine{base.rtf, base.extra + QStringLiteral("###Note$$$") + value,
                                   static_cast<int32_t>(programme::leadingInteger(base.ts))};
        const SaveResult r = settle([&](const Resolution& res) { return edits::editContract(base, mine, res); },
                                    "contract", base.id, value);
        field(r, "contract", base.id, QStringLiteral("extra"), mine.extra);
    }

    void deleteCompany() {
        const int i = pickRecord(programme::companies(), [](const programme::Company& c) {
            return !programme::isDeleted(c.deleted) && !programme::isPlaceholderName(c.nom);
        });
        if (i < 0) return;
        const edits::DeletePlan plan =
            edits::planDelete({edits::RecordKind::Company, programme::companies()[static_cast<std::size_t>(i)].id});
        edits::runDelete(plan, chance(0.5) ? edits::DeleteChoice::All : edits::DeleteChoice::TargetOnly);
    }

    void deleteSomething() {
        edits::RecordRef target;
        const int kind = pick(3);
        if (kind == 0) {
            const int i = liveGroup();
            if (i < 0) return;
            target = {edits::RecordKind::Group, programme::timeslots()[static_cast<std::size_t>(i)].id};
        } else if (kind == 1) {
            const int i = pickRecord(programme::contracts(),
                                     [](const programme::Contract& c) { return !programme::isDeleted(c.deleted); });
            if (i < 0) return;
            target = {edits::RecordKind::Contract, programme::contracts()[static_cast<std::size_t>(i)].id};
        } else {
            const int i = pickRecord(programme::shows(), [](const programme::Show& s) {
                return !programme::isDeleted(s.deleted) && !programme::isPlaceholderName(s.name);
            });
            if (i < 0) return;
            target = {edits::RecordKind::Show, programme::shows()[static_cast<std::size_t>(i)].id};
        }
        const edits::DeletePlan plan = edits::planDelete(target);
        edits::runDelete(plan, chance(0.5) ? edits::DeleteChoice::All : edits::DeleteChoice::TargetOnly);
    }

    void restoreSomething() {
        std::vector<edits::AuditLine> lines;
        if (!db::programmeConnected() && db::connectProgramme() != 0) return;
        // As a user whose Corbeille did not open: its message was shown, nothing restored.
        const bool loaded = edits::loadDeleteLines(lines) == 0;
        db::closeProgramme();
        if (!loaded) return;
        const std::vector<edits::CorbeilleEntry> entries = edits::corbeilleEntries(lines);
        if (entries.empty()) return;
        const edits::CorbeilleEntry& chosen =
            entries[static_cast<std::size_t>(pick(static_cast<int>(std::min<std::size_t>(entries.size(), 4))))];
        edits::runRestore(edits::planRestore({chosen}, entries), chance(0.5));
    }

    std::mt19937 random_;
    QString name_;
    std::ofstream log_;
    std::filesystem::path stop_;
    int counter_ = 0;
    long merged_ = 0;
    long backToInput_ = 0;
    long conflicts_ = 0;
    long vanished_ = 0;
    Unattended& ui_;
    const std::chrono::steady_clock::time_point began_ = std::chrono::steady_clock::now();
    std::string lastToken_;
    long reloads_ = 0;
    bool inOutage_ = false;
    long outages_ = 0;
    long outageMessages_ = 0;
    long mostMessages_ = 0;
    long committedAfterOutage_ = 0;
    long mostOtherMessages_ = 0;
};

}  // namespace

int main(int argc, char** argv) {
    QCoreApplication app(argc, argv);
    if (argc != 5 && argc != 6) {
        std::fprintf(stderr, "usage: stress_workstation SECONDS RANDOM_START NAME LOG [PORT]\n");
        return 2;
    }
    if (!local_server::useBuildSettings()) return 2;
    if (argc == 6) db::programmeSettings().port = static_cast<unsigned>(std::stoul(argv[5]));
    const QString name = QString::fromUtf8(argv[3]);
    Unattended ui(name);
    platform::setUiServices(&ui);
    account::setForTests(name, QStringLiteral("all"));
    Workstation(static_cast<unsigned>(std::stoul(argv[2])), name, argv[4], ui).run(std::stod(argv[1]));
    db::closeProgramme();
    platform::setUiServices(nullptr);
    return 0;
}
