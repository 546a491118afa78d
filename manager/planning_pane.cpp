#include "manager/planning_pane.h"

#include <QCursor>
#include <set>

#include "dialog/controls.h"
#include "dialog/dialog.h"
#include "manager/record_lists.h"
#include "planning/draw_surface.h"
#include "programme/programme_data.h"

namespace {

constexpr double kRangeDays = 90.0;

}  // namespace

PlanningPane::PlanningPane(dlg::Dialog& window, RecordLists& lists, std::function<void(int)> editGroup,
                           std::function<void()> deleteGroup)
    : window_(window),
      lists_(lists),
      editGroup_(std::move(editGroup)),
      deleteGroup_(std::move(deleteGroup)),
      dateFrom_(platform::DateTime::now()) {}

void PlanningPane::openRange() {
    dateTo_ = dateFrom_.addDays(kRangeDays);
    writePickers();
}

// ---- date range --------------------------------------------------------------------------

void PlanningPane::readPickers() {
    dateFrom_ = platform::DateTime::fromQDateTime(window_.datePicker(kDateFrom)->dateTime());
    dateTo_ = platform::DateTime::fromQDateTime(window_.datePicker(kDateTo)->dateTime());
}

void PlanningPane::writePickers() {
    // Each write raises the picker's change, which reads both pickers back: keep copies.
    const platform::DateTime from = dateFrom_;
    const platform::DateTime to = dateTo_;
    window_.datePicker(kDateFrom)->setDateTime(from.toQDateTime());
    window_.datePicker(kDateTo)->setDateTime(to.toQDateTime());
    dateFrom_ = from;
    dateTo_ = to;
}

void PlanningPane::dateChanged() {
    redraw();
    readPickers();
}

void PlanningPane::odo2019() {
    dateFrom_ = platform::DateTime::fromParts(2019, 7, 1);
    dateTo_ = platform::DateTime::fromParts(2019, 7, 31);
    writePickers();
    redraw();
}

// ---- the area ----------------------------------------------------------------------------

bool PlanningPane::calendarShown() const { return window_.isChecked(kCalendar); }
void PlanningPane::redraw() { window_.redraw(kPlanningArea, false); }
void PlanningPane::redrawDetail() { window_.redraw(kDetailStrip, true); }

void PlanningPane::redraw(const planning::PlanningChange& change, bool timeslotsChanged) {
    // The hovered group's follow-up may be what changed.
    if ((change.any() || timeslotsChanged) && hoveredTimeslot_ >= 0) redrawDetail();
    if (change.whole() || (change.any() && calendarShown())) {
        redraw();
        redrawDetail();
        return;
    }
    if (change.records().empty()) return;
    dlg::OwnerDrawButton* drawn = area();
    const QRect client = drawn->contentRect();
    const std::set<int> wanted(change.records().begin(), change.records().end());
    for (const planning::TimelineRow& row : planning::timelineRows(view(), lists_.selectedTimeslotId(), client.width(),
                                                                   client.height(), drawn->scrollOffset())) {
        if (!wanted.count(row.record)) continue;
        const planning::Rect band = planning::paintedBand(row.rect);
        drawn->update(QRect(band.left, band.top, band.right - band.left, band.bottom - band.top) & client);
    }
}

void PlanningPane::setNotice(const QString& notice) {
    if (notice == notice_) return;
    notice_ = notice;
    redrawDetail();
}
int PlanningPane::scroll() const { return area()->scrollOffset(); }
void PlanningPane::setScroll(int offset) { area()->setScrollOffset(offset); }

dlg::OwnerDrawButton* PlanningPane::area() const {
    return qobject_cast<dlg::OwnerDrawButton*>(window_.item(kPlanningArea));
}

planning::PlanningView PlanningPane::view() const {
    planning::PlanningView view{dateFrom_, dateTo_, {}};
    const dlg::ListView* roomList = window_.listView(kRoomList);
    const auto& records = programme::rooms();
    for (int row : roomList->selectedRows()) {
        const qint64 index = roomList->itemData(row);
        if (index >= 0 && index < static_cast<qint64>(records.size()))
            view.rooms.add(programme::leadingInteger(records[static_cast<std::size_t>(index)].id));
    }
    return view;
}

void PlanningPane::draw(const dlg::Notification& n) {
    // A change to some rows paints those alone: the timeline skips the others.
    planning::PainterSurface dc(*n.painter, n.id == kPlanningArea ? area()->paintedRegion() : QRegion());
    const planning::Rect client{n.rect.left(), n.rect.top(), n.rect.right() + 1, n.rect.bottom() + 1};
    const platform::DateTime now = platform::DateTime::now();
    if (n.id == kDetailStrip) {
        planning::DrawDetailStrip(dc, client, hoveredTimeslot_, now);
        if (hoveredTimeslot_ < 0 && !notice_.isEmpty()) {
            dc.setTransparentText(true);
            dc.setTextColour(planning::kBlack);
            dc.textOut(client.left + 4, client.top + 4, notice_);
        }
        return;
    }
    dlg::OwnerDrawButton* drawn = area();
    if (calendarShown()) {
        drawn->setContentHeight(0, planning::kMinRowHeight);
        hitList_.clear();
        dc.fillRect(client, planning::kWhite);
        planning::DrawCalendar(dc, view(), client.left, client.top, client.right, client.bottom, now, hitList_,
                               &moreList_);
        return;
    }
    moreList_.clear();
    readPickers();
    int contentHeight = client.height();
    planning::DrawTimeline(dc, view(), lists_.selectedTimeslotId(), client.width(), client.height(), now, hitList_,
                           drawn->scrollOffset(), &contentHeight);
    // The bar appears or goes with the rows; the next paint lays the rows out beside it.
    drawn->setContentHeight(contentHeight, planning::kMinRowHeight);
}

void PlanningPane::scrollSelectedGroupIntoView() {
    if (calendarShown()) return;
    dlg::OwnerDrawButton* drawn = area();
    const long long selected = lists_.selectedTimeslotId();
    if (selected < 0) return;
    if (const auto row = planning::timelineRowOfGroup(view(), selected, drawn->contentRect().height()))
        drawn->scrollIntoView(row->first, row->second);
}

// ---- mouse -------------------------------------------------------------------------------

void PlanningPane::click() {
    const QPoint at = area()->lastPress;
    if (const auto r = planning::hitTest(hitList_, at.x(), at.y(), calendarShown())) lists_.selectTimeslotRecord(*r);
}

void PlanningPane::doubleClick() {
    const QPoint at = area()->lastPress;
    if (calendarShown()) {
        // A day's "+N": that day alone, as a timeline.
        if (const planning::MoreEntry* more = planning::moreAt(moreList_, at.x(), at.y())) {
            const platform::DateTime day = more->day;
            dateFrom_ = day;
            dateTo_ = day.addDays(1.0 - 1.0 / 86400.0);
            writePickers();
            window_.setChecked(kCalendar, false);
            redraw();
            return;
        }
    }
    const auto r = planning::hitTest(hitList_, at.x(), at.y(), calendarShown());
    if (!r) return;
    const int row = lists_.selectTimeslotRecord(*r);
    if (row >= 0) editGroup_(row);
}

void PlanningPane::hoverAt(QPoint p) {
    QWidget* drawn = window_.item(kPlanningArea);
    if (p.x() >= 0 && p.x() < drawn->width() && p.y() >= 0 && p.y() < drawn->height()) {
        if (const auto r = planning::hitTest(hitList_, p.x(), p.y(), calendarShown())) {
            if (*r != hoveredTimeslot_) {
                hoveredTimeslot_ = *r;
                redrawDetail();
                // The row may show its texts cut: the tip shows them whole.
                drawn->setToolTip(planning::timeslotSummary(hoveredTimeslot_, platform::DateTime::now()));
            }
            return;
        }
    }
    if (hoveredTimeslot_ != -1) {
        hoveredTimeslot_ = -1;
        redrawDetail();
        drawn->setToolTip(QString());
    }
}

void PlanningPane::hoverAtCursor() { hoverAt(window_.item(kPlanningArea)->mapFromGlobal(QCursor::pos())); }

// ---- keys --------------------------------------------------------------------------------

void PlanningPane::key(int key) {
    const int selectedRow = window_.listView(kTimeslotList)->nextSelected();
    switch (key) {
    case Qt::Key_Return:
    case Qt::Key_Enter:
        if (selectedRow >= 0) editGroup_(selectedRow);
        return;
    case Qt::Key_Delete:
        if (window_.item(kDeleteTimeslotGroup)->isEnabled()) deleteGroup_();
        return;
    default: break;
    }
    readPickers();
    const std::vector<long long> order = planning::groupOrder(view());
    if (order.empty()) return;
    long long group = -1;
    switch (key) {
    case Qt::Key_Up:
    case Qt::Key_Left: group = planning::neighbourGroup(order, lists_.selectedTimeslotId(), -1); break;
    case Qt::Key_Down:
    case Qt::Key_Right: group = planning::neighbourGroup(order, lists_.selectedTimeslotId(), 1); break;
    case Qt::Key_Home: group = order.front(); break;
    case Qt::Key_End: group = order.back(); break;
    default: return;
    }
    const int head = programme::timeslotIndexById(QString::number(group));
    if (head >= 0) lists_.selectTimeslotRecord(head);
}
