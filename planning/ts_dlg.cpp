#include "planning/ts_dlg.h"

#include <QComboBox>
#include <QDir>
#include <QSignalBlocker>

#include "db/stored_text.h"
#include "dialog/controls.h"
#include "followup/checklist.h"
#include "planning/ones_dlg.h"
#include "planning/onets_dlg.h"
#include "programme/field_words.h"
#include "programme/programme_data.h"
#include "resources/dialogs.h"

namespace {

constexpr dlg::ColumnSpec kSlotColumns[] = {{"Date", 200}, {"Début", 200}, {"Fin", 200}};
constexpr dlg::ColumnSpec kChecklistColumns[] = {{"Intitulé", 200}, {"Dead line", 100}, {"Goal", 100}, {"Etat", 200}};

QString surveyFolder() { return QDir(platform::executableDir()).filePath(QStringLiteral("survey")); }

QString pickerTime(const platform::DateTime& value) { return value.format(QStringLiteral("%H:%M")); }

}  // namespace

using N = dlg::Notify;
const dlg::MessageEntry<ts> ts::kMessages[] = {
    {N::Clicked, kAddSlot, &ts::OnAddSlot},
    {N::RowDoubleClick, kSlotList, &ts::OnEditSlot},
    {N::Clicked, kRemoveSlot, &ts::OnRemoveSlot},
    {N::ItemChanged, kSlotList, &ts::OnSlotChanged},
    {N::Clicked, kCreateShow, &ts::OnCreateShow},
    {N::SelChange, kTemplateCombo, &ts::OnTemplateChanged},
    {N::RowDoubleClick, kChecklist, &ts::OnChecklistDoubleClick},
};

ts::ts(QWidget* parent) : dlg::Dialog(res::kDialog131, parent) { bindMessages<ts>(kMessages); }

bool ts::OnInitDialog() {
    FillTemplateList();
    dlg::createColumns(listView(kSlotList), kSlotColumns);
    dlg::createColumns(listView(kChecklist), kChecklistColumns);
    FillChecklist();
    for (const planning::SlotEntry& entry : data.entries) {
        appendSlotRow(entry, planning::loadedTimeText(entry.startHour, entry.startMinute),
                      planning::loadedTimeText(entry.endHour, entry.endMinute));
    }
    data.entries.clear();
    refresh();
    selectRoomById(data.room);
    return true;
}

// The room is chosen by its id: the programme's room ids are not their positions. A new
// group (room 0 given, no room of that id) starts on the first room.
void ts::selectRoomById(int32_t roomId) {
    QComboBox* rooms = comboBox(kRoomCombo);
    int index = rooms->findData(roomId);
    if (index < 0 && roomId == 0 && rooms->count() > 0) index = 0;
    if (index >= 0) rooms->setCurrentIndex(index);
}

void ts::appendSlotRow(const planning::SlotEntry& entry, const QString& start, const QString& end) {
    dlg::ListView* list = listView(kSlotList);
    const int row = list->insertItem(list->itemCount(), planning::slotDateText(entry));
    list->setItemText(row, 1, start);
    list->setItemText(row, 2, end);
    rows_.push_back(entry);
}

void ts::refresh() {
    if (refreshing_) return;
    refreshing_ = true;
    {
        QComboBox* shows = comboBox(kShowCombo);
        const QSignalBlocker quiet(shows);
        shows->clear();
        int selected = -1;
        for (const programme::Show& s : programme::shows()) {
            if (programme::leadingInteger(s.deleted) != 0) continue;
            const auto id = static_cast<int32_t>(programme::leadingInteger(s.id));
            shows->addItem(s.name, id);
            if (id == data.showId && selected < 0) selected = shows->count() - 1;
        }
        shows->setCurrentIndex(selected);
    }
    {
        QComboBox* rooms = comboBox(kRoomCombo);
        const QSignalBlocker quiet(rooms);
        const int remembered = rooms->currentIndex();
        rooms->clear();
        for (const programme::Room& r : programme::rooms())
            rooms->addItem(r.name, static_cast<int32_t>(programme::leadingInteger(r.id)));
        rooms->setCurrentIndex(remembered >= 0 && remembered < rooms->count() ? remembered : -1);
    }
    enableItem(platform::IDOK, listView(kSlotList)->itemCount() > 0);
    enableItem(kRemoveSlot, listView(kSlotList)->nextSelected() >= 0);
    refreshing_ = false;
}

// "-" follows the selection of the slot list.
void ts::OnSlotChanged(const dlg::Notification&) { enableItem(kRemoveSlot, listView(kSlotList)->nextSelected() >= 0); }

void ts::OnAddSlot(const dlg::Notification&) {
    onets dialog(this);
    dialog.date = platform::DateTime::now();
    dialog.from = platform::DateTime::fromDays(19.0 / 24.0);
    dialog.to = platform::DateTime::fromDays(20.5 / 24.0);
    if (dialog.DoModal() == platform::IDOK) {
        const planning::SlotEntry entry = planning::slotEntryOf(dialog.date, dialog.from, dialog.to);
        appendSlotRow(entry, pickerTime(dialog.from), pickerTime(dialog.to));
    }
    refresh();
}

void ts::OnEditSlot(const dlg::Notification& n) {
    dlg::ListView* list = listView(kSlotList);
    if (n.row < 0 || n.row >= list->itemCount() || n.row >= static_cast<int>(rows_.size())) return;
    planning::SlotEntry& entry = rows_[static_cast<std::size_t>(n.row)];
    onets dialog(this);
    dialog.date = platform::DateTime::fromParts(entry.year, entry.month, entry.day);
    dialog.from = platform::DateTime::fromDays((entry.startHour * 60.0 + entry.startMinute) / 1440.0);
    dialog.to = platform::DateTime::fromDays((entry.endHour * 60.0 + entry.endMinute) / 1440.0);
    if (dialog.DoModal() != platform::IDOK) return;
    entry = planning::slotEntryOf(dialog.date, dialog.from, dialog.to);
    list->setItemText(n.row, 0, planning::slotDateText(entry));
    list->setItemText(n.row, 1, pickerTime(dialog.from));
    list->setItemText(n.row, 2, pickerTime(dialog.to));
}

void ts::OnRemoveSlot(const dlg::Notification&) {
    dlg::ListView* list = listView(kSlotList);
    const int row = list->nextSelected();
    if (row < 0) return;
    if (row < static_cast<int>(rows_.size())) rows_.erase(rows_.begin() + row);
    list->deleteItem(row);
    refresh();
}

void ts::OnCreateShow(const dlg::Notification&) {
    // The show just added is the one the user wants (not the placeholder show of a company
    // added on the way); without one the choice stays as it was.
    const int32_t added = createShow ? createShow() : -1;
    if (added >= 0) data.showId = added;
    refresh();
}

// ---- checklist ---------------------------------------------------------------------------

void ts::FillTemplateList() {
    QComboBox* templates = comboBox(kTemplateCombo);
    const QSignalBlocker quiet(templates);
    templates->clear();
    int selected = -1;
    for (const QString& name : followup::templateNames(surveyFolder())) {
        templates->addItem(name);
        if (selected < 0 && name.compare(data.survey, Qt::CaseInsensitive) == 0) selected = templates->count() - 1;
    }
    templates->setCurrentIndex(selected);
    // A template another workstation has: the group keeps its name and its plan, and the
    // list says so where the name would be.
    const bool missing = selected < 0 && !data.survey.isEmpty();
    templates->setPlaceholderText(missing ? QString::fromUtf8(followup::kTemplateMissing).arg(data.survey) : QString());
    templates->setToolTip(missing ? QString::fromUtf8(followup::kTemplateMissingTip)
                                        .arg(data.survey, QDir::toNativeSeparators(surveyFolder()))
                                  : QString());
}

void ts::OnTemplateChanged(const dlg::Notification&) { LoadTemplate(); }

void ts::LoadTemplate() {
    QComboBox* templates = comboBox(kTemplateCombo);
    QString todo;
    if (templates->currentIndex() >= 0) {
        // A template that cannot be read, or whose lines the plan could not keep, is refused
        // before anything of the group is dropped: the previous choice comes back.
        QString problem;
        todo = followup::readTemplate(QDir(surveyFolder()).filePath(templates->currentText()), nullptr, &problem);
        if (!problem.isEmpty()) {
            platform::showError(problem);
            const QSignalBlocker quiet(templates);
            templates->setCurrentIndex(templates->findText(data.survey, Qt::MatchFixedString));
            return;
        }
    }
    // Every recorded state of the group goes, even when the same template is chosen again.
    data.todo.clear();
    data.done.clear();
    if (templates->currentIndex() < 0) return;
    data.survey = templates->currentText();
    templates->setToolTip(QString());
    data.todo = todo;
    FillChecklist();
}

void ts::FillChecklist() {
    dlg::ListView* list = listView(kChecklist);
    list->deleteAllItems();
    for (const followup::ChecklistRow& row : followup::checklistRows(data.todo, data.done)) {
        const int r = list->insertItem(list->itemCount(), row.title);
        list->setItemText(r, 1, row.deadline);
        list->setItemText(r, 2, row.goal);
        list->setItemText(r, 3, row.state);
    }
}

void ts::OnChecklistDoubleClick(const dlg::Notification& n) { EditItem(n.row); }

void ts::EditItem(int row) {
    dlg::ListView* list = listView(kChecklist);
    if (row < 0 || row >= list->itemCount()) return;
    ones dialog(this);
    dialog.title = list->itemText(row, 0);
    dialog.deadline = list->itemText(row, 1);
    dialog.goal = list->itemText(row, 2);
    dialog.state = list->itemText(row, 3);
    if (dialog.DoModal() != platform::IDOK) return;
    list->setItemText(row, 3, dialog.state);
    list->setItemText(row, 0, dialog.title);
    list->setItemText(row, 1, dialog.deadline);
    list->setItemText(row, 2, dialog.goal);
}

void ts::RebuildFollowUp() {
    const dlg::ListView* list = listView(kChecklist);
    std::vector<followup::ChecklistRow> rows;
    for (int r = 0; r < list->itemCount(); ++r)
        rows.push_back({list->itemText(r, 0), list->itemText(r, 1), list->itemText(r, 2), list->itemText(r, 3)});
    followup::rebuildFollowUp(rows, data.todo, data.done);
}

void ts::OnOK() {
    if (listView(kSlotList)->itemCount() == 0) return;
    data.entries = rows_;
    const QComboBox* shows = comboBox(kShowCombo);
    data.showId = shows->currentIndex() >= 0 ? shows->currentData().toInt() : -1;
    const QComboBox* rooms = comboBox(kRoomCombo);
    data.room = rooms->currentIndex() >= 0 ? rooms->currentData().toInt() : -1;
    // With no template chosen, survey is the group's own: empty, or one this workstation lacks.
    const QComboBox* templates = comboBox(kTemplateCombo);
    if (templates->currentIndex() >= 0) data.survey = templates->currentText();
    RebuildFollowUp();
    // The follow-up texts must fit their columns; the editor stays open to shorten them.
    using programme::Field;
    const struct {
        Field field;
        const QString& text;
        int maxChars;
    } stored[] = {{Field::Survey, data.survey, db::kNameColumnChars},
                  {Field::Plan, data.todo, db::kTextColumnBytes},
                  {Field::Done, data.done, db::kTextColumnBytes}};
    for (const auto& s : stored) {
        if (const QString problem = db::storedTextProblem(programme::fieldLabel(s.field), s.text, s.maxChars);
            !problem.isEmpty()) {
            platform::showError(problem);
            return;
        }
    }
    EndDialog(platform::IDOK);
}
