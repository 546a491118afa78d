// The in-memory copy of the programme database: companies, shows, rooms, timeslots and
// contracts, each a program-wide list of records whose fields are the texts the server sent.
// A record's position in its list is its handle: list rows carry it as item data. The lists
// outlive the manager window; whole loads replace them, and rows read again by id are put in
// place (applyRows).
#pragma once

#include <QString>
#include <QStringList>
#include <QStringView>
#include <cstdint>
#include <memory>
#include <string>
#include <vector>

#include "platform/date_time.h"

namespace programme {

struct Company {
    QString id;
    QString nom;
    QString email;
    QString contact1;
    QString contact2;
    QString deleted;
    QString fulladr;
    bool operator==(const Company&) const = default;
};

struct Show {
    QString id;
    QString name;
    QString comp;
    QString deleted;
    bool operator==(const Show&) const = default;
};

// Column 2 of `salle` is not read; rooms cannot be deleted.
struct Room {
    QString id;
    QString name;
    QString capacity;
    QString contract_name;
    bool operator==(const Room&) const = default;
};

// A group is a head (childof negative, written -1) and the timeslots whose childof is the
// head's id. The follow-up texts todo, done and survey are those of the head.
struct Timeslot {
    QString id;
    QString date;
    QString start;
    QString end;
    QString deleted;
    QString showname;
    QString childof;
    QString room;
    QString todo;
    QString done;
    QString survey;
    bool operator==(const Timeslot&) const = default;
};

struct Contract {
    QString id;
    QString ts;
    QString created;
    QString extra;
    QString deleted;
    QString rtf;
    bool operator==(const Contract&) const = default;
};

// The program-wide lists, in the order the statements return them. Deleted records are held
// like the others. Tests and window code may fill them directly.
std::vector<Company>& companies();
std::vector<Show>& shows();
std::vector<Room>& rooms();
std::vector<Timeslot>& timeslots();
std::vector<Contract>& contracts();
// Empties all five lists (tests).
void clearAll();
// Tells the lookups that records were changed in place (their ids or childof texts): the
// loads and clearAll() say it themselves.
void recordsChanged();

inline constexpr const char* kRoomsStatement = "SELECT * FROM salle";
inline constexpr const char* kCompaniesStatement = "SELECT * FROM comp ORDER BY `nom` DESC";
inline constexpr const char* kShowsStatement = "SELECT * FROM showname ORDER BY `name` DESC";
inline constexpr const char* kTimeslotsStatement = "SELECT * FROM timeslot ORDER BY `date` ASC, `start` ASC";
inline constexpr const char* kContractsStatement = "SELECT * FROM contract ORDER BY `created` DESC";

inline constexpr const char* kUnknownName = "(inconnu";

enum class ProgrammeTable { Rooms, Companies, Shows, Timeslots, Contracts };

// Told of each load: before its table is emptied and read, then once its statement
// succeeded (not after a refused one). The manager's record lists empty and refill themselves
// on them; the loads know nothing of windows.
class LoadHooks {
public:
    virtual ~LoadHooks() = default;
    virtual void loading(ProgrammeTable table) = 0;
    virtual void loaded(ProgrammeTable table) = 0;
};

// The five tables as one read made them, apart from the program-wide lists: a load on a
// connection and thread of its own fills one, and the window's thread puts it in place.
struct Tables {
    std::vector<Room> rooms;
    std::vector<Company> companies;
    std::vector<Show> shows;
    std::vector<Timeslot> timeslots;
    std::vector<Contract> contracts;
};

// The SELECT of each table, as the loads run it.
const char* statementOf(ProgrammeTable table);
// The server's name of each table ("salle", "comp", "showname", "timeslot", "contract").
const char* tableName(ProgrammeTable table);

// Makes the records of one table's rows as the loads do (the same columns, the same texts),
// into a Tables of the caller's: the row callback's context for one statement. The rows of a
// statement that tags each with its table in an extra first column go to the table it names
// (tagged()).
class RowSink {
public:
    RowSink(Tables& into, ProgrammeTable table);
    static RowSink tagged(Tables& into);
    static int32_t append(void* sink, int32_t columnCount, char** columns, void* unused);

private:
    struct Shared;
    Tables* into_;
    ProgrammeTable table_;
    bool tagged_ = false;
    std::shared_ptr<Shared> shared_;
};

// Puts a whole read in place of the program-wide lists (the lookups follow); the lists
// replaced are left in `tables`.
void install(Tables&& tables);
// The same for one table alone.
void install(ProgrammeTable table, Tables& tables);

// Puts the rows read again by id in place of the held ones of that table: `asked` are the ids
// read again, `fresh` what the server gave for them (an asked id it did not give is gone from
// the table). A row whose ordering texts did not change keeps its place, so that the list rows
// carrying record indexes stay right; another goes where the table's statement would put it.
struct Applied {
    bool changed = false;      // a record read again differs from the one held, or went or came
    bool moved = false;        // a record went, came or changed place: indexes after it moved
    bool keysChanged = false;  // a record kept its place, but an id, childof or deleted changed
    // One record alone changed place, its id, childof and deleted as they were: it went from
    // movedFrom to movedTo, the records between shifting by one. The lookups follow it without
    // being built again; -1 when not so.
    int movedFrom = -1;
    int movedTo = -1;
    bool movedWithinItsDay = false;  // a slot whose start alone changed: the date runs hold
};
// Where a record index goes when one record moved as Applied says.
int indexAfterMove(int index, int from, int to);
Applied applyRows(ProgrammeTable table, const QStringList& asked, const Tables& fresh);
// The same on any held tables (tests).
Applied applyRows(Tables& held, ProgrammeTable table, const QStringList& asked, const Tables& fresh);

// Each load runs its statement on the open programme connection; 0 on success, -1 after the
// "Erreur : db_exec" message, the table then empty or partly filled. hooks may be null.
int loadRooms(LoadHooks* hooks);
int loadCompanies(LoadHooks* hooks);
int loadShows(LoadHooks* hooks);
int loadTimeslots(LoadHooks* hooks);
int loadContracts(LoadHooks* hooks);

// What tells a manager that the programme changed since it loaded it: every save writes an
// audit line, so the newest lines other than a manager's opening are enough, and cost a short
// walk back through the index of `logs`. Not the newest alone: a line's id is taken when the
// save writes it and becomes visible when the save commits, so a save that took its id before a
// colleague's and committed after it (two workstations saving at once, more often two nodes of
// a cluster, which hand out ids in turns) adds a line below the newest. Sixteen lines are more
// than the saves that can be committing at one moment.
inline constexpr const char* kChangeStampStatement =
    "SELECT GROUP_CONCAT(`id` ORDER BY `id` DESC) FROM (SELECT `id` FROM `logs` WHERE `log` NOT LIKE "
    "'% : manager started' ORDER BY `id` DESC LIMIT 16) AS `newest`";
// The stamp read by the last reloadAll, before its loads; empty when it could not be read.
const std::string& loadedChangeStamp();

// Connects when the programme connection is not open (nothing is loaded when that fails:
// result -1, the records stay as they were), then runs the five loads in the order rooms,
// companies, shows, timeslots, contracts, each whatever the result of the one before, unless
// the server went out of reach (db::serverOutOfReach): the loads left are then not tried, and
// their records stay. A server out of reach from the start is reported once and nothing is
// loaded. Then closes the connection. 0 when every load succeeded, -1 otherwise.
int reloadAll(LoadHooks* hooks);

// A text read with a leading-integer parse ("12abc" -> 12, "abc" -> 0).
long long leadingInteger(const QString& text);
// The decimal number at the start of a text, "." as the decimal point whatever the process
// locale; 0 when the text does not start with one.
double leadingDecimal(QStringView text);
// deleted reads as 1.
bool isDeleted(const QString& deletedText);
// Names between "<" and ">" mark companies and shows that cannot be edited or deleted.
bool isPlaceholderName(const QString& name);
// childof reads as negative.
bool isGroupHead(const Timeslot& slot);

// Lookups; ids are compared as texts, code unit by code unit ("07" does not find "7").
// The first show whose id matches; with companyName, also the nom of the last company
// whose id equals the show's comp (left as it was when none does). kUnknownName otherwise.
QString showLookup(const QString& showId, QString* companyName = nullptr);
// The first room whose id matches, with its contract_name and capacity when asked for;
// kUnknownName (outs untouched) otherwise.
QString roomLookup(const QString& roomId, QString* contractName = nullptr, QString* capacity = nullptr);
// roomLookup of the room of the first timeslot whose id matches; empty when none does.
QString roomOfTimeslot(const QString& timeslotId, QString* contractName = nullptr, QString* capacity = nullptr);

// The timeslot records as runs of one date text, in record order, each with its date read as a
// day (dayOfIsoDate): the records come in date order, so the slots of a range of days are found
// run by run, without walking a season's records (cold in memory, that walk was the longest part
// of a paint). Built again, like the lookups' indexes, when the records were loaded, replaced or
// changed place; records changed in place by other means must say so (recordsChanged()).
struct DateRun {
    int first = 0;  // the run's first record
    int end = 0;    // one past its last
    platform::DateTime day;
};
const std::vector<DateRun>& timeslotDateRuns();

// The record index of the first timeslot whose id text equals id, or -1.
int timeslotIndexById(const QString& id);
// The same for the other tables whose rows are read again by id.
int companyIndexById(const QString& id);
int showIndexById(const QString& id);
int contractIndexById(const QString& id);
// The record indexes of the contracts (deleted ones included) whose ts text equals timeslotId.
std::vector<int> contractsOfTimeslot(const QString& timeslotId);
// The record index of the group head of a timeslot record (itself when its childof reads
// exactly -1), or -1 when the index is outside the list or the head is not loaded.
int groupHeadIndex(int timeslotIndex);
// The timeslot records (deleted ones included) whose childof text equals headId.
unsigned countChildren(const QString& headId);
// Their record indexes, in record order.
std::vector<int> childrenOf(const QString& headId);
// The same, deleted ones left out.
unsigned countLiveChildren(const QString& headId);

// The same lookups by a scan of the whole table, as a reference for the indexed ones.
namespace scan {
QString showLookup(const QString& showId, QString* companyName = nullptr);
int timeslotIndexById(const QString& id);
unsigned countChildren(const QString& headId);
unsigned countLiveChildren(const QString& headId);
}  // namespace scan

}  // namespace programme
