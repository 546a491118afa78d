#include <gtest/gtest.h>
#include <mysql.h>

#include <QString>
#include <atomic>
#include <chrono>
#include <thread>
#include <vector>

#include "db/codepage.h"
#include "db/connections.h"
#include "db/query_runner.h"
#include "tests/support/recording_ui.h"
#include "tests/support/testdb.h"

namespace {

using Rows = std::vector<std::vector<std::string>>;

int32_t collect(void* context, int32_t n, char** columns, void* unused) {
    EXPECT_EQ(unused, nullptr);
    auto* rows = static_cast<Rows*>(context);
    std::vector<std::string> row;
    for (int32_t i = 0; i < n; ++i) {
        EXPECT_NE(columns[i], nullptr);
        row.emplace_back(columns[i] ? columns[i] : "(null pointer)");
    }
    rows->push_back(row);
    return 1;  // asking to stop must change nothing
}

class QueryRunnerTest : public ::testing::Test {
protected:
    void SetUp() override {
        testing_support::ui().clear();
        testdb::resetAll();
        ASSERT_EQ(db::connectProgramme(), 0);
        ASSERT_EQ(db::openTicketing(), 0);
    }
    void TearDown() override {
        db::closeProgramme();
        db::closeTicketing();
    }
    static int32_t ticketing(const std::string& statement, db::RowCallback callback, void* context) {
        return db::QueryRunner(statement, callback, context, db::WorkBuffer::forStatement(statement));
    }
};

TEST_F(QueryRunnerTest, StatementTextsAreCompletedWithOneSemicolon) {
    EXPECT_EQ(db::workingCopy("", false), "");
    EXPECT_EQ(db::workingCopy("", true), "");
    EXPECT_EQ(db::workingCopy("SELECT 1", false), "SELECT 1;");
    EXPECT_EQ(db::workingCopy("SELECT 1;", false), "SELECT 1;");
    EXPECT_EQ(db::workingCopy("SELECT 1;", true), "SELECT 1;");
}

TEST_F(QueryRunnerTest, RowsReachTheCallbackWithNullAsEmptyAndItsReturnIgnored) {
    Rows rows;
    EXPECT_EQ(
        db::QueryRunner("SELECT 1, NULL, 'x' UNION ALL SELECT 2, 'b', NULL UNION ALL SELECT 3, '', ''", collect, &rows),
        db::kQueryOk);
    ASSERT_EQ(rows.size(), 3u);
    EXPECT_EQ(rows[0], (std::vector<std::string>{"1", "", "x"}));
    EXPECT_EQ(rows[1], (std::vector<std::string>{"2", "b", ""}));
    EXPECT_EQ(rows[2][0], "3");
    // A statement that already ends in ";" runs: a second one would make it fail.
    rows.clear();
    EXPECT_EQ(db::QueryRunner("SELECT 7;", collect, &rows), db::kQueryOk);
    ASSERT_EQ(rows.size(), 1u);
    EXPECT_EQ(rows[0][0], "7");
    // The programme variant shows the wait cursor and leaves the arrow.
    EXPECT_GE(testing_support::ui().waitCursorCalls, 2);
    EXPECT_FALSE(testing_support::ui().waitCursorShown);
}

TEST_F(QueryRunnerTest, StatementsWithoutRowsDependOnTheCallback) {
    testdb::exec(testdb::programmeDb(), "INSERT INTO `comp` (`id`, `nom`) VALUES (1, 'A')");
    Rows rows;
    const char* update = "UPDATE `comp` SET `nom` = \"B\" WHERE `id` = 1";
    EXPECT_EQ(db::QueryRunner(update, collect, &rows), db::kQueryNoResult);
    EXPECT_EQ(db::QueryRunner(update, nullptr, nullptr), db::kQueryOk);
    EXPECT_TRUE(rows.empty());
    // Rows fetched without a callback are dropped quietly.
    EXPECT_EQ(db::QueryRunner("SELECT * FROM comp", nullptr, nullptr), db::kQueryOk);
}

TEST_F(QueryRunnerTest, RefusedStatementsRecordTheErrorAndWriteTheDebugLines) {
    auto& ui = testing_support::ui();
    EXPECT_EQ(db::QueryRunner("SELECT * FROM nowhere", nullptr, nullptr), db::kQueryRefused);
    EXPECT_NE(db::lastErrorText().find("nowhere"), std::string::npos) << db::lastErrorText();
    ASSERT_EQ(ui.debugLines.size(), 3u);
    EXPECT_EQ(ui.debugLines[0], "db_exec error:");
    EXPECT_EQ(ui.debugLines[1], QByteArray(db::lastErrorText().c_str()));
    EXPECT_EQ(ui.debugLines[2], "\r\n");
    EXPECT_EQ(db::dbExecMessage("SELECT * FROM nowhere"),
              QStringLiteral("Erreur : db_exec (SELECT * FROM nowhere) : ") + db::fromAnsi(db::lastErrorText()));
    // The error text survives a successful statement, on the other connection too.
    const std::string error = db::lastErrorText();
    EXPECT_EQ(ticketing("SELECT 1", nullptr, nullptr), db::kQueryOk);
    EXPECT_EQ(db::lastErrorText(), error);
    // An empty statement is sent as it is, and the server refuses it.
    EXPECT_EQ(db::QueryRunner("", nullptr, nullptr), db::kQueryRefused);
}

TEST_F(QueryRunnerTest, TicketingVariantDoublesApostrophesInsideWords) {
    EXPECT_EQ(db::workingCopy("SELECT * FROM shows WHERE name='l\xE9t\xE9'", true),
              "SELECT * FROM shows WHERE name='l\xE9t\xE9';");
    EXPECT_EQ(db::workingCopy("name='l'\xE9t\xE9'", true), "name='l''\xE9t\xE9';");
    // Next to a digit, a space or an accented letter outside the seven, it stays single.
    EXPECT_EQ(db::workingCopy("'a' d'1 a' b \xFC'a l'\xE9'\xE9", true), "'a' d'1 a' b \xFC'a l''\xE9''\xE9;");
    // Enough apostrophes to pass the 512 spare bytes of the working buffer.
    std::string many;
    for (int i = 0; i < 800; ++i) many += "a'b ";
    EXPECT_EQ(db::workingCopy(many, true).size(), many.size() + 800 + 1);

    const std::string name = db::toAnsi(QStringLiteral("l'été"));
    testdb::exec(testdb::ticketingDb(), "INSERT INTO `shows` (`id`, `name`, `starts_at`) VALUES (4, 'l''" +
                                            name.substr(2) + "', '2019-07-05 20:00:00')");
    const std::string statement = "SELECT `id` FROM shows WHERE `name`='" + name + "'";
    Rows rows;
    EXPECT_EQ(ticketing(statement, collect, &rows), db::kQueryOk);
    ASSERT_EQ(rows.size(), 1u);
    EXPECT_EQ(rows[0][0], "4");
    // The programme variant sends it unchanged, and the server refuses it.
    EXPECT_EQ(db::QueryRunner(statement, collect, &rows), db::kQueryRefused);
}

TEST_F(QueryRunnerTest, LostConnectionIsResentABoundedNumberOfTimes) {
    std::atomic<bool> done{false};
    std::atomic<int> kills{0};
    std::thread killer([&] {
        mysql_thread_init();
        const auto until = std::chrono::steady_clock::now() + std::chrono::seconds(60);
        while (!done && std::chrono::steady_clock::now() < until) {
            for (const auto& row : testdb::query("",
                                                 "SELECT ID FROM information_schema.PROCESSLIST "
                                                 "WHERE INFO LIKE 'SELECT SLEEP(20)%'")) {
                testdb::killConnection(std::stoul(row[0]));
                ++kills;
            }
            std::this_thread::sleep_for(std::chrono::milliseconds(20));
        }
        mysql_thread_end();
    });
    const auto started = std::chrono::steady_clock::now();
    const int32_t rc = db::QueryRunner("SELECT SLEEP(20)", nullptr, nullptr);
    done = true;
    killer.join();
    EXPECT_EQ(rc, db::kQueryRefused);
    EXPECT_EQ(kills.load(), db::kLostConnectionResends + 1);
    EXPECT_LT(std::chrono::steady_clock::now() - started, std::chrono::seconds(20));
    EXPECT_FALSE(db::lastErrorText().empty());
}

}  // namespace
