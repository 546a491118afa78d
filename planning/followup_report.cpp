#include "planning/followup_report.h"

#include <algorithm>
#include <map>

#include "planning/followup_status.h"
#include "programme/date_texts.h"
#include "programme/programme_data.h"

namespace planning {

namespace {

constexpr const char* kHeaders[] = {"Date", "Heure", "Salle", "Spectacle", "Compagnie", "Créneaux", "En retard", "Suivi"};
constexpr const char* kClosed = ", Clôturé";

}  // namespace

bool isLate(COLORREF colour, const QString& status, bool showOver, bool followed) {
    if (colour == kRed || colour == kDarkRed) return true;
    return followed && showOver && !status.endsWith(QString::fromUtf8(kClosed));
}

std::vector<ReportRow> followUpReport(const PlanningView& view, const platform::DateTime& now) {
    const auto& records = programme::timeslots();
    std::vector<ReportRow> rows;
    std::map<int, std::size_t> rowOfHead;
    for (int index : visibleTimeslots(view)) {
        const int head = programme::groupHeadIndex(index);
        if (head < 0) continue;
        if (const auto found = rowOfHead.find(head); found != rowOfHead.end()) {
            ++rows[found->second].slotCount;
            continue;
        }
        const programme::Timeslot& slot = records[index];
        ReportRow row;
        row.head = head;
        row.date = programme::longFrenchDate(slot.date);
        row.time = programme::shortTimeText(slot.start).trimmed();
        row.room = programme::roomLookup(slot.room);
        row.show = programme::showLookup(slot.showname, &row.company);
        row.slotCount = 1;
        const platform::DateTime day = slotDate(slot);
        row.colour = FollowUpStatus(head, now, day, row.status);
        // Closing steps are late from the day after the show.
        row.late = isLate(row.colour, row.status, before(day.addDays(1), now), !records[head].todo.isEmpty());
        rowOfHead[head] = rows.size();
        rows.push_back(row);
    }
    std::stable_partition(rows.begin(), rows.end(), [](const ReportRow& r) { return r.late; });
    return rows;
}

std::vector<QStringList> followUpReportLines(const std::vector<ReportRow>& rows) {
    std::vector<QStringList> lines;
    QStringList header;
    for (const char* h : kHeaders) header << QString::fromUtf8(h);
    lines.push_back(header);
    for (const ReportRow& r : rows) {
        lines.push_back({r.date, r.time, r.room, r.show, r.company, QString::number(r.slotCount),
                         r.late ? QString::fromUtf8(kLateText) : QString(), r.status});
    }
    return lines;
}

}  // namespace planning
