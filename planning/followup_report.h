// The "Suivi" report: every timeslot group of the planning's range with its follow-up status
// line, the late ones first, for whoever calls the companies. The same rows make the CSV file
// and the printed pages.
#pragma once

#include <QString>
#include <QStringList>
#include <vector>

#include "planning/draw_surface.h"
#include "planning/planning_draw.h"

namespace planning {

struct ReportRow {
    int head = -1;         // record index of the group head
    QString date;          // the long French date of the group's first slot in the range
    QString time;          // its start, "%2u:%2.2u"
    QString room;
    QString show;
    QString company;
    int slotCount = 0;     // the group's slots in the range
    QString status;        // the follow-up status line, as the planning shows it
    COLORREF colour = 0;   // its colour
    bool late = false;
};

// A group is late when a deadline has passed: the contract is not back after its return
// deadline (red), a payment due is not made (dark red), or the show is over and its closing
// steps are not all done.
bool isLate(COLORREF colour, const QString& status, bool showOver, bool followed);

// One row per group with a slot shown in the view (range and rooms), its status taken on that
// first slot as its planning row shows it; late groups first, each part in date order.
std::vector<ReportRow> followUpReport(const PlanningView& view, const platform::DateTime& now);

// The report as spreadsheet lines: a header line, then one line per row.
std::vector<QStringList> followUpReportLines(const std::vector<ReportRow>& rows);

inline constexpr const char* kReportTitle = "Suivi";
inline constexpr const char* kLateText = "oui";

}  // namespace planning
