// The planning area of the manager window: which timeslots of the date range are shown, the
// timeline rows and the month calendar drawn in their follow-up colours, the hit list of what
// was drawn where, and the hit test that hover, click and double-click share.
#pragma once

#include <QSet>
#include <QString>
#include <QStringList>
#include <optional>
#include <set>
#include <utility>
#include <vector>

#include "planning/draw_surface.h"
#include "platform/date_time.h"

namespace programme {
struct Timeslot;
}

namespace planning {

// One drawn timeslot: its band (left and right are only filled in calendar mode) and the
// id of the group head it stands for.
struct HitEntry {
    int top = 0;
    int bottom = 0;
    int left = 0;
    int right = 0;
    int groupId = -1;
    bool operator==(const HitEntry&) const = default;
};
using HitList = std::vector<HitEntry>;

// The rooms selected in the room list, by room id. Room ids are not positions in the loaded
// room records, so a timeslot's `room` is matched against the ids themselves. No room
// selected shows every room.
class RoomFilter {
public:
    void add(long long roomId) { ids_.insert(roomId); }
    bool empty() const { return ids_.empty(); }
    bool passes(const QString& roomText) const;

private:
    std::set<long long> ids_;
};

// What the planning area shows: the manager's date range and room filter.
struct PlanningView {
    platform::DateTime from;
    platform::DateTime to;
    RoomFilter rooms;
};

// A timeslot's `date` (year-month-day) at 00:00.
platform::DateTime slotDate(const programme::Timeslot& slot);
// The group a record stands for: `childof` when it is not -1, else its own `id`.
int groupIdOf(const programme::Timeslot& slot);

// Timeline mode: not deleted, its day on or after the day of `from` and, at midnight, not
// after `to` (so the start day and the end day are both in whatever their time of day), and
// of a selected room.
bool visibleInTimeline(const programme::Timeslot& slot, const PlanningView& view);
std::vector<int> visibleTimeslots(const PlanningView& view);

// One timeline row: the record, its band in the hit list and the rectangle it is drawn in.
struct TimelineRow {
    int record = -1;
    bool highlighted = false;
    HitEntry hit;
    Rect rect;
};
// The visible records stacked from the top in record order. When every one fits at
// kMinRowHeight or more, each is an equal share of the height. Otherwise (so that the three
// text lines stay readable and every row can be hit) each is kMinRowHeight high, the stack
// is `scroll` pixels up, and only the rows in view are listed. selectedId is the `id` of the
// group selected in the timeslot list, or -1. contentHeight receives the stack's height.
inline constexpr int kMinRowHeight = 41;
std::vector<TimelineRow> timelineRows(const PlanningView& view, long long selectedId, int clientWidth, int clientHeight,
                                      int scroll = 0, int* contentHeight = nullptr);
// The stack's height for that many rows in that client height.
int timelineContentHeight(std::size_t rows, int clientHeight);
// Where the first row of a group sits in the stack (top, bottom), when it is visible.
std::optional<std::pair<int, int>> timelineRowOfGroup(const PlanningView& view, long long groupId, int clientHeight);

// What the planning draws of the timeslot at this record index, in either mode: empty when the
// view leaves it out, else its group, day, times, show and room ids and its head's follow-up
// colour and status line at its date. A change that leaves this text as it was paints nothing
// new; the names behind the ids are their own tables'.
QString drawnText(int index, const PlanningView& view, const platform::DateTime& now);
// The same for every record of these groups, heads first, by head id: compared before and
// after a group's rows are read again, it says whether the planning must be painted again.
QStringList drawnGroups(const QSet<QString>& headIds, const PlanningView& view, const platform::DateTime& now);

// The records in view of one of these shows, or of a show of one of these companies: their
// names are drawn beside the slots, and a name changed elsewhere paints nothing new.
std::vector<int> recordsShowing(const PlanningView& view, const QSet<QString>& showIds, const QSet<QString>& companyIds);

// What a timeline row may paint: its rectangle and the highlight's outline round it.
Rect paintedBand(const Rect& row);

// The whole planning area in timeline mode: black, then the rows in view; fills `hits` with
// them, in the control's coordinates. Rows the surface does not show are not drawn.
void DrawTimeline(DrawSurface& dc, const PlanningView& view, long long selectedId, int clientWidth, int clientHeight,
                  const platform::DateTime& now, HitList& hits, int scroll = 0, int* contentHeight = nullptr);

// One timeslot as a two-panel row: the status colour and the room on the left, the date,
// the show and the status line on the grey right panel.
void DrawTimeslotRow(DrawSurface& dc, int index, const platform::DateTime& now, const platform::DateTime& date,
                     bool highlighted, int left, int top, int right, int bottom);

// A day cell's "+N": the timeslots it had no room for, and the day they are on.
struct MoreEntry {
    Rect rect;
    platform::DateTime day;
    int count = 0;
};
using MoreList = std::vector<MoreEntry>;
// The "+N" band under (x, y), if any.
const MoreEntry* moreAt(const MoreList& more, int x, int y);

// The calendar of the view's range in the rectangle (already white): a header row and one
// row per week, each day split into a label band and one band per timeslot; one hit entry
// per drawn timeslot. An entry keeps at least a text line's height: a day whose entries do
// not all fit shows those that do and, beside its day label, "+N" for the others (in `more`).
void DrawCalendar(DrawSurface& dc, const PlanningView& view, int left, int top, int right, int bottom,
                  const platform::DateTime& now, HitList& hits, MoreList* more = nullptr);
void DrawCalendarEntry(DrawSurface& dc, int index, const platform::DateTime& now, const platform::DateTime& date,
                       const Rect& rect);

// The detail strip: light grey with nothing hovered, otherwise the hovered group's row.
void DrawDetailStrip(DrawSurface& dc, const Rect& client, int hovered, const platform::DateTime& now);

// The whole texts of a drawn timeslot, which its row may show cut: show and company, date,
// time and room, and the status line; empty for a record that is not loaded.
QString timeslotSummary(int index, const platform::DateTime& now);

// The record index of the group head under (x, y): the first entry whose band holds y (and
// x, in calendar mode) and whose group head is loaded.
std::optional<int> hitTest(const HitList& hits, int x, int y, bool calendarMode);

// The groups shown in the view, each once, in the order of their first slot: the order in
// which the keyboard moves through the planning.
std::vector<long long> groupOrder(const PlanningView& view);
// The group `steps` places after `current` in `order` (before it when negative), stopping at
// either end; with `current` not in the order, the first group going forward and the last
// going back. -1 for an empty order.
long long neighbourGroup(const std::vector<long long>& order, long long current, int steps);

// Calendar geometry, apart for the tests: the column of the range's first day (Monday 0,
// -3 for an invalid start) and the number of rows, the header row included.
int calendarFirstColumn(const platform::DateTime& from);
// The colour of a day's label: today, a day with slots, an empty day (readable on white).
COLORREF dayLabelColour(bool today, bool busy);
int calendarRows(const platform::DateTime& from, const platform::DateTime& to);

inline constexpr COLORREF kHighlightColour = 0xFFFF00;
inline constexpr COLORREF kSecondLineColour = 0x202000;
inline constexpr COLORREF kGridColour = 0xC0C0C0;
inline constexpr COLORREF kTodayLabelColour = 0x0080FF;
inline constexpr COLORREF kBusyDayLabelColour = 0xFF8000;
inline constexpr COLORREF kEmptyDayLabelColour = 0xC0C0C0;
inline constexpr const char* kUpcoming = "A venir";

}  // namespace planning
