// The shared-office stress on the three nodes of a Galera cluster (scripts/localdb.sh cluster):
// the eight workstations spread over the nodes, and half way through node 2 is stopped, then
// started again alone. The same checks as on one server, plus: the workstations of node 2 report
// the outage, one message per unit of work they tried, and commit again once it is back; the
// others never notice; the restarted node catches up, holding what the other two hold. Run by
// the test command's cluster pass (BRELO_CLUSTER set), skipped otherwise; scripts/stress.sh
// --cluster runs it longer.
#include <gtest/gtest.h>

#include <algorithm>
#include <chrono>
#include <cstdio>
#include <fstream>
#include <sstream>
#include <thread>

#include "tests/edits/stress_run.h"
#include "tests/support/files.h"
#include "tests/support/testdb.h"

namespace {

constexpr int kStoppedNode = 2;
const char* const kTables[] = {"comp", "showname", "salle", "timeslot", "contract", "logs"};

using Clock = std::chrono::steady_clock;

void sleepUntil(Clock::time_point when) { std::this_thread::sleep_until(when); }

// The last write set a node applied (its place in the cluster's one order of commits).
std::string lastCommitted(unsigned port) {
    const testdb::OnServer node(port);
    const auto status = testdb::query("", "SHOW STATUS LIKE 'wsrep_last_committed'");
    return status.empty() ? "?" : status[0][1];
}

// Once the workstations are done, every node comes to the same last write set.
bool settled(const std::vector<unsigned>& ports) {
    const Clock::time_point until = Clock::now() + std::chrono::seconds(30);
    do {
        bool same = true;
        for (unsigned port : ports) same = same && lastCommitted(port) == lastCommitted(ports[0]);
        if (same) return true;
        std::this_thread::sleep_for(std::chrono::milliseconds(100));
    } while (Clock::now() < until);
    return false;
}

// What a node holds of the programme, table by table.
std::vector<std::string> contentOf(unsigned port) {
    const testdb::OnServer node(port);
    std::vector<std::string> content;
    for (const char* table : kTables) {
        const auto sum = testdb::query(testdb::programmeDb(), std::string("CHECKSUM TABLE `") + table + "`");
        content.push_back(std::string(table) + " " + (sum.empty() ? "?" : sum[0][1]));
    }
    return content;
}

TEST(ClusterStress, ANodeStoppedAndStartedAgainLosesNothingAndCatchesUp) {
    const std::vector<unsigned> ports = testdb::clusterPorts();
    if (ports.size() != 3) GTEST_SKIP() << "no cluster in this run (the test command's cluster pass has one)";
    const testdb::OnServer first(ports[0]);
    stress::Run run;
    const double length = stress::seconds(50);
    const Clock::time_point began = Clock::now();
    run.start(length, ports);
    const auto at = [&](double part) { return began + std::chrono::milliseconds(static_cast<long>(length * part * 1000)); };
    sleepUntil(at(0.5));
    testdb::stopNode(kStoppedNode);
    sleepUntil(at(0.7));
    const Clock::time_point restarting = Clock::now();
    testdb::startNode(kStoppedNode);
    const double catchUp = std::chrono::duration<double>(Clock::now() - restarting).count();
    run.wait();
    const stress::Checked checked = run.check();

    // The workstations of the stopped node met the outage once, said so one message per unit
    // of work, and went on; the others met none.
    long outageMessages = 0;
    long mostInAUnit = 0;
    for (int i = 0; i < stress::kWorkstations; ++i) {
        SCOPED_TRACE("Poste" + std::to_string(i + 1));
        std::map<std::string, long> counters = checked.workstations[static_cast<std::size_t>(i)].counters;
        EXPECT_LE(counters["mostOtherMessagesInAUnit"], 1);
        if (static_cast<int>(i % ports.size()) + 1 == kStoppedNode) {
            EXPECT_EQ(counters["outages"], 1);
            EXPECT_EQ(counters["mostMessagesInAUnit"], 1);
            EXPECT_GT(counters["committedAfterOutage"], 0);
            outageMessages += counters["outageMessages"];
            mostInAUnit = std::max(mostInAUnit, counters["mostMessagesInAUnit"]);
        } else {
            EXPECT_EQ(counters["outages"], 0);
        }
    }

    // The restarted node holds what the other two hold.
    EXPECT_TRUE(settled(ports)) << "the nodes did not come to the same last write set";
    const std::vector<std::string> reference = contentOf(ports[0]);
    bool equal = true;
    for (std::size_t n = 1; n < ports.size(); ++n) {
        EXPECT_EQ(contentOf(ports[n]), reference) << "node " << n + 1;
        equal = equal && contentOf(ports[n]) == reference;
    }

    std::ostringstream text;
    text << "shared office on a 3-node cluster, " << stress::kWorkstations << " workstations for " << length << " s, node "
         << kStoppedNode << " stopped at " << length * 0.5 << " s and started again at " << length * 0.7
         << " s: " << stress::savesFigures(checked) << "; outages met " << checked.counters.at("outages")
         << " (messages " << outageMessages << ", at most " << mostInAUnit
         << " per unit of work), saves committed after it " << checked.counters.at("committedAfterOutage")
         << ", node caught up and synced in " << static_cast<int>(catchUp * 10) / 10.0 << " s, tables equal on the 3 nodes: "
         << (equal ? "yes" : "no") << "\n";
    std::ofstream(testing_support::figuresPath("cluster.txt")) << text.str();
    std::printf("%s", text.str().c_str());
}

}  // namespace
