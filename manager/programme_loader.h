// The manager's reads on a thread and connection of their own, so that the window keeps
// answering while the tables cross the link: one job at a time, its outcome kept for the
// window's thread to take.
//
// A whole load reads the five tables with the loads' own statements, after noting the newest
// audit lines. The idle check asks for the audit lines the loader has not seen yet; each save
// names its rows at the end of its line ("[comp=2 showname=2]"), and just those rows are read
// again by id, every table in one statement: two round trips for a colleague's save, one when
// nobody saved. Changes made outside the program write no audit line: a slower check compares
// one check value per table with those of the rows held, then per bucket of 64 ids, then per
// row within the buckets that differ, and reads again only the rows that differ. After a save of
// the window's own the check values come with the new audit lines, in the same statement: the
// lists then hold what is stored, in two round trips when nothing changed outside the program.
#pragma once

#include <QString>
#include <QStringList>
#include <array>
#include <condition_variable>
#include <cstdint>
#include <deque>
#include <map>
#include <memory>
#include <mutex>
#include <optional>
#include <set>
#include <string>
#include <thread>
#include <utility>
#include <vector>

#include "db/own_connection.h"
#include "programme/programme_data.h"

namespace manager_load {

enum class Job {
    Whole,    // the five tables read whole: the manager opening
    Changes,  // the rows the new audit lines name: the idle check
    Verify,   // Changes, then the tables' check values: the slower check
    Saved,    // Changes with the check values read alongside the lines: after a save of the window's own
};

inline constexpr int kTableCount = 5;
using Asked = std::map<programme::ProgrammeTable, QStringList>;

struct Outcome {
    Job job = Job::Whole;
    unsigned generation = 0;  // the window's, when it posted the job
    bool reached = false;     // the server answered every statement
    QString openFailure;      // the message of a connection that could not be opened
    // The statements refused, each with the library's text for it.
    std::vector<std::pair<std::string, std::string>> failures;
    // The opening's audit line, written after the last whole load was handed over, refused.
    std::vector<std::pair<std::string, std::string>> lateFailures;
    // Whole: the tables read, each handed over as soon as it is read (`piece`, one table in
    // `whole`, the window filling its list while the next crosses the link), then the end of
    // the job (no table, its failures).
    std::shared_ptr<programme::Tables> whole;
    bool piece = false;
    programme::ProgrammeTable table = programme::ProgrammeTable::Rooms;
    // Changes and Verify: the rows read again, and the ids asked for by table (an asked id
    // missing from the rows is gone from its table).
    programme::Tables rows;
    Asked asked;
    int statements = 0;  // sent on the connection, each one round trip
    bool changed() const { return whole || !asked.empty(); }
};

// A row's check value as the server computes it with checkExpression(): the first 44 bits of
// the MD5 of its column texts joined by the unit separator (0x1F), so that the sum of a whole
// table's fits 64 bits.
uint64_t rowCheck(int32_t count, char** columns);
// The server's expression for the same, from the table's column names.
std::string checkExpression(const std::vector<std::string>& columns);

// The audit lines not seen yet: above the lowest of the newest lines seen, the newest ones
// left out. Not only above the newest: a line's id is taken when its save writes it and becomes
// visible when the save commits, so a save that took its id before a colleague's and committed
// after it adds a line below the newest. After a whole load the newest lines all count as new:
// they may have committed while the tables crossed the link (their rows are read again once,
// which costs the opening no round trip).
class SeenLines {
public:
    static constexpr std::size_t kKept = 16;
    // The statement reading the new lines (id, log).
    std::string newLinesStatement() const;
    void restart();  // after a whole load
    void see(long long id);

private:
    void trim();
    std::set<long long> seen_;
    long long below_ = 0;  // every line at or below it counts as seen
    bool started_ = false;
};

// The rows a set of audit lines names, by table, from their tails ("plan" names a timeslot).
Asked rowsNamed(const std::vector<QString>& logTexts);
// The one statement reading the named rows of every table again, each row tagged with its
// table (programme::RowSink::tagged) and padded with NULLs to the widest table's columns.
std::string rowsStatement(const Asked& asked, const std::array<int, kTableCount>& columnCounts);

class Loader {
public:
    using Ready = std::function<void()>;
    // `ready` runs on the loader's thread when an outcome can be taken, and when the opening's
    // audit line is written after its tables (the loader free again).
    explicit Loader(Ready ready);
    // Ends the job under way at once: the statement it waits on is cut off.
    ~Loader();
    Loader(const Loader&) = delete;
    Loader& operator=(const Loader&) = delete;

    // One job at a time: false (nothing posted) while one runs or waits to be taken. A whole
    // load runs `thenWrite` once the tables are read (the manager's opening line).
    bool post(Job job, const db::ConnectionSettings& settings, unsigned generation, std::string thenWrite = {});
    bool busy() const;
    // Whether the five tables were read whole once: until then every job is a whole load.
    bool loadedWhole() const;
    // Waits until the job under way, if any, has its outcome.
    void waitIdle();
    // The next outcome not taken yet (a whole load's pieces, then its end), once; null when
    // there is none.
    std::shared_ptr<Outcome> take();
    // Frees what it is given on the loader's thread.
    void dispose(std::shared_ptr<const void> tables);

private:
    struct Posted {
        Job job;
        db::ConnectionSettings settings;
        unsigned generation;
        std::string thenWrite;
    };
    void run();
    void whole(Outcome& out);
    // With `totals`, the tables' check values are read in the lines' statement and put there.
    void changes(Outcome& out, std::vector<std::string>* totals = nullptr);
    void verify(Outcome& out);
    // The statement's columns giving each table's check value: "rows sum".
    std::string totalsColumns() const;
    // The rows that differ from the check values read, read again and added to the outcome.
    void readDiffering(Outcome& out, const std::vector<std::string>& totals);
    bool send(Outcome& out, const std::string& statement, db::RowCallback callback, void* context,
              db::OwnRunReport* report = nullptr);
    void readRows(Outcome& out);
    void noteChecks(programme::ProgrammeTable table, const QStringList& asked, const programme::Tables& rows);

    Ready ready_;
    db::OwnConnection link_;  // the loader thread's alone
    SeenLines seen_;
    std::array<std::vector<std::string>, kTableCount> columns_;
    std::array<int, kTableCount> columnCounts_{};
    // The check value of each row held, by id, as computed from the texts that arrived.
    std::array<std::map<long long, uint64_t>, kTableCount> checks_;
    bool loadedWhole_ = false;  // the loader thread's; told under the mutex below
    bool toldWhole_ = false;

    mutable std::mutex mutex_;
    std::condition_variable wake_;
    std::condition_variable done_;
    std::optional<Posted> posted_;
    bool running_ = false;
    std::deque<std::shared_ptr<Outcome>> outcomes_;
    std::vector<std::shared_ptr<const void>> disposed_;
    // The opening's audit line is written once its tables are handed over; a refusal is told
    // with the next outcome.
    std::vector<std::pair<std::string, std::string>> lateFailures_;
    bool writing_ = false;
    bool stop_ = false;
    std::thread thread_;  // last: starts once everything it uses is made
};

}  // namespace manager_load
