// The sales refresh on a thread of its own, with its own connections, so that the window
// keeps answering while the tables cross the link: one job at a time, its outcome handed to
// a callback on that thread (which passes it on to the user-interface thread).
#pragma once

#include <condition_variable>
#include <functional>
#include <memory>
#include <mutex>
#include <optional>
#include <thread>

#include "db/connections.h"
#include "sales/room_capacities.h"
#include "sales/ticketing_sync.h"

namespace sales {

struct RefreshJob {
    bool readTables = true;
    RefreshKind kind = RefreshKind::Whole;
    // The timer goes on: the next tick asks on the same connection, in one round trip.
    bool keepConnection = false;
    bool readCapacities = false;
    // Copied on the user-interface thread, which owns them.
    db::ConnectionSettings ticketing;
    db::ConnectionSettings programme;
};

struct JobOutcome {
    RefreshJob job;
    RefreshOutcome tables;  // when the job read the tables
    // When the job read the programme's rooms: what they gave, and what failed.
    RoomCapacities capacities;
    bool capacitiesRead = false;
    QString capacityOpenFailure;
    std::vector<StatementFailure> capacityFailures;
};

class RefreshWorker {
public:
    using Deliver = std::function<void(std::shared_ptr<JobOutcome>)>;
    // `deliver` runs on the worker thread, once per job.
    explicit RefreshWorker(Deliver deliver);
    // Ends the job under way at once: the statement it waits on is cut off.
    ~RefreshWorker();
    RefreshWorker(const RefreshWorker&) = delete;
    RefreshWorker& operator=(const RefreshWorker&) = delete;

    // The caller posts a job only once the previous one was delivered.
    void post(RefreshJob job);
    // Closes the kept ticketing connection once no job runs.
    void closeConnection();
    // Tables that the window no longer shows, freed on the worker: hundreds of thousands of
    // rows are a pause the window need not make.
    void dispose(std::shared_ptr<const void> tables);

private:
    void run();
    void readCapacities(const RefreshJob& job, JobOutcome& out);

    Deliver deliver_;
    TicketingSync sync_;
    db::OwnConnection link_;  // the worker thread's alone
    std::mutex mutex_;
    std::condition_variable wake_;
    std::optional<RefreshJob> job_;
    std::vector<std::shared_ptr<const void>> disposed_;
    bool close_ = false;
    bool stop_ = false;
    std::thread thread_;  // last: starts once everything it uses is made
};

}  // namespace sales
