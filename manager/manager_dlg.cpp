#include "manager/manager_dlg.h"

#include <QApplication>
#include <QEvent>

#include "db/connections.h"
#include "edits/audit_log.h"
#include "manager/corbeille_dlg.h"
#include "manager/journal_dlg.h"
#include "programme/account.h"
#include "resources/dialogs.h"

namespace {

constexpr const char* kCaption = "Manager 1.004";

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
      records_(lists_, dialogs_, [this] { reloadAll(); }),
      contracts_(lists_, records_, dialogs_, [this] { reloadAll(); }),
      print_(this, pane_) {
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
    on(N::Clicked, kAddCompany, [this](const dlg::Notification&) { records_.addCompany(); });
    on(N::RowDoubleClick, kCompanyList, [this](const dlg::Notification& n) { records_.editCompany(n.row); });
    on(N::Clicked, kDeleteCompany, [this](const dlg::Notification&) { records_.deleteCompany(); });
    on(N::Clicked, kAddShow, [this](const dlg::Notification&) { records_.addShow(); });
    on(N::RowDoubleClick, kShowList, [this](const dlg::Notification& n) { records_.editShow(n.row); });
    on(N::Clicked, kDeleteShow, [this](const dlg::Notification&) { records_.deleteShow(); });
    on(N::Clicked, kAddTimeslotGroup, [this](const dlg::Notification&) { records_.addTimeslotGroup(); });
    on(N::RowDoubleClick, kTimeslotList, [this](const dlg::Notification& n) {
        if (lists_.isRow(kTimeslotList, n.row)) records_.editTimeslotGroup(n.row);
    });
    on(N::Clicked, kDeleteTimeslotGroup, [this](const dlg::Notification&) { records_.deleteTimeslotGroup(); });
    // The contract edits.
    on(N::Clicked, kNewContract, [this](const dlg::Notification&) { contracts_.newContract(); });
    on(N::RowDoubleClick, kContractList, [this](const dlg::Notification& n) { contracts_.editContract(n.row); });
    on(N::Clicked, kDeleteContract, [this](const dlg::Notification&) { contracts_.deleteContract(); });
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
    on(N::Clicked, kCorbeille, [this](const dlg::Notification&) { openCorbeille(); });
    on(N::Clicked, kJournal, [this](const dlg::Notification&) { openJournal(); });
    on(N::Size, 0, [this](const dlg::Notification&) { layOut(); });
    on(N::Timer, 0, [this](const dlg::Notification& n) {
        if (n.timerId == ChangeWatch::kTimer) reloadIfChangedElsewhere();
        if (n.timerId == PlanningPane::kHoverTimer) pane_.hoverAtCursor();
    });
}

bool manager::OnInitDialog() {
    pane_.openRange();

    addLayoutEntry(kPlanningArea, kWidth | kHeight);
    addLayoutEntry(kDetailStrip, kWidth);

    setWindowTitle(QString::fromUtf8(kCaption) + QStringLiteral(" (") + account::name() + QStringLiteral(")"));
    lists_.createColumns();

    if (db::programmeConnected() || db::connectProgramme() == 0) {
        reloadAll();
        db::closeProgramme();
    }
    for (const int add : {kAddCompany, kAddShow, kAddTimeslotGroup, kNewContract}) enableItem(add, account::writesOffered());
    lists_.updateDeleteButtons();
    // A reader of the server-accounts mode may write nothing, audit lines included: the
    // server's own log records its sessions.
    if (account::writesOffered()) audit::writeAuditLine(audit::kManagerStarted);
    SetTimer(PlanningPane::kHoverTimer, PlanningPane::kHoverPeriodMs);
    SetTimer(ChangeWatch::kTimer, ChangeWatch::kPeriodMs);
    return true;
}

int manager::reloadAll() {
    const int result = programme::reloadAll(&lists_);
    pane_.redraw();
    pane_.redrawDetail();
    return result;
}

// ---- the change watch --------------------------------------------------------------------

void manager::changeEvent(QEvent* event) {
    dlg::Dialog::changeEvent(event);
    if (event->type() == QEvent::ActivationChange && isActiveWindow()) reloadIfChangedElsewhere();
}

bool manager::reloadIfChangedElsewhere() {
    // Never under one of its own dialogs, nor while a box is up.
    if (QApplication::activeModalWidget() != this || !isVisible()) return false;
    if (!watch_.changedSinceLoad()) return false;
    reloadKeepingView();
    return true;
}

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
            reloadAll();
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
