// A save on node 1 of a Galera cluster while a colleague's save on node 2 commits between its
// checks and its writes: node 1 refuses the save as a deadlock (1213), at COMMIT or at its next
// statement, and the save runs again on what the colleague stored. Run by the test command's
// cluster pass (BRELO_CLUSTER), skipped elsewhere.
#include <gtest/gtest.h>

#include "db/cluster_session.h"
#include "db/connections.h"
#include "db/codepage.h"
#include "edits/transaction.h"
#include "programme/account.h"
#include "tests/support/recording_ui.h"
#include "tests/support/testdb.h"
#include "tests/support/sql.h"

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
        testdb::exec(testdb::programmeDb(), "INSERT INTO `comp` (`id`, `nom`, `email`) VALUES (0, 'Mouette', 'm@x'), (1, 'Aigle', '')");
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
        {"SELECT `email` FROM `comp` WHERE `id` = 0 FOR UPDATE"}, [&](const edits::CheckedRows& checked, edits::IdSource&) {
            emailsRead.push_back(db::toAnsi(checked.at(0).at(0).at(0)));
            if (emailsRead.size() == 1) colleague("UPDATE `comp` SET `email` = 'grise@x' WHERE `id` = 0");
            return edits::Decision{false, {"UPDATE `comp` SET `nom` = 'Mouette blanche' WHERE `id` = 0"}, QStringLiteral("nom modifié")};
        });
    EXPECT_EQ(end, edits::RunEnd::Committed);
    EXPECT_EQ(emailsRead, (std::vector<std::string>{"m@x", "grise@x"}));
    EXPECT_EQ(edits::saveCounters().lockRetries, before.lockRetries + 1);
    EXPECT_EQ(edits::saveCounters().committed, before.committed + 1);
    for (int n = 1; n <= 3; ++n) {
        SCOPED_TRACE(n);
        EXPECT_EQ(onNode(n, "SELECT CONCAT(`nom`, ' ', `email`) FROM `comp` WHERE `id` = 0"), "Mouette blanche grise@x");
    }
    EXPECT_TRUE(testing_support::ui().messages.empty()) << testing_support::ui().messageTexts().join(u'\n').toStdString();
}

// The colleague adds a company with the id this save gives its new one: whichever way node 1
// refuses it (the id taken, or a clash at COMMIT when the colleague's row had not arrived yet),
// the save runs again with the next free id.
TEST_F(ClusterSaves, ANewRowWhoseIdAnotherNodeGaveTakesTheNextFreeOne) {
    std::vector<unsigned> ids;
    const edits::RunEnd end = edits::runTransaction({"SELECT COUNT(*) FROM `comp`"}, [&](const edits::CheckedRows&, edits::IdSource& source) {
        const unsigned id = source.base("comp", 2);
        ids.push_back(id);
        if (ids.size() == 1) colleague("INSERT INTO `comp` (`id`, `nom`) VALUES (2, 'Ailleurs')");
        return edits::Decision{false, {"INSERT INTO `comp` (`id`, `nom`) VALUES (" + std::to_string(id) + ", 'Alpha')"},
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
    EXPECT_TRUE(testing_support::ui().messages.empty()) << testing_support::ui().messageTexts().join(u'\n').toStdString();
}

}  // namespace
