// The files the program reads line by line: a checklist template and a contract's field list.
// Any bytes give one item or row per piece of a line, and reading never fails.
#include <QDir>
#include <QFile>
#include <QTemporaryDir>

#include "contracts/contract_info.h"
#include "fuzz/fuzz_input.h"
#include "planning/checklist.h"
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
    (void)planning::readTemplate(path);
    return 0;
}
