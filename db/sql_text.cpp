#include "db/sql_text.h"

#include <mysql.h>

#include <cstdarg>
#include <cstdio>
#include <vector>

#include "db/codepage.h"
#include "db/connections.h"

namespace db {

std::string sqlEscape(std::string_view ansiValue) {
    // The library writes at most two bytes per byte and a terminator.
    std::vector<char> out(ansiValue.size() * 2 + 1);
    unsigned long length = 0;
    if (programmeConnected() && programmeConnection()) {
        length = mysql_real_escape_string(programmeConnection(), out.data(), ansiValue.data(),
                                          static_cast<unsigned long>(ansiValue.size()));
    } else {
        length = mysql_escape_string(out.data(), ansiValue.data(), static_cast<unsigned long>(ansiValue.size()));
    }
    if (length == static_cast<unsigned long>(-1)) return std::string(ansiValue);
    return std::string(out.data(), length);
}

std::string sqlValue(const QString& value) { return sqlEscape(toAnsi(value)); }

std::string formatStatement(const char* format, ...) {
    va_list args;
    va_start(args, format);
    va_list again;
    va_copy(again, args);
    const int needed = std::vsnprintf(nullptr, 0, format, args);
    va_end(args);
    std::string text;
    if (needed > 0) {
        text.resize(static_cast<std::size_t>(needed) + 1);
        std::vsnprintf(text.data(), text.size(), format, again);
        text.resize(static_cast<std::size_t>(needed));
    }
    va_end(again);
    return text;
}

}  // namespace db
