#include "manager/change_watch.h"

#include <QEventLoop>
#include <QMetaObject>
#include <algorithm>

#include "db/connections.h"

using manager_load::Job;

ChangeWatch::ChangeWatch(Apply apply)
    : apply_(std::move(apply)), loader_([this] {
          QMetaObject::invokeMethod(
              this,
              [this] {
                  // A wait under way takes the outcome itself, once its loop is ended.
                  if (waits_.empty()) {
                      handOver();
                      return;
                  }
                  for (QEventLoop* wait : waits_) wait->quit();
              },
              Qt::QueuedConnection);
      }) {}

ChangeWatch::~ChangeWatch() = default;

Job ChangeWatch::jobOfTick(long tick) { return tick % kVerifyEvery == 0 ? Job::Verify : Job::Changes; }

bool ChangeWatch::post(Job job, std::string thenWrite) {
    // The settings are read here, on the window's thread, where the window's connection reads them.
    if (!loader_.post(job, db::programmeSettings().forWholeReads(), generation_, std::move(thenWrite))) return false;
    if (job == Job::Whole) loading_ = true;
    return true;
}

bool ChangeWatch::load(std::string thenWrite) { return post(Job::Whole, std::move(thenWrite)); }

bool ChangeWatch::tick() {
    if (loader_.busy()) return false;
    return post(jobOfTick(++ticks_));
}

bool ChangeWatch::check(Job job) { return post(job); }

void ChangeWatch::settle() {
    loader_.waitIdle();
    handOver();
}

std::shared_ptr<manager_load::Outcome> ChangeWatch::await(Job job) {
    turnUntilIdle();
    handOver();
    // Until the loader holds the tables whole it would answer with a whole load, which goes
    // into the lists in steps after the wait.
    if (!loader_.loadedWhole() || !post(job)) return nullptr;
    turnUntilIdle();
    return handOver();
}

void ChangeWatch::turnUntilIdle() {
    QEventLoop loop;
    waits_.push_back(&loop);
    // The user's input waits in the queue: a click now would act on lists about to move.
    while (loader_.busy()) loop.exec(QEventLoop::ExcludeUserInputEvents);
    waits_.erase(std::find(waits_.begin(), waits_.end(), &loop));
}

std::shared_ptr<manager_load::Outcome> ChangeWatch::handOver() {
    std::shared_ptr<manager_load::Outcome> last;
    while (std::shared_ptr<manager_load::Outcome> outcome = loader_.take()) {
        if (outcome->job == Job::Whole && !outcome->piece) loading_ = false;
        last = outcome;
        apply_(std::move(outcome));
    }
    return last;
}
