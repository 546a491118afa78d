// The shared-office stress run, on one server or on the nodes of a cluster: eight workstations,
// each a process of its own (tests/stress/workstation.cpp) with its own connection and loaded
// copy, drive the saves at random; then the database must hold no half-written save, every
// committed save's audit line, and for every field a save set the value of the last save that
// set it: nothing silently lost. A conflict shown must be one a merge could not settle.
#pragma once

#include <QProcess>
#include <map>
#include <memory>
#include <set>
#include <string>
#include <vector>

namespace stress {

constexpr int kWorkstations = 8;

// BRELO_STRESS_SECONDS, or the length given.
double seconds(double otherwise);

// What one workstation's log says it did, and its figures.
struct Workstation {
    std::map<std::string, long> counters;
};

struct Checked {
    std::map<std::string, long> counters;  // summed over the workstations
    std::vector<Workstation> workstations;
    long silentlyLost = 0;
    long halfWritten = 0;
    long unneededConflicts = 0;
};

class Run {
public:
    // The programme emptied and filled again on the administrator's server (testdb::OnServer).
    Run();
    // Starts the workstations for `length` seconds, workstation i on ports[i % size] (the
    // compiled-in server when empty).
    void start(double length, const std::vector<unsigned>& ports);
    // Asks them to end before their time, each once its unit of work is done.
    void stop();
    // Waits for them all; each must end well.
    void wait();
    // Reads their logs and checks the database (on the administrator's server).
    Checked check() const;

private:
    double length_ = 0;
    std::map<std::string, std::set<std::string>> before_;  // the ids each table held before the run
    std::vector<std::unique_ptr<QProcess>> processes_;
};

// "saves tried N, committed N, run again N (N for ids, N for deadlocks or lock waits), merged
// N, conflicts shown N, rows deleted meanwhile N, failed N, silently lost N, half-written N".
std::string savesFigures(const Checked& checked);

}  // namespace stress
