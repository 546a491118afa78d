#include "edits/save_runner.h"

#include "db/codepage.h"
#include "db/connections.h"
#include "db/query_runner.h"
#include "db/sql_text.h"
#include "edits/audit_log.h"
#include "programme/account.h"

namespace edits {

std::string auditStatement(const QString& message) {
    return audit::insertStatement(db::sqlEscape(audit::logText(db::toAnsi(account::name()), db::toAnsi(message))));
}

bool runSave(const std::vector<std::string>& statements, const QString& auditMessage) {
    if (!db::programmeConnected() && db::connectProgramme() != 0) return false;
    // A lost connection mid-save is not resent: the resend would land outside the transaction.
    const db::NoResend inTransaction;
    std::vector<std::string> all;
    all.reserve(statements.size() + 3);
    all.emplace_back(kStartTransaction);
    all.insert(all.end(), statements.begin(), statements.end());
    all.push_back(auditStatement(auditMessage));
    all.emplace_back(kCommit);
    for (const std::string& statement : all) {
        if (db::QueryRunner(statement, nullptr, nullptr) == db::kQueryOk) continue;
        // The error text is the refused statement's; the rollback must not replace it.
        const std::string error = db::lastErrorText();
        db::QueryRunner(kRollback, nullptr, nullptr);
        db::setLastErrorText(error);
        db::closeProgramme();
        db::reportDbExecError(statement);
        return false;
    }
    db::closeProgramme();
    return true;
}

}  // namespace edits
