// The sales overview's refreshes as the user-interface thread sees them: the jobs it gives
// the worker (one at a time; a tick that comes while one runs is skipped, a load the user asks
// for waits for it), the tables in force, and what to say when they are not current. The
// failure messages are shown here, on the user-interface thread, through the platform's
// message boxes: one at a time, and no tick runs while one is up (a box runs the event loop,
// timer included, until it is answered: a flapping link would otherwise stack them).
#pragma once

#include <QDateTime>
#include <QObject>
#include <memory>
#include <optional>

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
    // A tick of the timer. Checked: a refresh of what changed, unless a job runs or a message
    // box is up (then skipped: false); every kTicksPerVerification-th one verifies every
    // bucket. Unchecked: the kept connection is closed, and nothing is read. In every case a
    // job that has outlived a whole period marks the figures as not current.
    bool tick(bool autoRefresh);
    static constexpr int kTicksPerVerification = 30;  // five minutes at one tick per ten seconds
    // The programme's room capacities, read now or once the job under way has ended.
    void readCapacities();

    bool running() const { return running_; }
    std::shared_ptr<const TicketingSnapshot> tables() const { return tables_; }
    const RoomCapacities& capacities() const { return capacities_; }
    // "Chargement des ventes…" while a load the user waits for runs, the stale marking while
    // the figures are not the server's of now (StaleReason), otherwise empty.
    QString statusText() const;
    bool stale() const { return late_ || staleReason_.has_value(); }
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
    void showBoxes();

    std::shared_ptr<const TicketingSnapshot> tables_;
    RoomCapacities capacities_;
    RefreshNotices notices_;
    QDateTime lastGood_;
    std::optional<StaleReason> staleReason_;
    bool late_ = false;       // the job under way has outlived a period of the timer
    int ticksDuringJob_ = 0;  // counting the tick that started it, if one did
    int ticksSinceVerification_ = 0;
    QStringList boxes_;  // messages waiting for the box up to be answered
    bool boxUp_ = false;
    bool running_ = false;
    bool userAsked_ = false;
    bool loadingTables_ = false;
    bool wholePending_ = false;
    bool capacitiesPending_ = false;
    bool keepConnection_ = false;
    std::unique_ptr<RefreshWorker> worker_;  // last: stopped before the rest goes
};

}  // namespace sales
