#include "planning/planning_draw.h"

#include <QHash>
#include <algorithm>
#include <cmath>

#include "followup/followup_status.h"
#include "planning/contrast.h"
#include "programme/date_texts.h"
#include "programme/programme_data.h"

namespace planning {

using platform::DateTime;
using programme::leadingInteger;
using programme::Timeslot;

namespace {

const char* const kHeaderTexts[7] = {"lun.", "mar.", "mer.", "jeu.", "ven.", "sam.", "dim."};
// The usual French abbreviations, accents kept: "jui" could be June or July.
const char* const kMonthAbbreviations[12] = {"janv.", "févr.", "mars",  "avr.", "mai",  "juin",
                                             "juil.", "août",  "sept.", "oct.", "nov.", "déc."};

constexpr int kHighlightWidth = 5;
constexpr int kTextLine1 = 2;
constexpr int kTextLine2 = 15;
constexpr int kTextLine3 = 28;
constexpr int kEntryInset = 3;
constexpr int kEntryGap = 1;

int trunc(double v) { return static_cast<int>(v); }

QString showAndCompany(const Timeslot& slot) {
    QString company;
    const QString show = programme::showLookup(slot.showname, &company);
    return show + QStringLiteral(" (") + company + u')';
}

bool inRoomFilter(const Timeslot& slot, const RoomFilter& rooms) { return rooms.empty() || rooms.passes(slot.room); }

// The left panel takes a tenth of the row, and more when its texts (the longest room name,
// "A venir") need it, up to a quarter: the right panel keeps the most room.
int leftPanelEdge(const DrawSurface& dc, double w) {
    int needed = dc.textWidth(QString::fromUtf8(kUpcoming));
    for (const programme::Room& room : programme::rooms()) needed = std::max(needed, dc.textWidth(room.name));
    // The colour panel ends 11 pixels before the edge and its text starts 2 pixels in.
    const int wanted = needed > 0 ? needed + 2 + 11 + 2 : 0;
    return std::max(trunc(0.1 * w), std::min(wanted, trunc(0.25 * w)));
}

// The text as it fits in `room` pixels: whole, or cut with an ellipsis that says so.
QString fitted(const DrawSurface& dc, const QString& text, int room) {
    if (dc.textWidth(text) <= std::max(room, 0)) return text;
    const QString ellipsis = QString(QChar(0x2026));
    // The longest beginning that fits with the ellipsis, found by halving.
    qsizetype fits = 0;
    qsizetype tooLong = text.size();
    while (tooLong - fits > 1) {
        const qsizetype middle = (fits + tooLong) / 2;
        if (dc.textWidth(text.left(middle) + ellipsis) <= room)
            fits = middle;
        else
            tooLong = middle;
    }
    return fits == 0 ? QString() : text.left(fits) + ellipsis;
}

}  // namespace

bool RoomFilter::passes(const QString& roomText) const { return ids_.count(leadingInteger(roomText)) > 0; }

DateTime slotDate(const Timeslot& slot) { return programme::dayOfIsoDate(slot.date); }

int groupIdOf(const Timeslot& slot) {
    const long long childof = leadingInteger(slot.childof);
    return static_cast<int>(childof != -1 ? childof : leadingInteger(slot.id));
}

namespace {

// The start day counts whole: the range starts at the time of day the window was opened, and
// tonight's performance must not fall out of it at midnight. The end keeps its rule.
bool dayInTimeline(const DateTime& day, const PlanningView& view) {
    return !before(day, view.from.dateOnly()) && notAfter(day, view.to);
}

}  // namespace

bool visibleInTimeline(const Timeslot& slot, const PlanningView& view) {
    if (leadingInteger(slot.deleted) != 0) return false;
    return dayInTimeline(slotDate(slot), view) && inRoomFilter(slot, view.rooms);
}

// Every paint and every hover asks this of a season's slots: the days are those of the runs of
// one date, and only the slots of the runs in the range are looked at.
std::vector<int> visibleTimeslots(const PlanningView& view) {
    std::vector<int> out;
    const auto& records = programme::timeslots();
    for (const programme::DateRun& run : programme::timeslotDateRuns()) {
        if (!dayInTimeline(run.day, view)) continue;
        for (int i = run.first; i < run.end; ++i) {
            const Timeslot& slot = records[static_cast<std::size_t>(i)];
            if (leadingInteger(slot.deleted) == 0 && inRoomFilter(slot, view.rooms)) out.push_back(i);
        }
    }
    return out;
}

QString drawnText(int index, const PlanningView& view, const DateTime& now) {
    const auto& records = programme::timeslots();
    if (index < 0 || static_cast<std::size_t>(index) >= records.size()) return {};
    const Timeslot& slot = records[static_cast<std::size_t>(index)];
    // The calendar shows the range's days from the start's time of day on: never more than the
    // timeline does.
    if (!visibleInTimeline(slot, view)) return {};
    QString status;
    const COLORREF colour = followup::FollowUpStatus(programme::groupHeadIndex(index), now, slotDate(slot), status);
    return QStringList{slot.id,  slot.childof,  slot.date,          slot.start, slot.end,
                       slot.room, slot.showname, QString::number(colour), status}
        .join(u'\x1f');
}

QStringList drawnGroups(const QSet<QString>& headIds, const PlanningView& view, const DateTime& now) {
    QStringList heads(headIds.begin(), headIds.end());
    heads.sort();
    QStringList out;
    for (const QString& head : heads) {
        out << drawnText(programme::timeslotIndexById(head), view, now);
        for (int child : programme::childrenOf(head)) out << drawnText(child, view, now);
    }
    return out;
}

std::vector<int> recordsShowing(const PlanningView& view, const QSet<QString>& showIds, const QSet<QString>& companyIds) {
    std::vector<int> out;
    if (showIds.isEmpty() && companyIds.isEmpty()) return out;
    const auto& records = programme::timeslots();
    const auto& shows = programme::shows();
    for (int i : visibleTimeslots(view)) {
        const QString& show = records[static_cast<std::size_t>(i)].showname;
        bool shown = showIds.contains(show);
        if (!shown && !companyIds.isEmpty()) {
            const int found = programme::showIndexById(show);
            shown = found >= 0 && companyIds.contains(shows[static_cast<std::size_t>(found)].comp);
        }
        if (shown) out.push_back(i);
    }
    return out;
}

int timelineContentHeight(std::size_t rows, int clientHeight) {
    const long long stacked = static_cast<long long>(rows) * kMinRowHeight;
    return stacked <= clientHeight ? clientHeight : static_cast<int>(std::min<long long>(stacked, 1LL << 30));
}

namespace {

bool highlightedFor(const Timeslot& slot, long long selectedId) {
    const long long childof = leadingInteger(slot.childof);
    return (childof != -1 && childof == selectedId) || leadingInteger(slot.id) == selectedId;
}

}  // namespace

std::vector<TimelineRow> timelineRows(const PlanningView& view, long long selectedId, int clientWidth, int clientHeight,
                                      int scroll, int* contentHeight) {
    std::vector<TimelineRow> rows;
    const std::vector<int> visible = visibleTimeslots(view);
    const int stack = timelineContentHeight(visible.size(), clientHeight);
    if (contentHeight) *contentHeight = stack;
    if (visible.empty()) return rows;
    const auto& records = programme::timeslots();
    const bool fits = stack <= clientHeight;
    const double rowHeight =
        fits ? static_cast<double>(clientHeight) / static_cast<double>(visible.size()) : kMinRowHeight;
    // Rows out of view are skipped without being looked at.
    std::size_t first = 0;
    std::size_t last = visible.size();
    if (!fits) {
        scroll = std::clamp(scroll, 0, stack - clientHeight);
        first = static_cast<std::size_t>(scroll / kMinRowHeight);
        last = std::min(visible.size(), static_cast<std::size_t>((scroll + clientHeight) / kMinRowHeight + 1));
    } else {
        scroll = 0;
    }
    double y = rowHeight * static_cast<double>(first) - scroll;
    for (std::size_t i = first; i < last; ++i) {
        const int index = visible[i];
        const Timeslot& slot = records[index];
        TimelineRow row;
        row.record = index;
        row.highlighted = highlightedFor(slot, selectedId);
        row.hit.groupId = groupIdOf(slot);
        row.hit.top = trunc(y) + 2;
        row.hit.bottom = trunc(y + rowHeight) - 2;
        row.rect = {2, row.hit.top, clientWidth - 1, row.hit.bottom};
        rows.push_back(row);
        y += rowHeight;
    }
    return rows;
}

std::optional<std::pair<int, int>> timelineRowOfGroup(const PlanningView& view, long long groupId, int clientHeight) {
    const std::vector<int> visible = visibleTimeslots(view);
    const int stack = timelineContentHeight(visible.size(), clientHeight);
    const double rowHeight =
        stack <= clientHeight ? static_cast<double>(clientHeight) / static_cast<double>(visible.size()) : kMinRowHeight;
    const auto& records = programme::timeslots();
    for (std::size_t i = 0; i < visible.size(); ++i) {
        if (!highlightedFor(records[visible[i]], groupId)) continue;
        return std::make_pair(trunc(rowHeight * static_cast<double>(i)), trunc(rowHeight * static_cast<double>(i + 1)));
    }
    return std::nullopt;
}

Rect paintedBand(const Rect& row) {
    return {row.left - kHighlightWidth, row.top - kHighlightWidth, row.right + kHighlightWidth,
            row.bottom + kHighlightWidth};
}

void DrawTimeline(DrawSurface& dc, const PlanningView& view, long long selectedId, int clientWidth, int clientHeight,
                  const DateTime& now, HitList& hits, int scroll, int* contentHeight) {
    hits.clear();
    dc.fillRect({0, 0, clientWidth, clientHeight}, kBlack);
    const auto& records = programme::timeslots();
    for (const TimelineRow& row : timelineRows(view, selectedId, clientWidth, clientHeight, scroll, contentHeight)) {
        hits.push_back(row.hit);
        if (!dc.shows(paintedBand(row.rect))) continue;
        dc.selectPen(kStockWhitePen);
        DrawTimeslotRow(dc, row.record, now, slotDate(records[row.record]), row.highlighted, row.rect.left,
                        row.rect.top, row.rect.right, row.rect.bottom);
    }
}

void DrawTimeslotRow(DrawSurface& dc, int index, const DateTime& now, const DateTime& date, bool highlighted, int left,
                     int top, int right, int bottom) {
    const auto& records = programme::timeslots();
    if (index < 0 || index >= static_cast<int>(records.size())) return;
    const Timeslot& slot = records[index];

    const double w = right - left;
    const double h = bottom - top;
    const int a = leftPanelEdge(dc, w);
    const int m = static_cast<int>(h) / 2;
    // The right edge is drawn at the row's width, as the rows have always been drawn.
    const int W = trunc(w);

    const bool paper = dc.paper();
    const Pen outline = paper ? Pen{1, kPaperOutline} : kStockWhitePen;
    const Pen previous = dc.selectPen(highlighted ? Pen{kHighlightWidth, kHighlightColour} : outline);
    dc.polyline({{left, top},
                 {a - 10, top},
                 {a - 10, top + m - 2},
                 {a, top + m - 2},
                 {a, top},
                 {W, top},
                 {W, bottom},
                 {a, bottom},
                 {a, bottom - m + 2},
                 {a - 10, bottom - m + 2},
                 {a - 10, bottom},
                 {left, bottom},
                 {left, top}});
    dc.selectPen(previous);

    const int head = programme::groupHeadIndex(index);
    if (head < 0) return;
    QString status;
    const COLORREF colour = followup::FollowUpStatus(head, now, date, status);
    dc.fillRect({left + 1, top + 1, a - 11, bottom - 1}, paper ? paperTint(colour) : colour);
    dc.fillRect({a + 1, top + 1, right, bottom - 1}, paper ? kPaperPanel : kStockGrey);

    const int leftRoom = a - 11 - (left + 2);
    const int rightRoom = right - (a + 2);
    // On paper the texts sit on the light fills themselves, in black.
    if (paper) {
        dc.setTransparentText(true);
        dc.setTextColour(kBlack);
    }
    dc.textOut(left + 2, top + kTextLine1, fitted(dc, programme::roomLookup(slot.room), leftRoom));
    if (before(now, date)) dc.textOut(left + 2, top + kTextLine2, fitted(dc, QString::fromUtf8(kUpcoming), leftRoom));
    dc.setTextColour(kBlack);
    dc.textOut(
        a + 2, top + kTextLine1,
        fitted(dc, programme::longFrenchDate(slot.date) + QStringLiteral(" à ") + programme::shortTimeText(slot.start),
               rightRoom));
    dc.setTextColour(kSecondLineColour);
    dc.textOut(a + 2, top + kTextLine2, fitted(dc, showAndCompany(slot), rightRoom));
    dc.textOut(a + 2, top + kTextLine3, fitted(dc, status, rightRoom));
}

COLORREF dayLabelColour(bool today, bool busy) {
    // The day's colour says today, busy or empty; on the calendar's white it is darkened
    // until it reads.
    return readableOn(today ? kTodayLabelColour : busy ? kBusyDayLabelColour : kEmptyDayLabelColour, kWhite);
}

int calendarFirstColumn(const DateTime& from) { return from.isValid() ? from.weekdayFromMonday() : -3; }

int calendarRows(const DateTime& from, const DateTime& to) {
    const long long days = wholeDays(to, from);
    return static_cast<int>((days + calendarFirstColumn(from) + 7) / 7 + 1);
}

const MoreEntry* moreAt(const MoreList& more, int x, int y) {
    for (const MoreEntry& e : more)
        if (x >= e.rect.left && x < e.rect.right && y >= e.rect.top && y < e.rect.bottom) return &e;
    return nullptr;
}

namespace {

int dayKey(int year, int month, int day) { return (year * 100 + month) * 100 + day; }

// The records drawn on each day of the range, in record order: one pass over the records
// instead of one per day.
QHash<int, std::vector<int>> recordsByDay(const PlanningView& view) {
    QHash<int, std::vector<int>> days;
    if (!view.from.isValid() || !view.to.isValid()) return days;
    const int first = dayKey(view.from.year(), view.from.month(), view.from.day());
    const int last = dayKey(view.to.year(), view.to.month(), view.to.day());
    const auto& records = programme::timeslots();
    for (int i = 0; i < static_cast<int>(records.size()); ++i) {
        const Timeslot& slot = records[i];
        if (leadingInteger(slot.deleted) != 0) continue;
        unsigned year = 0;
        unsigned month = 0;
        unsigned dayOfMonth = 0;
        programme::readIsoDate(slot.date, &year, &month, &dayOfMonth);
        const int key = dayKey(static_cast<int>(year), static_cast<int>(month), static_cast<int>(dayOfMonth));
        if (key < first || key > last || !inRoomFilter(slot, view.rooms)) continue;
        days[key].push_back(i);
    }
    return days;
}

}  // namespace

void DrawCalendar(DrawSurface& dc, const PlanningView& view, int left, int top, int right, int bottom,
                  const DateTime& now, HitList& hits, MoreList* more) {
    const int o = calendarFirstColumn(view.from);
    const double cw = static_cast<double>(right - left) / 7.0;
    const int rows = calendarRows(view.from, view.to);
    const double rh = static_cast<double>(bottom - top) / rows;
    const int lineHeight = std::max(1, dc.lineHeight());
    if (more) more->clear();

    const Pen previous = dc.selectPen(Pen{1, kGridColour});
    dc.setTransparentText(true);

    for (int i = 0; i < 7; ++i) {
        const Rect cell{trunc(cw * i), 0, trunc(cw * (i + 1)), trunc(rh)};
        dc.line({trunc(cw / 5 + cw * i), trunc(rh)}, {trunc(cw * (i + 1) - cw / 5), trunc(rh)});
        dc.drawText(cell, QString::fromUtf8(kHeaderTexts[i]), kTextCentre | kTextVCentre | kTextSingleLine);
    }

    const auto& records = programme::timeslots();
    const QHash<int, std::vector<int>> byDay = recordsByDay(view);
    const std::vector<int> none;
    int col = o;
    int row = 1;
    for (DateTime d = view.from; notAfter(d, view.to); d = d.addDays(1)) {
        const Rect cell{trunc(cw * col), trunc(rh * row), trunc(cw * (col + 1)), trunc(rh * (row + 1))};
        const auto found = byDay.constFind(dayKey(d.year(), d.month(), d.day()));
        const std::vector<int>& day = found == byDay.cend() ? none : *found;
        const int g = static_cast<int>(day.size());
        // Today is lit whatever the time of day of the range start, which the walked days keep.
        const bool today = d.dateOnly() == now.dateOnly();
        dc.setTextColour(dayLabelColour(today, g > 0));
        const int cellHeight = cell.bottom - cell.top;
        double sh = static_cast<double>(cellHeight) / (g + 1);
        int shown = g;
        // Entries thinner than a line of text could be neither read nor hit: the cell shows
        // those that fit at a line each, and "+N" for the others beside its day label.
        const int bands = std::max(1, cellHeight / lineHeight);
        const bool overflow = g > 0 && sh < lineHeight;
        if (overflow) {
            shown = bands - 1;
            sh = static_cast<double>(cellHeight) / bands;
        }
        const int month = d.month();
        const QString label = QString::number(d.day()) + u' ' +
                              QString::fromUtf8(month >= 1 && month <= 12 ? kMonthAbbreviations[month - 1] : "");
        const Rect labelBand{cell.left, cell.top, cell.right, trunc(cell.top + sh)};
        dc.drawText(labelBand, label, kTextCentre | kTextVCentre | kTextSingleLine);
        for (int k = 0; k < shown; ++k) {
            const Rect sub{cell.left, trunc(cell.top + sh * (k + 1)), cell.right, trunc(cell.top + sh * (k + 2))};
            const Timeslot& slot = records[day[k]];
            hits.push_back({sub.top, sub.bottom, sub.left, sub.right, groupIdOf(slot)});
            // Inside its band, so that no entry covers the lines of the next.
            DrawCalendarEntry(
                dc, day[k], now, slotDate(slot),
                {sub.left + kEntryInset, sub.top + kEntryGap, sub.right - kEntryInset, sub.bottom - kEntryGap});
        }
        if (overflow) {
            const Rect band{cell.left + cell.width() * 3 / 4, labelBand.top, cell.right, labelBand.bottom};
            dc.setTextColour(kBlack);
            dc.drawText(band, QStringLiteral("+%1").arg(g - shown), kTextCentre | kTextVCentre | kTextSingleLine);
            if (more) more->push_back({band, d.dateOnly(), g - shown});
        }
        if (++col > 6) {
            col = 0;
            ++row;
        }
    }
    dc.selectPen(previous);
}

void DrawCalendarEntry(DrawSurface& dc, int index, const DateTime& now, const DateTime& date, const Rect& rect) {
    const int head = programme::groupHeadIndex(index);
    if (head < 0) return;
    const Timeslot& slot = programme::timeslots()[index];
    QString status;
    const COLORREF colour = followup::FollowUpStatus(head, now, date, status);
    const COLORREF fill = dc.paper() ? paperTint(colour) : colour;
    dc.fillRect(rect, fill);
    dc.setTransparentText(true);
    dc.setTextColour(textColourOn(fill));
    // A line under the other, each cut to the box; the status only when the box holds both.
    const int lineHeight = std::max(1, dc.lineHeight());
    const int room = rect.width() - 2;
    Rect text{rect.left + 1, rect.top, rect.right, rect.bottom};
    dc.drawText(
        text,
        fitted(dc, programme::shortTimeText(slot.start).trimmed() + u' ' + programme::showLookup(slot.showname), room),
        kTextLeft | kTextTop | kTextSingleLine);
    if (rect.height() < 2 * lineHeight) return;
    text.top += lineHeight;
    dc.drawText(text, fitted(dc, status, room), kTextLeft | kTextTop | kTextSingleLine);
}

void DrawDetailStrip(DrawSurface& dc, const Rect& client, int hovered, const DateTime& now) {
    const auto& records = programme::timeslots();
    if (hovered < 0 || hovered >= static_cast<int>(records.size())) {
        dc.fillRect(client, kStockLightGrey);
        return;
    }
    dc.fillRect(client, kBlack);
    DrawTimeslotRow(dc, hovered, now, slotDate(records[hovered]), false, 0, 0, client.right, client.bottom);
}

std::vector<long long> groupOrder(const PlanningView& view) {
    std::vector<long long> order;
    std::set<long long> seen;
    const auto& records = programme::timeslots();
    for (int index : visibleTimeslots(view)) {
        const long long group = groupIdOf(records[index]);
        if (seen.insert(group).second) order.push_back(group);
    }
    return order;
}

long long neighbourGroup(const std::vector<long long>& order, long long current, int steps) {
    if (order.empty()) return -1;
    const auto at = std::find(order.begin(), order.end(), current);
    if (at == order.end()) return steps >= 0 ? order.front() : order.back();
    const long long position =
        std::clamp<long long>((at - order.begin()) + steps, 0, static_cast<long long>(order.size()) - 1);
    return order[static_cast<std::size_t>(position)];
}

QString timeslotSummary(int index, const DateTime& now) {
    const auto& records = programme::timeslots();
    if (index < 0 || index >= static_cast<int>(records.size())) return {};
    const Timeslot& slot = records[index];
    QString text = showAndCompany(slot) + u'\n' + programme::longFrenchDate(slot.date) + QStringLiteral(" à ") +
                   programme::shortTimeText(slot.start).trimmed() + QStringLiteral(", ") +
                   programme::roomLookup(slot.room);
    const int head = programme::groupHeadIndex(index);
    if (head < 0) return text;
    QString status;
    followup::FollowUpStatus(head, now, slotDate(slot), status);
    return text + u'\n' + status;
}

std::optional<int> hitTest(const HitList& hits, int x, int y, bool calendarMode) {
    const auto& records = programme::timeslots();
    for (const HitEntry& e : hits) {
        if (y < e.top || y > e.bottom) continue;
        if (calendarMode && (x < e.left || x > e.right)) continue;
        const int indexed = programme::timeslotIndexById(QString::number(e.groupId));
        if (indexed >= 0) return indexed;
        // An id written otherwise ("07") still reads as the group's number.
        for (int i = 0; i < static_cast<int>(records.size()); ++i) {
            if (leadingInteger(records[i].id) == e.groupId) return i;
        }
    }
    return std::nullopt;
}

}  // namespace planning
