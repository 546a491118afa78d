// The two database connections: the ticketing database (read by the sales overview only)
// and the programme database (login, manager, audit log). Each unit of work opens its
// connection, runs its statements and closes it again.
#pragma once

#include <QString>
#include <string>

struct st_mysql;

namespace db {

// Who the programme server sees. Access: one shared account for every workstation, the staff
// checked against the `access` table (the databases of old). Server: each member of staff
// logs in with a MariaDB account of their own, whose role (reader or editor) the server
// enforces on every statement.
enum class AccountMode { Access, Server };

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
    // The programme connection only: see AccountMode.
    AccountMode accounts = AccountMode::Access;
    // Set up as the programme's: on a node of a cluster its reads wait for what the other nodes
    // committed (db/cluster_session.h), whichever thread opens it.
    bool programmeSession = false;
    ConnectionSettings forWholeReads() const {
        ConnectionSettings s = *this;
        s.wholeReads = true;
        return s;
    }
};

// The settings in force: the compiled defaults until the settings file is read at start
// (db/settings_file.h); tests may point them elsewhere before connecting. Read from any thread
// once start-up is over; written only by the start-up and, in the server-accounts mode, by the
// login, before the windows start their workers.
ConnectionSettings& ticketingSettings();
ConnectionSettings& programmeSettings();

// The file the authority's certificate is read from: the configured path as it is when
// absolute, taken from `folder` when relative, empty (the system's store) when none is given.
QString authorityFile(const std::string& configured, const QString& folder);

inline constexpr const char* kInitFailedMessage = "Impossible d'initialiser mysql";
inline constexpr const char* kConnectFailedFormat = "Erreur : mysql_real_connect : %1";
// In the connection message instead of the library's text, naming the file.
inline constexpr const char* kAuthorityUnreadableFormat = "Impossible de lire le certificat de l'autorité : %1";
// A session that the library left unencrypted although TLS was asked for.
inline constexpr const char* kNoCipherMessage = "la session n'est pas chiffrée";
// An option the library would not take: named, since the link would not be what was asked.
inline constexpr const char* kOptionRefusedFormat = "option refusée par la bibliothèque cliente (%1)";
// The oldest protocol a link may use: older ones have known breaks.
inline constexpr const char* kTlsVersions = "TLSv1.2,TLSv1.3";
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
// The same without a message (a save that lost its link opens it again to learn its fate);
// given `failure`, the message's text is put there.
int connectProgrammeQuietly(QString* failure = nullptr);
// The server's error number of the last opening that failed on this thread (0: none, or the
// failure came before the server was asked): the login tells a refused account (1045) from an
// unreachable server by it.
unsigned lastConnectErrorNumber();
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
