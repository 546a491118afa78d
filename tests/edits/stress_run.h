// The shared-office stress run, on one server or on the nodes of a cluster: eight workstations,
// each a process of its own (tests/stress/workstation.cpp) with its own connection and loaded
// copy, drive the saves at random; then the database must hold no half-written save, every
// committed save's audit line, and for every field a save set the value of the last save that
// set it: nothing silently lost. A conflict shown must be one a merge could not settle.
// Triggers record every row the server commits into a history table of the test's own; each
// committed save's changes are read there, in audit order: none reported committed is
// missing, none reported failed is there, no row changed without the save that meant to
// change it, none written outside a transaction, no add stored twice, no item lost from a plan.
// Each save's end, as its workstation was told it, is held against the tokens the server stored.
// On one server a relay between the workstations and the server cuts their links at random
// points, COMMIT included. Whatever is found wrong is printed with its history.
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
    long duplicates = 0;     // an add stored twice
    long misreported = 0;    // reported committed and not there, or reported failed and there
    long unmeant = 0;        // a row changed by a save whose audit line does not name it, or by none
    long planItemsLost = 0;  // a plan item or a done item gone without a template change
    long cuts = 0;           // links the relay cut
    long unknownStored = 0;  // saves whose outcome was said unknown, their token stored
};

class Run {
public:
    // The programme emptied and filled again on the administrator's server (testdb::OnServer).
    Run();
    // Starts the workstations for `length` seconds, workstation i on ports[i % size] (the
    // compiled-in server when empty).
    // With `cuts`, the workstations go through a relay that cuts their links at random.
    void start(double length, const std::vector<unsigned>& ports, bool cuts = false);
    // Asks them to end before their time, each once its unit of work is done.
    void stop();
    // Waits for them all; each must end well.
    void wait();
    // Reads their logs and checks the database (on the administrator's server).
    Checked check() const;

private:
    void checkHistory(Checked& checked) const;
    double length_ = 0;
    std::vector<unsigned> ports_;
    std::map<std::string, std::set<std::string>> before_;  // the ids each table held before the run
    std::vector<std::unique_ptr<QProcess>> processes_;
    struct Cutter;
    std::shared_ptr<Cutter> cutter_;
    long cuts_ = 0;
};

// "saves tried N, committed N, run again N (N for ids, N for deadlocks or lock waits), merged
// N, conflicts shown N, rows deleted meanwhile N, failed N, silently lost N, half-written N", then
// the links cut and what the history says: duplicates, outcomes misreported, rows changed
// unmeant, plan items lost.
std::string savesFigures(const Checked& checked);

}  // namespace stress
