// A save on node 1 of a Galera cluster while a colleague's save on node 2 commits between its
// checks and its writes: node 1 refuses the save as a deadlock (1213), at COMMIT or at its next
// statement, and the save runs again on what the colleague stored; never a statement of it
// committed on its own, never a colleague's change written over unseen. A node that stops
// serving under a save refuses it whole, and the save says so. Run by the test command's
// cluster pass (BRELO_CLUSTER), skipped elsewhere.
#include <gtest/gtest.h>

#include <mysql.h>

#include <chrono>
#include <functional>
#include <thread>

#include "db/cluster_session.h"
#include "db/codepage.h"
#include "db/connections.h"
#include "edits/saves.h"
#include "edits/transaction.h"
#include "programme/account.h"
#include "programme/programme_data.h"
#include "tests/support/recording_ui.h"
#include "tests/support/sql.h"
#include "tests/support/testdb.h"

namespace {

class ClusterSaves : public ::testing::Test {
protected:
    void SetUp() override {
        ports_ = testdb::clusterPorts();
        if (ports_.size() != 3) GTEST_SKIP() << "no cluster in this run (the test command's cluster pass has one)";
        testing_support::ui().clear();
        account::setForTests(QStringLiteral("Demo"), QStringLiteral("all"));
        configured_ = db::programmeSettings().port;
        db::programmeSettings().port = ports_[0];
        db::forgetProgrammeServerKind();
        const testdb::OnServer node(ports_[0]);
        testdb::resetProgramme();
        testdb::exec(testdb::programmeDb(),
                     "INSERT INTO `comp` (`id`, `nom`, `email`) VALUES (0, 'Mouette', 'm@x'), (1, 'Aigle', '')");
    }
    void TearDown() override {
        db::closeProgramme();
        if (ports_.size() == 3) db::programmeSettings().port = configured_;
        db::forgetProgrammeServerKind();
    }
    // The colleague, on node 2, once it holds the rows written through node 1.
    void colleague(const std::string& sql) const {
        const testdb::OnServer node(ports_[1]);
        testdb::exec(testdb::programmeDb(), testdb::causal(sql));
    }
    // Runs `then` on a thread of its own once a statement sleeps on node 1: a trigger's SLEEP
    // holds the save there.
    std::thread onceASaveSleeps(std::function<void()> then) const {
        return std::thread([this, then] {
            mysql_thread_init();
            {
                const testdb::OnServer node(ports_[0]);
                while (one("SELECT COUNT(*) FROM information_schema.PROCESSLIST WHERE `STATE` = 'User sleep'") == "0")
                    std::this_thread::sleep_for(std::chrono::milliseconds(20));
            }
            then();
            mysql_thread_end();
        });
    }
    std::string onNode(int n, const std::string& sql) const {
        const testdb::OnServer node(ports_[static_cast<std::size_t>(n - 1)]);
        return one(testdb::causal(sql));
    }
    std::vector<unsigned> ports_;
    unsigned configured_ = 0;
};

// The colleague changes the e-mail of the company whose name this save changes: the save runs
// again, reads the colleague's e-mail, and both are kept.
TEST_F(ClusterSaves, ASaveThatClashedWithAnotherNodesRunsAgainOnWhatItStored) {
    const edits::SaveCounters before = edits::saveCounters();
    std::vector<std::string> emailsRead;
    const edits::RunEnd end = edits::runTransaction(
        {"SELECT `email` FROM `comp` WHERE `id` = 0 FOR UPDATE"},
        [&](const edits::CheckedRows& checked, edits::IdSource&) {
            emailsRead.push_back(db::toAnsi(checked.at(0).at(0).at(0)));
            if (emailsRead.size() == 1) colleague("UPDATE `comp` SET `email` = 'grise@x' WHERE `id` = 0");
            return edits::Decision{
                false, {"UPDATE `comp` SET `nom` = 'Mouette blanche' WHERE `id` = 0"}, QStringLiteral("nom modifié")};
        });
    EXPECT_EQ(end, edits::RunEnd::Committed);
    EXPECT_EQ(emailsRead, (std::vector<std::string>{"m@x", "grise@x"}));
    EXPECT_EQ(edits::saveCounters().lockRetries, before.lockRetries + 1);
    EXPECT_EQ(edits::saveCounters().committed, before.committed + 1);
    for (int n = 1; n <= 3; ++n) {
        SCOPED_TRACE(n);
        EXPECT_EQ(onNode(n, "SELECT CONCAT(`nom`, ' ', `email`) FROM `comp` WHERE `id` = 0"),
                  "Mouette blanche grise@x");
    }
    EXPECT_TRUE(testing_support::ui().messages.empty())
        << testing_support::ui().messageTexts().join(u'\n').toStdString();
}

// The colleague adds a company with the id this save gives its new one: whichever way node 1
// refuses it (the id taken, or a clash at COMMIT when the colleague's row had not arrived yet),
// the save runs again with the next free id.
TEST_F(ClusterSaves, ANewRowWhoseIdAnotherNodeGaveTakesTheNextFreeOne) {
    std::vector<unsigned> ids;
    const edits::RunEnd end =
        edits::runTransaction({"SELECT COUNT(*) FROM `comp`"}, [&](const edits::CheckedRows&, edits::IdSource& source) {
            const unsigned id = source.base("comp", 2);
            ids.push_back(id);
            if (ids.size() == 1) colleague("INSERT INTO `comp` (`id`, `nom`) VALUES (2, 'Ailleurs')");
            return edits::Decision{false,
                                   {"INSERT INTO `comp` (`id`, `nom`) VALUES (" + std::to_string(id) + ", 'Alpha')"},
                                   QStringLiteral("créée")};
        });
    EXPECT_EQ(end, edits::RunEnd::Committed);
    ASSERT_GE(ids.size(), 2u);
    EXPECT_EQ(ids.front(), 2u);
    EXPECT_EQ(ids.back(), 3u);
    for (int n = 1; n <= 3; ++n) {
        SCOPED_TRACE(n);
        EXPECT_EQ(onNode(n, "SELECT GROUP_CONCAT(`nom` ORDER BY `id`) FROM `comp`"), "Mouette,Aigle,Ailleurs,Alpha");
    }
    EXPECT_TRUE(testing_support::ui().messages.empty())
        << testing_support::ui().messageTexts().join(u'\n').toStdString();
}

// The colleague's save aborts this one while it decides, and the read the decision then makes
// (the next free id) is refused: the try ends there and runs again. Sent anyway, its writes
// would run outside any transaction, each committed alone: the first try's rename stored,
// though a later statement of the try was refused and the save said it failed.
TEST_F(ClusterSaves, ASaveAbortedWhileItDecidesRunsAgainAndStoresNothingOnItsOwn) {
    int tries = 0;
    const edits::RunEnd end = edits::runTransaction(
        {"SELECT `email` FROM `comp` WHERE `id` = 0 FOR UPDATE"},
        [&](const edits::CheckedRows&, edits::IdSource& source) {
            if (++tries == 1) {
                colleague("UPDATE `comp` SET `email` = 'grise@x' WHERE `id` = 0");
                onNode(1, "SELECT 1");  // node 1 has applied it: this transaction is rolled back
            }
            source.fromServer = true;
            source.base("comp", 2);
            std::vector<std::string> writes{"UPDATE `comp` SET `nom` = 'Aigle blanc' WHERE `id` = 1"};
            if (tries == 1) writes.push_back("UPDATE `comp` SET `no_such_column` = 1 WHERE `id` = 1");
            return edits::Decision{false, writes, QStringLiteral("nom modifié")};
        });
    EXPECT_EQ(end, edits::RunEnd::Committed);
    EXPECT_EQ(tries, 2);
    for (int n = 1; n <= 3; ++n) {
        SCOPED_TRACE(n);
        EXPECT_EQ(onNode(n, "SELECT GROUP_CONCAT(`nom`, ' ', `email` ORDER BY `id`) FROM `comp`"),
                  "Mouette grise@x,Aigle blanc ");
        // The rename came with its save's token and audit line, in one transaction.
        EXPECT_EQ(db::fromAnsi(
                      onNode(n, "SELECT GROUP_CONCAT(l.`log`) FROM `save_tokens` t JOIN `logs` l ON l.`id` = t.`log`")),
                  QStringLiteral("Demo : nom modifié"));
    }
    EXPECT_TRUE(testing_support::ui().messages.empty())
        << testing_support::ui().messageTexts().join(u'\n').toStdString();
}

// Node 1 stops serving (error 1047, as while it leaves the cluster or catches up) while a save's
// last statements wait on it: at the one before COMMIT, or at the COMMIT. The server refuses
// the statement before running it: the save is not stored, on any node, and says it failed.
TEST_F(ClusterSaves, ASaveRefusedByANodeThatStoppedServingIsNotStoredAndSaysSo) {
    struct NotServing {
        const char* name;
        const char* sleepsOn;  // the statement before the refused one
        const char* refused;
    };
    const NotServing cases[] = {
        {"before COMMIT", "AFTER INSERT ON `logs`", "UPDATE `save_tokens`"},
        {"at COMMIT", "AFTER UPDATE ON `save_tokens`", "COMMIT"},
    };
    for (const NotServing& c : cases) {
        SCOPED_TRACE(c.name);
        testing_support::ui().clear();
        {
            const testdb::OnServer node(ports_[0]);
            sql(std::string("CREATE TRIGGER `slow` ") + c.sleepsOn + " FOR EACH ROW SET @slept = SLEEP(1)");
        }
        std::thread stopper = onceASaveSleeps([&] {
            const testdb::OnServer node(ports_[0]);
            sql("SET GLOBAL wsrep_reject_queries = ALL");
        });
        const edits::SaveResult saved = edits::addCompany({QStringLiteral("Perdue"), {}, {}, {}, {}});
        stopper.join();
        {
            const testdb::OnServer node(ports_[0]);
            sql("SET GLOBAL wsrep_reject_queries = NONE");
            sql("DROP TRIGGER `slow`");
        }
        EXPECT_EQ(saved.outcome, edits::SaveOutcome::Failed);
        const QStringList messages = testing_support::ui().messageTexts();
        ASSERT_EQ(messages.size(), 1);
        EXPECT_TRUE(messages[0].startsWith(QStringLiteral("Erreur : db_exec (") + QString::fromUtf8(c.refused)) &&
                    messages[0].endsWith(QStringLiteral("WSREP has not yet prepared node for application use")))
            << messages[0].toStdString();
        for (int n = 1; n <= 3; ++n) {
            SCOPED_TRACE(n);
            EXPECT_EQ(
                onNode(
                    n,
                    "SELECT (SELECT COUNT(*) FROM `comp` WHERE `nom` = 'Perdue') + (SELECT COUNT(*) FROM `save_tokens`)"
                    " + (SELECT COUNT(*) FROM `logs`)"),
                "0");
        }
    }
}

// A colleague on node 2 moves a slot of the group while this save, on node 1, is between its
// checks and its writes (its token's row sleeps there). The colleague's save changed nothing in
// the group's head, so only the slot's row travels: the save must hold that row from its checks
// on, be aborted by it, and run again on the moved slot. Read without a lock, the slot was
// written back as it had been read, and the colleague's change was gone without a word.
TEST_F(ClusterSaves, AGroupEditKeepsASlotAnotherNodeMovedMeanwhile) {
    {
        const testdb::OnServer node(ports_[0]);
        sql("INSERT INTO `showname` VALUES (0, 'Nuit', 0, 0);"
            "INSERT INTO `timeslot` (`id`, `date`, `start`, `end`, `deleted`, `showname`, `childof`, `room`, `todo`, "
            "`done`,"
            " `survey`) VALUES (0, '2027-07-05', '20:30:00', '22:00:00', 0, 0, -1, 10, 'A$$$B', '', 'a.txt'),"
            " (1, '2027-07-06', '20:30:00', '22:00:00', 0, 0, 0, 10, '', '', '')");
        sql("CREATE TRIGGER `slow_token` AFTER INSERT ON `save_tokens` FOR EACH ROW SET @slept = SLEEP(1)");
    }
    ASSERT_EQ(programme::reloadAll(nullptr), 0);
    const edits::GroupRows base = edits::groupRows(programme::timeslotIndexById(QStringLiteral("0")));
    planning::TimeslotEditorData mine = edits::editorInput(base);
    mine.done = QStringLiteral("A=Fait");
    std::thread mover =
        onceASaveSleeps([&] { colleague("UPDATE `timeslot` SET `start` = '18:00:00' WHERE `id` = 1"); });
    const edits::SaveResult saved = edits::editGroup(base, mine, edits::Resolution{});
    mover.join();
    EXPECT_EQ(saved.outcome, edits::SaveOutcome::Merged);
    for (int n = 1; n <= 3; ++n) {
        SCOPED_TRACE(n);
        EXPECT_EQ(onNode(n, "SELECT GROUP_CONCAT(`start`, ' ', `done` ORDER BY `id`) FROM `timeslot`"),
                  "20:30:00 A=Fait,18:00:00 ");
    }
    const testdb::OnServer node(ports_[0]);
    sql("DROP TRIGGER `slow_token`");
}

}  // namespace
