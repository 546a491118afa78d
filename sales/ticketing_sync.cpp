#include "sales/ticketing_sync.h"

#include <QCryptographicHash>
#include <algorithm>
#include <charconv>
#include <functional>
#include <set>

#include "sales/ticketing_rows.h"

namespace sales {
namespace {

using RowCallback = db::RowCallback;

constexpr const char* kSelectWhole[kTableCount] = {kSelectRooms, kSelectShows, kSelectReservations};
constexpr const char* kTableNames[kTableCount] = {"salle", "shows", "res"};
constexpr RowCallback kAppend[kTableCount] = {appendRoom, appendShow, appendReservation};
// The column that gives a row's show id: a show's own id, a reservation's show_id.
constexpr int kShowIdColumn[kTableCount] = {-1, 0, 1};
// Past this share of the reservations to read again, reading the tables whole costs less.
constexpr double kWholeLoadShare = 0.5;
// Refreshes in a row whose re-read rows all disagree with the server's check before the
// check is taken to be computed differently there (a column the server writes otherwise in
// CONCAT_WS than on the wire), and only whole loads are made.
constexpr int kDisagreementsTolerated = 3;

// Server errors that end a statement before its last row without anything wrong with the
// table: KILL QUERY (1317) and max_statement_time (1969).
constexpr unsigned kInterrupted = 1317;
constexpr unsigned kStatementTimeout = 1969;
std::string quotedName(const std::string& name) {
    std::string out = "`";
    for (char c : name) {
        if (c == '`') out += '`';
        out += c;
    }
    return out + "`";
}

std::string rowText(const TableColumns& columns) {
    std::string out = "CONCAT_WS(CHAR(31)";
    for (const std::string& c : columns) out += ", IFNULL(" + quotedName(c) + ", '')";
    return out + ")";
}

// The sum of one half of the rows' digests, modulo 2^64 as the program adds them: the
// server's SUM of BIGINT UNSIGNED is exact, and would outgrow 64 bits.
std::string digestSum(const TableColumns& columns, DigestHalf half) {
    return std::string("IFNULL(SUM(CAST(CONV(") + (half == DigestHalf::High ? "LEFT" : "RIGHT") + "(MD5(" +
           rowText(columns) + "), 16), 16, 10) AS UNSIGNED)) MOD 18446744073709551616, 0)";
}

std::string checkColumns(const TableColumns& columns, DigestHalf half) {
    return "COUNT(*), " + digestSum(columns, half);
}

uint64_t bigEndian64(const unsigned char* bytes) {
    uint64_t v = 0;
    for (int i = 0; i < 8; ++i) v = (v << 8) | bytes[i];
    return v;
}

bool parseNumber(std::string_view text, uint64_t& value) {
    const char* end = text.data() + text.size();
    const auto parsed = std::from_chars(text.data(), end, value);
    return !text.empty() && parsed.ec == std::errc() && parsed.ptr == end;
}

std::string idList(const std::vector<int32_t>& ids) {
    std::string out;
    for (int32_t id : ids) {
        if (!out.empty()) out += ", ";
        out += std::to_string(id);
    }
    return out;
}

// The show ids of a bucket: DIV truncates, so bucket 0 holds -63 to 63.
std::string bucketCondition(const std::string& column, const std::vector<int32_t>& buckets) {
    std::string out;
    for (int32_t b : buckets) {
        const int64_t low = b > 0 ? int64_t{b} * kBucketWidth : int64_t{b} * kBucketWidth - (kBucketWidth - 1);
        const int64_t high = b < 0 ? int64_t{b} * kBucketWidth : int64_t{b} * kBucketWidth + (kBucketWidth - 1);
        out += out.empty() ? "(" : " OR ";
        out += column + " BETWEEN " + std::to_string(low) + " AND " + std::to_string(high);
    }
    return out + ")";
}

// Reads rows into tables, keeping each row's check value and, when asked, its first column.
struct TableRead {
    TicketingData* data;
    RowCallback append;
    std::vector<RowDigest>* checks;
    std::vector<int32_t>* keys;
};

int32_t readRow(void* context, int32_t count, char** columns, void*) {
    auto* read = static_cast<TableRead*>(context);
    read->append(read->data, count, columns, nullptr);
    read->checks->push_back(rowDigest(count, columns));
    if (read->keys) read->keys->push_back(leadingInt(column(count, columns, 0)));
    return 0;
}

// One check row per (table, key): the statements' first column names the table.
struct CheckRows {
    std::map<int32_t, Check> byTable[kTableCount];
    bool malformed = false;
};

int32_t readCheckRow(void* context, int32_t count, char** columns, void*) {
    auto* rows = static_cast<CheckRows*>(context);
    const int32_t table = leadingInt(column(count, columns, 0));
    Check check;
    if (table < kShowTable || table > kReservationTable || !parseNumber(column(count, columns, 2), check.rows) ||
        !parseNumber(column(count, columns, 3), check.sum)) {
        rows->malformed = true;
        return 0;
    }
    rows->byTable[table][leadingInt(column(count, columns, 1))] = check;
    return 0;
}

struct TotalsRow {
    Check checks[kTableCount];
    int rows = 0;
    bool malformed = false;
};

int32_t readTotalsRow(void* context, int32_t count, char** columns, void*) {
    auto* totals = static_cast<TotalsRow*>(context);
    ++totals->rows;
    for (int t = 0; t < kTableCount; ++t) {
        if (!parseCheck(column(count, columns, t), totals->checks[t])) totals->malformed = true;
    }
    return 0;
}

int32_t showIdOf(const TicketingData& data, int table, std::size_t row) {
    return table == kShowTable ? data.shows()[row].id : data.reservations()[row].show_id;
}

// The check values of the rows held, per key: the bucket, or the show id itself.
std::map<int32_t, Check> heldChecks(const TicketingSync::Held& held, int table, bool byBucket, DigestHalf half,
                                    const std::set<int32_t>* onlyBuckets = nullptr) {
    std::map<int32_t, Check> out;
    const TicketingData& data = held.snapshot->data;
    const std::vector<RowDigest>& checks = held.checks[table];
    for (std::size_t row = 0; row < checks.size(); ++row) {
        const int32_t id = showIdOf(data, table, row);
        if (onlyBuckets && !onlyBuckets->count(bucketOf(id))) continue;
        out[byBucket ? bucketOf(id) : id].add(halfOf(checks[row], half));
    }
    return out;
}

Check heldTotal(const std::vector<RowDigest>& checks) {
    Check total;
    for (const RowDigest& c : checks) total.add(c.high);
    return total;
}

bool strictlyAscending(const std::vector<int32_t>& keys) {
    return std::adjacent_find(keys.begin(), keys.end(), std::greater_equal<int32_t>()) == keys.end();
}

std::vector<int32_t> showIdsOf(const std::vector<TicketingShow>& shows) {
    std::vector<int32_t> ids;
    ids.reserve(shows.size());
    for (const TicketingShow& s : shows) ids.push_back(s.id);
    return ids;
}

void copyShow(TicketingData& to, const TicketingShow& s) { to.addShow(s.id, s.name, s.starts_at, s.tariffs); }

void copyReservation(TicketingData& to, const TicketingData& from, const Reservation& r) {
    to.addReservation(r.show_id, r.seats, from.text(r.prices), from.text(r.tariff_indexes), from.text(r.paid_flags));
}

}  // namespace

RowDigest rowDigest(int32_t count, char** columns) {
    QCryptographicHash md5(QCryptographicHash::Md5);
    for (int32_t i = 0; i < count; ++i) {
        if (i) md5.addData(QByteArrayView("\x1F", 1));
        const std::string_view text = column(count, columns, i);
        md5.addData(QByteArrayView(text.data(), static_cast<qsizetype>(text.size())));
    }
    const QByteArrayView bytes = md5.resultView();
    const auto* b = reinterpret_cast<const unsigned char*>(bytes.data());
    return RowDigest{bigEndian64(b), bigEndian64(b + 8)};
}

// A broken link is recorded at once, with the statement it broke on; so is a table cut off.
TicketingSync::Ran TicketingSync::run(db::OwnConnection& link, const std::string& statement, RowCallback callback,
                                      void* context, db::OwnRunReport& report, RefreshOutcome& outcome) {
    if (beforeEachStatement) beforeEachStatement(statement);
    ++outcome.statements;
    const int32_t result = link.run(statement, callback, context, report);
    if (result == db::kQueryOk) return Ran::Ok;
    if (db::isLinkFailure(report.errorNumber) || link.cancelled()) {
        outcome.timedOut = outcome.timedOut || report.timedOut;
        outcome.failures.push_back({statement, report.errorText});
        return Ran::LinkBroken;
    }
    if (result == db::kQueryIncomplete || report.errorNumber == kInterrupted ||
        report.errorNumber == kStatementTimeout) {
        outcome.partial = true;
        outcome.failures.push_back({statement, report.errorText});
        return Ran::Cut;
    }
    return Ran::Refused;
}

std::string totalsStatement(const TableColumns (&columns)[kTableCount]) {
    std::string out = "SELECT ";
    for (int t = 0; t < kTableCount; ++t) {
        if (t) out += ", ";
        out += "(SELECT CONCAT(COUNT(*), ' ', " + digestSum(columns[t], DigestHalf::High) + ") FROM `" +
               kTableNames[t] + "`)";
    }
    return out;
}

std::string bucketsStatement(const TableColumns (&columns)[kTableCount], bool shows, bool reservations,
                             DigestHalf half) {
    std::string out;
    for (int t : {int{kShowTable}, int{kReservationTable}}) {
        if (!(t == kShowTable ? shows : reservations)) continue;
        const std::string bucket = quotedName(columns[t][kShowIdColumn[t]]) + " DIV " + std::to_string(kBucketWidth);
        if (!out.empty()) out += " UNION ALL ";
        out += "SELECT " + std::to_string(t) + ", " + bucket + ", " + checkColumns(columns[t], half) + " FROM `" +
               kTableNames[t] + "` GROUP BY " + bucket;
    }
    return out;
}

std::string showIdsStatement(const TableColumns (&columns)[kTableCount], const std::vector<int32_t>& showBuckets,
                             const std::vector<int32_t>& reservationBuckets, DigestHalf half) {
    std::string out;
    for (int t : {int{kShowTable}, int{kReservationTable}}) {
        const std::vector<int32_t>& buckets = t == kShowTable ? showBuckets : reservationBuckets;
        if (buckets.empty()) continue;
        const std::string id = quotedName(columns[t][kShowIdColumn[t]]);
        if (!out.empty()) out += " UNION ALL ";
        out += "SELECT " + std::to_string(t) + ", " + id + ", " + checkColumns(columns[t], half) + " FROM `" +
               kTableNames[t] + "` WHERE " + bucketCondition(id, buckets) + " GROUP BY " + id;
    }
    return out;
}

std::string showsOfIdsStatement(const TableColumns& showColumns, const std::vector<int32_t>& ids) {
    const std::string id = quotedName(showColumns[0]);
    return "SELECT * FROM `shows` WHERE " + id + " IN (" + idList(ids) + ") ORDER BY " + id;
}

std::string reservationsOfIdsStatement(const TableColumns& reservationColumns, const std::vector<int32_t>& ids) {
    return "SELECT * FROM `res` WHERE " + quotedName(reservationColumns[1]) + " IN (" + idList(ids) + ") ORDER BY " +
           quotedName(reservationColumns[0]);
}

bool parseCheck(std::string_view text, Check& check) {
    const std::size_t space = text.find(' ');
    if (space == std::string_view::npos) return false;
    return parseNumber(text.substr(0, space), check.rows) && parseNumber(text.substr(space + 1), check.sum);
}

std::vector<int32_t> differingKeys(const std::map<int32_t, Check>& held, const std::map<int32_t, Check>& server) {
    std::vector<int32_t> out;
    auto h = held.begin();
    auto s = server.begin();
    while (h != held.end() || s != server.end()) {
        if (s == server.end() || (h != held.end() && h->first < s->first)) {
            out.push_back((h++)->first);
        } else if (h == held.end() || s->first < h->first) {
            out.push_back((s++)->first);
        } else {
            if (!(h->second == s->second)) out.push_back(h->first);
            ++h;
            ++s;
        }
    }
    return out;
}

TicketingSync::TicketingSync() { held_.snapshot = std::make_shared<TicketingSnapshot>(); }

bool TicketingSync::tablesAllowChanges() const {
    for (const TableColumns& c : held_.columns) {
        if (c.size() < 2) return false;
    }
    return held_.inOrder;
}

bool TicketingSync::readsChangesOnly() const {
    return tablesAllowChanges() && disagreements_ < kDisagreementsTolerated;
}

RefreshOutcome TicketingSync::refresh(RefreshKind kind, db::OwnConnection& link,
                                      const db::ConnectionSettings& settings) {
    RefreshOutcome outcome;
    if (kind != RefreshKind::Whole && readsChangesOnly()) {
        const bool everyBucket = kind == RefreshKind::Verify;
        if (link.open(settings, outcome.openFailure) == 0) {
            Read read = readChanges(link, outcome, everyBucket);
            if (read == Read::Broken && !outcome.timedOut && !link.cancelled()) {
                // A kept connection that the server dropped meanwhile (a restart, its idle
                // timeout): once more on a new one before saying it cannot be reached. Not
                // after a timeout, which would only wait as long again.
                link.close();
                outcome = RefreshOutcome();
                read = link.open(settings, outcome.openFailure) == 0 ? readChanges(link, outcome, everyBucket)
                                                                     : Read::Broken;
            }
            if (read == Read::NeedsWhole) loadWhole(link, settings, outcome);
        }
    } else {
        loadWhole(link, settings, outcome);
        if (kind != RefreshKind::Whole && outcome.tables) confirmAgreement(link, outcome);
    }
    // A broken link leaves a connection that cannot be trusted; the next refresh opens anew. A
    // statement that timed out may still wait on the server: it is ended there, or every
    // refresh would leave one more waiting for as long as the table stays locked.
    if (!outcome.reached) {
        const unsigned long serverThread = link.serverThreadId();
        link.close();
        if (outcome.timedOut && !link.cancelled()) db::endOnServer(settings, serverThread);
    }
    outcome.finishedAt = QDateTime::currentDateTime();
    return outcome;
}

void TicketingSync::loadWhole(db::OwnConnection& link, const db::ConnectionSettings& settings,
                              RefreshOutcome& outcome) {
    const int sentBefore = outcome.statements;
    outcome = RefreshOutcome();
    outcome.statements = sentBefore;
    outcome.wholeLoad = true;
    if (link.open(settings.forWholeReads(), outcome.openFailure) != 0) return;
    auto next = std::make_shared<TicketingSnapshot>();
    Held held;
    bool complete = true;
    for (int t = 0; t < kTableCount; ++t) {
        TableRead read{&next->data, kAppend[t], &held.checks[t],
                       t == kReservationTable ? &held.reservationKeys : nullptr};
        db::OwnRunReport report;
        const Ran ran = run(link, kSelectWhole[t], readRow, &read, report, outcome);
        if (ran == Ran::LinkBroken) return;
        if (ran == Ran::Cut) {
            // The rows read so far are not the table: the tables held stay.
            outcome.reached = true;
            return;
        }
        if (ran == Ran::Refused) {
            // As the load leaves it: the table as far as it was read, the others still read.
            outcome.failures.push_back({kSelectWhole[t], report.errorText});
            complete = false;
        }
        held.columns[t] = report.columnNames;
    }
    next->data.shrink();
    next->index.build(next->data);
    held.inOrder =
        complete && strictlyAscending(showIdsOf(next->data.shows())) && strictlyAscending(held.reservationKeys);
    held.snapshot = std::move(next);
    held_ = std::move(held);
    outcome.reached = true;
    outcome.tables = held_.snapshot;
}

void TicketingSync::confirmAgreement(db::OwnConnection& link, RefreshOutcome& outcome) {
    if (disagreements_ < kDisagreementsTolerated || !tablesAllowChanges()) return;
    db::OwnRunReport report;
    TotalsRow totals;
    if (run(link, totalsStatement(held_.columns), readTotalsRow, &totals, report, outcome) != Ran::Ok) return;
    if (totals.rows != 1 || totals.malformed) return;
    for (int t = 0; t < kTableCount; ++t) {
        if (!(heldTotal(held_.checks[t]) == totals.checks[t])) return;
    }
    disagreements_ = 0;
}

// What a statement that did not give all its rows leaves: a broken link, the tables held kept
// as they are after a cut (the server was reached; its message is in the outcome), or a whole
// load after a refusal.
TicketingSync::Read TicketingSync::cutShort(Ran ran, RefreshOutcome& outcome) {
    if (ran == Ran::LinkBroken) return Read::Broken;
    if (ran == Ran::Refused) return Read::NeedsWhole;
    outcome.reached = true;
    return Read::Done;
}

TicketingSync::Read TicketingSync::readChanges(db::OwnConnection& link, RefreshOutcome& outcome, bool everyBucket) {
    db::OwnRunReport report;
    TotalsRow totals;
    Ran ran = run(link, totalsStatement(held_.columns), readTotalsRow, &totals, report, outcome);
    if (ran != Ran::Ok) return cutShort(ran, outcome);
    if (totals.rows != 1 || totals.malformed) return Read::NeedsWhole;
    bool changed[kTableCount];
    for (int t = 0; t < kTableCount; ++t) changed[t] = !(heldTotal(held_.checks[t]) == totals.checks[t]);
    if (everyBucket) changed[kShowTable] = changed[kReservationTable] = true;
    const DigestHalf half = everyBucket ? DigestHalf::Low : DigestHalf::High;
    if (!changed[kRoomTable] && !changed[kShowTable] && !changed[kReservationTable]) {
        outcome.reached = true;
        return Read::Done;
    }

    // The ids to read again, per table.
    std::vector<int32_t> ids[kTableCount];
    std::map<int32_t, Check> serverByShowId[kTableCount];
    if (changed[kShowTable] || changed[kReservationTable]) {
        CheckRows buckets;
        ran = run(link, bucketsStatement(held_.columns, changed[kShowTable], changed[kReservationTable], half),
                  readCheckRow, &buckets, report, outcome);
        if (ran != Ran::Ok) return cutShort(ran, outcome);
        if (buckets.malformed) return Read::NeedsWhole;
        std::vector<int32_t> differing[kTableCount];
        for (int t : {int{kShowTable}, int{kReservationTable}}) {
            if (changed[t]) differing[t] = differingKeys(heldChecks(held_, t, true, half), buckets.byTable[t]);
        }
        CheckRows fine;
        if (!differing[kShowTable].empty() || !differing[kReservationTable].empty()) {
            ran = run(link, showIdsStatement(held_.columns, differing[kShowTable], differing[kReservationTable], half),
                      readCheckRow, &fine, report, outcome);
            if (ran != Ran::Ok) return cutShort(ran, outcome);
            if (fine.malformed) return Read::NeedsWhole;
        }
        for (int t : {int{kShowTable}, int{kReservationTable}}) {
            const std::set<int32_t> within(differing[t].begin(), differing[t].end());
            ids[t] = differingKeys(heldChecks(held_, t, false, half, &within), fine.byTable[t]);
            serverByShowId[t] = std::move(fine.byTable[t]);
        }
    }
    // Nothing differs where the totals said it did (a change undone between two statements, or
    // a verification that found all in order): the tables held stay as they are.
    if (!changed[kRoomTable] && ids[kShowTable].empty() && ids[kReservationTable].empty()) {
        outcome.reached = true;
        return Read::Done;
    }
    const TicketingData& old = held_.snapshot->data;
    uint64_t toRead = 0;
    for (int32_t id : ids[kReservationTable]) {
        if (auto it = serverByShowId[kReservationTable].find(id); it != serverByShowId[kReservationTable].end())
            toRead += it->second.rows;
    }
    if (static_cast<double>(toRead) > kWholeLoadShare * static_cast<double>(old.reservations().size() + 1))
        return Read::NeedsWhole;

    // The rows read again, in the order of their first column, as the whole load has them.
    TicketingData fetched;
    Held part;
    if (changed[kRoomTable]) {
        TableRead read{&fetched, appendRoom, &part.checks[kRoomTable], nullptr};
        ran = run(link, kSelectRooms, readRow, &read, report, outcome);
        if (ran != Ran::Ok) return cutShort(ran, outcome);
    }
    if (!ids[kShowTable].empty()) {
        TableRead read{&fetched, appendShow, &part.checks[kShowTable], nullptr};
        ran =
            run(link, showsOfIdsStatement(held_.columns[kShowTable], ids[kShowTable]), readRow, &read, report, outcome);
        if (ran != Ran::Ok) return cutShort(ran, outcome);
        if (!strictlyAscending(showIdsOf(fetched.shows()))) return Read::NeedsWhole;
    }
    if (!ids[kReservationTable].empty()) {
        TableRead read{&fetched, appendReservation, &part.checks[kReservationTable], &part.reservationKeys};
        ran = run(link, reservationsOfIdsStatement(held_.columns[kReservationTable], ids[kReservationTable]), readRow,
                  &read, report, outcome);
        if (ran != Ran::Ok) return cutShort(ran, outcome);
        if (!strictlyAscending(part.reservationKeys)) return Read::NeedsWhole;
    }

    // Whether the rows read again agree with the server's check of them: when none ever
    // does, the server computes its check otherwise, and the changes cannot be found.
    bool anyAgrees = false;
    bool anyRead = false;
    for (int t : {int{kShowTable}, int{kReservationTable}}) {
        std::map<int32_t, Check> got;
        for (std::size_t row = 0; row < part.checks[t].size(); ++row)
            got[showIdOf(fetched, t, row)].add(halfOf(part.checks[t][row], half));
        for (int32_t id : ids[t]) {
            anyRead = true;
            const auto s = serverByShowId[t].find(id);
            const auto g = got.find(id);
            if ((s == serverByShowId[t].end() ? Check() : s->second) == (g == got.end() ? Check() : g->second))
                anyAgrees = true;
        }
    }
    disagreements_ = anyRead && !anyAgrees ? disagreements_ + 1 : 0;

    // The new tables: the rows held but those of the ids read again, and the rows read.
    auto next = std::make_shared<TicketingSnapshot>();
    Held held;
    held.columns[kRoomTable] = held_.columns[kRoomTable];
    held.columns[kShowTable] = held_.columns[kShowTable];
    held.columns[kReservationTable] = held_.columns[kReservationTable];
    TicketingData& data = next->data;
    if (changed[kRoomTable]) {
        for (const TicketingRoom& r : fetched.rooms()) data.addRoom(r.name, r.last_sync);
        held.checks[kRoomTable] = part.checks[kRoomTable];
    } else {
        for (const TicketingRoom& r : old.rooms()) data.addRoom(r.name, r.last_sync);
        held.checks[kRoomTable] = held_.checks[kRoomTable];
    }
    {
        const std::set<int32_t> replaced(ids[kShowTable].begin(), ids[kShowTable].end());
        const auto& was = old.shows();
        const auto& got = fetched.shows();
        std::size_t i = 0;
        std::size_t j = 0;
        while (i < was.size() || j < got.size()) {
            if (i < was.size() && replaced.count(was[i].id)) {
                ++i;
            } else if (j == got.size() || (i < was.size() && was[i].id <= got[j].id)) {
                copyShow(data, was[i]);
                held.checks[kShowTable].push_back(held_.checks[kShowTable][i++]);
            } else {
                copyShow(data, got[j]);
                held.checks[kShowTable].push_back(part.checks[kShowTable][j++]);
            }
        }
    }
    {
        const std::set<int32_t> replaced(ids[kReservationTable].begin(), ids[kReservationTable].end());
        const auto& was = old.reservations();
        const auto& got = fetched.reservations();
        std::size_t i = 0;
        std::size_t j = 0;
        while (i < was.size() || j < got.size()) {
            if (i < was.size() && replaced.count(was[i].show_id)) {
                ++i;
            } else if (j == got.size() || (i < was.size() && held_.reservationKeys[i] <= part.reservationKeys[j])) {
                copyReservation(data, old, was[i]);
                held.checks[kReservationTable].push_back(held_.checks[kReservationTable][i]);
                held.reservationKeys.push_back(held_.reservationKeys[i++]);
            } else {
                copyReservation(data, fetched, got[j]);
                held.checks[kReservationTable].push_back(part.checks[kReservationTable][j]);
                held.reservationKeys.push_back(part.reservationKeys[j++]);
            }
        }
    }
    data.shrink();
    next->index.build(data);
    // A reservation that moved to a show id read again while its old show id was not (the
    // server changed between two statements) comes twice: the next refresh reads all anew.
    held.inOrder = strictlyAscending(held.reservationKeys);
    held.snapshot = std::move(next);
    held_ = std::move(held);
    std::set<int32_t> reread(ids[kShowTable].begin(), ids[kShowTable].end());
    reread.insert(ids[kReservationTable].begin(), ids[kReservationTable].end());
    outcome.rereadShowIds.assign(reread.begin(), reread.end());
    outcome.reached = true;
    outcome.tables = held_.snapshot;
    return Read::Done;
}

}  // namespace sales
