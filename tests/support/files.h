// Files a test writes and reads back whole.
#pragma once

#include <gtest/gtest.h>
#include <QByteArray>
#include <QDir>
#include <QFile>
#include <QString>

namespace testing_support {

inline void writeFile(const QString& path, const QByteArray& bytes) {
    QFile file(path);
    ASSERT_TRUE(file.open(QIODevice::WriteOnly)) << path.toStdString();
    file.write(bytes);
}

// Empty when the file cannot be read.
inline QByteArray readFile(const QString& path) {
    QFile file(path);
    return file.open(QIODevice::ReadOnly) ? file.readAll() : QByteArray();
}

// Where a test leaves a figure for the test command to print: the build's figures folder.
inline std::string figuresPath(const char* name) {
    const QString folder = QStringLiteral(BRELO_BUILD_DIR "/figures");
    QDir().mkpath(folder);
    return QDir(folder).filePath(QString::fromUtf8(name)).toStdString();
}

}  // namespace testing_support
