#include "db/codepage.h"

#include <array>
#include <cstring>

namespace db {
namespace {

// The bytes 0x80 to 0x9F, the only ones where Windows-1252 differs from Latin-1.
constexpr std::array<char16_t, 32> kHighControls = {
    0x20AC, 0x0081, 0x201A, 0x0192, 0x201E, 0x2026, 0x2020, 0x2021, 0x02C6, 0x2030, 0x0160,
    0x2039, 0x0152, 0x008D, 0x017D, 0x008F, 0x0090, 0x2018, 0x2019, 0x201C, 0x201D, 0x2022,
    0x2013, 0x2014, 0x02DC, 0x2122, 0x0161, 0x203A, 0x0153, 0x009D, 0x017E, 0x0178,
};

char ansiOf(char32_t c) {
    if (c < 0x80 || (c >= 0xA0 && c <= 0xFF)) return static_cast<char>(c);
    for (std::size_t i = 0; i < kHighControls.size(); ++i) {
        if (kHighControls[i] == c) return static_cast<char>(0x80 + i);
    }
    return '?';
}

}  // namespace

std::string toAnsi(const QString& text) {
    std::string out;
    out.reserve(static_cast<std::size_t>(text.size()));
    const char16_t* p = reinterpret_cast<const char16_t*>(text.utf16());
    const qsizetype n = text.size();
    for (qsizetype i = 0; i < n; ++i) {
        char32_t c = p[i];
        if (c >= 0xD800 && c <= 0xDBFF && i + 1 < n && p[i + 1] >= 0xDC00 && p[i + 1] <= 0xDFFF) {
            ++i;  // a character outside the basic plane: one "?"
            out.push_back('?');
            continue;
        }
        out.push_back(ansiOf(c));
    }
    return out;
}

QString fromAnsi(std::string_view text) {
    QString out;
    out.resize(static_cast<qsizetype>(text.size()));
    QChar* d = out.data();
    for (std::size_t i = 0; i < text.size(); ++i) {
        const auto b = static_cast<unsigned char>(text[i]);
        d[i] = (b >= 0x80 && b <= 0x9F) ? QChar(kHighControls[b - 0x80]) : QChar(b);
    }
    return out;
}

QString fromAnsi(const char* text) { return text ? fromAnsi(std::string_view(text, std::strlen(text))) : QString(); }

}  // namespace db
