// Both connections are encrypted: the server sees a cipher on every session the program opens,
// on a session the library opened again after the old one was lost too; and the authority's
// certificate is found where the settings say.
#include <gtest/gtest.h>

#include <mysql.h>
#include <unistd.h>

#include <QDir>
#include <QStringList>
#include <cstdlib>
#include <functional>
#include <string>

#include "db/connection_settings.h"
#include "db/connections.h"
#include "db/query_runner.h"
#include "tests/support/recording_ui.h"
#include "tests/support/testdb.h"

namespace {

// The value of a one-row answer: its last column.
int32_t keepLastColumn(void* context, int32_t n, char** columns, void*) {
    if (n >= 1 && columns[n - 1]) *static_cast<std::string*>(context) = columns[n - 1];
    return 0;
}

// One of the two connections, as its callers open, use and close it.
struct Link {
    const char* name;
    std::function<db::ConnectionSettings&()> settings;
    std::function<int()> open;
    std::function<void()> close;
    std::function<int32_t(const std::string&, db::RowCallback, void*)> run;
};

const Link kLinks[] = {
    {"programme", db::programmeSettings, db::connectProgramme, db::closeProgramme,
     [](const std::string& sql, db::RowCallback callback, void* context) {
         return db::QueryRunner(sql, callback, context);
     }},
    {"ticketing", db::ticketingSettings, db::openTicketing, db::closeTicketing,
     [](const std::string& sql, db::RowCallback callback, void* context) {
         return db::QueryRunner(sql, callback, context, db::WorkBuffer::forStatement(sql));
     }},
};

std::string sessionStatus(const Link& link, const char* variable) {
    std::string value;
    EXPECT_EQ(link.run(std::string("SHOW SESSION STATUS LIKE '") + variable + "'", keepLastColumn, &value),
              db::kQueryOk);
    return value;
}

std::string connectionId(const Link& link) {
    std::string id;
    EXPECT_EQ(link.run("SELECT CONNECTION_ID()", keepLastColumn, &id), db::kQueryOk);
    return id;
}

class ConnectionTlsTest : public ::testing::Test {
protected:
    void SetUp() override { testing_support::ui().clear(); }
    void TearDown() override {
        db::closeProgramme();
        db::closeTicketing();
    }
};

TEST_F(ConnectionTlsTest, TheBuildConnectsWithVerificationOnBothLinks) {
    EXPECT_TRUE(db::settings::kTicketingTls);
    EXPECT_TRUE(db::settings::kProgrammeTls);
    for (const db::ConnectionSettings* s : {&db::ticketingSettings(), &db::programmeSettings()}) {
        EXPECT_TRUE(s->tls);
        EXPECT_EQ(s->tlsAuthority, testdb::buildTlsFolder() + "/ca.pem");
    }
}

TEST_F(ConnectionTlsTest, EverySessionTheProgramOpensIsEncrypted) {
    for (const Link& link : kLinks) {
        SCOPED_TRACE(link.name);
        ASSERT_EQ(link.open(), 0) << testing_support::ui().messageTexts().join(u'\n').toStdString();
        EXPECT_NE(sessionStatus(link, "Ssl_cipher"), "");
        EXPECT_NE(sessionStatus(link, "Ssl_version"), "");

        // The session is lost while the program holds it; the library opens a new one for the
        // next statement, and that one is encrypted as well.
        const std::string first = connectionId(link);
        testdb::killConnection(std::stoul(first));
        const std::string cipher = sessionStatus(link, "Ssl_cipher");
        EXPECT_NE(connectionId(link), first);
        EXPECT_NE(cipher, "");
        link.close();

        // Closed and opened again, as every unit of work does.
        ASSERT_EQ(link.open(), 0);
        EXPECT_NE(sessionStatus(link, "Ssl_cipher"), "");
        link.close();
    }
    const QStringList messages = testing_support::ui().messageTexts();
    EXPECT_TRUE(messages.isEmpty()) << messages.join(u'\n').toStdString();
}

// With no authority given the library verifies against the system's store. The build's own
// authority is not in this machine's store, so the server is refused; named by OpenSSL's
// variable for the store's file, it stands in for a public authority there, and the server
// is accepted.
TEST_F(ConnectionTlsTest, WithoutAnAuthorityTheSystemsStoreDecides) {
    const QByteArray authority = QByteArray::fromStdString(testdb::buildTlsFolder() + "/ca.pem");
    for (const Link& link : kLinks) {
        SCOPED_TRACE(link.name);
        db::ConnectionSettings& s = link.settings();
        const db::ConnectionSettings configured = s;
        s.tlsAuthority.clear();
        for (const bool inStore : {false, true}) {
            testing_support::ui().clear();
            if (inStore) qputenv("SSL_CERT_FILE", authority);
            const int rc = link.open();
            qunsetenv("SSL_CERT_FILE");
            if (inStore) {
                EXPECT_EQ(rc, 0) << testing_support::ui().messageTexts().join(u'\n').toStdString();
                EXPECT_NE(sessionStatus(link, "Ssl_cipher"), "");
            } else {
                EXPECT_EQ(rc, -2);
                EXPECT_EQ(testing_support::ui().messageTexts(),
                          QStringList{QStringLiteral("Erreur : mysql_real_connect : TLS/SSL error: unable to get local "
                                                     "issuer certificate")});
            }
            link.close();
        }
        s = configured;
    }
}

// A server that offers nothing newer than TLS 1.1, to a workstation whose system would still
// speak it (an OpenSSL configuration that allows it, as old systems have): both links refuse
// it. OpenSSL reads its configuration once per process, so the workstation is this program run
// again with that configuration (the probe below).
TEST_F(ConnectionTlsTest, ASessionBelowTls12IsRefused) {
    if (std::getenv("BRELO_TLS_FLOOR_PROBE")) GTEST_SKIP() << "the probe's own run";
    testdb::serveWith("--tls-1.1");
    const std::string probe = "OPENSSL_CONF='" + testdb::buildTlsFolder() +
                              "/legacy-openssl.cnf' BRELO_TLS_FLOOR_PROBE=1 /proc/" + std::to_string(getpid()) +
                              "/exe --gtest_filter='TlsFloorProbe.*' >/dev/null 2>&1";
    const int rc = std::system(probe.c_str());
    testdb::stopServer();
    testdb::serveAgain();
    EXPECT_EQ(rc, 0) << "run it to see why: " << probe;
}

TEST(TlsFloorProbe, OnlyTheFloorRefusesTheOldServer) {
    if (!std::getenv("BRELO_TLS_FLOOR_PROBE")) GTEST_SKIP() << "run by ConnectionTlsTest.ASessionBelowTls12IsRefused";
    // The server and this process do speak TLS 1.1: a client that asks for it gets in.
    const db::ConnectionSettings& s = db::programmeSettings();
    MYSQL* m = mysql_init(nullptr);
    const my_bool on = 1;
    mysql_optionsv(m, MYSQL_OPT_SSL_VERIFY_SERVER_CERT, &on);
    mysql_optionsv(m, MYSQL_OPT_SSL_CA, s.tlsAuthority.c_str());
    mysql_optionsv(m, MARIADB_OPT_TLS_VERSION, "TLSv1.1");
    ASSERT_NE(mysql_real_connect(m, s.host.c_str(), s.user.c_str(), s.password.c_str(), s.database.c_str(), s.port,
                                 nullptr, 0),
              nullptr)
        << mysql_error(m);
    ASSERT_EQ(mysql_query(m, "SHOW SESSION STATUS LIKE 'Ssl_version'"), 0);
    MYSQL_RES* version = mysql_store_result(m);
    MYSQL_ROW row = version ? mysql_fetch_row(version) : nullptr;
    EXPECT_STREQ(row ? row[1] : "", "TLSv1.1");
    if (version) mysql_free_result(version);
    mysql_close(m);
    // The program's links do not.
    for (const Link& link : kLinks) {
        SCOPED_TRACE(link.name);
        testing_support::ui().clear();
        EXPECT_EQ(link.open(), -2);
        const QStringList messages = testing_support::ui().messageTexts();
        ASSERT_EQ(messages.size(), 1);
        EXPECT_TRUE(messages[0].startsWith(QStringLiteral("Erreur : mysql_real_connect : TLS/SSL error")))
            << messages[0].toStdString();
        link.close();
    }
}

TEST_F(ConnectionTlsTest, TheAuthorityFileIsFoundWhereTheSettingsSay) {
    const QString folder = QStringLiteral("/opt/brelo");
    const struct {
        const char* configured;
        QString file;
    } cases[] = {
        {"", QString()},                                             // the system's store
        {"/etc/brelo/ca.pem", QStringLiteral("/etc/brelo/ca.pem")},  // absolute: as it is
        {"ca.pem", QStringLiteral("/opt/brelo/ca.pem")},             // relative: beside the executable
        {"tls/h\xc3\xa9"
         "bergeur.pem",
         QString::fromUtf8("/opt/brelo/tls/h\xc3\xa9"
                           "bergeur.pem")},
    };
    for (const auto& c : cases) EXPECT_EQ(db::authorityFile(c.configured, folder), c.file) << c.configured;
}

}  // namespace
