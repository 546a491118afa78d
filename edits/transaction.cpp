#include "edits/transaction.h"

#include <mysql.h>

#include <chrono>
#include <random>
#include <thread>

#include "db/cluster_session.h"
#include "db/codepage.h"
#include "db/connections.h"
#include "db/query_runner.h"
#include "db/sql_text.h"
#include "db/statement_batch.h"
#include "edits/audit_log.h"
#include "edits/save_token.h"
#include "platform/ui_services.h"
#include "programme/account.h"

namespace edits {

namespace {

CheckedRows asTexts(const std::vector<db::BatchRows>& batches, std::size_t from) {
    CheckedRows checked;
    for (std::size_t i = from; i < batches.size(); ++i) {
        std::vector<QStringList> rows;
        for (const auto& row : batches[i]) {
            QStringList columns;
            for (const std::string& column : row) columns << db::fromAnsi(column);
            rows.push_back(columns);
        }
        checked.push_back(std::move(rows));
    }
    return checked;
}

bool runsAgainAfter(unsigned error) { return error == kIdTaken || error == kDeadlock || error == kLockWaitTimeout; }

// Two workstations that clashed must not clash again at once: each waits a little, longer
// at every try, never the same time.
void pause(int attempt) {
    static std::mt19937 random(std::random_device{}());
    std::uniform_int_distribution<int> jitter(1, 10 * attempt);
    std::this_thread::sleep_for(std::chrono::milliseconds(jitter(random)));
}

// A try that will not commit ends here. False when the server refused the ROLLBACK: the
// connection is then closed, which ends the transaction, and the save stops.
bool rollBack() {
    const std::string error = db::lastErrorText();
    const unsigned number = db::lastErrorNumber();
    // A deadlock reported at the ROLLBACK (a node of a cluster aborted the transaction for
    // another node's commit) says the server rolled it back already.
    const bool done =
        db::QueryRunner(rollbackStatement(), nullptr, nullptr) == db::kQueryOk || db::lastErrorNumber() == kDeadlock;
    if (!done) db::closeProgramme();
    db::setLastErrorText(error);
    db::setLastErrorNumber(number);
    return done;
}

RunEnd fail(const std::string& refused) {
    ++saveCounters().failed;
    db::closeProgramme();
    if (db::lastErrorNumber() == kNoSuchTable && refused.find("`save_tokens`") != std::string::npos)
        platform::showError(QString::fromUtf8(kTokenTableMissingMessage));
    else
        db::reportDbExecError(refused);
    return RunEnd::Failed;
}

// A link that went before the writes left: nothing of the try was written, it runs again
// (the old session, which holds the rows it read, ended first).
bool runAgainOnNewLink(unsigned error, unsigned long lostSession) {
    if (!outcomeUnknownAfter(error) || !openAgainAfterLoss()) return false;
    endLostSession(lostSession);
    ++saveCounters().linkRetries;
    return true;
}

// A try refused before its writes left (a check, or a read its decision made): nothing of it
// was written. True when it runs again; false when the save fails (its ROLLBACK refused, or a
// refusal that another try would meet again).
bool againAfterRefusalBeforeWrites(unsigned error, unsigned long session, int attempt) {
    if (runAgainOnNewLink(error, session)) return true;
    if (!rollBack() || !runsAgainAfter(error)) return false;
    ++saveCounters().lockRetries;
    pause(attempt);
    return true;
}

}  // namespace

std::string& rollbackStatement() {
    static std::string statement = kRollback;
    return statement;
}

unsigned IdSource::base(const char* table, std::size_t loadedCount) {
    if (!fromServer) return static_cast<unsigned>(loadedCount);
    const auto it = read_.find(table);
    if (it != read_.end()) return it->second;
    // The next free id: the count, as the ids are when nothing is missing, and in any case past
    // the highest one.
    const std::string statement =
        db::formatStatement("SELECT GREATEST(COUNT(*), COALESCE(MAX(`id`) + 1, 0)) FROM `%s`", table);
    const db::BatchResult result = db::runBatch({statement});
    unsigned next = static_cast<unsigned>(loadedCount);
    if (result.ok() && !result.rows.empty() && !result.rows[0].empty())
        next = static_cast<unsigned>(std::stoul(result.rows[0][0][0]));
    read_[table] = next;
    return next;
}

SaveCounters& saveCounters() {
    static SaveCounters counters;
    return counters;
}

std::string auditStatement(const QString& message) {
    return audit::insertStatement(db::sqlEscape(audit::logText(db::toAnsi(account::name()), db::toAnsi(message))));
}

SaveEnded& saveEnded() {
    static SaveEnded told;
    return told;
}

namespace {

RunEnd runTries(const std::vector<std::string>& checks, const Decide& decide, const std::string& token, RunInfo* info) {
    SaveCounters& counters = saveCounters();
    ++counters.tried;
    if (!db::programmeConnected() && db::connectProgramme() != 0) {
        ++counters.failed;
        return RunEnd::Failed;
    }
    const db::NoResend inTransaction;
    IdSource ids;
    std::string refused;
    for (int attempt = 1; attempt <= kSaveTries; ++attempt) {
        // Every way to a new try leaves a connection open; should one not, nothing is sent.
        if (!db::programmeConnected()) return fail(refused);
        // A save that reads nothing first (an add) starts its transaction in its one packet.
        CheckedRows checked;
        const unsigned long session = mysql_thread_id(db::programmeConnection());
        if (!checks.empty()) {
            std::vector<std::string> first{kStartTransaction};
            first.insert(first.end(), checks.begin(), checks.end());
            const db::BatchResult read = db::runBatch(first);
            if (!read.ok()) {
                refused = first[static_cast<std::size_t>(read.failed)];
                if (againAfterRefusalBeforeWrites(read.errorNumber, session, attempt)) continue;
                break;
            }
            checked = asTexts(read.rows, 1);
        }
        db::setLastErrorNumber(0);
        const Decision decision = decide(checked, ids);
        // The reads a decision makes (the next free id, the last delete of a row, who saved it
        // last) run in the transaction too, and their helpers take a refusal for "nothing
        // found". On a node of a cluster that refusal may be the deadlock by which another
        // node's commit rolled the transaction back: the writes would then run outside any
        // transaction, each statement committed alone. The try ends as if a check was refused.
        if (const unsigned error = db::lastErrorNumber(); error != 0) {
            refused = db::lastRefusedStatement();
            if (againAfterRefusalBeforeWrites(error, session, attempt)) continue;
            break;
        }
        if (decision.stop) {
            if (!rollBack()) return fail(kRollback);
            db::closeProgramme();
            return RunEnd::Stopped;
        }
        std::vector<std::string> second;
        if (checks.empty()) second.emplace_back(kStartTransaction);
        const std::size_t tokenIndex = second.size();
        second.push_back(tokenStatement(token));
        second.insert(second.end(), decision.writes.begin(), decision.writes.end());
        second.push_back(auditStatement(decision.audit));
        const std::size_t auditIndex = second.size() - 1;
        second.push_back(tokenAuditStatement(token));
        second.emplace_back(kCommit);
        const db::BatchResult written = db::runBatch(second);
        if (written.ok()) {
            ++counters.committed;
            if (info) info->auditId = static_cast<long long>(written.insertIds[auditIndex]);
            return RunEnd::Committed;
        }
        refused = second[static_cast<std::size_t>(written.failed)];
        if (outcomeUnknownAfter(written.errorNumber)) {
            const TokenLookup found = lookUpAfterLoss(token, session);
            if (found.state == TokenState::Stored) {
                ++counters.committed;
                ++counters.foundAfterLoss;
                if (info) info->auditId = found.auditId;
                return RunEnd::Committed;
            }
            if (found.state == TokenState::NotStored) {
                ++counters.linkRetries;
                continue;
            }
            ++counters.unknown;
            platform::ui().messageBox(QString::fromUtf8(kOutcomeUnknownMessage), platform::MessageIcon::Warning,
                                      platform::MessageButtons::Ok);
            return RunEnd::Unknown;
        }
        if (!rollBack()) return fail(refused);
        // The token taken: a try whose answer was lost committed after all, or a token that a
        // node committed alone (lookUp frees it, and the save runs again).
        if (written.errorNumber == kIdTaken && static_cast<std::size_t>(written.failed) == tokenIndex) {
            const TokenLookup found = lookUp(token);
            if (found.state == TokenState::NotStored) {
                ++counters.linkRetries;
                continue;
            }
            if (found.state != TokenState::Stored) break;
            ++counters.committed;
            ++counters.foundAfterLoss;
            if (info) info->auditId = found.auditId;
            return RunEnd::Committed;
        }
        if (written.errorNumber == kIdTaken) {
            ++counters.idRetries;
            ids = IdSource();
            ids.fromServer = true;
            continue;
        }
        // On a cluster, a new row whose id another node gave meanwhile is refused at COMMIT as
        // a conflict, not as a taken id: the next try takes its ids from the server too.
        if (written.errorNumber == kDeadlock && db::programmeServerKind() == db::ServerKind::ClusterNode) {
            ids = IdSource();
            ids.fromServer = true;
        }
        if (runsAgainAfter(written.errorNumber)) {
            ++counters.lockRetries;
            pause(attempt);
            continue;
        }
        break;
    }
    return fail(refused);
}

}  // namespace

RunEnd runTransaction(const std::vector<std::string>& checks, const Decide& decide, RunInfo* info) {
    // Made once: every try of this save carries the same one.
    const std::string token = newSaveToken();
    RunInfo own;
    RunInfo& told = info ? *info : own;
    const RunEnd end = runTries(checks, decide, token, &told);
    if (saveEnded()) saveEnded()(end, token, end == RunEnd::Committed ? told.auditId : 0);
    return end;
}

}  // namespace edits
