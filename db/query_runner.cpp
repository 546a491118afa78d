#include "db/query_runner.h"

#include <mysql.h>

#include <chrono>
#include <cstring>
#include <new>
#include <string>
#include <vector>

#include "db/connections.h"
#include "platform/ui_services.h"

namespace db {

WorkBuffer WorkBuffer::forStatement(std::string_view statement) {
    WorkBuffer b;
    try {
        b.text_.reserve(statement.size() + 512);
        b.valid_ = true;
    } catch (const std::bad_alloc&) {}
    return b;
}

namespace {

constexpr unsigned kLostConnection = 2013;
// What the library reports instead of 2013 when the server goes from under an encrypted
// connection during a statement: the TLS layer meets the end of the stream.
constexpr unsigned kLostEncryptedConnection = 2026;
thread_local unsigned gLastErrorNumber = 0;
thread_local int gNoResend = 0;
thread_local long gProgrammeRoundTrips = 0;

bool isLetter(unsigned char c) {
    if ((c >= 'A' && c <= 'Z') || (c >= 'a' && c <= 'z')) return true;
    // é è ê â à ô î in Windows-1252
    switch (c) {
    case 0xE9:
    case 0xE8:
    case 0xEA:
    case 0xE2:
    case 0xE0:
    case 0xF4:
    case 0xEE: return true;
    default: return false;
    }
}

void reportRefusal(MYSQL* connection) {
    gLastErrorNumber = mysql_errno(connection);
    recordRefusal(mysql_error(connection));
}

void appendSemicolon(std::string& copy) {
    if (!copy.empty() && copy.back() != ';') copy.push_back(';');
}

// Whenever an apostrophe stands between two letters, a second one is put after it, so that
// words such as l'été pass inside a quoted value.
void doubleInnerApostrophes(std::string& text) {
    for (std::size_t i = 1; i + 1 < text.size(); ++i) {
        if (text[i] != '\'') continue;
        if (!isLetter(static_cast<unsigned char>(text[i - 1])) || !isLetter(static_cast<unsigned char>(text[i + 1])))
            continue;
        text.insert(i + 1, 1, '\'');
        i += 2;  // now on the letter after the pair; the loop moves past it
    }
}

// `own` set: a connection of a worker's own, whose refusals go to the report and whose rows
// are read as they arrive; otherwise a program-wide connection.
// Whether a lost connection came when the read timeout ran out: the library says 2013 for
// both, and only the time spent tells them apart.
bool ranOutOfTime(MYSQL* connection, std::chrono::steady_clock::time_point sent) {
    unsigned seconds = 0;
    mysql_get_optionv(connection, MYSQL_OPT_READ_TIMEOUT, &seconds);
    if (seconds == 0) return false;
    return std::chrono::steady_clock::now() - sent >= std::chrono::seconds(seconds) - std::chrono::milliseconds(250);
}

int32_t run(MYSQL* connection, const std::string& copy, RowCallback callback, void* context,
            OwnRunReport* own = nullptr, const std::atomic<bool>* cancelled = nullptr) {
    if (!connection) {
        if (own) {
            own->errorText = "not connected";
        } else {
            gLastErrorNumber = 0;
            setLastErrorText("not connected");
        }
        return kQueryRefused;
    }
    for (int resends = 0;; ++resends) {
        if (connection == programmeConnection()) countProgrammeRoundTrip();
        const auto sent = std::chrono::steady_clock::now();
        if (mysql_real_query(connection, copy.data(), copy.size()) == 0) break;
        if (own) {
            own->errorText = mysql_error(connection);
            own->errorNumber = mysql_errno(connection);
            // Sent again, it would wait as long once more, beside the first still waiting.
            if (lostConnection(own->errorNumber) && ranOutOfTime(connection, sent)) own->timedOut = true;
        } else {
            reportRefusal(connection);
        }
        if (!lostConnection(mysql_errno(connection)) || resends >= kLostConnectionResends || gNoResend > 0 ||
            (own && own->timedOut) || (cancelled && cancelled->load()))
            return kQueryRefused;
    }
    MYSQL_RES* result = own ? mysql_use_result(connection) : mysql_store_result(connection);
    if (!result) return callback ? kQueryNoResult : kQueryOk;

    const unsigned n = mysql_num_fields(result);
    if (own) {
        own->columnNames.clear();
        const MYSQL_FIELD* fields = mysql_fetch_fields(result);
        for (unsigned i = 0; i < n; ++i) own->columnNames.emplace_back(fields[i].name, fields[i].name_length);
    }
    // Each row's columns are copied, NUL-terminated, into one buffer kept from row to row.
    std::vector<char*> columns(n, nullptr);
    std::vector<char> copies;
    while (MYSQL_ROW row = mysql_fetch_row(result)) {
        if (!callback) continue;
        const unsigned long* lengths = mysql_fetch_lengths(result);
        std::size_t total = 0;
        for (unsigned i = 0; i < n; ++i) total += (row[i] ? lengths[i] : 0) + 1;
        bool copied = true;
        try {
            if (copies.size() < total) copies.resize(total);
        } catch (const std::bad_alloc&) {
            copied = false;
        }
        std::size_t at = 0;
        for (unsigned i = 0; i < n; ++i) {
            // Without memory for the copy, every column arrives null; the callbacks skip those.
            if (!copied) {
                columns[i] = nullptr;
                continue;
            }
            const unsigned long len = row[i] ? lengths[i] : 0;
            columns[i] = copies.data() + at;
            if (len) std::memcpy(columns[i], row[i], len);
            columns[i][len] = '\0';
            at += len + 1;
        }
        callback(context, static_cast<int32_t>(n), columns.data(), nullptr);
    }
    // The library marks the end of the rows reached when an error ends them too (the server
    // cut the statement off while its rows came): only the error number tells.
    const bool complete = mysql_eof(result) != 0 && mysql_errno(connection) == 0;
    if (own && !complete) {
        own->errorText = mysql_error(connection);
        own->errorNumber = mysql_errno(connection);
    }
    mysql_free_result(result);
    return complete ? kQueryOk : kQueryIncomplete;
}

}  // namespace

void recordRefusal(std::string errorText) {
    setLastErrorText(std::move(errorText));
    auto& ui = platform::ui();
    ui.debugOutput(QByteArray("db_exec error:"));
    ui.debugOutput(QByteArray(lastErrorText().c_str()));
    ui.debugOutput(QByteArray("\r\n"));
}

long programmeRoundTrips() { return gProgrammeRoundTrips; }
void countProgrammeRoundTrip() { ++gProgrammeRoundTrips; }

// The resend goes through a new connection, whose handshake verifies the server again.
bool lostConnection(unsigned error) { return error == kLostConnection || error == kLostEncryptedConnection; }

bool serverOutOfReach(unsigned error) {
    switch (error) {
    case 0:     // no connection to ask
    case 1047:  // a cluster node not ready: "WSREP has not yet prepared node for application use"
    case 1053:  // "Server shutdown in progress"
    case 2002:  // the connection opened again could not be
    case 2003:
    case 2006:  // "server has gone away", nothing to open again
        return true;
    default: return false;
    }
}

unsigned lastErrorNumber() { return gLastErrorNumber; }
void setLastErrorNumber(unsigned number) { gLastErrorNumber = number; }

// The library's own reconnect would be as bad: a statement sent after the connection died
// would run on a new connection, outside the transaction. It is off while a save runs.
namespace {
void allowReconnect(bool allowed) {
    if (MYSQL* connection = programmeConnection()) {
        my_bool value = allowed ? 1 : 0;
        mysql_options(connection, MYSQL_OPT_RECONNECT, &value);
    }
}
}  // namespace

NoResend::NoResend() {
    if (gNoResend++ == 0) allowReconnect(false);
}
void NoResend::coverNewConnection() {
    if (gNoResend > 0) allowReconnect(false);
}
NoResend::~NoResend() {
    if (--gNoResend == 0) allowReconnect(true);
}

std::string workingCopy(std::string_view statement, bool doubleApostrophes) {
    std::string copy(statement);
    appendSemicolon(copy);
    if (doubleApostrophes) doubleInnerApostrophes(copy);
    return copy;
}

int32_t QueryRunner(std::string_view statement, RowCallback callback, void* context, WorkBuffer buffer) {
    if (!buffer.valid()) return kQueryNoMemory;
    std::string copy = std::move(buffer.text_);
    copy.assign(statement);
    appendSemicolon(copy);
    doubleInnerApostrophes(copy);
    return run(ticketingConnection(), copy, callback, context);
}

int32_t QueryRunner(MYSQL* connection, std::string_view statement, RowCallback callback, void* context,
                    OwnRunReport& report, const std::atomic<bool>* cancelled) {
    report = OwnRunReport();
    return run(connection, workingCopy(statement, true), callback, context, &report, cancelled);
}

int32_t QueryRunner(std::string_view statement, RowCallback callback, void* context) {
    platform::WaitCursor cursor;
    std::string copy;
    try {
        copy.reserve(statement.size() + 512);
        copy.assign(statement);
    } catch (const std::bad_alloc&) {
        return kQueryNoMemory;
    }
    appendSemicolon(copy);
    return run(programmeConnection(), copy, callback, context);
}

}  // namespace db
