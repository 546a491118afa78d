#include "db/statement_batch.h"

#include <mysql.h>

#include "db/connections.h"
#include "db/query_runner.h"
#include "platform/ui_services.h"

namespace db {

namespace {

void noteRefusal(BatchResult& result, int index, MYSQL* connection) {
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

BatchResult runBatch(const std::vector<std::string>& statements) {
    BatchResult result;
    if (statements.empty()) return result;
    MYSQL* connection = programmeConnection();
    if (!connection) {
        noteRefusal(result, 0, nullptr);
        return result;
    }
    platform::WaitCursor cursor;
    std::string packet;
    for (const std::string& statement : statements) packet += workingCopy(statement, false);
    countProgrammeRoundTrip();
    if (mysql_real_query(connection, packet.data(), packet.size()) != 0) {
        noteRefusal(result, 0, connection);
        return result;
    }
    for (int index = 0;; ++index) {
        MYSQL_RES* rows = mysql_store_result(connection);
        // A statement with columns whose rows did not come (a deadlock found while they were
        // read, the connection lost) is a refusal too, not an empty result.
        if (!rows && mysql_field_count(connection) != 0) {
            noteRefusal(result, index, connection);
            return result;
        }
        result.rows.push_back(rows ? takeRows(rows) : BatchRows{});
        result.insertIds.push_back(mysql_insert_id(connection));
        if (rows) mysql_free_result(rows);
        const int next = mysql_next_result(connection);
        if (next < 0) break;  // no more results
        if (next > 0) {
            noteRefusal(result, index + 1, connection);
            // What is left of the packet is not read: the server stopped at the refusal.
            return result;
        }
    }
    // Fewer results than statements: the rest never ran.
    if (result.rows.size() < statements.size()) noteRefusal(result, static_cast<int>(result.rows.size()), connection);
    return result;
}

}  // namespace db
