// Three-way merge of a group's follow-up texts, item by item: what this workstation loaded
// (the base), what another workstation stored since (theirs) and what this one would store
// (mine). Items are matched by title (the second item of the same title by its rank); an item
// changed on one side only takes that side's text; one changed on both sides to different
// texts is a clash, and the texts are not merged.
#pragma once

#include <QString>
#include <QStringList>

namespace followup {

// The plan's items are title, title=deadline, title:goal or title=deadline:goal; the record's
// title=state.
enum class FollowUpText { Plan, Record };

struct FollowUpMerge {
    bool clean = true;
    QString merged;          // when clean
    QStringList fromTheirs;  // titles whose item came from the other side
    QStringList clashes;     // titles changed on both sides
};

FollowUpMerge MergeFollowUp(FollowUpText kind, const QString& base, const QString& theirs, const QString& mine);

}  // namespace followup
