#include "edits/transaction.h"

#include <chrono>
#include <random>
#include <thread>

#include "db/codepage.h"
#include "db/connections.h"
#include "db/query_runner.h"
#include "db/sql_text.h"
#include "db/statement_batch.h"
#include "edits/audit_log.h"
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

void rollBack() {
    const std::string error = db::lastErrorText();
    const unsigned number = db::lastErrorNumber();
    db::QueryRunner(kRollback, nullptr, nullptr);
    db::setLastErrorText(error);
    db::setLastErrorNumber(number);
}

}  // namespace

unsigned IdSource::base(const char* table, std::size_t loadedCount) {
    if (!fromServer) return static_cast<unsigned>(loadedCount);
    const auto it = read_.find(table);
    if (it != read_.end()) return it->second;
    // The next free id: the count, as the ids are when nothing is missing, and in any case past
    // the highest one.
    const std::string statement = db::formatStatement(
        "SELECT GREATEST(COUNT(*), COALESCE(MAX(`id`) + 1, 0)) FROM `%s`", table);
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

RunEnd runTransaction(const std::vector<std::string>& checks, const Decide& decide, RunInfo* info) {
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
        // A save that reads nothing first (an add) starts its transaction in its one packet.
        CheckedRows checked;
        if (!checks.empty()) {
            std::vector<std::string> first{kStartTransaction};
            first.insert(first.end(), checks.begin(), checks.end());
            const db::BatchResult read = db::runBatch(first);
            if (!read.ok()) {
                refused = first[static_cast<std::size_t>(read.failed)];
                rollBack();
                if (runsAgainAfter(read.errorNumber)) {
                    ++counters.lockRetries;
                    pause(attempt);
                    continue;
                }
                break;
            }
            checked = asTexts(read.rows, 1);
        }
        const Decision decision = decide(checked, ids);
        if (decision.stop) {
            rollBack();
            db::closeProgramme();
            return RunEnd::Stopped;
        }
        std::vector<std::string> second;
        if (checks.empty()) second.emplace_back(kStartTransaction);
        second.insert(second.end(), decision.writes.begin(), decision.writes.end());
        second.push_back(auditStatement(decision.audit));
        second.emplace_back(kCommit);
        const db::BatchResult written = db::runBatch(second);
        if (written.ok()) {
            ++counters.committed;
            if (info) info->auditId = static_cast<long long>(written.insertIds[second.size() - 2]);
            return RunEnd::Committed;
        }
        refused = second[static_cast<std::size_t>(written.failed)];
        rollBack();
        if (written.errorNumber == kIdTaken) {
            ++counters.idRetries;
            ids = IdSource();
            ids.fromServer = true;
            continue;
        }
        if (runsAgainAfter(written.errorNumber)) {
            ++counters.lockRetries;
            pause(attempt);
            continue;
        }
        break;
    }
    ++counters.failed;
    db::closeProgramme();
    db::reportDbExecError(refused);
    return RunEnd::Failed;
}

}  // namespace edits
