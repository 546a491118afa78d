#include "planning/planning_change.h"

#include <utility>

namespace planning {

using programme::ProgrammeTable;

PlanningChange::PlanningChange(PlanningView view, platform::DateTime now) : view_(std::move(view)), now_(now) {}

QStringList PlanningChange::companyNames(const QStringList& ids) {
    QStringList names;
    for (const QString& id : ids) {
        const int index = programme::companyIndexById(id);
        names << (index < 0 ? QString() : programme::companies()[static_cast<std::size_t>(index)].nom);
    }
    return names;
}

void PlanningChange::addMembers(const QSet<QString>& heads) {
    for (const QString& head : heads) {
        const int index = programme::timeslotIndexById(head);
        if (index >= 0) records_.push_back(index);
        for (int child : programme::childrenOf(head)) records_.push_back(child);
    }
}

void PlanningChange::before(ProgrammeTable table, const QStringList& ids, const QSet<QString>& heads) {
    if (whole_) return;
    switch (table) {
    case ProgrammeTable::Timeslots:
        shownBefore_ = visibleTimeslots(view_);
        headsBefore_ = heads;
        drawnBefore_ = drawnGroups(heads, view_, now_);
        break;
    case ProgrammeTable::Companies:
        // The planning shows a company by its name alone.
        namesBefore_ = companyNames(ids);
        break;
    default:
        break;
    }
}

void PlanningChange::after(ProgrammeTable table, const QStringList& ids, const programme::Applied& applied,
                           const QSet<QString>& headsAfter) {
    if (whole_ || !applied.changed) return;
    switch (table) {
    case ProgrammeTable::Timeslots:
        // Records that came, went or moved place shift the rows after them; so does a slot
        // that entered or left the range.
        if (applied.moved || !headsBefore_.contains(headsAfter) || visibleTimeslots(view_) != shownBefore_) {
            whole_ = true;
        } else if (drawnGroups(headsBefore_, view_, now_) != drawnBefore_) {
            addMembers(headsBefore_);
        }
        break;
    case ProgrammeTable::Companies: {
        const QStringList namesAfter = companyNames(ids);
        QSet<QString> renamed;
        for (qsizetype i = 0; i < ids.size() && i < namesBefore_.size(); ++i)
            if (namesAfter[i] != namesBefore_[i]) renamed.insert(ids[i]);
        const std::vector<int> shown = recordsShowing(view_, {}, renamed);
        records_.insert(records_.end(), shown.begin(), shown.end());
        break;
    }
    case ProgrammeTable::Shows: {
        const std::vector<int> shown = recordsShowing(view_, QSet<QString>(ids.begin(), ids.end()), {});
        records_.insert(records_.end(), shown.begin(), shown.end());
        break;
    }
    case ProgrammeTable::Rooms:
        whole_ = true;
        break;
    case ProgrammeTable::Contracts:
        break;
    }
}

}  // namespace planning
