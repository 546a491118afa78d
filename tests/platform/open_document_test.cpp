// "Open this document and wait" as the program runs it on the desktop: it waits for the
// opener, and says when nothing could open the document, so that the user can be told where
// the document is.
#include <gtest/gtest.h>

#include <QCoreApplication>
#include <QDir>
#include <QFile>
#include <QSettings>
#include <QTemporaryDir>

#include "platform/widget_ui_services.h"
#include "tests/support/files.h"

namespace {

// The desktop's opener replaced by a script of the test's own, found first on the PATH.
class FakeOpener {
public:
    explicit FakeOpener(const QString& folder, const QByteArray& body) : previous_(qgetenv("PATH")) {
        const QString script = QDir(folder).filePath(QStringLiteral("xdg-open"));
        testing_support::writeFile(script, "#!/bin/sh\n" + body + "\n");
        QFile::setPermissions(script, QFile::ReadOwner | QFile::WriteOwner | QFile::ExeOwner);
        qputenv("PATH", QFile::encodeName(folder) + ':' + previous_);
    }
    ~FakeOpener() { qputenv("PATH", previous_); }

private:
    QByteArray previous_;
};

TEST(OpenDocument, WaitsForTheOpenerAndSaysWhenNothingOpenedTheDocument) {
#if !defined(Q_OS_LINUX)
    GTEST_SKIP() << "the opener is the desktop's xdg-open here";
#endif
    const struct {
        const char* name;
        const char* body;  // $1 is the document
        int result;
    } cases[] = {
        {"opened, then closed", "sleep 0.3; cp \"$1\" \"$1.seen\"; exit 0", 0},
        // xdg-open's codes: 3 no application for the document, 4 the application failed.
        {"no application", "exit 3", -1},
        {"the application failed", "exit 4", -1},
    };
    for (const auto& c : cases) {
        SCOPED_TRACE(c.name);
        QTemporaryDir folder;
        ASSERT_TRUE(folder.isValid());
        const QString document = QDir(folder.path()).filePath(QStringLiteral("C 1.rtf"));
        testing_support::writeFile(document, "{\\rtf1 C}");
        const FakeOpener opener(folder.path(), c.body);
        platform::WidgetUiServices services;
        EXPECT_EQ(services.openDocumentAndWait(document), c.result);
        // It returned once the opener had ended, not before.
        if (c.result == 0) {
            EXPECT_EQ(testing_support::readFile(document + QStringLiteral(".seen")), QByteArray("{\\rtf1 C}"));
        }
    }
}

#ifdef Q_OS_WIN
// A document type of the test's own, registered as an installer registers one: the shell's
// "open" verb starts tests/windows/fake_opener.cpp on the document. Written through the merged
// view of the classes (the user's part on Windows; Wine keeps only the machine's).
class RegisteredType {
public:
    RegisteredType() : classes_(QStringLiteral("HKEY_CLASSES_ROOT"), QSettings::NativeFormat) {
        const QString opener = QDir::toNativeSeparators(
            QDir(QCoreApplication::applicationDirPath()).filePath(QStringLiteral("brelo_fake_opener.exe")));
        classes_.setValue(QStringLiteral(".brelotest/Default"), QStringLiteral("BreloTest.Document"));
        classes_.setValue(QStringLiteral("BreloTest.Document/shell/open/command/Default"),
                          QStringLiteral("\"%1\" \"%2\"").arg(opener, QStringLiteral("%1")));
        classes_.sync();
    }
    ~RegisteredType() {
        classes_.remove(QStringLiteral(".brelotest"));
        classes_.remove(QStringLiteral("BreloTest.Document"));
    }

private:
    QSettings classes_;
};
#endif

TEST(OpenDocument, WaitsForTheApplicationTheWindowsShellStarts) {
#ifndef Q_OS_WIN
    GTEST_SKIP() << "the Windows shell's open verb";
#else
    const RegisteredType type;
    const struct {
        const char* name;
        const char* file;
        int result;
    } cases[] = {
        {"opened, then closed", "C 1.brelotest", 0},
        // A contract number is typed by the user: the path goes to the shell as it is.
        {"a name with an accent and spaces", "Contrat été 2.brelotest", 0},
        {"a type nothing opens", "C 3.brelonone", -1},
    };
    for (const auto& c : cases) {
        SCOPED_TRACE(c.name);
        QTemporaryDir folder;
        ASSERT_TRUE(folder.isValid());
        const QString document = QDir(folder.path()).filePath(QString::fromUtf8(c.file));
        testing_support::writeFile(document, "{\\rtf1 C}");
        platform::WidgetUiServices services;
        EXPECT_EQ(services.openDocumentAndWait(document), c.result);
        // It returned once the application had ended, not before: the copy it makes as it ends
        // is there.
        if (c.result == 0) {
            EXPECT_EQ(testing_support::readFile(document + QStringLiteral(".seen")), QByteArray("{\\rtf1 C}"));
        }
    }
#endif
}

}  // namespace
