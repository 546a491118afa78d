#include "sales/refresh_worker.h"

#include "platform/thread_priority.h"

namespace sales {

RefreshWorker::RefreshWorker(Deliver deliver) : deliver_(std::move(deliver)) {
    db::prepareLibraryForThreads();
    thread_ = std::thread([this] { run(); });
}

RefreshWorker::~RefreshWorker() {
    {
        std::lock_guard lock(mutex_);
        stop_ = true;
    }
    // A statement waiting on the server (a locked table, a link gone quiet) would hold the
    // window's closing until its timeout: its socket is shut instead.
    link_.cancel();
    wake_.notify_one();
    thread_.join();
}

void RefreshWorker::post(RefreshJob job) {
    {
        std::lock_guard lock(mutex_);
        job_ = std::move(job);
    }
    wake_.notify_one();
}

void RefreshWorker::closeConnection() {
    {
        std::lock_guard lock(mutex_);
        close_ = true;
    }
    wake_.notify_one();
}

void RefreshWorker::dispose(std::shared_ptr<const void> tables) {
    {
        std::lock_guard lock(mutex_);
        disposed_.push_back(std::move(tables));
    }
    wake_.notify_one();
}

void RefreshWorker::run() {
    platform::lowerThisThreadsPriority();
    const db::LibraryThread library;
    for (;;) {
        RefreshJob job;
        std::vector<std::shared_ptr<const void>> disposed;
        {
            std::unique_lock lock(mutex_);
            wake_.wait(lock, [this] { return stop_ || close_ || job_ || !disposed_.empty(); });
            disposed.swap(disposed_);
            if (close_) {
                link_.close();
                close_ = false;
            }
            if (stop_) break;
            if (!job_) {
                lock.unlock();
                disposed.clear();
                continue;
            }
            job = std::move(*job_);
            job_.reset();
        }
        auto out = std::make_shared<JobOutcome>();
        if (job.readTables) {
            out->tables = sync_.refresh(job.kind, link_, job.ticketing);
            if (!job.keepConnection) link_.close();
        }
        if (job.readCapacities) readCapacities(job, *out);
        out->job = std::move(job);
        deliver_(std::move(out));
    }
    link_.close();
}

void RefreshWorker::readCapacities(const RefreshJob& job, JobOutcome& out) {
    db::OwnConnection programme;
    if (programme.open(job.programme, out.capacityOpenFailure) != 0) return;
    db::OwnRunReport report;
    if (programme.run(kSelectProgrammeRooms, appendRoomCapacity, &out.capacities, report) != db::kQueryOk) {
        out.capacityFailures.push_back({kSelectProgrammeRooms, report.errorText});
        out.capacities = RoomCapacities();
        return;
    }
    out.capacitiesRead = true;
}

}  // namespace sales
