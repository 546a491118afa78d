// The manager's edit handlers against the local server: what they write, what they refuse
// without rights, and that typed values come back from the server exactly as typed.
#include <gtest/gtest.h>

#include <QComboBox>
#include <QLineEdit>
#include <QPlainTextEdit>
#include <QPushButton>

#include "db/codepage.h"
#include "db/connections.h"
#include "manager/ccomp_dlg.h"
#include "manager/manager_dlg.h"
#include "manager/show_dlg.h"
#include "dialog/controls.h"
#include "programme/account.h"
#include "programme/programme_data.h"
#include "tests/support/fake_dialogs.h"
#include "tests/support/empty_programme.h"
#include "tests/support/modal.h"
#include "tests/support/recording_ui.h"
#include "tests/support/testdb.h"
#include "tests/support/sql.h"

namespace {

using testing_support::clickButton;
using testing_support::onNextModal;
using testing_support::typeInto;

QString text(const std::string& ansi) { return db::fromAnsi(ansi); }

planning::SlotEntry slot(int day, int month, int year, int h1, int m1, int h2, int m2) {
    return {day, month, year, h1, m1, h2, m2};
}

class EditHandlersTest : public ::testing::Test {
protected:
    void SetUp() override {
        testing_support::startEmptyProgramme();
        account::setForTests(q("Demo"), q("all"));
        testdb::exec(testdb::programmeDb(),
                     "SET NAMES utf8mb4;"
                     "INSERT INTO `comp` (`id`, `nom`, `deleted`) VALUES (0, '<aucune>', 0), (1, 'Zèbre', 0),"
                     " (2, 'Mouette', 0), (3, 'Effacée', 1);"
                     "INSERT INTO `showname` VALUES (0, '<aucun>', 0, 0), (1, 'Le Saut', 1, 0), (2, 'Nuit', 2, 0);"
                     "INSERT INTO `salle` VALUES (10, 'Rouge', 'R', '100', 'la rouge'), (20, 'Verte', 'V', '80', 'la verte');"
                     "INSERT INTO `timeslot` (`id`, `date`, `start`, `end`, `deleted`, `showname`, `childof`, `room`,"
                     " `survey`, `todo`, `done`) VALUES"
                     " (0, '2027-07-05', '20:30:00', '22:00:00', 0, 1, -1, 10, 'a.txt', 'A$$$B', 'A=Fait le 1/6/2027'),"
                     " (1, '2027-07-06', '20:30:00', '22:00:00', 0, 1, 0, 10, '', '', ''),"
                     " (2, '2027-07-07', '20:30:00', '22:00:00', 1, 1, 0, 10, '', '', ''),"
                     " (3, '2027-07-08', '21:00:00', '22:00:00', 0, 1, 0, 10, '', '', ''),"
                     " (4, '2027-07-09', '21:00:00', '22:00:00', 0, 1, 0, 10, '', '', ''),"
                     " (5, '2027-08-01', '18:00:00', '19:00:00', 0, 2, -1, 20, '', '', '');");
    }
    void TearDown() override { db::closeProgramme(); }

    static int row(manager& window, int list, const QString& text, int col = 1) {
        return testing_support::rowWithText(window.listView(list), text, col);
    }
    static void doubleClick(manager& window, int list, int r) { emit window.listView(list)->rowDoubleClicked(r); }
    static void select(manager& window, int list, int r) { window.listView(list)->setSelected(r, true); }
};

// Fills the company dialog once it is up and presses OK.
void answerCompany(const QString& nom, const QString& email, const QString& address) {
    onNextModal([=](QDialog* d) {
        typeInto(d, ccomp::kNom, nom);
        typeInto(d, ccomp::kEmail, email);
        if (auto* edit = d->findChild<QPlainTextEdit*>(QStringLiteral("ctl_%1").arg(ccomp::kFullAddress)))
            edit->setPlainText(address);
        clickButton(d, platform::IDOK);
    });
}

TEST_F(EditHandlersTest, AddingACompanyWritesItItsAddressAndItsPlaceholderShow) {
    manager window;
    testing_support::runModal(window, [&] {
        answerCompany(q("Alpha"), q("a@b.example"), q("1 rue du Port"));
        clickButton(&window, manager::kAddCompany);

        // The address typed at creation is stored with the company.
        auto comp = rows("SELECT `nom`, `email`, `fulladr`, `deleted` FROM `comp` WHERE `id` = 4");
        ASSERT_EQ(comp.size(), 1u);
        EXPECT_EQ(comp[0], (testdb::Row{"Alpha", "a@b.example", "1 rue du Port", "0"}));
        auto placeholder = rows("SELECT `name`, `comp` FROM `showname` WHERE `id` = 3");
        ASSERT_EQ(placeholder.size(), 1u);
        EXPECT_EQ(text(placeholder[0][0]), q("<spectacle à définir (compagnie Alpha)>"));
        EXPECT_EQ(placeholder[0][1], "4");

        // Reloaded: the placeholder is listed and cannot be deleted.
        const int shown = row(window, manager::kShowList, q("<spectacle à définir (compagnie Alpha)>"));
        ASSERT_GE(shown, 0);
        select(window, manager::kShowList, shown);
        window.lists().updateDeleteButtons();
        EXPECT_FALSE(window.item(manager::kDeleteShow)->isEnabled());

        // The edit dialog opens on it.
        onNextModal([](QDialog* d) {
            EXPECT_EQ(d->findChild<QPlainTextEdit*>(QStringLiteral("ctl_%1").arg(ccomp::kFullAddress))->toPlainText(),
                      q("1 rue du Port"));
            clickButton(d, platform::IDCANCEL);
        });
        doubleClick(window, manager::kCompanyList, row(window, manager::kCompanyList, q("Alpha")));

        // Without an address only the two creation statements run.
        answerCompany(q("Beta"), q(""), q(""));
        clickButton(&window, manager::kAddCompany);
        EXPECT_EQ(rows("SELECT `nom`, `fulladr` FROM `comp` WHERE `id` = 5").at(0), (testdb::Row{"Beta", ""}));
    });
    EXPECT_TRUE(testing_support::ui().messages.empty()) << testing_support::ui().messageTexts().join("\n").toStdString();
}

// An address the user does not touch, whatever its line ends, is not written, not named in
// the audit line, and not in a clash: the line a colleague added meanwhile stays.
TEST_F(EditHandlersTest, AnUntouchedAddressIsNeitherWrittenNorClashing) {
    // As the Windows program stored it, and as another tool may have.
    for (const std::string stored : {"1 rue\r\n29200 Brest", "1 rue\n29200 Brest"}) {
        SCOPED_TRACE(stored);
        testing_support::ui().clear();
        testdb::exec(testdb::programmeDb(), "UPDATE `comp` SET `fulladr` = '" +
                                                QString::fromStdString(stored).replace(u'\r', QStringLiteral("\\r")).replace(u'\n', QStringLiteral("\\n")).toStdString() +
                                                "', `email` = '' WHERE `id` = 2");
        manager window;
        testing_support::runModal(window, [&] {
            onNextModal([](QDialog* d) {
                typeInto(d, ccomp::kEmail, q("neuf@example.org"));
                testdb::exec(testdb::programmeDb(),
                             "UPDATE `comp` SET `fulladr` = CONCAT(`fulladr`, '\\r\\nFrance') WHERE `id` = 2");
                clickButton(d, platform::IDOK);
            });
            doubleClick(window, manager::kCompanyList, row(window, manager::kCompanyList, q("Mouette")));
        });
        EXPECT_EQ(rows("SELECT `email`, `fulladr` FROM `comp` WHERE `id` = 2").at(0),
                  (testdb::Row{"neuf@example.org", stored + "\r\nFrance"}));
        EXPECT_EQ(text(rows("SELECT `log` FROM `logs` ORDER BY `id` DESC LIMIT 1").at(0).at(0)),
                  q("Demo : compagnie 2 \"Mouette\" : e-mail modifié [comp=2]"));
        // Taken from the colleague and said so; never asked.
        ASSERT_EQ(testing_support::ui().messages.size(), 1u) << testing_support::ui().messageTexts().join(u'\n').toStdString();
        EXPECT_EQ(testing_support::ui().messages[0].text, q("Enregistré. Repris de l'autre poste : Adresse complète."));
    }
}

TEST_F(EditHandlersTest, EditingACompanyStoresTheAddressAndPlaceholdersOpenNothing) {
    manager window;
    testing_support::runModal(window, [&] {
        onNextModal([](QDialog* d) {
            EXPECT_EQ(d->findChild<QLineEdit*>(QStringLiteral("ctl_%1").arg(ccomp::kNom))->text(), q("Mouette"));
            if (auto* edit = d->findChild<QPlainTextEdit*>(QStringLiteral("ctl_%1").arg(ccomp::kFullAddress)))
                edit->setPlainText(q("2 quai\nBrest"));
            clickButton(d, platform::IDOK);
        });
        doubleClick(window, manager::kCompanyList, row(window, manager::kCompanyList, q("Mouette")));
        auto comp = rows("SELECT `nom`, `fulladr` FROM `comp` WHERE `id` = 2");
        EXPECT_EQ(comp.at(0), (testdb::Row{"Mouette", "2 quai\r\nBrest"}));

        // A placeholder company or show opens no dialog (a dialog would hang the test here).
        doubleClick(window, manager::kCompanyList, row(window, manager::kCompanyList, q("<aucune>")));
        doubleClick(window, manager::kShowList, row(window, manager::kShowList, q("<aucun>")));

        // Deleting a company alone, as the user may choose, leaves its shows listed.
        select(window, manager::kCompanyList, row(window, manager::kCompanyList, q("Zèbre")));
        testing_support::ui().answers = {1};  // "Seulement la compagnie"
        clickButton(&window, manager::kDeleteCompany);
        EXPECT_EQ(rows("SELECT `deleted` FROM `comp` WHERE `id` = 1").at(0).at(0), "1");
        EXPECT_LT(row(window, manager::kCompanyList, q("Zèbre")), 0);
        EXPECT_GE(row(window, manager::kShowList, q("Le Saut")), 0);
    });
    ASSERT_EQ(testing_support::ui().messages.size(), 1u);
    EXPECT_EQ(testing_support::ui().messages[0].choices.at(1), q("Seulement la compagnie"));
}

TEST_F(EditHandlersTest, AShowWithoutCompanyIsWrittenMinusOneThenUnsignedByAnEdit) {
    manager window;
    testing_support::runModal(window, [&] {
        // No company selected: the preselect 0 matches no listed company (the placeholder
        // company is id 0 but the test deselects by choosing none in the combo).
        onNextModal([](QDialog* d) {
            auto* combo = d->findChild<QComboBox*>(QStringLiteral("ctl_%1").arg(show::kCompany));
            ASSERT_NE(combo, nullptr);
            // Deleted companies are not offered; the list reads from Z to A.
            QStringList names;
            for (int i = 0; i < combo->count(); ++i) names << combo->itemText(i);
            EXPECT_EQ(names, QStringList({q("Zèbre"), q("Mouette"), q("<aucune>")}));
            EXPECT_FALSE(d->findChild<QPushButton*>(QStringLiteral("ctl_1"))->isEnabled());
            combo->setCurrentIndex(-1);
            typeInto(d, show::kName, q("Solo"));
            EXPECT_TRUE(d->findChild<QPushButton*>(QStringLiteral("ctl_1"))->isEnabled());
            combo->setCurrentIndex(-1);
            clickButton(d, platform::IDOK);
        });
        clickButton(&window, manager::kAddShow);
        EXPECT_EQ(rows("SELECT `name`, `comp` FROM `showname` WHERE `id` = 3").at(0), (testdb::Row{"Solo", "-1"}));

        onNextModal([](QDialog* d) {
            auto* combo = d->findChild<QComboBox*>(QStringLiteral("ctl_%1").arg(show::kCompany));
            EXPECT_EQ(combo->currentIndex(), -1);
            clickButton(d, platform::IDOK);
        });
        doubleClick(window, manager::kShowList, row(window, manager::kShowList, q("Solo")));
        EXPECT_EQ(rows("SELECT `comp` FROM `showname` WHERE `id` = 3").at(0).at(0), "4294967295");
    });
    EXPECT_TRUE(testing_support::ui().messages.empty()) << testing_support::ui().messageTexts().join("\n").toStdString();
}

TEST_F(EditHandlersTest, ThePlusOfTheShowDialogAddsACompanyAndPreselectsIt) {
    manager window;
    testing_support::runModal(window, [&] {
        onNextModal([](QDialog* d) {
            answerCompany(q("Nouvelle"), QString(), QString());
            clickButton(d, show::kAddCompany);
            auto* combo = d->findChild<QComboBox*>(QStringLiteral("ctl_%1").arg(show::kCompany));
            EXPECT_EQ(combo->currentText(), q("Nouvelle"));
            typeInto(d, show::kName, q("Premier"));
            EXPECT_EQ(combo->currentText(), q("Nouvelle"));
            clickButton(d, platform::IDOK);
        });
        clickButton(&window, manager::kAddShow);
        // The company got id 4 and its placeholder show id 3; the show typed comes next.
        EXPECT_EQ(rows("SELECT `name`, `comp` FROM `showname` WHERE `id` = 4").at(0), (testdb::Row{"Premier", "4"}));
        EXPECT_GE(row(window, manager::kCompanyList, q("Nouvelle")), 0);
        EXPECT_GE(row(window, manager::kShowList, q("Premier")), 0);
        EXPECT_EQ(window.lists().refillHold(), 0);
    });
}

TEST_F(EditHandlersTest, WithoutRightsEveryGuardedHandlerRefusesAndWritesNothing) {
    account::setForTests(q("Lecteur"), q("lecture ALL"));
    testing_support::FakeDialogs dialogs;
    manager window(dialogs);
    const char* kRights = "Vous n'avez pas les droits suffisants pour faire ceci";
    testing_support::runModal(window, [&] {
        const std::string before = testdb::query(testdb::programmeDb(),
                                                 "SELECT CONCAT((SELECT COUNT(*) FROM comp), '/', (SELECT COUNT(*) FROM"
                                                 " showname), '/', (SELECT COUNT(*) FROM timeslot))")[0][0];
        const std::vector<std::pair<const char*, std::function<void()>>> actions = {
            {"add company", [&] { clickButton(&window, manager::kAddCompany); }},
            {"edit company", [&] { doubleClick(window, manager::kCompanyList, row(window, manager::kCompanyList, q("Mouette"))); }},
            {"add show", [&] { clickButton(&window, manager::kAddShow); }},
            {"edit show", [&] { doubleClick(window, manager::kShowList, row(window, manager::kShowList, q("Nuit"))); }},
            {"add group", [&] { clickButton(&window, manager::kAddTimeslotGroup); }},
            {"edit group", [&] { doubleClick(window, manager::kTimeslotList, 0); }},
        };
        for (const auto& [name, action] : actions) {
            testing_support::ui().clear();
            action();
            EXPECT_EQ(testing_support::ui().messageTexts(), QStringList({q(kRights)})) << name;
        }
        EXPECT_TRUE(dialogs.editorGiven.empty());
        const std::string after = testdb::query(testdb::programmeDb(),
                                                "SELECT CONCAT((SELECT COUNT(*) FROM comp), '/', (SELECT COUNT(*) FROM"
                                                " showname), '/', (SELECT COUNT(*) FROM timeslot))")[0][0];
        EXPECT_EQ(after, before);
    });
}

TEST_F(EditHandlersTest, AddingAGroupWritesTheHeadAndChildrenWithIdsFromTheRecordCount) {
    testing_support::FakeDialogs dialogs;
    manager window(dialogs);
    testing_support::runModal(window, [&] {
        select(window, manager::kShowList, row(window, manager::kShowList, q("Nuit")));
        dialogs.edit = [](planning::TimeslotEditorData& data) {
            data.entries = {slot(1, 9, 2027, 19, 0, 20, 30), slot(2, 9, 2027, 9, 5, 10, 0), slot(3, 9, 2027, 21, 0, 22, 0)};
            data.room = 20;
            data.survey = q("Accueil compagnie.txt");
            data.todo = q("Contrat envoyé par KQ$$$Règlement 1=1/9/2027:350");
            data.done = q("Contrat envoyé par KQ=Fait le 2/8/2027");
        };
        clickButton(&window, manager::kAddTimeslotGroup);
        ASSERT_EQ(dialogs.editorGiven.size(), 1u);
        EXPECT_EQ(dialogs.editorGiven[0].showId, 2);  // the selected show
        EXPECT_EQ(dialogs.editorGiven[0].room, 0);
        EXPECT_TRUE(dialogs.editorGiven[0].entries.empty());
        EXPECT_EQ(window.lists().refillHold(), 0);

        // B = 6 records were loaded.
        auto written = rows("SELECT `id`, `date`, `start`, `end`, `showname`, `childof`, `room` FROM `timeslot`"
                            " WHERE `id` >= 6 ORDER BY `id`");
        ASSERT_EQ(written.size(), 3u);
        EXPECT_EQ(written[0], (testdb::Row{"6", "2027-09-01", "19:00:00", "20:30:00", "2", "-1", "20"}));
        EXPECT_EQ(written[1], (testdb::Row{"7", "2027-09-02", "09:05:00", "10:00:00", "2", "6", "20"}));
        EXPECT_EQ(written[2], (testdb::Row{"8", "2027-09-03", "21:00:00", "22:00:00", "2", "6", "20"}));
        auto texts = rows("SELECT `survey`, `todo`, `done` FROM `timeslot` WHERE `id` = 6").at(0);
        EXPECT_EQ(text(texts[0]), q("Accueil compagnie.txt"));
        EXPECT_EQ(text(texts[1]), q("Contrat envoyé par KQ$$$Règlement 1=1/9/2027:350"));
        EXPECT_EQ(text(texts[2]), q("Contrat envoyé par KQ=Fait le 2/8/2027"));
        EXPECT_EQ(rows("SELECT COUNT(*) FROM `timeslot` WHERE `id` IN (7, 8) AND `todo` = ''").at(0).at(0), "2");

        const int listed = row(window, manager::kTimeslotList, q("6"), 0);
        ASSERT_GE(listed, 0);
        EXPECT_EQ(window.listView(manager::kTimeslotList)->itemText(listed, 3), q("3"));

        // Cancelling the add editor still reloads: a row written meanwhile by someone else shows.
        testdb::exec(testdb::programmeDb(), "INSERT INTO `comp` (`id`, `nom`) VALUES (50, 'Ailleurs')");
        dialogs.editorAnswer = platform::IDCANCEL;
        clickButton(&window, manager::kAddTimeslotGroup);
        EXPECT_GE(row(window, manager::kCompanyList, q("Ailleurs")), 0);
    });
    EXPECT_TRUE(testing_support::ui().messages.empty()) << testing_support::ui().messageTexts().join("\n").toStdString();
}

TEST_F(EditHandlersTest, EditingAGroupMapsEntriesByPositionRemovesFromTheEndAndAddsChildren) {
    testing_support::FakeDialogs dialogs;
    manager window(dialogs);
    testing_support::runModal(window, [&] {
        // Cancelling the edit editor reloads nothing.
        testdb::exec(testdb::programmeDb(), "INSERT INTO `comp` (`id`, `nom`) VALUES (50, 'Ailleurs')");
        dialogs.editorAnswer = platform::IDCANCEL;
        doubleClick(window, manager::kTimeslotList, row(window, manager::kTimeslotList, q("0"), 0));
        EXPECT_LT(row(window, manager::kCompanyList, q("Ailleurs")), 0);

        // The head and its three live children; the deleted child 2 is not given.
        ASSERT_EQ(dialogs.editorGiven.size(), 1u);
        const planning::TimeslotEditorData& in = dialogs.editorGiven[0];
        EXPECT_EQ(in.entries, (std::vector<planning::SlotEntry>{slot(5, 7, 2027, 20, 30, 22, 0), slot(6, 7, 2027, 20, 30, 22, 0),
                                                                 slot(8, 7, 2027, 21, 0, 22, 0), slot(9, 7, 2027, 21, 0, 22, 0)}));
        EXPECT_EQ(in.showId, 1);
        EXPECT_EQ(in.room, 10);
        EXPECT_EQ(in.survey, q("a.txt"));
        EXPECT_EQ(in.todo, q("A$$$B"));
        EXPECT_EQ(in.done, q("A=Fait le 1/6/2027"));

        // One slot fewer: the fourth collected row (id 4) is soft-deleted, the others rewritten.
        dialogs.editorAnswer = platform::IDOK;
        dialogs.edit = [](planning::TimeslotEditorData& data) {
            data.entries.pop_back();
            data.entries[1].startHour = 18;
            data.room = -1;
            data.done = q("A=Fait le 2/6/2027$$$B=Fait le 3/6/2027 (350)");
        };
        doubleClick(window, manager::kTimeslotList, row(window, manager::kTimeslotList, q("0"), 0));
        auto after = rows("SELECT `id`, `start`, `deleted`, `room`, `childof` FROM `timeslot` WHERE `id` <= 4 ORDER BY `id`");
        EXPECT_EQ(after[0], (testdb::Row{"0", "20:30:00", "0", "4294967295", "-1"}));
        EXPECT_EQ(after[1], (testdb::Row{"1", "18:30:00", "0", "4294967295", "0"}));
        EXPECT_EQ(after[2], (testdb::Row{"2", "20:30:00", "1", "10", "0"}));  // deleted before, untouched
        EXPECT_EQ(after[3], (testdb::Row{"3", "21:00:00", "0", "4294967295", "0"}));
        EXPECT_EQ(after[4].at(2), "1");
        EXPECT_EQ(text(rows("SELECT `done` FROM `timeslot` WHERE `id` = 0").at(0).at(0)),
                  q("A=Fait le 2/6/2027$$$B=Fait le 3/6/2027 (350)"));

        // One slot more: a child with the next id after the loaded records and childof the head.
        dialogs.edit = [](planning::TimeslotEditorData& data) {
            EXPECT_EQ(data.entries.size(), 3u);
            data.entries.push_back(slot(12, 7, 2027, 15, 0, 16, 0));
        };
        doubleClick(window, manager::kTimeslotList, row(window, manager::kTimeslotList, q("0"), 0));
        EXPECT_EQ(rows("SELECT `date`, `childof`, `deleted` FROM `timeslot` WHERE `id` = 6").at(0),
                  (testdb::Row{"2027-07-12", "0", "0"}));

        // Deleting the group soft-deletes the head and every child in one statement, once the
        // user said yes.
        select(window, manager::kTimeslotList, row(window, manager::kTimeslotList, q("0"), 0));
        testing_support::ui().answers = {0};
        clickButton(&window, manager::kDeleteTimeslotGroup);
        ASSERT_EQ(testing_support::ui().messages.size(), 1u);
        EXPECT_EQ(testing_support::ui().messages[0].choices, QStringList({q("Oui"), q("Non")}));
        testing_support::ui().messages.clear();
        EXPECT_EQ(rows("SELECT COUNT(*) FROM `timeslot` WHERE (`id` = 0 OR `childof` = 0) AND `deleted` = 0").at(0).at(0), "0");
        EXPECT_EQ(rows("SELECT `deleted` FROM `timeslot` WHERE `id` = 5").at(0).at(0), "0");
        EXPECT_LT(row(window, manager::kTimeslotList, q("0"), 0), 0);
    });
    EXPECT_TRUE(testing_support::ui().messages.empty()) << testing_support::ui().messageTexts().join("\n").toStdString();
}

// Values with quotes, backslashes, line breaks and accented letters, through every edit
// dialog, come back from the server exactly as typed.
TEST_F(EditHandlersTest, TypedValuesAreStoredExactlyAsTyped) {
    const QString hostile[] = {q("Le \"Petit\" Théâtre"), q("L'Été d'Ys"), q("C:\\dossier\\fin\\"), q("a\\\"b';--")};
    testing_support::FakeDialogs dialogs;
    manager window(dialogs);
    testing_support::runModal(window, [&] {
        for (const QString& value : hostile) {
            programme::clearAll();
            window.reloadAll();
            const auto companyId = programme::companies().size();
            answerCompany(value, value, QString());
            clickButton(&window, manager::kAddCompany);
            // The edit stores the address too.
            onNextModal([&](QDialog* d) {
                typeInto(d, ccomp::kContact1, value);
                if (auto* edit = d->findChild<QPlainTextEdit*>(QStringLiteral("ctl_%1").arg(ccomp::kFullAddress)))
                    edit->setPlainText(value + q("\n") + value);
                clickButton(d, platform::IDOK);
            });
            doubleClick(window, manager::kCompanyList, row(window, manager::kCompanyList, value));
            const auto& c = programme::companies();
            auto stored = std::find_if(c.begin(), c.end(), [&](const auto& r) { return r.id == QString::number(companyId); });
            ASSERT_NE(stored, c.end()) << value.toStdString();
            EXPECT_EQ(stored->nom, value);
            EXPECT_EQ(stored->email, value);
            EXPECT_EQ(stored->contact1, value);
            EXPECT_EQ(stored->fulladr, value + q("\r\n") + value);
            EXPECT_GE(row(window, manager::kShowList, q("<spectacle à définir (compagnie %1)>").arg(value)), 0);

            onNextModal([&](QDialog* d) {
                typeInto(d, show::kName, value);
                clickButton(d, platform::IDOK);
            });
            clickButton(&window, manager::kAddShow);
            EXPECT_GE(row(window, manager::kShowList, value), 0) << value.toStdString();
            onNextModal([&](QDialog* d) {
                typeInto(d, show::kName, value + value);
                clickButton(d, platform::IDOK);
            });
            doubleClick(window, manager::kShowList, row(window, manager::kShowList, value));
            EXPECT_GE(row(window, manager::kShowList, value + value), 0) << value.toStdString();

            dialogs.edit = [&](planning::TimeslotEditorData& data) {
                data.entries = {slot(1, 9, 2027, 19, 0, 20, 30)};
                data.survey = value;
                data.todo = value + q("=1/9/2027:350");
                data.done = value + q("=Fait le 2/8/2027");
            };
            const auto headId = QString::number(programme::timeslots().size());
            clickButton(&window, manager::kAddTimeslotGroup);
            doubleClick(window, manager::kTimeslotList, row(window, manager::kTimeslotList, headId, 0));
            ASSERT_FALSE(dialogs.editorGiven.empty());
            EXPECT_EQ(dialogs.editorGiven.back().survey, value);
            EXPECT_EQ(dialogs.editorGiven.back().todo, value + q("=1/9/2027:350"));
            EXPECT_EQ(dialogs.editorGiven.back().done, value + q("=Fait le 2/8/2027"));
            EXPECT_EQ(text(rows("SELECT `survey` FROM `timeslot` WHERE `id` = " + headId.toStdString()).at(0).at(0)), value);
        }
    });
    EXPECT_TRUE(testing_support::ui().messages.empty()) << testing_support::ui().messageTexts().join("\n").toStdString();
}

}  // namespace

namespace {

// With the server out of reach, an add shows the connection message once, runs nothing and
// crashes nothing.
TEST_F(EditHandlersTest, AnEditWithoutServerReportsAndCrashesNothing) {
    manager window;
    testing_support::runModal(window, [&] {
        const unsigned port = db::programmeSettings().port;
        const std::string host = db::programmeSettings().host;
        db::programmeSettings().port = 1;
        db::programmeSettings().host = "127.0.0.1";
        testing_support::ui().clear();
        answerCompany(q("Le \"Petit\"\nThéâtre"), QString(), QString());
        clickButton(&window, manager::kAddCompany);
        db::programmeSettings().port = port;
        db::programmeSettings().host = host;
        const QStringList messages = testing_support::ui().messageTexts();
        ASSERT_EQ(messages.size(), 1) << messages.join("\n").toStdString();
        EXPECT_TRUE(messages[0].startsWith(q("Erreur : mysql_real_connect : ")));
        EXPECT_GE(row(window, manager::kCompanyList, q("Mouette")), 0);  // the lists keep what they held
    });
}

}  // namespace
