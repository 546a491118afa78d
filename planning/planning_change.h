// What rows read again (a colleague's save, the user's own) change in the planning area: what
// it draws of them is noted before they are put in place and compared after, so that only the
// rows whose drawing changed are painted again, or the whole area when rows came, went or
// moved. The area's paint is the dearest thing such a save can cost a window.
#pragma once

#include <QSet>
#include <QString>
#include <QStringList>
#include <vector>

#include "planning/planning_draw.h"
#include "platform/date_time.h"
#include "programme/programme_data.h"

namespace planning {

class PlanningChange {
public:
    PlanningChange(PlanningView view, platform::DateTime now);

    // Before a table's rows are put in place. heads: for timeslots, the ids of the groups of
    // the rows asked for, as held.
    void before(programme::ProgrammeTable table, const QStringList& ids, const QSet<QString>& heads = {});
    // After they were; headsAfter as for before().
    void after(programme::ProgrammeTable table, const QStringList& ids, const programme::Applied& applied,
               const QSet<QString>& headsAfter = {});

    // The whole area is to be painted again.
    bool whole() const { return whole_; }
    // Else the timeslot records whose rows are (some may be out of view).
    const std::vector<int>& records() const { return records_; }
    bool any() const { return whole_ || !records_.empty(); }

private:
    static QStringList companyNames(const QStringList& ids);
    void addMembers(const QSet<QString>& heads);

    PlanningView view_;
    platform::DateTime now_;
    std::vector<int> shownBefore_;
    QSet<QString> headsBefore_;
    QStringList drawnBefore_;
    QStringList namesBefore_;
    bool whole_ = false;
    std::vector<int> records_;
};

}  // namespace planning
