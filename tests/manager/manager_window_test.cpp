#include <gtest/gtest.h>

#include <algorithm>

#include <QApplication>
#include <QPushButton>
#include <QTemporaryDir>
#include <QTest>
#include <QTimer>

#include "db/connections.h"
#include "dialog/controls.h"
#include "dialog/text_fit.h"
#include "manager/manager_dlg.h"
#include "manager/manager_lists.h"
#include "planning/planning_draw.h"
#include "programme/account.h"
#include "programme/programme_data.h"
#include "tests/support/empty_programme.h"
#include "tests/support/fake_dialogs.h"
#include "tests/support/manager_fixture.h"
#include "tests/support/modal.h"
#include "tests/support/recording_ui.h"
#include "tests/support/sql.h"
#include "tests/support/testdb.h"

namespace {

class ManagerWindowTest : public testing_support::ManagerTest {
protected:
    std::string startingData() const override {
        // This source is UTF-8; the server converts it to the tables' Latin-1.
        return "SET NAMES utf8mb4;"
               "INSERT INTO `comp` (`id`, `nom`, `deleted`) VALUES (0, '<aucune>', 0), (1, 'Zèbre Théâtre', 0),"
               " (2, 'Alpha Cie', 0), (3, 'Mouette', 0), (4, 'Effacée', 1);"
               "INSERT INTO `showname` VALUES (0, '<aucun>', 0, 0), (1, 'Le Saut', 1, 0), (2, 'La Vague', 2, 0),"
               " (3, 'Nuit', 3, 0);"
               "INSERT INTO `salle` VALUES (10, 'Rouge', 'R', '100', 'la salle rouge'),"
               " (20, 'Verte', 'V', '80', 'la salle verte'), (30, 'Bleue', 'B', '50', 'la salle bleue');"
               "INSERT INTO `timeslot` (`id`, `date`, `start`, `end`, `deleted`, `showname`, `childof`, `room`)"
               " VALUES (1, '2019-07-05', '20:30:00', '22:00:00', 0, 1, -1, 10),"
               " (2, '2019-07-06', '20:30:00', '22:00:00', 1, 1, 1, 10),"
               " (3, '2019-07-07', '20:30:00', '22:00:00', 0, 1, 1, 10),"
               " (4, '2019-07-10', '09:05:00', '10:00:00', 0, 2, -1, 20),"
               " (5, '2019-07-11', '18:00:00', '19:00:00', 1, 3, -1, 30);"
               "INSERT INTO `contract` (`id`, `ts`, `created`, `deleted`) VALUES"
               " (0, 4, '2019-05-01 10:00:00', 0), (1, 99, '2019-05-02 10:00:00', 0),"
               " (2, 1, '2019-05-03 10:00:00', 1);";
    }

    // Runs `checks` once the manager is up, then closes it.
    static void runWindow(manager& window, std::function<void()> checks) {
        testing_support::runModal(window, std::move(checks));
    }

    static QStringList column(manager& window, int list, int col) {
        QStringList texts;
        dlg::ListView* view = window.listView(list);
        for (int row = 0; row < view->itemCount(); ++row) texts << view->itemText(row, col);
        return texts;
    }
    static QList<qint64> itemData(manager& window, int list) {
        QList<qint64> data;
        dlg::ListView* view = window.listView(list);
        for (int row = 0; row < view->itemCount(); ++row) data << view->itemData(row);
        return data;
    }
    static QStringList selectedNames(manager& window, int list, int col) {
        QStringList names;
        dlg::ListView* view = window.listView(list);
        for (int row : view->selectedRows()) names << view->itemText(row, col);
        return names;
    }
    static int rowWithText(manager& window, int list, const QString& text, int col = 1) {
        return column(window, list, col).indexOf(text);
    }
};

TEST_F(ManagerWindowTest, ListsAreFilledFromTheRecords) {
    manager window;
    runWindow(window, [&] {
        EXPECT_EQ(window.windowTitle(), q("Manager 1.004 (Demo)"));
        // Read in descending order and inserted at the top: ascending, the deleted one left out.
        EXPECT_EQ(column(window, manager::kCompanyList, 1),
                  QStringList({q("<aucune>"), q("Alpha Cie"), q("Mouette"), q("Zèbre Théâtre")}));
        // Item data is the record index: the records are Zèbre, Mouette, Effacée, Alpha, <aucune>.
        EXPECT_EQ(itemData(window, manager::kCompanyList), QList<qint64>({4, 3, 1, 0}));
        EXPECT_EQ(column(window, manager::kShowList, 1),
                  QStringList({q("<aucun>"), q("La Vague"), q("Le Saut"), q("Nuit")}));
        EXPECT_EQ(column(window, manager::kRoomList, 1), QStringList({q("Rouge"), q("Verte"), q("Bleue")}));

        // Group heads only; "Nb crén." counts the live slots (the deleted child is left out).
        EXPECT_EQ(column(window, manager::kTimeslotList, 0), QStringList({q("1"), q("4")}));
        EXPECT_EQ(column(window, manager::kTimeslotList, 1), QStringList({q("Rouge"), q("Verte")}));
        EXPECT_EQ(column(window, manager::kTimeslotList, 2), QStringList({q("Le Saut"), q("La Vague")}));
        EXPECT_EQ(column(window, manager::kTimeslotList, 3), QStringList({q("2"), q("1")}));
        EXPECT_EQ(column(window, manager::kTimeslotList, 4),
                  QStringList({q("Vendredi 05 Juillet 2019 à 20:30"), q("Mercredi 10 Juillet 2019 à  9:05")}));
        EXPECT_EQ(itemData(window, manager::kTimeslotList), QList<qint64>({0, 3}));

        // Newest first; the contract of an unknown timeslot has no show.
        EXPECT_EQ(column(window, manager::kContractList, 0), QStringList({q("1"), q("0")}));
        EXPECT_EQ(column(window, manager::kContractList, 1), QStringList({QString(), q("La Vague")}));
        EXPECT_EQ(column(window, manager::kContractList, 2), QStringList({q("99"), q("4")}));

        auto* header = window.listView(manager::kTimeslotList)->headerItem();
        EXPECT_EQ(header->text(3), q("Nb crén."));
        EXPECT_EQ(window.listView(manager::kTimeslotList)->columnWidth(4), 200);
        EXPECT_EQ(window.listView(manager::kContractList)->headerItem()->text(2), q("1er crén."));

        for (int id :
             {manager::kDeleteCompany, manager::kDeleteShow, manager::kDeleteTimeslotGroup, manager::kDeleteContract})
            EXPECT_FALSE(enabled(window, id)) << id;
        EXPECT_FALSE(db::programmeConnected());

        // Under the `refill hold` (an add dialog open) the loads read every table but spare the
        // company, show and group lists; rooms and contracts are refilled. Nested holds count.
        testdb::exec(testdb::programmeDb(),
                     "DELETE FROM `comp` WHERE `id` = 3; DELETE FROM `salle` WHERE `id` = 30;"
                     " DELETE FROM `contract` WHERE `id` = 1");
        {
            RecordLists::RefillHold hold(window.lists());
            RecordLists::RefillHold nested(window.lists());
            EXPECT_EQ(window.lists().refillHold(), 2);
            EXPECT_EQ(window.reloadAll(), 0);
        }
        EXPECT_EQ(window.lists().refillHold(), 0);
        EXPECT_EQ(programme::companies().size(), 4u);  // the records themselves were read again
        EXPECT_EQ(column(window, manager::kCompanyList, 1),
                  QStringList({q("<aucune>"), q("Alpha Cie"), q("Mouette"), q("Zèbre Théâtre")}));
        EXPECT_EQ(column(window, manager::kTimeslotList, 0), QStringList({q("1"), q("4")}));
        EXPECT_EQ(column(window, manager::kRoomList, 1), QStringList({q("Rouge"), q("Verte")}));
        EXPECT_EQ(column(window, manager::kContractList, 0), QStringList({q("0")}));
        window.reloadAll();
        EXPECT_EQ(column(window, manager::kCompanyList, 1),
                  QStringList({q("<aucune>"), q("Alpha Cie"), q("Zèbre Théâtre")}));
    });
    EXPECT_TRUE(testing_support::ui().messages.empty())
        << testing_support::ui().messageTexts().join("\n").toStdString();
}

TEST_F(ManagerWindowTest, PlaceholderRowsKeepTheirDeleteButtonDisabled) {
    manager window;
    runWindow(window, [&] {
        dlg::ListView* companies = window.listView(manager::kCompanyList);
        companies->setSelected(rowWithText(window, manager::kCompanyList, q("<aucune>")), true);
        EXPECT_FALSE(enabled(window, manager::kDeleteCompany));
        companies->setSelected(rowWithText(window, manager::kCompanyList, q("Mouette")), true);
        EXPECT_TRUE(enabled(window, manager::kDeleteCompany));

        // The show "-" follows the same rule; it is updated with the company list's changes,
        // and selecting a show selects its company.
        dlg::ListView* shows = window.listView(manager::kShowList);
        shows->setSelected(rowWithText(window, manager::kShowList, q("<aucun>")), true);
        EXPECT_EQ(selectedNames(window, manager::kCompanyList, 1), QStringList({q("<aucune>")}));
        EXPECT_FALSE(enabled(window, manager::kDeleteShow));
        EXPECT_FALSE(enabled(window, manager::kDeleteCompany));
        shows->setSelected(rowWithText(window, manager::kShowList, q("Nuit")), true);
        EXPECT_EQ(selectedNames(window, manager::kCompanyList, 1), QStringList({q("Mouette")}));
        EXPECT_TRUE(enabled(window, manager::kDeleteShow));
        // Nothing cascades downwards.
        companies->setSelected(rowWithText(window, manager::kCompanyList, q("Alpha Cie")), true);
        EXPECT_EQ(selectedNames(window, manager::kShowList, 1), QStringList({q("Nuit")}));
    });
}

TEST_F(ManagerWindowTest, AContractSelectsItsGroupShowAndCompany) {
    manager window;
    runWindow(window, [&] {
        window.listView(manager::kContractList)
            ->setSelected(rowWithText(window, manager::kContractList, q("4"), 2), true);
        EXPECT_EQ(selectedNames(window, manager::kTimeslotList, 0), QStringList({q("4")}));
        EXPECT_EQ(window.listView(manager::kTimeslotList)->selectionMark(), 1);
        EXPECT_EQ(selectedNames(window, manager::kShowList, 1), QStringList({q("La Vague")}));
        EXPECT_EQ(selectedNames(window, manager::kCompanyList, 1), QStringList({q("Alpha Cie")}));
        EXPECT_TRUE(enabled(window, manager::kDeleteContract));
        EXPECT_TRUE(enabled(window, manager::kDeleteCompany));
    });
}

TEST_F(ManagerWindowTest, AContractOfAnUnknownTimeslotChangesNoOtherList) {
    manager window;
    runWindow(window, [&] {
        window.listView(manager::kContractList)
            ->setSelected(rowWithText(window, manager::kContractList, q("99"), 2), true);
        EXPECT_TRUE(selectedNames(window, manager::kTimeslotList, 0).isEmpty());
        EXPECT_TRUE(selectedNames(window, manager::kShowList, 1).isEmpty());
        EXPECT_TRUE(selectedNames(window, manager::kCompanyList, 1).isEmpty());
        EXPECT_TRUE(enabled(window, manager::kDeleteContract));
        EXPECT_FALSE(enabled(window, manager::kDeleteTimeslotGroup));
    });
}

TEST_F(ManagerWindowTest, EachOpeningWritesOneAuditLine) {
    for (int opening = 1; opening <= 2; ++opening) {
        manager window;
        runWindow(window, [] {});
        const auto rows = testdb::query(testdb::programmeDb(),
                                        "SELECT `log`, TIMESTAMPDIFF(SECOND, `utc`, UTC_TIMESTAMP()) FROM `logs`");
        ASSERT_EQ(rows.size(), static_cast<std::size_t>(opening));
        EXPECT_EQ(rows.back()[0], "Demo : manager started");
        EXPECT_LE(std::abs(std::stoi(rows.back()[1])), 5);
        EXPECT_FALSE(db::programmeConnected());
    }
}

TEST_F(ManagerWindowTest, WithoutTheDatabaseTheWindowStillOpensWithEmptyLists) {
    const auto saved = db::programmeSettings();
    db::programmeSettings().port = 1;
    manager window;
    runWindow(window, [&] {
        EXPECT_EQ(window.listView(manager::kCompanyList)->itemCount(), 0);
        EXPECT_EQ(window.listView(manager::kTimeslotList)->itemCount(), 0);
    });
    db::programmeSettings() = saved;
    // The load's connection at the start, once: the audit line goes on that connection, after
    // the tables, and is not tried without it.
    const QStringList texts = testing_support::ui().messageTexts();
    ASSERT_EQ(texts.size(), 1);
    EXPECT_TRUE(texts[0].startsWith(q("Erreur : mysql_real_connect : ")));
}

TEST_F(ManagerWindowTest, DateRangeStartsNowForNinetyDaysAndOdoSetsJuly2019) {
    const platform::DateTime before = platform::DateTime::now();
    manager window;
    runWindow(window, [&] {
        EXPECT_NEAR(window.planningPane().dateFrom().days(), before.days(), 5.0 / 86400);
        EXPECT_NEAR(window.planningPane().dateTo().days() - window.planningPane().dateFrom().days(), 90.0, 1e-6);
        EXPECT_EQ(window.datePicker(manager::kDateTo)->date(), QDate::currentDate().addDays(90));
        qobject_cast<QPushButton*>(window.item(manager::kOdo2019))->click();
        EXPECT_EQ(window.datePicker(manager::kDateFrom)->dateTime(), QDateTime(QDate(2019, 7, 1), QTime(0, 0)));
        EXPECT_EQ(window.datePicker(manager::kDateTo)->dateTime(), QDateTime(QDate(2019, 7, 31), QTime(0, 0)));
        EXPECT_EQ(window.planningPane().dateFrom(), platform::DateTime::fromParts(2019, 7, 1));
        EXPECT_EQ(window.planningPane().dateTo(), platform::DateTime::fromParts(2019, 7, 31));
        window.datePicker(manager::kDateTo)->setDate(QDate(2019, 7, 20));
        EXPECT_EQ(window.planningPane().dateTo(), platform::DateTime::fromParts(2019, 7, 20));
    });
}

TEST_F(ManagerWindowTest, ResizingGrowsThePlanningBothWaysAndTheStripInWidthOnly) {
    manager window;
    runWindow(window, [&] {
        const QRect planning = window.item(manager::kPlanningArea)->geometry();
        const QRect strip = window.item(manager::kDetailStrip)->geometry();
        const QRect companies = window.item(manager::kCompanyList)->geometry();
        const QRect rooms = window.item(manager::kRoomList)->geometry();
        window.resize(window.width() + 120, window.height() + 70);
        QApplication::processEvents();
        EXPECT_EQ(window.item(manager::kPlanningArea)->geometry(), planning.adjusted(0, 0, 120, 70));
        EXPECT_EQ(window.item(manager::kDetailStrip)->geometry(), strip.adjusted(0, 0, 120, 0));
        EXPECT_EQ(window.item(manager::kCompanyList)->geometry(), companies);
        EXPECT_EQ(window.item(manager::kRoomList)->geometry(), rooms);
        window.resize(window.width() - 220, window.height() - 170);
        QApplication::processEvents();
        EXPECT_EQ(window.item(manager::kPlanningArea)->geometry(), planning.adjusted(0, 0, -100, -100));
    });
}

TEST_F(ManagerWindowTest, PlanningClickHoverAndRoomFilter) {
    testing_support::FakeDialogs dialogs;
    dialogs.editorAnswer = platform::IDCANCEL;
    manager window(dialogs);
    runWindow(window, [&] {
        qobject_cast<QPushButton*>(window.item(manager::kOdo2019))->click();
        QWidget* area = window.item(manager::kPlanningArea);
        area->grab();  // paints, which fills the hit list
        // Visible in July 2019: the head 1, its child 3 (the deleted child is not), the head 4.
        auto& hits = window.planningPane().hitList();
        ASSERT_EQ(hits.size(), 3u);
        EXPECT_EQ(hits[1].groupId, 1);
        const int rowHeight = area->height() / 3;
        const QPoint onChild(area->width() / 2, rowHeight + rowHeight / 2);
        const QPoint onFour(area->width() / 2, 2 * rowHeight + rowHeight / 2);

        QTest::mouseClick(area, Qt::LeftButton, {}, onChild);
        EXPECT_EQ(selectedNames(window, manager::kTimeslotList, 0), QStringList({q("1")}));
        EXPECT_EQ(selectedNames(window, manager::kShowList, 1), QStringList({q("Le Saut")}));
        EXPECT_TRUE(dialogs.editorGiven.empty());
        QTest::mouseDClick(area, Qt::LeftButton, {}, onFour);
        EXPECT_EQ(selectedNames(window, manager::kTimeslotList, 0), QStringList({q("4")}));
        // The group of row 1, group 4 of "La Vague", opened in the editor.
        ASSERT_EQ(dialogs.editorGiven.size(), 1u);
        EXPECT_EQ(dialogs.editorGiven[0].showId, 2);

        // Hover: the record index of the group head under the mouse, -1 outside.
        window.planningPane().hoverAt(onChild);
        EXPECT_EQ(window.planningPane().hoveredTimeslot(), 0);
        window.planningPane().hoverAt(onFour);
        EXPECT_EQ(window.planningPane().hoveredTimeslot(), 3);
        // The tip under the mouse gives the row's texts whole.
        EXPECT_EQ(area->toolTip(),
                  q("La Vague (Alpha Cie)\nMercredi 10 Juillet 2019 à 9:05, Verte\nPas de surveillance"));
        window.planningPane().hoverAt(QPoint(-1, 5));
        EXPECT_EQ(window.planningPane().hoveredTimeslot(), -1);
        EXPECT_EQ(area->toolTip(), QString());
        auto* timer = window.findChild<QTimer*>(QStringLiteral("timer_%1").arg(PlanningPane::kHoverTimer));
        ASSERT_NE(timer, nullptr);
        EXPECT_EQ(timer->interval(), 50);
        EXPECT_TRUE(timer->isActive());

        // The room "Verte" (id 20, the second room record) keeps only the group 4.
        window.listView(manager::kRoomList)->setSelected(rowWithText(window, manager::kRoomList, q("Verte")), true);
        area->grab();
        ASSERT_EQ(hits.size(), 1u);
        EXPECT_EQ(hits[0].groupId, 4);
        EXPECT_EQ(hits[0].top, 2);

        // The calendar: the same filter, entries with their columns.
        qobject_cast<QPushButton*>(window.item(manager::kCalendar))->click();
        area->grab();
        ASSERT_EQ(hits.size(), 1u);
        EXPECT_GT(hits[0].right, hits[0].left);
        window.listView(manager::kRoomList)->setSelected(rowWithText(window, manager::kRoomList, q("Verte")), false);
        area->grab();
        ASSERT_EQ(hits.size(), 3u);
        const QPoint inEntry((hits[2].left + hits[2].right) / 2, (hits[2].top + hits[2].bottom) / 2);
        QTest::mouseClick(area, Qt::LeftButton, {}, inEntry);
        EXPECT_EQ(selectedNames(window, manager::kTimeslotList, 0), QStringList({q("4")}));
        // Outside any entry's columns nothing is found in the calendar.
        window.planningPane().hoverAt(QPoint(hits[2].right + 2, inEntry.y()));
        EXPECT_EQ(window.planningPane().hoveredTimeslot(), -1);
    });
}

TEST_F(ManagerWindowTest, AFullTimelineScrollsToItsSelectionAndAFullDayOpensFromItsPlusN) {
    // Forty more slots of the group 1 on 7 July, and a group 100 at the end of the month.
    std::string sql =
        "INSERT INTO `timeslot` (`id`, `date`, `start`, `end`, `deleted`, `showname`, `childof`, `room`) VALUES ";
    for (int id = 10; id < 50; ++id)
        sql += "(" + std::to_string(id) + ", '2019-07-07', '21:00:00', '22:00:00', 0, 1, 1, 10),";
    sql += "(100, '2019-07-30', '21:00:00', '22:00:00', 0, 2, -1, 20)";
    testdb::exec(testdb::programmeDb(), sql);
    testing_support::FakeDialogs dialogs;
    dialogs.editorAnswer = platform::IDCANCEL;
    manager window(dialogs);
    runWindow(window, [&] {
        qobject_cast<QPushButton*>(window.item(manager::kOdo2019))->click();
        auto* area = qobject_cast<dlg::OwnerDrawButton*>(window.item(manager::kPlanningArea));
        area->grab();
        area->grab();  // the second paint lays the rows out beside the scroll bar
        EXPECT_EQ(area->contentHeight(), 44 * planning::kMinRowHeight);
        EXPECT_EQ(area->scrollOffset(), 0);
        auto& hits = window.planningPane().hitList();
        ASSERT_FALSE(hits.empty());
        EXPECT_EQ(hits[0].bottom - hits[0].top, planning::kMinRowHeight - 4);

        // Selecting the last group scrolls its row into view, where a click finds it.
        window.listView(manager::kTimeslotList)
            ->setSelected(rowWithText(window, manager::kTimeslotList, q("100"), 0), true);
        EXPECT_GT(area->scrollOffset(), 0);
        area->grab();
        ASSERT_EQ(hits.back().groupId, 100);
        window.planningPane().hoverAt(QPoint(area->width() / 3, (hits.back().top + hits.back().bottom) / 2));
        EXPECT_EQ(programme::timeslots().at(static_cast<std::size_t>(window.planningPane().hoveredTimeslot())).id,
                  q("100"));

        // The calendar: 7 July cannot show its 41 slots; its "+N" opens that day as a timeline.
        qobject_cast<QPushButton*>(window.item(manager::kCalendar))->click();
        area->grab();
        const auto& more = window.planningPane().moreList();
        ASSERT_EQ(more.size(), 1u);
        EXPECT_EQ(more[0].day, platform::DateTime::fromParts(2019, 7, 7));
        // 7 July is in the first week: what its column shows below its label is its own.
        const int shown = static_cast<int>(std::count_if(hits.begin(), hits.end(), [&](const planning::HitEntry& h) {
            return h.right == more[0].rect.right && h.top >= more[0].rect.bottom && h.top < 2 * area->height() / 6;
        }));
        EXPECT_EQ(more[0].count + shown, 41);
        const planning::Rect band = more[0].rect;
        QTest::mouseDClick(area, Qt::LeftButton, {},
                           QPoint((band.left + band.right) / 2, (band.top + band.bottom) / 2));
        EXPECT_FALSE(window.isChecked(manager::kCalendar));
        EXPECT_EQ(window.planningPane().dateFrom(), platform::DateTime::fromParts(2019, 7, 7));
        EXPECT_TRUE(dialogs.editorGiven.empty());
        area->grab();
        area->grab();
        EXPECT_EQ(area->contentHeight(), 41 * planning::kMinRowHeight);
    });
}

}  // namespace

namespace {

TEST_F(ManagerWindowTest, TheKeyboardWalksThePlanningEditsAndDeletesAsTheMouseAndButtonsDo) {
    testing_support::FakeDialogs dialogs;
    dialogs.editorAnswer = platform::IDCANCEL;
    manager window(dialogs);
    runWindow(window, [&] {
        // Every text and column heading of the window shows whole.
        const auto cut = dlg::cutTexts(&window);
        EXPECT_TRUE(cut.empty()) << cut.size() << (cut.empty() ? "" : cut[0].text.toStdString());

        qobject_cast<QPushButton*>(window.item(manager::kOdo2019))->click();
        QWidget* area = window.item(manager::kPlanningArea);
        EXPECT_EQ(area->focusPolicy(), Qt::StrongFocus);
        EXPECT_EQ(window.item(manager::kDetailStrip)->focusPolicy(), Qt::NoFocus);
        window.activateWindow();
        ASSERT_TRUE(QTest::qWaitForWindowActive(&window));
        window.item(manager::kOdo2019)->setFocus();
        QTest::keyClick(QApplication::focusWidget(), Qt::Key_Tab);
        EXPECT_EQ(QApplication::focusWidget(), area) << "Tab goes from the last button into the planning";

        struct Step {
            Qt::Key key;
            const char* selected;  // the group selected afterwards
        };
        const Step steps[] = {{Qt::Key_Down, "1"}, {Qt::Key_Down, "4"}, {Qt::Key_Down, "4"},  {Qt::Key_Up, "1"},
                              {Qt::Key_End, "4"},  {Qt::Key_Home, "1"}, {Qt::Key_Right, "4"}, {Qt::Key_Left, "1"}};
        for (const Step& s : steps) {
            QTest::keyClick(area, s.key);
            EXPECT_EQ(selectedNames(window, manager::kTimeslotList, 0), QStringList({q(s.selected)})) << s.key;
        }
        EXPECT_EQ(selectedNames(window, manager::kShowList, 1), QStringList({q("Le Saut")}));  // the links follow
        EXPECT_EQ(QApplication::focusWidget(), area);

        // Enter: the group's editor, as a double-click opens it.
        QTest::keyClick(area, Qt::Key_Return);
        // The group of row 0, group 1 of "Le Saut", opened in the editor.
        ASSERT_EQ(dialogs.editorGiven.size(), 1u);
        EXPECT_EQ(dialogs.editorGiven[0].showId, 1);
        // Escape is still the window's.
        EXPECT_TRUE(window.isVisible());

        // Delete: the group's "-" button, whose handler asks first, then deletes the group.
        auto& ui = testing_support::ui();
        ui.clear();
        ui.answers = {platform::IDNO};
        QTest::keyClick(area, Qt::Key_Delete);
        ASSERT_EQ(ui.messages.size(), 1u);
        EXPECT_EQ(ui.messages[0].icon, platform::MessageIcon::Question);
        EXPECT_EQ(column(window, manager::kTimeslotList, 0), QStringList({q("1"), q("4")}));
        QTest::keyClick(area, Qt::Key_Delete);
        EXPECT_EQ(ui.messages.size(), 2u);
        EXPECT_EQ(column(window, manager::kTimeslotList, 0), QStringList({q("4")}));
        EXPECT_EQ(testdb::query(testdb::programmeDb(), "SELECT `deleted` FROM `timeslot` WHERE `id` = 1"),
                  std::vector<testdb::Row>({{"1"}}));
        // Nothing selected: Enter and Delete do nothing.
        QTest::keyClick(area, Qt::Key_Return);
        QTest::keyClick(area, Qt::Key_Delete);
        EXPECT_EQ(dialogs.editorGiven.size(), 1u);
        EXPECT_EQ(column(window, manager::kTimeslotList, 0), QStringList({q("4")}));
    });
}

// Answers the "Imprimer" choice with a document and a destination.
void choosePrint(const char* document, const char* destination, bool accept = true) {
    testing_support::onNextModal([=](QDialog* dialog) {
        auto* what = dialog->findChild<QAbstractButton*>(QString::fromUtf8(document));
        auto* where = dialog->findChild<QAbstractButton*>(QString::fromUtf8(destination));
        ASSERT_NE(what, nullptr);
        ASSERT_NE(where, nullptr);
        what->click();
        where->click();
        if (accept)
            dialog->accept();
        else
            dialog->reject();
    });
}

TEST_F(ManagerWindowTest, PrintWritesTheRangesPlanningAsPdfAndItsReportAsCsv) {
    QTemporaryDir dir;
    auto& ui = testing_support::ui();
    testing_support::FakeDialogs dialogs;
    dialogs.editorAnswer = platform::IDCANCEL;
    manager window(dialogs);
    runWindow(window, [&] {
        qobject_cast<QPushButton*>(window.item(manager::kOdo2019))->click();
        auto* print = qobject_cast<QPushButton*>(window.item(manager::kPrint));
        ASSERT_NE(print, nullptr);
        EXPECT_EQ(print->text(), q("Imprimer…"));

        const QString csv = dir.filePath(q("suivi.csv"));
        ui.fileAnswers = {csv};
        choosePrint("print_report", "print_csv");
        print->click();
        QFile file(csv);
        ASSERT_TRUE(file.open(QIODevice::ReadOnly));
        const QByteArray bytes = file.readAll();
        EXPECT_TRUE(
            bytes.startsWith("\xEF\xBB\xBF"
                             "Date;Jour;Heure;Salle;Spectacle;Compagnie;Cr\xC3\xA9neaux;En retard;"
                             "Ce qui est en retard;Suivi\r\n"));
        const QStringList lines = QString::fromUtf8(bytes.mid(3)).split(q("\r\n"), Qt::SkipEmptyParts);
        ASSERT_EQ(lines.size(), 3);  // the groups 1 and 4 of July 2019
        EXPECT_TRUE(lines[1].startsWith(q("2019-07-05;Vendredi 05 Juillet 2019;20:30;Rouge;Le Saut;Zèbre Théâtre;2;")))
            << lines[1].toStdString();
        EXPECT_EQ(ui.saveTitles, QStringList({q("Enregistrer le suivi pour un tableur")}));

        // The choice is remembered: the next "Imprimer…" opens on the report and the CSV file.
        testing_support::onNextModal([](QDialog* dialog) {
            for (const char* name : {"print_report", "print_csv"}) {
                auto* button = dialog->findChild<QAbstractButton*>(QString::fromUtf8(name));
                ASSERT_NE(button, nullptr);
                EXPECT_TRUE(button->isChecked()) << name;
            }
            dialog->reject();
        });
        print->click();

        // The CSV is for the report alone: choosing it then the timeline writes a PDF.
        const QString pdf = dir.filePath(q("planning.pdf"));
        ui.fileAnswers = {pdf};
        choosePrint("print_timeline", "print_pdf");
        print->click();
        QFile written(pdf);
        ASSERT_TRUE(written.open(QIODevice::ReadOnly));
        EXPECT_EQ(written.read(5), QByteArray("%PDF-"));

        // A file that cannot be written says so; a cancelled chooser or choice writes nothing.
        const QString nowhere = dir.filePath(q("absent/planning.pdf"));
        ui.fileAnswers = {nowhere};
        choosePrint("print_calendar", "print_pdf");
        print->click();
        ASSERT_EQ(ui.messages.size(), 1u);
        EXPECT_TRUE(ui.messages[0].text.startsWith(q("Impossible d'écrire le fichier ")))
            << ui.messages[0].text.toStdString();
        ui.fileAnswers.clear();
        choosePrint("print_report", "print_pdf");
        print->click();
        choosePrint("print_report", "print_pdf", false);
        print->click();
        EXPECT_EQ(ui.messages.size(), 1u);
        EXPECT_EQ(ui.saveTitles.size(), 4);
        EXPECT_FALSE(QFile::exists(dir.filePath(q("suivi-2019-07-01.pdf"))));
    });
}

}  // namespace
