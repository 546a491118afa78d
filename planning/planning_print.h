// The planning on paper, or in a PDF file: the timeline a week a page with the rooms as bands,
// the calendar a month a page, and the "Suivi" report. Pages are drawn by the same functions
// as the screen (planning_draw.h) on a page of 96 dots an inch, whatever the device's own.
#pragma once

#include <QString>
#include <vector>

#include "planning/planning_draw.h"

class QPagedPaintDevice;

namespace planning {

enum class PrintKind { Timeline, Calendar, Report };

// What one page shows: part of the range, and its title.
struct PrintPeriod {
    platform::DateTime from;
    platform::DateTime to;
    QString title;
};
// The weeks (Monday to Sunday) that the view's range touches, each cut to the range.
std::vector<PrintPeriod> weekPeriods(const PlanningView& view);
// The months that the view's range touches, each cut to the range.
std::vector<PrintPeriod> monthPeriods(const PlanningView& view);

// A room's band on a week page: the records of its slots, in date order.
struct RoomBand {
    QString room;
    std::vector<int> records;
};
// The rooms that have slots in the view, in the order of the loaded rooms (a room unknown to
// them last, by its id).
std::vector<RoomBand> roomBands(const PlanningView& view);

// One line of the printed timeline: a week's title, a room's band header, a timeslot row, or
// the line that stands for weeks without a slot.
struct TimelineLine {
    enum Kind { Week, Room, Slot, Nothing };
    Kind kind = Slot;
    QString text;     // Week, Room, Nothing
    int record = -1;  // Slot
    bool operator==(const TimelineLine&) const = default;
};
using TimelinePage = std::vector<TimelineLine>;
// The height each kind of line takes on the page.
int timelineLineHeight(TimelineLine::Kind kind);
// The timeline on pages of `height`: each week with slots from a new page (continued on the
// next, its title and room repeated, when it does not fit), its rooms as bands; a run of weeks
// without a slot is one line ("Aucun créneau du … au …."), on the page before when it fits.
std::vector<TimelinePage> timelinePages(const PlanningView& view, int height);

// Draws the document on the device; the number of pages, or -1 when the device could not be
// drawn on.
int printDocument(QPagedPaintDevice& device, PrintKind kind, const PlanningView& view, const platform::DateTime& now);

// The file name proposed for the document of a range starting on `from` ("suivi-2019-07-01.csv").
QString suggestedFileName(PrintKind kind, bool csv, const platform::DateTime& from);

// Writes the document as a PDF file (A4 landscape, replacing the file); an empty text when
// done, else what failed.
QString writePdf(const QString& path, PrintKind kind, const PlanningView& view, const platform::DateTime& now);

}  // namespace planning
