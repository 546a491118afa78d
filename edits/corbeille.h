// The Corbeille: the deleted companies, shows, timeslot groups and contracts, newest delete
// first, each with what it was attached to, and the restore of a selection. A delete's time,
// account and the rows that went with it come from its audit line; records deleted before
// the audit trail said so (or by another program) are listed after the others, by id
// descending, and are restored as the delete statements would undo them.
#pragma once

#include <QDateTime>
#include <QHash>
#include <QString>
#include <vector>

#include "edits/change_trail.h"
#include "edits/deletes.h"
#include "edits/record_links.h"
#include "edits/save_result.h"

namespace edits {

// The audit lines of deletes, newest first.
inline constexpr const char* kDeleteLinesStatement =
    "SELECT `utc`, `log` FROM `logs` WHERE `log` LIKE '% : supprim%]' ORDER BY `id` DESC";
// Runs it on the open programme connection; 0, or -1 after the db_exec message.
int loadDeleteLines(std::vector<AuditLine>& lines);

struct CorbeilleEntry {
    RecordRef ref;
    QString kindName;  // "Compagnie", "Spectacle", "Groupe", "Contrat"
    QString name;
    QString attachedTo;
    QDateTime deletedAt;  // UTC; invalid when the audit trail does not say
    QString deletedBy;
    ChangedRows batch;  // what its delete changed; empty when unknown
};

// From the loaded records and the delete lines (newest first). Entries of one delete keep
// together (companies, shows, groups, contracts); those without a trail come last.
std::vector<CorbeilleEntry> corbeilleEntries(const std::vector<AuditLine>& deleteLines);

// A restore of the selected entries. Parents are the deleted records they point at (the
// company of a show, the show of a group, the group of a contract, and so on up), which the
// user may restore with them.
struct RestorePlan {
    std::vector<CorbeilleEntry> targets;
    std::vector<CorbeilleEntry> parents;
};
RestorePlan planRestore(const std::vector<CorbeilleEntry>& selected, const std::vector<CorbeilleEntry>& all);

// The question when parents are deleted: answers "restore them too", "only the selection",
// "Annuler" (the last restores nothing). Empty text when there is nothing to ask.
DeleteQuestion restoreQuestion(const RestorePlan& plan);

// The statements and audit line of the restore, with the parents or without them. A group
// comes back with the slots its delete took; a company with its placeholder shows; a
// contract whose delete cleaned its group's plan puts its deadline and payments back.
// The plans its contracts write back into are those given (by head id), as the server holds
// them now, or the loaded ones.
SaveText restoreSave(const RestorePlan& plan, bool withParents, const QHash<QString, QString>* storedPlans = nullptr);

// The ids of a deleted record's rows that its latest delete took, from that delete's audit
// line, read on the open connection (inside a save); the record's own id alone when no line
// says. For a group: its head and the slots that went with it.
QStringList rowsOfLastDelete(RecordKind kind, const QString& id);

// A restored record in the user's words with what its rows brought back (the rows the restore
// sets live for it alone): "la compagnie « Mouette » avec son spectacle « <...> »", "le groupe
// de créneaux « Nuit », Rouge, ... avec ses 3 créneaux".
QString restoredInWords(const RecordRef& ref, const ChangedRows& rows);

// Runs the restore as one save. Inside it, each entry's rows and its latest delete line are
// read again: an entry restored elsewhere meanwhile is left, and rows its latest delete did
// not take stay deleted; both are named, with why (fromTheirs). What came back is in
// `restored`. The plans it writes back into are read there too.
SaveResult runRestore(const RestorePlan& plan, bool withParents);
// The one line after a restore from the Corbeille: "Restauré : ... ; ... ." and, when rows
// had changed since, "Laissé tel quel, changé depuis sur un autre poste : ... ." (nothing
// restored: "Rien n'a été restauré, tout avait changé depuis sur un autre poste : ...").
QString restoreNotice(const SaveResult& result);

}  // namespace edits
