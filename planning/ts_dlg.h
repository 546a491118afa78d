// The timeslot group editor (131 "Créneau(x)"): the show, the room, the dated slots and the
// follow-up checklist of one group. It runs no SQL: the manager's handlers hand it a group
// and write what it gives back.
#pragma once

#include <functional>
#include <vector>

#include "dialog/dialog.h"
#include "planning/timeslot_editor.h"
#include "resources/control_ids.h"

class ts : public dlg::Dialog, public res::TimeslotEditorControls {
    Q_OBJECT
public:
    explicit ts(QWidget* parent = nullptr);

    // Set before DoModal; after it returned IDOK, what the user chose.
    planning::TimeslotEditorData data;
    // "+" next to the shows: the manager's add-show handler; the id of the show it added, or
    // -1 when none was.
    std::function<int32_t()> createShow;

    // The checklist of the group.
    void FillTemplateList();
    void LoadTemplate();
    void FillChecklist();
    void EditItem(int row);
    void RebuildFollowUp();

protected:
    bool OnInitDialog() override;
    void OnOK() override;

private:
    static const dlg::MessageEntry<ts> kMessages[];
    void OnAddSlot(const dlg::Notification&);
    void OnEditSlot(const dlg::Notification& n);
    void OnRemoveSlot(const dlg::Notification&);
    void OnSlotChanged(const dlg::Notification&);
    void OnCreateShow(const dlg::Notification&);
    void OnTemplateChanged(const dlg::Notification&);
    void OnChecklistDoubleClick(const dlg::Notification& n);

    void refresh();
    void appendSlotRow(const planning::SlotEntry& entry, const QString& start, const QString& end);
    void selectRoomById(int32_t roomId);

    // One entry per row of the slot list, in row order.
    std::vector<planning::SlotEntry> rows_;
    bool refreshing_ = false;
};
