#include "tests/support/testdb.h"

#include <gtest/gtest.h>
#include <mysql.h>

#include <cstdlib>
#include <fstream>
#include <sstream>

#include "db/connection_settings.h"

namespace testdb {
namespace {

MYSQL* adminConnection(const std::string& database) {
    MYSQL* m = mysql_init(nullptr);
    mysql_options(m, MYSQL_SET_CHARSET_NAME, "latin1");
    if (!mysql_real_connect(m, nullptr, "root", "", database.empty() ? nullptr : database.c_str(), 0,
                            BRELO_LOCALDB_SOCKET, CLIENT_MULTI_STATEMENTS)) {
        ADD_FAILURE() << "admin connection: " << mysql_error(m);
    }
    return m;
}

void drain(MYSQL* m, const std::string& sql) {
    do {
        if (MYSQL_RES* r = mysql_store_result(m)) mysql_free_result(r);
    } while (mysql_next_result(m) == 0);
    if (mysql_errno(m)) ADD_FAILURE() << "admin statement failed: " << mysql_error(m) << "\n" << sql.substr(0, 400);
}

}  // namespace

const std::string& ticketingDb() {
    static const std::string name = db::settings::kTicketingDatabase;
    return name;
}

const std::string& programmeDb() {
    static const std::string name = db::settings::kProgrammeDatabase;
    return name;
}

void exec(const std::string& database, const std::string& sql) {
    MYSQL* m = adminConnection(database);
    if (mysql_real_query(m, sql.data(), sql.size()) != 0) {
        ADD_FAILURE() << "admin statement refused: " << mysql_error(m) << "\n" << sql.substr(0, 400);
    } else {
        drain(m, sql);
    }
    mysql_close(m);
}

std::vector<Row> query(const std::string& database, const std::string& sql) {
    std::vector<Row> rows;
    MYSQL* m = adminConnection(database);
    if (mysql_real_query(m, sql.data(), sql.size()) != 0) {
        ADD_FAILURE() << "admin query refused: " << mysql_error(m) << "\n" << sql;
    } else if (MYSQL_RES* r = mysql_store_result(m)) {
        const unsigned n = mysql_num_fields(r);
        while (MYSQL_ROW row = mysql_fetch_row(r)) {
            const unsigned long* lengths = mysql_fetch_lengths(r);
            Row out;
            for (unsigned i = 0; i < n; ++i) out.emplace_back(row[i] ? std::string(row[i], lengths[i]) : std::string());
            rows.push_back(std::move(out));
        }
        mysql_free_result(r);
    }
    mysql_close(m);
    return rows;
}

std::string sourcePath(const std::string& relative) { return std::string(BRELO_SOURCE_DIR) + "/" + relative; }

void execFile(const std::string& database, const std::string& path) {
    std::ifstream in(path, std::ios::binary);
    if (!in) {
        ADD_FAILURE() << "cannot read " << path;
        return;
    }
    std::stringstream ss;
    ss << in.rdbuf();
    exec(database, ss.str());
}

void resetTicketing() {
    exec(ticketingDb(), "DROP TABLE IF EXISTS `salle`, `shows`, `res`");
    execFile(ticketingDb(), sourcePath("db/schema/ticketing.sql"));
}

void resetProgramme() {
    exec(programmeDb(), "DROP TABLE IF EXISTS `access`, `comp`, `showname`, `salle`, `timeslot`, `contract`, `logs`");
    execFile(programmeDb(), sourcePath("db/schema/programme.sql"));
}

void resetAll() {
    resetTicketing();
    resetProgramme();
}

void killConnection(unsigned long id) { exec("", "KILL CONNECTION " + std::to_string(id)); }

Session::Session(const std::string& database) : m_(adminConnection(database)) {}

Session::~Session() { mysql_close(m_); }

void Session::exec(const std::string& sql) {
    if (mysql_real_query(m_, sql.data(), sql.size()) != 0)
        ADD_FAILURE() << "session statement refused: " << mysql_error(m_) << "\n" << sql;
    else
        drain(m_, sql);
}

namespace {

void script(const std::string& arguments) {
    const std::string line = sourcePath("scripts/localdb.sh") + " " + arguments + " >/dev/null";
    ASSERT_EQ(std::system(line.c_str()), 0) << line;
}

std::string quoted(const std::string& text) { return "'" + text + "'"; }

}  // namespace

void stopServer() { script("stop " BRELO_BUILD_DIR); }
void serveAgain() { script("serve " BRELO_BUILD_DIR); }

void serveWith(const std::string& certificates) {
    stopServer();
    script("serve " BRELO_BUILD_DIR " " + quoted(certificates));
}

void makeAuthority(const std::string& folder) { script("authority " + quoted(folder)); }

void makeServerCertificate(const std::string& authority, const std::string& folder, const std::string& name,
                           int days) {
    script("certificate " + quoted(authority) + " " + quoted(folder) + " " + quoted(name) + " " +
           std::to_string(days));
}

std::string buildTlsFolder() { return BRELO_LOCAL_TLS_DIR; }

}  // namespace testdb
