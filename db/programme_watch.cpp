#include "db/programme_watch.h"

#include <mysql.h>

#include "db/connections.h"

namespace db {

ProgrammeWatch::~ProgrammeWatch() { close(); }

void ProgrammeWatch::close() {
    if (handle_) mysql_close(handle_);
    handle_ = nullptr;
}

std::optional<std::string> ProgrammeWatch::firstRow(const std::string& statement) {
    if (!handle_ && openQuietly(handle_, programmeSettings()) != 0) return std::nullopt;
    if (mysql_real_query(handle_, statement.data(), statement.size()) != 0) {
        close();
        return std::nullopt;
    }
    MYSQL_RES* result = mysql_store_result(handle_);
    if (!result) {
        close();
        return std::nullopt;
    }
    std::string row;
    if (MYSQL_ROW values = mysql_fetch_row(result)) {
        const unsigned n = mysql_num_fields(result);
        for (unsigned i = 0; i < n; ++i) {
            if (i) row += '/';
            if (values[i]) row += values[i];
        }
    }
    mysql_free_result(result);
    return row;
}

}  // namespace db
