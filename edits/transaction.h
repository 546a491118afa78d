// How a save runs: one transaction on the programme connection in two packets, its checks
// (START TRANSACTION and the rows it will change, read FOR UPDATE) and then its writes with
// its audit line and COMMIT. It runs again as a whole when the server refuses a new row's id
// as taken (1062), breaks a deadlock (1213) or gives up a lock wait (1205), with fresh ids
// from the server after a taken one; a bounded number of tries. On a node of a Galera cluster
// a save that clashed with one committed on another node is refused as a deadlock (1213), at
// COMMIT or at its next statement, and runs again the same way (with fresh ids, as the clash
// may be over a new row's id). A read its decision makes on the way that the server refuses
// ends the try as a refused check does. A link lost before its writes runs it again on a new
// connection; one lost while its writes and COMMIT travelled is settled by its token
// (edits/save_token.h).
// Anything else rolls the whole save back and is shown once in the "Erreur : db_exec" message:
// the database then holds nothing of it. A ROLLBACK the server refuses closes the connection,
// whose end rolls the transaction back, and fails the save: nothing more is sent on it.
#pragma once

#include <QString>
#include <QStringList>
#include <functional>
#include <map>
#include <string>
#include <vector>

namespace edits {

inline constexpr const char* kStartTransaction = "START TRANSACTION";
inline constexpr const char* kCommit = "COMMIT";
inline constexpr const char* kRollback = "ROLLBACK";
inline constexpr int kSaveTries = 8;

// The server errors after which a save runs again.
inline constexpr unsigned kIdTaken = 1062;
inline constexpr unsigned kDeadlock = 1213;
inline constexpr unsigned kLockWaitTimeout = 1205;

// The rows each check read, as texts of the user interface.
using CheckedRows = std::vector<std::vector<QStringList>>;

// Where new rows take their ids: the number of records loaded, as the programme has always
// done, until the server said an id was taken; then the next free id the server gives.
class IdSource {
public:
    // The first id of new rows of this table in this try.
    unsigned base(const char* table, std::size_t loadedCount);
    bool fromServer = false;

private:
    std::map<std::string, unsigned> read_;
};

// What a save decides once its checks are read.
struct Decision {
    bool stop = false;                // a conflict, or the row is gone: nothing is written
    std::vector<std::string> writes;  // the statements of the save, in order
    QString audit;                    // the audit line's message
};

using Decide = std::function<Decision(const CheckedRows& checked, IdSource& ids)>;

// Unknown: the link went during the writes and the server could not be asked since (said).
enum class RunEnd { Committed, Stopped, Failed, Unknown };

// What the running of saves has met, for the figures of the shared-office stress test.
struct SaveCounters {
    long tried = 0;
    long committed = 0;
    long idRetries = 0;
    long lockRetries = 0;
    long linkRetries = 0;     // a try run again on a new connection after its link went
    long foundAfterLoss = 0;  // committed saves whose answer was lost, their token found
    long unknown = 0;
    long failed = 0;
};
SaveCounters& saveCounters();

struct RunInfo {
    long long auditId = 0;  // the audit line's id when committed
};

// Runs a save. Opens the connection when it is closed (a failure there shows the connection
// message). The connection is left open after a commit, for the reload that follows, and
// closed otherwise.
RunEnd runTransaction(const std::vector<std::string>& checks, const Decide& decide, RunInfo* info = nullptr);

// The statement that ends a try that will not commit; a test puts one the server refuses.
std::string& rollbackStatement();

// Tests: told how each save ended, with the token it carried and, committed, its audit line's
// id; the shared-office stress test checks each against the tokens the server holds.
using SaveEnded = std::function<void(RunEnd end, const std::string& token, long long auditId)>;
SaveEnded& saveEnded();

// The INSERT of the audit line "account : message" for the logged-in account.
std::string auditStatement(const QString& message);

}  // namespace edits
