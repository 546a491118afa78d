// Text files read line by line. Two readers: the pieces, as the C library reads a file in
// text mode on the users' systems (a CR LF pair is one line break, and each read takes one
// line, or at most a fixed number of bytes of it, so that a longer line arrives in several
// pieces); and the lines of a file that someone wrote by hand in an editor, each whole, in
// the encoding the editor saved it in.
#pragma once

#include <QByteArray>
#include <QByteArrayView>
#include <QString>
#include <vector>

namespace platform {

// The pieces of a file, each without its line break; a last line without a line break is a
// piece too, and a file that ends with a line break gives no empty piece after it.
// opened tells whether the file could be read (an unreadable file gives no pieces).
std::vector<QByteArray> readTextPieces(const QString& path, int maxPieceBytes, bool* opened = nullptr);

// Today's editors save UTF-8 by default, the users' older files are Windows-1252.
enum class TextEncoding { Windows1252, Utf8 };

struct TextLine {
    int number = 0;    // in the file, from 1, blank lines counted: where its author finds it
    QByteArray bytes;  // without its line break
};

struct TextLines {
    bool opened = false;  // whether the file could be read (an unreadable file has no lines)
    TextEncoding encoding = TextEncoding::Windows1252;
    std::vector<TextLine> lines;
};

// The lines of a hand-written file: each whole whatever its length, ended by LF or CR LF (a
// last line without a line break included); lines holding nothing but spaces and tabs are
// left out, as an author means them only to space the text. The file is UTF-8 when it starts
// with the UTF-8 byte-order mark (which no line keeps) or when it is valid UTF-8 holding at
// least one multi-byte character; anything else is Windows-1252.
TextLines readTextLines(const QString& path);

// Valid UTF-8 (no overlong form, no surrogate, nothing past U+10FFFF, no sequence cut short)
// holding at least one multi-byte character: a text of plain ASCII reads the same either
// way, and a Windows-1252 letter alone is never valid UTF-8.
bool isMultiByteUtf8(QByteArrayView bytes);

}  // namespace platform
