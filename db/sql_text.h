// Building SQL statements from the program's fixed texts and the values users typed. Every
// value put between quotes in a statement goes through sqlEscape, so that a quote, a
// backslash or a line break in a name is stored as typed instead of ending the value early.
#pragma once

#include <QString>
#include <string>
#include <string_view>

namespace db {

// The value escaped by the client library for the programme connection (its character set,
// latin1, leaves the Windows-1252 bytes as they are): \ ' " NUL CR LF and Ctrl-Z get a
// backslash. Without an open connection the same rules are applied here.
std::string sqlEscape(std::string_view ansiValue);
// The same for a text of the user interface, converted to Windows-1252 first.
std::string sqlValue(const QString& value);

// printf-style formatting of a statement; the arguments are already 8-bit texts and numbers.
std::string formatStatement(const char* format, ...)
#if defined(__GNUC__)
    __attribute__((format(printf, 1, 2)))
#endif
    ;

}  // namespace db
