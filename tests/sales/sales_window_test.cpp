#include <gtest/gtest.h>

#include <QApplication>
#include <QCheckBox>
#include <QDialogButtonBox>
#include <QDir>
#include <QElapsedTimer>
#include <QFile>
#include <QHeaderView>
#include <QLabel>
#include <QLineEdit>
#include <QScrollBar>
#include <QSignalSpy>
#include <QTabWidget>
#include <QTemporaryDir>
#include <QTest>
#include <QTimer>
#include <QTimerEvent>
#include <QtCharts>
#include <optional>

#include "app/cbrelo_dlg.h"
#include "app/login_dlg.h"
#include "db/connections.h"
#include "dialog/controls.h"
#include "dialog/text_fit.h"
#include "programme/account.h"
#include "sales/chart_numbers.h"
#include "sales/charts_ui.h"
#include "tests/support/modal.h"
#include "tests/support/recording_ui.h"
#include "tests/support/sql.h"
#include "tests/support/testdb.h"

namespace {

// Connections the server has accepted so far; the query itself opens one.
long serverConnections() {
    const auto rows = testdb::query("", "SHOW GLOBAL STATUS LIKE 'Connections'");
    return rows.empty() ? -1 : std::stol(rows[0][1]);
}

class SalesWindowTest : public ::testing::Test {
protected:
    void SetUp() override {
        testing_support::ui().clear();
        account::resetForTests();
        testdb::resetAll();
        testdb::exec(testdb::programmeDb(),
                     "INSERT INTO `access` (`id`, `name`, `password`, `rights`) VALUES (1, 'Demo', 'brelo', 'all')");
        // This source is UTF-8; the server converts it to the tables' Latin-1.
        testdb::exec(testdb::ticketingDb(),
                     "SET NAMES utf8mb4;"
                     "INSERT INTO `salle` VALUES (0, 'Le Kiosque', '2025-07-10 18:02:03'), (1, 'Zodiaque', NULL);"
                     "INSERT INTO `shows` VALUES"
                     " (1, 'Molière', NOW() - INTERVAL 1 DAY, 0, 90, 'Plein:Diner'),"
                     " (10000001, 'Les Fâcheux', NOW() + INTERVAL 1 HOUR, 1, 90, 'Plein'),"
                     " (10000002, 'Mille et une nuits', NOW() + INTERVAL 2 DAY, 1, 90, 'Plein'),"
                     " (2, 'Trop tôt', NOW() - INTERVAL 3 DAY, 0, 90, 'Plein'),"
                     " (3, 'Trop tard', NOW() + INTERVAL 6 DAY, 0, 90, 'Plein');"
                     "INSERT INTO `res` VALUES (1, 1, 2, '20:35', '0:1', '1;0'),"
                     " (2, 10000001, 1, '15', '0', '1'), (3, 10000002, 4, '10:10:10:10', '0:0:0:0', '0;0;0;0');");
    }

    // Runs `checks` once the sales overview is up after a successful login and its first
    // load has arrived, then closes it.
    static void runWindow(CBreloDlg& window, std::function<void()> checks) {
        testing_support::onNextModal([](QDialog* box) {
            testing_support::typeInto(box, login::kNameEdit, QStringLiteral("Demo"));
            testing_support::typeInto(box, login::kPasswordEdit, QStringLiteral("brelo"));
            testing_support::clickButton(box, platform::IDOK);
        });
        testing_support::runModal(window, [&window, checks] {
            waitForRefresh(window);
            checks();
        });
    }

    // The window answers while the worker reads; this waits until its job has ended.
    static void waitForRefresh(CBreloDlg& window) {
        ASSERT_TRUE(QTest::qWaitFor([&] { return !window.refresh().running(); }, 20000)) << "the refresh never ended";
    }

    static QStringList shownNames(CBreloDlg& window) {
        QStringList names;
        dlg::ListView* list = window.listView(CBreloDlg::kPerformanceList);
        for (int row = 0; row < list->itemCount(); ++row) names << list->itemText(row, 0);
        return names;
    }

    // A tick of the window's timer, without waiting for what it started.
    static void sendTick(CBreloDlg& window) {
        auto* timer = window.findChild<QTimer*>(QStringLiteral("timer_%1").arg(CBreloDlg::kRefreshTimer));
        ASSERT_NE(timer, nullptr);
        QTimerEvent event(timer->timerId());
        QCoreApplication::sendEvent(timer, &event);
    }

    static void tick(CBreloDlg& window) {
        sendTick(window);
        waitForRefresh(window);
    }

    static void checkAutoRefresh(CBreloDlg& window) {
        window.findChild<QCheckBox*>(QStringLiteral("ctl_%1").arg(CBreloDlg::kAutoRefreshBox))->click();
        ASSERT_TRUE(window.isChecked(CBreloDlg::kAutoRefreshBox));
    }
};

TEST_F(SalesWindowTest, StartsOnTwoDaysBackToFiveAheadWithTheColumnsAndFigures) {
    CBreloDlg window;
    const QDate today = QDate::currentDate();
    runWindow(window, [&] {
        EXPECT_EQ(window.datePicker(CBreloDlg::kFromPicker)->date(), today.addDays(-2));
        EXPECT_TRUE(dlg::cutTexts(&window).empty()) << "a text or heading of the window is cut";
        EXPECT_EQ(window.datePicker(CBreloDlg::kToPicker)->date(), today.addDays(5));
        EXPECT_EQ(window.datePicker(CBreloDlg::kFromPicker)->time().hour(),
                  window.datePicker(CBreloDlg::kToPicker)->time().hour());

        dlg::ListView* list = window.listView(CBreloDlg::kPerformanceList);
        const QStringList headings{q("Spectacle"),
                                   q("AAAA-MM-JJ HH:MM:SS"),
                                   q("Salle"),
                                   q("Places réservées/€/Moyenne"),
                                   q("Places payées/€/Moyenne"),
                                   q("RS")};
        const int widths[] = {200, 150, 100, 170, 170, 50};
        ASSERT_EQ(list->columnCount(), 6);
        for (int c = 0; c < 6; ++c) {
            EXPECT_EQ(list->headerItem()->text(c), headings[c]);
            EXPECT_EQ(list->columnWidth(c), widths[c]);
        }
        dlg::ListView* rooms = window.listView(CBreloDlg::kRoomList);
        ASSERT_EQ(rooms->itemCount(), 2);
        EXPECT_EQ(rooms->headerItem()->text(1), q("Dernière synchro"));
        EXPECT_EQ(rooms->itemText(0, 0), q("Le Kiosque"));
        EXPECT_EQ(rooms->itemText(0, 1), q("2025-07-10 18:02:03"));

        EXPECT_EQ(shownNames(window), (QStringList{q("Molière"), q("Les Fâcheux"), q("Mille et une nuits")}));
        EXPECT_EQ(list->itemText(0, 2), q("KQ"));
        EXPECT_EQ(list->itemText(0, 3), q("2/55.00€/27.50€"));
        EXPECT_EQ(list->itemText(0, 4), q("1/20.00€/20.00€"));
        EXPECT_EQ(list->itemText(0, 5), q("1"));
        EXPECT_EQ(list->itemText(1, 2), q("ZOD"));
        EXPECT_EQ(window.itemText(CBreloDlg::kReservedTotal), q("7/110.00€/15.71€"));
        EXPECT_EQ(window.itemText(CBreloDlg::kPaidTotal), q("2/35.00€/17.50€"));
        EXPECT_EQ(window.itemText(CBreloDlg::kMealTotal), q("1"));
        EXPECT_FALSE(window.isChecked(CBreloDlg::kAutoRefreshBox));
        EXPECT_FALSE(window.windowIcon().isNull());
    });
    EXPECT_TRUE(testing_support::ui().messages.empty());
}

TEST_F(SalesWindowTest, FiltersAndDatesRebuildTheListWithoutReadingTheDatabase) {
    CBreloDlg window;
    runWindow(window, [&] {
        const long before = serverConnections();
        auto* name = window.findChild<QLineEdit*>(QStringLiteral("ctl_%1").arg(CBreloDlg::kNameFilter));
        QTest::keyClicks(name, QStringLiteral("m"));
        EXPECT_EQ(shownNames(window), (QStringList{q("Molière"), q("Mille et une nuits")}));
        QTest::keyClicks(name, QStringLiteral("o"));
        EXPECT_EQ(shownNames(window), QStringList{q("Molière")});
        EXPECT_EQ(window.itemText(CBreloDlg::kReservedTotal), q("2/55.00€/27.50€"));
        name->clear();

        auto* room = window.findChild<QLineEdit*>(QStringLiteral("ctl_%1").arg(CBreloDlg::kRoomFilter));
        QTest::keyClicks(room, QStringLiteral("zo"));
        EXPECT_EQ(shownNames(window), (QStringList{q("Les Fâcheux"), q("Mille et une nuits")}));
        EXPECT_EQ(window.itemText(CBreloDlg::kMealTotal), QString());
        room->clear();

        dlg::DatePicker* from = window.datePicker(CBreloDlg::kFromPicker);
        from->setDate(QDate::currentDate().addDays(-4));
        EXPECT_EQ(shownNames(window).size(), 4);
        EXPECT_EQ(shownNames(window).first(), q("Trop tôt"));
        // Only the admin query that counts opened a connection.
        EXPECT_EQ(serverConnections(), before + 1);
    });
    EXPECT_TRUE(testing_support::ui().messages.empty());
}

TEST_F(SalesWindowTest, TheTimerReloadsOnlyWhileTheBoxIsChecked) {
    CBreloDlg window;
    runWindow(window, [&] {
        auto* timer = window.findChild<QTimer*>(QStringLiteral("timer_%1").arg(CBreloDlg::kRefreshTimer));
        ASSERT_NE(timer, nullptr);
        EXPECT_TRUE(timer->isActive());
        EXPECT_EQ(timer->interval(), 10000);
        testdb::exec(testdb::ticketingDb(), "INSERT INTO `res` VALUES (4, 10000001, 2, '15:15', '0:0', '1;1')");

        long before = serverConnections();
        tick(window);
        EXPECT_EQ(serverConnections(), before + 1);
        EXPECT_EQ(window.itemText(CBreloDlg::kReservedTotal), q("7/110.00€/15.71€"));

        // Checked: the first tick opens a connection that the next ticks keep, so that asking
        // whether anything changed is one round trip.
        auto* box = window.findChild<QCheckBox*>(QStringLiteral("ctl_%1").arg(CBreloDlg::kAutoRefreshBox));
        box->click();
        ASSERT_TRUE(window.isChecked(CBreloDlg::kAutoRefreshBox));
        before = serverConnections();
        tick(window);
        EXPECT_EQ(serverConnections(), before + 2);
        EXPECT_EQ(window.itemText(CBreloDlg::kReservedTotal), q("9/140.00€/15.56€"));
        testdb::exec(testdb::ticketingDb(), "UPDATE `res` SET `paid` = '1;1;1;1' WHERE `id` = 3");
        before = serverConnections();
        tick(window);
        tick(window);
        EXPECT_EQ(serverConnections(), before + 1);
        EXPECT_EQ(window.itemText(CBreloDlg::kPaidTotal), q("8/105.00€/13.12€"));

        box->click();
        testdb::exec(testdb::ticketingDb(), "DELETE FROM `res` WHERE `id` = 4");
        before = serverConnections();
        tick(window);
        EXPECT_EQ(serverConnections(), before + 1);
        EXPECT_EQ(window.itemText(CBreloDlg::kReservedTotal), q("9/140.00€/15.56€"));
        EXPECT_TRUE(timer->isActive());

        // "Mettre à jour" reads whatever the box says.
        testing_support::clickButton(&window, CBreloDlg::kRefreshButton);
        waitForRefresh(window);
        EXPECT_EQ(window.itemText(CBreloDlg::kReservedTotal), q("7/110.00€/15.71€"));
    });
    EXPECT_TRUE(testing_support::ui().messages.empty());
}

TEST_F(SalesWindowTest, TotalsCannotBeEdited) {
    CBreloDlg window;
    runWindow(window, [&] {
        for (int id : {CBreloDlg::kReservedTotal, CBreloDlg::kPaidTotal, CBreloDlg::kMealTotal}) {
            auto* edit = window.findChild<QLineEdit*>(QStringLiteral("ctl_%1").arg(id));
            ASSERT_NE(edit, nullptr);
            EXPECT_TRUE(edit->isReadOnly());
            const QString shown = edit->text();
            edit->setFocus();
            QTest::keyClicks(edit, QStringLiteral("123"));
            QTest::keyClick(edit, Qt::Key_Backspace);
            EXPECT_EQ(edit->text(), shown);
        }
    });
}

TEST_F(SalesWindowTest, AnUnreachableTicketingServerIsReportedAndTheWindowStillShows) {
    testdb::exec(testdb::ticketingDb(), "DROP TABLE `res`");
    CBreloDlg window;
    runWindow(window, [&] {
        EXPECT_EQ(shownNames(window).size(), 3);
        EXPECT_EQ(window.itemText(CBreloDlg::kReservedTotal), q("0/0.00€/0.00€"));
    });
    ASSERT_EQ(testing_support::ui().messages.size(), 1u);
    EXPECT_TRUE(testing_support::ui().messages[0].text.startsWith(q("Erreur : db_exec (SELECT * FROM res) : ")));
}

// While the worker waits on a locked table, the window goes on answering: the filters work,
// the status line says a load runs, and a tick meanwhile is skipped rather than queued.
TEST_F(SalesWindowTest, TheWindowAnswersWhileALoadRunsAndATickDuringItIsSkipped) {
    CBreloDlg window;
    runWindow(window, [&] {
        QSignalSpy jobs(&window.refresh(), &sales::SalesRefresh::jobEnded);
        testdb::Session locker(testdb::ticketingDb());
        locker.exec("LOCK TABLES `res` WRITE");
        testing_support::clickButton(&window, CBreloDlg::kRefreshButton);
        QTest::qWait(100);
        ASSERT_TRUE(window.refresh().running());
        EXPECT_EQ(window.itemText(CBreloDlg::kStatusLine), q("Chargement des ventes…"));

        auto* name = window.findChild<QLineEdit*>(QStringLiteral("ctl_%1").arg(CBreloDlg::kNameFilter));
        QTest::keyClicks(name, QStringLiteral("mo"));
        EXPECT_EQ(shownNames(window), QStringList{q("Molière")});
        name->clear();

        auto* box = window.findChild<QCheckBox*>(QStringLiteral("ctl_%1").arg(CBreloDlg::kAutoRefreshBox));
        box->click();
        auto* timer = window.findChild<QTimer*>(QStringLiteral("timer_%1").arg(CBreloDlg::kRefreshTimer));
        QTimerEvent event(timer->timerId());
        QCoreApplication::sendEvent(timer, &event);
        EXPECT_FALSE(window.refresh().tick(true)) << "a tick during a load is skipped";

        locker.exec("INSERT INTO `res` VALUES (9, 1, 1, '45', '0', '1')");
        locker.exec("UNLOCK TABLES");
        waitForRefresh(window);
        QTest::qWait(50);
        EXPECT_EQ(jobs.count(), 1) << "the skipped ticks were not run afterwards";
        EXPECT_EQ(window.itemText(CBreloDlg::kReservedTotal), q("8/155.00€/19.38€"));
        EXPECT_EQ(window.itemText(CBreloDlg::kStatusLine), QString());
    });
    EXPECT_TRUE(testing_support::ui().messages.empty());
}

// The server stopped under the open window: the figures stay, marked with the time they were
// last known good, and the outage is said once, not at every tick.
TEST_F(SalesWindowTest, AnUnreachableServerKeepsTheLastFiguresMarkedStaleAndSaysSoOncePerOutage) {
    struct ServeAgain {
        bool stopped = false;
        ~ServeAgain() {
            if (stopped) testdb::serveAgain();
        }
    } server;
    CBreloDlg window;
    runWindow(window, [&] {
        auto* box = window.findChild<QCheckBox*>(QStringLiteral("ctl_%1").arg(CBreloDlg::kAutoRefreshBox));
        box->click();
        tick(window);
        const QString figures = window.itemText(CBreloDlg::kReservedTotal);
        const QString lastGood = window.refresh().lastGood().toString(QStringLiteral("HH:mm"));
        EXPECT_EQ(window.itemText(CBreloDlg::kStatusLine), QString());

        testdb::stopServer();
        server.stopped = true;
        for (int t = 0; t < 3; ++t) tick(window);
        EXPECT_EQ(window.itemText(CBreloDlg::kStatusLine),
                  q("Données de %1 — serveur de billetterie injoignable").arg(lastGood));
        EXPECT_EQ(window.itemText(CBreloDlg::kReservedTotal), figures);
        EXPECT_EQ(shownNames(window).size(), 3);
        EXPECT_EQ(window.listView(CBreloDlg::kRoomList)->itemCount(), 2);
        ASSERT_EQ(testing_support::ui().messages.size(), 1u)
            << testing_support::ui().messageTexts().join(u'\n').toStdString();
        EXPECT_TRUE(testing_support::ui().messages[0].text.startsWith(q("Erreur : mysql_real_connect : ")));

        // Asked for by the user, the failure is said again.
        testing_support::clickButton(&window, CBreloDlg::kRefreshButton);
        waitForRefresh(window);
        EXPECT_EQ(testing_support::ui().messages.size(), 2u);
        EXPECT_EQ(window.itemText(CBreloDlg::kReservedTotal), figures);

        testdb::serveAgain();
        server.stopped = false;
        tick(window);
        EXPECT_EQ(window.itemText(CBreloDlg::kStatusLine), QString());
        EXPECT_EQ(testing_support::ui().messages.size(), 2u);

        // A new outage is a new message.
        testdb::stopServer();
        server.stopped = true;
        tick(window);
        tick(window);
        EXPECT_EQ(testing_support::ui().messages.size(), 3u);
        testdb::serveAgain();
        server.stopped = false;
    });
}

// A table locked on the server with the automatic refresh on: the figures are marked as not
// current at the first tick that finds the check still waiting, and no later than the check's
// timeout; closing the window does not wait for the statement under way.
TEST_F(SalesWindowTest, ALockedTableIsMarkedStaleWithinTheTimeoutAndTheWindowClosesAtOnce) {
    db::ConnectionSettings& settings = db::ticketingSettings();
    const unsigned timeout = settings.timeout;
    settings.timeout = 2;
    auto window = std::make_unique<CBreloDlg>();
    std::optional<testdb::TableLock> lock;
    runWindow(*window, [&] {
        checkAutoRefresh(*window);
        tick(*window);
        const QString figures = window->itemText(CBreloDlg::kReservedTotal);
        const QString noAnswer = q("Données de %1 — serveur de billetterie sans réponse")
                                     .arg(window->refresh().lastGood().toString(QStringLiteral("HH:mm")));
        lock.emplace(testdb::ticketingDb(), "res", std::chrono::seconds(12));
        QElapsedTimer clock;
        clock.start();
        sendTick(*window);
        QTest::qWait(100);
        ASSERT_TRUE(window->refresh().running());
        EXPECT_EQ(window->itemText(CBreloDlg::kStatusLine), QString()) << "a refresh under way is not yet late";
        sendTick(*window);  // a period later, the check still waits
        EXPECT_EQ(window->itemText(CBreloDlg::kStatusLine), noAnswer);
        waitForRefresh(*window);
        EXPECT_LT(clock.elapsed(), 2800) << "the check's timeout is 2 s";
        EXPECT_EQ(window->itemText(CBreloDlg::kStatusLine), noAnswer);
        EXPECT_EQ(window->itemText(CBreloDlg::kReservedTotal), figures);

        sendTick(*window);  // waits on the lock again as the window closes
        QTest::qWait(100);
        ASSERT_TRUE(window->refresh().running());
    });
    QElapsedTimer closing;
    closing.start();
    window.reset();
    EXPECT_LT(closing.elapsed(), 1000) << "the window waited for the statement";
    lock.reset();
    settings.timeout = timeout;
    ASSERT_EQ(testing_support::ui().messages.size(), 1u)
        << testing_support::ui().messageTexts().join(u'\n').toStdString();
    EXPECT_TRUE(testing_support::ui().messages[0].text.startsWith(q("Erreur : db_exec (")));
}

// A message box runs the event loop, the timer's included, until it is answered: no tick
// refreshes meanwhile, so a link that comes and goes under the box stacks no other box.
TEST_F(SalesWindowTest, NoTickRefreshesWhileAMessageIsUp) {
    db::ConnectionSettings& settings = db::ticketingSettings();
    const unsigned port = settings.port;
    CBreloDlg window;
    int refreshesUnderTheBox = -1;
    int boxesUnderTheBox = 0;
    runWindow(window, [&] {
        checkAutoRefresh(window);
        QSignalSpy jobs(&window.refresh(), &sales::SalesRefresh::jobEnded);
        bool up = false;
        testing_support::ui().onMessage = [&](const testing_support::RecordingUi::Message&) {
            if (up) {
                ++boxesUnderTheBox;
                return;
            }
            up = true;
            const auto before = jobs.count();
            settings.port = port;  // the link back ...
            sendTick(window);
            QTest::qWait(300);
            settings.port = 1;  // ... and gone again
            sendTick(window);
            QTest::qWait(300);
            refreshesUnderTheBox = static_cast<int>(jobs.count() - before);
            up = false;
        };
        settings.port = 1;
        tick(window);
        testing_support::ui().onMessage = nullptr;
        settings.port = port;
    });
    settings.port = port;
    EXPECT_EQ(refreshesUnderTheBox, 0);
    EXPECT_EQ(boxesUnderTheBox, 0);
    EXPECT_EQ(testing_support::ui().messages.size(), 1u);
}

// The list is rebuilt at every refresh that changed something, and at every filter: the
// performance selected stays selected, and the one at the top of the view stays there.
TEST_F(SalesWindowTest, TheListKeepsItsScrollAndSelectionAcrossRefreshes) {
    std::string shows;
    for (int i = 0; i < 60; ++i)
        shows += std::string(i ? ", " : "") + "(" + std::to_string(100 + i) + ", 'Spectacle " + std::to_string(i) +
                 "', NOW() + INTERVAL " + std::to_string(i) + " HOUR, 0, 90, 'Plein')";
    testdb::exec(testdb::ticketingDb(), "INSERT INTO `shows` VALUES " + shows);
    CBreloDlg window;
    runWindow(window, [&] {
        dlg::ListView* list = window.listView(CBreloDlg::kPerformanceList);
        const auto rowOf = [&](const char* name) { return testing_support::rowWithText(list, q(name), 0); };
        const auto topName = [&] { return list->itemAt(0, 0) ? list->itemAt(0, 0)->text(0) : QString(); };
        list->setCurrentItem(list->topLevelItem(rowOf("Spectacle 30")));
        list->scrollTo(list->model()->index(rowOf("Spectacle 25"), 0), QAbstractItemView::PositionAtTop);
        ASSERT_EQ(topName(), q("Spectacle 25"));
        const int rows = list->itemCount();

        testdb::exec(testdb::ticketingDb(),
                     "INSERT INTO `shows` VALUES (99, 'Avant', NOW() - INTERVAL 1 HOUR, 0, 90, 'Plein');"
                     "UPDATE `res` SET `paid` = '1;1' WHERE `id` = 1");
        testing_support::clickButton(&window, CBreloDlg::kRefreshButton);
        waitForRefresh(window);
        ASSERT_EQ(list->itemCount(), rows + 1);
        EXPECT_EQ(topName(), q("Spectacle 25"));
        ASSERT_EQ(list->selectedRows().size(), 1);
        EXPECT_EQ(list->itemText(list->selectedRows()[0], 0), q("Spectacle 30"));

        QTest::keyClicks(window.findChild<QLineEdit*>(QStringLiteral("ctl_%1").arg(CBreloDlg::kNameFilter)),
                         q("Specta"));
        EXPECT_EQ(topName(), q("Spectacle 25"));
        EXPECT_EQ(list->itemText(list->selectedRows().value(0, -1), 0), q("Spectacle 30"));
    });
}

TEST_F(SalesWindowTest, AServerUnreachableAtStartShowsNoFiguresRatherThanZeros) {
    db::ConnectionSettings& settings = db::ticketingSettings();
    const unsigned port = settings.port;
    settings.port = 1;  // nothing listens there
    CBreloDlg window;
    runWindow(window, [&] {
        EXPECT_EQ(window.itemText(CBreloDlg::kStatusLine), q("Aucune donnée — serveur de billetterie injoignable"));
        for (int id : {CBreloDlg::kReservedTotal, CBreloDlg::kPaidTotal, CBreloDlg::kMealTotal})
            EXPECT_EQ(window.itemText(id), QString()) << id;
        auto* name = window.findChild<QLineEdit*>(QStringLiteral("ctl_%1").arg(CBreloDlg::kNameFilter));
        QTest::keyClicks(name, QStringLiteral("m"));
        EXPECT_EQ(window.itemText(CBreloDlg::kReservedTotal), QString());
        EXPECT_EQ(shownNames(window).size(), 0);
        testing_support::ui().fileAnswers.push_back(QDir::temp().filePath(QStringLiteral("brelo-never-written.csv")));
        testing_support::clickButton(&window, CBreloDlg::kExportButton);
        EXPECT_FALSE(QFile::exists(QDir::temp().filePath(QStringLiteral("brelo-never-written.csv"))));
        testing_support::ui().fileAnswers.clear();

        // The server back: the figures come with the next load.
        settings.port = port;
        testing_support::clickButton(&window, CBreloDlg::kRefreshButton);
        waitForRefresh(window);
        EXPECT_EQ(window.itemText(CBreloDlg::kStatusLine), QString());
        EXPECT_EQ(shownNames(window), (QStringList{q("Molière"), q("Mille et une nuits")}))
            << "the filter typed meanwhile";
        EXPECT_EQ(window.itemText(CBreloDlg::kReservedTotal), q("6/95.00€/15.83€"));
    });
    settings.port = port;
    ASSERT_EQ(testing_support::ui().messages.size(), 2u);
    EXPECT_TRUE(testing_support::ui().messages[0].text.startsWith(q("Erreur : mysql_real_connect : ")));
    EXPECT_EQ(testing_support::ui().messages[1].text,
              q("Aucune donnée de billetterie à exporter : le serveur n'a encore rien donné."));
}

TEST_F(SalesWindowTest, ChartsShowTheViewInForceAndFollowItsFilters) {
    testdb::exec(testdb::programmeDb(),
                 "INSERT INTO `salle` VALUES (0, 'Chapelle', 'KQ', '90 places', ''), (1, 'Grande salle', 'zod', '220 "
                 "places assises', ''),"
                 " (2, 'Sans jauge', 'ZAZ', 'selon configuration', '')");
    CBreloDlg window;
    runWindow(window, [&] {
        testing_support::clickButton(&window, CBreloDlg::kChartsButton);
        waitForRefresh(window);
        sales::ChartsWindow* charts = window.charts();
        ASSERT_NE(charts, nullptr);
        EXPECT_TRUE(charts->isVisible());
        const sales::ChartNumbers& numbers = charts->numbers();
        EXPECT_EQ(numbers.periods.size(), 8u) << "two days back to five ahead";
        ASSERT_EQ(numbers.rooms.size(), 2u);
        EXPECT_EQ(numbers.rooms[0].code, q("KQ"));
        EXPECT_EQ(numbers.rooms[1].code, q("ZOD"));
        ASSERT_EQ(numbers.fills.size(), 3u);
        EXPECT_EQ(numbers.fills[0].capacity, 90);
        EXPECT_EQ(numbers.fills[1].capacity, 220);
        EXPECT_DOUBLE_EQ(numbers.fills[2].reservedRate, 100.0 * 4 / 220);

        // The room filter in the overview: the charts keep only what the list keeps.
        auto* room = window.findChild<QLineEdit*>(QStringLiteral("ctl_%1").arg(CBreloDlg::kRoomFilter));
        QTest::keyClicks(room, QStringLiteral("kq"));
        ASSERT_EQ(charts->numbers().rooms.size(), 1u);
        EXPECT_EQ(charts->numbers().fills.size(), 1u);
        charts->redrawNow();
        int64_t drawn = 0;
        for (QChartView* view : charts->findChildren<QChartView*>()) {
            if (!view->chart()->title().startsWith(q("Places réservées"))) continue;
            for (QAbstractSeries* series : view->chart()->series()) {
                for (QBarSet* set : static_cast<QAbstractBarSeries*>(series)->barSets())
                    for (int i = 0; i < set->count(); ++i) drawn += static_cast<int64_t>(set->at(i));
            }
        }
        EXPECT_EQ(drawn, 2) << "the seats of the one KQ performance kept";

        // The programme server away: the note says so rather than blaming the room list.
        db::ConnectionSettings& programme = db::programmeSettings();
        const unsigned port = programme.port;
        programme.port = 1;  // nothing listens there
        testing_support::clickButton(&window, CBreloDlg::kRefreshButton);
        waitForRefresh(window);
        programme.port = port;
        charts->redrawNow();
        auto* note = charts->findChild<QLabel*>(QStringLiteral("charts_fill_note"));
        ASSERT_NE(note, nullptr);
        EXPECT_EQ(note->text(),
                  q("1 représentation(s) sans jauge connue : le serveur du programme, qui donne la capacité "
                    "des salles, ne répond pas."));
        window.charts()->close();
    });
    ASSERT_EQ(testing_support::ui().messages.size(), 1u)
        << testing_support::ui().messageTexts().join(u'\n').toStdString();
    EXPECT_TRUE(testing_support::ui().messages[0].text.startsWith(q("Erreur : mysql_real_connect : ")));
}

TEST_F(SalesWindowTest, ExportWritesTheListAndTotalsForASpreadsheet) {
    // A folder of this run's own: two builds' tests may run at once on one machine.
    const QTemporaryDir made;
    ASSERT_TRUE(made.isValid());
    const QString folder = made.path();
    const QString path = folder + QStringLiteral("/ventes.csv");
    CBreloDlg window;
    runWindow(window, [&] {
        // Cancelled: nothing written, nothing said.
        testing_support::clickButton(&window, CBreloDlg::kExportButton);
        EXPECT_FALSE(QFile::exists(path));

        testing_support::ui().fileAnswers.push_back(path);
        testing_support::clickButton(&window, CBreloDlg::kExportButton);
        QFile file(path);
        ASSERT_TRUE(file.open(QIODevice::ReadOnly));
        const QByteArray bytes = file.readAll();
        ASSERT_TRUE(bytes.startsWith("\xEF\xBB\xBF"));
        const QStringList lines = QString::fromUtf8(bytes.mid(3)).split(QStringLiteral("\r\n"));
        ASSERT_EQ(lines.size(), 6) << "headings, three performances, totals, and the last line end";
        EXPECT_EQ(lines[0], q("Spectacle;AAAA-MM-JJ HH:MM:SS;Salle;Places réservées;€ réservés;Moyenne réservée (€);"
                              "Places payées;€ payés;Moyenne payée (€);RS"));
        const QString when = window.listView(CBreloDlg::kPerformanceList)->itemText(0, 1);
        EXPECT_EQ(lines[1], q("Molière;%1;KQ;2;55,00;27,50;1;20,00;20,00;1").arg(when));
        EXPECT_EQ(lines[4], q("Total;;;7;110,00;15,71;2;35,00;17,50;1"));
        EXPECT_EQ(lines[5], QString());

        // A folder that cannot take it: said, and nothing half written.
        testing_support::ui().fileAnswers.push_back(folder + QStringLiteral("/absent/ventes.csv"));
        testing_support::clickButton(&window, CBreloDlg::kExportButton);
    });
    ASSERT_EQ(testing_support::ui().messages.size(), 1u);
    EXPECT_TRUE(testing_support::ui().messages[0].text.startsWith(
        q("Impossible d'écrire le fichier %1 : ").arg(QDir::toNativeSeparators(folder + q("/absent/ventes.csv")))))
        << testing_support::ui().messages[0].text.toStdString();
    EXPECT_EQ(testing_support::ui().saveTitles, QStringList(3, q("Exporter les ventes")));
}

}  // namespace

namespace {

// Two performances a day in the Kiosque (90 seats), the fullest at 84 seats.
sales::ChartNumbers performancesFrom(QDate from, QDate to) {
    sales::TicketingData data;
    int32_t id = 1;
    for (QDate day = from; day <= to; day = day.addDays(1)) {
        for (const char* time : {" 15:00:00", " 20:30:00"}) {
            data.addShow(id, q("Les Fâcheux"), day.toString(QStringLiteral("yyyy-MM-dd")) + q(time), q("Plein"));
            const int32_t seats = 10 + (id * 37) % 75;
            std::string prices = "15";
            for (int32_t s = 1; s < seats; ++s) prices += ":15";
            data.addReservation(id++, seats, prices, "", "");
        }
    }
    sales::SalesIndex index;
    index.build(data);
    const sales::AggregateFilter all{
        from.toString(q("yyyy-MM-dd 00:00:00")), to.toString(q("yyyy-MM-dd 23:59:59")), {}, {}};
    sales::RoomCapacities capacities;
    capacities.add(q("KQ"), q("90"));
    capacities.setSource(sales::RoomCapacities::Source::Read);
    return sales::chartNumbers(data, index, index.aggregate(data, all), from, to, capacities);
}

QChart* chartTitled(sales::ChartsWindow& window, const char* start) {
    for (QChartView* view : window.findChildren<QChartView*>())
        if (view->chart()->title().startsWith(q(start))) return view->chart();
    return nullptr;
}

QValueAxis* scaleOf(QChart* chart) {
    for (QAbstractAxis* axis : chart->axes())
        if (auto* v = qobject_cast<QValueAxis*>(axis); v && !qobject_cast<QCategoryAxis*>(axis)) return v;
    return nullptr;
}

TEST(SalesChartsWindow, ReadableAtItsDefaultSizeOverAWeekAMonthAndASeason) {
    struct Case {
        QDate from, to;
        const char* tab;
    };
    for (const Case& c : {Case{QDate(2026, 7, 6), QDate(2026, 7, 12), "Places par jour"},
                          Case{QDate(2026, 7, 1), QDate(2026, 7, 31), "Places par jour"},
                          Case{QDate(2026, 6, 1), QDate(2026, 9, 30), "Places par semaine"}}) {
        SCOPED_TRACE(c.from.daysTo(c.to));
        sales::ChartsWindow window;
        window.show();
        window.setNumbers(performancesFrom(c.from, c.to), q("scope"), {});
        auto* tabs = window.findChild<QTabWidget*>();
        // Each chart shown, laid out, then its period labels: as many as fit side by side.
        for (auto [title, tab] : {std::pair{"Places réservées", 0}, std::pair{"Recettes", 1}}) {
            tabs->setCurrentIndex(tab);
            QApplication::processEvents();
            window.redrawNow();
            QChart* chart = chartTitled(window, title);
            ASSERT_NE(chart, nullptr) << title;
            auto* periods = qobject_cast<QCategoryAxis*>(chart->axes(Qt::Horizontal).value(0));
            ASSERT_NE(periods, nullptr) << "one label per bar, 31 under a month";
            int widest = 0;
            for (const QString& label : periods->categoriesLabels())
                widest = std::max(widest, QFontMetrics(periods->labelsFont()).horizontalAdvance(label));
            EXPECT_LE(periods->count() * widest, chart->plotArea().width()) << title;
            EXPECT_GT(periods->count(), 0) << title;
        }
        EXPECT_EQ(tabs->tabText(0), q(c.tab));
        // The fill rates read against 100 %, their scale outside the scroll, the first on top.
        tabs->setCurrentIndex(2);
        QApplication::processEvents();
        QChart* fills = chartTitled(window, "Remplissage");
        QValueAxis* scale = scaleOf(fills);
        auto* rows = qobject_cast<QBarCategoryAxis*>(fills->axes(Qt::Vertical).value(0));
        ASSERT_TRUE(scale && rows);
        EXPECT_EQ(scale->max(), 100.0);
        const auto& rates = window.numbers().fills;
        EXPECT_TRUE(rows->max().startsWith(rates.front().label.left(10)));
        QScrollBar* scroll = window.fillScroll();
        EXPECT_EQ(scroll->isVisibleTo(&window), rates.size() > 20);
        scroll->setValue(scroll->maximum());
        EXPECT_TRUE(rows->min().startsWith(rates.back().label.left(10))) << "the last at the bottom, scrolled down";
        EXPECT_EQ(scaleOf(fills), scale);
        EXPECT_EQ(scale->max(), 100.0);
    }
}

TEST(SalesChartsWindow, EmptyChartsNotesTheSameNumbersAndClosing) {
    sales::ChartsWindow window;
    window.show();
    window.setNumbers(performancesFrom(QDate(2026, 7, 2), QDate(2026, 7, 1)), q("scope"), {});
    window.redrawNow();
    QValueAxis* seats = scaleOf(chartTitled(window, "Places réservées"));
    ASSERT_NE(seats, nullptr);
    EXPECT_EQ(seats->max(), 5.0);
    EXPECT_EQ(seats->tickCount(), 6) << "0 1 2 3 4 5, not 1 1 1 0 0 0";

    // A refresh that changed nothing keeps the charts as they are; a change redraws them.
    sales::ChartNumbers week = performancesFrom(QDate(2026, 7, 6), QDate(2026, 7, 12));
    week.withoutCapacity = 3;
    week.roomsWithoutCapacity = {q("ZAZ"), q("?")};
    window.setNumbers(week, q("scope"), {});
    window.redrawNow();
    QChart* drawn = chartTitled(window, "Places réservées");
    window.setNumbers(week, q("scope"), q("stale"));
    QTest::qWait(sales::ChartsWindow::kRedrawDelayMs * 2);
    EXPECT_EQ(chartTitled(window, "Places réservées"), drawn);
    ++week.rooms[0].reserved[2];
    window.setNumbers(week, q("scope"), {});
    QTest::qWait(sales::ChartsWindow::kRedrawDelayMs * 2);
    EXPECT_NE(chartTitled(window, "Places réservées"), drawn);

    // The note names the rooms from the numbers (the programme server away: the end-to-end test).
    EXPECT_EQ(window.findChild<QLabel*>(q("charts_fill_note"))->text(),
              q("3 représentation(s) sans jauge connue : la liste des salles du programme ne donne pas la capacité de "
                "la salle (code ZAZ, sans code)."));
    QTest::keyClick(window.findChild<QTabWidget*>(), Qt::Key_Escape);
    EXPECT_FALSE(window.isVisible());
    window.show();
    QAbstractButton* close = window.findChild<QDialogButtonBox*>()->buttons().value(0);
    EXPECT_EQ(close->text(), q("Fermer"));
    close->click();
    EXPECT_FALSE(window.isVisible());
}

}  // namespace
