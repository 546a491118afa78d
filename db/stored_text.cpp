#include "db/stored_text.h"

#include <QStringList>

#include "db/codepage.h"

namespace db {

QString unstorableCharacters(const QString& text) {
    QString found;
    for (qsizetype i = 0; i < text.size();) {
        const qsizetype width =
            text[i].isHighSurrogate() && i + 1 < text.size() && text[i + 1].isLowSurrogate() ? 2 : 1;
        const QString character = text.mid(i, width);
        i += width;
        // A character the code page lacks comes back as "?".
        if (fromAnsi(toAnsi(character)) != character && !found.contains(character)) found += character;
    }
    return found;
}

QString storedTextProblem(const QString& field, const QString& text, int maxChars) {
    if (const QString lacking = unstorableCharacters(text); !lacking.isEmpty())
        return QString::fromUtf8(kUnstorableFormat).arg(field, lacking);
    if (text.size() > maxChars) return QString::fromUtf8(kTooLongFormat).arg(field).arg(text.size()).arg(maxChars);
    return QString();
}

QString separatorProblem(const QString& field, const QString& text, std::initializer_list<const char*> forbidden,
                         QChar trailing) {
    QStringList held;
    for (const char* separator : forbidden)
        if (text.contains(QString::fromUtf8(separator)))
            held << QStringLiteral("« %1 »").arg(QString::fromUtf8(separator));
    if (!held.isEmpty()) return QString::fromUtf8(kSeparatorFormat).arg(field, held.join(QStringLiteral(", ")));
    if (!trailing.isNull() && text.endsWith(trailing)) return QString::fromUtf8(kTrailingFormat).arg(field, trailing);
    return QString();
}

}  // namespace db
