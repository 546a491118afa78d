// The texts of this program's sources are UTF-8: u8("…") is one as the program holds it.
#pragma once

#include <QString>

namespace platform {

inline QString u8(const char* text) { return QString::fromUtf8(text); }

}  // namespace platform
