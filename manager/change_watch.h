// The manager's reads off the window's thread: the load when it opens, and, while it is idle,
// the question "did a colleague change the programme?" with only the rows a colleague changed
// read again. The watch decides nothing about the window: it posts the jobs, tells which job a
// tick of the timer asks for, and hands each outcome to the window on the window's thread.
#pragma once

#include <QObject>
#include <functional>
#include <memory>
#include <vector>

#include "manager/programme_loader.h"

class ChangeWatch : public QObject {
public:
    // Every few seconds while the manager is idle, and when it becomes the active window.
    static constexpr int kTimer = 2;
    static constexpr int kPeriodMs = 5000;
    // Changes made outside the program write no audit line: one tick in this many compares the
    // tables' check values as well, about once a minute.
    static constexpr int kVerifyEvery = 12;

    using Apply = std::function<void(std::shared_ptr<manager_load::Outcome>)>;
    // `apply` runs on the window's thread with each outcome.
    explicit ChangeWatch(Apply apply);
    ~ChangeWatch() override;

    // Posts the whole load, which then writes `thenWrite`; false when a job already runs.
    bool load(std::string thenWrite = {});
    // Posts the check a tick of the timer asks for; false when a job already runs.
    bool tick();
    // Posts a check now: Changes, or Verify.
    bool check(manager_load::Job job);
    // Whether the whole load posted last has not been handed over yet.
    bool loading() const { return loading_; }
    bool busy() const { return loader_.busy(); }
    // Waits for the job under way, then hands its outcome over at once: what the window does
    // before a save of its own, and what a test waits for.
    void settle();
    // A save of the window's own: waits for the job under way (its outcome handed over), then
    // posts `job` and waits for it too, the window's events turning meanwhile except the
    // user's input (painting and timers: the sales overview on the same thread keeps moving),
    // and hands its outcome over through `apply` like any other. The outcome, or null when
    // the loader holds no whole load yet, the job could not be posted, or a wait nested in
    // this one took it.
    std::shared_ptr<manager_load::Outcome> await(manager_load::Job job);
    // Whether the loader holds the tables whole: until then it answers any job with a whole load.
    bool loadedWhole() const { return loader_.loadedWhole(); }
    // The window reloaded by itself: an outcome posted before is older than what it holds.
    void invalidate() { ++generation_; }
    unsigned generation() const { return generation_; }

    // Tables the window no longer holds, freed on the loader's thread.
    void dispose(std::shared_ptr<const void> tables) { loader_.dispose(std::move(tables)); }

    // Which job the n-th tick asks for (counted from 1).
    static manager_load::Job jobOfTick(long tick);

private:
    bool post(manager_load::Job job, std::string thenWrite = {});
    // The outcomes taken, each through `apply`; the last of them.
    std::shared_ptr<manager_load::Outcome> handOver();
    void turnUntilIdle();

    Apply apply_;
    manager_load::Loader loader_;
    unsigned generation_ = 0;
    long ticks_ = 0;
    bool loading_ = false;
    // The local event loops of the waits under way, innermost last: an outcome ends them all,
    // each then asks again whether its job is done.
    std::vector<class QEventLoop*> waits_;
};
