// The audit line a save writes: what it did in the program's French, then the rows it
// changed between brackets, for example
//   compagnie 3 "Mouette" : supprimée avec 2 spectacles [comp=3 showname=4,9]
// The Corbeille reads the brackets back to date a delete, name who made it, and restore
// exactly the rows that went together (a group's slots removed earlier by an edit stay out).
#pragma once

#include <QDateTime>
#include <QString>
#include <QStringList>
#include <utility>
#include <vector>

#include "edits/record_links.h"

namespace edits {

// The server's pattern (REGEXP) of the audit lines whose tail names this row.
std::string rowPattern(const char* table, const QString& id);

// Rows by table, in the order they were added.
class ChangedRows {
public:
    void add(const QString& table, const QString& id);
    void add(const QString& table, const QStringList& ids);
    QStringList ids(const QString& table) const;
    bool contains(const QString& table, const QString& id) const;
    bool empty() const { return tables_.empty(); }
    // " [comp=3 showname=4,9]"; empty when there are no rows.
    QString tail() const;
    // The rows of the bracketed tail that ends a log text; none when it has no such tail.
    static ChangedRows parse(const QString& logText);

private:
    std::vector<std::pair<QString, QStringList>> tables_;
};

// The table name under which a contract delete notes the group whose plan it cleaned.
inline constexpr const char* kCleanedPlanKey = "plan";

// « compagnie 3 "Mouette" », « spectacle 7 "Nuit" », « groupe 12 "Nuit" », « contrat 4 ».
QString auditSubject(const RecordRef& ref);
// "supprimée" or "supprimé", "restaurée" or "restauré", as the kind's gender asks.
QString deletedWord(RecordKind kind);
QString restoredWord(RecordKind kind);

// A line's message without the bracketed rows at its end.
QString withoutRows(const QString& message);

// One line of the `logs` table, read back.
struct AuditLine {
    QDateTime utc;
    QString account;  // the text before the first " : "
    QString message;  // the text after it
    ChangedRows rows;
};
// "Demo : compagnie 3 ..." -> account Demo and the rest; utcText as the server sends it.
AuditLine parseAuditLine(const QString& utcText, const QString& logText);

}  // namespace edits
