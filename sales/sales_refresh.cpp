#include "sales/sales_refresh.h"

#include <QMetaObject>
#include <utility>

#include "db/query_runner.h"
#include "platform/ui_services.h"

namespace sales {
namespace {

// The messages of failed statements as the load shows them, each after its refusal is
// recorded as the runner records it on the user-interface thread.
void addFailureMessages(const std::vector<StatementFailure>& failures, QStringList& messages) {
    for (const StatementFailure& f : failures) {
        if (!f.errorText.empty()) db::recordRefusal(f.errorText);
        messages << db::dbExecMessage(f.statement);
    }
}

}  // namespace

SalesRefresh::SalesRefresh(QObject* parent) : QObject(parent), tables_(std::make_shared<TicketingSnapshot>()) {
    // The outcome crosses to this object's thread; were the object gone by then, it is dropped.
    worker_ = std::make_unique<RefreshWorker>([this](std::shared_ptr<JobOutcome> outcome) {
        QMetaObject::invokeMethod(
            this, [this, outcome] { handle(outcome); }, Qt::QueuedConnection);
    });
}

SalesRefresh::~SalesRefresh() { worker_.reset(); }

void SalesRefresh::loadWhole(bool autoRefresh) {
    keepConnection_ = autoRefresh;
    wholePending_ = true;
    startPending();
    emit statusChanged();
}

bool SalesRefresh::tick(bool autoRefresh) {
    keepConnection_ = autoRefresh;
    // A job still running at its second tick (its first, when a tick started it) has run a
    // whole period: the figures are as old as it, whatever it ends with.
    if (running_ && ++ticksDuringJob_ >= 2 && !late_) {
        late_ = true;
        emit statusChanged();
    }
    if (!autoRefresh) {
        worker_->closeConnection();
        return false;
    }
    if (running_ || boxUp_) return false;
    RefreshJob job;
    job.kind = ++ticksSinceVerification_ >= kTicksPerVerification ? RefreshKind::Verify : RefreshKind::Changes;
    if (job.kind == RefreshKind::Verify) ticksSinceVerification_ = 0;
    job.keepConnection = true;
    post(std::move(job), false);
    ticksDuringJob_ = 1;
    return true;
}

void SalesRefresh::readCapacities() {
    capacitiesPending_ = true;
    startPending();
}

QString SalesRefresh::statusText() const {
    const QDateTime now = QDateTime::currentDateTime();
    if (late_) return staleText(lastGood_, now, StaleReason::NoAnswer);
    if (running_ && userAsked_ && loadingTables_) return QString::fromUtf8(kLoadingText);
    if (staleReason_) return staleText(lastGood_, now, *staleReason_);
    return {};
}

void SalesRefresh::startPending() {
    if (running_ || (!wholePending_ && !capacitiesPending_)) return;
    RefreshJob job;
    job.readTables = wholePending_;
    job.kind = RefreshKind::Whole;
    job.keepConnection = keepConnection_;
    job.readCapacities = capacitiesPending_;
    wholePending_ = false;
    capacitiesPending_ = false;
    post(std::move(job), true);
}

void SalesRefresh::post(RefreshJob job, bool userAsked) {
    job.ticketing = db::ticketingSettings();
    job.programme = db::programmeSettings();
    running_ = true;
    ticksDuringJob_ = 0;
    userAsked_ = userAsked;
    loadingTables_ = job.readTables;
    worker_->post(std::move(job));
}

void SalesRefresh::handle(const std::shared_ptr<JobOutcome>& outcome) {
    running_ = false;
    late_ = false;
    QStringList shown;
    if (outcome->job.readTables) {
        const RefreshOutcome& r = outcome->tables;
        QStringList messages;
        if (!r.openFailure.isEmpty()) messages << r.openFailure;
        addFailureMessages(r.failures, messages);
        shown << notices_.select(r.reached, messages, userAsked_);
        if (!r.reached) {
            staleReason_ = r.timedOut ? StaleReason::NoAnswer : StaleReason::Unreachable;
        } else if (r.partial) {
            staleReason_ = StaleReason::Cut;
        } else {
            staleReason_.reset();
            lastGood_ = r.finishedAt;
        }
        if (r.tables) {
            std::shared_ptr<const TicketingSnapshot> old = std::exchange(tables_, r.tables);
            emit tablesChanged();
            worker_->dispose(std::move(old));
        }
    }
    if (outcome->job.readCapacities) {
        QStringList messages;
        if (!outcome->capacityOpenFailure.isEmpty()) messages << outcome->capacityOpenFailure;
        addFailureMessages(outcome->capacityFailures, messages);
        shown << messages;
        capacities_ = outcome->capacities;
        using Source = RoomCapacities::Source;
        capacities_.setSource(outcome->capacitiesRead                   ? Source::Read
                              : !outcome->capacityOpenFailure.isEmpty() ? Source::Unreachable
                                                                        : Source::Refused);
        emit capacitiesChanged();
    }
    // The marking is up before a box asks to be acknowledged.
    emit statusChanged();
    boxes_ << shown;
    showBoxes();
    startPending();
    emit jobEnded();
}

void SalesRefresh::showBoxes() {
    // Called again from inside the box up (its event loop delivered another job's outcome):
    // that box's loop below shows these once it is answered.
    if (boxUp_) return;
    boxUp_ = true;
    while (!boxes_.isEmpty()) platform::showError(boxes_.takeFirst());
    boxUp_ = false;
}

}  // namespace sales
