#include "platform/text_file.h"

#include <QFile>

namespace platform {

std::vector<QByteArray> readTextPieces(const QString& path, int maxPieceBytes, bool* opened) {
    std::vector<QByteArray> pieces;
    QFile file(path);
    if (!file.open(QIODevice::ReadOnly)) {
        if (opened) *opened = false;
        return pieces;
    }
    if (opened) *opened = true;
    QByteArray bytes = file.readAll();
    bytes.replace("\r\n", "\n");
    qsizetype at = 0;
    while (at < bytes.size()) {
        // One read: up to the line break included, at most maxPieceBytes bytes.
        qsizetype end = at;
        while (end < bytes.size() && end - at < maxPieceBytes) {
            if (bytes[end++] == '\n') break;
        }
        QByteArray piece = bytes.mid(at, end - at);
        at = end;
        if (piece.endsWith('\n')) piece.chop(1);
        pieces.push_back(std::move(piece));
    }
    return pieces;
}

bool isMultiByteUtf8(QByteArrayView bytes) {
    bool multiByte = false;
    for (qsizetype at = 0; at < bytes.size();) {
        const auto lead = static_cast<unsigned char>(bytes[at]);
        if (lead < 0x80) {
            ++at;
            continue;
        }
        // The length the lead byte announces, and the narrower range of the second byte
        // that rules out overlong forms, surrogates and code points past U+10FFFF.
        int length = 0;
        unsigned char low = 0x80, high = 0xBF;
        if (lead >= 0xC2 && lead <= 0xDF)
            length = 2;
        else if (lead >= 0xE0 && lead <= 0xEF)
            length = 3;
        else if (lead >= 0xF0 && lead <= 0xF4)
            length = 4;
        else
            return false;
        if (lead == 0xE0)
            low = 0xA0;
        else if (lead == 0xED)
            high = 0x9F;
        else if (lead == 0xF0)
            low = 0x90;
        else if (lead == 0xF4)
            high = 0x8F;
        if (at + length > bytes.size()) return false;
        for (int i = 1; i < length; ++i) {
            const auto next = static_cast<unsigned char>(bytes[at + i]);
            if (next < (i == 1 ? low : 0x80) || next > (i == 1 ? high : 0xBF)) return false;
        }
        multiByte = true;
        at += length;
    }
    return multiByte;
}

TextLines readTextLines(const QString& path) {
    TextLines text;
    QFile file(path);
    if (!file.open(QIODevice::ReadOnly)) return text;
    text.opened = true;
    QByteArray bytes = file.readAll();
    static constexpr char kByteOrderMark[] = "\xEF\xBB\xBF";
    if (bytes.startsWith(kByteOrderMark)) {
        bytes.remove(0, 3);
        text.encoding = TextEncoding::Utf8;
    } else if (isMultiByteUtf8(bytes)) {
        text.encoding = TextEncoding::Utf8;
    }
    int number = 0;
    for (qsizetype at = 0; at < bytes.size();) {
        qsizetype end = bytes.indexOf('\n', at);
        if (end < 0) end = bytes.size();
        QByteArray line = bytes.mid(at, end - at);
        at = end + 1;
        ++number;
        if (line.endsWith('\r')) line.chop(1);
        bool blank = true;
        for (char c : line) blank = blank && (c == ' ' || c == '\t');
        if (!blank) text.lines.push_back({number, std::move(line)});
    }
    return text;
}

}  // namespace platform
