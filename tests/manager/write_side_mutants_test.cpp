// Write-side faults the other handler tests let through: statements the server refuses while
// connected, dialogs closed without a change, and a plan text that needs escaping.
#include <gtest/gtest.h>

#include "contracts/contract_model.h"
#include "contracts/editoneitem_dlg.h"
#include "db/codepage.h"
#include "db/connections.h"
#include "manager/manager_dlg.h"
#include "dialog/controls.h"
#include "programme/account.h"
#include "programme/programme_data.h"
#include "tests/support/fake_dialogs.h"
#include "tests/support/modal.h"
#include "tests/support/recording_ui.h"
#include "tests/support/testdb.h"
#include "tests/support/sql.h"

namespace {

using testing_support::clickButton;
using testing_support::onNextModal;

// The head's plan, in the code page, as the server holds it and as its SQL literal.
const char* const kQuotedPlan = "Affiche \"A3\" \\ recto$$$Contrat re\xe7u par KQ$$$R\xe8glement 1";
const char* const kQuotedPlanLiteral = "'Affiche \"A3\" \\\\ recto$$$Contrat re\xe7u par KQ$$$R\xe8glement 1'";

class WriteSideTest : public ::testing::Test {
protected:
    void SetUp() override {
        testing_support::ui().clear();
        testdb::resetProgramme();  // its tables are recreated: a trigger left behind goes with them
        programme::clearAll();
        db::closeProgramme();
        account::setForTests(q("Demo"), q("all"));
        sql(std::string("INSERT INTO `comp` (`id`, `nom`, `email`, `fulladr`, `contact1`, `contact2`, `deleted`) VALUES"
                        " (0, 'Mouette', 'm@example.org', '2 quai', 'Anne', 'Bruno', 0);"
                        "INSERT INTO `showname` VALUES (0, 'Nuit', 0, 0);"
                        "INSERT INTO `salle` VALUES (0, 'Rouge', 'R', '100', 'la rouge');"
                        "INSERT INTO `timeslot` (`id`, `date`, `start`, `end`, `deleted`, `showname`, `childof`, `room`,"
                        " `survey`, `todo`, `done`) VALUES"
                        " (0, '2027-07-05', '20:30:00', '22:00:00', 0, 0, -1, 0, 'a.txt', ") +
            kQuotedPlanLiteral + ", ''), (1, '2027-07-06', '20:30:00', '22:00:00', 0, 0, 0, 0, '', '', '');");
    }
    void TearDown() override { db::closeProgramme(); }

    static int row(manager& window, int list, const QString& text, int col = 1) {
        return testing_support::rowWithText(window.listView(list), text, col);
    }
    static void doubleClick(manager& window, int list, const QString& text) {
        emit window.listView(list)->rowDoubleClicked(row(window, list, text));
    }
    static void pressOkOnNextDialog() {
        onNextModal([](QDialog* d) { clickButton(d, platform::IDOK); });
    }
};

// A statement refused while connected: one message, nothing written, and the connection
// closed as after any statement of the handlers.
TEST_F(WriteSideTest, RefusedStatementsAreReportedAndCloseTheConnection) {
    testing_support::FakeDialogs dialogs;
    dialogs.contractRtf = q("contrat_simple.rtf");
    // The editor closes on these slots.
    std::vector<planning::SlotEntry> entries;
    dialogs.edit = [&entries](planning::TimeslotEditorData& data) { data.entries = entries; };
    manager window(dialogs);
    const char* const kRefuseUpdates = "CREATE TRIGGER `refuse` BEFORE UPDATE ON `%1` FOR EACH ROW "
                                       "SIGNAL SQLSTATE '45000' SET MESSAGE_TEXT = 'refused'";
    const struct {
        const char* name;
        QString refuse;  // makes the server refuse the handler's statement
        const char* undo;
        std::function<void()> action;
        const char* statement;
    } cases[] = {
        {"company edit", q(kRefuseUpdates).arg(q("comp")), "DROP TRIGGER `refuse`",
         [&] {
             pressOkOnNextDialog();
             doubleClick(window, manager::kCompanyList, q("Mouette"));
         },
         "UPDATE `comp`"},
        {"company delete", q(kRefuseUpdates).arg(q("comp")), "DROP TRIGGER `refuse`",
         [&] {
             window.listView(manager::kCompanyList)->setSelected(row(window, manager::kCompanyList, q("Mouette")), true);
             clickButton(&window, manager::kDeleteCompany);
         },
         "UPDATE `comp`"},
        {"show edit", q(kRefuseUpdates).arg(q("showname")), "DROP TRIGGER `refuse`",
         [&] {
             pressOkOnNextDialog();
             doubleClick(window, manager::kShowList, q("Nuit"));
         },
         "UPDATE `showname`"},
        // The server refuses the new group's children.
        {"new group's child",
         q("CREATE TRIGGER `refuse` BEFORE INSERT ON `timeslot` FOR EACH ROW IF NEW.`childof` <> -1 THEN "
           "SIGNAL SQLSTATE '45000' SET MESSAGE_TEXT = 'refused'; END IF"),
         "DROP TRIGGER `refuse`",
         [&] {
             entries = {{1, 9, 2027, 19, 0, 20, 0}, {2, 9, 2027, 19, 0, 20, 0}};
             clickButton(&window, manager::kAddTimeslotGroup);
         },
         "INSERT INTO `timeslot`"},
    };
    testing_support::runModal(window, [&] {
        for (const auto& c : cases) {
            SCOPED_TRACE(c.name);
            sql(c.refuse.toStdString());
            const auto before = rows("SELECT * FROM `comp`, `showname`");
            testing_support::ui().clear();
            c.action();
            const QStringList messages = testing_support::ui().errorTexts();
            ASSERT_EQ(messages.size(), 1) << messages.join(u'\n').toStdString();
            EXPECT_TRUE(messages[0].startsWith(q("Erreur : db_exec (") + q(c.statement))) << messages[0].toStdString();
            EXPECT_FALSE(db::programmeConnected());
            EXPECT_EQ(rows("SELECT * FROM `comp`, `showname`"), before);
            if (*c.undo) sql(c.undo);
        }
        // The group's head went back with its refused child: no half-written group.
        EXPECT_TRUE(rows("SELECT `id` FROM `timeslot` WHERE `id` >= 2").empty());
        EXPECT_LT(row(window, manager::kTimeslotList, q("2"), 0), 0);
    });
}

// OK on a dialog nobody changed writes back what the record held, every column.
TEST_F(WriteSideTest, DialogsClosedUntouchedChangeNothing) {
    manager window;
    const std::string company = "SELECT `nom`, `email`, `fulladr`, `contact1`, `contact2` FROM `comp`";
    const std::string show = "SELECT `name`, `comp` FROM `showname`";
    testing_support::runModal(window, [&] {
        const auto companyBefore = rows(company);
        const auto showBefore = rows(show);
        pressOkOnNextDialog();
        doubleClick(window, manager::kCompanyList, q("Mouette"));
        pressOkOnNextDialog();
        doubleClick(window, manager::kShowList, q("Nuit"));
        EXPECT_EQ(rows(company), companyBefore);
        EXPECT_EQ(rows(show), showBefore);
    });
    EXPECT_TRUE(testing_support::ui().messages.empty()) << testing_support::ui().messageTexts().join("\n").toStdString();

    // The contract's value editor opens on the row's value.
    for (const char* value : {"900", "Lundi 15 Juillet 2019", ""}) {
        editoneitem editor;
        editor.caption = q("Prix (TTC)");
        editor.text = q(value);
        onNextModal([&](QDialog* d) {
            EXPECT_EQ(static_cast<dlg::Dialog*>(d)->itemText(editoneitem::kValue), q(value));
            clickButton(d, platform::IDOK);
        });
        EXPECT_EQ(editor.DoModal(), platform::IDOK) << value;
        EXPECT_EQ(editor.text, q(value));
    }
}

// The plan a new contract rewrites may hold quotes and backslashes from its template.
TEST_F(WriteSideTest, ANewContractRewritesAPlanThatNeedsEscaping) {
    testing_support::FakeDialogs dialogs;
    dialogs.contractRtf = q("contrat_simple.rtf");
    // The editor closes on these slots.
    std::vector<planning::SlotEntry> entries;
    dialogs.edit = [&entries](planning::TimeslotEditorData& data) { data.entries = entries; };
    manager window(dialogs);
    dialogs.contractExtra = q("Date de retour du contrat avant nullité$$$Lundi 15 Juillet 2019");
    testing_support::runModal(window, [&] {
        window.listView(manager::kTimeslotList)->setSelected(row(window, manager::kTimeslotList, q("0"), 0), true);
        clickButton(&window, manager::kNewContract);
        EXPECT_EQ(db::fromAnsi(rows("SELECT `todo` FROM `timeslot` WHERE `id` = 0").at(0).at(0)),
                  db::fromAnsi(kQuotedPlan).replace(q("KQ"), q("KQ=15/7/2019")));
    });
    EXPECT_TRUE(testing_support::ui().messages.empty()) << testing_support::ui().messageTexts().join("\n").toStdString();
}

}  // namespace
