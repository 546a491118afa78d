#include "edits/statement_runs.h"

#include "db/connections.h"
#include "db/query_runner.h"

namespace edits {

void openIfClosed() {
    if (!db::programmeConnected()) db::connectProgramme();
}

bool runOrReport(const std::string& statement) {
    if (db::QueryRunner(statement, nullptr, nullptr) == db::kQueryOk) return true;
    db::closeProgramme();
    db::reportDbExecError(statement);
    return false;
}

bool runAlone(const std::string& statement) {
    openIfClosed();
    const bool ok = db::QueryRunner(statement, nullptr, nullptr) == db::kQueryOk;
    db::closeProgramme();
    if (!ok) db::reportDbExecError(statement);
    return ok;
}

}  // namespace edits
