#include "edits/audit_log.h"

#include <mysql.h>

#include <vector>

#include "db/codepage.h"
#include "db/connections.h"
#include "db/query_runner.h"
#include "programme/account.h"

namespace audit {

std::string logText(std::string_view accountName, std::string_view message) {
    std::string text(accountName);
    text += " : ";
    text += message;
    return text;
}

std::string insertStatement(std::string_view escapedLogText) {
    std::string statement = "INSERT INTO `logs` (`utc`, `log`) VALUES (UTC_TIMESTAMP(), \"";
    statement += escapedLogText;
    statement += "\")";
    return statement;
}

std::string escapeForSql(std::string_view text) {
    std::string out;
    out.reserve(text.size() + 8);
    for (char c : text) {
        switch (c) {
        case '\0': out += "\\0"; break;
        case '\n': out += "\\n"; break;
        case '\r': out += "\\r"; break;
        case '\x1a': out += "\\Z"; break;
        case '\\': out += "\\\\"; break;
        case '\'': out += "\\'"; break;
        case '"': out += "\\\""; break;
        default: out += c;
        }
    }
    return out;
}

namespace {

// The client library knows the connection's character set; without a connection handle
// the single-byte escape gives the same result for latin1.
std::string escapeOnConnection(const std::string& text) {
    MYSQL* connection = db::programmeConnection();
    if (!connection) return escapeForSql(text);
    std::vector<char> buffer(text.size() * 2 + 1);
    const unsigned long n = mysql_real_escape_string(connection, buffer.data(), text.data(), text.size());
    if (n == static_cast<unsigned long>(-1)) return escapeForSql(text);
    return std::string(buffer.data(), n);
}

}  // namespace

std::string lineStatement(std::string_view message) {
    return insertStatement(escapeForSql(logText(db::toAnsi(account::name()), message)));
}

int writeAuditLine(std::string_view message) {
    bool openedHere = false;
    if (!db::programmeConnected()) {
        if (db::connectProgramme() != 0) return -1;
        openedHere = true;
    }
    const std::string text = logText(db::toAnsi(account::name()), message);
    const std::string statement = insertStatement(escapeOnConnection(text));
    if (db::QueryRunner(statement, nullptr, nullptr) != db::kQueryOk) {
        db::closeProgramme();
        db::reportDbExecError(statement);
        return -2;
    }
    if (openedHere) db::closeProgramme();
    return 0;
}

}  // namespace audit
