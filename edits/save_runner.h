// A save: the statements of one change to the programme, run as one transaction on the
// programme connection with the audit line that says what it did, so that the database holds
// all of the change or none of it.
#pragma once

#include <QString>
#include <string>
#include <vector>

namespace edits {

inline constexpr const char* kStartTransaction = "START TRANSACTION";
inline constexpr const char* kCommit = "COMMIT";
inline constexpr const char* kRollback = "ROLLBACK";

// The INSERT of the audit line "account : message" for the logged-in account.
std::string auditStatement(const QString& message);

// Runs the statements and then the audit line between START TRANSACTION and COMMIT. Opens
// the connection when it is closed (a failure there shows the connection message) and
// closes it at the end. A refused statement rolls the whole save back and shows its
// "Erreur : db_exec" message. True when the save was committed.
bool runSave(const std::vector<std::string>& statements, const QString& auditMessage);

}  // namespace edits
