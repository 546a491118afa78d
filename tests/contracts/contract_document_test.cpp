// The contract document: token replacement, RTF escaping of the values, file names that must
// stay in their folder, every failure message of the generation and the copy, and a real
// word processor reading what the generation wrote.
#include <gtest/gtest.h>

#include "tests/support/files.h"

#include "tests/support/qt_print.h"

#include <QDir>
#include <QFile>
#include <QFileInfo>
#include <QProcess>
#include <QRegularExpression>
#include <QStandardPaths>
#include <QTemporaryDir>
#include <functional>

#include "contracts/contract_document.h"
#include "platform/file_name.h"
#include "platform/ui_services.h"
#include "tests/support/recording_ui.h"
#include "tests/support/text.h"

#ifdef Q_OS_LINUX
#include <sys/inotify.h>
#include <unistd.h>
#endif

namespace {

using namespace contracts;

ContractInfoList rowsOf(std::initializer_list<std::pair<const char*, const char*>> rows) {
    ContractInfoList list;
    for (const auto& [label, value] : rows) list.rows.push_back({q(label), q(value)});
    return list;
}

using testing_support::readFile;
using testing_support::writeFile;

TEST(ContractDocument, TokensAreReplacedKeyByKeyAndEachOccurrenceOnce) {
    const struct {
        const char* name;
        std::string_view templ;
        ContractInfoList rows;
        std::string expected;
    } cases[] = {
        {"twice", "<<<NUM>>> et <<<NUM>>>", rowsOf({{"Numéro de contrat", "N1"}}), "N1 et N1"},
        {"other keys stay", "<<<num>>> <<<FOO>>> <<<NUM>>", rowsOf({{"Numéro de contrat", "N1"}}),
         "<<<num>>> <<<FOO>>> <<<NUM>>"},
        {"absent or misspelt row", "[<<<REPR>>>]", rowsOf({{"Representant legal", "X"}}), "[]"},
        {"own token", "<<<SPECTACLE>>>!", rowsOf({{"Spectacle", "<<<SPECTACLE>>>"}}), "<<<SPECTACLE>>>!"},
        // A later key's token inside a value is replaced by that key; an earlier key's stays.
        {"later key in a value", "<<<CRE>>>", rowsOf({{"Créneau(x)", "<<<NUM>>>"}, {"Numéro de contrat", "N"}}), "N"},
        {"earlier key in a value", "<<<COMPAGNIE>>>", rowsOf({{"Compagnie", "<<<NUM>>>"}, {"Numéro de contrat", "N"}}),
         "<<<NUM>>>"},
        {"the text ends at a zero byte", std::string_view("<<<CP>>>\0<<<CP>>>", 17), rowsOf({{"Code postal", "84000"}}),
         "84000"},
        {"Windows-1252 stays one byte", "<<<VILLE>>>", rowsOf({{"Ville", "Nîmes €"}}), "N\xeemes \x80"},
    };
    for (const auto& c : cases) EXPECT_EQ(fillTemplate(c.templ, c.rows), c.expected) << c.name;
}

TEST(ContractDocument, ValuesAreEscapedForRtf) {
    const struct {
        const char* value;
        std::string rtf;
    } cases[] = {
        {"a{b}c\\d", "a\\{b\\}c\\\\d"},
        {"1\r\n2\n3\r4", "1\\par 2\\par 3\\par 4"},
        {"t\tb\x01", "t\\tab b"},
        {"✓", "{\\uc1\\u10003?}"},
        {"𝄞", "{\\uc1\\u-10188?\\u-8930?}"},  // a surrogate pair, each half as a signed 16-bit number
        {"Œuvre à 5 €", "\x8cuvre \xe0 5 \x80"},
        {"?", "?"},
    };
    for (const auto& c : cases) EXPECT_EQ(rtfText(q(c.value)), c.rtf) << c.value;
}

TEST(ContractDocument, FileNamesMustStayInTheirFolder) {
    for (const char* fine : {"LAvarereprise_7fff_0003_1a2b", "contrat_type.rtf", "Été 2019", "a..b"})
        EXPECT_EQ(platform::fileNameProblem(q(fine), q("Le nom")), QString()) << fine;
    for (const char* refused : {"", ".", "..", "../x", "a/b", "a\\b", "c:x", "a*b", "a?b", "a\"b", "a<b", "a|b", "a\tb",
                                "fin.", "fin ", "CON", "nul.rtf", "com1", "LPT9.txt"})
        EXPECT_NE(platform::fileNameProblem(q(refused), q("Le nom")), QString()) << refused;
}

TEST(ContractDocument, TheDemoTemplatesNameEveryKeyTheirFieldListsFill) {
    const QString models = QDir(platform::executableDir()).filePath(q("models"));
    const QByteArray standard = readFile(QDir(models).filePath(q("contrat_standard.rtf")));
    ASSERT_TRUE(standard.startsWith("{\\rtf1\\ansi\\ansicpg1252"));
    const ContractInfoList fields = readFieldList(models, q("contrat_standard.rtf"));
    for (const TokenKey& key : kTokenKeys) {
        EXPECT_TRUE(standard.contains(QByteArray("<<<") + key.key + ">>>")) << key.key;
        EXPECT_TRUE(fields.find(q(key.label)).has_value()) << key.label;
    }
    EXPECT_TRUE(fields.find(q("Capacité maximmale")).has_value());
    const ContractInfoList simple = readFieldList(models, q("contrat_simple.rtf"));
    EXPECT_GT(simple.rows.size(), 0u);
    EXPECT_LT(simple.rows.size(), fields.rows.size());
}

// A models, a generated and a shared folder of a test's own.
class Generation : public ::testing::Test {
protected:
    void SetUp() override {
        ASSERT_TRUE(root_.isValid());
        const QDir dir(root_.path());
        for (const char* sub : {"models", "generated", "shared"}) ASSERT_TRUE(dir.mkdir(q(sub)));
        folders_ = {dir.filePath(q("models")), dir.filePath(q("generated")), dir.filePath(q("shared"))};
        writeFile(model("t.rtf"), "{\\rtf1\\ansi\\ansicpg1252 <<<NUM>>> <<<PRIX>>>\\par}");
        testing_support::ui().clear();
    }
    void TearDown() override { testing_support::ui().clear(); }

    QString model(const char* name) const { return QDir(folders_.models).filePath(q(name)); }
    QString generated(const char* name) const { return QDir(folders_.generated).filePath(q(name)); }
    QStringList messages() const { return testing_support::ui().messageTexts(); }

    QTemporaryDir root_;
    ContractFolders folders_;
};

TEST_F(Generation, AGeneratedDocumentIsOpenedReadBackAndMarksTheContract) {
    QString rtf;
    const ContractInfoList rows = rowsOf({{"Numéro de contrat", "C_1"}, {"Prix (TTC)", "1000"}});
    ASSERT_EQ(generateAndOpen(folders_, rows, q("t.rtf"), rtf), 0) << messages().join(u'\n').toStdString();
    EXPECT_EQ(rtf, q("t.rtf"));
    EXPECT_EQ(testing_support::ui().openedDocuments, QStringList{generated("C_1.rtf")});
    EXPECT_EQ(readFile(generated("C_1.rtf")), QByteArray("{\\rtf1\\ansi\\ansicpg1252 C_1 1000\\par}"));
    EXPECT_TRUE(messages().isEmpty());

    // OK copies it to the shared folder, replacing the copy there.
    writeFile(QDir(folders_.shared).filePath(q("C_1.rtf")), "old");
    EXPECT_EQ(copyToShared(folders_, rows), 0);
    EXPECT_EQ(readFile(QDir(folders_.shared).filePath(q("C_1.rtf"))), readFile(generated("C_1.rtf")));
    EXPECT_EQ(QDir(folders_.shared).entryList(QDir::Files), QStringList{q("C_1.rtf")});
}

TEST_F(Generation, EveryFailureShowsItsMessageAndLeavesTheContractAsItWas) {
    writeFile(model("vide.rtf"), "");
    const QString templatePath = QDir::toNativeSeparators(model("absent.rtf"));
    const auto number = [](const QString& n) {
        ContractInfoList rows;
        rows.rows.push_back({q("Numéro de contrat"), n});
        return rows;
    };
    // Each key's value holds eight tokens of the next key: the text would grow eightfold
    // at each of the 34 keys.
    ContractInfoList multiplying;
    for (std::size_t k = 0; k < std::size(kTokenKeys); ++k) {
        const QString next = k + 1 < std::size(kTokenKeys) ? q("<<<%1>>>").arg(q(kTokenKeys[k + 1].key)) : q("fin");
        multiplying.rows.push_back({q(kTokenKeys[k].label), next.repeated(8)});
    }
    const struct {
        const char* name;
        ContractInfoList rows;
        const char* templ;
        QString message;
        std::function<void()> before;
    } cases[] = {
        {"tokens multiplying", multiplying, "t.rtf", q(kDocumentTooLarge), {}},
        {"price empty", rowsOf({{"Prix (TTC)", ""}, {"Numéro de contrat", "N"}}), "t.rtf", q(kPriceMissing), {}},
        {"fee empty",
         rowsOf({{"Forfait frais payés par KQ à la compagnie en euros TTC", ""}}),
         "t.rtf",
         q(kFeeMissing),
         {}},
        {"no template",
         number(q("N")),
         "absent.rtf",
         QString::asprintf(kTemplateOpenFailed, 2, templatePath.toUtf8().constData()),
         {}},
        {"empty template", number(q("N")), "vide.rtf", q(kTemplateReadFailed), {}},
        {"template out of its folder",
         number(q("N")),
         "../t.rtf",
         platform::fileNameProblem(q("../t.rtf"), q("Le modèle de contrat")),
         {}},
        {"number out of its folder",
         number(q("../N")),
         "t.rtf",
         platform::fileNameProblem(q("../N"), q("Le numéro de contrat")),
         {}},
        {"path too long",
         number(QString(300, u'n')),
         "t.rtf",
         q(kPathTooLong).arg(QDir::toNativeSeparators(folders_.generated + u'/' + QString(300, u'n') + q(".rtf"))),
         {}},
        {"no generated folder", number(q("N")), "t.rtf", q(kCreateFailed),
         [this] { QDir(folders_.generated).removeRecursively(); }},
        {"document gone after its application", number(q("N")), "t.rtf", q(kGeneratedOpenFailed),
         [] {
             testing_support::ui().onOpenDocument = [](const QString& path) { return QFile::remove(path) ? 0 : -1; };
         }},
    };
    for (const auto& c : cases) {
        testing_support::ui().clear();
        QDir().mkpath(folders_.generated);
        if (c.before) c.before();
        QString rtf = q("avant.rtf");
        EXPECT_EQ(generateAndOpen(folders_, c.rows, q(c.templ), rtf), -1) << c.name;
        EXPECT_EQ(messages(), QStringList{c.message}) << c.name;
        EXPECT_EQ(rtf, q("avant.rtf")) << c.name;
        EXPECT_FALSE(QFile::exists(QDir(root_.path()).filePath(q("N.rtf")))) << c.name;
    }

    // Without a price row the price check does not apply.
    testing_support::ui().clear();
    QString rtf;
    EXPECT_EQ(generateAndOpen(folders_, number(q("N")), q("t.rtf"), rtf), 0);
}

// Nothing able to open an RTF document on this workstation: the contract is generated all
// the same, and the user learns where it is.
TEST_F(Generation, ADocumentNothingCouldOpenIsKeptAndItsPathGiven) {
    testing_support::ui().onOpenDocument = [](const QString&) { return -1; };
    QString rtf;
    const ContractInfoList rows = rowsOf({{"Numéro de contrat", "C_2"}, {"Prix (TTC)", "900"}});
    EXPECT_EQ(generateAndOpen(folders_, rows, q("t.rtf"), rtf), 0);
    EXPECT_EQ(rtf, q("t.rtf"));
    const QString path = QDir::toNativeSeparators(QFileInfo(generated("C_2.rtf")).absoluteFilePath());
    EXPECT_EQ(messages(), QStringList{q(kDocumentNotOpened).arg(path)});
    ASSERT_EQ(testing_support::ui().messages.size(), 1u);
    EXPECT_EQ(testing_support::ui().messages[0].icon, platform::MessageIcon::Warning);
    EXPECT_EQ(readFile(generated("C_2.rtf")), QByteArray("{\\rtf1\\ansi\\ansicpg1252 C_2 900\\par}"));
}

TEST_F(Generation, AFailedCopyKeepsTheSharedDrivesLastDocument) {
    const QString shared = QDir(folders_.shared).filePath(q("N.rtf"));
    const ContractInfoList rows = rowsOf({{"Numéro de contrat", "N"}});
    const struct {
        const char* name;
        std::function<void()> before;
    } cases[] = {
        {"nothing generated under the number", [] {}},
        {"the generated document cannot be read", [this] { QDir().mkpath(generated("N.rtf")); }},
    };
    for (const auto& c : cases) {
        SCOPED_TRACE(c.name);
        testing_support::ui().clear();
        QDir(folders_.generated).removeRecursively();
        QDir(folders_.shared).removeRecursively();
        QDir().mkpath(folders_.generated);
        QDir().mkpath(folders_.shared);
        writeFile(shared, "last good");
        c.before();
        const QStringList sharedBefore =
            QDir(folders_.shared).entryList(QDir::AllEntries | QDir::NoDotAndDotDot | QDir::Hidden);
        EXPECT_EQ(copyToShared(folders_, rows), -1);
        EXPECT_EQ(messages(), QStringList{q(kCopyFailed)});
        EXPECT_EQ(readFile(shared), QByteArray("last good"));
        // No passing file is left behind.
        EXPECT_EQ(QDir(folders_.shared).entryList(QDir::AllEntries | QDir::NoDotAndDotDot | QDir::Hidden),
                  sharedBefore);
    }

    // A document to copy, but no shared folder.
    QDir(folders_.generated).removeRecursively();
    QDir().mkpath(folders_.generated);
    writeFile(generated("N.rtf"), "{\\rtf1 N}");
    QDir(folders_.shared).removeRecursively();
    testing_support::ui().clear();
    EXPECT_EQ(copyToShared(folders_, rows), -1);
    EXPECT_EQ(messages(), QStringList{q(kCopyFailed)});
}

// The shared drive's client may read the copy at any moment: the previous document stays
// under its name until the new one, complete, takes its place in one step. Watched here
// through the system's notifications on the shared folder.
TEST_F(Generation, TheSharedCopyIsReplacedInOneStepOnceComplete) {
#if !defined(Q_OS_LINUX)
    GTEST_SKIP() << "watched through inotify";
#else
    const QString shared = QDir(folders_.shared).filePath(q("N.rtf"));
    writeFile(shared, "last good");
    const QByteArray document = "{\\rtf1 " + QByteArray(3 << 20, 'n') + "}";  // more than one piece of the copy
    writeFile(generated("N.rtf"), document);
    const int watch = inotify_init1(IN_NONBLOCK);
    ASSERT_GE(watch, 0);
    ASSERT_GE(
        inotify_add_watch(watch, QFile::encodeName(folders_.shared).constData(),
                          IN_CREATE | IN_OPEN | IN_MODIFY | IN_CLOSE_WRITE | IN_DELETE | IN_MOVED_FROM | IN_MOVED_TO),
        0);
    EXPECT_EQ(copyToShared(folders_, rowsOf({{"Numéro de contrat", "N"}})), 0);
    QStringList onTheDocument;
    alignas(inotify_event) char buffer[64 * 1024];
    for (ssize_t got; (got = read(watch, buffer, sizeof buffer)) > 0;) {
        for (ssize_t at = 0; at < got;) {
            const auto* event = reinterpret_cast<const inotify_event*>(buffer + at);
            at += static_cast<ssize_t>(sizeof(inotify_event) + event->len);
            if (event->len == 0 || QByteArray(event->name) != "N.rtf") continue;
            onTheDocument << (event->mask & IN_MOVED_TO ? q("moved in")
                                                        : q("touched in place (%1)").arg(event->mask, 0, 16));
        }
    }
    close(watch);
    EXPECT_EQ(onTheDocument, QStringList{q("moved in")});
    EXPECT_EQ(readFile(shared), document);
    EXPECT_EQ(QDir(folders_.shared).entryList(QDir::Files | QDir::Hidden), QStringList{q("N.rtf")});
#endif
}

// ---- a word processor reads what was generated ----------------------------------------------

struct WrittenDocument {
    QString path;
    QStringList lines;  // what a reader must show, each as one line of its text
};

// Documents generated once for the run, from the demo's template and from small ones, with
// values that RTF would take for its own syntax.
const std::vector<WrittenDocument>& writtenDocuments(const ContractFolders& folders) {
    static std::vector<WrittenDocument> written;
    if (!written.empty()) return written;
    const QString demoModels = QDir(platform::executableDir()).filePath(q("models"));
    QFile::copy(QDir(demoModels).filePath(q("contrat_standard.rtf")),
                QDir(folders.models).filePath(q("contrat_standard.rtf")));
    writeFile(QDir(folders.models).filePath(q("small.rtf")),
              "{\\rtf1\\ansi\\ansicpg1252\\deff0{\\fonttbl{\\f0 Arial;}}\\f0 <<<NUM>>> et <<<NUM>>>\\par "
              "<<<num>>> <<<FOO>>>\\par [<<<COMPAGNIE>>>]\\par [<<<SPECTACLE>>>]\\par}");
    const struct {
        const char* templ;
        ContractInfoList rows;
        QStringList lines;
    } cases[] = {
        {"small.rtf",
         rowsOf(
             {{"Numéro de contrat", "N_1"}, {"Compagnie", "Théâtre du Pont-Neuf"}, {"Spectacle", "<<<SPECTACLE>>>"}}),
         {q("N_1 et N_1"), q("<<<num>>> <<<FOO>>>"), q("[Théâtre du Pont-Neuf]"), q("[<<<SPECTACLE>>>]")}},
        {"small.rtf",
         rowsOf({{"Numéro de contrat", "N_2"}, {"Compagnie", "a{b}c\\d}}\\par x\r\nligne 2 ✓ 𝄞 € Œ"}}),
         {q("[a{b}c\\d}}\\par x"), q("ligne 2 ✓ 𝄞 € Œ]")}},
        {"contrat_standard.rtf",
         rowsOf({{"Numéro de contrat", "Antigone_0001_0002_0003"},
                 {"Compagnie", "La Troupe à Léon"},
                 {"Spectacle", "Antigone"},
                 {"Représentant légal", "Léon Dubœuf"},
                 {"Ville", "Nîmes"},
                 {"Prix (TTC)", "1750"},
                 {"Montant de chacun des 5 chèques", "350.00"},
                 {"Date encaissement du chèque numéro 5", "Jeudi 27 Juin 2019"}}),
         {q("Contrat n° Antigone_0001_0002_0003"),
          q("et La Troupe à Léon, représentée par Léon Dubœuf, Siret , licence "
            "d'entrepreneur de spectacles n° ,"),
          q("5. Jeudi 27 Juin 2019")}},
    };
    for (const auto& c : cases) {
        QString rtf;
        if (generateAndOpen(folders, c.rows, q(c.templ), rtf) != 0) continue;
        written.push_back(
            {QDir(folders.generated).filePath(c.rows.value(q("Numéro de contrat")) + q(".rtf")), c.lines});
    }
    return written;
}

TEST(WordProcessor, ReadsEveryGeneratedDocumentWithTheValuesPutIn) {
    static QTemporaryDir root;
    ASSERT_TRUE(root.isValid());
    const QDir dir(root.path());
    for (const char* sub : {"models", "generated", "shared", "text"}) dir.mkpath(q(sub));
    testing_support::ui().clear();
    const auto& documents =
        writtenDocuments({dir.filePath(q("models")), dir.filePath(q("generated")), dir.filePath(q("shared"))});
    ASSERT_EQ(documents.size(), 3u) << testing_support::ui().messageTexts().join(u'\n').toStdString();

    // The generated text never leaves a table key's token of the template.
    const QByteArray standard = readFile(documents[2].path);
    for (const TokenKey& key : kTokenKeys)
        EXPECT_FALSE(standard.contains(QByteArray("<<<") + key.key + ">>>")) << key.key;

    const QString office = QStandardPaths::findExecutable(q("soffice"));
    if (office.isEmpty()) GTEST_SKIP() << "no word processor on this machine (Debian: libreoffice-writer-nogui)";
    QStringList arguments{q("--headless"),
                          q("--norestore"),
                          q("-env:UserInstallation=file://") + dir.filePath(q("profile")),
                          q("--convert-to"),
                          q("txt:Text (encoded):UTF8"),
                          q("--outdir"),
                          dir.filePath(q("text"))};
    for (const auto& document : documents) arguments << document.path;
    QProcess reader;
    reader.start(office, arguments);
    ASSERT_TRUE(reader.waitForFinished(180000)) << "the word processor did not finish";
    for (const auto& document : documents) {
        QFile text(dir.filePath(q("text/") + QFileInfo(document.path).completeBaseName() + q(".txt")));
        ASSERT_TRUE(text.open(QIODevice::ReadOnly)) << document.path.toStdString() << "\n"
                                                    << reader.readAllStandardError().toStdString();
        QStringList lines =
            QString::fromUtf8(text.readAll()).remove(QChar(0xFEFF)).split(QRegularExpression(q("\r?\n")));
        for (const QString& line : document.lines)
            EXPECT_TRUE(lines.contains(line)) << line.toStdString() << "\nnot in\n" << lines.join(u'\n').toStdString();
    }
}

}  // namespace
