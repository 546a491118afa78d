#include "sales/cbrelo_dlg.h"

#include <QKeyEvent>
#include <QPainter>
#include <QSignalBlocker>
#include <QStyle>

#include "platform/controls.h"
#include "manager/login_dlg.h"
#include "manager/manager_dlg.h"
#include "resources/app_icon.h"
#include "resources/dialogs.h"
#include "sales/aggregation.h"
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
};

CBreloDlg::CBreloDlg(QWidget* parent)
    : dlg::Dialog(res::kDialog102, parent),
      from_(platform::DateTime::now()),
      to_(from_),
      icon_(res::appIcon()) {
    bindMessages<CBreloDlg>(kMessages);
}

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
    createColumns();
    load();
    aggregate();
    SetTimer(kRefreshTimer, kRefreshPeriodMs);
    return true;
}

void CBreloDlg::createColumns() {
    for (const Column& c : kColumns) listView(c.list)->insertColumn(c.column, QString::fromUtf8(c.heading), c.width);
}

void CBreloDlg::load() {
    dlg::ListView* rooms = listView(kRoomList);
    rooms->deleteAllItems();
    sales::load();
    for (const sales::TicketingRoom& room : sales::ticketingData().rooms()) {
        const int row = rooms->insertItem(rooms->itemCount(), room.name);
        rooms->setItemText(row, 1, room.last_sync);
    }
}

void CBreloDlg::aggregate() {
    dlg::ListView* list = listView(kPerformanceList);
    list->deleteAllItems();
    from_ = platform::DateTime::fromQDateTime(datePicker(kFromPicker)->dateTime());
    to_ = platform::DateTime::fromQDateTime(datePicker(kToPicker)->dateTime());
    const sales::AggregateFilter filter{rangeText(from_), rangeText(to_), itemText(kNameFilter),
                                        itemText(kRoomFilter)};
    platform::WaitCursor wait;
    const sales::TicketingData& tables = sales::ticketingData();
    const sales::AggregateResult result = sales::salesIndex().aggregate(tables, filter);
    list->setUpdatesEnabled(false);
    for (const sales::AggregateRow& r : result.rows) {
        const sales::TicketingShow& show = tables.shows()[r.show];
        // At the performance's place in the order by date; past the end, which is where
        // the left-out performances leave it, the row is appended.
        const int row = list->insertItem(r.position, show.name);
        list->setItemText(row, 2, sales::roomCode(show.room_number));
        list->setItemText(row, 1, show.starts_at);
        list->setItemText(row, 3, r.reserved);
        list->setItemText(row, 4, r.paid);
        list->setItemText(row, 5, r.meal);
    }
    list->setUpdatesEnabled(true);
    setItemText(kReservedTotal, result.reservedTotal);
    setItemText(kPaidTotal, result.paidTotal);
    setItemText(kMealTotal, result.mealTotal);
}

void CBreloDlg::OnDateChanged(const dlg::Notification&) { aggregate(); }

void CBreloDlg::OnFilterChanged(const dlg::Notification&) { aggregate(); }

void CBreloDlg::OnRefresh(const dlg::Notification&) {
    load();
    aggregate();
}

void CBreloDlg::OnTimer(const dlg::Notification&) {
    // The timer always runs; the box only decides whether a tick reads the database.
    if (!isChecked(kAutoRefreshBox)) return;
    load();
    aggregate();
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
