// Text files read as the C library reads them in text mode on the users' systems: a CR LF
// pair is one line break, and each read takes one line, or at most a fixed number of bytes
// of it, so that a longer line arrives in several pieces.
#pragma once

#include <QByteArray>
#include <QString>
#include <vector>

namespace platform {

// The pieces of a file, each without its line break; a last line without a line break is a
// piece too, and a file that ends with a line break gives no empty piece after it.
// opened tells whether the file could be read (an unreadable file gives no pieces).
std::vector<QByteArray> readTextPieces(const QString& path, int maxPieceBytes, bool* opened = nullptr);

}  // namespace platform
