// Conversion between the user interface's UTF-16 texts and the 8-bit texts of the databases,
// templates and documents, which are in the users' ANSI code page, Windows-1252.
#pragma once

#include <QString>
#include <string>
#include <string_view>

namespace db {

// UTF-16 to Windows-1252. A character that the code page cannot hold becomes "?", as the
// users' systems do (one "?" per character, a surrogate pair included).
std::string toAnsi(const QString& text);

// Windows-1252 to UTF-16. Every byte has a mapping; the five bytes that the code page leaves
// undefined map to the control characters of the same number, as on Windows.
QString fromAnsi(std::string_view text);
QString fromAnsi(const char* text);

}  // namespace db
