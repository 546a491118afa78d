// What a save costs now that it is a transaction that reads back its rows and writes its audit
// line, side by side with the same save as the statements alone (as saves ran before): round
// trips to the server and time, on the ten generated seasons that bench/run.sh loads. Then the
// manager's idle check: one round trip on its own connection, and the server's time for it
// with a season's worth of audit lines.
#include <QCoreApplication>
#include <algorithm>
#include <chrono>
#include <cstdio>
#include <functional>
#include <vector>

#include "bench/local_server.h"
#include "db/connections.h"
#include "db/programme_watch.h"
#include "db/query_runner.h"
#include "edits/edit_statements.h"
#include "edits/saves.h"
#include "platform/ui_services.h"
#include "programme/account.h"
#include "programme/programme_data.h"

namespace {

using Clock = std::chrono::steady_clock;

const char* verdict(bool met) { return met ? "met" : "NOT MET"; }

struct Cost {
    double ms = 0;
    long roundTrips = 0;
};

// The median time of runs of the work, each on a fresh connection as the handlers open one,
// and the round trips one run sends (the connection's own handshake left out: both ways pay it).
Cost measure(int runs, const std::function<void()>& work) {
    std::vector<double> times;
    long trips = 0;
    for (int i = 0; i < runs; ++i) {
        db::connectProgramme();
        const long before = db::programmeRoundTrips();
        const auto start = Clock::now();
        work();
        times.push_back(std::chrono::duration<double, std::milli>(Clock::now() - start).count());
        trips = db::programmeRoundTrips() - before;
        db::closeProgramme();
    }
    std::sort(times.begin(), times.end());
    return {times[times.size() / 2], trips};
}

void runStatements(const std::vector<std::string>& statements) {
    for (const std::string& s : statements) db::QueryRunner(s, nullptr, nullptr);
}

void print(const char* what, const Cost& before, const Cost& now) {
    std::printf("  %s: %ld round trip(s) and %.2f ms before, %ld and %.2f ms now: %+ld (target <= +1: %s)\n", what,
                before.roundTrips, before.ms, now.roundTrips, now.ms, now.roundTrips - before.roundTrips,
                verdict(now.roundTrips - before.roundTrips <= 1));
}

}  // namespace

int main(int argc, char** argv) {
    QCoreApplication app(argc, argv);
    if (!local_server::useBuildSettings()) return 1;
    account::setForTests(QStringLiteral("Bench"), QStringLiteral("all"));
    if (programme::reloadAll(nullptr) != 0 || programme::companies().empty()) {
        std::fprintf(stderr, "no generated programme in %s: run bench/run.sh\n",
                     db::programmeSettings().database.c_str());
        return 1;
    }
    constexpr int kRuns = 31;
    std::printf("\nSaves as transactions (medians of %d, on the loopback address)\n", kRuns);

    // A company's address.
    const programme::Company company = programme::companies().front();
    int n = 0;
    const Cost companyBefore = measure(kRuns, [&] {
        runStatements({edits::editCompanyStatement(company.nom, company.email, QStringLiteral("adresse %1").arg(++n),
                                                   company.contact1, company.contact2, company.id)});
    });
    // Each save's base is what the one before stored: no clash, one save measured each run.
    programme::Company stored = company;
    stored.fulladr = QStringLiteral("adresse %1").arg(n);
    const Cost companyNow = measure(kRuns, [&] {
        edits::CompanyFields mine = edits::fieldsOf(stored);
        mine.fulladr = QStringLiteral("adresse %1").arg(++n);
        edits::editCompany(stored, mine, edits::Resolution{});
        stored.fulladr = mine.fulladr;
    });
    print("company edit", companyBefore, companyNow);

    // A group of several slots, one of them moved.
    int head = -1;
    std::size_t most = 0;
    for (int i = 0; i < static_cast<int>(programme::timeslots().size()); ++i) {
        const auto& slot = programme::timeslots()[static_cast<std::size_t>(i)];
        if (!programme::isGroupHead(slot) || programme::isDeleted(slot.deleted)) continue;
        const std::size_t size = edits::groupRows(i).rows.size();
        if (size > most) {
            most = size;
            head = i;
        }
        if (most >= 6) break;
    }
    const edits::GroupRows group = edits::groupRows(head);
    const planning::TimeslotEditorData input = edits::editorInput(group);
    const auto groupStatements = [&] {
        std::vector<std::string> statements;
        const auto headId = static_cast<int32_t>(programme::leadingInteger(group.rows[0].id));
        for (std::size_t p = 0; p < group.rows.size(); ++p) {
            const auto id = static_cast<unsigned>(programme::leadingInteger(group.rows[p].id));
            statements.push_back(
                p == 0 ? edits::editGroupHeadStatement(input.entries[p], input.showId, input.room, input.survey,
                                                       input.todo, input.done, id)
                       : edits::editGroupChildStatement(input.entries[p], input.showId, input.room, headId, id));
        }
        return statements;
    }();
    const Cost groupBefore = measure(kRuns, [&] { runStatements(groupStatements); });
    const Cost groupNow = measure(kRuns, [&] { edits::editGroup(group, input, edits::Resolution{}); });
    char what[64];
    std::snprintf(what, sizeof what, "group edit (%zu slots)", group.rows.size());
    print(what, groupBefore, groupNow);

    // The manager's idle check, with a season's worth of audit lines behind it.
    db::connectProgramme();
    db::QueryRunner(
        "INSERT INTO `logs` (`utc`, `log`) SELECT UTC_TIMESTAMP(), IF(`seq` % 5 = 0, 'Bench : manager started', "
        "CONCAT('Bench : compagnie ', `seq`, ' : adresse modifi\xe9"
        "e [comp=', `seq`, ']')) FROM `seq_1_to_50000`",
        nullptr, nullptr);
    db::QueryRunner("INSERT INTO `logs` (`utc`, `log`) VALUES (UTC_TIMESTAMP(), 'Bench : manager started')", nullptr,
                    nullptr);
    db::closeProgramme();
    db::ProgrammeWatch watch;
    watch.firstRow(programme::kChangeStampStatement);  // its connection, opened once
    std::vector<double> checks;
    for (int i = 0; i < 201; ++i) {
        const auto start = Clock::now();
        watch.firstRow(programme::kChangeStampStatement);
        checks.push_back(std::chrono::duration<double, std::milli>(Clock::now() - start).count());
    }
    std::sort(checks.begin(), checks.end());
    // The server reads the index backwards from the newest line: the rows it read tell.
    const auto examined = watch.firstRow(std::string("ANALYZE FORMAT=JSON ") + programme::kChangeStampStatement);
    std::string rowsRead = "?";
    if (examined) {
        const auto at = examined->find("\"r_rows\": ");
        if (at != std::string::npos)
            rowsRead = examined->substr(at + 10, examined->find_first_of(",\n}", at + 10) - at - 10);
    }
    std::printf(
        "  idle check: 1 round trip on its own connection, %.3f ms there and back, the server's time within it "
        "(target < 1 ms: %s); lines read among 50,000: %s\n",
        checks[checks.size() / 2], verdict(checks[checks.size() / 2] < 1.0), rowsRead.c_str());
    return 0;
}
