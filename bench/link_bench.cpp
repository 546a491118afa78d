// The sales overview over an emulated hosted link (link_proxy.h: 20 ms each way, 50 Mbit/s)
// on the ten generated seasons that bench/run.sh loads into the local server:
//  - a whole refresh on the worker, connection included, against the mariadb client fetching
//    the three tables through the same link;
//  - a refresh on the timer with nothing changed: its round trips, bytes and time, against one
//    round trip plus the server's own check (timed on the loopback address);
//  - a refresh after the reservations of 20 performances changed: the bytes moved against
//    twice those rows, fetched plainly through the link, plus the checks;
//  - the longest stall of the user-interface thread while the real window refreshes on its
//    timer (a probe timer on that thread, every millisecond);
//  - the server's cost of the check values at ten seasons, today's digest (half an MD5 per
//    row) beside the sum of CRC-32s it replaced, and a verification of every bucket;
//  - the reservations locked by another session (LOCK TABLES res WRITE) under the window with
//    its automatic refresh on: the time until the figures are marked as not current, and the
//    time the window takes to close while its refresh waits on the lock.
// Each refresh's tables are first checked against a whole load on the loopback address.
#include <mysql.h>

#include <QApplication>
#include <QCheckBox>
#include <QElapsedTimer>
#include <QEventLoop>
#include <QLineEdit>
#include <QPushButton>
#include <QTimer>
#include <QTimerEvent>
#include <algorithm>
#include <chrono>
#include <cstdio>
#include <cstdlib>
#include <functional>
#include <random>
#include <string>
#include <vector>

#include "app/cbrelo_dlg.h"
#include "app/login_dlg.h"
#include "bench/link_proxy.h"
#include "bench/local_server.h"
#include "bench/mariadb_client.h"
#include "bench/median_time.h"
#include "bench/stall_probe.h"
#include "db/connections.h"
#include "db/own_connection.h"
#include "dialog/controls.h"
#include "sales/ticketing_sync.h"

namespace {

using bench::Clock;
using bench::median;
using bench::msSince;
using bench::verdict;
constexpr bench::LinkShape kHostedLink{20.0, 50e6};
constexpr int kChangedPerformances = 20;

// The statement the check values were once computed with: a sum of the rows' CRC-32s.
std::string crcTotalsStatement(const sales::TableColumns (&columns)[sales::kTableCount]) {
    const char* names[] = {"salle", "shows", "res"};
    std::string out = "SELECT ";
    for (int t = 0; t < sales::kTableCount; ++t) {
        out += t ? ", (SELECT CONCAT(COUNT(*), ' ', IFNULL(SUM(CRC32(CONCAT_WS(CHAR(31)"
                 : "(SELECT CONCAT(COUNT(*), ' ', IFNULL(SUM(CRC32(CONCAT_WS(CHAR(31)";
        for (const std::string& c : columns[t]) out += ", IFNULL(`" + c + "`, '')";
        out += std::string("))), 0)) FROM `") + names[t] + "`)";
    }
    return out;
}

db::ConnectionSettings throughLink(const bench::LinkProxy& proxy) {
    db::ConnectionSettings s = db::ticketingSettings();
    s.port = proxy.port();
    return s;
}

// The local server as its administrator, for the changes between two refreshes.
void adminExec(const std::string& sql) {
    MYSQL* m = mysql_init(nullptr);
    if (!mysql_real_connect(m, nullptr, local_server::adminUser().c_str(), "", db::ticketingSettings().database.c_str(),
                            0, local_server::socket().c_str(), 0) ||
        mysql_real_query(m, sql.data(), sql.size()) != 0)
        std::fprintf(stderr, "admin statement failed: %s\n", mysql_error(m));
    mysql_close(m);
}

// Whether two snapshots aggregate to the same texts over every performance.
bool sameFigures(const sales::TicketingSnapshot& a, const sales::TicketingSnapshot& b) {
    const sales::AggregateFilter all{
        QStringLiteral("0000-01-01 00:00:00"), QStringLiteral("9999-12-31 23:59:59"), {}, {}};
    return a.data.reservations().size() == b.data.reservations().size() &&
           a.data.shows().size() == b.data.shows().size() &&
           a.index.aggregate(a.data, all) == b.index.aggregate(b.data, all);
}

std::shared_ptr<const sales::TicketingSnapshot> loadOnLoopback() {
    sales::TicketingSync sync;
    db::OwnConnection link;
    return sync.refresh(sales::RefreshKind::Whole, link, db::ticketingSettings()).tables;
}

std::string idList(const std::vector<int32_t>& ids) {
    std::string out;
    for (int32_t id : ids) out += (out.empty() ? "" : ", ") + std::to_string(id);
    return out;
}

// Alternately adds a seat to every booking of the performances and takes it off, so that
// every one of their rows changes.
void changeReservations(const std::vector<int32_t>& ids, int round) {
    adminExec(std::string("UPDATE `res` SET `seats` = `seats` ") + (round % 2 ? "+ 1" : "- 1") +
              " WHERE `show_id` IN (" + idList(ids) + ")");
}

uint64_t downOf(const std::vector<bench::Exchange>& exchanges, std::size_t first, std::size_t last) {
    uint64_t n = 0;
    for (std::size_t i = first; i < last && i < exchanges.size(); ++i) n += exchanges[i].down;
    return n;
}

void waitForJob(CBreloDlg& window) {
    if (!window.refresh().running()) return;
    QEventLoop loop;
    QObject::connect(&window.refresh(), &sales::SalesRefresh::jobEnded, &loop, &QEventLoop::quit);
    loop.exec();
}

struct WindowFigures {
    double idle = 0;        // the longest stall with no refresh at all: the machine's own
    double staleAfter = 0;  // ms from the lock to the mark on the figures
    QString staleText;
    double closing = 0;         // ms to close the window while its refresh waits on the lock
    double nothingChanged = 0;  // the longest stall, ms
    double changed = 0;
    double whole = 0;
    int rows = 0;
    bool same = false;
};

// The real window, its ticketing connection through the link; its timer's ticks sent by hand.
WindowFigures runWindow(bench::LinkProxy& proxy, const std::vector<int32_t>& changing, const QString& from,
                        const QString& to) {
    WindowFigures f;
    db::ticketingSettings().port = proxy.port();
    auto owned = std::make_unique<CBreloDlg>();
    CBreloDlg& window = *owned;
    MYSQL* locker = nullptr;
    Clock::time_point closing;
    QTimer::singleShot(0, [] {
        // The login: the bench's account, added by main().
        auto* box = qobject_cast<QDialog*>(QApplication::activeModalWidget());
        if (!box) return;
        box->findChild<QLineEdit*>(QStringLiteral("ctl_%1").arg(login::kNameEdit))->setText(QStringLiteral("Bench"));
        box->findChild<QLineEdit*>(QStringLiteral("ctl_%1").arg(login::kPasswordEdit))
            ->setText(QStringLiteral("bench"));
        box->findChild<QPushButton*>(QStringLiteral("ctl_%1").arg(platform::IDOK))->click();
    });
    QTimer::singleShot(50, &window, [&] {
        auto wait = [&] { waitForJob(window); };
        wait();
        window.datePicker(CBreloDlg::kFromPicker)->setDateTime(QDateTime::fromString(from, Qt::ISODate));
        window.datePicker(CBreloDlg::kToPicker)->setDateTime(QDateTime::fromString(to, Qt::ISODate));
        f.rows = window.listView(CBreloDlg::kPerformanceList)->itemCount();
        window.findChild<QCheckBox*>(QStringLiteral("ctl_%1").arg(CBreloDlg::kAutoRefreshBox))->click();
        auto* timer = window.findChild<QTimer*>(QStringLiteral("timer_%1").arg(CBreloDlg::kRefreshTimer));
        StallProbe probe;
        auto tick = [&](const std::function<void()>& before) {
            before();
            probe.start();
            QTimerEvent event(timer->timerId());
            QCoreApplication::sendEvent(timer, &event);
            wait();
            runEventsFor(100);  // what the window does once the tables are in
            return probe.stopMs();
        };
        probe.start();
        runEventsFor(3000);
        f.idle = probe.stopMs();
        tick([] {});  // opens the connection the ticks keep
        for (int i = 0; i < 5; ++i) f.nothingChanged = std::max(f.nothingChanged, tick([] {}));
        for (int i = 0; i < 4; ++i) f.changed = std::max(f.changed, tick([&] { changeReservations(changing, i + 1); }));
        f.same = sameFigures(*window.refresh().tables(), *loadOnLoopback());
        probe.start();
        window.findChild<QPushButton*>(QStringLiteral("ctl_%1").arg(CBreloDlg::kRefreshButton))->click();
        wait();
        runEventsFor(100);
        f.whole = probe.stopMs();

        // The reservations locked by maintenance, the window's own timer ticking.
        locker = mysql_init(nullptr);
        if (!mysql_real_connect(locker, nullptr, local_server::adminUser().c_str(), "",
                                db::ticketingSettings().database.c_str(), 0, local_server::socket().c_str(), 0) ||
            mysql_query(locker, "LOCK TABLES `res` WRITE") != 0)
            std::fprintf(stderr, "the lock could not be taken: %s\n", mysql_error(locker));
        const auto locked = Clock::now();
        while (!window.refresh().stale() && msSince(locked) < 60000) runEventsFor(20);
        f.staleAfter = msSince(locked);
        f.staleText = window.itemText(CBreloDlg::kStatusLine);
        // Closed while a tick's refresh waits on the lock.
        while (!window.refresh().running() && msSince(locked) < 90000) runEventsFor(20);
        closing = Clock::now();
        window.EndDialog(platform::IDOK);
    });
    window.DoModal();
    owned.reset();
    f.closing = msSince(closing);
    mysql_query(locker, "UNLOCK TABLES");
    mysql_close(locker);
    return f;
}

}  // namespace

int main(int argc, char** argv) {
    qputenv("QT_QPA_PLATFORM", "offscreen");
    QApplication app(argc, argv);
    if (!local_server::useBuildSettings()) return 1;
    const auto reference = loadOnLoopback();
    if (!reference || reference->data.reservations().empty()) {
        std::fprintf(stderr, "no ticketing data in %s: run bench/run.sh\n", db::ticketingSettings().database.c_str());
        return 1;
    }
    std::printf("Loaded %zu rooms, %zu performances, %zu reservations; the link: %.0f ms each way, %.0f Mbit/s\n",
                reference->data.rooms().size(), reference->data.shows().size(), reference->data.reservations().size(),
                kHostedLink.delayMs, kHostedLink.bitsPerSecond / 1e6);
    bench::LinkProxy proxy(0, static_cast<uint16_t>(db::ticketingSettings().port), kHostedLink);
    const double roundTripMs = 2 * kHostedLink.delayMs;

    // A whole refresh, as "Mettre à jour" with the box unchecked: connect, read, close.
    std::vector<double> wholes;
    bool wholeSame = true;
    uint64_t wholeBytes = 0;
    for (int i = 0; i < 3; ++i) {
        sales::TicketingSync sync;
        db::OwnConnection link;
        proxy.reset();
        const auto start = Clock::now();
        const sales::RefreshOutcome o = sync.refresh(sales::RefreshKind::Whole, link, throughLink(proxy));
        link.close();
        wholes.push_back(msSince(start));
        wholeBytes = proxy.bytesDown();
        wholeSame = wholeSame && o.tables && sameFigures(*o.tables, *reference);
    }
    const std::string client = bench::mariadbClient(throughLink(proxy)) +
                               " -e 'SELECT * FROM salle; SELECT * FROM shows; SELECT * FROM res' > /dev/null";
    std::vector<double> clients;
    for (int i = 0; i < 3; ++i) {
        const auto start = Clock::now();
        if (std::system(client.c_str()) != 0) std::fprintf(stderr, "the mariadb client failed\n");
        clients.push_back(msSince(start));
    }

    // The timer's refreshes on a kept connection through the link, each beside one on the
    // loopback address, which times the server's own check under the same load of the machine.
    sales::TicketingSync loopSync;
    db::OwnConnection loopLink;
    loopSync.refresh(sales::RefreshKind::Whole, loopLink, db::ticketingSettings());
    sales::TicketingSync sync;
    db::OwnConnection link;
    sync.refresh(sales::RefreshKind::Whole, link, throughLink(proxy));
    // The first tick after a whole load opens the connection the ticks keep, with a check's
    // timeouts rather than a whole read's.
    loopSync.refresh(sales::RefreshKind::Changes, loopLink, db::ticketingSettings());
    sync.refresh(sales::RefreshKind::Changes, link, throughLink(proxy));
    std::vector<double> checks;
    std::vector<double> loopChecks;
    std::vector<double> overLink;  // each through the link less the one beside it
    std::size_t checkTrips = 0;
    uint64_t checkDown = 0, checkUp = 0;
    for (int i = 0; i < 15; ++i) {
        auto start = Clock::now();
        loopSync.refresh(sales::RefreshKind::Changes, loopLink, db::ticketingSettings());
        loopChecks.push_back(msSince(start));
        proxy.reset();
        start = Clock::now();
        sync.refresh(sales::RefreshKind::Changes, link, throughLink(proxy));
        checks.push_back(msSince(start));
        overLink.push_back(checks.back() - loopChecks.back());
        checkTrips = std::max(checkTrips, proxy.exchanges().size());
        checkDown = proxy.bytesDown();
        checkUp = proxy.bytesUp();
    }
    loopLink.close();

    // 20 performances' reservations changed, in the last season.
    std::vector<int32_t> changing;
    {
        std::mt19937 rng(2025);
        const auto& shows = reference->data.shows();
        while (static_cast<int>(changing.size()) < kChangedPerformances) {
            const int32_t id = shows[std::uniform_int_distribution<std::size_t>(0, shows.size() - 1)(rng)].id;
            if (std::find(changing.begin(), changing.end(), id) == changing.end()) changing.push_back(id);
        }
    }
    std::vector<double> changedTimes;
    uint64_t changedDown = 0, rowsDown = 0, checksDown = 0, plainRows = 0;
    int changedTrips = 0;
    bool changedSame = true;
    for (int round = 1; round <= 3; ++round) {
        changeReservations(changing, round);
        proxy.reset();
        const auto start = Clock::now();
        const sales::RefreshOutcome o = sync.refresh(sales::RefreshKind::Changes, link, throughLink(proxy));
        changedTimes.push_back(msSince(start));
        const auto exchanges = proxy.exchanges();
        changedTrips = static_cast<int>(exchanges.size());
        changedDown = proxy.bytesDown();
        // The last statement read the rows; the ones before it checked.
        rowsDown = downOf(exchanges, exchanges.size() - 1, exchanges.size());
        checksDown = downOf(exchanges, 0, exchanges.size() - 1);
        changedSame = changedSame && o.tables && !o.wholeLoad && o.rereadShowIds.size() == changing.size() &&
                      sameFigures(*o.tables, *loadOnLoopback());
    }
    {
        // The same rows, fetched plainly through the link.
        std::vector<int32_t> sorted = changing;
        std::sort(sorted.begin(), sorted.end());
        proxy.reset();
        db::OwnRunReport report;
        link.run("SELECT * FROM res WHERE show_id IN (" + idList(sorted) + ")", nullptr, nullptr, report);
        plainRows = proxy.bytesDown();
    }
    // A verification of every bucket with nothing changed: check values only.
    std::vector<double> verifyTimes;
    std::size_t verifyTrips = 0;
    uint64_t verifyDown = 0;
    bool verifyMovedNoRows = true;
    for (int i = 0; i < 3; ++i) {
        proxy.reset();
        const auto start = Clock::now();
        const sales::RefreshOutcome o = sync.refresh(sales::RefreshKind::Verify, link, throughLink(proxy));
        verifyTimes.push_back(msSince(start));
        verifyTrips = proxy.exchanges().size();
        verifyDown = proxy.bytesDown();
        verifyMovedNoRows = verifyMovedNoRows && o.reached && !o.tables;
    }
    link.close();

    // The server's own cost of the check values, on the loopback address: the digest's beside
    // the sum of CRC-32s it replaced, alternately, so that both see the same load.
    std::vector<double> digestChecks;
    std::vector<double> crcChecks;
    {
        db::OwnConnection loop;
        QString failure;
        loop.open(db::ticketingSettings(), failure);
        sales::TableColumns columns[sales::kTableCount];
        const char* firstRows[] = {"SELECT * FROM salle LIMIT 1", "SELECT * FROM shows LIMIT 1",
                                   "SELECT * FROM res LIMIT 1"};
        for (int t = 0; t < sales::kTableCount; ++t) {
            db::OwnRunReport report;
            loop.run(firstRows[t], nullptr, nullptr, report);
            columns[t] = report.columnNames;
        }
        for (int i = 0; i < 7; ++i) {
            for (auto [statement, times] : {std::pair{sales::totalsStatement(columns), &digestChecks},
                                            std::pair{crcTotalsStatement(columns), &crcChecks}}) {
                db::OwnRunReport report;
                const auto start = Clock::now();
                if (loop.run(statement, nullptr, nullptr, report) != db::kQueryOk)
                    std::fprintf(stderr, "check refused: %s\n", report.errorText.c_str());
                times->push_back(msSince(start));
            }
        }
    }

    // The window: the bench's account, then its ticks through the link over the last season's
    // first eight days, as the overview shows a week.
    if (db::connectProgramme() == 0) {
        db::QueryRunner(
            "INSERT IGNORE INTO `access` (`id`, `name`, `password`, `rights`) VALUES (999999, 'Bench', 'bench', 'all')",
            nullptr, nullptr);
        db::closeProgramme();
    }
    std::vector<int32_t> changingInView;
    for (const sales::TicketingShow& show : reference->data.shows()) {
        if (show.starts_at.startsWith(QStringLiteral("2025-07-0")) && changingInView.size() < kChangedPerformances)
            changingInView.push_back(show.id);
    }
    const WindowFigures w =
        runWindow(proxy, changingInView, QStringLiteral("2025-07-05T00:00:00"), QStringLiteral("2025-07-12T23:59:59"));

    const double whole = median(wholes);
    const double clientMs = median(clients);
    const double check = median(checks);
    const double loopCheck = median(loopChecks);
    std::printf("\nEvery refresh gave the tables of a whole load on the loopback address: %s\n",
                wholeSame && changedSame && w.same ? "yes" : "NO");
    std::printf("\nFigures over the link (medians)\n");
    std::printf(
        "  whole refresh, connection included: %.0f ms, %.1f MB; mariadb client: %.0f ms; ratio %.2f (target <= 1.1: "
        "%s)\n",
        whole, wholeBytes / 1e6, clientMs, whole / clientMs, verdict(whole <= 1.1 * clientMs));
    // The server's check takes some hundreds of milliseconds, and varies by tens from one run
    // to the next on a shared machine: the link's part is taken run by run.
    const double linkPart = median(overLink);
    std::printf(
        "  refresh with nothing changed: %.1f ms, %zu round trip(s), %llu bytes down, %llu up; the server's "
        "check on the loopback address %.1f ms; the link's part, run beside run: %.1f ms (target: 1 round trip "
        "of %.0f ms, with 10 ms of scheduling: %s)\n",
        check, checkTrips, static_cast<unsigned long long>(checkDown), static_cast<unsigned long long>(checkUp),
        loopCheck, linkPart, roundTripMs, verdict(checkTrips <= 1 && linkPart <= roundTripMs + 10));
    std::printf(
        "  refresh after %d performances' reservations changed: %.0f ms, %d round trips, %llu bytes down: "
        "%llu of rows, %llu of checks; the same rows fetched plainly: %llu bytes (target <= 2x those + the "
        "checks = %llu: %s)\n",
        kChangedPerformances, median(changedTimes), changedTrips, static_cast<unsigned long long>(changedDown),
        static_cast<unsigned long long>(rowsDown), static_cast<unsigned long long>(checksDown),
        static_cast<unsigned long long>(plainRows), static_cast<unsigned long long>(2 * plainRows + checksDown),
        verdict(changedDown <= 2 * plainRows + checksDown));
    std::printf(
        "  longest stall of the user-interface thread, %d rows in view: auto refresh with nothing changed "
        "%.1f ms, with %d performances changed %.1f ms (target <= 16 ms: %s); whole load (\"Mettre à jour\") "
        "%.1f ms; the machine's own, with no refresh: %.1f ms\n",
        w.rows, w.nothingChanged, kChangedPerformances, w.changed,
        verdict(std::max(w.nothingChanged, w.changed) <= 16.0), w.whole, w.idle);
    std::printf(
        "  the server's check values of the three tables (loopback, medians): half an MD5 per row %.0f ms, "
        "the sum of CRC-32s before them %.0f ms (%.2fx); a verification of every bucket through the link, "
        "nothing changed: %.0f ms, %zu round trips, %llu bytes down, no rows: %s\n",
        median(digestChecks), median(crcChecks), median(digestChecks) / std::max(median(crcChecks), 0.001),
        median(verifyTimes), verifyTrips, static_cast<unsigned long long>(verifyDown),
        verifyMovedNoRows ? "yes" : "NO");
    const double staleTarget = 1000.0 * db::ticketingSettings().timeout + CBreloDlg::kRefreshPeriodMs;
    std::printf(
        "  reservations locked by another session, auto refresh on: figures marked after %.1f s (\"%s\"; "
        "target: the check's timeout of %u s plus one tick, %.0f s: %s); the window closed in %.0f ms while "
        "its refresh waited on the lock (target 500 ms: %s)\n",
        w.staleAfter / 1000, w.staleText.toUtf8().constData(), db::ticketingSettings().timeout, staleTarget / 1000,
        verdict(w.staleAfter <= staleTarget), w.closing, verdict(w.closing <= 500));
    return 0;
}
