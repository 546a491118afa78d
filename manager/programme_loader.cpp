#include "manager/programme_loader.h"

#include <QCryptographicHash>
#include <algorithm>
#include <cstdlib>
#include <cstring>

#include "db/codepage.h"
#include "edits/change_trail.h"
#include "platform/thread_priority.h"

namespace manager_load {

using programme::ProgrammeTable;

namespace {

constexpr ProgrammeTable kTables[kTableCount] = {ProgrammeTable::Rooms, ProgrammeTable::Companies,
                                                 ProgrammeTable::Shows, ProgrammeTable::Timeslots,
                                                 ProgrammeTable::Contracts};
constexpr int kBucketWidth = 64;

int indexOf(ProgrammeTable table) { return static_cast<int>(table); }

std::string quotedName(const std::string& name) {
    std::string quoted = "`";
    for (char c : name) quoted += c == '`' ? std::string("``") : std::string(1, c);
    return quoted + "`";
}

std::string idList(const QStringList& ids) {
    std::string list;
    for (const QString& id : ids) {
        if (!list.empty()) list += ',';
        list += id.toStdString();
    }
    return list;
}

// The ids an audit line names, as the server writes them: a text that is not a number names
// nothing (the statement is built from numbers only).
QStringList numericIds(const QStringList& ids) {
    QStringList numbers;
    for (const QString& id : ids) {
        bool ok = false;
        const long long value = id.trimmed().toLongLong(&ok);
        if (!ok) continue;
        const QString text = QString::number(value);
        if (!numbers.contains(text)) numbers << text;
    }
    return numbers;
}

std::optional<ProgrammeTable> tableOfKey(const QString& key) {
    if (key == QLatin1String(edits::kCleanedPlanKey)) return ProgrammeTable::Timeslots;
    for (ProgrammeTable table : kTables)
        if (key == QLatin1String(programme::tableName(table))) return table;
    return std::nullopt;
}

// The rows of one statement: made into records as the loads make them, each row's check value
// noted by table and id.
struct Reading {
    explicit Reading(programme::Tables& into, ProgrammeTable of, bool byTag,
                     const std::array<int, kTableCount>& idCounts)
        : sink(byTag ? programme::RowSink::tagged(into) : programme::RowSink(into, of)),
          table(of),
          tagged(byTag),
          counts(idCounts) {}
    programme::RowSink sink;
    ProgrammeTable table;
    bool tagged;
    const std::array<int, kTableCount>& counts;
    std::array<std::map<long long, uint64_t>, kTableCount> checks;
};

int32_t readRow(void* context, int32_t count, char** columns, void*) {
    auto* reading = static_cast<Reading*>(context);
    int table = indexOf(reading->table);
    char** own = columns;
    int32_t ownCount = count;
    if (reading->tagged) {
        if (count < 2 || !columns[0]) return 0;
        table = std::atoi(columns[0]);
        if (table < 0 || table >= kTableCount) return 0;
        ++own;
        // The padding is no column of the table's.
        ownCount = std::min(count - 1, reading->counts[static_cast<std::size_t>(table)]);
    }
    if (ownCount > 0 && own[0])
        reading->checks[static_cast<std::size_t>(table)][std::atoll(own[0])] = rowCheck(ownCount, own);
    return programme::RowSink::append(&reading->sink, count, columns, nullptr);
}

struct Lines {
    std::vector<std::pair<long long, QString>> lines;
};

int32_t readLine(void* context, int32_t count, char** columns, void*) {
    if (count < 1 || !columns[0]) return 0;
    auto* lines = static_cast<Lines*>(context);
    lines->lines.emplace_back(std::atoll(columns[0]), count > 1 && columns[1] ? db::fromAnsi(columns[1]) : QString());
    return 0;
}

// Rows of (tag, key, rows, sum) or (tag, key, check): by table, by key.
struct Keyed {
    std::array<std::map<long long, std::pair<uint64_t, uint64_t>>, kTableCount> values;
};

int32_t readKeyed(void* context, int32_t count, char** columns, void*) {
    if (count < 3) return 0;
    const int table = std::atoi(columns[0]);
    if (table < 0 || table >= kTableCount) return 0;
    const long long key = std::atoll(columns[1]);
    const uint64_t first = std::strtoull(columns[2], nullptr, 10);
    const uint64_t second = count > 3 ? std::strtoull(columns[3], nullptr, 10) : 0;
    static_cast<Keyed*>(context)->values[static_cast<std::size_t>(table)][key] = {first, second};
    return 0;
}

long long bucketOf(long long id) { return id / kBucketWidth; }  // as the server's DIV

}  // namespace

uint64_t rowCheck(int32_t count, char** columns) {
    QByteArray joined;
    for (int32_t i = 0; i < count; ++i) {
        if (i) joined += '\x1f';
        if (columns[i]) joined += columns[i];
    }
    const QByteArray hex = QCryptographicHash::hash(joined, QCryptographicHash::Md5).toHex().left(11);
    return hex.toULongLong(nullptr, 16);
}

// A NULL reads as the empty text on both sides (the rows arrive with NULL as ""); no quote
// marks, so that the statement crosses the worker's runner unchanged.
std::string checkExpression(const std::vector<std::string>& columns) {
    std::string joined = "CONCAT_WS(CHAR(31)";
    for (const std::string& column : columns) joined += ", COALESCE(" + quotedName(column) + ", SPACE(0))";
    // Whole numbers, so that the server sums them exactly.
    return "CAST(CONV(LEFT(MD5(" + joined + ")), 11), 16, 10) AS UNSIGNED)";
}

// ---- the audit lines seen --------------------------------------------------------------

std::string SeenLines::newLinesStatement() const {
    if (!started_) return "SELECT `id`, `log` FROM `logs` ORDER BY `id` DESC LIMIT " + std::to_string(kKept);
    std::string statement = "SELECT `id`, `log` FROM `logs` WHERE `id` > " + std::to_string(below_);
    if (!seen_.empty()) {
        statement += " AND `id` NOT IN (";
        bool first = true;
        for (long long id : seen_) {
            if (!first) statement += ',';
            statement += std::to_string(id);
            first = false;
        }
        statement += ')';
    }
    return statement + " ORDER BY `id`";
}

void SeenLines::restart() { *this = SeenLines(); }

void SeenLines::see(long long id) {
    started_ = true;
    if (id > below_) seen_.insert(id);
    trim();
}

void SeenLines::trim() {
    while (seen_.size() > kKept) seen_.erase(seen_.begin());
    if (seen_.size() == kKept) {
        below_ = std::max(below_, *seen_.begin());
        seen_.erase(seen_.begin());
    }
}

Asked rowsNamed(const std::vector<QString>& logTexts) {
    Asked asked;
    for (const QString& text : logTexts) {
        const edits::ChangedRows rows = edits::ChangedRows::parse(text);
        for (const char* key : {"comp", "showname", "timeslot", "contract", "salle", edits::kCleanedPlanKey}) {
            const auto table = tableOfKey(QLatin1String(key));
            const QStringList ids = numericIds(rows.ids(QLatin1String(key)));
            if (!table || ids.isEmpty()) continue;
            QStringList& into = asked[*table];
            for (const QString& id : ids)
                if (!into.contains(id)) into << id;
        }
    }
    return asked;
}

std::string rowsStatement(const Asked& asked, const std::array<int, kTableCount>& columnCounts) {
    int widest = 0;
    for (const auto& [table, ids] : asked)
        widest = std::max(widest, columnCounts[static_cast<std::size_t>(indexOf(table))]);
    std::string statement;
    for (const auto& [table, ids] : asked) {
        if (ids.isEmpty()) continue;
        const std::string name = quotedName(programme::tableName(table));
        if (!statement.empty()) statement += " UNION ALL ";
        statement += "SELECT " + std::to_string(indexOf(table)) + ", " + name + ".*";
        for (int i = columnCounts[static_cast<std::size_t>(indexOf(table))]; i < widest; ++i) statement += ", NULL";
        statement += " FROM " + name + " WHERE `id` IN (" + idList(ids) + ")";
    }
    return statement;
}

// ---- the loader ----------------------------------------------------------------------------

Loader::Loader(Ready ready) : ready_(std::move(ready)) {
    db::prepareLibraryForThreads();
    thread_ = std::thread([this] { run(); });
}

Loader::~Loader() {
    {
        std::unique_lock lock(mutex_);
        stop_ = true;
        // The opening's audit line takes one round trip: it is written, not cut.
        done_.wait(lock, [this] { return !writing_; });
    }
    link_.cancel();
    wake_.notify_one();
    thread_.join();
}

bool Loader::post(Job job, const db::ConnectionSettings& settings, unsigned generation, std::string thenWrite) {
    {
        std::lock_guard lock(mutex_);
        if (running_ || posted_ || !outcomes_.empty()) return false;
        posted_ = Posted{job, settings, generation, std::move(thenWrite)};
        running_ = true;
    }
    wake_.notify_one();
    return true;
}

bool Loader::busy() const {
    std::lock_guard lock(mutex_);
    return running_;
}

bool Loader::loadedWhole() const {
    std::lock_guard lock(mutex_);
    return toldWhole_;
}

void Loader::waitIdle() {
    std::unique_lock lock(mutex_);
    done_.wait(lock, [this] { return !running_; });
}

std::shared_ptr<Outcome> Loader::take() {
    std::lock_guard lock(mutex_);
    if (outcomes_.empty()) return nullptr;
    std::shared_ptr<Outcome> next = std::move(outcomes_.front());
    outcomes_.pop_front();
    return next;
}

void Loader::dispose(std::shared_ptr<const void> tables) {
    {
        std::lock_guard lock(mutex_);
        disposed_.push_back(std::move(tables));
    }
    wake_.notify_one();
}

void Loader::run() {
    platform::lowerThisThreadsPriority();
    const db::LibraryThread library;
    for (;;) {
        Posted job;
        std::vector<std::shared_ptr<const void>> disposed;
        {
            std::unique_lock lock(mutex_);
            wake_.wait(lock, [this] { return stop_ || posted_ || !disposed_.empty(); });
            disposed.swap(disposed_);
            if (stop_) break;
            if (!posted_) {
                lock.unlock();
                disposed.clear();
                continue;
            }
            job = std::move(*posted_);
            posted_.reset();
        }
        disposed.clear();
        auto out = std::make_shared<Outcome>();
        out->job = job.job;
        out->generation = job.generation;
        out->lateFailures.swap(lateFailures_);
        bool write = false;
        if (link_.open(job.settings, out->openFailure) == 0) {
            out->reached = true;
            if (job.job == Job::Whole || !loadedWhole_) {
                whole(*out);
                write = out->reached && !job.thenWrite.empty();
            } else if (job.job == Job::Saved) {
                std::vector<std::string> totals;
                changes(*out, &totals);
                if (out->reached && totals.size() == kTableCount) readDiffering(*out, totals);
            } else {
                changes(*out);
                if (job.job == Job::Verify && out->reached) verify(*out);
            }
            // A connection that failed is opened again next time.
            if (!out->reached) link_.close();
        }
        {
            std::lock_guard lock(mutex_);
            outcomes_.push_back(std::move(out));
            toldWhole_ = loadedWhole_;
            running_ = write;  // the job ends with its line written
            writing_ = write;
        }
        if (ready_) ready_();
        if (write) {
            Outcome line;
            if (!send(line, job.thenWrite, nullptr, nullptr)) lateFailures_ = line.failures;
            {
                std::lock_guard lock(mutex_);
                running_ = false;
                writing_ = false;
            }
            // A save waiting on the window's thread for the loader to be free hears it here.
            if (ready_) ready_();
        }
        done_.notify_all();
    }
    link_.close();
}

bool Loader::send(Outcome& out, const std::string& statement, db::RowCallback callback, void* context,
                  db::OwnRunReport* report) {
    db::OwnRunReport own;
    db::OwnRunReport& used = report ? *report : own;
    ++out.statements;
    if (link_.run(statement, callback, context, used) == db::kQueryOk) return true;
    out.reached = false;
    out.failures.emplace_back(statement, used.errorText);
    return false;
}

void Loader::whole(Outcome& out) {
    out.job = Job::Whole;
    std::array<std::map<long long, uint64_t>, kTableCount> checks;
    for (ProgrammeTable table : kTables) {
        auto tables = std::make_shared<programme::Tables>();
        Reading reading(*tables, table, false, columnCounts_);
        db::OwnRunReport report;
        if (!send(out, programme::statementOf(table), readRow, &reading, &report)) return;
        const auto t = static_cast<std::size_t>(indexOf(table));
        columns_[t] = report.columnNames;
        columnCounts_[t] = static_cast<int>(report.columnNames.size());
        checks[t] = std::move(reading.checks[t]);
        auto piece = std::make_shared<Outcome>();
        piece->job = Job::Whole;
        piece->generation = out.generation;
        piece->reached = true;
        piece->piece = true;
        piece->table = table;
        piece->whole = std::move(tables);
        {
            std::lock_guard lock(mutex_);
            outcomes_.push_back(std::move(piece));
        }
        if (ready_) ready_();
    }
    seen_.restart();
    checks_ = std::move(checks);
    loadedWhole_ = true;
}

void Loader::changes(Outcome& out, std::vector<std::string>* totals) {
    Lines lines;
    std::string statement = seen_.newLinesStatement();
    // The check values as one more line, id -1 (no audit line has it), its text the values
    // joined by spaces; the same statement, so of the same moment as the lines.
    if (totals)
        statement = "SELECT `id`, `log` FROM (" + statement + ") AS `lines` UNION ALL SELECT -1, CONCAT_WS(CHAR(32), " +
                    totalsColumns() + ")";
    if (!send(out, statement, readLine, &lines)) return;
    std::vector<QString> texts;
    for (const auto& [id, text] : lines.lines) {
        if (totals && id == -1) {
            const QStringList numbers = text.split(u' ');
            for (qsizetype i = 0; i + 1 < numbers.size(); i += 2)
                totals->push_back((numbers[i] + u' ' + numbers[i + 1]).toStdString());
            continue;
        }
        seen_.see(id);
        texts.push_back(text);
    }
    out.asked = rowsNamed(texts);
    if (!out.asked.empty()) readRows(out);
}

void Loader::readRows(Outcome& out) {
    Reading reading(out.rows, ProgrammeTable::Rooms, true, columnCounts_);
    if (!send(out, rowsStatement(out.asked, columnCounts_), readRow, &reading)) {
        // Not read: nothing to put in place; the lines stay seen, and the slower check finds
        // what they changed.
        out.asked.clear();
        out.rows = programme::Tables();
        return;
    }
    for (const auto& [table, ids] : out.asked) {
        auto& held = checks_[static_cast<std::size_t>(indexOf(table))];
        const auto& fresh = reading.checks[static_cast<std::size_t>(indexOf(table))];
        for (const QString& id : ids) {
            const long long key = id.toLongLong();
            const auto it = fresh.find(key);
            if (it == fresh.end())
                held.erase(key);
            else
                held[key] = it->second;
        }
    }
}

// One check value per table: the number of rows and the sum of their checks.
std::string Loader::totalsColumns() const {
    std::string totals;
    for (ProgrammeTable table : kTables) {
        const auto t = static_cast<std::size_t>(indexOf(table));
        if (table != ProgrammeTable::Rooms) totals += ", ";
        totals += "(SELECT CONCAT_WS(CHAR(32), COUNT(*), COALESCE(SUM(" + checkExpression(columns_[t]) +
                  "), 0)) FROM " + quotedName(programme::tableName(table)) + ")";
    }
    return totals;
}

void Loader::verify(Outcome& out) {
    const std::string totals = "SELECT " + totalsColumns();
    struct Totals {
        std::vector<std::string> values;
    } server;
    const auto readTotals = [](void* context, int32_t count, char** columns, void*) -> int32_t {
        auto* into = static_cast<Totals*>(context);
        for (int32_t i = 0; i < count; ++i) into->values.emplace_back(columns[i] ? columns[i] : "");
        return 0;
    };
    if (!send(out, totals, readTotals, &server) || server.values.size() != kTableCount) return;
    readDiffering(out, server.values);
}

void Loader::readDiffering(Outcome& out, const std::vector<std::string>& totals) {
    std::vector<ProgrammeTable> differing;
    for (ProgrammeTable table : kTables) {
        const auto t = static_cast<std::size_t>(indexOf(table));
        uint64_t sum = 0;
        for (const auto& [id, check] : checks_[t]) sum += check;
        const std::string held = std::to_string(checks_[t].size()) + " " + std::to_string(sum);
        if (totals[t] != held) differing.push_back(table);
    }
    if (differing.empty()) return;

    // Per bucket of 64 ids, then per row in the buckets that differ.
    const auto idOf = [this](ProgrammeTable table) {
        return quotedName(columns_[static_cast<std::size_t>(indexOf(table))].front());
    };
    std::string buckets;
    for (ProgrammeTable table : differing) {
        const auto t = static_cast<std::size_t>(indexOf(table));
        if (!buckets.empty()) buckets += " UNION ALL ";
        buckets += "SELECT " + std::to_string(t) + ", " + idOf(table) + " DIV " + std::to_string(kBucketWidth) +
                   " AS `b`, COUNT(*), SUM(" + checkExpression(columns_[t]) + ") FROM " +
                   quotedName(programme::tableName(table)) + " GROUP BY `b`";
    }
    Keyed serverBuckets;
    if (!send(out, buckets, readKeyed, &serverBuckets)) return;
    std::map<ProgrammeTable, std::set<long long>> bucketsToRead;
    for (ProgrammeTable table : differing) {
        const auto t = static_cast<std::size_t>(indexOf(table));
        std::map<long long, std::pair<uint64_t, uint64_t>> held;
        for (const auto& [id, check] : checks_[t]) {
            auto& bucket = held[bucketOf(id)];
            ++bucket.first;
            bucket.second += check;
        }
        for (const auto& [bucket, value] : held)
            if (serverBuckets.values[t].count(bucket) == 0 || serverBuckets.values[t].at(bucket) != value)
                bucketsToRead[table].insert(bucket);
        for (const auto& [bucket, value] : serverBuckets.values[t])
            if (held.count(bucket) == 0) bucketsToRead[table].insert(bucket);
    }
    if (bucketsToRead.empty()) return;
    std::string rows;
    for (const auto& [table, bucketSet] : bucketsToRead) {
        const auto t = static_cast<std::size_t>(indexOf(table));
        std::string list;
        for (long long bucket : bucketSet) {
            if (!list.empty()) list += ',';
            list += std::to_string(bucket);
        }
        if (!rows.empty()) rows += " UNION ALL ";
        rows += "SELECT " + std::to_string(t) + ", " + idOf(table) + ", " + checkExpression(columns_[t]) + " FROM " +
                quotedName(programme::tableName(table)) + " WHERE " + idOf(table) + " DIV " +
                std::to_string(kBucketWidth) + " IN (" + list + ")";
    }
    Keyed serverRows;
    if (!send(out, rows, readKeyed, &serverRows)) return;
    Asked asked;
    for (const auto& [table, bucketSet] : bucketsToRead) {
        const auto t = static_cast<std::size_t>(indexOf(table));
        std::set<long long> ids;
        for (const auto& [id, value] : serverRows.values[t]) {
            const auto it = checks_[t].find(id);
            if (it == checks_[t].end() || it->second != value.first) ids.insert(id);
        }
        for (const auto& [id, check] : checks_[t])
            if (bucketSet.count(bucketOf(id)) && serverRows.values[t].count(id) == 0) ids.insert(id);
        for (long long id : ids) asked[table] << QString::number(id);
    }
    // What the audit lines named was read already; what they did not is added to it.
    for (auto& [table, ids] : asked)
        for (const QString& id : out.asked[table]) ids.removeAll(id);
    std::erase_if(asked, [](const auto& entry) { return entry.second.isEmpty(); });
    if (asked.empty()) return;
    Outcome extra;
    extra.asked = asked;
    readRows(extra);
    out.statements += extra.statements;
    if (!extra.failures.empty()) {
        out.reached = false;
        out.failures.insert(out.failures.end(), extra.failures.begin(), extra.failures.end());
        return;
    }
    for (auto& [table, ids] : extra.asked) out.asked[table] << ids;
    const auto move = [](auto& into, auto& from) { into.insert(into.end(), from.begin(), from.end()); };
    move(out.rows.rooms, extra.rows.rooms);
    move(out.rows.companies, extra.rows.companies);
    move(out.rows.shows, extra.rows.shows);
    move(out.rows.timeslots, extra.rows.timeslots);
    move(out.rows.contracts, extra.rows.contracts);
}

}  // namespace manager_load
