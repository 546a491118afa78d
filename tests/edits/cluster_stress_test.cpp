// The shared-office stress on the three nodes of a Galera cluster (scripts/localdb.sh cluster):
// the eight workstations spread over the nodes, and half way through node 2 is stopped, then
// started again alone. The run goes on until the node has caught up and each of its
// workstations has committed again, whatever that takes (within a generous bound). The same
// checks as on one server, plus: the workstations of node 2 report the outage, one message per
// unit of work they tried, and commit again once it is back; the others never notice; the
// restarted node catches up, holding what the other two hold. Run by the test command's cluster
// pass (BRELO_CLUSTER set), skipped otherwise; scripts/stress.sh --cluster runs it longer.
//
// BRELO_STRESS_SLOW_CATCH_UP=SECONDS keeps the node away that much longer before it starts
// again, as a node slow to catch up on a busier machine: the run must still wait for it.
#include <gtest/gtest.h>

#include <algorithm>
#include <chrono>
#include <cstdio>
#include <cstdlib>
#include <fstream>
#include <map>
#include <sstream>
#include <thread>

#include "tests/edits/stress_run.h"
#include "tests/support/files.h"
#include "tests/support/testdb.h"

namespace {

constexpr int kStoppedNode = 2;
const char* const kTables[] = {"comp", "showname", "salle", "timeslot", "contract", "logs", "save_tokens"};
// Once the node is back, how long its workstations may take to commit again; and the longest the
// node may take to come back and catch up.
constexpr auto kCommitBound = std::chrono::seconds(120);
constexpr double kCatchUpBound = 240;

using Clock = std::chrono::steady_clock;

double secondsSince(Clock::time_point when) { return std::chrono::duration<double>(Clock::now() - when).count(); }

// The names of the workstations that work on the node (workstation i works on node i % 3 + 1).
std::vector<std::string> workstationsOn(int node, std::size_t nodes) {
    std::vector<std::string> names;
    for (int i = 0; i < stress::kWorkstations; ++i)
        if (static_cast<int>(i % nodes) + 1 == node) names.push_back("Poste" + std::to_string(i + 1));
    return names;
}

// The audit lines each workstation committed, as the administrator's server holds them.
std::map<std::string, long> auditLines() {
    std::map<std::string, long> lines;
    for (const auto& row : testdb::query(testdb::programmeDb(),
                                         "SELECT SUBSTRING_INDEX(`log`, ' : ', 1), COUNT(*) FROM `logs`"
                                         " WHERE `log` LIKE 'Poste%' GROUP BY 1"))
        lines[row[0]] = std::stol(row[1]);
    return lines;
}

// Waits until each of the workstations named has more audit lines than it had, or the bound.
bool committedAgain(const std::vector<std::string>& names, std::map<std::string, long> before, std::string& counts) {
    const Clock::time_point until = Clock::now() + kCommitBound;
    for (;;) {
        std::map<std::string, long> now = auditLines();
        bool all = true;
        std::ostringstream text;
        for (const std::string& name : names) {
            all = all && now[name] > before[name];
            text << " " << name << " " << now[name] - before[name];
        }
        counts = text.str();
        if (all) return true;
        if (Clock::now() >= until) return false;
        std::this_thread::sleep_for(std::chrono::milliseconds(200));
    }
}

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
    // The workstations run until told to stop; their own bound only ends a run nobody stops.
    run.start(length + kCatchUpBound + 2 * static_cast<double>(kCommitBound.count()), ports);
    const auto at = [&](double part) {
        return began + std::chrono::milliseconds(static_cast<long>(length * part * 1000));
    };
    sleepUntil(at(0.5));
    testdb::stopNode(kStoppedNode);
    sleepUntil(at(0.7));
    const Clock::time_point restarting = Clock::now();
    if (const char* slow = std::getenv("BRELO_STRESS_SLOW_CATCH_UP"))
        std::this_thread::sleep_for(std::chrono::milliseconds(static_cast<long>(std::atof(slow) * 1000)));
    testdb::startNode(kStoppedNode);
    const double catchUp = secondsSince(restarting);
    EXPECT_GT(catchUp, 0.0);
    EXPECT_LT(catchUp, kCatchUpBound) << "node " << kStoppedNode << " took too long to come back and catch up";

    // Runs on, at least for its length, until every workstation of the node has committed
    // since it came back: the audit lines the cluster holds say so, not the workstations.
    const std::vector<std::string> onStoppedNode = workstationsOn(kStoppedNode, ports.size());
    std::string counts;
    EXPECT_TRUE(committedAgain(onStoppedNode, auditLines(), counts))
        << "the workstations of node " << kStoppedNode << " did not all commit within " << kCommitBound.count()
        << " s after it came back; audit lines since:" << counts;
    sleepUntil(at(1));
    run.stop();
    const double ran = secondsSince(began);
    EXPECT_GE(ran, length);
    run.wait();
    // The checks read node 1: it must first have applied the last saves made on the others.
    EXPECT_TRUE(settled(ports)) << "the nodes did not come to the same last write set";
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
    const std::vector<std::string> reference = contentOf(ports[0]);
    bool equal = true;
    for (std::size_t n = 1; n < ports.size(); ++n) {
        EXPECT_EQ(contentOf(ports[n]), reference) << "node " << n + 1;
        equal = equal && contentOf(ports[n]) == reference;
    }

    std::ostringstream text;
    text << "shared office on a 3-node cluster, " << stress::kWorkstations << " workstations for "
         << static_cast<int>(ran * 10) / 10.0 << " s, node " << kStoppedNode << " stopped at " << length * 0.5
         << " s and started again at " << length * 0.7 << " s: " << stress::savesFigures(checked) << "; outages met "
         << checked.counters.at("outages") << " (messages " << outageMessages << ", at most " << mostInAUnit
         << " per unit of work), saves committed after it " << checked.counters.at("committedAfterOutage")
         << ", node caught up and synced in " << static_cast<int>(catchUp * 10) / 10.0
         << " s, tables equal on the 3 nodes: " << (equal ? "yes" : "no") << "\n";
    std::ofstream(testing_support::figuresPath("cluster.txt")) << text.str();
    std::printf("%s", text.str().c_str());
}

}  // namespace
