// Servers the program must not talk to: a certificate from another authority, one issued for
// another name, one that has expired, a server without TLS. The login and the sales load each
// end in the connection message with the library's reason, read nothing, and the server never
// sees the account: the check happens before it is sent. TLS goes off only where the settings
// say so.
#include <gtest/gtest.h>

#include <QStringList>
#include <chrono>
#include <string>
#include <thread>

#include "db/connections.h"
#include "programme/account.h"
#include "sales/aggregation.h"
#include "sales/ticketing_data.h"
#include "tests/support/recording_ui.h"
#include "tests/support/sql.h"
#include "tests/support/testdb.h"

namespace {

const std::string kRefusedFolder = BRELO_BUILD_DIR "/tls-refused";
const std::string kOtherAuthority = kRefusedFolder + "/other-authority";
const std::string kOtherName = kRefusedFolder + "/other-name";
const std::string kExpired = kRefusedFolder + "/expired";
const std::string kOwn = "";  // the server's own certificate, from the build's authority
const std::string kNoTls = "--no-tls";

// What the server saw of the accounts: the general log's Connect lines that name one (a login
// accepted or refused). Waits first for the server to be done with every network session.
std::vector<testdb::Row> accountArrivals() {
    for (int i = 0; i < 100; ++i) {
        if (testdb::query("", "SELECT 1 FROM information_schema.PROCESSLIST WHERE HOST LIKE '127.0.0.1%'").empty())
            break;
        std::this_thread::sleep_for(std::chrono::milliseconds(20));
    }
    return testdb::query("",
                         "SELECT argument FROM mysql.general_log WHERE command_type = 'Connect' AND (argument "
                         "LIKE '%" +
                             db::programmeSettings().user + "%' OR argument LIKE '%" + db::ticketingSettings().user +
                             "%')");
}

// The settings of both links for one case, put back afterwards.
class SettingsChange {
public:
    SettingsChange(bool tls, const std::string* authority)
        : ticketing_(db::ticketingSettings()), programme_(db::programmeSettings()) {
        for (db::ConnectionSettings* s : {&db::ticketingSettings(), &db::programmeSettings()}) {
            s->tls = tls;
            if (authority) s->tlsAuthority = *authority;
        }
    }
    ~SettingsChange() {
        db::ticketingSettings() = ticketing_;
        db::programmeSettings() = programme_;
    }

private:
    db::ConnectionSettings ticketing_, programme_;
};

class RefusedServerTest : public ::testing::Test {
protected:
    static void SetUpTestSuite() {
        testdb::makeAuthority(kOtherAuthority);
        testdb::makeServerCertificate(kOtherAuthority, kOtherAuthority, "IP:127.0.0.1", 825);
        testdb::makeServerCertificate(testdb::buildTlsFolder(), kOtherName, "DNS:programme.example", 825);
        testdb::makeServerCertificate(testdb::buildTlsFolder(), kExpired, "IP:127.0.0.1", -1);
    }
    void SetUp() override {
        testing_support::ui().clear();
        account::resetForTests();
        testdb::resetAll();
        testdb::exec(testdb::programmeDb(),
                     "INSERT INTO `access` (`id`, `name`, `password`, `rights`) VALUES (1, 'Marie', 'Secret', 'all')");
        testdb::exec(testdb::ticketingDb(), "INSERT INTO `salle` VALUES (1, 'Rouge', NULL)");
    }
    void TearDown() override {
        db::closeProgramme();
        db::closeTicketing();
        // Whatever became of the test, the next ones have their server with its own certificate.
        testdb::stopServer();
        testdb::serveAgain();
    }

    // The server with the certificates given, its general log kept in a table and emptied.
    void serve(const std::string& certificates) {
        if (certificates != serving_) {
            if (certificates.empty()) {
                testdb::stopServer();
                testdb::serveAgain();
            } else {
                testdb::serveWith(certificates);
            }
            serving_ = certificates;
        }
        testdb::exec("",
                     "SET GLOBAL log_output = 'TABLE'; SET GLOBAL general_log = 1;"
                     "TRUNCATE TABLE mysql.general_log");
    }

private:
    std::string serving_ = kOwn;
};

TEST_F(RefusedServerTest, OnlyAVerifiedServerGetsTheAccountAndGivesRows) {
    const std::string missing = kRefusedFolder + "/nowhere/ca.pem";
    const struct Case {
        const char* name;
        const std::string& certificates;  // what the server shows
        bool tls;                         // the program's settings
        const std::string* authority;     // null: the build's own
        bool connects;
        std::string reason;  // the text that says why: the library's, or the program's own
    } cases[] = {
        {"certificate from another authority", kOtherAuthority, true, nullptr, false,
         "TLS/SSL error: unable to get local issuer certificate"},
        {"certificate for another name", kOtherName, true, nullptr, false,
         "TLS/SSL error: Validation of SSL server certificate failed"},
        {"expired certificate", kExpired, true, nullptr, false, "TLS/SSL error: certificate has expired"},
        {"server without TLS", kNoTls, true, nullptr, false,
         "TLS/SSL error: SSL is required, but the server does not support it"},
        {"TLS off in the settings, server without TLS", kNoTls, false, nullptr, true, ""},
        {"authority file missing", kOwn, true, &missing, false,
         "Impossible de lire le certificat de l'autorit\xc3\xa9 : " + missing},
        {"the build's authority", kOwn, true, nullptr, true, ""},
    };
    for (const Case& c : cases) {
        SCOPED_TRACE(c.name);
        serve(c.certificates);
        testing_support::ui().clear();
        account::resetForTests();
        const SettingsChange settings(c.tls, c.authority);

        const account::LoginResult login = account::attemptLogin(q("Marie"), q("Secret"));
        sales::TicketingData data;
        sales::SalesIndex index;
        sales::load(data, index);
        const QStringList messages = testing_support::ui().messageTexts();

        if (c.connects) {
            EXPECT_EQ(login, account::LoginResult::Ok);
            EXPECT_EQ(data.rooms().size(), 1u);
            EXPECT_TRUE(messages.isEmpty()) << messages.join(u'\n').toStdString();
            // The server saw both logins, over the transport the settings chose.
            const std::vector<testdb::Row> arrivals = accountArrivals();
            EXPECT_EQ(arrivals.size(), 2u);
            for (const testdb::Row& arrival : arrivals)
                EXPECT_TRUE(arrival[0].ends_with(c.tls ? "using SSL/TLS" : "using TCP/IP")) << arrival[0];
            continue;
        }
        EXPECT_EQ(login, account::LoginResult::Cancel);
        EXPECT_TRUE(account::name().isEmpty());
        EXPECT_TRUE(data.rooms().empty());
        EXPECT_FALSE(db::programmeConnected());
        EXPECT_EQ(db::ticketingConnection(), nullptr);
        ASSERT_EQ(messages.size(), 2) << messages.join(u'\n').toStdString();  // the login's, the load's
        for (const QString& m : messages) EXPECT_EQ(m.toStdString(), "Erreur : mysql_real_connect : " + c.reason);
        EXPECT_EQ(accountArrivals(), std::vector<testdb::Row>{});
    }
}

}  // namespace
