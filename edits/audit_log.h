// The audit log: one row of the programme database's `logs` table per event, stamped with
// the server's UTC time, so that the table shows which account did what and when.
#pragma once

#include <string>
#include <string_view>

namespace audit {

inline constexpr const char* kManagerStarted = "manager started";

// The log text: the account name in the database code page, " : ", the message.
std::string logText(std::string_view accountName, std::string_view message);

// The INSERT for an already escaped log text.
std::string insertStatement(std::string_view escapedLogText);

// Backslash, both quotes, NUL, line breaks and Ctrl-Z escaped for a quoted SQL value, as
// the client library does for a single-byte character set; used when no connection is
// there to ask.
std::string escapeForSql(std::string_view text);

// The INSERT of one line with the logged-in account's name, for a connection of a worker's own
// (escaped as the library escapes for a single-byte character set).
std::string lineStatement(std::string_view message);

// Writes one line with the logged-in account's name. Opens the programme connection when
// none is open and closes it again in that case; a connection that was open stays open,
// except after a refused statement, which closes it whoever opened it.
// 0: written; -1: the database cannot be reached; -2: the statement was refused.
int writeAuditLine(std::string_view message);

}  // namespace audit
