// The two database connections: the ticketing database (read by the sales overview only)
// and the programme database (login, manager, audit log). Each unit of work opens its
// connection, runs its statements and closes it again.
#pragma once

#include <QString>
#include <string>

struct st_mysql;

namespace db {

struct ConnectionSettings {
    std::string host;
    std::string user;
    std::string password;
    std::string database;
    unsigned port = 0;
};

// The compiled-in settings; tests may point them elsewhere before connecting.
ConnectionSettings& ticketingSettings();
ConnectionSettings& programmeSettings();

inline constexpr const char* kInitFailedMessage = "Impossible d'initialiser mysql";
inline constexpr const char* kConnectFailedFormat = "Erreur : mysql_real_connect : %1";
inline constexpr const char* kDbExecFailedFormat = "Erreur : db_exec (%1) : %2";

// Opens a connection with the settings given, as both program-wide connections are opened.
// Returns 0, or -1 (initialising failed) / -2 (connecting failed) after showing the matching
// message box; given `failure`, the message's text is put there instead of being shown (a
// worker thread, which may show none, hands it to the user-interface thread).
int openConnection(st_mysql*& handle, const ConnectionSettings& s, QString* failure = nullptr);

// Ticketing connection. Returns 0, or -1 (initialising failed) / -2 (connecting failed),
// after showing the matching message box.
int openTicketing();
void closeTicketing();
st_mysql* ticketingConnection();

// Programme connection, with its connected flag. Same results and messages as above.
int connectProgramme();
// Closes the connection when the flag says it is open; otherwise does nothing.
void closeProgramme();
bool programmeConnected();
st_mysql* programmeConnection();

// The error text of the most recent refused statement, on either connection.
const std::string& lastErrorText();
void setLastErrorText(std::string text);

// The caller-side report of a failed statement: "Erreur : db_exec (%s) : %s" with the
// statement as the caller built it and the last error text.
QString dbExecMessage(const std::string& statement);
void reportDbExecError(const std::string& statement);

}  // namespace db
