#include "programme/programme_data.h"

#include <QHash>
#include <QSet>
#include <algorithm>
#include <climits>
#include <cstdint>
#include <cstdlib>
#include <cstring>
#include <utility>

#include "db/codepage.h"
#include "db/connections.h"
#include "db/query_runner.h"
#include "programme/date_texts.h"

namespace programme {

namespace {

std::vector<Company> gCompanies;
std::vector<Show> gShows;
std::vector<Room> gRooms;
std::vector<Timeslot> gTimeslots;
std::vector<Contract> gContracts;
unsigned gRecordsVersion = 0;

// The version of each table's records: a load, a swap or rows read again by id change only
// their own table's, so that the indexes of the other tables stay built.
unsigned gTableVersions[5] = {};
unsigned& tableVersion(ProgrammeTable table) { return gTableVersions[static_cast<int>(table)]; }
// The same for what the records' places rest on: loads, swaps and rows that changed place.
unsigned gOrderVersions[5] = {};
unsigned& orderVersion(ProgrammeTable table) { return gOrderVersions[static_cast<int>(table)]; }

// The record indexes of each key text of a table, built once per load instead of scanning the
// table for every lookup: the hash of each key beside its record index, sorted. Built in a
// millisecond or two for a season of slots with one allocation, where a hash table of nodes
// took ten times that on the window's thread. The index is built again whenever the table was
// reloaded, replaced or resized; a found index is checked against its record, and a key the
// index lacks is looked for by a scan, so that records changed in place (as tests do) are
// still found.
template <typename Record>
class KeyIndex {
public:
    enum class Take { First, Last };
    // counted, when given, says which records count() counts.
    KeyIndex(ProgrammeTable table, QString Record::*field, Take take, bool (*counted)(const Record&) = nullptr)
        : table_(table), field_(field), take_(take), counted_(counted) {}

    int find(const std::vector<Record>& records, const QString& key) {
        const int found = findIndexed(records, key);
        return found >= 0 ? found : scan(records, key);
    }

    // The same without the scan: what the index holds, trusted for a key it lacks (rows read
    // again by id, where most ids asked for are held and a new one would cost a scan).
    int findIndexed(const std::vector<Record>& records, const QString& key) {
        refresh(records);
        int found = -1;
        forEachMatch(records, key, [&](int index) {
            found = index;
            return take_ == Take::Last;
        });
        return found;
    }

    // The records that have this key, in record order. Trusts the index.
    std::vector<int> all(const std::vector<Record>& records, const QString& key) {
        refresh(records);
        std::vector<int> found;
        forEachMatch(records, key, [&](int index) {
            found.push_back(index);
            return true;
        });
        return found;
    }

    // How many records have this key (children per head id). Trusts the index.
    unsigned count(const std::vector<Record>& records, const QString& key) {
        refresh(records);
        unsigned n = 0;
        forEachMatch(records, key, [&](int) {
            ++n;
            return true;
        });
        return n;
    }

    // One record went from one place to another, those between shifting by one (Applied): an
    // index built for the records before follows them, a walk of its entries instead of a
    // season's keys hashed again. Only the moved record's entry may then stand out of order
    // among those of its own key.
    void recordMoved(const std::vector<Record>& records, int from, int to) {
        if (!current(records)) return;  // built again when next asked
        for (Entry& entry : entries_) entry.second = indexAfterMove(entry.second, from, to);
        const std::size_t hash = qHash(records[static_cast<std::size_t>(to)].*field_);
        const auto first = std::lower_bound(entries_.begin(), entries_.end(), Entry{hash, INT_MIN});
        std::sort(first, std::upper_bound(first, entries_.end(), Entry{hash, INT_MAX}));
    }

private:
    using Entry = std::pair<std::size_t, int>;  // the key's hash, the record index

    bool current(const std::vector<Record>& records) const {
        return version_ == gRecordsVersion && tableVersion_ == tableVersion(table_) && data_ == records.data() &&
               size_ == records.size();
    }

    // Calls visit(index) for each record whose key equals key, in record order, while it
    // returns true.
    template <typename Visit>
    void forEachMatch(const std::vector<Record>& records, const QString& key, Visit visit) const {
        const std::size_t hash = qHash(key);
        auto it = std::lower_bound(entries_.begin(), entries_.end(), Entry{hash, -1});
        for (; it != entries_.end() && it->first == hash; ++it) {
            if (static_cast<std::size_t>(it->second) >= records.size() ||
                records[static_cast<std::size_t>(it->second)].*field_ != key)
                continue;
            if (!visit(it->second)) return;
        }
    }
    void refresh(const std::vector<Record>& records) {
        if (current(records)) return;
        const unsigned table = tableVersion(table_);
        entries_.clear();
        entries_.reserve(records.size());
        for (int i = 0; i < static_cast<int>(records.size()); ++i) {
            const Record& record = records[static_cast<std::size_t>(i)];
            if (!counted_ || counted_(record)) entries_.emplace_back(qHash(record.*field_), i);
        }
        std::sort(entries_.begin(), entries_.end());
        version_ = gRecordsVersion;
        tableVersion_ = table;
        data_ = records.data();
        size_ = records.size();
    }
    int scan(const std::vector<Record>& records, const QString& key) const {
        int found = -1;
        for (int i = 0; i < static_cast<int>(records.size()); ++i) {
            if (records[static_cast<std::size_t>(i)].*field_ != key) continue;
            found = i;
            if (take_ == Take::First) break;
        }
        return found;
    }

    ProgrammeTable table_;
    QString Record::*field_;
    Take take_;
    bool (*counted_)(const Record&);
    unsigned version_ = ~0u;
    unsigned tableVersion_ = ~0u;
    const Record* data_ = nullptr;
    std::size_t size_ = 0;
    std::vector<Entry> entries_;
};

using Take = KeyIndex<Timeslot>::Take;
KeyIndex<Show> gShowById(ProgrammeTable::Shows, &Show::id, KeyIndex<Show>::Take::First);
KeyIndex<Company> gCompanyById(ProgrammeTable::Companies, &Company::id, KeyIndex<Company>::Take::Last);
KeyIndex<Room> gRoomById(ProgrammeTable::Rooms, &Room::id, KeyIndex<Room>::Take::First);
KeyIndex<Timeslot> gTimeslotById(ProgrammeTable::Timeslots, &Timeslot::id, Take::First);
KeyIndex<Timeslot> gTimeslotByChildof(ProgrammeTable::Timeslots, &Timeslot::childof, Take::First);
bool isLiveSlot(const Timeslot& slot) { return !isDeleted(slot.deleted); }
KeyIndex<Timeslot> gLiveTimeslotByChildof(ProgrammeTable::Timeslots, &Timeslot::childof, Take::First, &isLiveSlot);
// Rows read again by id find their records through these (the first record of an id, as a
// scan would).
KeyIndex<Company> gFirstCompanyById(ProgrammeTable::Companies, &Company::id, KeyIndex<Company>::Take::First);
KeyIndex<Contract> gContractById(ProgrammeTable::Contracts, &Contract::id, KeyIndex<Contract>::Take::First);
KeyIndex<Contract> gContractByTimeslot(ProgrammeTable::Contracts, &Contract::ts, KeyIndex<Contract>::Take::First);

// Which field each column of a table goes to; columns not listed are not read.
template <typename Record>
struct Column {
    int index;
    QString Record::*field;
    bool repeats = false;  // a text many rows share (flags, times, dates, ids of other tables)
};

const Column<Company> kCompanyColumns[] = {
    {0, &Company::id},       {1, &Company::nom},           {2, &Company::email},  {3, &Company::contact1},
    {4, &Company::contact2}, {5, &Company::deleted, true}, {6, &Company::fulladr}};
const Column<Show> kShowColumns[] = {
    {0, &Show::id}, {1, &Show::name}, {2, &Show::comp, true}, {3, &Show::deleted, true}};
const Column<Room> kRoomColumns[] = {{0, &Room::id}, {1, &Room::name}, {3, &Room::capacity}, {4, &Room::contract_name}};
const Column<Timeslot> kTimeslotColumns[] = {{0, &Timeslot::id},
                                             {1, &Timeslot::date, true},
                                             {2, &Timeslot::start, true},
                                             {3, &Timeslot::end, true},
                                             {4, &Timeslot::deleted, true},
                                             {5, &Timeslot::showname, true},
                                             {6, &Timeslot::childof, true},
                                             {7, &Timeslot::room, true},
                                             {8, &Timeslot::todo},
                                             {9, &Timeslot::done},
                                             {10, &Timeslot::survey, true}};
const Column<Contract> kContractColumns[] = {
    {0, &Contract::id},    {1, &Contract::ts, true},      {2, &Contract::created},
    {3, &Contract::extra}, {4, &Contract::deleted, true}, {5, &Contract::rtf, true}};

// The texts of columns that repeat from row to row: each distinct one is converted once and
// shared by the records, which saves most of the allocations of a large table.
using SharedTexts = QHash<QByteArray, QString>;

constexpr std::size_t kSharedTextLength = 40;

QString columnText(SharedTexts& shared, const char* text, bool repeats) {
    const std::size_t length = std::strlen(text);
    if (!repeats || length > kSharedTextLength) return db::fromAnsi(std::string_view(text, length));
    const QByteArray key = QByteArray::fromRawData(text, static_cast<qsizetype>(length));
    const auto it = shared.constFind(key);
    if (it != shared.cend()) return *it;
    QString converted = db::fromAnsi(std::string_view(text, length));
    shared.insert(QByteArray(text, static_cast<qsizetype>(length)), converted);
    return converted;
}

template <typename Record, std::size_t N>
void appendRecord(std::vector<Record>& records, const Column<Record> (&columns)[N], SharedTexts& shared,
                  int32_t columnCount, char** texts) {
    Record record;
    for (const Column<Record>& column : columns) {
        if (column.index >= columnCount) continue;
        const char* text = texts[column.index];
        if (!text) continue;  // no memory for this column's copy: the field stays empty
        record.*column.field = columnText(shared, text, column.repeats);
    }
    records.push_back(std::move(record));
}

void appendRecord(Tables& into, ProgrammeTable table, SharedTexts& shared, int32_t columnCount, char** texts) {
    using T = ProgrammeTable;
    switch (table) {
    case T::Rooms: appendRecord(into.rooms, kRoomColumns, shared, columnCount, texts); break;
    case T::Companies: appendRecord(into.companies, kCompanyColumns, shared, columnCount, texts); break;
    case T::Shows: appendRecord(into.shows, kShowColumns, shared, columnCount, texts); break;
    case T::Timeslots: appendRecord(into.timeslots, kTimeslotColumns, shared, columnCount, texts); break;
    case T::Contracts: appendRecord(into.contracts, kContractColumns, shared, columnCount, texts); break;
    }
}

template <typename Record, std::size_t N>
struct LoadTarget {
    std::vector<Record>* records;
    const Column<Record> (*columns)[N];
    SharedTexts shared;
};

template <typename Record, std::size_t N>
int32_t appendRow(void* context, int32_t columnCount, char** columns, void*) {
    auto* target = static_cast<LoadTarget<Record, N>*>(context);
    appendRecord(*target->records, *target->columns, target->shared, columnCount, columns);
    return 0;
}

template <typename Record, std::size_t N>
int load(LoadHooks* hooks, ProgrammeTable table, const char* statement, std::vector<Record>& records,
         const Column<Record> (&columns)[N]) {
    if (hooks) hooks->loading(table);
    records.clear();
    recordsChanged();
    LoadTarget<Record, N> target{&records, &columns, {}};
    if (db::QueryRunner(statement, &appendRow<Record, N>, &target) != db::kQueryOk) {
        db::reportDbExecError(statement);
        return -1;
    }
    recordsChanged();
    if (hooks) hooks->loaded(table);
    return 0;
}

}  // namespace

void recordsChanged() { ++gRecordsVersion; }

std::vector<Company>& companies() { return gCompanies; }
std::vector<Show>& shows() { return gShows; }
std::vector<Room>& rooms() { return gRooms; }
std::vector<Timeslot>& timeslots() { return gTimeslots; }
std::vector<Contract>& contracts() { return gContracts; }

void clearAll() {
    gCompanies.clear();
    gShows.clear();
    gRooms.clear();
    gTimeslots.clear();
    gContracts.clear();
    recordsChanged();
}

int loadRooms(LoadHooks* hooks) { return load(hooks, ProgrammeTable::Rooms, kRoomsStatement, gRooms, kRoomColumns); }
int loadCompanies(LoadHooks* hooks) {
    return load(hooks, ProgrammeTable::Companies, kCompaniesStatement, gCompanies, kCompanyColumns);
}
int loadShows(LoadHooks* hooks) { return load(hooks, ProgrammeTable::Shows, kShowsStatement, gShows, kShowColumns); }
int loadTimeslots(LoadHooks* hooks) {
    return load(hooks, ProgrammeTable::Timeslots, kTimeslotsStatement, gTimeslots, kTimeslotColumns);
}
int loadContracts(LoadHooks* hooks) {
    return load(hooks, ProgrammeTable::Contracts, kContractsStatement, gContracts, kContractColumns);
}

const char* statementOf(ProgrammeTable table) {
    using T = ProgrammeTable;
    switch (table) {
    case T::Rooms: return kRoomsStatement;
    case T::Companies: return kCompaniesStatement;
    case T::Shows: return kShowsStatement;
    case T::Timeslots: return kTimeslotsStatement;
    case T::Contracts: return kContractsStatement;
    }
    return kRoomsStatement;
}

const char* tableName(ProgrammeTable table) {
    using T = ProgrammeTable;
    switch (table) {
    case T::Rooms: return "salle";
    case T::Companies: return "comp";
    case T::Shows: return "showname";
    case T::Timeslots: return "timeslot";
    case T::Contracts: return "contract";
    }
    return "salle";
}

struct RowSink::Shared {
    SharedTexts texts;
};

RowSink::RowSink(Tables& into, ProgrammeTable table)
    : into_(&into), table_(table), shared_(std::make_shared<Shared>()) {}

RowSink RowSink::tagged(Tables& into) {
    RowSink sink(into, ProgrammeTable::Rooms);
    sink.tagged_ = true;
    return sink;
}

int32_t RowSink::append(void* context, int32_t columnCount, char** columns, void*) {
    auto* sink = static_cast<RowSink*>(context);
    ProgrammeTable table = sink->table_;
    if (sink->tagged_) {
        if (columnCount < 1 || !columns[0]) return 0;
        const long long tag = std::strtoll(columns[0], nullptr, 10);
        if (tag < 0 || tag > static_cast<long long>(ProgrammeTable::Contracts)) return 0;
        table = static_cast<ProgrammeTable>(tag);
        ++columns;
        --columnCount;
    }
    appendRecord(*sink->into_, table, sink->shared_->texts, columnCount, columns);
    return 0;
}

namespace {
void swapWithHeld(Tables& tables) {
    gRooms.swap(tables.rooms);
    gCompanies.swap(tables.companies);
    gShows.swap(tables.shows);
    gTimeslots.swap(tables.timeslots);
    gContracts.swap(tables.contracts);
}
}  // namespace

void install(Tables&& tables) {
    swapWithHeld(tables);
    recordsChanged();
}

void install(ProgrammeTable table, Tables& tables) {
    using T = ProgrammeTable;
    switch (table) {
    case T::Rooms: gRooms.swap(tables.rooms); break;
    case T::Companies: gCompanies.swap(tables.companies); break;
    case T::Shows: gShows.swap(tables.shows); break;
    case T::Timeslots: gTimeslots.swap(tables.timeslots); break;
    case T::Contracts: gContracts.swap(tables.contracts); break;
    }
    ++tableVersion(table);
    ++orderVersion(table);
}

namespace {

// Where a record goes in its table, as the table's ORDER BY puts it: before the first held
// record that the statement would give after it. The server compares names without regard to
// case; so does this.
bool comesBefore(const Company& a, const Company& b) { return a.nom.compare(b.nom, Qt::CaseInsensitive) > 0; }
bool comesBefore(const Show& a, const Show& b) { return a.name.compare(b.name, Qt::CaseInsensitive) > 0; }
bool comesBefore(const Timeslot& a, const Timeslot& b) {
    return a.date != b.date ? a.date < b.date : a.start < b.start;
}
bool comesBefore(const Contract& a, const Contract& b) { return a.created > b.created; }
bool comesBefore(const Room&, const Room&) { return false; }  // no order: a new room goes last

bool sameOrderKey(const Company& a, const Company& b) { return a.nom == b.nom; }
bool sameOrderKey(const Show& a, const Show& b) { return a.name == b.name; }
bool sameOrderKey(const Timeslot& a, const Timeslot& b) { return a.date == b.date && a.start == b.start; }
bool sameOrderKey(const Contract& a, const Contract& b) { return a.created == b.created; }
bool sameOrderKey(const Room&, const Room&) { return true; }

// Where a record goes: before the first held record that comes after it. The slots are held
// in the order of their days and starts, which their texts compare in, and are found by
// halves; the other tables are short, and names compare in the server's collation only
// roughly, so they are walked.
template <typename Record>
typename std::vector<Record>::iterator placeOf(std::vector<Record>& held, const Record& record) {
    return std::find_if(held.begin(), held.end(), [&](const Record& r) { return comesBefore(record, r); });
}
template <>
std::vector<Timeslot>::iterator placeOf(std::vector<Timeslot>& held, const Timeslot& record) {
    return std::upper_bound(held.begin(), held.end(), record,
                            [](const Timeslot& a, const Timeslot& b) { return comesBefore(a, b); });
}

// The fields the lookups' indexes are built on: a row rewritten in place with the same ones
// leaves them right.
bool sameIndexKeys(const Company& a, const Company& b) { return a.id == b.id; }
bool sameIndexKeys(const Show& a, const Show& b) { return a.id == b.id; }
bool sameIndexKeys(const Room& a, const Room& b) { return a.id == b.id; }
bool sameIndexKeys(const Timeslot& a, const Timeslot& b) {
    return a.id == b.id && a.childof == b.childof && a.deleted == b.deleted;
}
bool sameIndexKeys(const Contract& a, const Contract& b) { return a.id == b.id && a.ts == b.ts; }

bool sameDay(const Timeslot& a, const Timeslot& b) { return a.date == b.date; }
template <typename Record>
bool sameDay(const Record&, const Record&) {
    return false;
}

// find(held, id) gives the record index of the first held record of an id, or -1. Every id is
// looked up before any record moves, so that the lookups' indexes hold for all of them.
template <typename Record, typename Find>
Applied applyRecords(std::vector<Record>& held, const QStringList& asked, const std::vector<Record>& fresh, Find find) {
    Applied applied;
    QHash<QString, const Record*> given;
    for (const Record& record : fresh) given.insert(record.id, &record);
    struct Asked {
        const Record* now;
        int at;
    };
    std::vector<Asked> found;
    QSet<QString> seen;
    for (const QString& id : asked) {
        if (seen.contains(id)) continue;
        seen.insert(id);
        found.push_back({given.value(id, nullptr), find(held, id)});
    }
    std::vector<int> leaving;  // held records to take out
    std::vector<const Record*> placing;
    bool keysKept = true;
    bool withinDay = false;
    QString movingId;
    for (const Asked& a : found) {
        if (a.at >= 0 && a.now && sameOrderKey(held[static_cast<std::size_t>(a.at)], *a.now)) {
            Record& record = held[static_cast<std::size_t>(a.at)];
            applied.keysChanged |= !sameIndexKeys(record, *a.now);
            applied.changed |= !(record == *a.now);
            record = *a.now;
            continue;
        }
        if (a.at < 0 && !a.now) continue;  // neither held nor stored
        applied.changed = true;
        if (a.at >= 0) {
            leaving.push_back(a.at);
            if (a.now) {
                movingId = a.now->id;
                keysKept = sameIndexKeys(held[static_cast<std::size_t>(a.at)], *a.now);
                withinDay = sameDay(held[static_cast<std::size_t>(a.at)], *a.now);
            }
        }
        if (a.now) placing.push_back(a.now);
    }
    // An id is its table's primary key: the record found is the only one of its id. Taken out
    // from the last, so that the places of the others hold; a walk of a season's slots here
    // was a pause of the window.
    std::sort(leaving.rbegin(), leaving.rend());
    for (int at : leaving) held.erase(held.begin() + at);
    applied.moved = !leaving.empty() || !placing.empty();
    int placedAt = -1;
    for (const Record* record : placing) {
        const auto at = placeOf(held, *record);
        placedAt = static_cast<int>(at - held.begin());
        held.insert(at, *record);
    }
    if (leaving.size() == 1 && placing.size() == 1 && keysKept && !movingId.isNull() &&
        placing.front()->id == movingId) {
        applied.movedFrom = leaving.front();
        applied.movedTo = placedAt;
        applied.movedWithinItsDay = withinDay;
    }
    return applied;
}

template <typename Record>
int scanForId(const std::vector<Record>& held, const QString& id) {
    const auto it = std::find_if(held.begin(), held.end(), [&](const Record& r) { return r.id == id; });
    return it == held.end() ? -1 : static_cast<int>(it - held.begin());
}

template <typename Record>
auto byIndex(KeyIndex<Record>& index) {
    return [&index](const std::vector<Record>& held, const QString& id) { return index.findIndexed(held, id); };
}

}  // namespace

Applied applyRows(Tables& held, ProgrammeTable table, const QStringList& asked, const Tables& fresh) {
    using T = ProgrammeTable;
    switch (table) {
    case T::Rooms: return applyRecords(held.rooms, asked, fresh.rooms, scanForId<Room>);
    case T::Companies: return applyRecords(held.companies, asked, fresh.companies, scanForId<Company>);
    case T::Shows: return applyRecords(held.shows, asked, fresh.shows, scanForId<Show>);
    case T::Timeslots: return applyRecords(held.timeslots, asked, fresh.timeslots, scanForId<Timeslot>);
    case T::Contracts: return applyRecords(held.contracts, asked, fresh.contracts, scanForId<Contract>);
    }
    return {};
}

int indexAfterMove(int index, int from, int to) {
    if (index == from) return to;
    if (from < to && index > from && index <= to) return index - 1;
    if (to < from && index >= to && index < from) return index + 1;
    return index;
}

namespace {

void followMove(ProgrammeTable table, int from, int to) {
    using T = ProgrammeTable;
    switch (table) {
    case T::Rooms: gRoomById.recordMoved(gRooms, from, to); break;
    case T::Companies:
        gCompanyById.recordMoved(gCompanies, from, to);
        gFirstCompanyById.recordMoved(gCompanies, from, to);
        break;
    case T::Shows: gShowById.recordMoved(gShows, from, to); break;
    case T::Timeslots:
        gTimeslotById.recordMoved(gTimeslots, from, to);
        gTimeslotByChildof.recordMoved(gTimeslots, from, to);
        gLiveTimeslotByChildof.recordMoved(gTimeslots, from, to);
        break;
    case T::Contracts:
        gContractById.recordMoved(gContracts, from, to);
        gContractByTimeslot.recordMoved(gContracts, from, to);
        break;
    }
}

}  // namespace

// The held record of an id is found through the lookups' indexes: a scan of a season's slots
// for each row read again was a pause of the window.
Applied applyRows(ProgrammeTable table, const QStringList& asked, const Tables& fresh) {
    using T = ProgrammeTable;
    Applied applied;
    switch (table) {
    case T::Rooms: applied = applyRecords(gRooms, asked, fresh.rooms, byIndex(gRoomById)); break;
    case T::Companies: applied = applyRecords(gCompanies, asked, fresh.companies, byIndex(gFirstCompanyById)); break;
    case T::Shows: applied = applyRecords(gShows, asked, fresh.shows, byIndex(gShowById)); break;
    case T::Timeslots: applied = applyRecords(gTimeslots, asked, fresh.timeslots, byIndex(gTimeslotById)); break;
    case T::Contracts: applied = applyRecords(gContracts, asked, fresh.contracts, byIndex(gContractById)); break;
    }
    // The indexes of the lookups are built again only when what they are built on changed; one
    // record that changed place alone is followed.
    if (applied.movedFrom >= 0 && !applied.keysChanged) {
        followMove(table, applied.movedFrom, applied.movedTo);
        if (!(table == T::Timeslots && applied.movedWithinItsDay)) ++orderVersion(table);
        return applied;
    }
    if (applied.moved || applied.keysChanged) ++tableVersion(table);
    if (applied.moved) ++orderVersion(table);
    return applied;
}

namespace {

std::string gLoadedStamp;

int32_t keepStamp(void*, int32_t columns, char** values, void*) {
    if (columns > 0 && values[0]) gLoadedStamp = values[0];
    return 0;
}

}  // namespace

const std::string& loadedChangeStamp() { return gLoadedStamp; }

int reloadAll(LoadHooks* hooks) {
    if (!db::programmeConnected() && db::connectProgramme() != 0) return -1;
    // Read first: a change made while the tables load shows as a change at the next check.
    gLoadedStamp.clear();
    if (db::QueryRunner(kChangeStampStatement, &keepStamp, nullptr) != db::kQueryOk) {
        gLoadedStamp.clear();
        // A server that cannot serve now (a node of a cluster stopping or catching up) is
        // reported once, as a connection that failed is, and every list keeps its records.
        if (db::serverOutOfReach(db::lastErrorNumber())) {
            db::reportDbExecError(kChangeStampStatement);
            db::closeProgramme();
            return -1;
        }
    }
    int result = 0;
    // Each table is loaded whatever became of the one before: a refused statement costs only
    // its own list. Once the server is out of reach the tables left would each report the same
    // and lose their records: they keep them.
    for (int (*load)(LoadHooks*) : {loadRooms, loadCompanies, loadShows, loadTimeslots, loadContracts}) {
        if (load(hooks) == 0) continue;
        result = -1;
        if (db::serverOutOfReach(db::lastErrorNumber())) break;
    }
    db::closeProgramme();
    return result;
}

bool isPlaceholderName(const QString& name) { return !name.isEmpty() && name.front() == u'<' && name.back() == u'>'; }

long long leadingInteger(const QString& text) {
    qsizetype i = 0;
    while (i < text.size() && text[i].isSpace()) ++i;
    bool negative = false;
    if (i < text.size() && (text[i] == u'-' || text[i] == u'+')) negative = text[i++] == u'-';
    long long value = 0;
    for (; i < text.size() && text[i] >= u'0' && text[i] <= u'9'; ++i) {
        if (value > 100000000000000000LL) break;  // far beyond any id; stop before overflowing
        value = value * 10 + (text[i].unicode() - u'0');
    }
    return negative ? -value : value;
}

double leadingDecimal(QStringView text) {
    qsizetype i = 0;
    while (i < text.size() && text[i].isSpace()) ++i;
    const qsizetype start = i;
    if (i < text.size() && (text[i] == u'+' || text[i] == u'-')) ++i;
    const auto digits = [&] {
        const qsizetype from = i;
        while (i < text.size() && text[i] >= u'0' && text[i] <= u'9') ++i;
        return i - from;
    };
    qsizetype count = digits();
    if (i < text.size() && text[i] == u'.') {
        ++i;
        count += digits();
    }
    if (count == 0) return 0.0;
    bool ok = false;
    const double value = text.mid(start, i - start).toDouble(&ok);
    return ok ? value : 0.0;
}

bool isDeleted(const QString& deletedText) { return leadingInteger(deletedText) == 1; }

bool isGroupHead(const Timeslot& slot) { return leadingInteger(slot.childof) < 0; }

QString showLookup(const QString& showId, QString* companyName) {
    const int show = gShowById.find(gShows, showId);
    if (show < 0) return QString::fromLatin1(kUnknownName);
    const Show& record = gShows[static_cast<std::size_t>(show)];
    if (companyName) {
        const int company = gCompanyById.find(gCompanies, record.comp);
        if (company >= 0) *companyName = gCompanies[static_cast<std::size_t>(company)].nom;
    }
    return record.name;
}

QString roomLookup(const QString& roomId, QString* contractName, QString* capacity) {
    const int index = gRoomById.find(gRooms, roomId);
    if (index < 0) return QString::fromLatin1(kUnknownName);
    const Room& room = gRooms[static_cast<std::size_t>(index)];
    if (contractName) *contractName = room.contract_name;
    if (capacity) *capacity = room.capacity;
    return room.name;
}

QString roomOfTimeslot(const QString& timeslotId, QString* contractName, QString* capacity) {
    const int index = timeslotIndexById(timeslotId);
    if (index < 0) return QString();
    return roomLookup(gTimeslots[static_cast<std::size_t>(index)].room, contractName, capacity);
}

const std::vector<DateRun>& timeslotDateRuns() {
    static struct {
        unsigned all = ~0u;
        unsigned order = ~0u;
        const Timeslot* data = nullptr;
        std::size_t size = 0;
        std::vector<DateRun> runs;
    } built;
    const unsigned order = orderVersion(ProgrammeTable::Timeslots);
    if (built.all == gRecordsVersion && built.order == order && built.data == gTimeslots.data() &&
        built.size == gTimeslots.size())
        return built.runs;
    built.runs.clear();
    for (int i = 0; i < static_cast<int>(gTimeslots.size()); ++i) {
        const QString& date = gTimeslots[static_cast<std::size_t>(i)].date;
        if (built.runs.empty() || gTimeslots[static_cast<std::size_t>(built.runs.back().first)].date != date)
            built.runs.push_back({i, i, dayOfIsoDate(date)});
        built.runs.back().end = i + 1;
    }
    built.all = gRecordsVersion;
    built.order = order;
    built.data = gTimeslots.data();
    built.size = gTimeslots.size();
    return built.runs;
}

int timeslotIndexById(const QString& id) { return gTimeslotById.find(gTimeslots, id); }
int companyIndexById(const QString& id) { return gFirstCompanyById.find(gCompanies, id); }
int showIndexById(const QString& id) { return gShowById.find(gShows, id); }
int contractIndexById(const QString& id) { return gContractById.find(gContracts, id); }
std::vector<int> contractsOfTimeslot(const QString& timeslotId) {
    return gContractByTimeslot.all(gContracts, timeslotId);
}

int groupHeadIndex(int timeslotIndex) {
    if (timeslotIndex < 0 || static_cast<std::size_t>(timeslotIndex) >= gTimeslots.size()) return -1;
    const Timeslot& slot = gTimeslots[static_cast<std::size_t>(timeslotIndex)];
    // Only -1 marks a head here; any other childof names the head's id.
    if (leadingInteger(slot.childof) == -1) return timeslotIndex;
    return timeslotIndexById(slot.childof);
}

unsigned countChildren(const QString& headId) { return gTimeslotByChildof.count(gTimeslots, headId); }
std::vector<int> childrenOf(const QString& headId) { return gTimeslotByChildof.all(gTimeslots, headId); }
unsigned countLiveChildren(const QString& headId) { return gLiveTimeslotByChildof.count(gTimeslots, headId); }

namespace scan {

QString showLookup(const QString& showId, QString* companyName) {
    for (const Show& show : gShows) {
        if (show.id != showId) continue;
        if (companyName) {
            for (const Company& company : gCompanies)
                if (company.id == show.comp) *companyName = company.nom;
        }
        return show.name;
    }
    return QString::fromLatin1(kUnknownName);
}

int timeslotIndexById(const QString& id) {
    for (std::size_t i = 0; i < gTimeslots.size(); ++i)
        if (gTimeslots[i].id == id) return static_cast<int>(i);
    return -1;
}

unsigned countChildren(const QString& headId) {
    unsigned count = 0;
    for (const Timeslot& slot : gTimeslots)
        if (slot.childof == headId) ++count;
    return count;
}

unsigned countLiveChildren(const QString& headId) {
    unsigned count = 0;
    for (const Timeslot& slot : gTimeslots)
        if (slot.childof == headId && !isDeleted(slot.deleted)) ++count;
    return count;
}

}  // namespace scan

}  // namespace programme
