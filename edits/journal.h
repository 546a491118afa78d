// The journal of the programme: the audit lines of a period, newest first, filtered by
// account and by a text, as the manager's "Journal" window lists them.
#pragma once

#include <QDate>
#include <QStringList>
#include <string>
#include <vector>

#include "edits/change_trail.h"

namespace edits {

// The lines stamped between the two days (local dates, both included), newest first.
std::string journalStatement(const QDate& from, const QDate& to);
// Runs it on the open programme connection; 0, or -1 after the db_exec message.
int loadJournal(const QDate& from, const QDate& to, std::vector<AuditLine>& lines);

struct JournalFilter {
    QString account;  // empty: every account
    QString text;     // found anywhere in the line, case and accents ignored; empty: every line
};
std::vector<AuditLine> filterJournal(const std::vector<AuditLine>& lines, const JournalFilter& filter);
// A text as the search compares it: lower case, without accents ("Fantôme" -> "fantome"),
// with "œ" and "æ" written out.
QString searchKey(const QString& text);
// The accounts that wrote these lines, and `chosen` (the account the user picked, which stays
// listed when the period has no line of it), sorted, each once.
QStringList accountsOf(const std::vector<AuditLine>& lines, const QString& chosen = {});

}  // namespace edits
