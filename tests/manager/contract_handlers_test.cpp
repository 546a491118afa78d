// The manager's contract handlers against the local server: the contract row, what a new
// contract writes into its group's plan, edits that touch only the contract, soft deletes,
// and a refused INSERT.
#include <gtest/gtest.h>

#include "tests/support/fake_dialogs.h"
#include "tests/support/qt_print.h"

#include <QComboBox>
#include <QDir>
#include <QFile>
#include <QTemporaryDir>

#include "contracts/contract_model.h"
#include "contracts/ct_dlg.h"
#include "db/codepage.h"
#include "db/connections.h"
#include "manager/manager_dlg.h"
#include "dialog/controls.h"
#include "programme/account.h"
#include "tests/support/empty_programme.h"
#include "tests/support/files.h"
#include "tests/support/modal.h"
#include "tests/support/recording_ui.h"
#include "tests/support/testdb.h"
#include "tests/support/sql.h"

namespace {

using testing_support::clickButton;
using testing_support::onNextModal;

QString todoOf(int id) {
    return db::fromAnsi(rows("SELECT `todo` FROM `timeslot` WHERE `id` = " + std::to_string(id)).at(0).at(0));
}

const char* const kPlan =
    "Contrat envoyé par KQ$$$Contrat reçu par KQ=15/5/2027$$$Règlement 1=15/6/2027:350$$$Règlement 2$$$Règlement 3$$$"
    "Règlement 4$$$Règlement 5";

class ContractHandlersTest : public ::testing::Test {
protected:
    void SetUp() override {
        testing_support::startEmptyProgramme();
        account::setForTests(q("Demo"), q("all"));
        testdb::exec(testdb::programmeDb(),
                     std::string("SET NAMES utf8mb4;"
                                 "INSERT INTO `comp` (`id`, `nom`, `deleted`) VALUES (0, 'Zèbre', 0);"
                                 "INSERT INTO `showname` VALUES (0, 'Le Saut', 0, 0);"
                                 "INSERT INTO `salle` VALUES (0, 'Rouge', 'R', '100', 'la rouge');"
                                 "INSERT INTO `timeslot` (`id`, `date`, `start`, `end`, `deleted`, `showname`, `childof`,"
                                 " `room`, `survey`, `todo`, `done`) VALUES"
                                 " (0, '2027-07-05', '20:30:00', '22:00:00', 0, 0, -1, 0, 'a.txt', '") +
                         kPlan +
                         "', ''),"
                         " (1, '2027-07-06', '20:30:00', '22:00:00', 0, 0, 0, 0, '', '', '');"
                         "INSERT INTO `contract` (`id`, `ts`, `created`, `extra`, `deleted`, `rtf`) VALUES"
                         " (0, 0, UTC_TIMESTAMP(), 'Prix (TTC)$$$900', 0, 'contrat_simple.rtf');");
    }
    void TearDown() override { db::closeProgramme(); }

    static void selectGroup(manager& window) {
        dlg::ListView* list = window.listView(manager::kTimeslotList);
        for (int r = 0; r < list->itemCount(); ++r)
            if (list->itemText(r, 0) == q("0")) list->setSelected(r, true);
    }
};

const char* const kExtra =
    "Numéro de contrat$$$LeSaut_0001_0002_0003###Date de retour du contrat avant nullité$$$Lundi 15 Juillet 2019###"
    "Montant de chacun des 5 chèques$$$200.00###Date encaissement du chèque numéro 1$$$Mercredi 09 Décembre 2026###"
    "Date encaissement du chèque numéro 2$$$###Date encaissement du chèque numéro 3$$$Jeudi 01 Avril 2027";

TEST_F(ContractHandlersTest, ANewContractIsStoredAndWritesItsDeadlineAndPaymentsIntoThePlan) {
    testing_support::FakeDialogs dialogs;
    manager window(dialogs);
    dialogs.contractExtra = q(kExtra);
    testing_support::runModal(window, [&] {
        selectGroup(window);
        clickButton(&window, manager::kNewContract);
        ASSERT_EQ(dialogs.contractGiven.size(), 1u);
        EXPECT_EQ(dialogs.contractGiven[0].timeslotId, 0);
        EXPECT_TRUE(dialogs.contractGiven[0].extra.isEmpty());

        const auto contract = rows("SELECT `ts`, `extra`, `rtf`, `deleted`, `created` <= UTC_TIMESTAMP() FROM `contract` WHERE `id` = 1");
        ASSERT_EQ(contract.size(), 1u);
        EXPECT_EQ(contract[0][0], "0");
        EXPECT_EQ(db::fromAnsi(contract[0][1]), q(kExtra));
        EXPECT_EQ(contract[0][2], "contrat_standard.rtf");
        EXPECT_EQ(contract[0][3], "0");
        EXPECT_EQ(contract[0][4], "1");
        EXPECT_EQ(todoOf(0), q("Contrat envoyé par KQ$$$Contrat reçu par KQ=15/7/2019$$$Règlement 1=9/12/2026:200.00$$$"
                               "Règlement 2=:200.00$$$Règlement 3=1/4/2027:200.00$$$Règlement 4=:200.00$$$"
                               "Règlement 5=:200.00"));
        // Reloaded: the new contract is listed and the head's plan in memory is the stored one.
        EXPECT_EQ(window.listView(manager::kContractList)->itemCount(), 2);
        EXPECT_EQ(programme::timeslots().at(0).todo, todoOf(0));

        // Without an amount the payments stay, the deadline is written; without a slot only
        // the contract row is (its ts written from -1 with "%u").
        testdb::exec(testdb::programmeDb(), std::string("SET NAMES utf8mb4; UPDATE `timeslot` SET `todo` = '") + kPlan + "' WHERE `id` = 0");
        window.reloadAll();
        selectGroup(window);
        dialogs.contractExtra = q("Date de retour du contrat avant nullité$$$Mardi 02 Février 2027###Date encaissement du chèque "
                         "numéro 1$$$Mercredi 09 Décembre 2026");
        clickButton(&window, manager::kNewContract);
        EXPECT_EQ(todoOf(0), q(kPlan).replace(q("15/5/2027"), q("2/2/2027")));

        window.listView(manager::kTimeslotList)->clearSelection();
        clickButton(&window, manager::kNewContract);
        EXPECT_EQ(dialogs.contractGiven.back().timeslotId, -1);
        EXPECT_EQ(rows("SELECT `ts` FROM `contract` WHERE `id` = 3").at(0).at(0), "4294967295");
        EXPECT_EQ(todoOf(0), q(kPlan).replace(q("15/5/2027"), q("2/2/2027")));

        // A cancelled dialog writes nothing.
        dialogs.contractAnswer = platform::IDCANCEL;
        clickButton(&window, manager::kNewContract);
        EXPECT_EQ(rows("SELECT COUNT(*) FROM `contract`").at(0).at(0), "4");
    });
    EXPECT_TRUE(testing_support::ui().messages.empty()) << testing_support::ui().messageTexts().join("\n").toStdString();
}

TEST_F(ContractHandlersTest, EditingChangesOnlyTheContractAndDeletingIsSoft) {
    testing_support::FakeDialogs dialogs;
    manager window(dialogs);
    dialogs.contractExtra = q("Prix (TTC)$$$1000###Date de retour du contrat avant nullité$$$Lundi 15 Juillet 2019");
    dialogs.contractRtf = q("contrat_simple.rtf");
    testing_support::runModal(window, [&] {
        emit window.listView(manager::kContractList)->rowDoubleClicked(0);
        ASSERT_EQ(dialogs.contractGiven.size(), 1u);
        EXPECT_EQ(dialogs.contractGiven[0].extra, q("Prix (TTC)$$$900"));
        EXPECT_EQ(dialogs.contractGiven[0].rtf, q("contrat_simple.rtf"));
        EXPECT_EQ(dialogs.contractGiven[0].timeslotId, 0);
        EXPECT_EQ(rows("SELECT `extra`, `ts` FROM `contract` WHERE `id` = 0").at(0),
                  (testdb::Row{"Prix (TTC)$$$1000###Date de retour du contrat avant nullit\xe9$$$Lundi 15 Juillet 2019", "0"}));
        EXPECT_EQ(todoOf(0), q(kPlan));

        // Without rights: new, edit and delete refuse alike.
        account::setForTests(q("Lecteur"), q("read"));
        clickButton(&window, manager::kNewContract);
        emit window.listView(manager::kContractList)->rowDoubleClicked(0);
        EXPECT_EQ(dialogs.contractGiven.size(), 1u);
        window.listView(manager::kContractList)->setSelected(0, true);
        clickButton(&window, manager::kDeleteContract);
        EXPECT_EQ(testing_support::ui().messageTexts(), QStringList(3, q(account::kNoRightsMessage)));
        EXPECT_EQ(rows("SELECT `deleted` FROM `contract` WHERE `id` = 0").at(0).at(0), "0");

        // With rights, once the user said yes, the delete is soft.
        account::setForTests(q("Demo"), q("all"));
        testing_support::ui().clear();
        window.listView(manager::kContractList)->setSelected(0, true);
        clickButton(&window, manager::kDeleteContract);
        EXPECT_EQ(rows("SELECT `deleted` FROM `contract` WHERE `id` = 0").at(0).at(0), "1");
    });
}

TEST_F(ContractHandlersTest, AnIdTakenElsewhereGivesTheNextOneAndARefusedSaveLeavesThePlanAlone) {
    testing_support::FakeDialogs dialogs;
    manager window(dialogs);
    dialogs.contractExtra = q(kExtra);
    testing_support::runModal(window, [&] {
        // Someone else took the next id meanwhile: the contract takes the one after, its plan
        // is written, nobody is asked.
        testdb::exec(testdb::programmeDb(), "INSERT INTO `contract` (`id`, `ts`, `extra`) VALUES (1, 0, 'ailleurs')");
        selectGroup(window);
        clickButton(&window, manager::kNewContract);
        EXPECT_TRUE(testing_support::ui().messages.empty()) << testing_support::ui().messageTexts();
        EXPECT_EQ(rows("SELECT `ts` FROM `contract` WHERE `id` = 2").at(0).at(0), "0");
        EXPECT_NE(todoOf(0), q(kPlan));
        EXPECT_EQ(window.listView(manager::kContractList)->itemCount(), 3);

        // A refused plan update takes the contract back with it.
        testdb::exec(testdb::programmeDb(), std::string("SET NAMES utf8mb4; UPDATE `timeslot` SET `todo` = '") + kPlan + "' WHERE `id` = 0");
        testdb::exec(testdb::programmeDb(), "CREATE TRIGGER `refuse` BEFORE UPDATE ON `timeslot` FOR EACH ROW "
                                            "SIGNAL SQLSTATE '45000' SET MESSAGE_TEXT = 'refused'");
        window.reloadAll();
        selectGroup(window);
        clickButton(&window, manager::kNewContract);
        const QStringList messages = testing_support::ui().messageTexts();
        ASSERT_EQ(messages.size(), 1);
        EXPECT_TRUE(messages[0].startsWith(q("Erreur : db_exec (UPDATE `timeslot` SET `todo`"))) << messages[0];
        EXPECT_EQ(rows("SELECT COUNT(*) FROM `contract`").at(0).at(0), "3");
        EXPECT_EQ(todoOf(0), q(kPlan));
        EXPECT_FALSE(db::programmeConnected());
        testdb::exec(testdb::programmeDb(), "DROP TRIGGER `refuse`");
    });
}

// Through the real contract dialog: the first slot picked in it, not the one selected in the
// manager, is the slot the contract is stored under.
TEST_F(ContractHandlersTest, TheRealDialogStoresTheContractUnderTheSlotPickedInIt) {
    testdb::exec(testdb::programmeDb(), "INSERT INTO `timeslot` (`id`, `date`, `start`, `end`, `showname`, `childof`, `room`)"
                                        " VALUES (2, '2027-08-01', '18:00:00', '19:00:00', 0, -1, 0)");
    QTemporaryDir root;
    ASSERT_TRUE(root.isValid());
    const QDir dir(root.path());
    for (const char* sub : {"models", "generated", "shared"}) dir.mkpath(q(sub));
    testing_support::writeFile(dir.filePath(q("models/t.rtf")), "{\\rtf1 <<<NUM>>>}");
    testing_support::writeFile(dir.filePath(q("models/t.txt")), "Num\xe9ro de contrat\r\n");
    manager window;
    window.contractEdits().folders = {dir.filePath(q("models")), dir.filePath(q("generated")), dir.filePath(q("shared"))};
    testing_support::runModal(window, [&] {
        selectGroup(window);
        testing_support::ui().fileAnswers = {dir.filePath(q("models/t.rtf"))};
        onNextModal([](QDialog* d) {
            QComboBox* heads = static_cast<ct*>(d)->comboBox(ct::kFirstSlot);
            EXPECT_EQ(heads->currentData().toInt(), 0);  // the group selected in the manager
            const int other = heads->findData(2);
            ASSERT_GE(other, 0);
            heads->setCurrentIndex(other);
            emit heads->activated(other);
            clickButton(d, ct::kGenerate);
            clickButton(d, platform::IDOK);
        });
        clickButton(&window, manager::kNewContract);
        EXPECT_EQ(rows("SELECT `ts`, `rtf` FROM `contract` WHERE `id` = 1").at(0), (testdb::Row{"2", "t.rtf"}));
        EXPECT_EQ(QDir(dir.filePath(q("shared"))).entryList(QDir::Files).size(), 1);
    });
    EXPECT_TRUE(testing_support::ui().messages.empty()) << testing_support::ui().messageTexts().join("\n").toStdString();
}

}  // namespace
