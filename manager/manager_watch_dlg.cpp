// The manager shows colleagues' changes: while it is idle it asks, on its own small
// connection, whether the programme changed since its last load, and reloads keeping what the
// user was looking at.
#include <QApplication>
#include <QEvent>
#include <QScrollBar>
#include <QSignalBlocker>
#include <map>

#include "manager/manager_dlg.h"
#include "platform/controls.h"
#include "programme/programme_data.h"

namespace {

constexpr int kRecordLists[] = {manager::kCompanyList, manager::kShowList, manager::kTimeslotList,
                                manager::kContractList, manager::kRoomList};

// The id texts of the selected rows, and the scroll position, of each list.
struct ListView {
    QStringList selected;
    int scroll = 0;
};

}  // namespace

void manager::changeEvent(QEvent* event) {
    dlg::Dialog::changeEvent(event);
    if (event->type() == QEvent::ActivationChange && isActiveWindow()) reloadIfChangedElsewhere();
}

bool manager::reloadIfChangedElsewhere() {
    // Never under one of its own dialogs, nor while a box is up.
    if (QApplication::activeModalWidget() != this || !isVisible()) return false;
    const auto stamp = watch_.firstRow(programme::kChangeStampStatement);
    if (!stamp || *stamp == programme::loadedChangeStamp()) return false;
    reloadKeepingView();
    return true;
}

void manager::reloadKeepingView() {
    std::map<int, ListView> kept;
    for (int id : kRecordLists) {
        dlg::ListView* list = listView(id);
        ListView& view = kept[id];
        for (int row : list->selectedRows()) view.selected << list->itemText(row, 0);
        view.scroll = list->verticalScrollBar()->value();
    }
    const int planningScroll = planningArea()->scrollOffset();
    reloadAll();
    // The rows come back selected as they were, without the selection links: selecting a
    // contract would otherwise select its group, its show and its company anew.
    for (int id : kRecordLists) {
        dlg::ListView* list = listView(id);
        const ListView& view = kept[id];
        {
            const QSignalBlocker quiet(list);
            for (int row = 0; row < list->itemCount(); ++row)
                if (view.selected.contains(list->itemText(row, 0))) list->setSelected(row, true);
        }
        list->verticalScrollBar()->setValue(view.scroll);
    }
    planningArea()->setScrollOffset(planningScroll);
    updateDeleteButtons();
    redraw(kPlanningArea, false);
}
