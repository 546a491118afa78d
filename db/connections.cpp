#include "db/connections.h"

#include <mysql.h>

#include "platform/ui_services.h"
#include "db/codepage.h"
#include "db/connection_settings.h"

namespace db {
namespace {

MYSQL* g_ticketing = nullptr;
MYSQL* g_programme = nullptr;
int g_programmeConnected = 0;
std::string g_lastError;

// A worker thread may show no message box: it is handed the text instead.
void reportOpenFailure(const QString& message, QString* failure) {
    if (failure) *failure = message;
    else platform::showError(message);
}

}  // namespace

// The character set is latin1 so that the Windows-1252 bytes of the databases pass
// unconverted; reconnecting is allowed so that the query runner's resend after a lost
// connection has a connection to resend on.
int openConnection(MYSQL*& handle, const ConnectionSettings& s, QString* failure) {
    handle = mysql_init(nullptr);
    if (!handle) {
        reportOpenFailure(QString::fromUtf8(kInitFailedMessage), failure);
        return -1;
    }
    mysql_options(handle, MYSQL_SET_CHARSET_NAME, "latin1");
    my_bool reconnect = 1;
    mysql_options(handle, MYSQL_OPT_RECONNECT, &reconnect);
    if (!mysql_real_connect(handle, s.host.c_str(), s.user.c_str(), s.password.c_str(), s.database.c_str(),
                            s.port, nullptr, 0)) {
        reportOpenFailure(QString::fromUtf8(kConnectFailedFormat).arg(fromAnsi(mysql_error(handle))), failure);
        mysql_close(handle);
        handle = nullptr;
        return -2;
    }
    return 0;
}

ConnectionSettings& ticketingSettings() {
    static ConnectionSettings s{settings::kTicketingHost, settings::kTicketingUser, settings::kTicketingPassword,
                                settings::kTicketingDatabase, settings::kTicketingPort};
    return s;
}

ConnectionSettings& programmeSettings() {
    static ConnectionSettings s{settings::kProgrammeHost, settings::kProgrammeUser, settings::kProgrammePassword,
                                settings::kProgrammeDatabase, settings::kProgrammePort};
    return s;
}

int openTicketing() {
    closeTicketing();
    return openConnection(g_ticketing, ticketingSettings());
}

void closeTicketing() {
    if (g_ticketing) mysql_close(g_ticketing);
    g_ticketing = nullptr;
}

MYSQL* ticketingConnection() { return g_ticketing; }

int connectProgramme() {
    if (g_programmeConnected == 1) closeProgramme();
    const int rc = openConnection(g_programme, programmeSettings());
    if (rc == 0) g_programmeConnected = 1;
    return rc;
}

void closeProgramme() {
    if (g_programmeConnected != 1) return;
    mysql_close(g_programme);
    g_programme = nullptr;
    g_programmeConnected = 0;
}

bool programmeConnected() { return g_programmeConnected == 1; }

MYSQL* programmeConnection() { return g_programme; }

const std::string& lastErrorText() { return g_lastError; }

void setLastErrorText(std::string text) { g_lastError = std::move(text); }

QString dbExecMessage(const std::string& statement) {
    return QString::fromUtf8(kDbExecFailedFormat).arg(fromAnsi(statement), fromAnsi(g_lastError));
}

void reportDbExecError(const std::string& statement) { platform::showError(dbExecMessage(statement)); }

}  // namespace db
