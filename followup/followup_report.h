// The "Suivi" report: every timeslot group of the planning's range with its follow-up status
// line, the late ones first, for whoever calls the companies. The same rows make the CSV file
// and the printed pages.
#pragma once

#include <QString>
#include <QStringList>
#include <vector>

#include "followup/followup_status.h"

namespace followup {

struct ReportRow {
    int head = -1;    // record index of the group head
    QString isoDate;  // that first slot's day, YYYY-MM-DD, which a spreadsheet sorts
    QString date;     // the long French date of the group's first slot in the range
    QString time;     // its start, "%2u:%2.2u"
    QString room;
    QString show;
    QString company;
    int slotCount = 0;    // the group's slots in the range
    QString status;       // the follow-up status line, as the planning shows it
    COLORREF colour = 0;  // its colour
    bool late = false;
    QString lateWhat;  // what is late, when it is ("retour du contrat ; paiement")
};

// A group is late when a deadline has passed: the contract is not back after its return
// deadline (red), a payment due is not made, or the show is over and its closing steps are
// not all done. What is late, in the order of the follow-up; empty when nothing is.
QStringList lateSteps(COLORREF colour, const QString& status, bool showOver, bool followed);
bool isLate(COLORREF colour, const QString& status, bool showOver, bool followed);

// The colours of the status lines and what each says, for the report's legend.
struct LegendEntry {
    COLORREF colour;
    const char* text;  // UTF-8
};
inline constexpr LegendEntry kStatusLegend[] = {
    {kOrange, "à faire"},
    {kBlue, "attente de la compagnie"},
    {kGreen, "à jour"},
    {kRed, "retour du contrat en retard (du bleu au rouge à l'approche de la date limite)"},
    {kDarkRed, "paiement en retard"},
    {kGrey, "sans suivi"},
};

// One row per group with a slot among the shown timeslot records (the planning's range and
// rooms, in date order), its status taken on that first slot as its planning row shows it;
// late groups first, each part in date order.
std::vector<ReportRow> followUpReport(const std::vector<int>& shownTimeslots, const platform::DateTime& now);

// The report as spreadsheet lines: a header line, then one line per row.
std::vector<QStringList> followUpReportLines(const std::vector<ReportRow>& rows);

inline constexpr const char* kReportTitle = "Suivi";
inline constexpr const char* kLateText = "oui";
inline constexpr const char* kLateTitle = "EN RETARD";

}  // namespace followup
