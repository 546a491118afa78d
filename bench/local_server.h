// The build's private server (scripts/localdb.sh), as the benchmarks and the tests reach it:
// the program's settings from the build's settings file, and the administrator's way in, which
// is the server's socket alone, as the system account that started the server.
#pragma once

#ifndef _WIN32
#include <pwd.h>
#include <unistd.h>
#endif

#include <QString>
#include <cstdio>
#include <cstdlib>
#include <string>

#include "db/settings_file.h"

namespace local_server {

// The private server's socket and a node's, in folders of the build only their account enters.
inline std::string socket() { return std::string(BRELO_BUILD_DIR) + "/run/mariadb.sock"; }
inline std::string nodeSocket(int node) {
    return std::string(BRELO_BUILD_DIR) + "/cluster/node" + std::to_string(node) + "/run/mariadb.sock";
}

// The administrator's account: the system account's own name (unix_socket authentication).
inline std::string adminUser() {
#ifdef _WIN32
    return "root";  // the Windows build's tests reach no private server
#else
    const passwd* account = getpwuid(geteuid());
    return account ? account->pw_name : "root";
#endif
}

// The connections' settings from BUILD_DIR/brelo.ini (scripts/configure-local.sh writes it);
// false, having said why, when it cannot be read.
inline bool useBuildSettings() {
    const QString problem = db::loadSettingsFiles({QStringLiteral(BRELO_BUILD_DIR "/brelo.ini")});
    if (problem.isEmpty()) return true;
    std::fprintf(stderr, "%s\n", problem.toUtf8().constData());
    return false;
}

}  // namespace local_server
