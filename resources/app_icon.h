// The application icon (icon resource 128), drawn rather than read from a file.
#pragma once

#include <QIcon>

namespace res {

inline constexpr int kAppIconId = 128;

// A theatre ticket, at the usual icon sizes.
QIcon appIcon();

}  // namespace res
