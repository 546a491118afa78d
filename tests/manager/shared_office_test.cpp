// Several workstations on one programme: the manager shows a colleague's changes while it is
// idle, settles a clash with the user, tells which follow-up items came from elsewhere, and
// lists who changed what in its Journal. A second session of the test stands for the colleague.
#include <gtest/gtest.h>

#include <QApplication>
#include <QComboBox>
#include <QDateTimeEdit>
#include <QPaintEvent>
#include <QRegion>
#include <QScreen>
#include <QHeaderView>
#include <QLineEdit>
#include <QScrollBar>
#include <QTimer>
#include <QTreeWidget>
#include <algorithm>
#include <chrono>
#include <memory>

#include "db/codepage.h"
#include "db/connections.h"
#include "dialog/controls.h"
#include "manager/ccomp_dlg.h"
#include "manager/journal_dlg.h"
#include "manager/manager_dlg.h"
#include "programme/account.h"
#include "tests/support/empty_programme.h"
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
// The colleague: a save of another workstation, with its audit line.
void colleague(const std::string& sql, const std::string& log) {
    testdb::exec(
        testdb::programmeDb(),
        "SET NAMES utf8mb4;" + sql + ";INSERT INTO `logs` (`utc`, `log`) VALUES (UTC_TIMESTAMP(), '" + log + "')");
}

class SharedOfficeTest : public testing_support::ManagerTest {
protected:
    std::string startingData() const override {
        std::string companies = "INSERT INTO `comp` (`id`, `nom`) VALUES (0, 'Mouette'), (1, 'Zèbre')";
        for (int i = 2; i < 40; ++i)
            companies += ", (" + std::to_string(i) + ", 'Compagnie " + std::to_string(100 + i) + "')";
        return "SET NAMES utf8mb4;" + companies +
               ";INSERT INTO `showname` VALUES (0, 'Nuit', 0, 0);"
               "INSERT INTO `salle` VALUES (10, 'Rouge', 'R', '100', 'la rouge');"
               "INSERT INTO `timeslot` (`id`, `date`, `start`, `end`, `deleted`, `showname`, `childof`, `room`,"
               " `todo`, `done`) VALUES (0, '2027-07-05', '20:30:00', '22:00:00', 0, 0, -1, 10,"
               " 'A$$$B$$$C', '');"
               "INSERT INTO `logs` (`utc`, `log`) VALUES (UTC_TIMESTAMP() - INTERVAL 2 DAY, 'Anne : compagnie 0 "
               "\"Mouette\" : créée [comp=0]')";
    }
};

TEST_F(SharedOfficeTest, AColleaguesChangeAppearsWhileIdleKeepingWhatTheUserLookedAt) {
    manager window;
    testing_support::runModal(window, [&] {
        dlg::ListView* companies = window.listView(manager::kCompanyList);
        companies->setSelected(row(window, manager::kCompanyList, q("Zèbre")), true);
        companies->verticalScrollBar()->setValue(companies->verticalScrollBar()->maximum());
        const int scrolled = companies->verticalScrollBar()->value();
        ASSERT_GT(scrolled, 0);
        EXPECT_FALSE(window.reloadIfChangedElsewhere());  // nothing changed: no reload

        colleague("INSERT INTO `comp` (`id`, `nom`) VALUES (40, 'Arrivée')",
                  "Anne : compagnie 40 \"Arrivée\" : créée [comp=40]");
        // Not under one of the manager's dialogs.
        onNextModal([&](QDialog* d) {
            EXPECT_FALSE(window.reloadIfChangedElsewhere());
            clickButton(d, platform::IDCANCEL);
        });
        clickButton(&window, manager::kAddCompany);
        EXPECT_LT(row(window, manager::kCompanyList, q("Arrivée")), 0);

        EXPECT_TRUE(window.reloadIfChangedElsewhere());
        EXPECT_GE(row(window, manager::kCompanyList, q("Arrivée")), 0);
        EXPECT_EQ(companies->selectedRows(), QList<int>{row(window, manager::kCompanyList, q("Zèbre"))});
        EXPECT_EQ(companies->verticalScrollBar()->value(), scrolled);
        EXPECT_TRUE(window.item(manager::kDeleteCompany)->isEnabled());
        EXPECT_FALSE(window.reloadIfChangedElsewhere());

        // A colleague opening the manager is no change.
        colleague("DO 0", "Anne : manager started");
        EXPECT_FALSE(window.reloadIfChangedElsewhere());
    });
    EXPECT_TRUE(ui().messages.empty()) << ui().messageTexts();
}

// Two colleagues save at once: the first took its audit line's id before the second and
// commits after it (as two nodes of a cluster often do). Its change is seen once it commits,
// although the newest line was already there when the manager last looked.
TEST_F(SharedOfficeTest, ASaveThatCommitsAfterANewerLineStillAppears) {
    manager window;
    testing_support::runModal(window, [&] {
        testdb::Session first(testdb::programmeDb());
        first.exec(
            "SET NAMES utf8mb4; START TRANSACTION; INSERT INTO `comp` (`id`, `nom`) VALUES (40, 'Lente');"
            "INSERT INTO `logs` (`utc`, `log`) VALUES (UTC_TIMESTAMP(), 'Anne : compagnie 40 \"Lente\" : créée "
            "[comp=40]')");
        colleague("INSERT INTO `comp` (`id`, `nom`) VALUES (41, 'Rapide')",
                  "Paul : compagnie 41 \"Rapide\" : créée [comp=41]");
        EXPECT_TRUE(window.reloadIfChangedElsewhere());
        EXPECT_GE(row(window, manager::kCompanyList, q("Rapide")), 0);
        EXPECT_LT(row(window, manager::kCompanyList, q("Lente")), 0);
        EXPECT_FALSE(window.reloadIfChangedElsewhere());

        first.exec("COMMIT");
        EXPECT_TRUE(window.reloadIfChangedElsewhere());
        EXPECT_GE(row(window, manager::kCompanyList, q("Lente")), 0);
        EXPECT_FALSE(window.reloadIfChangedElsewhere());
    });
    EXPECT_TRUE(ui().messages.empty()) << ui().messageTexts();
}

// What a colleague's save costs this workstation, from the server's general log (not the
// program's own count): one statement for the new audit lines, one for the rows they name,
// and the rows of the list that did not change stay the very rows they were.
TEST_F(SharedOfficeTest, AColleaguesSaveMovesOnlyTheRowsItsLineNames) {
    manager window;
    testing_support::runModal(window, [&] {
        dlg::ListView* companies = window.listView(manager::kCompanyList);
        const QTreeWidgetItem* mouette = companies->topLevelItem(row(window, manager::kCompanyList, q("Mouette")));
        // The first check after the opening reads again what the newest lines name, which may
        // have committed while the tables loaded: as they were, they move nothing.
        EXPECT_FALSE(window.reloadIfChangedElsewhere());
        testdb::exec("",
                     "SET GLOBAL log_output = 'TABLE'; SET GLOBAL general_log = 1; TRUNCATE TABLE mysql.general_log");
        struct GeneralLogOff {
            ~GeneralLogOff() { testdb::exec("", "SET GLOBAL general_log = 0"); }
        } logOff;
        const auto checks = [] {
            return testdb::query(
                "",
                "SELECT `argument` FROM mysql.general_log WHERE `command_type` = 'Query' AND `thread_id` IN "
                "(SELECT `thread_id` FROM mysql.general_log WHERE `argument` LIKE 'SELECT `id`, `log` FROM%') "
                "ORDER BY `event_time`");
        };
        EXPECT_FALSE(window.reloadIfChangedElsewhere());
        ASSERT_EQ(checks().size(), 1u);  // nobody saved: one statement, nothing read again

        colleague(
            "UPDATE `comp` SET `nom` = 'Albatros' WHERE `id` = 5; UPDATE `showname` SET `name` = 'Nuit blanche' WHERE "
            "`id` = 0",
            "Anne : compagnie 5 \"Albatros\" : nom modifié [comp=5 showname=0]");
        EXPECT_TRUE(window.reloadIfChangedElsewhere());
        const auto sent = checks();
        ASSERT_EQ(sent.size(), 3u);
        EXPECT_EQ(sent[2][0].find("SELECT * FROM"), std::string::npos);
        EXPECT_NE(sent[2][0].find("FROM `comp` WHERE `id` IN (5)"), std::string::npos) << sent[2][0];
        EXPECT_NE(sent[2][0].find("FROM `showname` WHERE `id` IN (0)"), std::string::npos) << sent[2][0];
        EXPECT_EQ(rows("SELECT COUNT(*) FROM mysql.general_log WHERE `argument` LIKE 'SELECT * FROM%'").at(0).at(0),
                  "0");

        // The renamed company took its place in the names' order; the others were not touched.
        EXPECT_EQ(companies->itemText(0, 1), q("Albatros"));
        EXPECT_EQ(companies->topLevelItem(row(window, manager::kCompanyList, q("Mouette"))), mouette);
        EXPECT_GE(row(window, manager::kShowList, q("Nuit blanche")), 0);
        EXPECT_EQ(window.listView(manager::kTimeslotList)->itemText(0, 2), q("Nuit blanche"));
        EXPECT_EQ(programme::companies().size(), 40u);

        // Changed where it stands, a company keeps its very row; deleted, it leaves the list,
        // and the rows around it still carry the indexes of the records they show.
        const QTreeWidgetItem* zebre = companies->topLevelItem(row(window, manager::kCompanyList, q("Zèbre")));
        colleague(
            "UPDATE `comp` SET `email` = 'z@example.org' WHERE `id` = 1; UPDATE `comp` SET `deleted` = 1 "
            "WHERE `id` = 7",
            "Anne : compagnies modifiées [comp=1,7]");
        EXPECT_TRUE(window.reloadIfChangedElsewhere());
        EXPECT_EQ(companies->topLevelItem(row(window, manager::kCompanyList, q("Zèbre"))), zebre);
        EXPECT_LT(row(window, manager::kCompanyList, q("Compagnie 107")), 0);
        ASSERT_EQ(companies->itemCount(), 39);
        for (int r = 0; r < companies->itemCount(); ++r)
            EXPECT_EQ(programme::companies()[static_cast<std::size_t>(companies->itemData(r))].id,
                      companies->itemText(r, 0))
                << r;

        // A group added before the held one moves the records after it: each row still carries
        // the index of the record it shows.
        colleague(
            "INSERT INTO `timeslot` (`id`, `date`, `start`, `end`, `deleted`, `showname`, `childof`, `room`, `todo`,"
            " `done`) VALUES (5, '2027-07-01', '10:00:00', '11:00:00', 0, 0, -1, 10, '', '')",
            "Paul : groupe 5 \"Nuit blanche\" : créé [timeslot=5]");
        EXPECT_TRUE(window.reloadIfChangedElsewhere());
        dlg::ListView* groups = window.listView(manager::kTimeslotList);
        ASSERT_EQ(groups->itemCount(), 2);
        EXPECT_EQ(groups->itemText(0, 0), q("5"));
        for (int r = 0; r < groups->itemCount(); ++r)
            EXPECT_EQ(groups->itemData(r), programme::timeslotIndexById(groups->itemText(r, 0))) << r;
        // A row changed where it stands (its place in the order kept) leaves the list too.
        colleague("UPDATE `timeslot` SET `deleted` = 1 WHERE `id` = 5", "Paul : groupe 5 : supprimé [timeslot=5]");
        EXPECT_TRUE(window.reloadIfChangedElsewhere());
        ASSERT_EQ(groups->itemCount(), 1);
        EXPECT_EQ(groups->itemText(0, 0), q("0"));

        // A group's start put after another's of its day: its record alone changes place, and
        // the rows follow it in the order of the records.
        colleague(
            "INSERT INTO `timeslot` (`id`, `date`, `start`, `end`, `deleted`, `showname`, `childof`, `room`, `todo`,"
            " `done`) VALUES (6, '2027-07-05', '10:00:00', '11:00:00', 0, 0, -1, 10, '', '')",
            "Paul : groupe 6 : créé [timeslot=6]");
        EXPECT_TRUE(window.reloadIfChangedElsewhere());
        ASSERT_EQ(groups->itemText(1, 0), q("0"));
        const QTreeWidgetItem* zero = groups->topLevelItem(1);
        colleague("UPDATE `timeslot` SET `start` = '23:00:00' WHERE `id` = 6",
                  "Paul : groupe 6 : horaire modifié [timeslot=6]");
        EXPECT_TRUE(window.reloadIfChangedElsewhere());
        ASSERT_EQ(groups->itemCount(), 2);
        EXPECT_EQ(groups->itemText(0, 0), q("0"));
        EXPECT_EQ(groups->itemText(1, 0), q("6"));
        EXPECT_EQ(groups->topLevelItem(0), zero);  // the row that did not move is the very row
        for (int r = 0; r < groups->itemCount(); ++r)
            EXPECT_EQ(groups->itemData(r), programme::timeslotIndexById(groups->itemText(r, 0))) << r;
        EXPECT_EQ(programme::timeslotIndexById(q("6")), programme::scan::timeslotIndexById(q("6")));
    });
    EXPECT_TRUE(ui().messages.empty()) << ui().messageTexts();
}

// The planning's paints, counted as the area receives them: a colleague's save paints it again
// when it changes what it shows, and only then.
TEST_F(SharedOfficeTest, AColleaguesSavePaintsThePlanningOnlyWhenItChangesWhatItShows) {
    struct PaintedRegion : QObject {
        QRegion painted;
        bool eventFilter(QObject*, QEvent* e) override {
            if (e->type() == QEvent::Paint) painted += static_cast<QPaintEvent*>(e)->region();
            return false;
        }
    } seen;
    sql("SET NAMES utf8mb4;INSERT INTO `showname` VALUES (1, 'Aube', 1, 0);"
        "INSERT INTO `timeslot` (`id`, `date`, `start`, `end`, `deleted`, `showname`, `childof`, `room`, `todo`,"
        " `done`) VALUES (1, '2027-07-10', '18:00:00', '19:00:00', 0, 1, -1, 10, '', '')");
    manager window;
    testing_support::runModal(window, [&] {
        window.datePicker(manager::kDateTo)->setDate(QDate(2027, 7, 31));
        window.datePicker(manager::kDateFrom)->setDate(QDate(2027, 7, 1));
        QWidget* area = window.item(manager::kPlanningArea);
        area->grab();
        ASSERT_EQ(window.planningPane().hitList().size(), 2u);
        QApplication::processEvents();
        area->installEventFilter(&seen);
        const QRegion whole(area->rect());
        const auto paintedAfter = [&](const std::string& sql, const std::string& log, bool ownSave = false) {
            colleague(sql, log);
            seen.painted = QRegion();
            if (ownSave)
                window.reloadSaved();
            else
                EXPECT_TRUE(window.reloadIfChangedElsewhere());
            QApplication::processEvents();
            return seen.painted;
        };
        // What the screen shows of the area, painted bit by bit, is what a whole paint gives.
        const auto onScreen = [&] {
            const QPoint at = area->mapTo(&window, QPoint(0, 0));
            return window.screen()->grabWindow(window.winId(), at.x(), at.y(), area->width(), area->height()).toImage();
        };
        // A plan item added leaves the group "Contrat à envoyer"; a company no slot shows renamed.
        EXPECT_TRUE(paintedAfter("UPDATE `timeslot` SET `todo` = 'X$$$A$$$B$$$C' WHERE `id` = 0",
                                 "Paul : groupe 0 : suivi modifié [timeslot=0]")
                        .isEmpty());
        EXPECT_TRUE(
            paintedAfter("UPDATE `comp` SET `nom` = 'Albatros' WHERE `id` = 5", "Anne : compagnie 5 : nom modifié [comp=5]")
                .isEmpty());
        // The contract sent and the show renamed paint the group's row alone; the slot moved out
        // of the range, by the user's own save, the whole area.
        for (const auto& [sql, log] : std::vector<std::pair<std::string, std::string>>{
                 {"UPDATE `timeslot` SET `done` = 'Contrat envoyé par KQ=01/06/2027' WHERE `id` = 0",
                  "Paul : groupe 0 : suivi modifié [timeslot=0]"},
                 {"UPDATE `showname` SET `name` = 'Nuit blanche' WHERE `id` = 0",
                  "Anne : spectacle 0 : nom modifié [showname=0]"}}) {
            const QRegion painted = paintedAfter(sql, log);
            EXPECT_FALSE(painted.isEmpty()) << log;
            EXPECT_FALSE(whole.subtracted(painted).isEmpty()) << log;
            EXPECT_TRUE(onScreen() == area->grab().toImage()) << log;
        }
        EXPECT_TRUE(whole.subtracted(paintedAfter("UPDATE `timeslot` SET `date` = '2027-08-02' WHERE `id` = 0",
                                                  "Paul : groupe 0 : modifié [timeslot=0]", true))
                        .isEmpty());
        area->grab();
        EXPECT_EQ(window.planningPane().hitList().size(), 1u);
    });
    EXPECT_TRUE(ui().messages.empty()) << ui().messageTexts();
}

// The user's own save, from the server's general log: the save, then on the loader's
// connection the new audit lines and the one statement reading the rows they name (the saved
// company's alone), never a table read whole; the lists show the new name where it sorts,
// and what the user had selected and scrolled to stays.
TEST_F(SharedOfficeTest, AnOwnSaveReadsBackOnlyTheRowsItNamedKeepingTheView) {
    std::string shows = "INSERT INTO `showname` VALUES (1, 'Revue 101', 1, 0)";
    for (int i = 2; i < 40; ++i)
        shows += ", (" + std::to_string(i) + ", 'Revue " + std::to_string(100 + i) + "', 1, 0)";
    sql("SET NAMES utf8mb4;" + shows);
    manager window;
    testing_support::runModal(window, [&] {
        EXPECT_FALSE(window.reloadIfChangedElsewhere());  // the lines of the opening, read once
        dlg::ListView* companies = window.listView(manager::kCompanyList);
        dlg::ListView* showList = window.listView(manager::kShowList);
        const auto bottom = [](dlg::ListView* list) {
            list->verticalScrollBar()->setValue(list->verticalScrollBar()->maximum());
            return list->verticalScrollBar()->value();
        };
        showList->setSelected(row(window, manager::kShowList, q("Revue 138")), true);
        const QList<int> showsSelected = showList->selectedRows();
        const int showsScrolled = bottom(showList);
        const int companiesScrolled = bottom(companies);
        ASSERT_GT(showsScrolled, 0);
        ASSERT_GT(companiesScrolled, 0);

        testdb::exec("",
                     "SET GLOBAL log_output = 'TABLE'; SET GLOBAL general_log = 1; TRUNCATE TABLE mysql.general_log");
        struct GeneralLogOff {
            ~GeneralLogOff() { testdb::exec("", "SET GLOBAL general_log = 0"); }
        } logOff;
        onNextModal([](QDialog* d) {
            typeInto(d, ccomp::kNom, q("Albatros"));
            clickButton(d, platform::IDOK);
        });
        emit companies->rowDoubleClicked(row(window, manager::kCompanyList, q("Compagnie 105")));
        testdb::exec("", "SET GLOBAL general_log = 0");
        const auto sentOn = [](const char* loader) {
            return testdb::query("",
                                 std::string("SELECT `argument` FROM mysql.general_log WHERE `command_type` = 'Query'"
                                             " AND `argument` NOT LIKE '%general_log%' AND `thread_id` ") +
                                     loader +
                                     " (SELECT `thread_id` FROM mysql.general_log WHERE `argument` LIKE "
                                     "'SELECT `id`, `log` FROM%') ORDER BY `event_time`");
        };
        const auto reads = sentOn("IN");
        ASSERT_EQ(reads.size(), 2u);
        // The saved company, from its table alone (its FROM the statement's only one).
        EXPECT_EQ(reads[1][0].find("FROM `comp` WHERE `id` IN (5)"), reads[1][0].rfind(" FROM ") + 1) << reads[1][0];
        const auto save = sentOn("NOT IN");
        EXPECT_TRUE(std::any_of(save.begin(), save.end(), [](const testdb::Row& r) {
            return r[0].find("UPDATE `comp` SET `nom` = \"Albatros\"") != std::string::npos;
        }));
        for (const auto* sent : {&reads, &save})
            for (const testdb::Row& r : *sent) EXPECT_EQ(r[0].find("SELECT * FROM"), std::string::npos) << r[0];

        EXPECT_EQ(companies->itemText(0, 1), q("Albatros"));
        EXPECT_LT(row(window, manager::kCompanyList, q("Compagnie 105")), 0);
        EXPECT_EQ(programme::companies().size(), 40u);
        EXPECT_EQ(showList->selectedRows(), showsSelected);
        EXPECT_EQ(showList->verticalScrollBar()->value(), showsScrolled);
        EXPECT_EQ(companies->verticalScrollBar()->value(), companiesScrolled);
    });
    EXPECT_TRUE(ui().messages.empty()) << ui().messageTexts();
}

// While the save's rows cross the link the window's thread turns: here the rows wait on a
// table a colleague holds locked, named by the colleague's line, and only a timer of the
// window's thread lets it go (a wait that blocked the thread would hold until the lock's limit).
TEST_F(SharedOfficeTest, TheWindowTurnsWhileItsOwnSavesRowsAreRead) {
    manager window;
    testing_support::runModal(window, [&] {
        EXPECT_FALSE(window.reloadIfChangedElsewhere());
        colleague("DO 0", "Anne : salle 10 \"Rouge\" : modifiée [salle=10]");
        auto lock = std::make_unique<testdb::TableLock>(testdb::programmeDb(), "salle", std::chrono::seconds(20));
        int ticks = 0;
        QTimer ticker;
        QObject::connect(&ticker, &QTimer::timeout, [&] {
            if (++ticks == 20) lock.reset();
        });
        onNextModal([&](QDialog* d) {
            typeInto(d, ccomp::kNom, q("Mouette rieuse"));
            clickButton(d, platform::IDOK);
            ticker.start(10);
        });
        const auto start = std::chrono::steady_clock::now();
        emit window.listView(manager::kCompanyList)->rowDoubleClicked(row(window, manager::kCompanyList, q("Mouette")));
        EXPECT_LT(std::chrono::steady_clock::now() - start, std::chrono::seconds(10));
        EXPECT_GE(ticks, 20);
        EXPECT_FALSE(lock);
        EXPECT_GE(row(window, manager::kCompanyList, q("Mouette rieuse")), 0);
    });
    EXPECT_TRUE(ui().messages.empty()) << ui().messageTexts();
}

// A change made by SQL outside the program writes no audit line: the idle check does not see
// it, the slower one does, and moves only the rows that differ.
TEST_F(SharedOfficeTest, AChangeMadeOutsideTheProgramAppearsAtTheSlowerCheck) {
    EXPECT_EQ(ChangeWatch::jobOfTick(ChangeWatch::kVerifyEvery), manager_load::Job::Verify);
    EXPECT_EQ(ChangeWatch::jobOfTick(ChangeWatch::kVerifyEvery + 1), manager_load::Job::Changes);
    manager window;
    testing_support::runModal(window, [&] {
        EXPECT_FALSE(window.reloadIfChangedOutside());  // nothing changed anywhere
        sql("SET NAMES utf8mb4; UPDATE `comp` SET `nom` = 'Zèbre rayé' WHERE `id` = 1;"
            "INSERT INTO `comp` (`id`, `nom`) VALUES (70, 'Venue par SQL');"
            "DELETE FROM `comp` WHERE `id` = 7;"
            "UPDATE `timeslot` SET `start` = '21:00:00' WHERE `id` = 0");
        EXPECT_FALSE(window.reloadIfChangedElsewhere());
        EXPECT_LT(row(window, manager::kCompanyList, q("Venue par SQL")), 0);
        EXPECT_TRUE(window.reloadIfChangedOutside());
        EXPECT_GE(row(window, manager::kCompanyList, q("Zèbre rayé")), 0);
        EXPECT_GE(row(window, manager::kCompanyList, q("Venue par SQL")), 0);
        EXPECT_LT(row(window, manager::kCompanyList, q("Compagnie 107")), 0);
        EXPECT_EQ(window.listView(manager::kTimeslotList)->itemText(0, 4), q("Lundi 05 Juillet 2027 à 21:00"));
        const manager_load::Asked& moved = window.lastOutcome()->asked;
        EXPECT_EQ(moved.at(programme::ProgrammeTable::Companies), QStringList({"1", "7", "70"}));
        EXPECT_EQ(moved.at(programme::ProgrammeTable::Timeslots), QStringList({"0"}));
        EXPECT_EQ(moved.size(), 2u);
        EXPECT_FALSE(window.reloadIfChangedOutside());
    });
    EXPECT_TRUE(ui().messages.empty()) << ui().messageTexts();
}

// The tables cross the link on a thread of their own: the window answers meanwhile, says
// "Chargement…", and an edit asked for then waits for the load (its new ids come from it).
TEST_F(SharedOfficeTest, TheWindowAnswersWhileItsTablesLoadAndAnEditWaitsForThem) {
    auto lock = std::make_unique<testdb::TableLock>(testdb::programmeDb(), "timeslot", std::chrono::seconds(20));
    manager window;
    int ticks = 0;
    bool dialogWhileLoading = false;
    bool dialogAfterLoad = false;
    QTimer ticker;
    QObject::connect(&ticker, &QTimer::timeout, [&] { ++ticks; });
    QTimer::singleShot(0, &window, [&] {
        EXPECT_TRUE(window.loading());
        EXPECT_EQ(window.windowTitle(), q("Manager 1.004 (Demo) Chargement…"));
        onNextModal([&](QDialog* d) {
            dialogWhileLoading = window.loading();
            dialogAfterLoad = row(window, manager::kCompanyList, q("Zèbre")) >= 0;
            clickButton(d, platform::IDCANCEL);
        });
        clickButton(&window, manager::kAddCompany);
        ticker.start(10);
        QTimer::singleShot(400, &window, [&] {
            // The window's own timer ran while the load waited on the lock (a load on the
            // window's thread would let none run before the lock went).
            EXPECT_GE(ticks, 3);
            EXPECT_TRUE(window.loading());
            lock.reset();
        });
    });
    testing_support::runModal(window, [&] {
        EXPECT_EQ(window.windowTitle(), q("Manager 1.004 (Demo)"));
        EXPECT_GE(row(window, manager::kCompanyList, q("Zèbre")), 0);
    });
    EXPECT_FALSE(dialogWhileLoading);
    EXPECT_TRUE(dialogAfterLoad);
    EXPECT_EQ(one("SELECT COUNT(*) FROM `logs` WHERE `log` = 'Demo : manager started'"), "1");
}

// The company's name changed elsewhere while its dialog was open here.
TEST_F(SharedOfficeTest, AClashIsSettledByTheUser) {
    manager window;
    testing_support::runModal(window, [&] {
        const auto editMouette = [&](const char* name) {
            onNextModal([=](QDialog* d) {
                colleague("UPDATE `comp` SET `nom` = 'Mouette grise' WHERE `id` = 0",
                          "Anne : compagnie 0 \"Mouette grise\" : nom modifié [comp=0]");
                typeInto(d, ccomp::kNom, q(name));
                clickButton(d, platform::IDOK);
            });
            emit window.listView(manager::kCompanyList)
                ->rowDoubleClicked(row(window, manager::kCompanyList, q("0"), 0));
        };
        // Keep theirs: nothing of mine is written, the lists show theirs.
        ui().answers = {1};
        editMouette("Mouette blanche");
        ASSERT_EQ(ui().messages.size(), 1u);
        EXPECT_TRUE(ui().messages[0].text.contains(q("modifiée sur un autre poste (Anne)"))) << ui().messages[0].text;
        EXPECT_TRUE(ui().messages[0].text.contains(q("Nom : là-bas « Mouette grise », ici « Mouette blanche »")));
        EXPECT_EQ(one("SELECT `nom` FROM `comp` WHERE `id` = 0"), "Mouette grise");
        EXPECT_GE(row(window, manager::kCompanyList, q("Mouette grise")), 0);

        // Back to my input: the dialog opens again on what I typed over what is stored now (the
        // colleague's e-mail, which I did not touch); OK then stores both.
        testdb::exec(testdb::programmeDb(), "UPDATE `comp` SET `nom` = 'Mouette' WHERE `id` = 0");
        window.reloadAll();
        ui().clear();
        ui().answers = {2};
        QString reopenedWith, emailShown;
        onNextModal([&](QDialog* d) {
            colleague("UPDATE `comp` SET `nom` = 'Mouette grise', `email` = 'gris@x' WHERE `id` = 0",
                      "Anne : compagnie 0 : nom et e-mail modifiés [comp=0]");
            typeInto(d, ccomp::kNom, q("Mouette blanche"));
            onNextModal([&](QDialog* again) {
                reopenedWith = again->findChild<QLineEdit*>(QStringLiteral("ctl_%1").arg(ccomp::kNom))->text();
                emailShown = again->findChild<QLineEdit*>(QStringLiteral("ctl_%1").arg(ccomp::kEmail))->text();
                clickButton(again, platform::IDOK);
            });
            clickButton(d, platform::IDOK);
        });
        emit window.listView(manager::kCompanyList)->rowDoubleClicked(row(window, manager::kCompanyList, q("Mouette")));
        EXPECT_EQ(reopenedWith, q("Mouette blanche"));
        EXPECT_EQ(emailShown, q("gris@x"));
        EXPECT_EQ(testdb::query(testdb::programmeDb(), "SELECT `nom`, `email` FROM `comp` WHERE `id` = 0").at(0),
                  (testdb::Row{"Mouette blanche", "gris@x"}));

        // Keep mine.
        ui().clear();
        ui().answers = {0};
        editMouette("Mouette noire");
        EXPECT_EQ(one("SELECT `nom` FROM `comp` WHERE `id` = 0"), "Mouette noire");
        EXPECT_EQ(one("SELECT `log` FROM `logs` ORDER BY `id` DESC LIMIT 1"),
                  "Demo : compagnie 0 \"Mouette noire\" : nom modifi\xe9, remplace l'autre poste sur : Nom [comp=0]");
    });
}

TEST_F(SharedOfficeTest, FollowUpItemsDoneOnTwoWorkstationsAreMergedAndTheUserIsTold) {
    testing_support::FakeDialogs dialogs;
    manager window(dialogs);
    dialogs.edit = [](planning::TimeslotEditorData& data) {
        // A colleague ticks B while this workstation ticks C.
        colleague("UPDATE `timeslot` SET `done` = 'B=Fait le 2/6/2027' WHERE `id` = 0",
                  "Anne : groupe 0 \"Nuit\" : suivi modifié [timeslot=0]");
        data.done = q("C=Fait le 3/6/2027");
    };
    testing_support::runModal(window, [&] {
        emit window.listView(manager::kTimeslotList)->rowDoubleClicked(0);
        EXPECT_EQ(one("SELECT `done` FROM `timeslot` WHERE `id` = 0"), "B=Fait le 2/6/2027$$$C=Fait le 3/6/2027");
        ASSERT_EQ(ui().messages.size(), 1u);
        EXPECT_EQ(ui().messages[0].icon, platform::MessageIcon::Information);
        EXPECT_EQ(ui().messages[0].text, q("Enregistré. Repris de l'autre poste : B."));
    });
}

// A group deleted elsewhere while it was edited here comes back with the edit when the user
// says so; a new group brings back the show deleted elsewhere meanwhile. Each time one line
// says what came back.
TEST_F(SharedOfficeTest, ARestoreThatComesWithASaveSaysWhatCameBack) {
    testing_support::FakeDialogs dialogs;
    manager window(dialogs);
    testing_support::runModal(window, [&] {
        dialogs.edit = [](planning::TimeslotEditorData& data) {
            colleague("UPDATE `timeslot` SET `deleted` = 1 WHERE `id` = 0",
                      "Anne : groupe 0 \"Nuit\" : supprimé [timeslot=0]");
            data.done = q("C=Fait le 3/6/2027");
        };
        ui().answers = {0};  // "Restaurer et enregistrer"
        emit window.listView(manager::kTimeslotList)->rowDoubleClicked(0);
        ASSERT_EQ(ui().messages.size(), 2u) << ui().messageTexts();
        EXPECT_EQ(ui().messages[0].choices.front(), q("Restaurer et enregistrer"));
        EXPECT_EQ(ui().messages[1].icon, platform::MessageIcon::Information);
        EXPECT_EQ(ui().messages[1].text, q("Enregistré. Restauré : le groupe de créneaux « Nuit », Rouge, Lundi 05 "
                                           "Juillet 2027 à 20:30 avec son créneau."));
        EXPECT_EQ(testdb::query(testdb::programmeDb(), "SELECT `deleted`, `done` FROM `timeslot` WHERE `id` = 0").at(0),
                  (testdb::Row{"0", "C=Fait le 3/6/2027"}));

        ui().clear();
        dialogs.edit = [](planning::TimeslotEditorData& data) {
            colleague("UPDATE `showname` SET `deleted` = 1 WHERE `id` = 0",
                      "Anne : spectacle 0 \"Nuit\" : supprimé [showname=0]");
            data.entries = {{12, 7, 2027, 18, 0, 19, 30}};
        };
        ui().answers = {0};  // "Restaurer et enregistrer"
        clickButton(&window, manager::kAddTimeslotGroup);
        ASSERT_EQ(ui().messages.size(), 2u) << ui().messageTexts();
        EXPECT_TRUE(ui().messages[0].text.startsWith(q("Le spectacle « Nuit », auquel votre saisie se rattache")));
        EXPECT_EQ(ui().messages[1].text, q("Enregistré. Restauré : le spectacle « Nuit »."));
        EXPECT_EQ(one("SELECT `deleted` FROM `showname` WHERE `id` = 0"), "0");
        EXPECT_EQ(one("SELECT COUNT(*) FROM `timeslot` WHERE `showname` = 0 AND `deleted` = 0"), "2");
    });
}

TEST_F(SharedOfficeTest, TheJournalListsEveryChangeNewestFirstWithItsFilters) {
    manager window;
    testing_support::runModal(window, [&] {
        onNextModal([](QDialog* d) {
            typeInto(d, ccomp::kNom, q("Alpha"));
            clickButton(d, platform::IDOK);
        });
        clickButton(&window, manager::kAddCompany);
        onNextModal([&](QDialog* d) {
            auto* journal = qobject_cast<JournalWindow*>(d);
            ASSERT_TRUE(journal);
            QTreeWidget* list = journal->list();
            const auto shown = [&] {
                QStringList lines;
                for (int i = 0; i < list->topLevelItemCount(); ++i)
                    lines << list->topLevelItem(i)->text(1) + u' ' + list->topLevelItem(i)->text(2);
                return lines;
            };
            EXPECT_EQ(shown(), QStringList({q("Demo compagnie 40 \"Alpha\" : créée"), q("Demo manager started"),
                                            q("Anne compagnie 0 \"Mouette\" : créée")}));
            EXPECT_EQ(list->topLevelItem(0)->toolTip(2), q("compagnie 40 \"Alpha\" : créée [comp=40 showname=1]"));
            journal->accounts()->setCurrentText(q("Anne"));
            EXPECT_EQ(list->topLevelItemCount(), 1);
            journal->accounts()->setCurrentIndex(0);
            journal->text()->setText(q("ALPHA"));
            EXPECT_EQ(list->topLevelItemCount(), 1);
            // Accents and case aside: "CREEE" finds both "créée".
            journal->text()->setText(q("CREEE"));
            EXPECT_EQ(list->topLevelItemCount(), 2);
            journal->text()->setText(q("mouétte"));
            EXPECT_EQ(list->topLevelItemCount(), 1);
            journal->text()->clear();
            journal->from()->setDate(QDate::currentDate());
            EXPECT_EQ(list->topLevelItemCount(), 2);  // Anne's line is two days old
            // Anne chosen over a period without her lines: she stays chosen, the list empty
            // under its headings; back two days, her line again.
            journal->from()->setDate(QDate::currentDate().addDays(-5));
            journal->accounts()->setCurrentText(q("Anne"));
            EXPECT_EQ(list->topLevelItemCount(), 1);
            journal->from()->setDate(QDate::currentDate().addDays(-1));
            EXPECT_EQ(journal->accounts()->currentText(), q("Anne"));
            EXPECT_EQ(list->topLevelItemCount(), 0);
            EXPECT_GE(list->header()->sectionSize(0), list->fontMetrics().horizontalAdvance(q("00/00/0000 00:00:00")))
                << "the date column keeps a date's width";
            EXPECT_GE(list->header()->sectionSize(1), list->fontMetrics().horizontalAdvance(q("Compte")));
            journal->from()->setDate(QDate::currentDate().addDays(-4));
            EXPECT_EQ(list->topLevelItemCount(), 1);
            d->reject();
        });
        clickButton(&window, manager::kJournal);
    });
}

}  // namespace
