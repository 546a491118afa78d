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
    // Encrypted, and refused unless the server's certificate verifies against the authority and
    // the host name, before anything (the account included) is sent. Off only for a server on
    // this machine, where the settings say so.
    bool tls = true;
    // The authority's certificate file: an absolute path, or one relative to the executable's
    // folder. Empty: the system's store.
    std::string tlsAuthority;
    // Seconds to wait to connect, and for each answer or write (0: as long as it takes). A
    // connection that reads tables whole waits `loadTimeout` for each answer and write instead:
    // a check has a few seconds, a whole table longer.
    unsigned timeout = 0;
    unsigned loadTimeout = 0;
    bool wholeReads = false;
    // Set up as the programme's: on a node of a cluster its reads wait for what the other nodes
    // committed (db/cluster_session.h), whichever thread opens it.
    bool programmeSession = false;
    ConnectionSettings forWholeReads() const {
        ConnectionSettings s = *this;
        s.wholeReads = true;
        return s;
    }
};

// The compiled-in settings; tests may point them elsewhere before connecting.
ConnectionSettings& ticketingSettings();
ConnectionSettings& programmeSettings();

// The file the authority's certificate is read from: the configured path as it is when
// absolute, taken from `folder` when relative, empty (the system's store) when none is given.
QString authorityFile(const std::string& configured, const QString& folder);

inline constexpr const char* kInitFailedMessage = "Impossible d'initialiser mysql";
inline constexpr const char* kConnectFailedFormat = "Erreur : mysql_real_connect : %1";
// In the connection message instead of the library's text, naming the file.
inline constexpr const char* kAuthorityUnreadableFormat = "Impossible de lire le certificat de l'autorité : %1";
inline constexpr const char* kDbExecFailedFormat = "Erreur : db_exec (%1) : %2";

// Every connection pins its session's SQL mode when it opens. A server whose mode holds
// NO_BACKSLASH_ESCAPES (some hosted ones do) makes the library escape a quoted value by
// doubling its apostrophes only, so that a double quote typed in a name would end the value
// the statements put between double quotes; ANSI_QUOTES would read those values as names.
// Strict, as MariaDB's default is: a value too long for its column is refused, not cut.
inline constexpr const char* kSessionSqlMode =
    "SET SESSION sql_mode = 'STRICT_TRANS_TABLES,ERROR_FOR_DIVISION_BY_ZERO,NO_ENGINE_SUBSTITUTION'";

// Ticketing connection. Returns 0, or -1 (initialising failed) / -2 (connecting failed),
// after showing the matching message box.
int openTicketing();
void closeTicketing();
st_mysql* ticketingConnection();

// Programme connection, with its connected flag. Same results and messages as above.
int connectProgramme();
// The same without a message (a save that lost its link opens it again to learn its fate).
int connectProgrammeQuietly();
// Closes the connection when the flag says it is open; otherwise does nothing.
void closeProgramme();
bool programmeConnected();
st_mysql* programmeConnection();

// Opens a connection of the caller's own with these settings, showing nothing when it
// fails: 0, or -1 / -2 as above. Given `failure`, the text of the message the program-wide
// connection would have shown is put there (a worker thread hands it to the window's).
int openQuietly(st_mysql*& handle, const ConnectionSettings& settings, QString* failure = nullptr);
// The same with the programme settings.
int openProgrammeQuietly(st_mysql*& handle);

// The error text of the most recent refused statement, on either connection.
const std::string& lastErrorText();
void setLastErrorText(std::string text);

// The caller-side report of a failed statement: "Erreur : db_exec (%s) : %s" with the
// statement as the caller built it and the last error text.
QString dbExecMessage(const std::string& statement);
void reportDbExecError(const std::string& statement);

}  // namespace db
