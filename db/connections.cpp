#include "db/connections.h"

#include <mysql.h>

#include <QDir>
#include <QFile>
#include <QFileInfo>

#include "db/cluster_session.h"
#include "db/codepage.h"
#include "db/connection_settings.h"
#include "platform/ui_services.h"

namespace db {
namespace {

MYSQL* g_ticketing = nullptr;
MYSQL* g_programme = nullptr;
int g_programmeConnected = 0;
std::string g_lastError;

// The message of a failed opening: shown, unless quiet; given `failure`, its text is put there
// (a worker thread, which may show nothing, hands it to the user-interface thread).
void reportOpenFailure(const QString& message, bool quiet, QString* failure) {
    if (failure) *failure = message;
    if (!quiet) platform::showError(message);
}

// Shows the connection message with the reason given (unless quiet) and drops the handle.
int refuseConnection(MYSQL*& handle, const QString& reason, bool quiet, QString* failure) {
    reportOpenFailure(QString::fromUtf8(kConnectFailedFormat).arg(reason), quiet, failure);
    mysql_close(handle);
    handle = nullptr;
    return -2;
}

// The library's own TLS: it refuses a server that does not offer TLS, and checks the
// certificate's chain and name during the handshake, before the account is sent; a refusal
// comes back from mysql_real_connect with the library's reason. Nothing older than TLS 1.2 is
// offered. An option the library does not take is a refusal here, naming it: the link would
// otherwise go ahead as less than what was asked. An authority file that cannot be read is
// reported here, naming it: the library's text for it depends on what failed before. Returns
// that report, or nothing.
QString requireVerifiedTls(MYSQL* handle, const ConnectionSettings& s) {
    if (!s.tls) return {};
    const my_bool on = 1;
    const auto refused = [](const char* option) {
        return QString::fromUtf8(kOptionRefusedFormat).arg(QLatin1String(option));
    };
    if (mysql_optionsv(handle, MYSQL_OPT_SSL_ENFORCE, &on) != 0) return refused("MYSQL_OPT_SSL_ENFORCE");
    if (mysql_optionsv(handle, MYSQL_OPT_SSL_VERIFY_SERVER_CERT, &on) != 0)
        return refused("MYSQL_OPT_SSL_VERIFY_SERVER_CERT");
    if (mysql_optionsv(handle, MARIADB_OPT_TLS_VERSION, kTlsVersions) != 0) return refused("MARIADB_OPT_TLS_VERSION");
    const QString authority = authorityFile(s.tlsAuthority, platform::executableDir());
    if (authority.isEmpty()) return {};
    const QFileInfo file(authority);
    if (!file.isFile() || !file.isReadable())
        return QString::fromUtf8(kAuthorityUnreadableFormat).arg(QDir::toNativeSeparators(authority));
    if (mysql_optionsv(handle, MYSQL_OPT_SSL_CA, QFile::encodeName(authority).constData()) != 0)
        return refused("MYSQL_OPT_SSL_CA");
    return {};
}

// A link that drops without a reset, or a table locked on the server, would otherwise hold a
// statement for as long as the system's own limits allow: hours.
QString setTimeouts(MYSQL* handle, const ConnectionSettings& s) {
    if (s.timeout == 0) return {};
    const unsigned answers = s.wholeReads && s.loadTimeout ? s.loadTimeout : s.timeout;
    if (mysql_optionsv(handle, MYSQL_OPT_CONNECT_TIMEOUT, &s.timeout) != 0 ||
        mysql_optionsv(handle, MYSQL_OPT_READ_TIMEOUT, &answers) != 0 ||
        mysql_optionsv(handle, MYSQL_OPT_WRITE_TIMEOUT, &answers) != 0)
        return QString::fromUtf8(kOptionRefusedFormat).arg(QLatin1String("MYSQL_OPT_*_TIMEOUT"));
    return {};
}

thread_local unsigned t_lastConnectError = 0;

// Opens one connection with the settings given. The character set is latin1 so that the
// Windows-1252 bytes of the databases pass unconverted; reconnecting is allowed so that
// the query runner's resend after a lost connection has a connection to resend on. A
// programme connection reads what other nodes of a cluster committed before it.
// quiet: no message box on failure.
int openConnection(MYSQL*& handle, const ConnectionSettings& s, unsigned long clientFlags = 0, bool quiet = false,
                   QString* failure = nullptr) {
    handle = mysql_init(nullptr);
    if (!handle) {
        reportOpenFailure(QString::fromUtf8(kInitFailedMessage), quiet, failure);
        return -1;
    }
    t_lastConnectError = 0;
    // Texts cross as Windows-1252 bytes (latin1), and before any statement, again on a
    // reconnect, the session's SQL mode is pinned (see kSessionSqlMode).
    my_bool reconnect = 1;
    if (mysql_options(handle, MYSQL_SET_CHARSET_NAME, "latin1") != 0 ||
        mysql_optionsv(handle, MYSQL_INIT_COMMAND, kSessionSqlMode) != 0 ||
        mysql_options(handle, MYSQL_OPT_RECONNECT, &reconnect) != 0)
        return refuseConnection(
            handle,
            QString::fromUtf8(kOptionRefusedFormat)
                .arg(QLatin1String("MYSQL_SET_CHARSET_NAME, MYSQL_INIT_COMMAND, MYSQL_OPT_RECONNECT")),
            quiet, failure);
    if (const QString refused = setTimeouts(handle, s); !refused.isEmpty())
        return refuseConnection(handle, refused, quiet, failure);
    if (const QString refused = requireVerifiedTls(handle, s); !refused.isEmpty())
        return refuseConnection(handle, refused, quiet, failure);
    if (s.programmeSession) prepareProgrammeSession(handle);
    if (!mysql_real_connect(handle, s.host.c_str(), s.user.c_str(), s.password.c_str(), s.database.c_str(), s.port,
                            nullptr, clientFlags)) {
        t_lastConnectError = mysql_errno(handle);
        return refuseConnection(handle, fromAnsi(mysql_error(handle)), quiet, failure);
    }
    // The handshake may have settled on no encryption at all (a library built without TLS
    // takes the options and ignores them): nothing more is sent on such a link.
    if (s.tls && !mysql_get_ssl_cipher(handle))
        return refuseConnection(handle, QString::fromUtf8(kNoCipherMessage), quiet, failure);
    if (s.programmeSession) learnProgrammeServer(handle);
    return 0;
}

}  // namespace

int openQuietly(MYSQL*& handle, const ConnectionSettings& settings, QString* failure) {
    return openConnection(handle, settings, 0, true, failure);
}

int openProgrammeQuietly(MYSQL*& handle) { return openConnection(handle, programmeSettings(), 0, true); }

QString authorityFile(const std::string& configured, const QString& folder) {
    if (configured.empty()) return {};
    return QDir(folder).filePath(QString::fromUtf8(configured));
}

ConnectionSettings& ticketingSettings() {
    static ConnectionSettings s{
        settings::kTicketingHost,         settings::kTicketingUser,         "",
        settings::kTicketingDatabase,     settings::kTicketingPort,         settings::kTicketingTls,
        settings::kTicketingTlsAuthority, settings::kTicketingCheckTimeout, settings::kTicketingLoadTimeout};
    return s;
}

ConnectionSettings& programmeSettings() {
    static ConnectionSettings s = [] {
        ConnectionSettings programme{settings::kProgrammeHost,        settings::kProgrammeUser, "",
                                     settings::kProgrammeDatabase,    settings::kProgrammePort, settings::kProgrammeTls,
                                     settings::kProgrammeTlsAuthority};
        programme.programmeSession = true;
        return programme;
    }();
    return s;
}

int openTicketing() {
    closeTicketing();
    return openConnection(g_ticketing, ticketingSettings().forWholeReads());
}

void closeTicketing() {
    if (g_ticketing) mysql_close(g_ticketing);
    g_ticketing = nullptr;
}

MYSQL* ticketingConnection() { return g_ticketing; }

namespace {

int openProgramme(bool quiet, QString* failure = nullptr) {
    if (g_programmeConnected == 1) closeProgramme();
    // A save travels as two packets of several statements (its checks, then its writes), so
    // that its transaction costs the link as few round trips as can be.
    const int rc = openConnection(g_programme, programmeSettings(), CLIENT_MULTI_STATEMENTS, quiet, failure);
    if (rc == 0) g_programmeConnected = 1;
    return rc;
}

}  // namespace

int connectProgramme() { return openProgramme(false); }
int connectProgrammeQuietly(QString* failure) { return openProgramme(true, failure); }

void closeProgramme() {
    if (g_programmeConnected != 1) return;
    mysql_close(g_programme);
    g_programme = nullptr;
    g_programmeConnected = 0;
}

unsigned lastConnectErrorNumber() { return t_lastConnectError; }

bool programmeConnected() { return g_programmeConnected == 1; }

MYSQL* programmeConnection() { return g_programme; }

const std::string& lastErrorText() { return g_lastError; }

void setLastErrorText(std::string text) { g_lastError = std::move(text); }

QString dbExecMessage(const std::string& statement) {
    return QString::fromUtf8(kDbExecFailedFormat).arg(fromAnsi(statement), fromAnsi(g_lastError));
}

void reportDbExecError(const std::string& statement) { platform::showError(dbExecMessage(statement)); }

}  // namespace db
