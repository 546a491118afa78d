// How the manager's handlers run their writing statements: on the programme connection,
// opened on demand, each failure reported in the db_exec message.
#pragma once

#include <string>

namespace edits {

// Opens the programme connection unless it is open.
void openIfClosed();
// Runs a statement on the open connection; on failure closes it and reports. True on success.
bool runOrReport(const std::string& statement);
// Runs one statement, then closes the connection; reports a failure. True on success.
bool runAlone(const std::string& statement);

}  // namespace edits
