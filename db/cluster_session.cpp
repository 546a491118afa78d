#include "db/cluster_session.h"

#include <mysql.h>

#include <atomic>
#include <string>

namespace db {

namespace {

std::atomic<ServerKind> gProgrammeServer{ServerKind::Unknown};

// The one value of a statement's answer; false when the server refused it or sent no row.
bool askValue(MYSQL* handle, const char* statement, std::string& value) {
    if (mysql_query(handle, statement) != 0) return false;
    MYSQL_RES* result = mysql_store_result(handle);
    if (!result) return false;
    const MYSQL_ROW row = mysql_fetch_row(result);
    const bool found = row && mysql_num_fields(result) >= 1;
    if (found) value = row[0] ? row[0] : "";
    mysql_free_result(result);
    return found;
}

}  // namespace

ServerKind serverKindFromAnswer(bool answered, const char* value, unsigned errorNumber) {
    if (answered) return value && std::string(value) == "1" ? ServerKind::ClusterNode : ServerKind::Plain;
    return errorNumber == kUnknownSystemVariable ? ServerKind::Plain : ServerKind::Unknown;
}

ServerKind programmeServerKind() { return gProgrammeServer.load(); }

void forgetProgrammeServerKind() { gProgrammeServer = ServerKind::Unknown; }

void prepareProgrammeSession(MYSQL* handle) {
    if (gProgrammeServer.load() == ServerKind::ClusterNode)
        mysql_optionsv(handle, MYSQL_INIT_COMMAND, kCausalReadsSetting);
}

void learnProgrammeServer(MYSQL* handle) {
    if (gProgrammeServer.load() != ServerKind::Unknown) return;
    std::string value;
    const bool answered = askValue(handle, kClusterNodeQuestion, value);
    const ServerKind kind = serverKindFromAnswer(answered, value.c_str(), answered ? 0 : mysql_errno(handle));
    if (kind == ServerKind::ClusterNode) {
        // Registered before it is made: a link lost from here on (the setting's answer with it)
        // is opened again by the library with the setting, never without it.
        mysql_optionsv(handle, MYSQL_INIT_COMMAND, kCausalReadsSetting);
        if (const auto& hook = beforeCausalReadsSetting()) hook(handle);
        if (mysql_query(handle, kCausalReadsSetting) != 0) return;  // asked again next time
    }
    gProgrammeServer = kind;
}

std::function<void(MYSQL*)>& beforeCausalReadsSetting() {
    static std::function<void(MYSQL*)> hook;
    return hook;
}

}  // namespace db
