// Qt texts in test failure messages as readable UTF-8 instead of code-unit dumps.
#pragma once

#include <QString>
#include <QStringList>
#include <ostream>

inline void PrintTo(const QString& text, std::ostream* os) { *os << '"' << text.toStdString() << '"'; }
inline void PrintTo(const QStringList& texts, std::ostream* os) {
    *os << '[';
    for (qsizetype i = 0; i < texts.size(); ++i) *os << (i ? ", \"" : "\"") << texts[i].toStdString() << '"';
    *os << ']';
}
// The same for texts streamed into a failure's message (EXPECT_... << text).
inline std::ostream& operator<<(std::ostream& os, const QString& text) { return os << text.toStdString(); }
inline std::ostream& operator<<(std::ostream& os, const QStringList& texts) {
    return os << texts.join(QStringLiteral("\n")).toStdString();
}
