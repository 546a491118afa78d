// The planning area from the keyboard: the arrows and Home/End move the selection from group
// to group in the order the planning shows them, Enter edits the selected group and Delete
// deletes it, through the very handlers of the double-click and of the group's "-" button.
#include "manager/manager_dlg.h"

#include "platform/controls.h"
#include "planning/planning_draw.h"

void manager::OnPlanningKey(const dlg::Notification& n) {
    dlg::ListView* groups = listView(kTimeslotList);
    const int selectedRow = groups->nextSelected();
    switch (n.key) {
    case Qt::Key_Return:
    case Qt::Key_Enter:
        if (selectedRow >= 0) editTimeslotGroup(selectedRow);
        return;
    case Qt::Key_Delete:
        if (item(kDeleteTimeslotGroup)->isEnabled()) OnDeleteTimeslotGroup({kDeleteTimeslotGroup});
        return;
    default:
        break;
    }
    readPickers();
    const std::vector<long long> order = planning::groupOrder(planningView());
    if (order.empty()) return;
    long long group = -1;
    switch (n.key) {
    case Qt::Key_Up:
    case Qt::Key_Left: group = planning::neighbourGroup(order, selectedTimeslotId(), -1); break;
    case Qt::Key_Down:
    case Qt::Key_Right: group = planning::neighbourGroup(order, selectedTimeslotId(), 1); break;
    case Qt::Key_Home: group = order.front(); break;
    case Qt::Key_End: group = order.back(); break;
    default: return;
    }
    const int head = programme::timeslotIndexById(QString::number(group));
    if (head >= 0) selectTimeslotRecord(head);
}
