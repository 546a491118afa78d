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
    if (programmeConnected() && programmeConnection()) {
        const unsigned long length = mysql_real_escape_string(programmeConnection(), out.data(), ansiValue.data(),
                                                              static_cast<unsigned long>(ansiValue.size()));
        if (length != static_cast<unsigned long>(-1)) return std::string(out.data(), length);
    }
    // Without a connection (connecting failed, the statement will be refused anyway) the
    // library's connection-less function is no help: it needs the library initialised and
    // crashes otherwise. The rules for a single-byte character set are these.
    std::string escaped;
    escaped.reserve(ansiValue.size() + 8);
    for (const char c : ansiValue) {
        switch (c) {
        case '\0': escaped += "\\0"; break;
        case '\n': escaped += "\\n"; break;
        case '\r': escaped += "\\r"; break;
        case '\x1a': escaped += "\\Z"; break;
        case '\\':
        case '\'':
        case '"':
            escaped += '\\';
            escaped += c;
            break;
        default: escaped += c;
        }
    }
    return escaped;
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
