// The manager's record and contract edits against the local server: what each writes into the
// programme database, what the server refuses, what a dialog closed untouched leaves, and that
// typed values come back from the server exactly as typed. Three starting data sets, one per
// fixture; the rights every guarded handler needs are checked in safe_edits_test.cpp.
#include <gtest/gtest.h>

#include <QComboBox>
#include <QDir>
#include <QLineEdit>
#include <QPlainTextEdit>
#include <QPushButton>
#include <QTemporaryDir>
#include <algorithm>

#include "contracts/contract_model.h"
#include "contracts/ct_dlg.h"
#include "contracts/editoneitem_dlg.h"
#include "db/codepage.h"
#include "manager/ccomp_dlg.h"
#include "manager/show_dlg.h"
#include "tests/support/fake_dialogs.h"
#include "tests/support/files.h"
#include "tests/support/manager_fixture.h"
#include "tests/support/qt_print.h"

namespace {

using testing_support::clickButton;
using testing_support::onNextModal;
using testing_support::typeInto;

QString text(const std::string& ansi) { return db::fromAnsi(ansi); }

planning::SlotEntry slot(int day, int month, int year, int h1, int m1, int h2, int m2) {
    return {day, month, year, h1, m1, h2, m2};
}

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

// Companies, shows, two rooms and two groups (0 with children 1 to 4, child 2 deleted; 5).
class RecordEditsTest : public testing_support::ManagerTest {
protected:
    std::string startingData() const override {
        return "SET NAMES utf8mb4;"
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
               " (5, '2027-08-01', '18:00:00', '19:00:00', 0, 2, -1, 20, '', '', '');";
    }
};

// The head's plan, in the code page, as the server holds it and as its SQL literal.
const char* const kQuotedPlan = "Affiche \"A3\" \\ recto$$$Contrat re\xe7u par KQ$$$R\xe8glement 1";
const char* const kQuotedPlanLiteral = "'Affiche \"A3\" \\\\ recto$$$Contrat re\xe7u par KQ$$$R\xe8glement 1'";

// One company with every field, its show, a room and a group whose plan needs escaping.
class WriteSideTest : public testing_support::ManagerTest {
protected:
    std::string startingData() const override {
        return std::string(
                   "INSERT INTO `comp` (`id`, `nom`, `email`, `fulladr`, `contact1`, `contact2`, `deleted`) VALUES"
                   " (0, 'Mouette', 'm@example.org', '2 quai', 'Anne', 'Bruno', 0);"
                   "INSERT INTO `showname` VALUES (0, 'Nuit', 0, 0);"
                   "INSERT INTO `salle` VALUES (0, 'Rouge', 'R', '100', 'la rouge');"
                   "INSERT INTO `timeslot` (`id`, `date`, `start`, `end`, `deleted`, `showname`, `childof`, `room`,"
                   " `survey`, `todo`, `done`) VALUES"
                   " (0, '2027-07-05', '20:30:00', '22:00:00', 0, 0, -1, 0, 'a.txt', ") +
               kQuotedPlanLiteral + ", ''), (1, '2027-07-06', '20:30:00', '22:00:00', 0, 0, 0, 0, '', '', '');";
    }
};

QString todoOf(int id) {
    return db::fromAnsi(rows("SELECT `todo` FROM `timeslot` WHERE `id` = " + std::to_string(id)).at(0).at(0));
}

const char* const kPlan =
    "Contrat envoyé par KQ$$$Contrat reçu par KQ=15/5/2027$$$Règlement 1=15/6/2027:350$$$Règlement 2$$$Règlement 3$$$"
    "Règlement 4$$$Règlement 5";

// A group whose plan waits for a contract's deadline and payments, and one contract on it.
class ContractEditsTest : public testing_support::ManagerTest {
protected:
    std::string startingData() const override {
        return std::string(
                   "SET NAMES utf8mb4;"
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
               " (0, 0, UTC_TIMESTAMP(), 'Prix (TTC)$$$900', 0, 'contrat_simple.rtf');";
    }

    static void selectGroup(manager& window) {
        dlg::ListView* list = window.listView(manager::kTimeslotList);
        for (int r = 0; r < list->itemCount(); ++r)
            if (list->itemText(r, 0) == q("0")) list->setSelected(r, true);
    }
};

TEST_F(RecordEditsTest, AddingACompanyWritesItItsAddressAndItsPlaceholderShow) {
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
    EXPECT_TRUE(testing_support::ui().messages.empty())
        << testing_support::ui().messageTexts().join("\n").toStdString();
}

// An address the user does not touch, whatever its line ends, is not written, not named in
// the audit line, and not in a clash: the line a colleague added meanwhile stays.
TEST_F(RecordEditsTest, AnUntouchedAddressIsNeitherWrittenNorClashing) {
    // As the Windows program stored it, and as another tool may have.
    for (const std::string stored : {"1 rue\r\n29200 Brest", "1 rue\n29200 Brest"}) {
        SCOPED_TRACE(stored);
        testing_support::ui().clear();
        testdb::exec(testdb::programmeDb(), "UPDATE `comp` SET `fulladr` = '" +
                                                QString::fromStdString(stored)
                                                    .replace(u'\r', QStringLiteral("\\r"))
                                                    .replace(u'\n', QStringLiteral("\\n"))
                                                    .toStdString() +
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
        ASSERT_EQ(testing_support::ui().messages.size(), 1u)
            << testing_support::ui().messageTexts().join(u'\n').toStdString();
        EXPECT_EQ(testing_support::ui().messages[0].text, q("Enregistré. Repris de l'autre poste : Adresse complète."));
    }
}

TEST_F(RecordEditsTest, EditingACompanyStoresTheAddressAndPlaceholdersOpenNothing) {
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

TEST_F(RecordEditsTest, AShowWithoutCompanyIsWrittenMinusOneThenUnsignedByAnEdit) {
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
    EXPECT_TRUE(testing_support::ui().messages.empty())
        << testing_support::ui().messageTexts().join("\n").toStdString();
}

TEST_F(RecordEditsTest, ThePlusOfTheShowDialogAddsACompanyAndPreselectsIt) {
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

TEST_F(RecordEditsTest, AddingAGroupWritesTheHeadAndChildrenWithIdsFromTheRecordCount) {
    testing_support::FakeDialogs dialogs;
    manager window(dialogs);
    testing_support::runModal(window, [&] {
        select(window, manager::kShowList, row(window, manager::kShowList, q("Nuit")));
        dialogs.edit = [](planning::TimeslotEditorData& data) {
            data.entries = {slot(1, 9, 2027, 19, 0, 20, 30), slot(2, 9, 2027, 9, 5, 10, 0),
                            slot(3, 9, 2027, 21, 0, 22, 0)};
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
        auto written = rows(
            "SELECT `id`, `date`, `start`, `end`, `showname`, `childof`, `room` FROM `timeslot`"
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
    EXPECT_TRUE(testing_support::ui().messages.empty())
        << testing_support::ui().messageTexts().join("\n").toStdString();
}

TEST_F(RecordEditsTest, EditingAGroupMapsEntriesByPositionRemovesFromTheEndAndAddsChildren) {
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
        EXPECT_EQ(in.entries,
                  (std::vector<planning::SlotEntry>{slot(5, 7, 2027, 20, 30, 22, 0), slot(6, 7, 2027, 20, 30, 22, 0),
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
        auto after =
            rows("SELECT `id`, `start`, `deleted`, `room`, `childof` FROM `timeslot` WHERE `id` <= 4 ORDER BY `id`");
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
        EXPECT_EQ(
            rows("SELECT COUNT(*) FROM `timeslot` WHERE (`id` = 0 OR `childof` = 0) AND `deleted` = 0").at(0).at(0),
            "0");
        EXPECT_EQ(rows("SELECT `deleted` FROM `timeslot` WHERE `id` = 5").at(0).at(0), "0");
        EXPECT_LT(row(window, manager::kTimeslotList, q("0"), 0), 0);
    });
    EXPECT_TRUE(testing_support::ui().messages.empty())
        << testing_support::ui().messageTexts().join("\n").toStdString();
}

// Values with quotes, backslashes, line breaks and accented letters, through every edit
// dialog, come back from the server exactly as typed.
TEST_F(RecordEditsTest, TypedValuesAreStoredExactlyAsTyped) {
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
            auto stored =
                std::find_if(c.begin(), c.end(), [&](const auto& r) { return r.id == QString::number(companyId); });
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
            EXPECT_EQ(text(rows("SELECT `survey` FROM `timeslot` WHERE `id` = " + headId.toStdString()).at(0).at(0)),
                      value);
        }
    });
    EXPECT_TRUE(testing_support::ui().messages.empty())
        << testing_support::ui().messageTexts().join("\n").toStdString();
}

// With the server out of reach, an add shows the connection message once, runs nothing and
// crashes nothing.
TEST_F(RecordEditsTest, AnEditWithoutServerReportsAndCrashesNothing) {
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

// A statement refused while connected: one message, nothing written, and the connection
// closed as after any statement of the handlers.
TEST_F(WriteSideTest, RefusedStatementsAreReportedAndCloseTheConnection) {
    testing_support::FakeDialogs dialogs;
    dialogs.contractRtf = q("contrat_simple.rtf");
    // The editor closes on these slots.
    std::vector<planning::SlotEntry> entries;
    dialogs.edit = [&entries](planning::TimeslotEditorData& data) { data.entries = entries; };
    manager window(dialogs);
    const char* const kRefuseUpdates =
        "CREATE TRIGGER `refuse` BEFORE UPDATE ON `%1` FOR EACH ROW "
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
             window.listView(manager::kCompanyList)
                 ->setSelected(row(window, manager::kCompanyList, q("Mouette")), true);
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
    EXPECT_TRUE(testing_support::ui().messages.empty())
        << testing_support::ui().messageTexts().join("\n").toStdString();

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
    EXPECT_TRUE(testing_support::ui().messages.empty())
        << testing_support::ui().messageTexts().join("\n").toStdString();
}

const char* const kExtra =
    "Numéro de contrat$$$LeSaut_0001_0002_0003###Date de retour du contrat avant nullité$$$Lundi 15 Juillet 2019###"
    "Montant de chacun des 5 chèques$$$200.00###Date encaissement du chèque numéro 1$$$Mercredi 09 Décembre 2026###"
    "Date encaissement du chèque numéro 2$$$###Date encaissement du chèque numéro 3$$$Jeudi 01 Avril 2027";

TEST_F(ContractEditsTest, ANewContractIsStoredAndWritesItsDeadlineAndPaymentsIntoThePlan) {
    testing_support::FakeDialogs dialogs;
    manager window(dialogs);
    dialogs.contractExtra = q(kExtra);
    testing_support::runModal(window, [&] {
        selectGroup(window);
        clickButton(&window, manager::kNewContract);
        ASSERT_EQ(dialogs.contractGiven.size(), 1u);
        EXPECT_EQ(dialogs.contractGiven[0].timeslotId, 0);
        EXPECT_TRUE(dialogs.contractGiven[0].extra.isEmpty());

        const auto contract =
            rows("SELECT `ts`, `extra`, `rtf`, `deleted`, `created` <= UTC_TIMESTAMP() FROM `contract` WHERE `id` = 1");
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
        testdb::exec(testdb::programmeDb(),
                     std::string("SET NAMES utf8mb4; UPDATE `timeslot` SET `todo` = '") + kPlan + "' WHERE `id` = 0");
        window.reloadAll();
        selectGroup(window);
        dialogs.contractExtra =
            q("Date de retour du contrat avant nullité$$$Mardi 02 Février 2027###Date encaissement du chèque "
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
    EXPECT_TRUE(testing_support::ui().messages.empty())
        << testing_support::ui().messageTexts().join("\n").toStdString();
}

TEST_F(ContractEditsTest, EditingChangesOnlyTheContractAndDeletingIsSoft) {
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
                  (testdb::Row{"Prix (TTC)$$$1000###Date de retour du contrat avant nullit\xe9$$$Lundi 15 Juillet 2019",
                               "0"}));
        EXPECT_EQ(todoOf(0), q(kPlan));

        // Once the user said yes, the delete is soft.
        testing_support::ui().clear();
        window.listView(manager::kContractList)->setSelected(0, true);
        clickButton(&window, manager::kDeleteContract);
        EXPECT_EQ(rows("SELECT `deleted` FROM `contract` WHERE `id` = 0").at(0).at(0), "1");
    });
}

TEST_F(ContractEditsTest, AnIdTakenElsewhereGivesTheNextOneAndARefusedSaveLeavesThePlanAlone) {
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
        testdb::exec(testdb::programmeDb(),
                     std::string("SET NAMES utf8mb4; UPDATE `timeslot` SET `todo` = '") + kPlan + "' WHERE `id` = 0");
        testdb::exec(testdb::programmeDb(),
                     "CREATE TRIGGER `refuse` BEFORE UPDATE ON `timeslot` FOR EACH ROW "
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
TEST_F(ContractEditsTest, TheRealDialogStoresTheContractUnderTheSlotPickedInIt) {
    testdb::exec(testdb::programmeDb(),
                 "INSERT INTO `timeslot` (`id`, `date`, `start`, `end`, `showname`, `childof`, `room`)"
                 " VALUES (2, '2027-08-01', '18:00:00', '19:00:00', 0, -1, 0)");
    QTemporaryDir root;
    ASSERT_TRUE(root.isValid());
    const QDir dir(root.path());
    for (const char* sub : {"models", "generated", "shared"}) dir.mkpath(q(sub));
    testing_support::writeFile(dir.filePath(q("models/t.rtf")), "{\\rtf1 <<<NUM>>>}");
    testing_support::writeFile(dir.filePath(q("models/t.txt")), "Num\xe9ro de contrat\r\n");
    manager window;
    window.contractEdits().folders = {dir.filePath(q("models")), dir.filePath(q("generated")),
                                      dir.filePath(q("shared"))};
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
    EXPECT_TRUE(testing_support::ui().messages.empty())
        << testing_support::ui().messageTexts().join("\n").toStdString();
}

}  // namespace
