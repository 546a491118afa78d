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

}  // namespace platform
