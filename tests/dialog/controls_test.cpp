// The parts of the controls and the dialog framework that behave as their Windows
// counterparts do: owner-drawn buttons click on release, drop-down lists keep a field's
// height, date pickers read their template's flags, a maximise box without sizing border.
#include <gtest/gtest-spi.h>
#include <gtest/gtest.h>

#include <QComboBox>
#include <QSignalSpy>
#include <QTest>

#include "dialog/controls.h"
#include "dialog/dialog.h"
#include "resources/dialogs.h"
#include "tests/support/modal.h"

namespace {

TEST(OwnerDrawButton, ClicksOnReleaseInsideAfterAPressInside) {
    dlg::OwnerDrawButton button;
    button.resize(100, 50);
    QSignalSpy clicks(&button, &dlg::OwnerDrawButton::clicked);
    struct Case {
        QPoint press;
        QPoint release;
        int clicks;
    };
    const Case cases[] = {
        {{10, 10}, {20, 20}, 1},   // released inside
        {{10, 10}, {150, 20}, 0},  // dragged out before release
        {{10, 10}, {10, 10}, 1},
    };
    for (const Case& c : cases) {
        clicks.clear();
        QTest::mousePress(&button, Qt::LeftButton, {}, c.press);
        EXPECT_EQ(clicks.count(), 0) << "a press alone never clicks";
        QTest::mouseRelease(&button, Qt::LeftButton, {}, c.release);
        EXPECT_EQ(clicks.count(), c.clicks) << c.release.x();
        EXPECT_EQ(button.lastPress, c.press);
    }
    // A release without a press (the press happened elsewhere) does not click.
    clicks.clear();
    QTest::mouseRelease(&button, Qt::LeftButton, {}, QPoint(5, 5));
    EXPECT_EQ(clicks.count(), 0);
}

class Probe : public dlg::Dialog {
public:
    explicit Probe(const res::DialogTemplate& t) : dlg::Dialog(t) {}

protected:
    bool OnInitDialog() override {
        EndDialog(platform::IDOK);  // built, not shown
        return true;
    }
};

// A row finds its record by the index it carries only while that record shows the row's id;
// records reloaded under the list move, and the row's id then finds the record.
TEST(ListRows, ARowFindsTheRecordOfTheIdItShows) {
    struct Record {
        QString id;
    };
    const std::vector<Record> records{
        {QStringLiteral("3")}, {QStringLiteral("9")}, {QStringLiteral("7")}, {QStringLiteral("7")}};
    dlg::ListView list;
    list.insertColumn(0, QStringLiteral("Id"), 50);
    const struct {
        const char* shownId;
        qint64 carried;
        int found;
    } cases[] = {
        {"9", 1, 1},   // the index still holds the record
        {"7", 3, 3},   // the second of two records with that id, as carried
        {"7", 0, 2},   // moved: the first record with the id
        {"9", 42, 1},  // an index past the records
        {"5", 1, -1},  // no record has the id any more
    };
    for (const auto& c : cases) {
        list.deleteAllItems();
        list.insertRows(0, {{c.carried, {QString::fromUtf8(c.shownId)}}});
        EXPECT_EQ(dlg::recordIndexOfRow(&list, 0, records), c.found) << c.shownId << " carried at " << c.carried;
    }
    EXPECT_EQ(dlg::recordIndexOfRow(&list, 1, records), -1);  // no such row
}

// The selection is read from its ranges: rows selected one by one, in runs, then moved by a
// row taken out above them, as each item's own state says.
TEST(ListRows, TheSelectedRowsAreThoseEachItemSaysItIs) {
    for (const bool single : {false, true}) {
        SCOPED_TRACE(single ? "single selection" : "extended selection");
        dlg::ListView list(nullptr, single);
        list.insertColumn(0, QStringLiteral("Id"), 50);
        std::vector<dlg::ListView::Row> rows;
        for (int i = 0; i < 10; ++i) rows.push_back({i, {QString::number(i)}});
        list.insertRows(0, rows);
        const auto eachItem = [&list] {
            QList<int> selected;
            for (int row = 0; row < list.itemCount(); ++row)
                if (list.topLevelItem(row)->isSelected()) selected << row;
            return selected;
        };
        const auto walked = [&list] {
            QList<int> selected;
            for (int row = list.nextSelected(); row >= 0; row = list.nextSelected(row)) selected << row;
            return selected;
        };
        EXPECT_EQ(list.nextSelected(), -1);
        for (int row : {2, 5, 6, 7, 9}) list.setSelected(row, true);
        list.setSelected(6, false);
        list.deleteItem(0);
        list.deleteItem(list.itemCount() - 1);
        EXPECT_EQ(list.selectedRows(), eachItem());
        EXPECT_EQ(walked(), eachItem());
        EXPECT_EQ(list.selectedRows(), single ? QList<int>{} : (QList<int>{1, 4, 6}));
        EXPECT_EQ(list.nextSelected(4), single ? -1 : 6);
        EXPECT_EQ(list.nextSelected(100), -1);
    }
}

TEST(DialogTemplates, PickersCombosAndSizingFollowTheTemplates) {
    Probe manager(res::kDialog129);
    manager.DoModal();
    EXPECT_TRUE(manager.datePicker(1000)->rightAligned());
    EXPECT_TRUE(manager.datePicker(1000)->calendarPopup());

    Probe slot(res::kDialog133);
    slot.DoModal();
    EXPECT_EQ(slot.datePicker(1025)->displayFormat(), QStringLiteral("dd/MM/yyyy"));
    EXPECT_EQ(slot.datePicker(1026)->displayFormat(), QStringLiteral("HH:mm"));
    EXPECT_FALSE(slot.datePicker(1026)->calendarPopup());

    // A drop-down list is a field of the standard height, whatever its template height.
    Probe editor(res::kDialog131);
    editor.DoModal();
    QComboBox* shows = editor.comboBox(1020);
    ASSERT_NE(shows, nullptr);
    EXPECT_EQ(shows->height(), shows->sizeHint().height());
    EXPECT_LT(shows->geometry().bottom(), editor.item(1024)->geometry().top());

    // The sales overview has a maximise box and no sizing border: it can grow, not shrink.
    Probe sales(res::kDialog102);
    sales.DoModal();
    EXPECT_GT(sales.maximumWidth(), sales.width());
    EXPECT_EQ(sales.minimumSize(), sales.size());
    Probe login(res::kDialog134);
    login.DoModal();
    EXPECT_EQ(login.maximumSize(), login.size());
}

}  // namespace

namespace {

// A dialog that nobody closes fails its test within the watchdog's limit instead of hanging.
TEST(ModalWatchdog, ADialogThatNeverClosesFailsTheTestWithWhatItShows) {
    testing_support::installModalWatchdog(0.3);
    dlg::Dialog forgotten(res::kDialog137);
    forgotten.setWindowTitle(QStringLiteral("Règlement 1"));
    int result = 0;
    EXPECT_NONFATAL_FAILURE(result = forgotten.DoModal(), "Règlement 1");
    EXPECT_EQ(result, platform::IDCANCEL);
    testing_support::installModalWatchdog(15);
}

}  // namespace
