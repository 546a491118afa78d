// A text of this UTF-8 source as the program holds it.
#pragma once

#include <QString>

inline QString q(const char* utf8) { return QString::fromUtf8(utf8); }
