#include "followup/followup_report.h"

#include <algorithm>
#include <map>

#include "followup/followup_status.h"
#include "platform/csv.h"
#include "programme/date_texts.h"
#include "programme/programme_data.h"

namespace followup {

namespace {

// The date twice: as a date a spreadsheet sorts, and as the planning writes it.
constexpr const char* kHeaders[] = {
    "Date", "Jour", "Heure", "Salle", "Spectacle", "Compagnie", "Créneaux", "En retard", "Ce qui est en retard",
    "Suivi"};
constexpr const char* kClosed = ", Clôturé";
constexpr const char* kPaymentLate = "Paiement non réalisé";
constexpr const char* kContractStep = "retour du contrat";
constexpr const char* kPaymentStep = "paiement";
constexpr const char* kClosingStep = "clôture : ";

}  // namespace

QStringList lateSteps(COLORREF colour, const QString& status, bool showOver, bool followed) {
    QStringList steps;
    if (colour == kRed) steps << QString::fromUtf8(kContractStep);
    if (colour == kDarkRed || status.contains(QString::fromUtf8(kPaymentLate)))
        steps << QString::fromUtf8(kPaymentStep);
    if (followed && showOver && !status.endsWith(QString::fromUtf8(kClosed))) {
        // The closing clause is the last of the line: what the next step is.
        QString next = status.mid(status.lastIndexOf(QStringLiteral(", ")) + 2);
        if (!next.isEmpty()) next[0] = next[0].toLower();
        steps << QString::fromUtf8(kClosingStep) + next;
    }
    return steps;
}

bool isLate(COLORREF colour, const QString& status, bool showOver, bool followed) {
    return !lateSteps(colour, status, showOver, followed).isEmpty();
}

std::vector<ReportRow> followUpReport(const std::vector<int>& shownTimeslots, const platform::DateTime& now) {
    const auto& records = programme::timeslots();
    std::vector<ReportRow> rows;
    std::map<int, std::size_t> rowOfHead;
    for (int index : shownTimeslots) {
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
        const platform::DateTime day = programme::dayOfIsoDate(slot.date);
        if (!row.date.isEmpty()) row.isoDate = day.format(QStringLiteral("%Y-%m-%d"));
        row.time = programme::shortTimeText(slot.start).trimmed();
        row.room = programme::roomLookup(slot.room);
        row.show = programme::showLookup(slot.showname, &row.company);
        row.slotCount = 1;
        row.colour = FollowUpStatus(head, now, day, row.status);
        // Closing steps are late from the day after the show.
        row.lateWhat = lateSteps(row.colour, row.status, before(day.addDays(1), now), !records[head].todo.isEmpty())
                           .join(QStringLiteral(" ; "));
        row.late = !row.lateWhat.isEmpty();
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
        // Names and follow-up texts come from the database: none may run as a formula.
        lines.push_back({r.isoDate, r.date, r.time, platform::csvText(r.room), platform::csvText(r.show),
                         platform::csvText(r.company), QString::number(r.slotCount),
                         r.late ? QString::fromUtf8(kLateText) : QString(), r.lateWhat, platform::csvText(r.status)});
    }
    return lines;
}

}  // namespace followup
