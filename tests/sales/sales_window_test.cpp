#include <gtest/gtest.h>

#include <QApplication>
#include <QCheckBox>
#include <QHeaderView>
#include <QLineEdit>
#include <QTest>
#include <QTimer>
#include <QTimerEvent>

#include "platform/controls.h"
#include "platform/text_fit.h"
#include "programme/account.h"
#include "manager/login_dlg.h"
#include "sales/cbrelo_dlg.h"
#include "tests/support/modal.h"
#include "tests/support/recording_ui.h"
#include "tests/support/testdb.h"

namespace {

QString q(const char* utf8) { return QString::fromUtf8(utf8); }

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

    // Runs `checks` once the sales overview is up after a successful login, then closes it.
    static void runWindow(CBreloDlg& window, std::function<void()> checks) {
        testing_support::onNextModal([](QDialog* box) {
            testing_support::typeInto(box, login::kNameEdit, QStringLiteral("Demo"));
            testing_support::typeInto(box, login::kPasswordEdit, QStringLiteral("brelo"));
            testing_support::clickButton(box, platform::IDOK);
        });
        testing_support::runModal(window, std::move(checks));
    }

    static QStringList shownNames(CBreloDlg& window) {
        QStringList names;
        dlg::ListView* list = window.listView(CBreloDlg::kPerformanceList);
        for (int row = 0; row < list->itemCount(); ++row) names << list->itemText(row, 0);
        return names;
    }

    static void tick(CBreloDlg& window) {
        auto* timer = window.findChild<QTimer*>(QStringLiteral("timer_%1").arg(CBreloDlg::kRefreshTimer));
        ASSERT_NE(timer, nullptr);
        QTimerEvent event(timer->timerId());
        QCoreApplication::sendEvent(timer, &event);
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
        const QStringList headings{q("Spectacle"), q("AAAA-MM-JJ HH:MM:SS"), q("Salle"),
                                   q("Places réservées/€/Moyenne"), q("Places payées/€/Moyenne"), q("RS")};
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

        auto* box = window.findChild<QCheckBox*>(QStringLiteral("ctl_%1").arg(CBreloDlg::kAutoRefreshBox));
        box->click();
        ASSERT_TRUE(window.isChecked(CBreloDlg::kAutoRefreshBox));
        before = serverConnections();
        tick(window);
        EXPECT_EQ(serverConnections(), before + 2);
        EXPECT_EQ(window.itemText(CBreloDlg::kReservedTotal), q("9/140.00€/15.56€"));

        box->click();
        testdb::exec(testdb::ticketingDb(), "DELETE FROM `res` WHERE `id` = 4");
        before = serverConnections();
        tick(window);
        EXPECT_EQ(serverConnections(), before + 1);
        EXPECT_EQ(window.itemText(CBreloDlg::kReservedTotal), q("9/140.00€/15.56€"));
        EXPECT_TRUE(timer->isActive());

        // "Mettre à jour" reads whatever the box says.
        testing_support::clickButton(&window, CBreloDlg::kRefreshButton);
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

}  // namespace
