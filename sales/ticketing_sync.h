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
// A check value is the number of rows and the sum of each row's CRC-32 over its column
// texts. The tables held keep each row's CRC-32 as computed from the texts that arrived, so
// that the values compared always describe the rows the program holds, whatever changed on
// the server between two statements: a difference is found again at the next refresh, never
// lost.
#pragma once

#include <QDateTime>
#include <QString>
#include <cstdint>
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
};

// A statement that did not give its rows, and the library's text for it.
struct StatementFailure {
    std::string statement;
    std::string errorText;  // empty when the runner recorded none: the report then shows the last one
};

struct RefreshOutcome {
    bool reached = false;  // the server was reached and the link held to the end
    // The new tables; null when nothing changed or the server was not reached.
    std::shared_ptr<const TicketingSnapshot> tables;
    QString openFailure;  // the message of a connection that could not be opened
    std::vector<StatementFailure> failures;
    bool wholeLoad = false;              // the tables were read whole
    std::vector<int32_t> rereadShowIds;  // the show ids whose rows were read again, ascending
    int statements = 0;                  // sent on the connection, each one round trip
    QDateTime finishedAt;
};

// CRC-32 as zlib and the server's CRC32() compute it.
uint32_t crc32(std::string_view bytes, uint32_t crc = 0);
// The CRC-32 of a row's column texts joined by the unit separator (0x1F), which the server
// computes as CRC32(CONCAT_WS(CHAR(31), IFNULL(column, ''), ...)): a NULL reads as empty on
// both sides.
uint32_t rowCheck(int32_t count, char** columns);

struct Check {
    uint64_t rows = 0;
    uint64_t sum = 0;  // of the rows' CRC-32
    void add(uint32_t rowCrc) {
        ++rows;
        sum += rowCrc;
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
// The check value of every table, one row of three "rows sum" texts.
std::string totalsStatement(const TableColumns (&columns)[kTableCount]);
// Rows (table, bucket, rows, sum) per bucket of the shows and reservations tables asked for.
std::string bucketsStatement(const TableColumns (&columns)[kTableCount], bool shows, bool reservations);
// Rows (table, show id, rows, sum) per show id within the buckets given, per table.
std::string showIdsStatement(const TableColumns (&columns)[kTableCount], const std::vector<int32_t>& showBuckets,
                             const std::vector<int32_t>& reservationBuckets);
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
    RefreshOutcome refresh(RefreshKind kind, db::OwnConnection& link, const db::ConnectionSettings& settings);

    std::shared_ptr<const TicketingSnapshot> tables() const { return held_.snapshot; }
    // Whether a refresh on the timer can read only the changes: the last whole load read
    // every table, in the order of the first column, and the server's check values have
    // not kept disagreeing with the program's.
    bool readsChangesOnly() const;

    // The rows held: each row's CRC-32 and, for the reservations, the first column, which
    // orders them; parallel to the tables of the snapshot.
    struct Held {
        std::shared_ptr<const TicketingSnapshot> snapshot;
        std::vector<uint32_t> checks[kTableCount];
        std::vector<int32_t> reservationKeys;
        TableColumns columns[kTableCount];
        bool inOrder = false;
    };

private:
    void loadWhole(db::OwnConnection& link, RefreshOutcome& outcome);
    // False when the refresh must fall back on a whole load.
    bool readChanges(db::OwnConnection& link, RefreshOutcome& outcome);

    Held held_;
    int disagreements_ = 0;  // refreshes in a row whose re-read rows never matched the server's check
};

}  // namespace sales
