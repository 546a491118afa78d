#include "db/statement_batch.h"

#include <mysql.h>

#include "db/cluster_session.h"
#include "db/connections.h"
#include "db/query_runner.h"
#include "platform/ui_services.h"

namespace db {

namespace {

thread_local std::string gRefused;

void noteRefusal(BatchResult& result, int index, MYSQL* connection, const std::vector<std::string>& statements) {
    gRefused = static_cast<std::size_t>(index) < statements.size() ? statements[static_cast<std::size_t>(index)]
                                                                   : std::string();
    result.failed = index;
    result.errorNumber = connection ? mysql_errno(connection) : 0;
    setLastErrorText(connection ? mysql_error(connection) : "not connected");
    setLastErrorNumber(result.errorNumber);
    auto& ui = platform::ui();
    ui.debugOutput(QByteArray("db_exec error:"));
    ui.debugOutput(QByteArray(lastErrorText().c_str()));
    ui.debugOutput(QByteArray("\r\n"));
}

BatchRows takeRows(MYSQL_RES* result) {
    BatchRows rows;
    const unsigned n = mysql_num_fields(result);
    while (MYSQL_ROW row = mysql_fetch_row(result)) {
        const unsigned long* lengths = mysql_fetch_lengths(result);
        std::vector<std::string> columns(n);
        for (unsigned i = 0; i < n; ++i)
            if (row[i]) columns[i].assign(row[i], lengths[i]);
        rows.push_back(std::move(columns));
    }
    return rows;
}

}  // namespace

namespace {

// Sends statements [from, to) in one packet and reads their results into `result`; false once
// one was refused (the ones after it did not run).
bool sendPacket(MYSQL* connection, const std::vector<std::string>& statements, std::size_t from, std::size_t to,
                BatchResult& result) {
    std::string packet;
    for (std::size_t i = from; i < to; ++i) packet += workingCopy(statements[i], false);
    countProgrammeRoundTrip();
    const int first = static_cast<int>(from);
    if (mysql_real_query(connection, packet.data(), packet.size()) != 0) {
        noteRefusal(result, first, connection, statements);
        return false;
    }
    for (int index = first;; ++index) {
        MYSQL_RES* rows = mysql_store_result(connection);
        // A statement with columns whose rows did not come (a deadlock found while they were
        // read, the connection lost) is a refusal too, not an empty result.
        if (!rows && mysql_field_count(connection) != 0) {
            noteRefusal(result, index, connection, statements);
            return false;
        }
        result.rows.push_back(rows ? takeRows(rows) : BatchRows{});
        result.insertIds.push_back(mysql_insert_id(connection));
        if (rows) mysql_free_result(rows);
        const int next = mysql_next_result(connection);
        if (next < 0) break;  // no more results
        if (next > 0) {
            noteRefusal(result, index + 1, connection, statements);
            // What is left of the packet is not read: the server stopped at the refusal.
            return false;
        }
    }
    // Fewer results than statements: the rest never ran.
    if (result.rows.size() < to) {
        noteRefusal(result, static_cast<int>(result.rows.size()), connection, statements);
        return false;
    }
    return true;
}

}  // namespace

const std::string& lastRefusedStatement() { return gRefused; }

BatchResult runBatch(const std::vector<std::string>& statements) {
    BatchResult result;
    if (statements.empty()) return result;
    MYSQL* connection = programmeConnection();
    if (!connection) {
        noteRefusal(result, 0, nullptr, statements);
        return result;
    }
    platform::WaitCursor cursor;
    if (programmeServerKind() != ServerKind::ClusterNode) {
        sendPacket(connection, statements, 0, statements.size(), result);
        return result;
    }
    // On a node of a Galera cluster, a transaction that another node's commit aborts between
    // two statements of one packet does not stop the packet: the statements after the abort
    // run on their own, outside any transaction, and a COMMIT among them answers that all went
    // well (seen with MariaDB 10.11 and Galera 4: saves reported stored that no node held, and
    // halves of saves). Between two packets the abort is reported as it should be, at the next
    // statement: there each statement travels alone.
    for (std::size_t i = 0; i < statements.size(); ++i)
        if (!sendPacket(connection, statements, i, i + 1, result)) break;
    return result;
}

}  // namespace db
