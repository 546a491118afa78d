// Runs one SQL statement on one connection and hands each result row to a callback.
#pragma once

#include <atomic>
#include <cstddef>
#include <cstdint>
#include <string>
#include <string_view>
#include <vector>

struct st_mysql;

namespace db {

// Called once per result row with the row's column texts: 8-bit, NUL-terminated copies, a
// SQL NULL arriving as "". The texts belong to the runner and are released as soon as the
// callback returns. The fourth argument is always null. The return value is ignored.
using RowCallback = int32_t (*)(void* context, int32_t columnCount, char** columns, void* unused);

enum QueryResult : int32_t {
    kQueryOk = 0,
    kQueryRefused = -1,     // the server refused the statement
    kQueryNoResult = -2,    // no result set although a callback was given
    kQueryIncomplete = -3,  // reading the rows stopped before the end of the result set
    kQueryNoMemory = -5,    // no memory for the working copy (programme variant)
};

// How many times a statement is sent again after the connection was lost during it (error
// 2013, or 2026 on an encrypted connection) before the runner gives up with kQueryRefused.
inline constexpr int kLostConnectionResends = 3;

// The server's error number of the most recent refused statement, on either connection (0
// when there was no connection to ask). Saves read it to tell a taken id (1062), a deadlock
// (1213), a lock wait (1205) or a lost connection (2013, or 2026 on an encrypted connection)
// from other refusals.
unsigned lastErrorNumber();
void setLastErrorNumber(unsigned number);

// Whether a refusal says the connection went during the statement (2013, or 2026 on an
// encrypted connection): the runner sends the statement again on a new one.
bool lostConnection(unsigned error);

// Whether a refusal says the server cannot be worked with at the moment, whatever the
// statement: no connection, none could be opened again (2002, 2003, 2006), the server shutting
// down (1053), or a node of a cluster not ready to serve (1047, while it joins or when it lost
// the others). A killed or lost connection is not one: the library opens a new one.
bool serverOutOfReach(unsigned error);

// How many packets of statements this thread has sent to the programme server, each a round
// trip of the link: the bench compares saves by it.
long programmeRoundTrips();
void countProgrammeRoundTrip();

// While one lives, a statement whose connection was lost is not sent again: inside a
// transaction the resend would run on a new connection, outside the transaction, and write
// part of a save on its own. The save then runs again as a whole or is reported.
class NoResend {
public:
    NoResend();
    ~NoResend();
    // The programme connection opened again while one lives is covered too.
    static void coverNewConnection();
    NoResend(const NoResend&) = delete;
    NoResend& operator=(const NoResend&) = delete;
};

// The working copy of a statement: the caller of the ticketing variant allocates it
// (statement length + 512 bytes) and hands it over; the runner releases it. It grows when
// the apostrophe doubling needs more than the spare bytes.
class WorkBuffer {
public:
    // An invalid buffer (valid() false) when the memory cannot be had.
    static WorkBuffer forStatement(std::string_view statement);
    bool valid() const { return valid_; }

private:
    friend int32_t QueryRunner(std::string_view, RowCallback, void*, WorkBuffer);
    std::string text_;
    bool valid_ = false;
};

// Ticketing variant: on the ticketing connection, with apostrophe doubling; the cursor is
// the caller's business.
int32_t QueryRunner(std::string_view statement, RowCallback callback, void* context, WorkBuffer buffer);

// Programme variant: on the programme connection, without apostrophe doubling; shows the
// wait cursor while it runs.
int32_t QueryRunner(std::string_view statement, RowCallback callback, void* context);

// What a run on a connection of a worker's own reports, in place of the program-wide last
// error text and debug output, which belong to the user-interface thread.
struct OwnRunReport {
    std::string errorText;                 // the library's text for a refusal or a broken read
    unsigned errorNumber = 0;              // its error number; 0 when none
    std::vector<std::string> columnNames;  // the result's columns, in order
    // The server gave no answer within the connection's read timeout: the statement may still
    // wait there (behind a lock), and is not sent again.
    bool timedOut = false;
};

// Worker variant: the ticketing variant's working copy (final ";", apostrophe doubling) and
// resend after a lost connection, on a connection of the caller's own. The rows are handed
// over as they arrive rather than once all are stored, so that reading them overlaps the
// transfer on a slow link. Once `cancelled` is set (by another thread, which shut the
// connection's socket), a lost connection is not sent on again.
int32_t QueryRunner(st_mysql* connection, std::string_view statement, RowCallback callback, void* context,
                    OwnRunReport& report, const std::atomic<bool>* cancelled = nullptr);

// What a refusal leaves on the user-interface thread: the last error text, and three pieces
// of debug output ("db_exec error:", the text, a line end). A worker's refusals are recorded
// so when their outcome arrives there.
void recordRefusal(std::string errorText);

// The text a variant sends for a statement: a final ";" added when missing (not to an empty
// statement), then, for the ticketing variant, the apostrophe doubling.
std::string workingCopy(std::string_view statement, bool doubleApostrophes);

}  // namespace db
