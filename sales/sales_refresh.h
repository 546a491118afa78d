// The sales overview's refreshes as the user-interface thread sees them: the jobs it gives
// the worker (one at a time; a tick that comes while one runs is skipped, a load the user asks
// for waits for it), the tables in force, and what to say when the server cannot be reached.
// The failure messages are shown here, on the user-interface thread, through the platform's
// message boxes.
#pragma once

#include <QDateTime>
#include <QObject>
#include <memory>

#include "sales/refresh_status.h"
#include "sales/refresh_worker.h"

namespace sales {

class SalesRefresh : public QObject {
    Q_OBJECT
public:
    explicit SalesRefresh(QObject* parent = nullptr);
    ~SalesRefresh() override;

    // The first load and "Mettre à jour": the tables read whole, now or once the job under
    // way has ended. `autoRefresh`: the box is checked, the connection is kept for the ticks.
    void loadWhole(bool autoRefresh);
    // A tick of the timer. Checked: a refresh of what changed, unless a job runs (then
    // skipped: false). Unchecked: the kept connection is closed, and nothing is read.
    bool tick(bool autoRefresh);
    // The programme's room capacities, read now or once the job under way has ended.
    void readCapacities();

    bool running() const { return running_; }
    std::shared_ptr<const TicketingSnapshot> tables() const { return tables_; }
    const RoomCapacities& capacities() const { return capacities_; }
    // "Chargement des ventes…" while a load the user waits for runs, the stale marking while
    // the server cannot be reached, otherwise empty.
    QString statusText() const;
    bool stale() const { return unreachable_; }
    // When the figures were last known to be the server's.
    QDateTime lastGood() const { return lastGood_; }

signals:
    void tablesChanged();
    void capacitiesChanged();
    void statusChanged();
    // After every job, once its outcome is in force and its messages were shown.
    void jobEnded();

private:
    void startPending();
    void post(RefreshJob job, bool userAsked);
    void handle(const std::shared_ptr<JobOutcome>& outcome);

    std::shared_ptr<const TicketingSnapshot> tables_;
    RoomCapacities capacities_;
    RefreshNotices notices_;
    QDateTime lastGood_;
    bool unreachable_ = false;
    bool running_ = false;
    bool userAsked_ = false;
    bool loadingTables_ = false;
    bool wholePending_ = false;
    bool capacitiesPending_ = false;
    bool keepConnection_ = false;
    std::unique_ptr<RefreshWorker> worker_;  // last: stopped before the rest goes
};

}  // namespace sales
