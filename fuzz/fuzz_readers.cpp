// The files the program reads line by line: a checklist template and a contract's field list.
// Any bytes give one row per piece of a line of a field list, one item per line that is not
// blank of a template, and reading never fails. The UTF-8 test agrees with Qt's decoder:
// what it takes for UTF-8 comes back byte for byte, and what it refuses does not.
#include <QDir>
#include <QFile>
#include <QTemporaryDir>
#include <algorithm>

#include "contracts/contract_info.h"
#include "followup/checklist.h"
#include "fuzz/fuzz_input.h"
#include "platform/text_file.h"

extern "C" int LLVMFuzzerTestOneInput(const uint8_t* data, size_t size) {
    static QTemporaryDir folder;
    const QString path = QDir(folder.path()).filePath(QStringLiteral("modele.txt"));
    {
        QFile file(path);
        if (!file.open(QIODevice::WriteOnly | QIODevice::Truncate)) return 0;
        file.write(reinterpret_cast<const char*>(data), static_cast<qint64>(size));
    }
    const auto pieces = platform::readTextPieces(path, contracts::kFieldListPiece);
    for (const QByteArray& piece : pieces) {
        fuzzing::check(piece.size() <= contracts::kFieldListPiece, "a piece is at most 1022 bytes");
        fuzzing::check(!piece.contains('\n'), "a piece holds no line break");
    }
    const contracts::ContractInfoList rows = contracts::readFieldList(folder.path(), QStringLiteral("modele.rtf"));
    fuzzing::check(rows.rows.size() == pieces.size(), "one row per piece");
    const platform::TextLines text = platform::readTextLines(path);
    fuzzing::check(text.opened, "a written file is read");
    int last = 0;
    for (const platform::TextLine& line : text.lines) {
        fuzzing::check(!line.bytes.contains('\n'), "a line holds no line break");
        fuzzing::check(line.number > last, "lines keep their file order");
        fuzzing::check(line.bytes.count(' ') + line.bytes.count('\t') < line.bytes.size(), "no blank line");
        last = line.number;
    }
    const QByteArrayView bytes(reinterpret_cast<const char*>(data), static_cast<qsizetype>(size));
    fuzzing::check(last <= bytes.count('\n') + 1, "no line past the file's last");
    // Qt's decoder drops a leading byte-order mark.
    const QByteArray back = QString::fromUtf8(bytes).toUtf8();
    const bool roundTrips = back == bytes || (bytes.startsWith("\xEF\xBB\xBF") && "\xEF\xBB\xBF" + back == bytes);
    const bool beyondAscii =
        std::any_of(bytes.begin(), bytes.end(), [](char c) { return static_cast<unsigned char>(c) >= 0x80; });
    fuzzing::check(platform::isMultiByteUtf8(bytes) == (roundTrips && beyondAscii), "UTF-8 as Qt decodes it");
    (void)followup::readTemplate(path);
    return 0;
}
