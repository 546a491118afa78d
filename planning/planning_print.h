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

// Draws the document on the device; the number of pages, or -1 when the device could not be
// drawn on.
int printDocument(QPagedPaintDevice& device, PrintKind kind, const PlanningView& view, const platform::DateTime& now);

// The file name proposed for the document of a range starting on `from` ("suivi-2019-07-01.csv").
QString suggestedFileName(PrintKind kind, bool csv, const platform::DateTime& from);

// Writes the document as a PDF file (A4 landscape, replacing the file); an empty text when
// done, else what failed.
QString writePdf(const QString& path, PrintKind kind, const PlanningView& view, const platform::DateTime& now);

}  // namespace planning
