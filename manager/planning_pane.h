// The manager's planning pane: the date range and its pickers, the planning area drawn as a
// timeline or a calendar, the detail strip of the hovered group, and the area's mouse and
// keys. It owns what the area drew last (the `hit list` and the calendar's "+N" bands) and
// the `hovered timeslot`.
#pragma once

#include <QPoint>
#include <functional>
#include <vector>

#include "planning/planning_change.h"
#include "planning/planning_draw.h"
#include "platform/date_time.h"
#include "resources/control_ids.h"

namespace dlg {
class Dialog;
class OwnerDrawButton;
struct Notification;
}  // namespace dlg
class RecordLists;

class PlanningPane : private res::ManagerControls {
public:
    static constexpr int kHoverTimer = 1;
    static constexpr int kHoverPeriodMs = 50;

    // editGroup(row) edits the group of a timeslot list row; deleteGroup() runs the group's "-".
    PlanningPane(dlg::Dialog& window, RecordLists& lists, std::function<void(int)> editGroup,
                 std::function<void()> deleteGroup);

    // The range opens on now and the days after it.
    void openRange();
    const platform::DateTime& dateFrom() const { return dateFrom_; }
    const platform::DateTime& dateTo() const { return dateTo_; }
    // The range as the pickers show it now.
    void readPickers();
    // What the area shows: the range and the rooms selected in the room list.
    planning::PlanningView view() const;
    bool calendarShown() const;

    void redraw();
    void redrawDetail();
    // Paints again what rows read again changed: the rows of those records in the timeline
    // (the calendar whole), the detail strip when a group is hovered.
    void redraw(const planning::PlanningChange& change, bool timeslotsChanged);
    int scroll() const;
    void setScroll(int offset);
    // In the timeline, scrolls the selected group's first row into view.
    void scrollSelectedGroupIntoView();

    // The window's notifications of the pane's controls.
    void draw(const dlg::Notification& n);
    void dateChanged();
    void odo2019();
    void click();
    void doubleClick();
    // The arrows and Home/End move the selection from group to group in the order the planning
    // shows them; Enter edits the selected group and Delete deletes it, as the double-click and
    // the group's "-" button do.
    void key(int key);
    // One tick of the hover tracking with the cursor at this point of the planning area.
    void hoverAt(QPoint point);
    void hoverAtCursor();

    const planning::HitList& hitList() const { return hitList_; }
    const planning::MoreList& moreList() const { return moreList_; }
    int hoveredTimeslot() const { return hoveredTimeslot_; }
    // A word for the user in the detail strip while no group is hovered ("Chargement…").
    void setNotice(const QString& notice);

private:
    dlg::OwnerDrawButton* area() const;
    void writePickers();

    dlg::Dialog& window_;
    RecordLists& lists_;
    std::function<void(int)> editGroup_;
    std::function<void()> deleteGroup_;
    platform::DateTime dateFrom_;
    platform::DateTime dateTo_;
    planning::HitList hitList_;
    planning::MoreList moreList_;
    int hoveredTimeslot_ = -1;
    QString notice_;
};
