// The settings file: it moves both connections without a rebuild (relays on other ports count
// the connections that reach them), a user's file overrides the installation's key by key, and
// a file the program cannot start with is named in its message.
#include <gtest/gtest.h>

#include <QDir>
#include <QFile>
#include <QTemporaryDir>

#include "bench/link_proxy.h"
#include "db/connections.h"
#include "db/settings_file.h"
#include "tests/support/files.h"
#include "tests/support/recording_ui.h"
#include "tests/support/text.h"

namespace {

void write(const QString& file, const std::string& text) {
    QDir().mkpath(QFileInfo(file).path());
    testing_support::writeFile(file, QByteArray::fromStdString(text));
}

class SettingsFileTest : public ::testing::Test {
protected:
    void SetUp() override {
        ticketing_ = db::ticketingSettings();
        programme_ = db::programmeSettings();
        testing_support::ui().clear();
    }
    void TearDown() override {
        db::closeProgramme();
        db::closeTicketing();
        db::ticketingSettings() = ticketing_;
        db::programmeSettings() = programme_;
    }
    // A whole file for the build's server, its ports given.
    std::string complete(unsigned ticketingPort, unsigned programmePort) const {
        return "[ticketing]\nhost=127.0.0.1\nport=" + std::to_string(ticketingPort) +
               "\ndatabase=" + ticketing_.database + "\nuser=" + ticketing_.user + "\npassword=" + ticketing_.password +
               "\ntls_authority=" + ticketing_.tlsAuthority +
               "\n[programme]\nhost=127.0.0.1\nport=" + std::to_string(programmePort) +
               "\ndatabase=" + programme_.database + "\naccounts=access\nuser=" + programme_.user +
               "\npassword=" + programme_.password + "\ntls_authority=" + programme_.tlsAuthority + "\n";
    }
    QTemporaryDir dir_;
    db::ConnectionSettings ticketing_;
    db::ConnectionSettings programme_;
};

TEST_F(SettingsFileTest, TheFileMovesBothConnectionsWithoutARebuild) {
    bench::LinkProxy ticketingRelay(0, static_cast<uint16_t>(ticketing_.port), {0.0, 1e9});
    bench::LinkProxy programmeRelay(0, static_cast<uint16_t>(programme_.port), {0.0, 1e9});
    const QString file = dir_.filePath(q("brelo.ini"));
    write(file, complete(ticketingRelay.port(), programmeRelay.port()));
    ASSERT_EQ(db::loadSettingsFiles({file}), QString());

    EXPECT_EQ(db::connectProgramme(), 0);
    db::closeProgramme();
    EXPECT_EQ(db::openTicketing(), 0);
    db::closeTicketing();
    EXPECT_TRUE(testing_support::ui().messages.empty())
        << testing_support::ui().messageTexts().join(u'\n').toStdString();
    EXPECT_EQ(programmeRelay.connections(), 1);
    EXPECT_EQ(ticketingRelay.connections(), 1);

    // A user's file moves the programme alone back to the server; the rest stays as installed.
    const QString mine = dir_.filePath(q("user/brelo.ini"));
    write(mine, "[programme]\nport=" + std::to_string(programme_.port) + "\n");
    ASSERT_EQ(db::loadSettingsFiles({file, mine}), QString());
    EXPECT_EQ(db::programmeSettings().port, programme_.port);
    EXPECT_EQ(db::ticketingSettings().port, ticketingRelay.port());
    EXPECT_EQ(db::programmeSettings().password, programme_.password);
}

TEST_F(SettingsFileTest, AFileThatCannotServeIsNamed) {
    const QString file = dir_.filePath(q("brelo.ini"));
    const QString shown = QDir::toNativeSeparators(file);
    const std::string whole = complete(1, 2);
    const auto without = [&](const std::string& line) {
        std::string text = whole;
        text.erase(text.find(line), line.size() + 1);
        return text;
    };
    const struct {
        const char* name;
        std::string text;  // "-": no file; "/": a folder in its place
        QString message;
    } cases[] = {
        {"missing", "-", q("Fichier de réglages introuvable : ") + shown},
        {"a folder", "/", q("Fichier de réglages illisible : ") + shown},
        {"no programme host", without("host=127.0.0.1\nport=2"),
         q("Fichier de réglages incomplet : ") + shown + q(" (il manque programme/host)")},
        {"empty", "",
         q("Fichier de réglages incomplet : ") + shown +
             q(" (il manque ticketing/host, ticketing/database, ticketing/user, ticketing/password, "
               "programme/host, programme/database, programme/user, programme/password)")},
        {"not settings at all", "\x01\x02 PK\x03\x04 binary\n{}\n",
         q("Fichier de réglages incomplet : ") + shown +
             q(" (il manque ticketing/host, ticketing/database, ticketing/user, ticketing/password, "
               "programme/host, programme/database, programme/user, programme/password)")},
        {"port not a number", whole + "[ticketing]\nport=35427x\n",
         q("Fichier de réglages ") + shown + q(" : valeur refusée pour ticketing/port")},
        {"port too large", whole + "[programme]\nport=70000\n",
         q("Fichier de réglages ") + shown + q(" : valeur refusée pour programme/port")},
        {"unknown mode", whole + "[programme]\naccounts=ldap\n",
         q("Fichier de réglages ") + shown + q(" : valeur refusée pour programme/accounts")},
        {"no TLS to a distant server", whole + "[programme]\nhost=programme.example\ntls=false\n",
         q("Fichier de réglages ") + shown + q(" : valeur refusée pour programme/tls")},
    };
    for (const auto& c : cases) {
        SCOPED_TRACE(c.name);
        QFile::remove(file);
        QDir(file).removeRecursively();
        if (c.text == "/")
            QDir().mkpath(file);
        else if (c.text != "-")
            write(file, c.text);
        db::programmeSettings().port = 4242;
        EXPECT_EQ(db::loadSettingsFiles({file, dir_.filePath(q("nobody/brelo.ini"))}), c.message);
        EXPECT_EQ(db::programmeSettings().port, 4242u);  // nothing taken from a file refused
    }
    // The server-accounts mode needs no shared account; without TLS a server here is allowed.
    write(file, whole + "[programme]\naccounts=server\ntls=false\n");
    EXPECT_EQ(db::loadSettingsFiles({file}), QString());
    EXPECT_EQ(db::programmeSettings().accounts, db::AccountMode::Server);
    EXPECT_TRUE(db::programmeSettings().password.empty());
    EXPECT_FALSE(db::programmeSettings().tls);
}

}  // namespace
