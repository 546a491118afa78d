// Edits that cannot hurt: deletes need rights, ask first and go as one save; the Corbeille
// brings them back; a handler acts on the record its row shows even after a dialog reloaded
// the records under the lists; what a user typed is kept. Real windows, real server.
#include <gtest/gtest.h>

#include <QComboBox>
#include <QPlainTextEdit>
#include <QPushButton>
#include <QTreeWidget>
#include <functional>

#include "db/codepage.h"
#include "db/connections.h"
#include "dialog/controls.h"
#include "manager/ccomp_dlg.h"
#include "manager/corbeille_dlg.h"
#include "manager/manager_dlg.h"
#include "manager/show_dlg.h"
#include "planning/ts_dlg.h"
#include "programme/account.h"
#include "tests/support/fake_dialogs.h"
#include "tests/support/manager_fixture.h"
#include "tests/support/modal.h"
#include "tests/support/qt_print.h"
#include "tests/support/recording_ui.h"
#include "tests/support/sql.h"
#include "tests/support/testdb.h"

namespace {

using testing_support::clickButton;
using testing_support::onNextModal;
using testing_support::typeInto;

testing_support::RecordingUi& ui() { return testing_support::ui(); }

// Companies 1 Mouette (show 1 Nuit: group 0 of slots 0, 1 and 2, slot 2 removed earlier;
// contract 0 on it) and 2 Zèbre (show 2 Saut, no group); their placeholder shows 3 and 4.
class SafeEditsTest : public testing_support::ManagerTest {
protected:
    std::string startingData() const override {
        return "SET NAMES utf8mb4;"
               "INSERT INTO `comp` (`id`, `nom`, `deleted`) VALUES (0, '<aucune>', 0), (1, 'Mouette', 0),"
               " (2, 'Zèbre', 0);"
               "INSERT INTO `showname` VALUES (0, '<aucun>', 0, 0), (1, 'Nuit', 1, 0), (2, 'Saut', 2, 0),"
               " (3, '<spectacle à définir (compagnie Mouette)>', 1, 0),"
               " (4, '<spectacle à définir (compagnie Zèbre)>', 2, 0);"
               "INSERT INTO `salle` VALUES (10, 'Rouge', 'R', '100', 'la rouge');"
               "INSERT INTO `timeslot` (`id`, `date`, `start`, `end`, `deleted`, `showname`, `childof`, `room`,"
               " `todo`, `done`) VALUES"
               " (0, '2027-07-05', '20:30:00', '22:00:00', 0, 1, -1, 10,"
               "  'Contrat envoyé par KQ$$$Contrat reçu par KQ=15/5/2027$$$Règlement 1=1/6/2027:350', ''),"
               " (1, '2027-07-06', '20:30:00', '22:00:00', 0, 1, 0, 10, '', ''),"
               " (2, '2027-07-07', '20:30:00', '22:00:00', 1, 1, 0, 10, '', '');"
               "INSERT INTO `contract` (`id`, `ts`, `created`, `extra`, `deleted`) VALUES"
               " (0, 0, '2027-01-01 10:00:00', 'Date de retour du contrat avant nullité$$$Samedi 15 Mai 2027', 0);";
    }
};

struct DeleteButton {
    const char* name;
    int list;
    const char* rowText;
    int column;
    int button;
    const char* deletedCheck;  // the row's `deleted`
};
const DeleteButton kDeletes[] = {
    {"company", manager::kCompanyList, "Zèbre", 1, manager::kDeleteCompany,
     "SELECT `deleted` FROM `comp` WHERE `id` = 2"},
    {"show", manager::kShowList, "Saut", 1, manager::kDeleteShow, "SELECT `deleted` FROM `showname` WHERE `id` = 2"},
    {"group", manager::kTimeslotList, "0", 0, manager::kDeleteTimeslotGroup,
     "SELECT `deleted` FROM `timeslot` WHERE `id` = 0"},
    {"contract", manager::kContractList, "0", 0, manager::kDeleteContract,
     "SELECT `deleted` FROM `contract` WHERE `id` = 0"},
};

// Every handler that writes needs rights: without them it says so, opens no dialog, asks
// nothing and writes nothing, whether the account reads or reads "ALL".
TEST_F(SafeEditsTest, WithoutRightsEveryGuardedHandlerRefusesAndWritesNothing) {
    const std::string everything =
        "SELECT CONCAT_WS('/', (SELECT COUNT(*) FROM `comp`), (SELECT SUM(`deleted`) FROM `comp`),"
        " (SELECT COUNT(*) FROM `showname`), (SELECT SUM(`deleted`) FROM `showname`), (SELECT COUNT(*) FROM "
        "`timeslot`),"
        " (SELECT SUM(`deleted`) FROM `timeslot`), (SELECT COUNT(*) FROM `contract`),"
        " (SELECT SUM(`deleted`) FROM `contract`), (SELECT COUNT(*) FROM `logs`))";
    testing_support::FakeDialogs dialogs;
    manager window(dialogs);
    const struct {
        const char* name;
        std::function<void()> act;
    } handlers[] = {
        {"add company", [&] { clickButton(&window, manager::kAddCompany); }},
        {"edit company", [&] { doubleClick(window, manager::kCompanyList, q("Mouette")); }},
        {"delete company",
         [&] {
             select(window, manager::kCompanyList, q("Zèbre"));
             clickButton(&window, manager::kDeleteCompany);
         }},
        {"add show", [&] { clickButton(&window, manager::kAddShow); }},
        {"edit show", [&] { doubleClick(window, manager::kShowList, q("Nuit")); }},
        {"delete show",
         [&] {
             select(window, manager::kShowList, q("Saut"));
             clickButton(&window, manager::kDeleteShow);
         }},
        {"add group", [&] { clickButton(&window, manager::kAddTimeslotGroup); }},
        {"edit group", [&] { doubleClick(window, manager::kTimeslotList, q("0"), 0); }},
        {"delete group",
         [&] {
             select(window, manager::kTimeslotList, q("0"), 0);
             clickButton(&window, manager::kDeleteTimeslotGroup);
         }},
        {"new contract", [&] { clickButton(&window, manager::kNewContract); }},
        {"edit contract", [&] { doubleClick(window, manager::kContractList, q("0"), 0); }},
        {"delete contract",
         [&] {
             select(window, manager::kContractList, q("0"), 0);
             clickButton(&window, manager::kDeleteContract);
         }},
    };
    testing_support::runModal(window, [&] {
        const std::string before = one(everything);
        for (const char* rights : {"lecture", "lecture ALL"}) {
            account::setForTests(q("Lecteur"), q(rights));
            for (const auto& h : handlers) {
                SCOPED_TRACE(std::string(h.name) + " with the rights \"" + rights + "\"");
                ui().clear();
                h.act();
                EXPECT_EQ(ui().messageTexts(), QStringList{q(account::kNoRightsMessage)});
            }
        }
        EXPECT_TRUE(dialogs.editorGiven.empty());
        EXPECT_TRUE(dialogs.contractGiven.empty());
        EXPECT_EQ(one(everything), before);
    });
}

TEST_F(SafeEditsTest, EveryDeleteAsksFirstAndLeavesItsButtonGrey) {
    manager window;
    testing_support::runModal(window, [&] {
        for (const DeleteButton& d : kDeletes) {
            SCOPED_TRACE(d.name);
            // "Non", the question's default, deletes nothing.
            ui().clear();
            select(window, d.list, q(d.rowText), d.column);
            ui().answers = {99};  // Escape or the close box: the last answer
            clickButton(&window, d.button);
            ASSERT_EQ(ui().messages.size(), 1u);
            EXPECT_EQ(ui().messages[0].choices.back(), q("Non"));
            EXPECT_EQ(one(d.deletedCheck), "0");

            // Yes: deleted; the lists reloaded, nothing is selected and every "-" is grey until
            // a row is selected again.
            ui().answers = {1};  // alone where the question offers it, otherwise "Non"
            if (ui().messages[0].choices.size() == 2) ui().answers = {0};
            ui().messages.clear();
            clickButton(&window, d.button);
            EXPECT_EQ(one(d.deletedCheck), "1");
            EXPECT_LT(row(window, d.list, q(d.rowText), d.column), 0);
            for (int button : {manager::kDeleteCompany, manager::kDeleteShow, manager::kDeleteTimeslotGroup,
                               manager::kDeleteContract})
                EXPECT_FALSE(enabled(window, button)) << button;
        }
        // Each delete wrote one audit line, in its own save.
        EXPECT_EQ(one("SELECT COUNT(*) FROM `logs` WHERE `log` LIKE 'Demo : %supprim%'"), "4");
    });
}

TEST_F(SafeEditsTest, ACompanyDeletedWithEverythingGoesInOneSaveOrNotAtAll) {
    manager window;
    testing_support::runModal(window, [&] {
        // A trigger refuses the last statement of the save: nothing of it stays.
        testdb::exec(testdb::programmeDb(),
                     "CREATE TRIGGER `refuse` BEFORE UPDATE ON `contract` FOR EACH ROW "
                     "SIGNAL SQLSTATE '45000' SET MESSAGE_TEXT = 'refused'");
        select(window, manager::kCompanyList, q("Mouette"));
        ui().answers = {0};  // "Tout supprimer"
        clickButton(&window, manager::kDeleteCompany);
        ASSERT_EQ(ui().errorTexts().size(), 1);
        EXPECT_TRUE(ui().errorTexts()[0].startsWith(q("Erreur : db_exec (UPDATE `contract`")))
            << ui().errorTexts()[0].toStdString();
        EXPECT_EQ(rows("SELECT SUM(`deleted`) FROM `comp`").at(0).at(0), "0");
        EXPECT_EQ(rows("SELECT SUM(`deleted`) FROM `showname`").at(0).at(0), "0");
        EXPECT_EQ(one("SELECT SUM(`deleted`) FROM `timeslot`"), "1");  // slot 2, removed before
        EXPECT_EQ(one("SELECT COUNT(*) FROM `logs`"), "1");            // "manager started"
        EXPECT_FALSE(db::programmeConnected());

        testdb::exec(testdb::programmeDb(), "DROP TRIGGER `refuse`");
        ui().clear();
        select(window, manager::kCompanyList, q("Mouette"));
        ui().answers = {0};
        clickButton(&window, manager::kDeleteCompany);
        EXPECT_TRUE(ui().errorTexts().isEmpty());
        EXPECT_EQ(rows("SELECT `id` FROM `showname` WHERE `deleted` = 1 ORDER BY `id`"),
                  (std::vector<testdb::Row>{{"1"}, {"3"}}));
        EXPECT_EQ(one("SELECT COUNT(*) FROM `timeslot` WHERE `deleted` = 1"), "3");
        EXPECT_EQ(one("SELECT `deleted` FROM `contract` WHERE `id` = 0"), "1");
        EXPECT_LT(row(window, manager::kShowList, q("Nuit")), 0);
        EXPECT_LT(row(window, manager::kTimeslotList, q("0"), 0), 0);
    });
}

// Brings a dialog's "+" company: types the name, OK.
void addCompanyInside(QDialog* showDialog, const QString& name) {
    onNextModal([=](QDialog* d) {
        typeInto(d, ccomp::kNom, name);
        clickButton(d, platform::IDOK);
    });
    clickButton(showDialog, show::kAddCompany);
}

// "+" show, "+" company inside, "Annuler", then "-" on a row: the row's record goes, not the
// one that took its index when the records were reloaded under the lists. Its cousins: the
// same through the show's edit, and through the timeslot editor's "+".
TEST_F(SafeEditsTest, AfterADialogThatWroteTheRowsStillNameTheirRecords) {
    manager window;
    testing_support::runModal(window, [&] {
        onNextModal([&](QDialog* d) {
            addCompanyInside(d, q("Nouvelle"));
            EXPECT_EQ(d->findChild<QComboBox*>(QStringLiteral("ctl_%1").arg(show::kCompany))->currentText(),
                      q("Nouvelle"));
            clickButton(d, platform::IDCANCEL);
        });
        clickButton(&window, manager::kAddShow);
        EXPECT_GE(row(window, manager::kCompanyList, q("Nouvelle")), 0);  // listed again at once
        select(window, manager::kCompanyList, q("Mouette"));
        ui().answers = {1};  // "Seulement la compagnie"
        clickButton(&window, manager::kDeleteCompany);
        EXPECT_EQ(one("SELECT `deleted` FROM `comp` WHERE `nom` = 'Mouette'"), "1");
        EXPECT_EQ(one("SELECT `deleted` FROM `comp` WHERE `nom` = 'Nouvelle'"), "0");

        // The show's edit: a company added inside, then cancel; "-" on "Saut".
        onNextModal([&](QDialog* d) {
            addCompanyInside(d, q("Autre"));
            clickButton(d, platform::IDCANCEL);
        });
        emit window.listView(manager::kShowList)->rowDoubleClicked(row(window, manager::kShowList, q("Nuit")));
        select(window, manager::kShowList, q("Saut"));
        ui().answers = {0};
        clickButton(&window, manager::kDeleteShow);
        EXPECT_EQ(one("SELECT `deleted` FROM `showname` WHERE `name` = 'Saut'"), "1");
        EXPECT_EQ(one("SELECT `deleted` FROM `showname` WHERE `name` = 'Nuit'"), "0");

        // The timeslot editor's "+" adds a show, the editor is cancelled; "-" on "Nuit".
        onNextModal([&](QDialog* editor) {
            onNextModal([](QDialog* d) {
                typeInto(d, show::kName, q("Ajout"));
                clickButton(d, platform::IDOK);
            });
            clickButton(editor, ts::kCreateShow);
            clickButton(editor, platform::IDCANCEL);
        });
        clickButton(&window, manager::kAddTimeslotGroup);
        select(window, manager::kShowList, q("Nuit"));
        ui().answers = {1};  // the show alone
        clickButton(&window, manager::kDeleteShow);
        EXPECT_EQ(one("SELECT `deleted` FROM `showname` WHERE `name` = 'Nuit'"), "1");
        EXPECT_EQ(one("SELECT `deleted` FROM `showname` WHERE `name` = 'Ajout'"), "0");
    });
}

TEST_F(SafeEditsTest, TheEditorPreselectsTheShowJustTypedAfterACompanyAddedOnTheWay) {
    manager window;
    testing_support::runModal(window, [&] {
        QString preselected;
        onNextModal([&](QDialog* editor) {
            onNextModal([&](QDialog* d) {
                addCompanyInside(d, q("Neuve"));
                typeInto(d, show::kName, q("Mon spectacle"));
                clickButton(d, platform::IDOK);
            });
            clickButton(editor, ts::kCreateShow);
            preselected = editor->findChild<QComboBox*>(QStringLiteral("ctl_%1").arg(ts::kShowCombo))->currentText();
            clickButton(editor, platform::IDCANCEL);
        });
        clickButton(&window, manager::kAddTimeslotGroup);
        EXPECT_EQ(preselected, q("Mon spectacle"));
    });
}

// The Corbeille: the group just deleted comes first, with who deleted it; restored, it has
// its slots again but not the one removed earlier. A show whose company is deleted offers the
// company too. Restoring needs rights.
TEST_F(SafeEditsTest, TheCorbeilleRestoresWhatWentTogether) {
    manager window;
    testing_support::runModal(window, [&] {
        select(window, manager::kTimeslotList, q("0"), 0);
        ui().answers = {1};  // the group alone; its contract stays
        clickButton(&window, manager::kDeleteTimeslotGroup);
        select(window, manager::kCompanyList, q("Zèbre"));
        ui().answers = {0};  // with its show
        clickButton(&window, manager::kDeleteCompany);
        EXPECT_EQ(one("SELECT COUNT(*) FROM `timeslot` WHERE `deleted` = 1"), "3");

        onNextModal([&](QDialog* d) {
            auto* corbeille = qobject_cast<CorbeilleWindow*>(d);
            ASSERT_TRUE(corbeille);
            QTreeWidget* list = corbeille->list();
            QStringList shown;
            for (int i = 0; i < list->topLevelItemCount(); ++i)
                shown << list->topLevelItem(i)->text(0) + u' ' + list->topLevelItem(i)->text(1) + u' ' +
                             list->topLevelItem(i)->text(3);
            EXPECT_EQ(shown, QStringList({q("Compagnie 2 Demo"), q("Spectacle 4 Demo"), q("Spectacle 2 Demo"),
                                          q("Groupe 0 Demo")}));

            // Without rights nothing comes back.
            account::setForTests(q("Lecteur"), q("lecture"));
            list->topLevelItem(3)->setSelected(true);
            corbeille->restoreSelected();
            EXPECT_EQ(ui().messageTexts().back(), q(account::kNoRightsMessage));
            account::setForTests(q("Demo"), q("all"));

            corbeille->restoreSelected();
            EXPECT_EQ(rows("SELECT `id` FROM `timeslot` WHERE `deleted` = 1"), (std::vector<testdb::Row>{{"2"}}));
            ASSERT_EQ(list->topLevelItemCount(), 3);
            // One line says what came back: the group with the two slots the server holds live.
            EXPECT_EQ(one("SELECT COUNT(*) FROM `timeslot` WHERE `deleted` = 0 AND (`id` = 0 OR `childof` = 0)"), "2");
            EXPECT_EQ(ui().messages.back().icon, platform::MessageIcon::Information);
            EXPECT_EQ(ui().messages.back().text, q("Restauré : le groupe de créneaux « Nuit », Rouge, Lundi 05 Juillet "
                                                   "2027 à 20:30 avec ses 2 créneaux."));

            // The show alone offers its company; "Restaurer aussi" brings both back.
            list->topLevelItem(2)->setSelected(true);
            ui().clear();
            ui().answers = {0};
            corbeille->restoreSelected();
            ASSERT_EQ(ui().messages.size(), 2u);
            EXPECT_EQ(ui().messages[0].choices.front(), q("Restaurer aussi"));
            EXPECT_EQ(ui().messages[1].text,
                      q("Restauré : le spectacle « Saut » ; la compagnie « Zèbre » avec son spectacle "
                        "« <spectacle à définir (compagnie Zèbre)> »."));
            EXPECT_EQ(one("SELECT `deleted` FROM `showname` WHERE `id` = 2"), "0");
            EXPECT_EQ(one("SELECT `deleted` FROM `comp` WHERE `id` = 2"), "0");
            // The company's placeholder show came back with it.
            EXPECT_EQ(one("SELECT `deleted` FROM `showname` WHERE `id` = 4"), "0");
            EXPECT_EQ(list->topLevelItemCount(), 0);
            d->reject();
        });
        clickButton(&window, manager::kCorbeille);
        // The manager's lists show the restored records.
        EXPECT_GE(row(window, manager::kTimeslotList, q("0"), 0), 0);
        EXPECT_GE(row(window, manager::kCompanyList, q("Zèbre")), 0);
        EXPECT_EQ(window.listView(manager::kTimeslotList)->itemText(row(window, manager::kTimeslotList, q("0"), 0), 3),
                  q("2"));  // the live slots
    });
}

TEST_F(SafeEditsTest, DeletingAContractCanTakeItsDeadlineOutOfThePlanAndTheCorbeillePutsItBack) {
    manager window;
    testing_support::runModal(window, [&] {
        select(window, manager::kContractList, q("0"), 0);
        ui().answers = {0};  // "Supprimer et retirer du suivi"
        clickButton(&window, manager::kDeleteContract);
        EXPECT_EQ(ui().messages.at(0).choices.front(), q("Supprimer et retirer du suivi"));
        EXPECT_EQ(db::fromAnsi(one("SELECT `todo` FROM `timeslot` WHERE `id` = 0")),
                  q("Contrat envoyé par KQ$$$Contrat reçu par KQ$$$Règlement 1"));

        onNextModal([&](QDialog* d) {
            auto* corbeille = qobject_cast<CorbeilleWindow*>(d);
            ASSERT_TRUE(corbeille);
            corbeille->list()->topLevelItem(0)->setSelected(true);
            corbeille->restoreSelected();
            d->reject();
        });
        clickButton(&window, manager::kCorbeille);
        EXPECT_EQ(ui().messages.back().text,
                  q("Restauré : le contrat 0 de « Nuit » avec sa date de retour remise dans le suivi du groupe 0."));
        EXPECT_EQ(one("SELECT `deleted` FROM `contract` WHERE `id` = 0"), "0");
        EXPECT_EQ(db::fromAnsi(one("SELECT `todo` FROM `timeslot` WHERE `id` = 0")),
                  q("Contrat envoyé par KQ$$$Contrat reçu par KQ=15/5/2027$$$Règlement 1"));
    });
}

}  // namespace
