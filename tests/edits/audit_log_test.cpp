#include <gtest/gtest.h>

#include "db/connections.h"
#include "edits/audit_log.h"
#include "programme/account.h"
#include "tests/support/recording_ui.h"
#include "tests/support/testdb.h"

namespace {

class AuditLog : public ::testing::Test {
protected:
    void SetUp() override {
        testdb::resetProgramme();
        testing_support::ui().clear();
        db::closeProgramme();
        account::setForTests(QStringLiteral("Demo"), QStringLiteral("all"));
    }
    void TearDown() override { db::closeProgramme(); }

    static std::vector<testdb::Row> logRows() {
        return testdb::query(testdb::programmeDb(),
                             "SELECT `log`, TIMESTAMPDIFF(SECOND, `utc`, UTC_TIMESTAMP()) FROM `logs` ORDER BY `id`");
    }
};

TEST_F(AuditLog, WritesOneLineWithTheServersUtcTimeAndOpensAndClosesItsConnection) {
    ASSERT_FALSE(db::programmeConnected());
    EXPECT_EQ(audit::writeAuditLine(audit::kManagerStarted), 0);
    EXPECT_FALSE(db::programmeConnected());
    const auto rows = logRows();
    ASSERT_EQ(rows.size(), 1u);
    EXPECT_EQ(rows[0][0], "Demo : manager started");
    // The server's UTC, not its local time nor the workstation's: a few seconds at most.
    EXPECT_LE(std::abs(std::stoi(rows[0][1])), 5);
    EXPECT_TRUE(testing_support::ui().messages.empty());
}

TEST_F(AuditLog, LeavesAConnectionOpenThatWasOpenBefore) {
    ASSERT_EQ(db::connectProgramme(), 0);
    EXPECT_EQ(audit::writeAuditLine("x"), 0);
    EXPECT_TRUE(db::programmeConnected());
    EXPECT_EQ(logRows().size(), 1u);
}

TEST_F(AuditLog, QuotesAndBackslashesInTheAccountNameAreStoredAsTheyAre) {
    // A name such as this once ended the quoted value early and made the INSERT fail.
    const QString name = QStringLiteral("Jean \"Jo\" d'Arc \\ é");
    account::setForTests(name, QStringLiteral("all"));
    EXPECT_EQ(audit::writeAuditLine(audit::kManagerStarted), 0);
    const auto rows = logRows();
    ASSERT_EQ(rows.size(), 1u);
    EXPECT_EQ(rows[0][0], "Jean \"Jo\" d'Arc \\ \xE9 : manager started");
    EXPECT_TRUE(testing_support::ui().messages.empty());
}

TEST_F(AuditLog, ARefusedStatementIsReportedAndClosesTheConnection) {
    testdb::exec(testdb::programmeDb(), "DROP TABLE `logs`");
    ASSERT_EQ(db::connectProgramme(), 0);
    EXPECT_EQ(audit::writeAuditLine(audit::kManagerStarted), -2);
    EXPECT_FALSE(db::programmeConnected());
    const QStringList texts = testing_support::ui().messageTexts();
    ASSERT_EQ(texts.size(), 1);
    EXPECT_TRUE(
        texts[0].startsWith(QStringLiteral("Erreur : db_exec (INSERT INTO `logs` (`utc`, `log`) VALUES "
                                           "(UTC_TIMESTAMP(), \"Demo : manager started\")) : ")))
        << texts[0].toStdString();
}

TEST_F(AuditLog, UnreachableDatabaseGivesMinusOne) {
    const auto saved = db::programmeSettings();
    db::programmeSettings().port = 1;
    db::programmeSettings().host = "127.0.0.1";
    EXPECT_EQ(audit::writeAuditLine(audit::kManagerStarted), -1);
    db::programmeSettings() = saved;
    EXPECT_EQ(testing_support::ui().messages.size(), 1u);
    EXPECT_TRUE(logRows().empty());
}

TEST(AuditLogText, EscapeCoversEveryCharacterThatEndsOrBreaksAQuotedValue) {
    EXPECT_EQ(audit::escapeForSql(std::string("a\"b'c\\d\ne\rf\x1ag", 13)), "a\\\"b\\'c\\\\d\\ne\\rf\\Zg");
    EXPECT_EQ(audit::escapeForSql(std::string("x\0y", 3)), "x\\0y");
    EXPECT_EQ(audit::insertStatement(audit::logText("Demo", "manager started")),
              "INSERT INTO `logs` (`utc`, `log`) VALUES (UTC_TIMESTAMP(), \"Demo : manager started\")");
}

}  // namespace
