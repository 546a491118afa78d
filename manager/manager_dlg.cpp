#include "manager/manager_dlg.h"

#include <QApplication>
#include <QEvent>
#include <QTimer>
#include <utility>

#include "db/connections.h"
#include "db/query_runner.h"
#include "edits/audit_log.h"
#include "manager/corbeille_dlg.h"
#include "manager/journal_dlg.h"
#include "platform/ui_services.h"
#include "programme/account.h"
#include "resources/dialogs.h"

namespace {

constexpr const char* kCaption = "Manager 1.004";
// After the caption while the opening's load crosses the link.
constexpr const char* kLoadingText = "Chargement…";

constexpr int kWidth = 1;
constexpr int kHeight = 2;
constexpr int kLeft = 4;
constexpr int kTop = 8;

}  // namespace

manager::manager(QWidget* parent) : manager(std::make_unique<WindowDialogs>(), parent) {}

manager::manager(std::unique_ptr<WindowDialogs> own, QWidget* parent) : manager(*own, parent) {
    ownDialogs_ = std::move(own);
    ownDialogs_->setParent(this);
}

manager::manager(ManagerDialogs& dialogs, QWidget* parent)
    : dlg::Dialog(res::kDialog129, parent),
      dialogs_(dialogs),
      lists_(*this),
      pane_(
          *this, lists_, [this](int row) { records_.editTimeslotGroup(row); },
          [this] { records_.deleteTimeslotGroup(); }),
      records_(lists_, dialogs_, [this] { reloadSaved(); }),
      contracts_(lists_, records_, dialogs_, [this] { reloadSaved(); }),
      print_(this, pane_),
      watch_([this](std::shared_ptr<manager_load::Outcome> outcome) { received(std::move(outcome)); }) {
    wire();
}

manager::~manager() = default;

void manager::wire() {
    using N = dlg::Notify;
    const auto on = [this](N code, int id, std::function<void(const dlg::Notification&)> call) {
        bindHandler(code, id, std::move(call));
    };
    // The record lists and their selection links.
    on(N::ItemChanged, kCompanyList, [this](const dlg::Notification& n) {
        if (lists_.isRow(kCompanyList, n.row)) lists_.updateDeleteButtons();
    });
    on(N::ItemChanged, kShowList, [this](const dlg::Notification& n) { lists_.showChanged(n.row); });
    on(N::ItemChanged, kTimeslotList, [this](const dlg::Notification& n) {
        lists_.timeslotChanged(n.row);
        pane_.scrollSelectedGroupIntoView();
        pane_.redraw();
    });
    on(N::ItemChanged, kContractList, [this](const dlg::Notification& n) { lists_.contractChanged(n.row); });
    on(N::ItemChanged, kRoomList, [this](const dlg::Notification& n) {
        if (lists_.isRow(kRoomList, n.row)) pane_.redraw();
    });
    // The record edits.
    // The record edits, each after the opening's load.
    const auto edit = [this, on](N code, int id, std::function<void(int row)> call) {
        on(code, id, [this, call](const dlg::Notification& n) { whenLoaded([call, row = n.row] { call(row); }); });
    };
    edit(N::Clicked, kAddCompany, [this](int) { records_.addCompany(); });
    edit(N::RowDoubleClick, kCompanyList, [this](int row) { records_.editCompany(row); });
    edit(N::Clicked, kDeleteCompany, [this](int) { records_.deleteCompany(); });
    edit(N::Clicked, kAddShow, [this](int) { records_.addShow(); });
    edit(N::RowDoubleClick, kShowList, [this](int row) { records_.editShow(row); });
    edit(N::Clicked, kDeleteShow, [this](int) { records_.deleteShow(); });
    edit(N::Clicked, kAddTimeslotGroup, [this](int) { records_.addTimeslotGroup(); });
    edit(N::RowDoubleClick, kTimeslotList, [this](int row) {
        if (lists_.isRow(kTimeslotList, row)) records_.editTimeslotGroup(row);
    });
    edit(N::Clicked, kDeleteTimeslotGroup, [this](int) { records_.deleteTimeslotGroup(); });
    // The contract edits.
    edit(N::Clicked, kNewContract, [this](int) { contracts_.newContract(); });
    edit(N::RowDoubleClick, kContractList, [this](int row) { contracts_.editContract(row); });
    edit(N::Clicked, kDeleteContract, [this](int) { contracts_.deleteContract(); });
    // The planning pane.
    on(N::Clicked, kPlanningArea, [this](const dlg::Notification&) { pane_.click(); });
    on(N::DoubleClicked, kPlanningArea, [this](const dlg::Notification&) { pane_.doubleClick(); });
    on(N::KeyDown, kPlanningArea, [this](const dlg::Notification& n) { pane_.key(n.key); });
    on(N::DrawItem, kPlanningArea, [this](const dlg::Notification& n) { pane_.draw(n); });
    on(N::DrawItem, kDetailStrip, [this](const dlg::Notification& n) { pane_.draw(n); });
    on(N::DateChanged, kDateFrom, [this](const dlg::Notification&) { pane_.dateChanged(); });
    on(N::DateChanged, kDateTo, [this](const dlg::Notification&) { pane_.dateChanged(); });
    on(N::Clicked, kOdo2019, [this](const dlg::Notification&) { pane_.odo2019(); });
    on(N::Clicked, kCalendar, [this](const dlg::Notification&) { pane_.redraw(); });
    // The window's own.
    on(N::Clicked, kPrint, [this](const dlg::Notification&) { print_.run(); });
    on(N::Clicked, kCorbeille, [this](const dlg::Notification&) { whenLoaded([this] { openCorbeille(); }); });
    on(N::Clicked, kJournal, [this](const dlg::Notification&) { openJournal(); });
    on(N::Size, 0, [this](const dlg::Notification&) { layOut(); });
    on(N::Timer, 0, [this](const dlg::Notification& n) {
        if (n.timerId == ChangeWatch::kTimer && !dialogOpen() && isVisible() && !loading()) {
            if (pending_)
                received(std::move(pending_));
            else
                watch_.tick();
        }
        if (n.timerId == PlanningPane::kHoverTimer) pane_.hoverAtCursor();
    });
}

bool manager::OnInitDialog() {
    pane_.openRange();

    addLayoutEntry(kPlanningArea, kWidth | kHeight);
    addLayoutEntry(kDetailStrip, kWidth);

    lists_.createColumns();
    // The window shows the records it holds from its last opening while its own load crosses
    // the link, then those of the load; the opening's audit line follows the tables. A reader
    // of the server-accounts mode may write nothing, audit lines included: the server's own
    // log records its sessions.
    watch_.load(account::writesOffered() ? audit::lineStatement(audit::kManagerStarted) : std::string());
    using T = programme::ProgrammeTable;
    for (T table : {T::Rooms, T::Companies, T::Shows, T::Timeslots, T::Contracts}) queueTable(table, nullptr);
    queueStep([this] { finishFill(); });
    setProperty("loading", true);
    showCaption();
    for (const int add : {kAddCompany, kAddShow, kAddTimeslotGroup, kNewContract})
        enableItem(add, account::writesOffered());
    lists_.updateDeleteButtons();
    SetTimer(PlanningPane::kHoverTimer, PlanningPane::kHoverPeriodMs);
    SetTimer(ChangeWatch::kTimer, ChangeWatch::kPeriodMs);
    return true;
}

void manager::showCaption() {
    QString caption = QString::fromUtf8(kCaption) + QStringLiteral(" (") + account::name() + QStringLiteral(")");
    if (loading()) caption += QStringLiteral(" ") + QString::fromUtf8(kLoadingText);
    setWindowTitle(caption);
    pane_.setNotice(loading() ? QString::fromUtf8(kLoadingText) : QString());
}

int manager::reloadAll() {
    // A save waits for a load under way, never the reverse; what a check read before this
    // reload is older than what it reads.
    settleLoads();
    watch_.invalidate();
    pending_.reset();
    const int result = programme::reloadAll(&lists_);
    pane_.redraw();
    pane_.redrawDetail();
    return result;
}

int manager::reloadSaved() {
    using T = programme::ProgrammeTable;
    const bool held = lists_.refillHold() > 0;
    heldListsBehind_ = heldListsBehind_ || held;
    // A check's rows kept for later (a dialog was open) are older than the save's: first.
    if (pending_) apply(std::exchange(pending_, nullptr));
    // Not up for a user while it waits (what a test's "next dialog" looks for too).
    setProperty("loading", true);
    ++savesWaiting_;
    const std::shared_ptr<manager_load::Outcome> outcome = watch_.await(manager_load::Job::Saved);
    --savesWaiting_;
    setProperty("loading", loading());
    if (!outcome || !outcome->reached) {
        const int result = reloadAll();
        if (result == 0 && !held) heldListsBehind_ = false;
        return result;
    }
    if (heldListsBehind_ && !held) {
        const RecordLists::KeptView kept = lists_.keepView();
        for (T table : {T::Companies, T::Shows, T::Timeslots}) {
            lists_.loading(table);
            lists_.loaded(table);
        }
        lists_.restoreView(kept);
        heldListsBehind_ = false;
    }
    // The rows put in place painted the planning again if they changed what it draws.
    return 0;
}

void manager::settleLoads() { watch_.settle(); }

void manager::whenLoaded(std::function<void()> action) {
    if (!loading()) {
        action();
        return;
    }
    afterLoad_ = std::move(action);
}

// ---- the change watch --------------------------------------------------------------------

void manager::changeEvent(QEvent* event) {
    dlg::Dialog::changeEvent(event);
    if (event->type() == QEvent::ActivationChange && isActiveWindow() && !dialogOpen() && !loading())
        watch_.check(manager_load::Job::Changes);
}

// One of the manager's dialogs or a box is up over the window: what the user sees there was
// taken from the records held, which must not move under it.
bool manager::dialogOpen() const {
    const QWidget* top = QApplication::activeModalWidget();
    return top && top != this && isVisible();
}

void manager::received(std::shared_ptr<manager_load::Outcome> outcome) {
    if (outcome->generation != watch_.generation()) {
        // Read before the window reloaded by itself: older than what it holds.
        if (outcome->job == manager_load::Job::Whole) finishFill();
        return;
    }
    if (dialogOpen() && savesWaiting_ == 0) {
        pending_ = std::move(outcome);
        return;
    }
    apply(outcome);
}

void manager::apply(const std::shared_ptr<manager_load::Outcome>& outcome) {
    using T = programme::ProgrammeTable;
    for (const auto& [statement, error] : outcome->lateFailures) {
        db::recordRefusal(error);
        db::reportDbExecError(statement);
    }
    lastOutcome_ = outcome;
    changedByLastApply_ = false;
    if (outcome->job == manager_load::Job::Whole) {
        // Each table goes into its list while the next crosses the link; the view the user had
        // comes back once the last is in.
        if (!keptForLoad_) keptForLoad_ = std::make_shared<RecordLists::KeptView>(lists_.keepView());
        if (outcome->piece) {
            queueTable(outcome->table, std::move(outcome->whole));
            return;
        }
        queueStep([this, outcome] {
            if (keptForLoad_) lists_.restoreView(*std::exchange(keptForLoad_, nullptr));
            lists_.updateDeleteButtons();
            pane_.redraw();
            pane_.redrawDetail();
            changedByLastApply_ = true;
            finishOpening(*outcome);
        });
        return;
    } else if (!outcome->asked.empty()) {
        RecordLists::Moved moved;
        // A slot's group row shows its head and counts its children: the heads before and after.
        const auto headsOf = [](const QStringList& ids) {
            QSet<QString> heads;
            for (const QString& id : ids) {
                const int index = programme::timeslotIndexById(id);
                if (index < 0) continue;
                const programme::Timeslot& slot = programme::timeslots()[static_cast<std::size_t>(index)];
                heads.insert(programme::isGroupHead(slot) ? slot.id : slot.childof);
            }
            return heads;
        };
        planning::PlanningChange planningChange(pane_.view(), platform::DateTime::now());
        for (const auto& [table, ids] : outcome->asked) {
            const QSet<QString> headsBefore = table == T::Timeslots ? headsOf(ids) : QSet<QString>();
            planningChange.before(table, ids, headsBefore);
            const programme::Applied applied = programme::applyRows(table, ids, outcome->rows);
            // Rows read again as they were held (a line already applied, a save of this
            // window's own) move nothing.
            if (!applied.changed) continue;
            moved.tables.insert(table);
            if (table == T::Timeslots) {
                const QSet<QString> headsAfter = headsOf(ids);
                planningChange.after(table, ids, applied, headsAfter);
                moved.groupHeads = headsBefore + headsAfter;
                moved.timeslotsApplied = applied;
            } else {
                planningChange.after(table, ids, applied);
            }
            if (table == T::Contracts) {
                moved.contracts = QSet<QString>(ids.begin(), ids.end());
                moved.contractsApplied = applied;
            }
            if (table == T::Companies) {
                moved.companies = QSet<QString>(ids.begin(), ids.end());
                moved.companiesApplied = applied;
            }
            if (table == T::Shows) {
                moved.shows = QSet<QString>(ids.begin(), ids.end());
                moved.showsApplied = applied;
            }
        }
        if (!moved.tables.empty()) {
            const RecordLists::KeptView kept = lists_.keepView();
            const int planningScroll = pane_.scroll();
            lists_.refresh(moved);
            lists_.restoreView(kept);
            pane_.setScroll(planningScroll);
            pane_.redraw(planningChange, moved.tables.count(T::Timeslots) > 0);
            changedByLastApply_ = true;
        }
    }
}

void manager::finishOpening(const manager_load::Outcome& outcome) {
    // What the program-wide connection would have shown: the opening is the user's.
    if (!outcome.openFailure.isEmpty()) {
        platform::showError(outcome.openFailure);
    } else if (!outcome.failures.empty()) {
        db::recordRefusal(outcome.failures.front().second);
        db::reportDbExecError(outcome.failures.front().first);
    }
    finishFill();
}

void manager::finishFill() {
    setProperty("loading", loading());
    showCaption();
    if (afterLoad_ && !loading()) std::exchange(afterLoad_, nullptr)();
}

void manager::queueStep(std::function<void()> step) {
    const bool idle = fillSteps_.empty();
    fillSteps_.push_back(std::move(step));
    // Queued before the window shows, the first step waits for a timer's turn: the window's
    // first paint and that of the first rows are then two pauses, not one.
    if (idle) QTimer::singleShot(isVisible() ? 0 : 1, this, [this] { runFillStep(); });
}

void manager::queueTable(programme::ProgrammeTable table, std::shared_ptr<programme::Tables> replacing) {
    using T = programme::ProgrammeTable;
    constexpr int kSlice = 600;  // records a slice turns into rows: a few milliseconds
    if (replacing)
        queueStep([this, table, replacing] {
            // The records replaced are freed on the loader's thread: a season's are a pause.
            programme::install(table, *replacing);
            watch_.dispose(replacing);
        });
    queueStep([this, table] {
        lists_.loading(table);
        if (table != T::Timeslots && table != T::Contracts) lists_.loaded(table);
    });
    if (table != T::Timeslots && table != T::Contracts) return;
    // The lookups' indexes, one a slice, before the rows that use them.
    queueStep([] { programme::timeslotIndexById(QString()); });
    if (table == T::Timeslots) {
        queueStep([] { programme::countLiveChildren(QString()); });
        queueStep([] { programme::countChildren(QString()); });
    }
    queueStep([this, table, kSlice] {
        // As many slices as the table has records now, before the steps queued after this one.
        const int count =
            static_cast<int>(table == T::Timeslots ? programme::timeslots().size() : programme::contracts().size());
        std::vector<std::function<void()>> slices;
        for (int from = 0; from < count; from += kSlice)
            slices.push_back([this, table, from, kSlice] { lists_.appendRecords(table, from, from + kSlice); });
        fillSteps_.insert(fillSteps_.begin(), slices.begin(), slices.end());
    });
}

void manager::runFillStep() {
    if (fillSteps_.empty()) return;
    std::function<void()> step = std::move(fillSteps_.front());
    fillSteps_.pop_front();
    step();
    if (!fillSteps_.empty())
        QTimer::singleShot(0, this, [this] { runFillStep(); });
    else
        finishFill();
}

bool manager::checkNow(manager_load::Job job) {
    // Never under one of its own dialogs, nor while a box is up.
    if (QApplication::activeModalWidget() != this || !isVisible()) return false;
    watch_.settle();
    if (pending_) received(std::move(pending_));
    changedByLastApply_ = false;
    if (!watch_.check(job)) return false;
    watch_.settle();
    return changedByLastApply_;
}

bool manager::reloadIfChangedElsewhere() { return checkNow(manager_load::Job::Changes); }

bool manager::reloadIfChangedOutside() { return checkNow(manager_load::Job::Verify); }

void manager::reloadKeepingView() {
    const RecordLists::KeptView kept = lists_.keepView();
    const int planningScroll = pane_.scroll();
    reloadAll();
    lists_.restoreView(kept);
    pane_.setScroll(planningScroll);
    pane_.redraw();
}

// ---- the Corbeille and the Journal -------------------------------------------------------

// The Corbeille lists what was deleted; a restore there reloads the manager's lists.
void manager::openCorbeille() {
    CorbeilleWindow window(
        [this] {
            reloadSaved();
            lists_.updateDeleteButtons();
        },
        this);
    window.fill();
    window.exec();
}

// The Journal lists the audit lines; it writes nothing.
void manager::openJournal() {
    JournalWindow window(this);
    window.load();
    window.exec();
}

// ---- resize ------------------------------------------------------------------------------

void manager::addLayoutEntry(int id, int flags) {
    const QWidget* control = item(id);
    layout_.push_back({id, width() - control->width(), height() - control->height(), flags});
}

void manager::layOut() {
    const int clientWidth = width();
    const int clientHeight = height();
    for (const LayoutEntry& e : layout_) {
        QWidget* control = item(e.id);
        if (!control) continue;
        if (e.flags & (kLeft | kTop)) {
            control->move((e.flags & kLeft) ? clientWidth - e.widthMargin : control->x(),
                          (e.flags & kTop) ? clientHeight - e.heightMargin : control->y());
            redraw(e.id, true);
        }
        if (e.flags & (kWidth | kHeight)) {
            control->resize((e.flags & kWidth) ? clientWidth - e.widthMargin : control->width(),
                            (e.flags & kHeight) ? clientHeight - e.heightMargin : control->height());
            redraw(e.id, true);
        }
    }
}
