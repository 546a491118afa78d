// The programme connection on a node of a Galera cluster: the program learns once whether its
// server is one, and then every programme connection there (the units of work, the manager's
// idle check, a connection the library opened again after a lost one) reads what other nodes
// committed before the read, even while its own node lags behind. A plain server is asked once
// and nothing more. The Cluster* tests run in the test command's cluster pass (BRELO_CLUSTER),
// against the build's three nodes; they are skipped elsewhere.
#include <gtest/gtest.h>
#include <mysql.h>

#include <atomic>
#include <chrono>
#include <memory>
#include <string>
#include <thread>

#include "bench/link_proxy.h"
#include "db/cluster_session.h"
#include "db/connections.h"
#include "db/own_connection.h"
#include "db/programme_watch.h"
#include "db/query_runner.h"
#include "tests/support/recording_ui.h"
#include "tests/support/testdb.h"

namespace {

int32_t keepLastColumn(void* context, int32_t n, char** columns, void*) {
    if (n >= 1 && columns[n - 1]) *static_cast<std::string*>(context) = columns[n - 1];
    return 0;
}

// One value read on the program's programme connection.
std::string programmeValue(const std::string& statement) {
    std::string value;
    EXPECT_EQ(db::QueryRunner(statement, keepLastColumn, &value), db::kQueryOk) << db::lastErrorText();
    return value;
}

std::string causalReads() { return programmeValue("SELECT @@session.wsrep_sync_wait"); }

TEST(ProgrammeSession, WhatTheQuestionsAnswerSays) {
    using db::ServerKind;
    const struct {
        bool answered;
        const char* value;
        unsigned error;
        ServerKind kind;
    } cases[] = {
        {true, "1", 0, ServerKind::ClusterNode},  // a node
        {true, "0", 0, ServerKind::Plain},        // MariaDB with Galera off
        {true, "", 0, ServerKind::Plain},
        {false, nullptr, db::kUnknownSystemVariable, ServerKind::Plain},  // MySQL, or a build without Galera
        {false, nullptr, 2013, ServerKind::Unknown},                      // the link went: ask again next time
        {false, nullptr, 1047, ServerKind::Unknown},                      // a node not ready yet
        {false, nullptr, 0, ServerKind::Unknown},
    };
    for (const auto& c : cases)
        EXPECT_EQ(db::serverKindFromAnswer(c.answered, c.value, c.error), c.kind)
            << (c.value ? c.value : "-") << " " << c.error;
}

// The private server is no node: asked at the first connection, never again, and its sessions
// get no setting.
TEST(ProgrammeSession, APlainServerIsAskedOnceAndGetsNoSetting) {
    testing_support::ui().clear();
    db::forgetProgrammeServerKind();
    const auto statementsSoFar = [] { return std::stol(programmeValue("SHOW SESSION STATUS LIKE 'Questions'")); };
    ASSERT_EQ(db::connectProgramme(), 0);
    EXPECT_EQ(db::programmeServerKind(), db::ServerKind::Plain);
    const long firstConnection = statementsSoFar();
    EXPECT_EQ(causalReads(), "0");
    db::closeProgramme();
    ASSERT_EQ(db::connectProgramme(), 0);
    EXPECT_EQ(statementsSoFar(), firstConnection - 1);  // the question is not asked again
    db::closeProgramme();
    EXPECT_TRUE(testing_support::ui().messages.empty())
        << testing_support::ui().messageTexts().join(u'\n').toStdString();
}

class ClusterSession : public ::testing::Test {
protected:
    void SetUp() override {
        ports_ = testdb::clusterPorts();
        if (ports_.size() != 3) GTEST_SKIP() << "no cluster in this run (the test command's cluster pass has one)";
        testing_support::ui().clear();
        configured_ = db::programmeSettings().port;
        db::programmeSettings().port = ports_[0];
        db::forgetProgrammeServerKind();
    }
    void TearDown() override {
        db::closeProgramme();
        if (ports_.size() == 3) db::programmeSettings().port = configured_;
        db::forgetProgrammeServerKind();
    }
    std::vector<unsigned> ports_;
    unsigned configured_ = 0;
};

TEST_F(ClusterSession, EveryProgrammeConnectionToANodeReadsWhatOtherNodesCommitted) {
    ASSERT_EQ(db::connectProgramme(), 0);
    EXPECT_EQ(db::programmeServerKind(), db::ServerKind::ClusterNode);
    EXPECT_EQ(causalReads(), "1");  // the connection that asked

    // The library opens the connection again after it was lost: the new session reads so too.
    const std::string first = programmeValue("SELECT CONNECTION_ID()");
    {
        const testdb::OnServer node(ports_[0]);
        testdb::killConnection(std::stoul(first));
    }
    EXPECT_EQ(causalReads(), "1");
    EXPECT_NE(programmeValue("SELECT CONNECTION_ID()"), first);
    db::closeProgramme();

    ASSERT_EQ(db::connectProgramme(), 0);  // the next unit of work
    EXPECT_EQ(causalReads(), "1");
    db::closeProgramme();

    db::ProgrammeWatch watch;  // the manager's idle check
    EXPECT_EQ(watch.firstRow("SELECT @@session.wsrep_sync_wait"), std::optional<std::string>("1"));

    // The sales overview reads the programme's rooms on a connection of its worker's own.
    db::OwnConnection rooms;
    QString failure;
    ASSERT_EQ(rooms.open(db::programmeSettings(), failure), 0) << failure.toStdString();
    std::string value;
    db::OwnRunReport report;
    EXPECT_EQ(rooms.run("SELECT @@session.wsrep_sync_wait", keepLastColumn, &value, report), db::kQueryOk)
        << report.errorText;
    EXPECT_EQ(value, "1");
    EXPECT_TRUE(testing_support::ui().messages.empty())
        << testing_support::ui().messageTexts().join(u'\n').toStdString();
}

// The link goes between the node's answer and the setting: the setting's answer never comes
// back (a relay drops it and cuts the link). The session the library opens again for the unit
// of work waits for the other nodes all the same, as the server reports of it.
TEST_F(ClusterSession, ASessionLostBeforeItsSettingIsOpenedAgainWithIt) {
    bench::LinkProxy relay(0, static_cast<uint16_t>(ports_[0]), {0.0, 1e12});
    db::programmeSettings().port = relay.port();
    unsigned long lost = 0;
    db::beforeCausalReadsSetting() = [&](st_mysql* handle) {
        lost = mysql_thread_id(handle);
        relay.cutAtNextAnswer();
    };
    const int opened = db::connectProgramme();
    db::beforeCausalReadsSetting() = nullptr;
    ASSERT_EQ(opened, 0);
    EXPECT_EQ(relay.cuts(), 1);
    ASSERT_NE(lost, 0u);
    EXPECT_EQ(causalReads(), "1");
    EXPECT_NE(programmeValue("SELECT CONNECTION_ID()"), std::to_string(lost));
    db::closeProgramme();
    // The node is asked again by the next unit of work, which makes the setting itself.
    ASSERT_EQ(db::connectProgramme(), 0);
    EXPECT_EQ(db::programmeServerKind(), db::ServerKind::ClusterNode);
    EXPECT_EQ(causalReads(), "1");
    db::closeProgramme();
    EXPECT_TRUE(testing_support::ui().messages.empty())
        << testing_support::ui().messageTexts().join(u'\n').toStdString();
}

// Node 1 stops applying what the others commit (a read lock over its tables holds its
// applier); a colleague's save is committed on node 2, once node 2 holds the row it changes
// (node 3 shows it stored). A plain read on node 1 still shows the old name; the program's read
// is seen on node 1 waiting, and only then is the lock let go: it shows the new name. Had the
// read not waited, it would have shown the old name before the lock went.
TEST_F(ClusterSession, AReadOnALaggingNodeWaitsForASaveCommittedOnAnother) {
    const std::string name = "SELECT `nom` FROM `comp` WHERE `id` = 0";
    std::unique_ptr<testdb::Session> held;
    {
        const testdb::OnServer lagging(ports_[0]);
        testdb::resetProgramme();
        testdb::exec(testdb::programmeDb(), "INSERT INTO `comp` (`id`, `nom`) VALUES (0, 'Mouette')");
        held = std::make_unique<testdb::Session>(testdb::programmeDb());
    }
    ASSERT_EQ(db::connectProgramme(), 0);
    ASSERT_EQ(causalReads(), "1");
    const std::string reader = programmeValue("SELECT CONNECTION_ID()");
    ASSERT_EQ(programmeValue(name), "Mouette");
    held->exec("FLUSH TABLES WITH READ LOCK");
    {
        const testdb::OnServer colleague(ports_[1]);
        testdb::exec(testdb::programmeDb(), testdb::causal("UPDATE `comp` SET `nom` = 'Mouette grise' WHERE `id` = 0"));
    }
    {
        const testdb::OnServer third(ports_[2]);
        ASSERT_EQ(testdb::query(testdb::programmeDb(), testdb::causal(name)).at(0).at(0), "Mouette grise");
    }
    {
        const testdb::OnServer lagging(ports_[0]);
        ASSERT_EQ(testdb::query(testdb::programmeDb(), name).at(0).at(0), "Mouette");
    }
    std::atomic<bool> readDone{false};
    bool seenWaiting = false;
    std::thread release([&] {
        mysql_thread_init();
        const std::string running = "SELECT 1 FROM information_schema.PROCESSLIST WHERE `ID` = " + reader +
                                    " AND `COMMAND` = 'Query' AND `INFO` LIKE 'SELECT `nom`%'";
        const auto limit = std::chrono::steady_clock::now() + std::chrono::seconds(20);
        while (!readDone && !seenWaiting && std::chrono::steady_clock::now() < limit) {
            seenWaiting = !held->query(running).empty();
            if (!seenWaiting) std::this_thread::sleep_for(std::chrono::milliseconds(20));
        }
        held->exec("UNLOCK TABLES");
        mysql_thread_end();
    });
    EXPECT_EQ(programmeValue(name), "Mouette grise");
    readDone = true;
    release.join();
    EXPECT_TRUE(seenWaiting) << "node 1 never showed the program's read waiting";
    EXPECT_TRUE(testing_support::ui().messages.empty())
        << testing_support::ui().messageTexts().join(u'\n').toStdString();
}

}  // namespace
