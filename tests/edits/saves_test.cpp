// The saves against the local server, with a second session standing for another workstation:
// each save is all or nothing, takes the next free id when its own is taken, merges what a
// colleague changed elsewhere, and stops on a clash or a row deleted meanwhile.
#include <gtest/gtest.h>

#include <mysql.h>

#include <QRegularExpression>
#include <atomic>
#include <chrono>
#include <thread>

#include "bench/link_proxy.h"
#include "db/codepage.h"
#include "db/connections.h"
#include "edits/corbeille.h"
#include "edits/deletes.h"
#include "edits/save_token.h"
#include "edits/saves.h"
#include "edits/transaction.h"
#include "programme/account.h"
#include "programme/programme_data.h"
#include "tests/support/empty_programme.h"
#include "tests/support/qt_print.h"
#include "tests/support/recording_ui.h"
#include "tests/support/sql.h"
#include "tests/support/testdb.h"

namespace {

using edits::Resolution;
using edits::SaveOutcome;

// Another workstation: the administrator's session writing directly.
void elsewhere(const std::string& sql) { testdb::exec(testdb::programmeDb(), "SET NAMES utf8mb4;" + sql); }

class SavesTest : public ::testing::Test {
protected:
    void SetUp() override {
        testing_support::startEmptyProgramme();
        account::setForTests(q("Demo"), q("all"));
        elsewhere(
            "INSERT INTO `comp` (`id`, `nom`, `email`, `deleted`) VALUES (0, 'Mouette', 'm@x', 0), (1, 'Zèbre', '', 0);"
            "INSERT INTO `showname` VALUES (0, 'Nuit', 0, 0), (1, '<spectacle à définir (compagnie Mouette)>', 0, 0);"
            "INSERT INTO `salle` VALUES (10, 'Rouge', 'R', '100', 'la rouge'), (20, 'Verte', 'V', '80', 'la verte');"
            "INSERT INTO `timeslot` (`id`, `date`, `start`, `end`, `deleted`, `showname`, `childof`, `room`, `todo`, "
            "`done`, `survey`) VALUES"
            " (0, '2027-07-05', '20:30:00', '22:00:00', 0, 0, -1, 10, 'A$$$B$$$C', 'A=Fait le 1/6/2027', 'a.txt'),"
            " (1, '2027-07-06', '20:30:00', '22:00:00', 0, 0, 0, 10, '', '', '');"
            "INSERT INTO `logs` (`utc`, `log`) VALUES (UTC_TIMESTAMP(), 'Anne : compagnie 0 \"Mouette\" : créée "
            "[comp=0]')");
        load();
    }
    void TearDown() override { db::closeProgramme(); }
    static void load() { ASSERT_EQ(programme::reloadAll(nullptr), 0); }
    static programme::Company company(int i) { return programme::companies()[static_cast<std::size_t>(i)]; }
    static int companyIndex(const char* id) {
        for (std::size_t i = 0; i < programme::companies().size(); ++i)
            if (programme::companies()[i].id == q(id)) return static_cast<int>(i);
        return -1;
    }
};

TEST_F(SavesTest, AnAddTakesTheNextFreeIdsWhenItsOwnAreTakenAndWritesItsAuditLineWithIt) {
    const long idRetriesBefore = edits::saveCounters().idRetries;
    edits::SaveResult added = edits::addCompany({q("Alpha"), q("a@x"), {}, {}, q("1 rue du Port")});
    ASSERT_EQ(added.outcome, SaveOutcome::Done);
    EXPECT_EQ(added.newId, 2);
    EXPECT_EQ(rows("SELECT `nom`, `fulladr` FROM `comp` WHERE `id` = 2").at(0),
              (testdb::Row{"Alpha", "1 rue du Port"}));
    EXPECT_EQ(one("SELECT `comp` FROM `showname` WHERE `id` = 2"), "2");
    EXPECT_EQ(db::fromAnsi(one("SELECT `log` FROM `logs` WHERE `id` = " + std::to_string(added.auditId))),
              q("Demo : compagnie 2 \"Alpha\" : créée [comp=2 showname=2]"));
    db::closeProgramme();

    // This workstation still counts 2 companies and 2 shows; another took ids 2 and 3 meanwhile.
    elsewhere(
        "INSERT INTO `comp` (`id`, `nom`) VALUES (3, 'Ailleurs'); INSERT INTO `showname` (`id`, `name`) VALUES (3, "
        "'x')");
    added = edits::addCompany({q("Beta"), {}, {}, {}, {}});
    ASSERT_EQ(added.outcome, SaveOutcome::Done);
    EXPECT_EQ(added.newId, 4);
    EXPECT_EQ(one("SELECT `nom` FROM `comp` WHERE `id` = 4"), "Beta");
    EXPECT_EQ(one("SELECT `comp` FROM `showname` WHERE `id` = 4"), "4");
    EXPECT_GT(edits::saveCounters().idRetries, idRetriesBefore);
    EXPECT_TRUE(testing_support::ui().messages.empty()) << testing_support::ui().messageTexts();
    db::closeProgramme();
}

TEST_F(SavesTest, ARefusedStatementLeavesNothingOfItsSave) {
    elsewhere(
        "CREATE TRIGGER `refuse` BEFORE INSERT ON `showname` FOR EACH ROW "
        "SIGNAL SQLSTATE '45000' SET MESSAGE_TEXT = 'refused'");
    const edits::SaveResult added = edits::addCompany({q("Alpha"), {}, {}, {}, {}});
    EXPECT_EQ(added.outcome, SaveOutcome::Failed);
    EXPECT_EQ(one("SELECT COUNT(*) FROM `comp`"), "2");  // the company's INSERT was rolled back
    EXPECT_EQ(one("SELECT COUNT(*) FROM `logs`"), "1");
    ASSERT_EQ(testing_support::ui().errorTexts().size(), 1);
    EXPECT_TRUE(testing_support::ui().errorTexts()[0].startsWith(q("Erreur : db_exec (INSERT INTO `showname`")));
    EXPECT_FALSE(db::programmeConnected());
}

TEST_F(SavesTest, AnEditMergesWhatAColleagueChangedElsewhereAndStopsOnAClash) {
    const programme::Company base = company(companyIndex("0"));
    // Another workstation changed the e-mail; this one changes the address: both kept.
    elsewhere("UPDATE `comp` SET `email` = 'neuf@x' WHERE `id` = 0");
    edits::CompanyFields mine = edits::fieldsOf(base);
    mine.fulladr = q("2 quai");
    edits::SaveResult saved = edits::editCompany(base, mine, Resolution{});
    ASSERT_EQ(saved.outcome, SaveOutcome::Merged);
    EXPECT_EQ(saved.fromTheirs, QStringList{q("E-mail")});
    EXPECT_EQ(rows("SELECT `email`, `fulladr` FROM `comp` WHERE `id` = 0").at(0), (testdb::Row{"neuf@x", "2 quai"}));
    db::closeProgramme();

    // Both changed the name: a clash, named field by field with who stored the other side.
    load();
    const programme::Company again = company(companyIndex("0"));
    elsewhere("UPDATE `comp` SET `nom` = 'Mouette bleue' WHERE `id` = 0");
    mine = edits::fieldsOf(again);
    mine.nom = q("Mouette rouge");
    saved = edits::editCompany(again, mine, Resolution{});
    ASSERT_EQ(saved.outcome, SaveOutcome::Conflict);
    ASSERT_EQ(saved.differences.size(), 1u);
    EXPECT_EQ(saved.differences[0].field, q("Nom"));
    EXPECT_EQ(saved.differences[0].theirs, q("Mouette bleue"));
    EXPECT_EQ(saved.differences[0].mine, q("Mouette rouge"));
    EXPECT_EQ(saved.account, q("Demo"));  // the last line naming the row is this workstation's merge
    EXPECT_EQ(one("SELECT `nom` FROM `comp` WHERE `id` = 0"), "Mouette bleue");
    EXPECT_TRUE(
        edits::conflictQuestion(saved).text.contains(q("Nom : là-bas « Mouette bleue », ici « Mouette rouge »")));
    // Keep mine: written over theirs, the rest kept.
    saved = edits::editCompany(again, mine, Resolution::keepMineOver(saved));
    EXPECT_EQ(saved.outcome, SaveOutcome::Done);
    EXPECT_EQ(rows("SELECT `nom`, `fulladr` FROM `comp` WHERE `id` = 0").at(0),
              (testdb::Row{"Mouette rouge", "2 quai"}));
    db::closeProgramme();

    // Deleted meanwhile: said, and restored with the change when asked.
    load();
    const programme::Company third = company(companyIndex("0"));
    elsewhere("UPDATE `comp` SET `deleted` = 1 WHERE `id` = 0");
    mine = edits::fieldsOf(third);
    mine.email = q("x@y");
    EXPECT_EQ(edits::editCompany(third, mine, Resolution{}).outcome, SaveOutcome::Vanished);
    EXPECT_EQ(one("SELECT `deleted` FROM `comp` WHERE `id` = 0"), "1");
    EXPECT_EQ(edits::editCompany(third, mine, Resolution::restoring()).outcome, SaveOutcome::Done);
    EXPECT_EQ(rows("SELECT `deleted`, `email` FROM `comp` WHERE `id` = 0").at(0), (testdb::Row{"0", "x@y"}));
    db::closeProgramme();
}

// Each field of the company dialog, changed elsewhere, is named by the user's word in the
// notice, the conflict box and the stored audit line: never by its column.
TEST_F(SavesTest, EveryCompanyFieldIsNamedInFrenchWhereverASaveNamesIt) {
    const struct {
        const char* column;
        const char* word;
        QString edits::CompanyFields::*value;
    } fields[] = {
        {"nom", "Nom", &edits::CompanyFields::nom},
        {"email", "E-mail", &edits::CompanyFields::email},
        {"contact1", "Contact 1", &edits::CompanyFields::contact1},
        {"contact2", "Contact 2", &edits::CompanyFields::contact2},
        {"fulladr", "Adresse complète", &edits::CompanyFields::fulladr},
    };
    const auto namesNoColumn = [&](const QString& text) {
        for (const auto& f : fields)
            if (text.contains(QRegularExpression(QStringLiteral("\\b%1\\b").arg(q(f.column))))) return false;
        return true;
    };
    for (const auto& f : fields) {
        SCOPED_TRACE(f.column);
        load();
        programme::Company base = company(companyIndex("1"));
        elsewhere(std::string("UPDATE `comp` SET `") + f.column + "` = 'là-bas' WHERE `id` = 1");
        edits::CompanyFields mine = edits::fieldsOf(base);
        mine.*f.value = q("ici");
        edits::SaveResult saved = edits::editCompany(base, mine, Resolution{});
        ASSERT_EQ(saved.outcome, SaveOutcome::Conflict);
        const QString question = edits::conflictQuestion(saved).text;
        EXPECT_TRUE(question.contains(q("\n%1 : là-bas « là-bas », ici « ici »").arg(q(f.word)))) << question;
        EXPECT_TRUE(namesNoColumn(question)) << question;
        saved = edits::editCompany(base, mine, Resolution::keepMineOver(saved));
        ASSERT_EQ(saved.outcome, SaveOutcome::Done);
        const QString line =
            db::fromAnsi(one("SELECT `log` FROM `logs` WHERE `id` = " + std::to_string(saved.auditId)));
        EXPECT_TRUE(line.endsWith(q(", remplace l'autre poste sur : %1 [comp=1]").arg(q(f.word)))) << line;

        // Changed elsewhere while this workstation changed the address (the name for the
        // address itself): taken, and named so.
        load();
        base = company(companyIndex("1"));
        elsewhere(std::string("UPDATE `comp` SET `") + f.column + "` = 'encore' WHERE `id` = 1");
        mine = edits::fieldsOf(base);
        (f.value == &edits::CompanyFields::fulladr ? mine.nom : mine.fulladr) = q("autre");
        saved = edits::editCompany(base, mine, Resolution{});
        ASSERT_EQ(saved.outcome, SaveOutcome::Merged);
        EXPECT_EQ(edits::savedNotice(saved), q("Enregistré. Repris de l'autre poste : %1.").arg(q(f.word)));
        EXPECT_EQ(one(std::string("SELECT `") + f.column + "` FROM `comp` WHERE `id` = 1"), "encore");
        db::closeProgramme();
    }
}

TEST_F(SavesTest, AGroupEditMergesFollowUpItemsAndSlotsChangedElsewhere) {
    const edits::GroupRows base = edits::groupRows(programme::timeslotIndexById(q("0")));
    ASSERT_EQ(base.rows.size(), 2u);
    planning::TimeslotEditorData mine = edits::editorInput(base);
    // Here: item C done and the second slot later. Elsewhere: item B done, the first slot earlier.
    mine.done = q("A=Fait le 1/6/2027$$$C=Fait le 3/6/2027");
    mine.entries[1].startHour = 21;
    elsewhere(
        "UPDATE `timeslot` SET `done` = 'A=Fait le 1/6/2027$$$B=Fait le 2/6/2027', `start` = '19:00:00' WHERE `id` = "
        "0");
    const edits::SaveResult saved = edits::editGroup(base, mine, Resolution{});
    ASSERT_EQ(saved.outcome, SaveOutcome::Merged);
    EXPECT_EQ(saved.fromTheirs, QStringList({q("créneau 1"), q("B")}));
    EXPECT_EQ(rows("SELECT `start`, `done` FROM `timeslot` WHERE `id` = 0").at(0),
              (testdb::Row{"19:00:00", "A=Fait le 1/6/2027$$$B=Fait le 2/6/2027$$$C=Fait le 3/6/2027"}));
    EXPECT_EQ(one("SELECT `start` FROM `timeslot` WHERE `id` = 1"), "21:30:00");
    EXPECT_EQ(edits::savedNotice(saved), q("Enregistré. Repris de l'autre poste : créneau 1, B."));
    db::closeProgramme();

    // The same item changed both ways: a clash naming the item.
    load();
    const edits::GroupRows again = edits::groupRows(programme::timeslotIndexById(q("0")));
    mine = edits::editorInput(again);
    mine.done = q("A=Fait le 9/9/2027$$$C=Fait le 3/6/2027$$$B=Fait le 2/6/2027");
    elsewhere(
        "UPDATE `timeslot` SET `done` = 'A=Fait le 8/8/2027$$$C=Fait le 3/6/2027$$$B=Fait le 2/6/2027' WHERE `id` = 0");
    const edits::SaveResult clash = edits::editGroup(again, mine, Resolution{});
    ASSERT_EQ(clash.outcome, SaveOutcome::Conflict);
    ASSERT_EQ(clash.differences.size(), 1u);
    EXPECT_EQ(clash.differences[0].field, q("A"));
    EXPECT_EQ(clash.differences[0].theirs, q("A=Fait le 8/8/2027"));
    db::closeProgramme();
}

TEST_F(SavesTest, ANewContractWritesItsPaymentsIntoThePlanAsStoredNow) {
    elsewhere("UPDATE `timeslot` SET `todo` = 'Contrat reçu par KQ$$$Règlement 1$$$Nouveau' WHERE `id` = 0");
    const edits::SaveResult saved = edits::newContract(
        {q("contrat_simple.rtf"), q("Date de retour du contrat avant nullité$$$Lundi 15 Juillet 2019"), 0});
    ASSERT_EQ(saved.outcome, SaveOutcome::Done);
    EXPECT_EQ(db::fromAnsi(one("SELECT `todo` FROM `timeslot` WHERE `id` = 0")),
              q("Contrat reçu par KQ=15/7/2019$$$Règlement 1$$$Nouveau"));
    EXPECT_EQ(one("SELECT `ts` FROM `contract` WHERE `id` = 0"), "0");
    db::closeProgramme();
}

}  // namespace

namespace {

// The server's global mode for the connections opened while one lives, the default back after.
class ServerSqlMode {
public:
    explicit ServerSqlMode(const std::string& mode) {
        testdb::exec(testdb::programmeDb(), "SET GLOBAL sql_mode = '" + mode + "'");
    }
    ~ServerSqlMode() { testdb::exec(testdb::programmeDb(), "SET GLOBAL sql_mode = DEFAULT"); }
};

TEST_F(SavesTest, QuotesAndBackslashesAreStoredAsTypedWhateverTheServersSqlMode) {
    db::closeProgramme();
    const ServerSqlMode hosted("NO_BACKSLASH_ESCAPES,ANSI_QUOTES");
    const QString injected = q("x\"; UPDATE `comp` SET `nom` = 'pris'; COMMIT; -- ");
    const QString apostrophes = q("l'été \\ \"fin\"");
    const edits::SaveResult added = edits::addCompany({injected, apostrophes, {}, {}, {}});
    ASSERT_EQ(added.outcome, SaveOutcome::Done) << testing_support::ui().messageTexts().join(u'\n').toStdString();
    edits::CompanyFields mine = edits::fieldsOf(company(companyIndex("0")));
    mine.nom = apostrophes;
    ASSERT_EQ(edits::editCompany(company(companyIndex("0")), mine, Resolution{}).outcome, SaveOutcome::Done);
    const edits::SaveResult contract = edits::newContract({q("contrat_simple.rtf"), q("Lieu$$$l'été"), -1});
    ASSERT_EQ(contract.outcome, SaveOutcome::Done);
    testdb::exec(testdb::programmeDb(), "SET GLOBAL sql_mode = DEFAULT");

    // Each value as typed, the other company untouched, and an audit line per save.
    EXPECT_EQ(db::fromAnsi(one("SELECT `nom` FROM `comp` WHERE `id` = 2")), injected);
    EXPECT_EQ(db::fromAnsi(one("SELECT `email` FROM `comp` WHERE `id` = 2")), apostrophes);
    EXPECT_EQ(db::fromAnsi(one("SELECT `nom` FROM `comp` WHERE `id` = 0")), apostrophes);
    EXPECT_EQ(db::fromAnsi(one("SELECT `nom` FROM `comp` WHERE `id` = 1")), q("Zèbre"));
    EXPECT_EQ(db::fromAnsi(one("SELECT `extra` FROM `contract` WHERE `id` = 0")), q("Lieu$$$l'été"));
    EXPECT_EQ(one("SELECT COUNT(*) FROM `logs` WHERE `log` LIKE 'Demo : %'"), "3");
    db::closeProgramme();
}

}  // namespace

namespace {

// The program's link to the server through a relay that cuts it as a network does; each case
// widens the window with a trigger that sleeps in the save's audit line.
struct CutCase {
    const char* name;
    bool cutBeforeAnswer;  // cut while the server works (it then ends the old session: not stored)
    bool refuseAfter;      // the server cannot be reached again afterwards
    SaveOutcome outcome;
    long foundAfterLoss;
    long runAgain;       // tries run again on a new link
    const char* stored;  // what the server holds afterwards: rows of the company
};

TEST_F(SavesTest, ALinkCutDuringTheWritesStoresTheSaveExactlyOnceOrSaysItsOutcomeIsUnknown) {
    const CutCase cases[] = {
        {"cut while the server works: killed there, run again", true, false, SaveOutcome::Done, 0, 1, "1"},
        {"answer lost after the commit: the token is found at once", false, false, SaveOutcome::Done, 1, 0, "1"},
        {"answer lost and the server out of reach: unknown", false, true, SaveOutcome::Unknown, 0, 0, "1"},
    };
    const unsigned serverPort = db::programmeSettings().port;
    // Under the program's account, so that the program may end its own session while it sleeps.
    elsewhere("CREATE DEFINER = '" + db::programmeSettings().user +
              "'@'127.0.0.1' TRIGGER `slow_audit` AFTER INSERT ON `logs` FOR EACH ROW SET @slept = SLEEP(0.5)");
    for (const CutCase& c : cases) {
        SCOPED_TRACE(c.name);
        elsewhere("DELETE FROM `comp` WHERE `id` >= 2; DELETE FROM `showname` WHERE `id` >= 2");
        testing_support::ui().clear();
        db::closeProgramme();
        bench::LinkProxy relay(0, static_cast<uint16_t>(serverPort), {0.0, 1e12});
        db::programmeSettings().port = relay.port();
        const edits::SaveCounters before = edits::saveCounters();
        // The cut, once the save's audit line sleeps on the server.
        std::atomic<bool> done{false};
        std::thread cutter([&] {
            mysql_thread_init();
            const std::string sleeping =
                "SELECT COUNT(*) FROM information_schema.PROCESSLIST WHERE `STATE` = 'User sleep'";
            while (!done && testdb::query("", sleeping).at(0).at(0) == "0")
                std::this_thread::sleep_for(std::chrono::milliseconds(20));
            if (done) return mysql_thread_end();
            if (c.refuseAfter) relay.refuseNew(true);
            if (c.cutBeforeAnswer)
                relay.cutAll();
            else
                relay.cutAtNextAnswer();
            mysql_thread_end();
        });
        const edits::SaveResult saved = edits::addCompany({q("Coupée"), {}, {}, {}, {}});
        done = true;
        cutter.join();
        relay.refuseNew(false);
        db::closeProgramme();
        db::programmeSettings().port = serverPort;

        EXPECT_EQ(saved.outcome, c.outcome);
        EXPECT_GE(relay.cuts(), 1);
        EXPECT_EQ(edits::saveCounters().foundAfterLoss - before.foundAfterLoss, c.foundAfterLoss);
        EXPECT_EQ(edits::saveCounters().linkRetries - before.linkRetries, c.runAgain);
        // The server's own record: the company, its show, its audit line and its token, once.
        EXPECT_EQ(one("SELECT COUNT(*) FROM `comp` WHERE `nom` LIKE 'Coup_e'"), c.stored);
        EXPECT_EQ(one("SELECT COUNT(*) FROM `showname` WHERE `comp` >= 2"), c.stored);
        EXPECT_EQ(
            one("SELECT COUNT(*) FROM `logs` l JOIN `save_tokens` t ON t.`log` = l.`id` WHERE l.`log` LIKE '%Coup_e%'"),
            c.stored);
        if (saved.committed()) {
            EXPECT_EQ(db::fromAnsi(one("SELECT `log` FROM `logs` WHERE `id` = " + std::to_string(saved.auditId))),
                      q("Demo : compagnie 2 \"Coupée\" : créée [comp=2 showname=2]"));
        }
        const QStringList messages = testing_support::ui().messageTexts();
        if (c.outcome == SaveOutcome::Unknown)
            EXPECT_EQ(messages, QStringList{q(edits::kOutcomeUnknownMessage)});
        else
            EXPECT_TRUE(messages.isEmpty()) << messages.join(u'\n').toStdString();
        elsewhere("DELETE FROM `logs` WHERE `log` LIKE '%Coup_e%'");
    }
    elsewhere("DROP TRIGGER `slow_audit`");
}

// A ROLLBACK the server refuses: the transaction must not reach the next try's START
// TRANSACTION, which would commit its first half. The connection is closed instead.
TEST_F(SavesTest, ARefusedRollbackClosesTheConnectionAndFailsTheSave) {
    elsewhere(
        "CREATE TRIGGER `deadlocked` BEFORE INSERT ON `logs` FOR EACH ROW "
        "SIGNAL SQLSTATE '40001' SET MYSQL_ERRNO = 1213, MESSAGE_TEXT = 'deadlock'");
    edits::rollbackStatement() = "ROLLBACK TO SAVEPOINT `nowhere`";
    const edits::SaveResult added = edits::addCompany({q("Alpha"), {}, {}, {}, {}});
    edits::rollbackStatement() = edits::kRollback;
    EXPECT_EQ(added.outcome, SaveOutcome::Failed);
    EXPECT_FALSE(db::programmeConnected());
    EXPECT_EQ(one("SELECT COUNT(*) FROM `comp`"), "2");
    EXPECT_EQ(one("SELECT COUNT(*) FROM `showname`"), "2");
    ASSERT_EQ(testing_support::ui().errorTexts().size(), 1);
    EXPECT_TRUE(testing_support::ui().errorTexts()[0].startsWith(q("Erreur : db_exec (INSERT INTO `logs`")));
    elsewhere("DROP TRIGGER `deadlocked`");
}

}  // namespace

namespace {

// Each save reads, inside its transaction, what it writes or decides from: what another
// workstation changed since this one loaded is seen there, never overwritten unseen.
TEST_F(SavesTest, EachSaveDecidesFromWhatIsStoredNotFromWhatWasLoaded) {
    const auto groupAt = [](const char* head) { return edits::groupRows(programme::timeslotIndexById(q(head))); };
    {
        SCOPED_TRACE("an add whose parent was deleted meanwhile: refused, then restored with it when asked");
        elsewhere("UPDATE `comp` SET `deleted` = 1 WHERE `id` = 1");
        edits::SaveResult added = edits::addShow({q("Saut"), 1});
        EXPECT_EQ(added.outcome, SaveOutcome::Vanished);
        EXPECT_EQ(added.record, (edits::RecordRef{edits::RecordKind::Company, q("1")}));
        EXPECT_TRUE(
            edits::deletedParentQuestion(added).text.startsWith(q("La compagnie « Zèbre », à laquelle votre saisie")));
        EXPECT_EQ(one("SELECT COUNT(*) FROM `showname`"), "2");
        added = edits::addShow({q("Saut"), 1}, Resolution::restoring());
        EXPECT_EQ(added.outcome, SaveOutcome::Done);
        EXPECT_EQ(one("SELECT `deleted` FROM `comp` WHERE `id` = 1"), "0");
        EXPECT_EQ(edits::savedNotice(added), q("Enregistré. Restauré : la compagnie « Zèbre »."));
        EXPECT_EQ(db::fromAnsi(one("SELECT `log` FROM `logs` WHERE `id` = " + std::to_string(added.auditId))),
                  q("Demo : spectacle 2 \"Saut\" : créé, compagnie 1 \"Zèbre\" restaurée [comp=1 showname=2]"));
        elsewhere("UPDATE `timeslot` SET `deleted` = 1 WHERE `id` IN (0, 1)");
        EXPECT_EQ(edits::newContract({q("contrat_simple.rtf"), q("Lieu$$$ici"), 0}).outcome, SaveOutcome::Vanished);
        elsewhere("UPDATE `showname` SET `deleted` = 1 WHERE `id` = 0");
        planning::TimeslotEditorData group = edits::editorInput(groupAt("0"));
        EXPECT_EQ(edits::addGroup(group).outcome, SaveOutcome::Vanished);
        EXPECT_EQ(one("SELECT COUNT(*) FROM `contract`"), "0");
        EXPECT_EQ(one("SELECT COUNT(*) FROM `timeslot`"), "2");
        elsewhere(
            "UPDATE `timeslot` SET `deleted` = 0; UPDATE `showname` SET `deleted` = 0; DELETE FROM `showname` WHERE "
            "`id` = 2");
        db::closeProgramme();
    }
    load();
    {
        SCOPED_TRACE("a group edit reads the group by its head: a slot added meanwhile follows the new room");
        const edits::GroupRows base = groupAt("0");
        elsewhere(
            "INSERT INTO `timeslot` (`id`, `date`, `start`, `end`, `deleted`, `showname`, `childof`, `room`) "
            "VALUES (5, '2027-07-09', '18:00:00', '19:00:00', 0, 0, 0, 10)");
        planning::TimeslotEditorData mine = edits::editorInput(base);
        mine.room = 20;
        const edits::SaveResult saved = edits::editGroup(base, mine, Resolution{});
        ASSERT_EQ(saved.outcome, SaveOutcome::Merged);
        EXPECT_EQ(saved.fromTheirs, QStringList{q("créneau 09/07/2027 18:00-19:00 ajouté")});
        EXPECT_EQ(one("SELECT GROUP_CONCAT(`room` ORDER BY `id`) FROM `timeslot`"), "20,20,20");
        db::closeProgramme();
    }
    load();
    {
        SCOPED_TRACE("another template chosen elsewhere while an item was ticked here: a clash, not a silent drop");
        const edits::GroupRows base = groupAt("0");
        elsewhere("UPDATE `timeslot` SET `survey` = 'b.txt', `todo` = 'X$$$Y', `done` = '' WHERE `id` = 0");
        planning::TimeslotEditorData mine = edits::editorInput(base);
        mine.done += q("$$$B=Fait le 2/6/2027");
        const edits::SaveResult saved = edits::editGroup(base, mine, Resolution{});
        ASSERT_EQ(saved.outcome, SaveOutcome::Conflict);
        ASSERT_EQ(saved.differences.size(), 1u);
        EXPECT_EQ(saved.differences[0].field, q("Surveillance"));
        EXPECT_EQ(saved.differences[0].theirs, q("b.txt"));
        EXPECT_EQ(one("SELECT `todo` FROM `timeslot` WHERE `id` = 0"), "X$$$Y");
        elsewhere(
            "UPDATE `timeslot` SET `survey` = 'a.txt', `todo` = 'A$$$B$$$C', `done` = 'A=Fait le 1/6/2027' WHERE `id` "
            "= 0");
        db::closeProgramme();
    }
    load();
    {
        SCOPED_TRACE("keep mine writes over the clashes shown only; a restore shows clashes too");
        const programme::Company base = company(companyIndex("0"));
        edits::CompanyFields mine = edits::fieldsOf(base);
        mine.nom = q("Mouette rouge");
        mine.email = q("ici@x");
        elsewhere("UPDATE `comp` SET `nom` = 'Mouette bleue' WHERE `id` = 0");
        edits::SaveResult saved = edits::editCompany(base, mine, Resolution{});
        ASSERT_EQ(saved.outcome, SaveOutcome::Conflict);
        elsewhere("UPDATE `comp` SET `email` = 'tiers@x' WHERE `id` = 0");  // a third colleague, while the box is open
        saved = edits::editCompany(base, mine, Resolution::keepMineOver(saved));
        ASSERT_EQ(saved.outcome, SaveOutcome::Conflict);
        ASSERT_EQ(saved.differences.size(), 2u);
        EXPECT_EQ(saved.differences[1].theirs, q("tiers@x"));
        EXPECT_EQ(rows("SELECT `nom`, `email` FROM `comp` WHERE `id` = 0").at(0),
                  (testdb::Row{"Mouette bleue", "tiers@x"}));
        saved = edits::editCompany(base, mine, Resolution::keepMineOver(saved));
        EXPECT_EQ(saved.outcome, SaveOutcome::Done);
        EXPECT_TRUE(db::fromAnsi(one("SELECT `log` FROM `logs` WHERE `id` = " + std::to_string(saved.auditId)))
                        .contains(q("remplace l'autre poste sur : Nom, E-mail")));
        elsewhere("UPDATE `comp` SET `deleted` = 1, `nom` = 'Mouette verte' WHERE `id` = 0");
        EXPECT_EQ(edits::editCompany(base, mine, Resolution::restoring()).outcome, SaveOutcome::Conflict);
        EXPECT_EQ(one("SELECT `deleted` FROM `comp` WHERE `id` = 0"), "1");
        elsewhere("UPDATE `comp` SET `deleted` = 0 WHERE `id` = 0");
        db::closeProgramme();
    }
    // A group of three slots, the third removed in the editor before the group was deleted.
    elsewhere(
        "INSERT INTO `timeslot` (`id`, `date`, `start`, `end`, `deleted`, `showname`, `childof`, `room`) "
        "VALUES (6, '2027-07-10', '18:00:00', '19:00:00', 0, 0, 0, 20)");
    load();
    {
        SCOPED_TRACE("restore and save brings back only the rows the delete took, and names them");
        const edits::GroupRows base = groupAt("0");
        ASSERT_EQ(base.rows.size(), 4u);
        elsewhere(
            "UPDATE `timeslot` SET `deleted` = 1 WHERE `id` = 6;"
            "UPDATE `timeslot` SET `deleted` = 1 WHERE `id` IN (0, 1, 5);"
            "INSERT INTO `logs` (`utc`, `log`) VALUES (UTC_TIMESTAMP(), 'Anne : groupe 0 \"Nuit\" : supprimé "
            "[timeslot=0,1,5]')");
        planning::TimeslotEditorData mine = edits::editorInput(base);
        mine.entries[1].startHour = 21;
        EXPECT_EQ(edits::editGroup(base, mine, Resolution{}).outcome, SaveOutcome::Vanished);
        const edits::SaveResult saved = edits::editGroup(base, mine, Resolution::restoring());
        ASSERT_TRUE(saved.committed());
        EXPECT_EQ(one("SELECT GROUP_CONCAT(`deleted` ORDER BY `id`) FROM `timeslot`"), "0,0,0,1");
        EXPECT_EQ(one("SELECT `start` FROM `timeslot` WHERE `id` = 1"), "21:30:00");
        EXPECT_EQ(saved.fromTheirs, QStringList{q("créneau 4 retiré")});
        EXPECT_EQ(db::fromAnsi(one("SELECT `log` FROM `logs` WHERE `id` = " + std::to_string(saved.auditId))),
                  q("Demo : groupe 0 \"Nuit\" : restauré avec les lignes 0, 1, 5, créneaux modifiés [timeslot=0,1,5]"));
        // The three rows the server now holds live, as the user is told.
        EXPECT_EQ(one("SELECT COUNT(*) FROM `timeslot` WHERE `deleted` = 0 AND (`id` = 0 OR `childof` = 0)"), "3");
        EXPECT_EQ(
            edits::savedNotice(saved),
            q("Enregistré. Restauré : le groupe de créneaux « Nuit », Verte, Lundi 05 Juillet 2027 à 20:30 avec ses 3 "
              "créneaux. Repris de l'autre poste : créneau 4 retiré."));
        db::closeProgramme();
    }
    load();
    {
        SCOPED_TRACE("the Corbeille restores what the latest delete took, not what its list was filled from");
        elsewhere(
            "UPDATE `timeslot` SET `deleted` = 1 WHERE `id` IN (0, 1, 5);"
            "INSERT INTO `logs` (`utc`, `log`) VALUES (UTC_TIMESTAMP(), 'Anne : groupe 0 \"Nuit\" : supprimé "
            "[timeslot=0,1,5]')");
        load();
        std::vector<edits::AuditLine> lines;
        ASSERT_EQ(db::connectProgramme(), 0);
        ASSERT_EQ(edits::loadDeleteLines(lines), 0);
        const std::vector<edits::CorbeilleEntry> entries = edits::corbeilleEntries(lines);
        ASSERT_FALSE(entries.empty());
        ASSERT_EQ(entries[0].ref, (edits::RecordRef{edits::RecordKind::Group, q("0")}));
        // Meanwhile: restored, slot 5 removed in the editor, deleted again.
        elsewhere(
            "UPDATE `timeslot` SET `deleted` = 0 WHERE `id` IN (0, 1);"
            "INSERT INTO `logs` (`utc`, `log`) VALUES (UTC_TIMESTAMP(), 'Anne : groupe 0 \"Nuit\" : supprimé "
            "[timeslot=0,1]')");
        const edits::SaveResult restored = edits::runRestore(edits::planRestore({entries[0]}, entries), false);
        ASSERT_EQ(restored.outcome, SaveOutcome::Vanished) << "restored elsewhere meanwhile: nothing to do";
        EXPECT_EQ(
            edits::restoreNotice(restored),
            q("Rien n'a été restauré, tout avait changé depuis sur un autre poste : le groupe de créneaux « Nuit », "
              "Verte, Lundi 05 Juillet 2027 à 20:30 (déjà restauré)."));
        elsewhere("UPDATE `timeslot` SET `deleted` = 1 WHERE `id` IN (0, 1)");
        const edits::SaveResult again = edits::runRestore(edits::planRestore({entries[0]}, entries), false);
        ASSERT_EQ(again.outcome, SaveOutcome::Merged);
        EXPECT_EQ(one("SELECT GROUP_CONCAT(`deleted` ORDER BY `id`) FROM `timeslot`"), "0,0,1,1");
        EXPECT_EQ(
            edits::restoreNotice(again),
            q("Restauré : le groupe de créneaux « Nuit », Verte, Lundi 05 Juillet 2027 à 20:30 avec ses 2 créneaux. "
              "Laissé tel quel, changé depuis sur un autre poste : le créneau du Vendredi 09 Juillet 2027 à 18:00 "
              "(retiré du groupe)."));
        db::closeProgramme();
    }
    load();
    {
        SCOPED_TRACE("a contract delete that cleans its group's plan stops when another contract joined the group");
        elsewhere(
            "UPDATE `timeslot` SET `todo` = 'Contrat reçu par KQ=15/7/2027$$$Règlement 1=1/6/2027:100' WHERE `id` = 0;"
            "INSERT INTO `contract` (`id`, `ts`, `extra`) VALUES (0, 0, 'Lieu$$$ici')");
        load();
        const edits::DeletePlan plan = edits::planDelete({edits::RecordKind::Contract, q("0")});
        ASSERT_EQ(plan.planGroup, q("0"));
        elsewhere("INSERT INTO `contract` (`id`, `ts`, `extra`) VALUES (1, 0, 'Lieu$$$là')");
        EXPECT_EQ(edits::runDelete(plan, edits::DeleteChoice::All).outcome, SaveOutcome::Conflict);
        EXPECT_EQ(db::fromAnsi(one("SELECT `todo` FROM `timeslot` WHERE `id` = 0")),
                  q("Contrat reçu par KQ=15/7/2027$$$Règlement 1=1/6/2027:100"));
        EXPECT_EQ(one("SELECT `deleted` FROM `contract` WHERE `id` = 0"), "0");
        db::closeProgramme();
    }
}

}  // namespace
