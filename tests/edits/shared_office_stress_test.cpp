// Eight workstations on one programme at once (tests/edits/stress_run.h), their links cut at
// random: nothing half-written, nothing silently lost, every committed save's audit line and
// effect there, none stored twice or misreported, no plan item lost. BRELO_STRESS_SECONDS sets the
// length (10 s by default; scripts/stress.sh runs 60), BRELO_STRESS_PORT=PORT[,PORT...] other
// servers.
#include <gtest/gtest.h>

#include <cstdio>
#include <fstream>
#include <sstream>

#include "tests/edits/stress_run.h"
#include "tests/support/files.h"

namespace {

std::vector<unsigned> configuredPorts() {
    std::vector<unsigned> ports;
    for (const QByteArray& port : qgetenv("BRELO_STRESS_PORT").split(','))
        if (!port.isEmpty()) ports.push_back(port.toUInt());
    return ports;
}

TEST(SharedOfficeStress, EightWorkstationsLoseNothingAndLeaveNothingHalfWritten) {
    stress::Run run;
    const double length = stress::seconds(10);
    const std::vector<unsigned> ports = configuredPorts();
    run.start(length, ports, ports.empty());
    run.wait();
    const stress::Checked checked = run.check();
    // The server never goes away here: links are cut and opened again at once. A unit of work
    // shows at most one message.
    EXPECT_LE(checked.counters.at("outages"), checked.cuts);
    for (const stress::Workstation& w : checked.workstations) EXPECT_LE(w.counters.at("mostOtherMessagesInAUnit"), 1);
    EXPECT_GT(checked.cuts, 0);
    EXPECT_EQ(checked.duplicates, 0);
    EXPECT_EQ(checked.misreported, 0);
    EXPECT_EQ(checked.unmeant, 0);
    EXPECT_EQ(checked.planItemsLost, 0);

    std::ostringstream text;
    text << "shared office, " << stress::kWorkstations << " workstations for " << length
         << " s: " << stress::savesFigures(checked) << "\n";
    std::ofstream(testing_support::figuresPath("shared-office.txt")) << text.str();
    std::printf("%s", text.str().c_str());
}

}  // namespace
