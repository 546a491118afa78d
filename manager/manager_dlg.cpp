#include "manager/manager_dlg.h"

#include <QCursor>

#include "platform/controls.h"
#include "db/connections.h"
#include "programme/account.h"
#include "edits/audit_log.h"
#include "manager/manager_lists.h"
#include "planning/draw_surface.h"
#include "planning/planning_draw.h"
#include "resources/dialogs.h"

namespace {

constexpr const char* kCaption = "Manager 1.004";
constexpr double kRangeDays = 90.0;

constexpr int kWidth = 1;
constexpr int kHeight = 2;
constexpr int kLeft = 4;
constexpr int kTop = 8;

constexpr dlg::ColumnSpec kCompanyColumns[] = {{"Id", 50}, {"Nom", 300}};
constexpr dlg::ColumnSpec kTimeslotColumns[] = {
    {"Id", 20}, {"Salle", 35}, {"Spectacle", 100}, {"Nb crén.", 20}, {"Prem. date", 200}};
constexpr dlg::ColumnSpec kContractColumns[] = {{"Id", 50}, {"Spectacle", 140}, {"1er crén.", 200}};

// Every row of a fill goes in at once: the list grows linearly with its rows.
dlg::ListView::Row listRow(const programme::ListRow& data) { return {data.record, data.columns}; }

void appendRows(dlg::ListView* list, const std::vector<programme::ListRow>& rows) {
    std::vector<dlg::ListView::Row> items;
    items.reserve(rows.size());
    for (const auto& data : rows) items.push_back(listRow(data));
    list->insertRows(list->itemCount(), items);
}

// The records arrive in descending order; each inserted at the top, the list reads ascending.
void insertRowsAtTop(dlg::ListView* list, const std::vector<programme::ListRow>& rows) {
    std::vector<dlg::ListView::Row> items;
    items.reserve(rows.size());
    for (auto it = rows.rbegin(); it != rows.rend(); ++it) items.push_back(listRow(*it));
    list->insertRows(0, items);
}

template <class Record>
const Record* recordOfRow(const dlg::ListView* list, int row, const std::vector<Record>& records) {
    const int index = dlg::recordIndexOfRow(list, row, records);
    return index < 0 ? nullptr : &records[static_cast<std::size_t>(index)];
}

}  // namespace

using N = dlg::Notify;
const dlg::MessageEntry<manager> manager::kMessages[] = {
    {N::Clicked, kAddCompany, &manager::OnAddCompany},
    {N::RowDoubleClick, kCompanyList, &manager::OnEditCompany},
    {N::Clicked, kDeleteCompany, &manager::OnDeleteCompany},
    {N::ItemChanged, kCompanyList, &manager::OnCompanyChanged},
    {N::Clicked, kAddTimeslotGroup, &manager::OnAddTimeslotGroup},
    {N::Clicked, kAddShow, &manager::OnAddShow},
    {N::Clicked, kDeleteShow, &manager::OnDeleteShow},
    {N::Clicked, kDeleteTimeslotGroup, &manager::OnDeleteTimeslotGroup},
    {N::RowDoubleClick, kShowList, &manager::OnEditShow},
    {N::RowDoubleClick, kTimeslotList, &manager::OnTimeslotDoubleClick},
    {N::ItemChanged, kShowList, &manager::OnShowChanged},
    {N::ItemChanged, kTimeslotList, &manager::OnTimeslotChanged},
    {N::Clicked, kPlanningArea, &manager::OnPlanningClick},
    {N::DrawItem, kPlanningArea, &manager::OnDrawItem},
    {N::DrawItem, kDetailStrip, &manager::OnDrawItem},
    {N::DateChanged, kDateFrom, &manager::OnDateChanged},
    {N::DateChanged, kDateTo, &manager::OnDateChanged},
    {N::Size, 0, &manager::OnSize},
    {N::Clicked, kNewContract, &manager::OnNewContract},
    {N::ItemChanged, kRoomList, &manager::OnRoomChanged},
    {N::Clicked, kDeleteContract, &manager::OnDeleteContract},
    {N::ItemChanged, kContractList, &manager::OnContractChanged},
    {N::RowDoubleClick, kContractList, &manager::OnEditContract},
    {N::Clicked, kOdo2019, &manager::OnOdo2019},
    {N::DoubleClicked, kPlanningArea, &manager::OnPlanningDoubleClick},
    {N::Clicked, kCalendar, &manager::OnCalendar},
    {N::Timer, 0, &manager::OnTimer},
    {N::Clicked, kCorbeille, &manager::OnCorbeille},
    {N::Clicked, kJournal, &manager::OnJournal},
    {N::Clicked, kPrint, &manager::OnPrint},
    {N::KeyDown, kPlanningArea, &manager::OnPlanningKey},
};

manager::manager(QWidget* parent)
    : dlg::Dialog(res::kDialog129, parent), dateFrom_(platform::DateTime::now()) {
    bindMessages<manager>(kMessages);
}

manager::~manager() = default;

bool manager::OnInitDialog() {
    dateTo_ = dateFrom_.addDays(kRangeDays);
    writePickers();

    addLayoutEntry(kPlanningArea, kWidth | kHeight);
    addLayoutEntry(kDetailStrip, kWidth);

    setWindowTitle(QString::fromUtf8(kCaption) + QStringLiteral(" (") + account::name() + QStringLiteral(")"));

    dlg::createColumns(listView(kCompanyList), kCompanyColumns);
    dlg::createColumns(listView(kShowList), kCompanyColumns);
    dlg::createColumns(listView(kTimeslotList), kTimeslotColumns);
    dlg::createColumns(listView(kContractList), kContractColumns);
    dlg::createColumns(listView(kRoomList), kCompanyColumns);

    if (db::programmeConnected() || db::connectProgramme() == 0) {
        reloadAll();
        db::closeProgramme();
    }
    for (const int add : {kAddCompany, kAddShow, kAddTimeslotGroup, kNewContract}) enableItem(add, account::writesOffered());
    updateDeleteButtons();
    // A reader of the server-accounts mode may write nothing, audit lines included: the
    // server's own log records its sessions.
    if (account::writesOffered()) audit::writeAuditLine(audit::kManagerStarted);
    SetTimer(kHoverTimer, kHoverPeriodMs);
    SetTimer(kWatchTimer, kWatchPeriodMs);
    return true;
}

void manager::addLayoutEntry(int id, int flags) {
    const QWidget* control = item(id);
    layout_.push_back({id, width() - control->width(), height() - control->height(), flags});
}

// ---- lists -------------------------------------------------------------------------------

void manager::emptyList(programme::ProgrammeTable table) {
    using T = programme::ProgrammeTable;
    switch (table) {
    case T::Rooms: listView(kRoomList)->deleteAllItems(); break;
    case T::Companies: listView(kCompanyList)->deleteAllItems(); break;
    case T::Shows: listView(kShowList)->deleteAllItems(); break;
    case T::Timeslots: listView(kTimeslotList)->deleteAllItems(); break;
    case T::Contracts: listView(kContractList)->deleteAllItems(); break;
    }
}

void manager::refillRooms() { appendRows(listView(kRoomList), programme::roomRows()); }
void manager::refillCompanies() { insertRowsAtTop(listView(kCompanyList), programme::companyRows()); }
void manager::refillShows() { insertRowsAtTop(listView(kShowList), programme::showRows()); }
void manager::refillTimeslots() { appendRows(listView(kTimeslotList), programme::timeslotGroupRows()); }
void manager::refillContracts() { appendRows(listView(kContractList), programme::contractRows()); }

void manager::updateDeleteButtons() {
    const bool writes = account::writesOffered();
    const dlg::ListView* companies = listView(kCompanyList);
    const int company = companies->nextSelected();
    enableItem(kDeleteCompany, writes && programme::nameDeleteEnabled(company >= 0, companies->itemText(company, 1)));
    const dlg::ListView* shows = listView(kShowList);
    const int show = shows->nextSelected();
    enableItem(kDeleteShow, writes && programme::nameDeleteEnabled(show >= 0, shows->itemText(show, 1)));
    enableItem(kDeleteTimeslotGroup, writes && listView(kTimeslotList)->nextSelected() >= 0);
    enableItem(kDeleteContract, writes && listView(kContractList)->nextSelected() >= 0);
}

bool manager::selectRecordRow(int listId, const QString& id, bool clearOthers) {
    dlg::ListView* list = listView(listId);
    for (int row = 0; row < list->itemCount(); ++row) {
        const qint64 index = list->itemData(row);
        QString rowId;
        if (listId == kTimeslotList) {
            const auto& records = programme::timeslots();
            if (index >= 0 && index < static_cast<qint64>(records.size())) rowId = records[index].id;
        } else if (listId == kShowList) {
            const auto& records = programme::shows();
            if (index >= 0 && index < static_cast<qint64>(records.size())) rowId = records[index].id;
        } else if (listId == kCompanyList) {
            const auto& records = programme::companies();
            if (index >= 0 && index < static_cast<qint64>(records.size())) rowId = records[index].id;
        }
        if (rowId == id && !rowId.isNull()) {
            list->setSelected(row, true);
            list->setSelectionMark(row);
            return true;
        }
        if (clearOthers) list->setSelected(row, false);
    }
    return false;
}

void manager::OnContractChanged(const dlg::Notification& n) {
    const auto* contract = recordOfRow(listView(kContractList), n.row, programme::contracts());
    if (!contract) return;
    selectRecordRow(kTimeslotList, contract->ts, false);
    updateDeleteButtons();
}

void manager::OnTimeslotChanged(const dlg::Notification& n) {
    if (const auto* slot = recordOfRow(listView(kTimeslotList), n.row, programme::timeslots()))
        selectRecordRow(kShowList, slot->showname, true);
    updateDeleteButtons();
    scrollSelectedGroupIntoView();
    redraw(kPlanningArea, false);
}

void manager::OnShowChanged(const dlg::Notification& n) {
    if (const auto* show = recordOfRow(listView(kShowList), n.row, programme::shows()))
        selectRecordRow(kCompanyList, show->comp, true);
    // A show whose company is not listed (deleted) selects no company row: its own "-" must
    // follow its selection all the same.
    updateDeleteButtons();
}

void manager::OnCompanyChanged(const dlg::Notification& n) {
    if (n.row < 0 || n.row >= listView(kCompanyList)->itemCount()) return;
    updateDeleteButtons();
}

void manager::OnRoomChanged(const dlg::Notification& n) {
    if (n.row < 0 || n.row >= listView(kRoomList)->itemCount()) return;
    redraw(kPlanningArea, false);
}

void manager::OnTimeslotDoubleClick(const dlg::Notification& n) {
    if (n.row < 0 || n.row >= listView(kTimeslotList)->itemCount()) return;
    editTimeslotGroup(n.row);
}

// ---- date range --------------------------------------------------------------------------

void manager::readPickers() {
    dateFrom_ = platform::DateTime::fromQDateTime(datePicker(kDateFrom)->dateTime());
    dateTo_ = platform::DateTime::fromQDateTime(datePicker(kDateTo)->dateTime());
}

void manager::writePickers() {
    // Each write raises the picker's change, which reads both pickers back: keep copies.
    const platform::DateTime from = dateFrom_;
    const platform::DateTime to = dateTo_;
    datePicker(kDateFrom)->setDateTime(from.toQDateTime());
    datePicker(kDateTo)->setDateTime(to.toQDateTime());
    dateFrom_ = from;
    dateTo_ = to;
}

void manager::OnDateChanged(const dlg::Notification&) {
    redraw(kPlanningArea, false);
    readPickers();
}

void manager::OnOdo2019(const dlg::Notification&) {
    dateFrom_ = platform::DateTime::fromParts(2019, 7, 1);
    dateTo_ = platform::DateTime::fromParts(2019, 7, 31);
    writePickers();
    redraw(kPlanningArea, false);
}

void manager::OnCalendar(const dlg::Notification&) { redraw(kPlanningArea, false); }

// ---- planning area -----------------------------------------------------------------------

planning::PlanningView manager::planningView() const {
    planning::PlanningView view{dateFrom_, dateTo_, {}};
    const dlg::ListView* roomList = listView(kRoomList);
    const auto& records = programme::rooms();
    for (int row : roomList->selectedRows()) {
        const qint64 index = roomList->itemData(row);
        if (index >= 0 && index < static_cast<qint64>(records.size()))
            view.rooms.add(programme::leadingInteger(records[index].id));
    }
    return view;
}

long long manager::selectedTimeslotId() const {
    const auto* slot = recordOfRow(listView(kTimeslotList), listView(kTimeslotList)->nextSelected(),
                                   programme::timeslots());
    return slot ? programme::leadingInteger(slot->id) : -1;
}

dlg::OwnerDrawButton* manager::planningArea() const { return qobject_cast<dlg::OwnerDrawButton*>(item(kPlanningArea)); }

void manager::OnDrawItem(const dlg::Notification& n) {
    planning::PainterSurface dc(*n.painter);
    const planning::Rect client{n.rect.left(), n.rect.top(), n.rect.right() + 1, n.rect.bottom() + 1};
    const platform::DateTime now = platform::DateTime::now();
    if (n.id == kDetailStrip) {
        planning::DrawDetailStrip(dc, client, planning::hoveredTimeslot(), now);
        return;
    }
    dlg::OwnerDrawButton* area = planningArea();
    if (isChecked(kCalendar)) {
        area->setContentHeight(0, planning::kMinRowHeight);
        planning::hitList().clear();
        dc.fillRect(client, planning::kWhite);
        planning::DrawCalendar(dc, planningView(), client.left, client.top, client.right, client.bottom, now,
                               planning::hitList(), &planning::moreList());
        return;
    }
    planning::moreList().clear();
    readPickers();
    int contentHeight = client.height();
    planning::DrawTimeline(dc, planningView(), selectedTimeslotId(), client.width(), client.height(), now,
                           planning::hitList(), area->scrollOffset(), &contentHeight);
    // The bar appears or goes with the rows; the next paint lays the rows out beside it.
    area->setContentHeight(contentHeight, planning::kMinRowHeight);
}

void manager::scrollSelectedGroupIntoView() {
    if (isChecked(kCalendar)) return;
    dlg::OwnerDrawButton* area = planningArea();
    const long long selected = selectedTimeslotId();
    if (selected < 0) return;
    if (const auto row = planning::timelineRowOfGroup(planningView(), selected, area->contentRect().height()))
        area->scrollIntoView(row->first, row->second);
}

int manager::selectTimeslotRecord(int record) {
    dlg::ListView* list = listView(kTimeslotList);
    int found = -1;
    for (int row = 0; row < list->itemCount(); ++row) {
        const bool match = list->itemData(row) == record;
        if (match && found < 0) found = row;
        if (list->isSelected(row) != match) list->setSelected(row, match);
    }
    return found;
}

void manager::OnPlanningClick(const dlg::Notification&) {
    const auto* area = planningArea();
    const auto r = planning::hitTest(planning::hitList(), area->lastPress.x(), area->lastPress.y(),
                                     isChecked(kCalendar));
    if (r) selectTimeslotRecord(*r);
}

void manager::OnPlanningDoubleClick(const dlg::Notification&) {
    const auto* area = planningArea();
    const QPoint at = area->lastPress;
    if (isChecked(kCalendar)) {
        // A day's "+N": that day alone, as a timeline.
        if (const planning::MoreEntry* more = planning::moreAt(planning::moreList(), at.x(), at.y())) {
            const platform::DateTime day = more->day;
            dateFrom_ = day;
            dateTo_ = day.addDays(1.0 - 1.0 / 86400.0);
            writePickers();
            setChecked(kCalendar, false);
            redraw(kPlanningArea, false);
            return;
        }
    }
    const auto r = planning::hitTest(planning::hitList(), at.x(), at.y(), isChecked(kCalendar));
    if (!r) return;
    const int row = selectTimeslotRecord(*r);
    if (row >= 0) editTimeslotGroup(row);
}

void manager::hoverAt(QPoint p) {
    const QWidget* area = item(kPlanningArea);
    int& hovered = planning::hoveredTimeslot();
    if (p.x() >= 0 && p.x() < area->width() && p.y() >= 0 && p.y() < area->height()) {
        if (const auto r = planning::hitTest(planning::hitList(), p.x(), p.y(), isChecked(kCalendar))) {
            if (*r != hovered) {
                hovered = *r;
                redraw(kDetailStrip, true);
                // The row may show its texts cut: the tip shows them whole.
                item(kPlanningArea)->setToolTip(planning::timeslotSummary(hovered, platform::DateTime::now()));
            }
            return;
        }
    }
    if (hovered != -1) {
        hovered = -1;
        redraw(kDetailStrip, true);
        item(kPlanningArea)->setToolTip(QString());
    }
}

void manager::OnTimer(const dlg::Notification& n) {
    if (n.timerId == kWatchTimer) reloadIfChangedElsewhere();
    if (n.timerId != kHoverTimer) return;
    hoverAt(item(kPlanningArea)->mapFromGlobal(QCursor::pos()));
}

// ---- resize ------------------------------------------------------------------------------

void manager::OnSize(const dlg::Notification&) {
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
