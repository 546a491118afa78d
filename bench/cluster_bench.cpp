// What the programme connection costs on a node of a Galera cluster beside one plain server
// holding the same programme (bench/cluster.sh loads ten generated seasons into both): the
// question asked once per run, the connect (on a node one more round trip: the session's
// causal reads), a reload with and without causal reads, the manager's idle check, and a save
// (on a node each statement travels alone). Medians, on the loopback address.
//   brelo_cluster_bench NODE_PORT     (the plain server: the compiled-in settings)
#include <QCoreApplication>
#include <algorithm>
#include <chrono>
#include <cstdio>
#include <functional>
#include <string>
#include <vector>

#include "bench/local_server.h"
#include "bench/median_time.h"
#include "db/cluster_session.h"
#include "db/connections.h"
#include "db/programme_watch.h"
#include "db/query_runner.h"
#include "edits/saves.h"
#include "programme/account.h"
#include "programme/programme_data.h"

namespace {

using bench::Clock;
using bench::medianMs;

struct Server {
    const char* name;
    unsigned port;
};

// Points the programme connection at a server, and has the program learn what it is.
void use(const Server& server) {
    db::closeProgramme();
    db::programmeSettings().port = server.port;
    db::forgetProgrammeServerKind();
    db::connectProgramme();
    db::closeProgramme();
}

// A company's address changed, as the company dialog saves it: time and round trips.
void saveFigures(const Server& server) {
    int n = 0;
    long trips = 0;
    // Each save's base is what the one before stored: no clash, one save measured each run.
    programme::Company stored = programme::companies().front();
    const double ms = medianMs(31, [&] {
        edits::CompanyFields mine = edits::fieldsOf(stored);
        mine.fulladr = QStringLiteral("adresse %1").arg(++n);
        db::connectProgramme();
        const long before = db::programmeRoundTrips();
        edits::editCompany(stored, mine, edits::Resolution{});
        trips = db::programmeRoundTrips() - before;
        db::closeProgramme();
        stored.fulladr = mine.fulladr;
    });
    std::printf("  %s: a company edit %ld round trips, %.2f ms\n", server.name, trips, ms);
}

}  // namespace

int main(int argc, char** argv) {
    QCoreApplication app(argc, argv);
    if (!local_server::useBuildSettings()) return 1;
    if (argc != 2) {
        std::fprintf(stderr, "usage: brelo_cluster_bench NODE_PORT\n");
        return 2;
    }
    account::setForTests(QStringLiteral("Bench"), QStringLiteral("all"));
    const Server plain{"one server", db::programmeSettings().port};
    const Server node{"cluster node", static_cast<unsigned>(std::stoul(argv[1]))};
    std::printf("\nThe programme on a Galera node beside one server (medians, on the loopback address)\n");

    for (const Server& server : {plain, node}) {
        use(server);
        const bool isNode = db::programmeServerKind() == db::ServerKind::ClusterNode;
        const double asking = medianMs(31, [] {
            db::forgetProgrammeServerKind();
            db::connectProgramme();
            db::closeProgramme();
        });
        const double known = medianMs(31, [] {
            db::connectProgramme();
            db::closeProgramme();
        });
        std::printf("  %s (%s): connect and close %.2f ms, the first of a run (asking) %.2f ms\n", server.name,
                    isNode ? "recognised as a node" : "recognised as plain", known, asking);
        if (programme::reloadAll(nullptr) != 0 || programme::companies().empty()) {
            std::fprintf(stderr, "no generated programme on %s: run bench/cluster.sh\n", server.name);
            return 1;
        }
        const double reload = medianMs(9, [] { programme::reloadAll(nullptr); });
        std::printf("  %s: reload all %.1f ms", server.name, reload);
        if (isNode) {
            const double withoutWaiting = medianMs(9, [] {
                db::connectProgramme();
                db::QueryRunner("SET SESSION wsrep_sync_wait = 0", nullptr, nullptr);
                programme::reloadAll(nullptr);
            });
            std::printf(" (%.1f ms without causal reads)", withoutWaiting);
        }
        db::ProgrammeWatch watch;
        watch.firstRow(programme::kChangeStampStatement);
        const double check = medianMs(201, [&] { watch.firstRow(programme::kChangeStampStatement); });
        std::printf(", idle check %.3f ms\n", check);
        saveFigures(server);
    }
    db::closeProgramme();
    return 0;
}
