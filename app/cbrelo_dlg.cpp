#include "app/cbrelo_dlg.h"

#include <QDir>
#include <QKeyEvent>
#include <QPainter>
#include <QScrollBar>
#include <QSignalBlocker>
#include <QStyle>

#include "app/login_dlg.h"
#include "dialog/controls.h"
#include "manager/manager_dlg.h"
#include "platform/csv.h"
#include "resources/app_icon.h"
#include "resources/dialogs.h"
#include "sales/aggregation.h"
#include "sales/chart_numbers.h"
#include "sales/charts_ui.h"
#include "sales/sales_export.h"
#include "sales/ticketing_data.h"

namespace {

struct Column {
    int list;
    int column;
    const char* heading;
    int width;
};

constexpr Column kColumns[] = {
    {CBreloDlg::kRoomList, 0, "Salle", 200},
    {CBreloDlg::kRoomList, 1, "Dernière synchro", 200},
    {CBreloDlg::kPerformanceList, 0, "Spectacle", 200},
    {CBreloDlg::kPerformanceList, 1, "AAAA-MM-JJ HH:MM:SS", 150},
    {CBreloDlg::kPerformanceList, 2, "Salle", 100},
    {CBreloDlg::kPerformanceList, 3, "Places réservées/€/Moyenne", 170},
    {CBreloDlg::kPerformanceList, 4, "Places payées/€/Moyenne", 170},
    {CBreloDlg::kPerformanceList, 5, "RS", 50},
};

// The texts the performances' starts_at are compared with.
QString rangeText(const platform::DateTime& when) { return when.format(QStringLiteral("%Y-%m-%d %H:%M:%S")); }

constexpr const char* kStaleStyle = "color: #B03A2E";

// Where the user is in the performance list: the performance selected and the one at the top
// of the view, by id (each row carries its performance's), so that a refresh every few
// seconds, or a filter, rebuilds the list under the user without moving it.
struct ListPlace {
    qint64 selected = -1;
    qint64 top = -1;
    bool hasTop = false;
    int scroll = 0;
};

ListPlace placeIn(const dlg::ListView* list) {
    ListPlace place;
    if (const QList<int> rows = list->selectedRows(); !rows.isEmpty()) place.selected = list->itemData(rows.first());
    if (QTreeWidgetItem* top = list->itemAt(0, 0)) {
        place.top = list->itemData(list->indexOfTopLevelItem(top));
        place.hasTop = true;
    }
    place.scroll = list->verticalScrollBar()->value();
    return place;
}

void returnTo(dlg::ListView* list, const ListPlace& place) {
    int top = -1;
    for (int row = 0; row < list->itemCount(); ++row) {
        const qint64 id = list->itemData(row);
        if (place.selected >= 0 && id == place.selected) list->setCurrentItem(list->topLevelItem(row));
        if (place.hasTop && top < 0 && id == place.top) top = row;
    }
    // The performance at the top filtered out: the same distance down the list.
    if (top >= 0)
        list->scrollTo(list->model()->index(top, 0), QAbstractItemView::PositionAtTop);
    else
        list->verticalScrollBar()->setValue(place.scroll);
}

}  // namespace

using N = dlg::Notify;
const dlg::MessageEntry<CBreloDlg> CBreloDlg::kMessages[] = {
    {N::DateChanged, kFromPicker, &CBreloDlg::OnDateChanged},
    {N::DateChanged, kToPicker, &CBreloDlg::OnDateChanged},
    {N::TextChanged, kNameFilter, &CBreloDlg::OnFilterChanged},
    {N::TextChanged, kRoomFilter, &CBreloDlg::OnFilterChanged},
    {N::Clicked, kRefreshButton, &CBreloDlg::OnRefresh},
    {N::Timer, 0, &CBreloDlg::OnTimer},
    {N::Clicked, kManagerButton, &CBreloDlg::OnManager},
    {N::Clicked, kChartsButton, &CBreloDlg::OnCharts},
    {N::Clicked, kExportButton, &CBreloDlg::OnExport},
};

CBreloDlg::CBreloDlg(QWidget* parent)
    : dlg::Dialog(res::kDialog102, parent), from_(platform::DateTime::now()), to_(from_), icon_(res::appIcon()) {
    bindMessages<CBreloDlg>(kMessages);
    connect(&refresh_, &sales::SalesRefresh::tablesChanged, this, [this] {
        fillRooms();
        aggregate();
    });
    connect(&refresh_, &sales::SalesRefresh::capacitiesChanged, this, &CBreloDlg::updateCharts);
    connect(&refresh_, &sales::SalesRefresh::statusChanged, this, &CBreloDlg::showStatus);
}

CBreloDlg::~CBreloDlg() = default;

// Escape is easily pressed by mistake and ends the program: it asks first ("Non" by default).
void CBreloDlg::keyPressEvent(QKeyEvent* event) {
    if (event->key() == Qt::Key_Escape && !platform::askYesNo(QString::fromUtf8(kQuitQuestion))) return;
    dlg::Dialog::keyPressEvent(event);
}

bool CBreloDlg::OnInitDialog() {
    {
        login box(this);
        if (box.DoModal() != platform::IDOK) {
            EndDialog(platform::IDCANCEL);
            return true;
        }
    }
    // Both bounds keep the time of day at which the window was made.
    from_ = from_.addDays(-kDaysBack);
    to_ = to_.addDays(kDaysAhead);
    for (auto [id, value] : {std::pair{kFromPicker, from_}, std::pair{kToPicker, to_}}) {
        // Writing the initial range is not a user's date change.
        dlg::DatePicker* picker = datePicker(id);
        const QSignalBlocker quiet(picker);
        picker->setDateTime(value.toQDateTime());
    }
    setWindowIcon(icon_);
#ifdef BRELO_WITHOUT_CHARTS
    item(kChartsButton)->hide();
#endif
    createColumns();
    // The figures arrive once the worker has read them; the window answers meanwhile.
    refresh_.loadWhole(isChecked(kAutoRefreshBox));
    SetTimer(kRefreshTimer, kRefreshPeriodMs);
    return true;
}

void CBreloDlg::createColumns() {
    for (const Column& c : kColumns) listView(c.list)->insertColumn(c.column, QString::fromUtf8(c.heading), c.width);
}

void CBreloDlg::fillRooms() {
    dlg::ListView* rooms = listView(kRoomList);
    rooms->deleteAllItems();
    for (const sales::TicketingRoom& room : refresh_.tables()->data.rooms()) {
        const int row = rooms->insertItem(rooms->itemCount(), room.name);
        rooms->setItemText(row, 1, room.last_sync);
    }
}

void CBreloDlg::aggregate() {
    dlg::ListView* list = listView(kPerformanceList);
    const ListPlace place = placeIn(list);
    list->deleteAllItems();
    from_ = platform::DateTime::fromQDateTime(datePicker(kFromPicker)->dateTime());
    to_ = platform::DateTime::fromQDateTime(datePicker(kToPicker)->dateTime());
    if (!refresh_.lastGood().isValid()) {
        // No figures ever arrived: empty fields, rather than zeros that would read as nothing sold.
        shown_ = sales::AggregateResult();
        for (int id : {kReservedTotal, kPaidTotal, kMealTotal}) setItemText(id, QString());
        updateCharts();
        return;
    }
    const sales::AggregateFilter filter{rangeText(from_), rangeText(to_), itemText(kNameFilter), itemText(kRoomFilter)};
    // Held for the time of the aggregation: a refresh that ends meanwhile cannot pull the
    // tables away.
    const std::shared_ptr<const sales::TicketingSnapshot> snapshot = refresh_.tables();
    const sales::TicketingData& tables = snapshot->data;
    shown_ = snapshot->index.aggregate(tables, filter);
    const sales::AggregateResult& result = shown_;
    // Each row goes at its performance's place in the order by date; the rows come in that
    // order into an empty list, and a place past the end appends, so they all append: in one
    // step, which keeps the refresh's pause on this thread short.
    std::vector<dlg::ListView::Row> rows;
    rows.reserve(result.rows.size());
    for (const sales::AggregateRow& r : result.rows) {
        const sales::TicketingShow& show = tables.shows()[r.show];
        rows.push_back(
            {show.id, {show.name, show.starts_at, sales::roomCode(show.room_number), r.reserved, r.paid, r.meal}});
    }
    list->setUpdatesEnabled(false);
    list->insertRows(list->itemCount(), rows);
    returnTo(list, place);
    list->setUpdatesEnabled(true);
    setItemText(kReservedTotal, result.reservedTotal);
    setItemText(kPaidTotal, result.paidTotal);
    setItemText(kMealTotal, result.mealTotal);
    updateCharts();
}

void CBreloDlg::showStatus() {
    setItemText(kStatusLine, refresh_.statusText());
    const QString style = refresh_.stale() ? QString::fromUtf8(kStaleStyle) : QString();
    if (item(kStatusLine)->styleSheet() != style) item(kStatusLine)->setStyleSheet(style);
    updateCharts();
}

void CBreloDlg::updateCharts() {
#ifndef BRELO_WITHOUT_CHARTS
    if (!charts_ || !charts_->isVisible()) return;
    const std::shared_ptr<const sales::TicketingSnapshot> snapshot = refresh_.tables();
    const QDate from = datePicker(kFromPicker)->date();
    const QDate to = datePicker(kToPicker)->date();
    QString scope = QStringLiteral("Du %1 au %2")
                        .arg(from.toString(QStringLiteral("dd/MM/yyyy")), to.toString(QStringLiteral("dd/MM/yyyy")));
    if (!itemText(kNameFilter).isEmpty()) scope += QStringLiteral(", spectacle « %1… »").arg(itemText(kNameFilter));
    if (!itemText(kRoomFilter).isEmpty()) scope += QStringLiteral(", salle « %1… »").arg(itemText(kRoomFilter));
    scope += QStringLiteral(" : %1 représentation(s)").arg(shown_.rows.size());
    charts_->setNumbers(sales::chartNumbers(snapshot->data, snapshot->index, shown_, from, to, refresh_.capacities()),
                        scope, refresh_.stale() ? refresh_.statusText() : QString());
#endif
}

void CBreloDlg::OnDateChanged(const dlg::Notification&) { aggregate(); }

void CBreloDlg::OnFilterChanged(const dlg::Notification&) { aggregate(); }

void CBreloDlg::OnRefresh(const dlg::Notification&) {
    refresh_.loadWhole(isChecked(kAutoRefreshBox));
    if (charts_ && charts_->isVisible()) refresh_.readCapacities();
}

void CBreloDlg::OnTimer(const dlg::Notification&) {
    // The timer always runs; the box only decides whether a tick reads the database.
    refresh_.tick(isChecked(kAutoRefreshBox));
}

void CBreloDlg::OnCharts(const dlg::Notification&) {
#ifndef BRELO_WITHOUT_CHARTS
    if (!charts_) charts_ = new sales::ChartsWindow(this);
    charts_->show();
    charts_->raise();
    charts_->activateWindow();
    // The rooms' capacities may have changed in the manager since the window was last opened.
    refresh_.readCapacities();
    updateCharts();
#endif
}

void CBreloDlg::OnExport(const dlg::Notification&) {
    // A file of zeros would read as nothing sold.
    if (!refresh_.lastGood().isValid()) {
        platform::showError(QString::fromUtf8(sales::kNothingToExport));
        return;
    }
    const QString suggested = QDir(QDir::homePath()).filePath(QString::fromUtf8(sales::kExportFileName));
    const QString path = platform::ui().chooseSaveFile(QString::fromUtf8(sales::kExportTitle), suggested,
                                                       QString::fromUtf8(platform::kCsvFilter));
    if (path.isEmpty()) return;
    const std::shared_ptr<const sales::TicketingSnapshot> snapshot = refresh_.tables();
    const QString failure = platform::writeCsvFile(path, sales::salesCsvLines(snapshot->data, snapshot->index, shown_));
    if (!failure.isEmpty())
        platform::showError(
            QString::fromUtf8(platform::kCsvWriteFailedFormat).arg(QDir::toNativeSeparators(path), failure));
}

void CBreloDlg::OnManager(const dlg::Notification&) {
    manager window(this);
    window.DoModal();
}

void CBreloDlg::paintEvent(QPaintEvent* event) {
    if (!isMinimized()) {
        dlg::Dialog::paintEvent(event);
        return;
    }
    QPainter painter(this);
    painter.eraseRect(rect());
    const int size = style()->pixelMetric(QStyle::PM_LargeIconSize);
    const QPoint at((width() - size + 1) / 2, (height() - size + 1) / 2);
    painter.drawPixmap(at, icon_.pixmap(size, size));
}
