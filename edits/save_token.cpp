#include "edits/save_token.h"

#include <mysql.h>

#include <chrono>
#include <random>
#include <thread>

#include "db/cluster_session.h"
#include "db/connections.h"
#include "db/query_runner.h"
#include "db/sql_text.h"
#include "db/statement_batch.h"

namespace edits {

namespace {

constexpr int kReconnectTries = 3;
constexpr std::chrono::milliseconds kReconnectPause{200};

}  // namespace

bool openAgainAfterLoss() {
    for (int i = 0; i < kReconnectTries; ++i) {
        db::closeProgramme();
        if (db::connectProgrammeQuietly() == 0) {
            db::NoResend::coverNewConnection();
            return true;
        }
        std::this_thread::sleep_for(kReconnectPause);
    }
    return false;
}

// A session whose client went keeps its transaction and its locks until it ends what is left
// of its packet (its COMMIT included) or is ended; asked to end, it rolls back what it did not
// commit. The locking read of the token does not rely on this: it waits for that session
// anyway. Refused (the session runs a trigger under its definer's account, or the new
// connection reached another node of a cluster, where the number is another session's), the
// read waits. On a node the number is never sent.
void endLostSession(unsigned long session) {
    if (db::programmeServerKind() == db::ServerKind::ClusterNode) return;
    db::runBatch({db::formatStatement("KILL CONNECTION %lu", session)});
}

std::string newSaveToken() {
    static std::random_device source;
    static std::mt19937_64 random((static_cast<uint64_t>(source()) << 32) ^ source());
    return db::formatStatement("%016llx%016llx", static_cast<unsigned long long>(random()),
                               static_cast<unsigned long long>(random()));
}

std::string tokenStatement(const std::string& token) {
    return db::formatStatement("INSERT INTO `save_tokens` (`token`, `log`) VALUES ('%s', 0)", token.c_str());
}

std::string tokenAuditStatement(const std::string& token) {
    return db::formatStatement("UPDATE `save_tokens` SET `log` = LAST_INSERT_ID() WHERE `token` = '%s'", token.c_str());
}

bool outcomeUnknownAfter(unsigned error) { return db::lostConnection(error) || error == 1927 || error == 2006; }

TokenLookup lookUp(const std::string& token) {
    TokenLookup found;
    // A locking read: a token its session wrote and has not yet committed or rolled back is
    // waited for, not read as absent.
    const db::BatchResult r = db::runBatch({db::formatStatement(
        "SELECT `log` FROM `save_tokens` WHERE `token` = '%s' LOCK IN SHARE MODE", token.c_str())});
    if (!r.ok()) return found;
    if (r.rows.empty() || r.rows[0].empty()) {
        found.state = TokenState::NotStored;
        return found;
    }
    found.auditId = std::stoll(r.rows[0][0][0]);
    if (found.auditId != 0) {
        found.state = TokenState::Stored;
        return found;
    }
    // Committed without its audit line, which the same transaction ties to it: a node of a
    // cluster ran the token's INSERT on its own after aborting the transaction around it (the
    // rest of the save went with the abort). The save is not stored; the token is freed for
    // the try that runs again.
    const db::BatchResult freed = db::runBatch(
        {db::formatStatement("DELETE FROM `save_tokens` WHERE `token` = '%s' AND `log` = 0", token.c_str())});
    found.state = freed.ok() ? TokenState::NotStored : TokenState::CannotAsk;
    return found;
}

TokenLookup lookUpAfterLoss(const std::string& token, unsigned long lostSession) {
    if (!openAgainAfterLoss()) return {};
    endLostSession(lostSession);
    const TokenLookup found = lookUp(token);
    if (found.state == TokenState::CannotAsk) db::closeProgramme();
    return found;
}

}  // namespace edits
