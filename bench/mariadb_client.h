// The mariadb client's command line for one database's settings, the yardstick the benchmarks
// set the program against: over the same TLS as the program (encrypted, the server's
// certificate verified against the same authority), so that both pay the same handshake. The
// password goes to the client through its environment (MYSQL_PWD), never on its command line,
// where every account of the machine could read it.
#pragma once

#include <QFile>
#include <cstdlib>
#include <string>

#include "db/connections.h"
#include "platform/ui_services.h"

namespace bench {

inline std::string mariadbClient(const db::ConnectionSettings& s) {
    setenv("MYSQL_PWD", s.password.c_str(), 1);
    std::string command = "mariadb --no-defaults --batch --protocol=tcp --default-character-set=latin1 -h " + s.host +
                          " -P " + std::to_string(s.port) + " -u " + s.user;
    if (s.tls) {
        command += " --ssl --ssl-verify-server-cert";
        const QString authority = db::authorityFile(s.tlsAuthority, platform::executableDir());
        if (!authority.isEmpty()) command += " --ssl-ca='" + QFile::encodeName(authority).toStdString() + "'";
    }
    return command + " " + s.database;
}

}  // namespace bench
