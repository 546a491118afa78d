#include "manager/change_watch.h"

#include <QMetaObject>

#include "db/connections.h"

using manager_load::Job;

ChangeWatch::ChangeWatch(Apply apply)
    : apply_(std::move(apply)), loader_([this] {
          QMetaObject::invokeMethod(
              this, [this] { handOver(); }, Qt::QueuedConnection);
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

void ChangeWatch::handOver() {
    while (std::shared_ptr<manager_load::Outcome> outcome = loader_.take()) {
        if (outcome->job == Job::Whole && !outcome->piece) loading_ = false;
        apply_(std::move(outcome));
    }
}
