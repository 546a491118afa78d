// The programme manager on the ten generated seasons that bench/run.sh loads into the local
// server, offscreen: opening the window (the five loads, the list fills and the first paint
// of the planning), one `reload all`, one repaint of the planning in each mode and one hover
// tick that finds the record it found before, side by side with the mariadb client fetching
// the same five tables over the same TLS; then the resident memory with the window open, and
// what one connection costs with and without TLS. The indexed lookups are first checked
// against the plain scans they replace.
#include <QApplication>
#include <QEventLoop>
#include <QTimer>
#include <algorithm>
#include <chrono>
#include <cstdio>
#include <cstdlib>
#include <fstream>
#include <functional>
#include <string>
#include <vector>

#include "bench/local_server.h"
#include "bench/mariadb_client.h"
#include "bench/median_time.h"
#include "db/connections.h"
#include "dialog/controls.h"
#include "manager/manager_dlg.h"
#include "manager/manager_lists.h"
#include "planning/planning_draw.h"
#include "programme/account.h"
#include "programme/programme_data.h"

namespace {

using bench::Clock;
using bench::median;
using bench::medianMs;
using bench::msSince;

long statusKb(const char* field) {
    std::ifstream in("/proc/self/status");
    std::string line;
    const std::string key = std::string(field) + ":";
    while (std::getline(in, line))
        if (line.rfind(key, 0) == 0) return std::atol(line.c_str() + key.size());
    return -1;
}

std::string clientCommand() {
    return bench::mariadbClient(db::programmeSettings()) +
           " -e 'SELECT * FROM salle; SELECT * FROM comp ORDER BY `nom` DESC; SELECT * FROM showname ORDER BY `name` "
           "DESC; SELECT * FROM timeslot ORDER BY `date` ASC, `start` ASC; SELECT * FROM contract ORDER BY `created` "
           "DESC' >/dev/null";
}

// One programme connection opened and closed, as each unit of work does: with TLS, the server's
// certificate verified, or with TLS off (the local server accepts both). Zero when one of
// the connections failed.
double connectMs(bool tls) {
    db::ConnectionSettings& s = db::programmeSettings();
    const bool configured = s.tls;
    s.tls = tls;
    bool failed = false;
    const double ms = medianMs(51, [&] {
        failed |= db::connectProgramme() != 0;
        db::closeProgramme();
    });
    s.tls = configured;
    return failed ? 0.0 : ms;
}

// The lists and counts of the indexed lookups against the plain scans.
bool lookupsAgreeWithScans() {
    for (const programme::Timeslot& slot : programme::timeslots()) {
        if (programme::countChildren(slot.id) != programme::scan::countChildren(slot.id)) return false;
        QString a, b;
        if (programme::showLookup(slot.showname, &a) != programme::scan::showLookup(slot.showname, &b) || a != b)
            return false;
    }
    for (const programme::Contract& contract : programme::contracts())
        if (programme::timeslotIndexById(contract.ts) != programme::scan::timeslotIndexById(contract.ts)) return false;
    return true;
}

const char* verdict(bool met) { return met ? "met" : "NOT MET"; }

struct Figures {
    double open = 0, reload = 0, timeline = 0, calendar = 0, hover = 0;
    std::size_t visibleRows = 0;
    int contentHeight = 0;
    long rssKb = 0;
    bool agree = false;
};

// Runs the window once; in its event loop, measures what the window does there.
Figures runWindow(bool measureAll) {
    Figures f;
    const auto start = Clock::now();
    manager window;
    QTimer::singleShot(0, &window, [&] {
        // The tables load on the manager's own thread, then go into the lists in slices.
        while (window.loading()) QCoreApplication::processEvents(QEventLoop::WaitForMoreEvents, 5);
        auto* area = qobject_cast<dlg::OwnerDrawButton*>(window.item(manager::kPlanningArea));
        (void)area->grab();
        f.open = msSince(start);
        if (measureAll) {
            f.agree = lookupsAgreeWithScans();
            f.reload = medianMs(9, [&] { window.reloadAll(); });
            (void)area->grab();
            f.timeline = medianMs(21, [&] { (void)area->grab(); });
            f.contentHeight = area->contentHeight();
            f.visibleRows = window.planningPane().hitList().size();
            const planning::HitEntry first =
                window.planningPane().hitList().empty() ? planning::HitEntry{} : window.planningPane().hitList()[0];
            const QPoint point(20, (first.top + first.bottom) / 2);
            window.planningPane().hoverAt(point);
            f.hover = medianMs(101, [&] { window.planningPane().hoverAt(point); });
            window.setChecked(manager::kCalendar, true);
            (void)area->grab();
            f.calendar = medianMs(21, [&] { (void)area->grab(); });
            window.setChecked(manager::kCalendar, false);
            f.rssKb = statusKb("VmRSS");
        }
        window.EndDialog(platform::IDOK);
    });
    window.DoModal();
    return f;
}

}  // namespace

int main(int argc, char** argv) {
    qputenv("QT_QPA_PLATFORM", "offscreen");
    QApplication app(argc, argv);
    if (!local_server::useBuildSettings()) return 1;
    account::setForTests(QStringLiteral("Bench"), QStringLiteral("all"));
    if (db::connectProgramme() != 0 || programme::reloadAll(nullptr) != 0 || programme::timeslots().size() < 10000) {
        std::fprintf(stderr, "no generated programme in %s: run bench/run.sh\n",
                     db::programmeSettings().database.c_str());
        return 1;
    }
    std::printf("Loaded %zu companies, %zu shows, %zu timeslots, %zu contracts\n", programme::companies().size(),
                programme::shows().size(), programme::timeslots().size(), programme::contracts().size());

    const std::string command = clientCommand();
    const double client = medianMs(15, [&] {
        if (std::system(command.c_str()) != 0) std::fprintf(stderr, "the mariadb client failed\n");
    });

    const double connectTls = connectMs(true);
    const double connectPlain = connectMs(false);
    const double loadsOnly = medianMs(5, [] { programme::reloadAll(nullptr); });
    std::vector<double> opens;
    for (int i = 0; i < 9; ++i) opens.push_back(runWindow(false).open);
    const Figures f = runWindow(true);
    const double open = median(opens);
    std::printf("Indexed lookups and list counts agree with the plain scans: %s\n", f.agree ? "yes" : "NO");
    std::printf("Default range: %zu rows in view, the timeline %d px high (rows of %d px)\n", f.visibleRows,
                f.contentHeight, planning::kMinRowHeight);

    std::printf("\nFigures (medians)\n");
    std::printf("  mariadb client fetching the five tables: %.1f ms\n", client);
    std::printf("  manager open (loads, lists, first planning paint): %.1f ms, %.2fx the client (target <= 2: %s)\n",
                open, open / client, verdict(open <= 2 * client));
    std::printf("  the five loads without the lists: %.1f ms\n", loadsOnly);
    std::printf(
        "  connect and close: %.2f ms with TLS and the certificate verified, %.2f ms without TLS; the\n"
        "    handshake costs %.2f ms a unit of work on this machine (over the internet, add its round trips)\n",
        connectTls, connectPlain, connectTls - connectPlain);
    std::printf("  reload all: %.1f ms, %.2fx the client (target <= 2: %s)\n", f.reload, f.reload / client,
                verdict(f.reload <= 2 * client));
    std::printf("  planning repaint, timeline: %.2f ms (target <= 16 ms: %s)\n", f.timeline, verdict(f.timeline <= 16));
    std::printf("  planning repaint, calendar: %.2f ms (target <= 16 ms: %s)\n", f.calendar, verdict(f.calendar <= 16));
    std::printf("  hover tick on the same record: %.4f ms (target <= 1 ms: %s)\n", f.hover, verdict(f.hover <= 1));
    std::printf("  resident memory with the manager open: %.1f MB (target <= 150 MB: %s)\n", f.rssKb / 1024.0,
                verdict(f.rssKb / 1024.0 <= 150));
    return 0;
}
