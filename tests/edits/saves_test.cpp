// The saves against the local server, with a second session standing for another workstation:
// each save is all or nothing, takes the next free id when its own is taken, merges what a
// colleague changed elsewhere, and stops on a clash or a row deleted meanwhile.
#include <gtest/gtest.h>

#include "db/codepage.h"
#include "db/connections.h"
#include "edits/saves.h"
#include "edits/transaction.h"
#include "programme/account.h"
#include "programme/programme_data.h"
#include "tests/support/empty_programme.h"
#include "tests/support/qt_print.h"
#include "tests/support/recording_ui.h"
#include "tests/support/testdb.h"

namespace {

using edits::Resolution;
using edits::SaveOutcome;

QString q(const char* utf8) { return QString::fromUtf8(utf8); }
std::vector<testdb::Row> rows(const std::string& sql) { return testdb::query(testdb::programmeDb(), sql); }
std::string one(const std::string& sql) { return rows(sql).at(0).at(0); }
// Another workstation: the administrator's session writing directly.
void elsewhere(const std::string& sql) { testdb::exec(testdb::programmeDb(), "SET NAMES utf8mb4;" + sql); }

class SavesTest : public ::testing::Test {
protected:
    void SetUp() override {
        testing_support::startEmptyProgramme();
        account::setForTests(q("Demo"), q("all"));
        elsewhere("INSERT INTO `comp` (`id`, `nom`, `email`, `deleted`) VALUES (0, 'Mouette', 'm@x', 0), (1, 'Zèbre', '', 0);"
                  "INSERT INTO `showname` VALUES (0, 'Nuit', 0, 0), (1, '<spectacle à définir (compagnie Mouette)>', 0, 0);"
                  "INSERT INTO `salle` VALUES (10, 'Rouge', 'R', '100', 'la rouge'), (20, 'Verte', 'V', '80', 'la verte');"
                  "INSERT INTO `timeslot` (`id`, `date`, `start`, `end`, `deleted`, `showname`, `childof`, `room`, `todo`, "
                  "`done`, `survey`) VALUES"
                  " (0, '2027-07-05', '20:30:00', '22:00:00', 0, 0, -1, 10, 'A$$$B$$$C', 'A=Fait le 1/6/2027', 'a.txt'),"
                  " (1, '2027-07-06', '20:30:00', '22:00:00', 0, 0, 0, 10, '', '', '');"
                  "INSERT INTO `logs` (`utc`, `log`) VALUES (UTC_TIMESTAMP(), 'Anne : compagnie 0 \"Mouette\" : créée [comp=0]')");
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
    EXPECT_EQ(rows("SELECT `nom`, `fulladr` FROM `comp` WHERE `id` = 2").at(0), (testdb::Row{"Alpha", "1 rue du Port"}));
    EXPECT_EQ(one("SELECT `comp` FROM `showname` WHERE `id` = 2"), "2");
    EXPECT_EQ(db::fromAnsi(one("SELECT `log` FROM `logs` WHERE `id` = " + std::to_string(added.auditId))),
              q("Demo : compagnie 2 \"Alpha\" : créée [comp=2 showname=2]"));
    db::closeProgramme();

    // This workstation still counts 2 companies and 2 shows; another took ids 2 and 3 meanwhile.
    elsewhere("INSERT INTO `comp` (`id`, `nom`) VALUES (3, 'Ailleurs'); INSERT INTO `showname` (`id`, `name`) VALUES (3, 'x')");
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
    elsewhere("CREATE TRIGGER `refuse` BEFORE INSERT ON `showname` FOR EACH ROW "
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
    edits::SaveResult saved = edits::editCompany(base, mine, Resolution::Check);
    ASSERT_EQ(saved.outcome, SaveOutcome::Merged);
    EXPECT_EQ(saved.fromTheirs, QStringList{q("email")});
    EXPECT_EQ(rows("SELECT `email`, `fulladr` FROM `comp` WHERE `id` = 0").at(0), (testdb::Row{"neuf@x", "2 quai"}));
    db::closeProgramme();

    // Both changed the name: a clash, named field by field with who stored the other side.
    load();
    const programme::Company again = company(companyIndex("0"));
    elsewhere("UPDATE `comp` SET `nom` = 'Mouette bleue' WHERE `id` = 0");
    mine = edits::fieldsOf(again);
    mine.nom = q("Mouette rouge");
    saved = edits::editCompany(again, mine, Resolution::Check);
    ASSERT_EQ(saved.outcome, SaveOutcome::Conflict);
    ASSERT_EQ(saved.differences.size(), 1u);
    EXPECT_EQ(saved.differences[0].field, q("Nom"));
    EXPECT_EQ(saved.differences[0].theirs, q("Mouette bleue"));
    EXPECT_EQ(saved.differences[0].mine, q("Mouette rouge"));
    EXPECT_EQ(saved.account, q("Demo"));  // the last line naming the row is this workstation's merge
    EXPECT_EQ(one("SELECT `nom` FROM `comp` WHERE `id` = 0"), "Mouette bleue");
    EXPECT_TRUE(edits::conflictQuestion(saved).text.contains(q("Nom : là-bas « Mouette bleue », ici « Mouette rouge »")));
    // Keep mine: written over theirs, the rest kept.
    saved = edits::editCompany(again, mine, Resolution::KeepMine);
    EXPECT_EQ(saved.outcome, SaveOutcome::Done);
    EXPECT_EQ(rows("SELECT `nom`, `fulladr` FROM `comp` WHERE `id` = 0").at(0), (testdb::Row{"Mouette rouge", "2 quai"}));
    db::closeProgramme();

    // Deleted meanwhile: said, and restored with the change when asked.
    load();
    const programme::Company third = company(companyIndex("0"));
    elsewhere("UPDATE `comp` SET `deleted` = 1 WHERE `id` = 0");
    mine = edits::fieldsOf(third);
    mine.email = q("x@y");
    EXPECT_EQ(edits::editCompany(third, mine, Resolution::Check).outcome, SaveOutcome::Vanished);
    EXPECT_EQ(one("SELECT `deleted` FROM `comp` WHERE `id` = 0"), "1");
    EXPECT_EQ(edits::editCompany(third, mine, Resolution::RestoreAndSave).outcome, SaveOutcome::Done);
    EXPECT_EQ(rows("SELECT `deleted`, `email` FROM `comp` WHERE `id` = 0").at(0), (testdb::Row{"0", "x@y"}));
    db::closeProgramme();
}

TEST_F(SavesTest, AGroupEditMergesFollowUpItemsAndSlotsChangedElsewhere) {
    const edits::GroupRows base = edits::groupRows(programme::timeslotIndexById(q("0")));
    ASSERT_EQ(base.rows.size(), 2u);
    planning::TimeslotEditorData mine = edits::editorInput(base);
    // Here: item C done and the second slot later. Elsewhere: item B done, the first slot earlier.
    mine.done = q("A=Fait le 1/6/2027$$$C=Fait le 3/6/2027");
    mine.entries[1].startHour = 21;
    elsewhere("UPDATE `timeslot` SET `done` = 'A=Fait le 1/6/2027$$$B=Fait le 2/6/2027', `start` = '19:00:00' WHERE `id` = 0");
    const edits::SaveResult saved = edits::editGroup(base, mine, Resolution::Check);
    ASSERT_EQ(saved.outcome, SaveOutcome::Merged);
    EXPECT_EQ(saved.fromTheirs, QStringList({q("créneau 1"), q("B")}));
    EXPECT_EQ(rows("SELECT `start`, `done` FROM `timeslot` WHERE `id` = 0").at(0),
              (testdb::Row{"19:00:00", "A=Fait le 1/6/2027$$$B=Fait le 2/6/2027$$$C=Fait le 3/6/2027"}));
    EXPECT_EQ(one("SELECT `start` FROM `timeslot` WHERE `id` = 1"), "21:30:00");
    EXPECT_EQ(edits::mergeNotice(saved), q("Enregistré. Repris de l'autre poste : créneau 1, B."));
    db::closeProgramme();

    // The same item changed both ways: a clash naming the item.
    load();
    const edits::GroupRows again = edits::groupRows(programme::timeslotIndexById(q("0")));
    mine = edits::editorInput(again);
    mine.done = q("A=Fait le 9/9/2027$$$C=Fait le 3/6/2027$$$B=Fait le 2/6/2027");
    elsewhere("UPDATE `timeslot` SET `done` = 'A=Fait le 8/8/2027$$$C=Fait le 3/6/2027$$$B=Fait le 2/6/2027' WHERE `id` = 0");
    const edits::SaveResult clash = edits::editGroup(again, mine, Resolution::Check);
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
