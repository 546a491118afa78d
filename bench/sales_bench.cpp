// The sales overview's work on the ticketing database that is loaded in the local server
// (bench/run.sh loads ten generated seasons there):
//  - aggregation over the whole range, all row texts and totals, without the list control:
//    the index against the plain scan of every reservation for every performance;
//  - a full refresh (load and aggregate) against the mariadb client fetching the same
//    three tables in batch mode;
//  - the resident memory once the tables are loaded.
#include <benchmark/benchmark.h>

#include <QCoreApplication>

#include <cstdio>
#include <cstdlib>
#include <fstream>
#include <map>
#include <string>

#include "bench/local_server.h"
#include "bench/mariadb_client.h"
#include "db/connections.h"
#include "sales/aggregation.h"
#include "sales/ticketing_data.h"

namespace {

sales::TicketingData g_data;
sales::SalesIndex g_index;

const sales::AggregateFilter kWholeRange{
    QStringLiteral("0000-01-01 00:00:00"), QStringLiteral("9999-12-31 23:59:59"), {}, {}};

// A field of /proc/self/status, in kB.
long statusKb(const char* field) {
    std::ifstream in("/proc/self/status");
    std::string line;
    const std::string key = std::string(field) + ":";
    while (std::getline(in, line)) {
        if (line.rfind(key, 0) == 0) return std::atol(line.c_str() + key.size());
    }
    return -1;
}

void BM_AggregateIndex(benchmark::State& state) {
    std::size_t rows = 0;
    for (auto _ : state) {
        sales::AggregateResult r = g_index.aggregate(g_data, kWholeRange);
        rows = r.rows.size();
        benchmark::DoNotOptimize(r);
    }
    state.counters["rows"] = static_cast<double>(rows);
}

void BM_AggregateScan(benchmark::State& state) {
    for (auto _ : state) {
        sales::AggregateResult r = sales::aggregateByScan(g_data, kWholeRange);
        benchmark::DoNotOptimize(r);
    }
}

// What the index costs once per load.
void BM_BuildIndex(benchmark::State& state) {
    for (auto _ : state) {
        sales::SalesIndex index;
        index.build(g_data);
        benchmark::DoNotOptimize(index);
    }
}

void BM_FullRefresh(benchmark::State& state) {
    for (auto _ : state) {
        sales::load(g_data, g_index);
        sales::AggregateResult r = g_index.aggregate(g_data, kWholeRange);
        benchmark::DoNotOptimize(r);
    }
    state.counters["reservations"] = static_cast<double>(g_data.reservations().size());
}

std::string clientCommand() {
    return bench::mariadbClient(db::ticketingSettings()) +
           " -e 'SELECT * FROM salle; SELECT * FROM shows; SELECT * FROM res' > /dev/null";
}

void BM_ClientBatchFetch(benchmark::State& state) {
    const std::string command = clientCommand();
    for (auto _ : state) {
        if (std::system(command.c_str()) != 0) {
            state.SkipWithError("the mariadb client failed");
            break;
        }
    }
}

BENCHMARK(BM_AggregateIndex)->Unit(benchmark::kMillisecond)->Repetitions(20)->ReportAggregatesOnly(true);
BENCHMARK(BM_AggregateScan)->Unit(benchmark::kMillisecond)->Iterations(1)->Repetitions(5)->ReportAggregatesOnly(true);
BENCHMARK(BM_BuildIndex)->Unit(benchmark::kMillisecond)->Repetitions(5)->ReportAggregatesOnly(true);
BENCHMARK(BM_FullRefresh)
    ->Unit(benchmark::kMillisecond)
    ->Iterations(1)
    ->Repetitions(7)
    ->UseRealTime()
    ->ReportAggregatesOnly(true);
BENCHMARK(BM_ClientBatchFetch)
    ->Unit(benchmark::kMillisecond)
    ->Iterations(1)
    ->Repetitions(7)
    ->UseRealTime()
    ->ReportAggregatesOnly(true);

// Keeps the medians, to set them against the targets once everything has run.
class MedianReporter : public benchmark::ConsoleReporter {
public:
    void ReportRuns(const std::vector<Run>& runs) override {
        for (const Run& run : runs) {
            if (run.aggregate_name == "median") medians_[run.run_name.function_name] = run.GetAdjustedRealTime();
        }
        ConsoleReporter::ReportRuns(runs);
    }
    double median(const std::string& name) const {
        const auto it = medians_.find(name);
        return it == medians_.end() ? -1.0 : it->second;
    }

private:
    std::map<std::string, double> medians_;  // in each benchmark's unit, milliseconds here
};

const char* verdict(bool met) { return met ? "met" : "NOT MET"; }

}  // namespace

int main(int argc, char** argv) {
    benchmark::Initialize(&argc, argv);
    if (benchmark::ReportUnrecognizedArguments(argc, argv)) return 1;
    // As in the program: the connections find a relative authority file from the executable's folder.
    QCoreApplication app(argc, argv);
    if (!local_server::useBuildSettings()) return 1;

    const long rssBefore = statusKb("VmRSS");
    sales::load(g_data, g_index);
    const long rssAfter = statusKb("VmRSS");
    const long peak = statusKb("VmHWM");
    if (g_data.shows().empty() || g_data.reservations().empty()) {
        std::fprintf(stderr, "no ticketing data in %s: run bench/run.sh\n", db::ticketingSettings().database.c_str());
        return 1;
    }
    std::printf("Loaded %zu rooms, %zu performances, %zu reservations\n", g_data.rooms().size(), g_data.shows().size(),
                g_data.reservations().size());
    {
        // The figures are only worth timing if both ways agree on them.
        const bool same = g_index.aggregate(g_data, kWholeRange) == sales::aggregateByScan(g_data, kWholeRange);
        std::printf("Index and plain scan give the same texts: %s\n", same ? "yes" : "NO");
        if (!same) return 1;
    }

    MedianReporter reporter;
    benchmark::RunSpecifiedBenchmarks(&reporter);

    const double index = reporter.median("BM_AggregateIndex");
    const double scan = reporter.median("BM_AggregateScan");
    const double build = reporter.median("BM_BuildIndex");
    const double refresh = reporter.median("BM_FullRefresh");
    const double client = reporter.median("BM_ClientBatchFetch");
    const double rssMb = rssAfter / 1024.0;
    std::printf("\nFigures (medians)\n");
    if (index > 0)
        std::printf("  aggregation, whole range: %.3f ms (target <= 5 ms: %s)\n", index, verdict(index <= 5.0));
    if (index > 0 && scan > 0)
        std::printf("  plain scan: %.1f ms, %.0f times slower (target >= 100: %s)\n", scan, scan / index,
                    verdict(scan / index >= 100.0));
    if (build > 0) std::printf("  building the index, once per load: %.1f ms\n", build);
    if (refresh > 0 && client > 0)
        std::printf("  full refresh: %.1f ms; mariadb client batch fetch: %.1f ms; ratio %.2f (target <= 1.5: %s)\n",
                    refresh, client, refresh / client, verdict(refresh / client <= 1.5));
    std::printf("  resident memory after loading: %.1f MB (%.1f MB before, peak %.1f MB) (target <= 150 MB: %s)\n",
                rssMb, rssBefore / 1024.0, peak / 1024.0, verdict(rssMb <= 150.0));
    std::printf("  resident memory after every refresh: %.1f MB\n", statusKb("VmRSS") / 1024.0);
    benchmark::Shutdown();
    return 0;
}
