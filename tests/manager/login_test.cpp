#include <gtest/gtest.h>

#include <QApplication>
#include <chrono>
#include <thread>

#include "app/login_dlg.h"
#include "db/connections.h"
#include "programme/account.h"
#include "programme/table_engines.h"
#include "tests/support/modal.h"
#include "tests/support/recording_ui.h"
#include "tests/support/testdb.h"

namespace {

class LoginTest : public ::testing::Test {
protected:
    void SetUp() override {
        testing_support::ui().clear();
        account::resetForTests();
        testdb::resetProgramme();
        testdb::exec(testdb::programmeDb(),
                     "INSERT INTO `access` (`id`, `name`, `password`, `rights`) VALUES "
                     "(1, 'Marie', 'Secret', 'lecture'), (2, 'Paul', 'x', 'all'), (3, 'Paul', 'y', 'ALL'),"
                     "(4, 'Paul', 'y', 'all'), (5, 'REN\xc9', '\xc9t\xe9', 'all'), (6, 'Rene', 'ete', 'e'),"
                     "(7, 'O''Brien', 'a\\\\b\"c', 'all'), (8, 'Anne', '.*', 'regex')");
    }
    void TearDown() override { db::closeProgramme(); }
    const QString failed = QString::fromUtf8(account::kLoginFailedMessage);
};

TEST_F(LoginTest, CaseIsIgnoredAndTheStoredSpellingKept) {
    EXPECT_EQ(account::attemptLogin(QStringLiteral("mARIE"), QStringLiteral("sECRET")), account::LoginResult::Ok);
    EXPECT_EQ(account::name(), QStringLiteral("Marie"));
    EXPECT_EQ(account::rights(), QStringLiteral("lecture"));
    EXPECT_TRUE(testing_support::ui().messages.empty());
    EXPECT_FALSE(db::programmeConnected());
}

// Tables on an engine without transactions: the login says so, once in the program's life.
TEST_F(LoginTest, TablesWithoutTransactionsAreReportedOnceAtLogin) {
    programme::askEnginesAgainForTests();
    testdb::exec(testdb::programmeDb(), "ALTER TABLE `timeslot` ENGINE=MyISAM; ALTER TABLE `comp` ENGINE=MyISAM");
    EXPECT_EQ(account::attemptLogin(QStringLiteral("Marie"), QStringLiteral("Secret")), account::LoginResult::Ok);
    EXPECT_EQ(account::attemptLogin(QStringLiteral("Marie"), QStringLiteral("Secret")), account::LoginResult::Ok);
    testdb::resetProgramme();  // InnoDB again for the next tests
    const auto& shown = testing_support::ui().messages;
    ASSERT_EQ(shown.size(), 1u);
    EXPECT_EQ(shown[0].icon, platform::MessageIcon::Warning);
    EXPECT_TRUE(shown[0].text.contains(QStringLiteral("les tables comp (MyISAM), timeslot (MyISAM) ne gèrent pas")))
        << shown[0].text.toStdString();
    EXPECT_TRUE(programme::engineWarning({}).isEmpty());
}

TEST_F(LoginTest, FirstRowMatchingNameAndPasswordWins) {
    EXPECT_EQ(account::attemptLogin(QStringLiteral("paul"), QStringLiteral("Y")), account::LoginResult::Ok);
    EXPECT_EQ(account::rights(), QStringLiteral("ALL"));
    EXPECT_FALSE(account::rightsTest());  // the letters in upper case do not pass
}

// The matching rule, settled by the server: ASCII letters fold, every other character compares
// by its code (no accent folding, no trailing-space padding as the server's own comparison
// would do), the typed texts are values, never patterns or SQL.
TEST_F(LoginTest, OnlyTheExactRuleMatches) {
    struct Case {
        const char* name;
        const char* password;
        const char* rights;  // nullptr: no match
    };
    for (const Case& c : std::initializer_list<Case>{
             {"ren\u00c9", "\u00c9T\u00e9", "all"},    // É and é by code; R, E, N, T fold
             {"ren\u00e9", "\u00c9t\u00e9", nullptr},  // é is not É
             {"RENE", "\u00c9t\u00e9", nullptr},       // nor is E
             {"Rene", "\u00e9t\u00e9", nullptr},
             {"Rene", "ete", "e"},
             {"Marie ", "Secret", nullptr},
             {"Marie", "Secret ", nullptr},
             {"Marie", "", nullptr},
             {"o'brien", "A\\B\"C", "all"},
             {"Anne", ".*", "regex"},
             {"Marie", ".*", nullptr},
             {"Marie", "' OR '1'='1", nullptr},
             {"Marie\u20ac", "Secret", nullptr},        // € is in the code page, in no row
             {"Marie\u0153\u4e00", "Secret", nullptr},  // a character outside it
         }) {
        SCOPED_TRACE(std::string(c.name) + " / " + c.password);
        account::resetForTests();
        testing_support::ui().clear();
        const auto result = account::attemptLogin(QString::fromUtf8(c.name), QString::fromUtf8(c.password));
        EXPECT_EQ(result, c.rights ? account::LoginResult::Ok : account::LoginResult::NoMatch);
        EXPECT_EQ(account::rights(), QString::fromUtf8(c.rights ? c.rights : ""));
        EXPECT_EQ(testing_support::ui().messageTexts(), c.rights ? QStringList{} : QStringList{failed});
    }
}

// The server's own record of each login statement: one statement per attempt, which sends at
// most one row, though eight rows are stored (two of them under the same name).
TEST_F(LoginTest, ALoginReceivesAtMostTheMatchingRow) {
    testdb::exec("",
                 "SET GLOBAL log_output = 'TABLE'; SET GLOBAL long_query_time = 0; TRUNCATE TABLE mysql.slow_log;"
                 "SET GLOBAL slow_query_log = 1");
    EXPECT_EQ(account::attemptLogin(QStringLiteral("PAUL"), QStringLiteral("x")), account::LoginResult::Ok);
    EXPECT_EQ(account::attemptLogin(QStringLiteral("Paul"), QStringLiteral("z")), account::LoginResult::NoMatch);
    // The server writes a statement's line after it has sent the result: the last one may not be
    // in yet when the client has its answer.
    std::vector<testdb::Row> logged;
    for (int wait = 0; wait < 100 && logged.size() < 2; ++wait) {
        if (wait) std::this_thread::sleep_for(std::chrono::milliseconds(20));
        logged = testdb::query(
            "",
            "SELECT rows_sent, CONVERT(sql_text USING utf8mb4) FROM mysql.slow_log WHERE sql_text LIKE '%`access`%' "
            "AND sql_text NOT LIKE '%slow_log%' ORDER BY start_time");
    }
    testdb::exec("",
                 "SET GLOBAL slow_query_log = 0; SET GLOBAL long_query_time = 10; TRUNCATE TABLE mysql.slow_log;"
                 "SET GLOBAL log_output = 'FILE'");
    ASSERT_EQ(logged.size(), 2u);
    EXPECT_EQ(logged[0][0], "1");
    EXPECT_EQ(logged[1][0], "0");
    for (const testdb::Row& row : logged) {
        EXPECT_EQ(row[1].find("SELECT *"), std::string::npos) << row[1];
        EXPECT_EQ(row[1].find("`password`,"), std::string::npos) << row[1];  // never among the columns sent
    }
    // But the typed password travels in the statement, as a pattern a reader of the log reads
    // back: docs/deployment.md tells an office what to keep off on the server.
    EXPECT_NE(logged[0][1].find("`password` AS BINARY) REGEXP '\\\\A[Xx]\\\\z'"), std::string::npos) << logged[0][1];
    EXPECT_NE(logged[1][1].find("[Zz]"), std::string::npos) << logged[1][1];
}

TEST_F(LoginTest, RightsTest) {
    for (const auto& [rights, passes] : std::initializer_list<std::pair<const char*, bool>>{
             {"all", true}, {"install", true}, {"ALL", false}, {"", false}, {"al l", false}}) {
        account::setForTests(QStringLiteral("x"), QString::fromUtf8(rights));
        EXPECT_EQ(account::rightsTest(), passes) << rights;
    }
    testing_support::ui().clear();
    account::setForTests(QStringLiteral("x"), QString());
    EXPECT_FALSE(account::checkRights());
    EXPECT_EQ(testing_support::ui().messageTexts(),
              QStringList{QStringLiteral("Vous n'avez pas les droits suffisants pour faire ceci")});
}

TEST_F(LoginTest, ThreeFailuresThenSuccessInTheDialog) {
    login box;
    int attempts = 0;
    testing_support::onNextModal([&](QDialog* dialog) {
        testing_support::typeInto(dialog, login::kNameEdit, QStringLiteral("Paul"));
        for (const char* password : {"a", "b", "c", "X"}) {
            testing_support::typeInto(dialog, login::kPasswordEdit, QString::fromUtf8(password));
            testing_support::clickButton(dialog, platform::IDOK);
            ++attempts;
            if (!dialog->isVisible()) break;
        }
    });
    EXPECT_EQ(box.DoModal(), platform::IDOK);
    EXPECT_EQ(attempts, 4);
    EXPECT_EQ(testing_support::ui().messageTexts(), (QStringList{failed, failed, failed}));
    EXPECT_EQ(testing_support::ui().messages[0].icon, platform::MessageIcon::Error);
    EXPECT_EQ(account::rights(), QStringLiteral("all"));
    EXPECT_EQ(box.windowTitle(), QStringLiteral("Brelo Manager - Login"));
}

TEST_F(LoginTest, UnreachableServerCancels) {
    const unsigned port = db::programmeSettings().port;
    db::programmeSettings().port = 1;  // nothing listens there
    login box;
    testing_support::onNextModal([](QDialog* dialog) {
        testing_support::typeInto(dialog, login::kNameEdit, QStringLiteral("Marie"));
        testing_support::typeInto(dialog, login::kPasswordEdit, QStringLiteral("Secret"));
        testing_support::clickButton(dialog, platform::IDOK);
    });
    const int result = box.DoModal();
    db::programmeSettings().port = port;
    EXPECT_EQ(result, platform::IDCANCEL);
    ASSERT_EQ(testing_support::ui().messages.size(), 1u);
    EXPECT_TRUE(testing_support::ui().messages[0].text.startsWith(QStringLiteral("Erreur : mysql_real_connect : ")))
        << testing_support::ui().messages[0].text.toStdString();
    EXPECT_GT(testing_support::ui().messages[0].text.size(), 31);
    EXPECT_TRUE(account::name().isEmpty());
}

TEST_F(LoginTest, RefusedAccountsTableCancels) {
    testdb::exec(testdb::programmeDb(), "DROP TABLE `access`");
    EXPECT_EQ(account::attemptLogin(QStringLiteral("Marie"), QStringLiteral("Secret")), account::LoginResult::Cancel);
    ASSERT_EQ(testing_support::ui().messages.size(), 1u);
    // The statement as sent, but for the password's pattern, which no box shows.
    EXPECT_FALSE(testing_support::ui().messages[0].text.contains(QStringLiteral("[Ss][Ee][Cc]")));
    EXPECT_EQ(testing_support::ui().messages[0].text,
              QStringLiteral("Erreur : db_exec (%1) : Table '%2.access' doesn't exist")
                  .arg(QString::fromStdString(
                           account::loginStatement(QStringLiteral("Marie"), QStringLiteral("Secret"), true)),
                       QString::fromStdString(testdb::programmeDb())));
    EXPECT_FALSE(db::programmeConnected());
}

TEST_F(LoginTest, EscapeCancels) {
    login box;
    testing_support::onNextModal([](QDialog* dialog) { testing_support::clickButton(dialog, platform::IDCANCEL); });
    EXPECT_EQ(box.DoModal(), platform::IDCANCEL);
    EXPECT_TRUE(testing_support::ui().messages.empty());
}

}  // namespace
