// The ticketing tables kept in step with the server on a worker's own connection, moving
// over the link only what changed.
//
// The first load, and a load the user asks for, read the three tables whole with the
// statements of the load. A refresh on the timer first asks the server for one check value
// per table: when they are those of the tables held, nothing more crosses the link. When one
// differs, the server gives check values per bucket of 64 show ids, then per show id within
// the buckets that differ, and only the shows and reservations of the show ids that differ
// are read again, then put in place of the ones held.
//
// A check value is the number of rows and the sum, modulo 2^64, of one 64-bit half of each
// row's digest, the MD5 of its column texts. A digest that is not linear in the row's bytes
// lets no pattern of edits cancel in the sum (the same edit to two rows, two values swapped),
// as it did with a sum of CRC-32s. The timer's checks sum the high half. The tables held keep
// each row's digest as computed from the texts that arrived, so that the values compared
// always describe the rows the program holds, whatever changed on the server between two
// statements: a difference is found again at the next refresh, never lost. Every few minutes
// the timer asks for a verification, which compares every bucket's sum of the low half, a
// digest independent of the high one, whatever the totals say: what the totals could still
// miss is found within that time. It moves check values only, unless something differs.
#pragma once

#include <QDateTime>
#include <QString>
#include <cstdint>
#include <functional>
#include <map>
#include <memory>
#include <string>
#include <string_view>
#include <vector>

#include "db/own_connection.h"
#include "sales/aggregation.h"
#include "sales/ticketing_data.h"

namespace sales {

// Tables and their index as one load or refresh left them, shared read-only by the worker
// that made them and the window that shows them.
struct TicketingSnapshot {
    TicketingData data;
    SalesIndex index;
};

enum class RefreshKind {
    Whole,    // the three tables read whole: the first load, "Mettre à jour"
    Changes,  // only what changed since the tables held: a tick of the timer
    Verify,   // as Changes, comparing every bucket's check values whatever the totals say
};

// A statement that did not give its rows, and the library's text for it.
struct StatementFailure {
    std::string statement;
    std::string errorText;  // empty when the runner recorded none: the report then shows the last one
};

struct RefreshOutcome {
    bool reached = false;  // the server was reached and the link held to the end
    // The server gave no answer within the read timeout (a table locked, a link gone quiet).
    bool timedOut = false;
    // A table was not read to its end (the statement interrupted while its rows came): the
    // tables held stay, and are no longer current.
    bool partial = false;
    // The new tables; null when nothing changed or the server was not reached.
    std::shared_ptr<const TicketingSnapshot> tables;
    QString openFailure;  // the message of a connection that could not be opened
    std::vector<StatementFailure> failures;
    bool wholeLoad = false;              // the tables were read whole
    std::vector<int32_t> rereadShowIds;  // the show ids whose rows were read again, ascending
    int statements = 0;                  // sent on the connection, each one round trip
    QDateTime finishedAt;
};

// A row's digest: the MD5 of its column texts joined by the unit separator (0x1F), cut into
// two 64-bit numbers, high byte first. The server computes the same from
// MD5(CONCAT_WS(CHAR(31), IFNULL(column, ''), ...)): a NULL reads as empty on both sides.
struct RowDigest {
    uint64_t high = 0;
    uint64_t low = 0;
    bool operator==(const RowDigest&) const = default;
};
RowDigest rowDigest(int32_t count, char** columns);

// The half a check sums: the high one on the timer, the low one for a verification.
enum class DigestHalf { High, Low };
inline uint64_t halfOf(const RowDigest& digest, DigestHalf half) {
    return half == DigestHalf::High ? digest.high : digest.low;
}

struct Check {
    uint64_t rows = 0;
    uint64_t sum = 0;  // of one half of the rows' digests, modulo 2^64
    void add(uint64_t half) {
        ++rows;
        sum += half;
    }
    bool operator==(const Check&) const = default;
};

inline constexpr int32_t kBucketWidth = 64;
// The server's `id` DIV 64: the quotient truncated towards zero, as C++ divides.
inline int32_t bucketOf(int32_t showId) { return showId / kBucketWidth; }

// The three tables by their place in a statement.
enum TicketingTable { kRoomTable = 0, kShowTable = 1, kReservationTable = 2, kTableCount = 3 };
// The names of each table's columns, in the order SELECT * gives them.
using TableColumns = std::vector<std::string>;

// The added statements, built from the column names the server gave for SELECT *.
// The check value of every table (the high halves), one row of three "rows sum" texts.
std::string totalsStatement(const TableColumns (&columns)[kTableCount]);
// Rows (table, bucket, rows, sum) per bucket of the shows and reservations tables asked for.
std::string bucketsStatement(const TableColumns (&columns)[kTableCount], bool shows, bool reservations,
                             DigestHalf half = DigestHalf::High);
// Rows (table, show id, rows, sum) per show id within the buckets given, per table.
std::string showIdsStatement(const TableColumns (&columns)[kTableCount], const std::vector<int32_t>& showBuckets,
                             const std::vector<int32_t>& reservationBuckets, DigestHalf half = DigestHalf::High);
// The rows of the show ids given, in the order of their first column.
std::string showsOfIdsStatement(const TableColumns& showColumns, const std::vector<int32_t>& ids);
std::string reservationsOfIdsStatement(const TableColumns& reservationColumns, const std::vector<int32_t>& ids);

// "rows sum" as the totals statement writes it; false for anything else.
bool parseCheck(std::string_view text, Check& check);
// The keys whose check values differ between two sets, a key missing on one side included.
std::vector<int32_t> differingKeys(const std::map<int32_t, Check>& held, const std::map<int32_t, Check>& server);

class TicketingSync {
public:
    TicketingSync();
    // `settings` are those of a check; tables read whole are read on a connection opened for
    // that (settings.forWholeReads()).
    RefreshOutcome refresh(RefreshKind kind, db::OwnConnection& link, const db::ConnectionSettings& settings);
    // Called with each statement before it is sent (a test changes the tables there, between
    // two statements of one refresh).
    std::function<void(const std::string& statement)> beforeEachStatement;

    std::shared_ptr<const TicketingSnapshot> tables() const { return held_.snapshot; }
    // Whether a refresh on the timer can read only the changes: the last whole load read
    // every table, in the order of the first column, and the server's check values have not
    // kept disagreeing with the program's since a whole load last agreed with them.
    bool readsChangesOnly() const;

    // The rows held: each row's digest and, for the reservations, the first column, which
    // orders them; parallel to the tables of the snapshot.
    struct Held {
        std::shared_ptr<const TicketingSnapshot> snapshot;
        std::vector<RowDigest> checks[kTableCount];
        std::vector<int32_t> reservationKeys;
        TableColumns columns[kTableCount];
        bool inOrder = false;
    };

private:
    enum class Ran { Ok, Refused, Cut, LinkBroken };
    enum class Read { Done, Broken, NeedsWhole };
    Ran run(db::OwnConnection& link, const std::string& statement, db::RowCallback callback, void* context,
            db::OwnRunReport& report, RefreshOutcome& outcome);
    void loadWhole(db::OwnConnection& link, const db::ConnectionSettings& settings, RefreshOutcome& outcome);
    // After a whole load while the check values disagree: whether the server's agree now.
    void confirmAgreement(db::OwnConnection& link, RefreshOutcome& outcome);
    Read readChanges(db::OwnConnection& link, RefreshOutcome& outcome, bool everyBucket);
    static Read cutShort(Ran ran, RefreshOutcome& outcome);
    bool tablesAllowChanges() const;

    Held held_;
    int disagreements_ = 0;  // refreshes in a row whose re-read rows never matched the server's check
};

}  // namespace sales
