// Every dialog of the program, built from its template with the fonts the installation
// brings, shows its texts whole and can be used from the keyboard.
#include <gtest/gtest.h>

#include <QApplication>
#include <QComboBox>
#include <QFontMetricsF>
#include <QLabel>
#include <QLineEdit>
#include <QPushButton>
#include <QScrollBar>
#include <QSignalSpy>
#include <QTest>

#include "dialog/controls.h"
#include "dialog/dialog.h"
#include "dialog/dialog_units.h"
#include "dialog/text_fit.h"
#include "resources/dialogs.h"
#include "tests/support/modal.h"
#include "tests/support/qt_print.h"

namespace {

const res::DialogTemplate* const kAllTemplates[] = {
    &res::kDialog102, &res::kDialog134, &res::kDialog129, &res::kDialog130, &res::kDialog131,
    &res::kDialog132, &res::kDialog133, &res::kDialog135, &res::kDialog136, &res::kDialog137};

QString describe(const std::vector<dlg::CutText>& cut) {
    QString out;
    for (const auto& c : cut)
        out += QStringLiteral("%1 \"%2\" needs %3 px, has %4; ").arg(c.control, c.text).arg(c.needed).arg(c.available);
    return out;
}

TEST(DialogUnits, AreOneFunctionOfTheFontMetricsAndKeepNeighboursTouching) {
    // The base units of Windows' own dialog font give Windows' pixels.
    const dlg::BaseUnits windows{6.0, 13.0};
    struct Case {
        int x, y, w, h;
        QRect pixels;
    };
    const Case cases[] = {
        {0, 0, 4, 8, QRect(0, 0, 6, 13)},
        {6, 6, 102, 8, QRect(9, 10, 153, 13)},
        {186, 12, 13, 12, QRect(279, 20, 20, 19)},
        {747, 393, 0, 0, QRect(1121, 639, 0, 0)},
    };
    for (const Case& c : cases) EXPECT_EQ(dlg::dialogUnitsToPixels(windows, c.x, c.y, c.w, c.h), c.pixels) << c.x;

    // A fractional base: controls that touch in dialog units touch in pixels.
    const dlg::BaseUnits liberation{6.4038, 12.6};
    for (int x = 0; x < 200; x += 7) {
        const QRect left = dlg::dialogUnitsToPixels(liberation, x, 0, 13, 12);
        const QRect right = dlg::dialogUnitsToPixels(liberation, x + 13, 0, 20, 12);
        EXPECT_EQ(left.x() + left.width(), right.x()) << x;
    }

    // The same font gives the same units, whatever window asks.
    const QFont font(QStringLiteral("MS Shell Dlg"), 8);
    const dlg::BaseUnits a = dlg::dialogBaseUnits(QFontMetricsF(font));
    const dlg::BaseUnits b = dlg::dialogBaseUnits(QFontMetricsF(font));
    EXPECT_DOUBLE_EQ(a.x, b.x);
    EXPECT_DOUBLE_EQ(a.y, QFontMetricsF(font).height());
    EXPECT_GT(a.x, 5.0);
}

TEST(DialogFit, EveryTemplateShowsItsLabelsButtonsAndCheckBoxesWhole) {
    for (const res::DialogTemplate* tmpl : kAllTemplates) {
        dlg::Dialog window(*tmpl);
        int labels = 0;
        testing_support::runModal(window, [&] {
            labels = static_cast<int>(window.findChildren<QWidget*>().size());
            const auto cut = dlg::cutTexts(&window);
            EXPECT_TRUE(cut.empty()) << "dialog " << tmpl->id << ": " << describe(cut).toStdString();
        });
        EXPECT_GT(labels, 0) << tmpl->id;
    }
}

TEST(DialogFit, TheCheckCatchesATextCutByItsControl) {
    // The label of the sales overview's filter, at the width it had before the units
    // followed the font: 74 dialog units of 6 pixels for 4.
    QWidget window;
    window.setFont(QFont(QStringLiteral("MS Shell Dlg"), 8));
    auto* label = new QLabel(QString::fromUtf8("Filtre nom de spectacle"), &window);
    label->setObjectName(QStringLiteral("filter"));
    label->setGeometry(0, 0, 74 * 6 / 4, 13);
    auto* button = new QPushButton(QStringLiteral("Mettre à jour"), &window);
    button->setGeometry(0, 20, 30, 20);
    const auto cut = dlg::cutTexts(&window);
    ASSERT_EQ(cut.size(), 2u) << describe(cut).toStdString();
    EXPECT_EQ(cut[0].control, QStringLiteral("filter"));
    EXPECT_GT(cut[0].needed, cut[0].available);
    label->resize(label->fontMetrics().horizontalAdvance(label->text()), 13);
    button->resize(200, 20);
    EXPECT_TRUE(dlg::cutTexts(&window).empty());
}

TEST(DialogFit, ColumnsAreAtLeastAsWideAsTheirHeadingsAndAClickNeverScrollsSideways) {
    dlg::ListView list;
    list.resize(200, 150);
    struct Column {
        const char* heading;
        int width;
        bool keepsWidth;
    };
    // The narrow columns of the timeslot list, and a wide one that keeps its width.
    const Column columns[] = {
        {"Id", 20, false}, {"Nb crén.", 20, false}, {"Salle", 35, true}, {"Prem. date", 200, true}};
    for (int i = 0; i < 4; ++i) list.insertColumn(i, QString::fromUtf8(columns[i].heading), columns[i].width);
    for (int i = 0; i < 4; ++i) {
        if (columns[i].keepsWidth) {
            EXPECT_EQ(list.columnWidth(i), columns[i].width);
        } else {
            EXPECT_GT(list.columnWidth(i), columns[i].width) << columns[i].heading;
        }
    }
    EXPECT_TRUE(dlg::cutTexts(&list).empty()) << describe(dlg::cutTexts(&list)).toStdString();
    // Rows filled in one step widen the columns their texts do not fit, and only those.
    const int narrowBefore = list.columnWidth(2);
    list.insertRows(
        0, {{0,
             {QStringLiteral("0"), QString(), QStringLiteral("Salle"),
              QStringLiteral("Vendredi 05 Juillet 2019 à 20:30")}},
            {1, {QStringLiteral("1"), QString(), QStringLiteral("Grande salle du théâtre"), QStringLiteral("à 20:30")}},
            {2, {QStringLiteral("2"), QString(), QStringLiteral("Chapelle"), QStringLiteral("-")}}});
    const QFontMetrics fm(list.font());
    EXPECT_GT(list.columnWidth(2), narrowBefore);
    EXPECT_GE(list.columnWidth(2), fm.horizontalAdvance(QStringLiteral("Grande salle du théâtre")));
    EXPECT_EQ(list.columnWidth(3), 200);
    list.show();
    ASSERT_TRUE(QTest::qWaitForWindowExposed(&list));
    ASSERT_GT(list.horizontalScrollBar()->maximum(), 0);
    list.horizontalScrollBar()->setValue(0);
    // A click on the part of the last column that shows: the list stays where it was.
    const QRect cell = list.visualRect(list.model()->index(1, 3));
    QTest::mouseClick(list.viewport(), Qt::LeftButton, {}, QPoint(list.viewport()->width() - 5, cell.center().y()));
    EXPECT_TRUE(list.isSelected(1));
    EXPECT_EQ(list.horizontalScrollBar()->value(), 0);
    // The arrow keys move the selection.
    QTest::keyClick(&list, Qt::Key_Down);
    EXPECT_TRUE(list.isSelected(2));
    EXPECT_EQ(list.horizontalScrollBar()->value(), 0);
}

TEST(DialogKeyboard, EveryTextlessButtonAndDrawingHasAnAccessibleName) {
    for (const res::DialogTemplate* tmpl : kAllTemplates) {
        for (const res::ControlTemplate& c : tmpl->controls) {
            const QString text = QString::fromUtf8(c.text);
            const bool speaks = std::any_of(text.begin(), text.end(), [](QChar ch) { return ch.isLetter(); });
            const bool needsName =
                (c.kind == res::ControlKind::PushButton && !speaks) || c.kind == res::ControlKind::OwnerDrawButton;
            if (!needsName) continue;
            EXPECT_TRUE(c.accessibleName && *c.accessibleName) << tmpl->id << " control " << c.id;
        }
    }
    dlg::Dialog window(res::kDialog129);
    testing_support::runModal(window, [&] {
        EXPECT_EQ(window.item(1015)->accessibleName(), QStringLiteral("Ajouter une compagnie"));
        EXPECT_EQ(window.item(1017)->accessibleName(), QStringLiteral("Planning"));
    });
}

TEST(DialogKeyboard, TabWalksTheControlsInTheOrderOfTheTemplate) {
    for (const res::DialogTemplate* tmpl : kAllTemplates) {
        dlg::Dialog window(*tmpl);
        testing_support::runModal(window, [&] {
            std::vector<QWidget*> expected;
            for (const res::ControlTemplate& c : tmpl->controls) {
                QWidget* w = c.id >= 0 ? window.item(c.id) : nullptr;
                if (w && w->isVisible() && w->isEnabled() && w->focusPolicy() & Qt::TabFocus) expected.push_back(w);
            }
            if (expected.size() < 2) return;
            window.activateWindow();
            ASSERT_TRUE(QTest::qWaitForWindowActive(&window));
            expected.front()->setFocus();
            for (std::size_t i = 1; i < expected.size(); ++i) {
                ASSERT_NE(QApplication::focusWidget(), nullptr) << "dialog " << tmpl->id << " step " << i;
                QTest::keyClick(QApplication::focusWidget(), Qt::Key_Tab);
                QWidget* focused = QApplication::focusWidget();
                // A date picker or a combo box takes the focus into its own line edit.
                while (focused && focused != expected[i] && !expected[i]->isAncestorOf(focused) &&
                       focused->parentWidget() != &window)
                    focused = focused->parentWidget();
                EXPECT_TRUE(focused == expected[i] || expected[i]->isAncestorOf(QApplication::focusWidget()))
                    << "dialog " << tmpl->id << " step " << i << ": " << qPrintable(expected[i]->objectName());
            }
        });
    }
}

// A dialog whose list opens its rows on a double-click, with a default button.
class ListDialog : public dlg::Dialog {
public:
    ListDialog();
    std::vector<int> opened;
    int oks = 0;

protected:
    bool OnInitDialog() override {
        dlg::ListView* rows = listView(1024);
        rows->insertColumn(0, QStringLiteral("Date"), 200);
        rows->insertItem(0, QStringLiteral("a"));
        rows->insertItem(1, QStringLiteral("b"));
        return true;
    }
    void OnOK() override { ++oks; }

private:
    void onRow(const dlg::Notification& n) { opened.push_back(n.row); }
    static const dlg::MessageEntry<ListDialog> kMessages[];
};
const dlg::MessageEntry<ListDialog> ListDialog::kMessages[] = {{dlg::Notify::RowDoubleClick, 1024, &ListDialog::onRow}};
ListDialog::ListDialog() : dlg::Dialog(res::kDialog131) { bindMessages<ListDialog>(kMessages); }

TEST(DialogKeyboard, EnterOpensTheCurrentRowOrPressesTheDefaultButtonAndEscapeCancels) {
    ListDialog window;
    int result = 0;
    testing_support::onNextModal([&](QDialog*) {
        window.activateWindow();
        ASSERT_TRUE(QTest::qWaitForWindowActive(&window));
        dlg::ListView* rows = window.listView(1024);
        rows->setFocus();
        QTest::keyClick(rows, Qt::Key_Down);
        QTest::keyClick(rows, Qt::Key_Down);
        QTest::keyClick(rows, Qt::Key_Return);
        EXPECT_EQ(window.opened, std::vector<int>({1}));
        EXPECT_EQ(window.oks, 0);
        // Elsewhere Enter presses the default button ("OK", enabled here).
        window.comboBox(1022)->setFocus();
        QTest::keyClick(window.comboBox(1022), Qt::Key_Return);
        EXPECT_EQ(window.oks, 1);
        QTest::keyClick(&window, Qt::Key_Escape);
    });
    result = window.DoModal();
    EXPECT_EQ(result, platform::IDCANCEL);
}

}  // namespace
