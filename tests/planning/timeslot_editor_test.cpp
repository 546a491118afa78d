// The timeslot group editor and its two small dialogs, driven through their real widgets.
#include <gtest/gtest.h>

#include <QComboBox>
#include <QDir>
#include <QFile>
#include <QFileInfo>
#include <QLineEdit>
#include <QTest>

#include "dialog/controls.h"
#include "dialog/text_fit.h"
#include "followup/checklist.h"
#include "planning/ones_dlg.h"
#include "planning/onets_dlg.h"
#include "planning/ts_dlg.h"
#include "programme/programme_data.h"
#include "tests/support/modal.h"
#include "tests/support/recording_ui.h"
#include "tests/support/text.h"

namespace {

using planning::SlotEntry;
using testing_support::clickButton;
using testing_support::onNextModal;
using testing_support::typeInto;

dlg::Dialog* asDialog(QDialog* d) { return static_cast<dlg::Dialog*>(d); }

void setPicker(QDialog* d, int id, const QDate& date, const QTime& time) {
    asDialog(d)->datePicker(id)->setDateTime(QDateTime(date, time));
}

// Answers the next slot dialog with a day and two times, or cancels it.
void answerSlot(const QDate& date, const QTime& from, const QTime& to, bool confirm = true) {
    onNextModal([=](QDialog* d) {
        setPicker(d, onets::kDate, date, QTime(0, 0));
        setPicker(d, onets::kFrom, QDate(1899, 12, 30), from);
        setPicker(d, onets::kTo, QDate(1899, 12, 30), to);
        clickButton(d, confirm ? platform::IDOK : platform::IDCANCEL);
    });
}

QStringList rowTexts(dlg::ListView* list, int row) {
    QStringList texts;
    for (int c = 0; c < list->columnCount(); ++c) texts << list->itemText(row, c);
    return texts;
}

// As a user double-clicks: a click, then the second press that the system reports as a double
// click (the view opens the row only when both presses hit it).
void doubleClickRow(dlg::ListView* list, int row) {
    const QRect rect = list->visualItemRect(list->topLevelItem(row));
    const QPoint inFirstColumn(rect.left() + 10, rect.center().y());
    QTest::mouseClick(list->viewport(), Qt::LeftButton, {}, inFirstColumn);
    QTest::mouseDClick(list->viewport(), Qt::LeftButton, {}, inFirstColumn);
}

// What a user's pick in a drop-down list does: the selection, then the choice itself.
void choose(QComboBox* combo, int index) {
    combo->setCurrentIndex(index);
    emit combo->activated(index);
}

class TimeslotEditorTest : public ::testing::Test {
protected:
    void SetUp() override {
        testing_support::ui().clear();
        programme::clearAll();
        programme::shows() = {{q("0"), q("<aucun>"), q("0"), q("0")},
                              {q("1"), q("Le Saut"), q("1"), q("0")},
                              {q("2"), q("Effacé"), q("1"), q("1")},
                              {q("3"), q("Nuit"), q("2"), q("0")}};
        programme::rooms() = {{q("10"), q("Rouge"), q("100"), q("la rouge")},
                              {q("20"), q("Verte"), q("80"), q("la verte")},
                              {q("30"), q("Bleue"), q("50"), q("la bleue")}};
    }
    void TearDown() override { programme::clearAll(); }

    // The editor on a group of one slot with this follow-up.
    static void setGroup(ts& editor, const QString& survey, const QString& todo, const QString& done) {
        editor.data.entries = {{5, 7, 2027, 20, 0, 21, 0}};
        editor.data.survey = survey;
        editor.data.todo = todo;
        editor.data.done = done;
    }
};

TEST_F(TimeslotEditorTest, SlotRowTexts) {
    EXPECT_EQ(planning::slotDateText({5, 7, 2019, 9, 5, 11, 0}), q("ven. 05 juil. 2019"));
    EXPECT_EQ(planning::slotDateText({31, 2, 2019, 9, 5, 11, 0}), QString());
    EXPECT_EQ(planning::loadedTimeText(9, 5), q("9:05"));
    EXPECT_EQ(planning::loadedTimeText(19, 30), q("19:30"));
    EXPECT_EQ(planning::loadedTimeText(0, 0), q("0:00"));
}

TEST_F(TimeslotEditorTest, NewGroupNeedsASlotBeforeOk) {
    ts editor;
    editor.data.room = 0;
    editor.data.showId = 0;
    onNextModal([&](QDialog*) {
        QComboBox* shows = editor.comboBox(ts::kShowCombo);
        QComboBox* rooms = editor.comboBox(ts::kRoomCombo);
        dlg::ListView* slotList = editor.listView(ts::kSlotList);
        EXPECT_FALSE(editor.item(platform::IDOK)->isEnabled());
        // The deleted show is not offered.
        QStringList offered;
        for (int i = 0; i < shows->count(); ++i) offered << shows->itemText(i);
        EXPECT_EQ(offered, (QStringList{q("<aucun>"), q("Le Saut"), q("Nuit")}));
        EXPECT_EQ(shows->currentText(), q("<aucun>"));
        EXPECT_EQ(rooms->currentText(), q("Rouge"));

        // Cancelling the slot dialog adds nothing but still refreshes: the show picked in
        // the combo goes back to the group's.
        shows->setCurrentIndex(2);
        answerSlot(QDate(2027, 7, 5), QTime(9, 5), QTime(11, 0), false);
        clickButton(&editor, ts::kAddSlot);
        EXPECT_EQ(slotList->itemCount(), 0);
        EXPECT_EQ(shows->currentText(), q("<aucun>"));
        EXPECT_FALSE(editor.item(platform::IDOK)->isEnabled());

        answerSlot(QDate(2027, 7, 5), QTime(9, 5), QTime(11, 0));
        clickButton(&editor, ts::kAddSlot);
        ASSERT_EQ(slotList->itemCount(), 1);
        EXPECT_EQ(rowTexts(slotList, 0), (QStringList{q("lun. 05 juil. 2027"), q("09:05"), q("11:00")}));
        EXPECT_TRUE(editor.item(platform::IDOK)->isEnabled());
        rooms->setCurrentIndex(2);
        clickButton(&editor, platform::IDOK);
    });
    ASSERT_EQ(editor.DoModal(), platform::IDOK);
    EXPECT_EQ(editor.data.entries, (std::vector<SlotEntry>{{5, 7, 2027, 9, 5, 11, 0}}));
    EXPECT_EQ(editor.data.showId, 0);
    EXPECT_EQ(editor.data.room, 30);
    EXPECT_TRUE(editor.data.survey.isEmpty());
    EXPECT_TRUE(editor.data.todo.isEmpty());
}

TEST_F(TimeslotEditorTest, ExistingGroupSlotsAreListedEditedAndRemoved) {
    ts editor;
    editor.data.showId = 3;
    editor.data.room = 20;
    editor.data.entries = {{5, 7, 2027, 9, 5, 11, 0}, {6, 7, 2027, 20, 30, 22, 0}, {7, 7, 2027, 21, 0, 22, 15}};
    onNextModal([&](QDialog*) {
        dlg::ListView* slotList = editor.listView(ts::kSlotList);
        EXPECT_EQ(editor.comboBox(ts::kShowCombo)->currentText(), q("Nuit"));
        EXPECT_EQ(editor.comboBox(ts::kRoomCombo)->currentText(), q("Verte"));
        ASSERT_EQ(slotList->itemCount(), 3);
        EXPECT_EQ(rowTexts(slotList, 0), (QStringList{q("lun. 05 juil. 2027"), q("9:05"), q("11:00")}));
        EXPECT_EQ(rowTexts(slotList, 1), (QStringList{q("mar. 06 juil. 2027"), q("20:30"), q("22:00")}));

        // "-" follows the selection: enabled once a row is selected, grey again without one.
        EXPECT_FALSE(editor.item(ts::kRemoveSlot)->isEnabled());
        slotList->setSelected(1, true);
        EXPECT_TRUE(editor.item(ts::kRemoveSlot)->isEnabled());
        slotList->clearSelection();
        EXPECT_FALSE(editor.item(ts::kRemoveSlot)->isEnabled());
        slotList->setSelected(1, true);
        answerSlot(QDate(2027, 7, 8), QTime(18, 0), QTime(19, 0), false);
        clickButton(&editor, ts::kAddSlot);
        EXPECT_TRUE(editor.item(ts::kRemoveSlot)->isEnabled());
        clickButton(&editor, ts::kRemoveSlot);
        ASSERT_EQ(slotList->itemCount(), 2);
        EXPECT_EQ(slotList->itemText(1, 0), q("mer. 07 juil. 2027"));
        EXPECT_FALSE(editor.item(ts::kRemoveSlot)->isEnabled());

        // The slot dialog opens on the row's values; the rewritten row uses the picker format.
        onNextModal([](QDialog* d) {
            EXPECT_EQ(asDialog(d)->datePicker(onets::kDate)->date(), QDate(2027, 7, 5));
            EXPECT_EQ(asDialog(d)->datePicker(onets::kFrom)->time(), QTime(9, 5));
            EXPECT_EQ(asDialog(d)->datePicker(onets::kTo)->time(), QTime(11, 0));
            setPicker(d, onets::kTo, QDate(1899, 12, 30), QTime(11, 45));
            clickButton(d, platform::IDOK);
        });
        doubleClickRow(slotList, 0);
        EXPECT_EQ(rowTexts(slotList, 0), (QStringList{q("lun. 05 juil. 2027"), q("09:05"), q("11:45")}));
        clickButton(&editor, platform::IDOK);
    });
    ASSERT_EQ(editor.DoModal(), platform::IDOK);
    EXPECT_EQ(editor.data.entries, (std::vector<SlotEntry>{{5, 7, 2027, 9, 5, 11, 45}, {7, 7, 2027, 21, 0, 22, 15}}));
    EXPECT_EQ(editor.data.showId, 3);
    EXPECT_EQ(editor.data.room, 20);
}

TEST_F(TimeslotEditorTest, ShowAndRoomChoices) {
    struct Case {
        const char* name;
        int32_t showId, room;
        const char* shownShow;
        const char* shownRoom;
        int32_t showOut, roomOut;
    } cases[] = {
        {"by id, not by position", 1, 30, "Le Saut", "Bleue", 1, 30},
        {"a deleted show is not listed", 2, 10, "", "Rouge", -1, 10},
        {"no room asked", 1, -1, "Le Saut", "", 1, -1},
        {"an unknown room", 1, 40, "Le Saut", "", 1, -1},
    };
    for (const Case& c : cases) {
        SCOPED_TRACE(c.name);
        ts editor;
        editor.data.showId = c.showId;
        editor.data.room = c.room;
        editor.data.entries = {{5, 7, 2027, 20, 0, 21, 0}};
        onNextModal([&](QDialog*) {
            EXPECT_EQ(editor.comboBox(ts::kShowCombo)->currentText(), q(c.shownShow));
            EXPECT_EQ(editor.comboBox(ts::kRoomCombo)->currentText(), q(c.shownRoom));
            clickButton(&editor, platform::IDOK);
        });
        ASSERT_EQ(editor.DoModal(), platform::IDOK);
        EXPECT_EQ(editor.data.showId, c.showOut);
        EXPECT_EQ(editor.data.room, c.roomOut);
    }
}

TEST_F(TimeslotEditorTest, CreatingAShowSelectsTheNewOne) {
    ts editor;
    editor.data.showId = 1;
    editor.data.room = 10;
    int runs = 0;
    // The first run adds a company on the way, whose placeholder show comes before the show
    // the user typed: the one typed is selected, not the placeholder.
    editor.createShow = [&]() -> int32_t {
        ++runs;
        if (runs != 1) return -1;
        programme::shows().push_back({q("4"), q("<spectacle à définir (compagnie Neuve)>"), q("7"), q("0")});
        programme::shows().push_back({q("5"), q("Nouveau"), q("7"), q("0")});
        return 5;
    };
    testing_support::runModal(editor, [&] {
        QComboBox* shows = editor.comboBox(ts::kShowCombo);
        clickButton(&editor, ts::kCreateShow);
        EXPECT_EQ(shows->currentText(), q("Nouveau"));
        EXPECT_EQ(shows->count(), 5);
        // Nothing added (cancelled): the show stays.
        clickButton(&editor, ts::kCreateShow);
        EXPECT_EQ(shows->currentText(), q("Nouveau"));
        EXPECT_EQ(runs, 2);
        EXPECT_EQ(editor.comboBox(ts::kRoomCombo)->currentText(), q("Rouge"));
    });
    // Without a handler the button does nothing.
    ts bare;
    bare.data.showId = 3;
    testing_support::runModal(bare, [&] {
        clickButton(&bare, ts::kCreateShow);
        EXPECT_EQ(bare.comboBox(ts::kShowCombo)->currentText(), q("Nuit"));
    });
}

// The templates beside the test program, copied there by the build.
TEST_F(TimeslotEditorTest, TemplatesFillTheChecklist) {
    const QString folder = QDir(platform::executableDir()).filePath(q("survey"));
    ASSERT_TRUE(QFile::exists(QDir(folder).filePath(q("Accueil compagnie.txt")))) << folder.toStdString();

    ts editor;
    setGroup(editor, q("location DE SALLE.txt"), q("Contrat envoyé par KQ$$$Règlement 1=15/6/2027:600"),
             q("Contrat envoyé par KQ=Fait le 1/5/2027"));
    onNextModal([&](QDialog*) {
        QComboBox* templates = editor.comboBox(ts::kTemplateCombo);
        dlg::ListView* checklist = editor.listView(ts::kChecklist);
        EXPECT_TRUE(dlg::cutTexts(&editor).empty()) << "a text or heading of the editor is cut";
        QStringList names;
        for (int i = 0; i < templates->count(); ++i) names << templates->itemText(i);
        EXPECT_EQ(names, (QStringList{q("Accueil compagnie.txt"), q("Location de salle.txt"), q("Résidence.txt")}));
        EXPECT_EQ(templates->currentIndex(), 1);
        // The stored plan is listed as it is, not the template.
        ASSERT_EQ(checklist->itemCount(), 2);
        EXPECT_EQ(rowTexts(checklist, 0),
                  (QStringList{q("Contrat envoyé par KQ"), q(""), q(""), q("Fait le 1/5/2027")}));

        // Choosing the same template again starts afresh: the recorded state goes.
        choose(templates, 1);
        EXPECT_EQ(checklist->itemCount(), 11);
        EXPECT_EQ(rowTexts(checklist, 0), (QStringList{q("Contrat envoyé par KQ"), q(""), q(""), q("")}));

        // The demo's UTF-8 one, with its mark and blank lines between its sections.
        choose(templates, 2);
        ASSERT_EQ(checklist->itemCount(), 13);
        EXPECT_EQ(rowTexts(checklist, 5), (QStringList{q("Règlement 1"), q(""), q("300"), q("")}));
        EXPECT_EQ(checklist->itemText(12, 0), q("Paiement de la compagnie fait par KQ"));

        choose(templates, 0);
        ASSERT_EQ(checklist->itemCount(), 13);
        EXPECT_EQ(rowTexts(checklist, 5), (QStringList{q("Règlement 1"), q("15/6/2027"), q("350"), q("")}));
        EXPECT_EQ(checklist->itemText(2, 0), q("Contrat retouné à la compagnie par KQ"));
        EXPECT_EQ(checklist->itemText(12, 0), q("Paiement de la compagnie fait par KQ"));
        clickButton(&editor, platform::IDOK);
    });
    ASSERT_EQ(editor.DoModal(), platform::IDOK);
    EXPECT_EQ(editor.data.survey, q("Accueil compagnie.txt"));
    EXPECT_TRUE(editor.data.done.isEmpty());
    EXPECT_TRUE(editor.data.todo.startsWith(q("Contrat envoyé par KQ$$$Contrat reçu par KQ=15/5/2027$$$")));
    EXPECT_TRUE(editor.data.todo.contains(q("$$$Règlement 1=15/6/2027:350$$$")));
}

// A group made on another workstation names a template this one lacks: it keeps the name
// and the plan, and the editor says the template is missing.
TEST_F(TimeslotEditorTest, AGroupKeepsATemplateThisWorkstationLacks) {
    const struct {
        const char* name;
        const char* survey;
        const char* notice;
    } cases[] = {
        {"missing here", "Tournée 2026.txt",
         "Modèle « Tournée 2026.txt » absent de ce poste : la surveillance enregistrée est gardée"},
        {"none chosen", "", ""},
    };
    for (const auto& c : cases) {
        SCOPED_TRACE(c.name);
        ts editor;
        setGroup(editor, q(c.survey), q("Contrat envoyé par KQ$$$Règlement 1=15/6/2027:600"),
                 q("Contrat envoyé par KQ=Fait le 1/5/2027"));
        onNextModal([&](QDialog*) {
            QComboBox* templates = editor.comboBox(ts::kTemplateCombo);
            EXPECT_EQ(templates->currentIndex(), -1);
            EXPECT_EQ(templates->placeholderText(), q(c.notice));
            // The tip names the template and where it was looked for.
            const QString tip = templates->toolTip();
            EXPECT_EQ(tip.isEmpty(), *c.survey == 0);
            if (*c.survey) {
                EXPECT_TRUE(tip.contains(q(c.survey)) &&
                            tip.contains(QDir::toNativeSeparators(platform::executableDir())))
                    << tip.toStdString();
            }
            EXPECT_EQ(editor.listView(ts::kChecklist)->itemCount(), 2);
            clickButton(&editor, platform::IDOK);
        });
        ASSERT_EQ(editor.DoModal(), platform::IDOK);
        EXPECT_EQ(editor.data.survey, q(c.survey));
        EXPECT_EQ(editor.data.todo, q("Contrat envoyé par KQ$$$Règlement 1=15/6/2027:600"));
        EXPECT_EQ(editor.data.done, q("Contrat envoyé par KQ=Fait le 1/5/2027"));
    }
}

// Templates written beside the test program for one test, and removed after it whatever
// happened, so that the other tests see the folder as the build left it.
class SurveyFiles {
public:
    void write(const QString& name, const QByteArray& bytes) {
        paths_ << QDir(QDir(platform::executableDir()).filePath(q("survey"))).filePath(name);
        QFile file(paths_.back());
        ASSERT_TRUE(file.open(QIODevice::WriteOnly));
        file.write(bytes);
    }
    QString path(int i) const { return paths_.at(i); }
    ~SurveyFiles() {
        for (const QString& p : paths_) QFile::remove(p);
    }

private:
    QStringList paths_;
};

TEST_F(TimeslotEditorTest, ChosenTemplatesReadAsTheirAuthorsWroteThem) {
    SurveyFiles files;
    files.write(q("Festival UTF-8.txt"), "\xef\xbb\xbfR\xc3\xa8glement 1=1/9/2027:350\r\n\r\nStat\r\n");
    files.write(q("Retiré.txt"), "A\r\n");
    ts editor;
    setGroup(editor, q("Festival UTF-8.txt"), q("Avant"), q("Avant=Fait le 1/1/2027"));
    onNextModal([&](QDialog*) {
        QComboBox* templates = editor.comboBox(ts::kTemplateCombo);
        dlg::ListView* checklist = editor.listView(ts::kChecklist);
        // Gone from the folder since the list was filled: refused, and the group keeps its plan.
        QFile::remove(files.path(1));
        choose(templates, templates->findText(q("Retiré.txt")));
        EXPECT_EQ(
            testing_support::ui().messageTexts(),
            QStringList{q(followup::kTemplateUnreadable)
                            .arg(q("Retiré.txt"), QDir::toNativeSeparators(QFileInfo(files.path(1)).absolutePath()))});
        EXPECT_EQ(templates->currentText(), q("Festival UTF-8.txt"));
        ASSERT_EQ(checklist->itemCount(), 1);
        EXPECT_EQ(checklist->itemText(0, 0), q("Avant"));

        choose(templates, templates->findText(q("Festival UTF-8.txt")));
        ASSERT_EQ(checklist->itemCount(), 2);
        EXPECT_EQ(rowTexts(checklist, 0), (QStringList{q("Règlement 1"), q("1/9/2027"), q("350"), q("")}));
        EXPECT_EQ(checklist->itemText(1, 0), q("Stat"));
        clickButton(&editor, platform::IDOK);
    });
    ASSERT_EQ(editor.DoModal(), platform::IDOK);
    EXPECT_EQ(editor.data.todo, q("Règlement 1=1/9/2027:350$$$Stat"));
    EXPECT_EQ(editor.data.done, QString());
}

TEST_F(TimeslotEditorTest, ItemDialogOpensOnTheItemAndAppliesItsRules) {
    ones item;
    item.title = q("Règlement 1");
    item.goal = q("350");
    item.state = q("Fait le 3/7/2019 (300)");
    testing_support::runModal(item, [&] {
        EXPECT_EQ(item.windowTitle(), q("Règlement 1"));
        EXPECT_TRUE(item.isChecked(ones::kHasGoal));
        EXPECT_FALSE(item.isChecked(ones::kHasDeadline));
        EXPECT_TRUE(item.isChecked(ones::kDone));
        EXPECT_EQ(item.itemText(ones::kGoal), q("350"));
        EXPECT_EQ(item.itemText(ones::kAchieved), q("300"));
        EXPECT_EQ(item.datePicker(ones::kCompletionDate)->date(), QDate(2019, 7, 3));
        EXPECT_TRUE(item.item(ones::kCompletionDate)->isVisibleTo(&item));
        EXPECT_FALSE(item.item(ones::kDeadlineDate)->isVisibleTo(&item));
        EXPECT_FALSE(item.item(ones::kDeadlineLabel)->isVisibleTo(&item));

        // Undone: the achieved goal is emptied and the date hidden; done again: the goal copied.
        clickButton(&item, ones::kDone);
        EXPECT_EQ(item.itemText(ones::kAchieved), QString());
        EXPECT_FALSE(item.item(ones::kCompletionDate)->isVisibleTo(&item));
        EXPECT_FALSE(item.item(ones::kCompletionLabel)->isVisibleTo(&item));
        clickButton(&item, ones::kDone);
        EXPECT_EQ(item.itemText(ones::kAchieved), q("350"));

        clickButton(&item, ones::kHasDeadline);
        EXPECT_TRUE(item.item(ones::kDeadlineDate)->isVisibleTo(&item));
        clickButton(&item, ones::kHasGoal);
        for (int id : {ones::kGoal, ones::kAchieved, ones::kAchievedLabel})
            EXPECT_FALSE(item.item(id)->isVisibleTo(&item)) << id;
    });
}

TEST_F(TimeslotEditorTest, EditedItemsComeBackInThePlanAndTheRecord) {
    ts editor;
    editor.data.entries = {{5, 7, 2027, 20, 0, 21, 0}};
    editor.data.survey = q("Accueil compagnie.txt");
    editor.data.todo = q("Contrat reçu par KQ=15/5/2027$$$Règlement 1=1/9/2019:350$$$Règlement 2=1/10/2019:350$$$Stat");
    editor.data.done = q("Stat=Fait le 1/1/2020");
    onNextModal([&](QDialog*) {
        dlg::ListView* checklist = editor.listView(ts::kChecklist);
        ASSERT_EQ(checklist->itemCount(), 4);
        EXPECT_EQ(rowTexts(checklist, 1), (QStringList{q("Règlement 1"), q("1/9/2019"), q("350"), q("")}));

        // Done on 3/7/2019 with the goal reached.
        onNextModal([](QDialog* d) {
            EXPECT_EQ(d->windowTitle(), q("Règlement 1"));
            clickButton(d, ones::kDone);
            setPicker(d, ones::kCompletionDate, QDate(2019, 7, 3), QTime(10, 0));
            clickButton(d, platform::IDOK);
        });
        doubleClickRow(checklist, 1);
        EXPECT_EQ(rowTexts(checklist, 1),
                  (QStringList{q("Règlement 1"), q("1/9/2019"), q("350"), q("Fait le 3/7/2019 (350)")}));

        // The deadline dropped; "Goal" unchecked keeps the goal.
        onNextModal([](QDialog* d) {
            clickButton(d, ones::kHasDeadline);
            clickButton(d, ones::kHasGoal);
            clickButton(d, platform::IDOK);
        });
        doubleClickRow(checklist, 2);
        EXPECT_EQ(rowTexts(checklist, 2), (QStringList{q("Règlement 2"), q(""), q("350"), q("")}));

        // A new deadline on a bare item; undoing a done item.
        onNextModal([](QDialog* d) {
            clickButton(d, ones::kHasDeadline);
            setPicker(d, ones::kDeadlineDate, QDate(2027, 8, 31), QTime(0, 0));
            clickButton(d, ones::kDone);
            clickButton(d, platform::IDOK);
        });
        doubleClickRow(checklist, 3);
        EXPECT_EQ(rowTexts(checklist, 3), (QStringList{q("Stat"), q("31/8/2027"), q(""), q("")}));

        // Cancel leaves the row as it was.
        onNextModal([](QDialog* d) {
            clickButton(d, ones::kHasDeadline);
            clickButton(d, platform::IDCANCEL);
        });
        doubleClickRow(checklist, 0);
        EXPECT_EQ(rowTexts(checklist, 0), (QStringList{q("Contrat reçu par KQ"), q("15/5/2027"), q(""), q("")}));
        clickButton(&editor, platform::IDOK);
    });
    ASSERT_EQ(editor.DoModal(), platform::IDOK);
    EXPECT_EQ(editor.data.todo,
              q("Contrat reçu par KQ=15/5/2027$$$Règlement 1=1/9/2019:350$$$Règlement 2:350$$$Stat=31/8/2027"));
    EXPECT_EQ(editor.data.done, q("Règlement 1=Fait le 3/7/2019 (350)"));
    EXPECT_EQ(editor.data.survey, q("Accueil compagnie.txt"));
}

}  // namespace
