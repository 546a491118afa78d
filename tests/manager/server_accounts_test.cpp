// The server-accounts mode: each member of staff logs in with a MariaDB account of their own,
// and what the account may do is the server's decision. Proved by the server's answers to the
// program and to statements sent directly with the account, and by the rows the server holds.
#include <gtest/gtest.h>
#include <mysql.h>

#include <QPushButton>
#include <QTreeWidget>

#include "db/connections.h"
#include "edits/audit_log.h"
#include "edits/deletes.h"
#include "edits/saves.h"
#include "manager/manager_dlg.h"
#include "programme/account.h"
#include "programme/programme_data.h"
#include "tests/support/manager_fixture.h"
#include "tests/support/modal.h"
#include "tests/support/recording_ui.h"
#include "tests/support/sql.h"

namespace {

// MariaDB's answers: a command the account holds no grant for, and the trigger's refusal.
constexpr unsigned kCommandDenied = 1142;
constexpr unsigned kSignalled = 1644;

// Two accounts of the server's own, Lea an editor and Noe a reader; Lea also has a row of
// `access`, which this mode never reads.
class ServerAccountsTest : public testing_support::ManagerTest {
protected:
    std::string startingData() const override {
        return "INSERT INTO `access` VALUES (1, 'Lea', 'edit-pw', 'all');"
               "INSERT INTO `comp` (`id`, `nom`, `deleted`) VALUES (0, '<aucune>', 0), (1, 'Zebre', 0), (2, "
               "'Ancienne', 1);"
               "INSERT INTO `showname` VALUES (0, '<aucun>', 0, 0), (1, 'Le Saut', 1, 0);"
               "INSERT INTO `logs` (`utc`, `log`) VALUES (UTC_TIMESTAMP(), 'Lea : earlier')";
    }
    void SetUp() override {
        saved_ = db::programmeSettings();
        ManagerTest::SetUp();
        account::resetForTests();
        testdb::exec("",
                     "DROP USER IF EXISTS 'Lea'@'127.0.0.1', 'Noe'@'127.0.0.1';"
                     "CREATE USER 'Lea'@'127.0.0.1' IDENTIFIED BY 'edit-pw' REQUIRE SSL;"
                     "CREATE USER 'Noe'@'127.0.0.1' IDENTIFIED BY 'read-pw' REQUIRE SSL;"
                     "GRANT brelo_editor TO 'Lea'@'127.0.0.1'; SET DEFAULT ROLE brelo_editor FOR 'Lea'@'127.0.0.1';"
                     "GRANT brelo_reader TO 'Noe'@'127.0.0.1'; SET DEFAULT ROLE brelo_reader FOR 'Noe'@'127.0.0.1'");
        db::programmeSettings().accounts = db::AccountMode::Server;
        db::programmeSettings().user.clear();
        db::programmeSettings().password.clear();
    }
    void TearDown() override {
        ManagerTest::TearDown();
        db::programmeSettings() = saved_;
        account::resetForTests();
        testdb::exec("", "DROP USER IF EXISTS 'Lea'@'127.0.0.1', 'Noe'@'127.0.0.1'");
    }

    // The server's answer to a statement sent with the logged-in account itself, over the
    // program's link: 0 or its error number.
    static unsigned directly(const std::string& sql) {
        MYSQL* m = nullptr;
        if (db::openQuietly(m, db::programmeSettings()) != 0) return ~0u;
        const unsigned answer = mysql_query(m, sql.c_str()) == 0 ? 0 : mysql_errno(m);
        if (MYSQL_RES* r = mysql_store_result(m)) mysql_free_result(r);
        mysql_close(m);
        return answer;
    }

    static std::string snapshot() {
        return one(
            "SELECT CONCAT((SELECT GROUP_CONCAT(CONCAT(id, nom, deleted)) FROM comp), '/',"
            " (SELECT GROUP_CONCAT(CONCAT(id, name, deleted)) FROM showname), '/',"
            " (SELECT GROUP_CONCAT(log ORDER BY id) FROM logs), '/', (SELECT GROUP_CONCAT(rights) FROM access))");
    }

    db::ConnectionSettings saved_;
};

TEST_F(ServerAccountsTest, TheServerChecksTheAccountAndItsRoleGivesTheRights) {
    // The server's own record of every statement and connection: the password goes through
    // the handshake alone, never in a statement's text as in the shared-account mode.
    testdb::exec("", "SET GLOBAL log_output = 'TABLE'; TRUNCATE TABLE mysql.general_log; SET GLOBAL general_log = 1");
    EXPECT_EQ(account::attemptLogin(q("Lea"), q("wrong")), account::LoginResult::NoMatch);
    EXPECT_EQ(account::attemptLogin(q("lea"), q("edit-pw")),
              account::LoginResult::NoMatch);  // the server's names keep their case
    EXPECT_EQ(testing_support::ui().messageTexts(), QStringList(2, q(account::kLoginFailedMessage)));
    EXPECT_TRUE(db::programmeSettings().password.empty());

    EXPECT_EQ(account::attemptLogin(q("Noe"), q("read-pw")), account::LoginResult::Ok);
    EXPECT_EQ(account::name(), q("Noe"));
    EXPECT_EQ(account::rights(), QString());
    EXPECT_FALSE(account::writesOffered());

    account::resetForTests();
    EXPECT_EQ(account::attemptLogin(q("Lea"), q("edit-pw")), account::LoginResult::Ok);
    EXPECT_EQ(account::rights(), q("all"));
    EXPECT_TRUE(account::writesOffered());
    testdb::exec("", "SET GLOBAL general_log = 0");
    const testdb::Row logged = testdb::query("",
                                             "SELECT SUM(argument LIKE 'Lea@%'), SUM(argument LIKE '%pw%') "
                                             "FROM mysql.general_log WHERE argument NOT LIKE '%general_log%'")
                                   .at(0);
    testdb::exec("", "TRUNCATE TABLE mysql.general_log; SET GLOBAL log_output = 'FILE'");
    EXPECT_EQ(logged, (testdb::Row{"3", "0"}));  // the three attempts under her name, no password

    // Unreachable: the connection's own message, and the login ends.
    testing_support::ui().clear();
    db::programmeSettings().port = 1;
    EXPECT_EQ(account::attemptLogin(q("Lea"), q("edit-pw")), account::LoginResult::Cancel);
    ASSERT_EQ(testing_support::ui().messages.size(), 1u);
    EXPECT_TRUE(testing_support::ui().messages[0].text.startsWith(q("Erreur : mysql_real_connect : ")));
}

TEST_F(ServerAccountsTest, AReaderIsRefusedEveryWriteByTheServer) {
    ASSERT_EQ(account::attemptLogin(q("Noe"), q("read-pw")), account::LoginResult::Ok);
    const std::string before = snapshot();

    for (const char* write :
         {"INSERT INTO comp (id, nom) VALUES (7, 'x')", "UPDATE comp SET nom = 'x' WHERE id = 1",
          "UPDATE comp SET deleted = 1 WHERE id = 1", "DELETE FROM comp WHERE id = 1",
          "INSERT INTO showname (id, name) VALUES (7, 'x')", "UPDATE timeslot SET todo = ''",
          "INSERT INTO contract (id, extra) VALUES (7, '')", "UPDATE salle SET name = 'x'",
          "INSERT INTO logs (utc, log) VALUES (UTC_TIMESTAMP(), 'Noe : x')", "DELETE FROM logs",
          "UPDATE access SET rights = 'all'", "SELECT * FROM access", "INSERT INTO save_tokens VALUES ('t', 0)"}) {
        EXPECT_EQ(directly(write), kCommandDenied) << write;
    }
    EXPECT_EQ(directly("SELECT * FROM comp"), 0u);

    // The program's own saves and audit line, as a reader: refused by the server, reported.
    ASSERT_EQ(programme::reloadAll(nullptr), 0);
    testing_support::ui().clear();
    EXPECT_EQ(edits::addCompany({q("Nouvelle"), {}, {}, {}, {}}).outcome, edits::SaveOutcome::Failed);
    const edits::DeletePlan plan = edits::planDelete({edits::RecordKind::Company, q("1")});
    EXPECT_EQ(edits::runDelete(plan, edits::DeleteChoice::All).outcome, edits::SaveOutcome::Failed);
    EXPECT_EQ(audit::writeAuditLine(audit::kManagerStarted), -2);
    const QStringList shown = testing_support::ui().messageTexts();
    ASSERT_EQ(shown.size(), 3) << shown.join(u'\n').toStdString();
    for (const QString& m : shown) EXPECT_TRUE(m.contains(q("command denied to user 'Noe'"))) << m.toStdString();
    EXPECT_EQ(snapshot(), before);
}

TEST_F(ServerAccountsTest, AnEditorWritesButNeverDeletesNorSignsForAnother) {
    ASSERT_EQ(account::attemptLogin(q("Lea"), q("edit-pw")), account::LoginResult::Ok);
    EXPECT_EQ(directly("DELETE FROM comp WHERE id = 1"), kCommandDenied);
    EXPECT_EQ(directly("DELETE FROM logs"), kCommandDenied);
    EXPECT_EQ(directly("UPDATE logs SET log = 'Lea : nothing happened'"), kCommandDenied);
    EXPECT_EQ(directly("SELECT * FROM access"), kCommandDenied);
    EXPECT_EQ(directly("INSERT INTO logs (utc, log) VALUES (UTC_TIMESTAMP(), 'Marie : forged')"), kSignalled);
    EXPECT_EQ(directly("INSERT INTO logs (utc, log) VALUES (UTC_TIMESTAMP(), 'Lea  : spaced')"), kSignalled);
    EXPECT_EQ(directly("INSERT INTO logs (utc, log) VALUES (UTC_TIMESTAMP(), 'LEA : cased')"), kSignalled);
    EXPECT_EQ(directly("INSERT INTO logs (utc, log) VALUES (UTC_TIMESTAMP(), 'Lea')"), kSignalled);

    // The program's saves go through: the add, the soft delete, their audit lines in her name.
    ASSERT_EQ(programme::reloadAll(nullptr), 0);
    testing_support::ui().clear();
    EXPECT_TRUE(edits::addCompany({q("Nouvelle"), {}, {}, {}, {}}).committed());
    ASSERT_EQ(programme::reloadAll(nullptr), 0);
    EXPECT_TRUE(edits::runDelete(edits::planDelete({edits::RecordKind::Company, q("1")}), edits::DeleteChoice::All)
                    .committed());
    EXPECT_EQ(audit::writeAuditLine(audit::kManagerStarted), 0);
    EXPECT_TRUE(testing_support::ui().messages.empty())
        << testing_support::ui().messageTexts().join(u'\n').toStdString();
    EXPECT_EQ(one("SELECT deleted FROM comp WHERE id = 1"), "1");
    EXPECT_EQ(one("SELECT COUNT(*) FROM comp WHERE nom = 'Nouvelle'"), "1");
    const std::vector<testdb::Row> lines = rows("SELECT log FROM logs WHERE id > 1 ORDER BY id");
    ASSERT_EQ(lines.size(), 3u);
    for (const testdb::Row& line : lines) EXPECT_TRUE(line[0].starts_with("Lea : ")) << line[0];
}

// The manager and its Corbeille offer a reader nothing the server would refuse (nor try its
// audit line), and an editor everything.
TEST_F(ServerAccountsTest, TheWindowsButtonsFollowTheRole) {
    const int writeButtons[] = {manager::kAddCompany, manager::kAddShow, manager::kAddTimeslotGroup,
                                manager::kNewContract, manager::kDeleteCompany};
    for (const auto& [name, password, offered] :
         {std::tuple{"Noe", "read-pw", false}, std::tuple{"Lea", "edit-pw", true}}) {
        SCOPED_TRACE(name);
        account::resetForTests();
        ASSERT_EQ(account::attemptLogin(q(name), q(password)), account::LoginResult::Ok);
        manager window;
        testing_support::runModal(window, [&] {
            select(window, manager::kCompanyList, q("Zebre"));
            for (const int id : writeButtons) EXPECT_EQ(enabled(window, id), offered) << id;
            testing_support::onNextModal([&](QDialog* corbeille) {
                auto* list = corbeille->findChild<QTreeWidget*>();
                ASSERT_EQ(list->topLevelItemCount(), 1);
                list->topLevelItem(0)->setSelected(true);
                EXPECT_EQ(corbeille->findChild<QPushButton*>(QStringLiteral("corbeille_restore"))->isEnabled(),
                          offered);
                corbeille->reject();
            });
            testing_support::clickButton(&window, manager::kCorbeille);
        });
        EXPECT_TRUE(testing_support::ui().messages.empty())
            << testing_support::ui().messageTexts().join(u'\n').toStdString();
    }
    EXPECT_EQ(rows("SELECT log FROM logs WHERE id > 1"), (std::vector<testdb::Row>{{"Lea : manager started"}}));
}

}  // namespace
