// How the programme's records point at each other, read from the loaded lists: a show at its
// company (`comp`), a timeslot group at its show (`showname`), a contract at its group's head
// (`ts`). A delete asks about the live records that still point at what it deletes; a restore
// about the deleted records that what it restores points at.
#pragma once

#include <QString>
#include <QStringList>
#include <vector>

namespace edits {

enum class RecordKind { Company, Show, Group, Contract };

// One record by its kind and id text. A group is its head's id.
struct RecordRef {
    RecordKind kind = RecordKind::Company;
    QString id;
    bool operator==(const RecordRef&) const = default;
};

// The table a kind lives in, as its statements name it: comp, showname, timeslot, contract.
const char* tableOf(RecordKind kind);

// Record indexes in the loaded lists, in record order. "Live" is not deleted.
std::vector<int> liveShowsOfCompany(const QString& companyId);
std::vector<int> liveGroupsOfShow(const QString& showId);
std::vector<int> liveContractsOfGroup(const QString& headId);
// The ids of the rows a group delete takes: the head and its live children.
QStringList liveRowsOfGroup(const QString& headId);
// The ids of a deleted group's rows: the head and its deleted children.
QStringList deletedRowsOfGroup(const QString& headId);

// The index of the first loaded record of that kind with that id, or -1. Groups are found
// by their head.
int recordIndex(const RecordRef& ref);
bool isLive(const RecordRef& ref);

// How the user sees a record, in the program's French:
//   « Mouette »; « Nuit » (Mouette); « Nuit », Rouge, Vendredi 05 Juillet 2019 à 20:30;
//   contrat 4 de « Nuit »
QString displayName(const RecordRef& ref);
// The record in a sentence: "la compagnie « Mouette »", "le spectacle « Nuit »", "le groupe
// de créneaux « Nuit », Rouge, ...", "le contrat 4 de « Nuit »".
QString recordInWords(const RecordRef& ref);
// One slot of a group by its row: "le créneau du Samedi 10 Juillet 2027 à 18:00".
QString slotInWords(const QString& rowId);
// Whether the kind's noun is feminine (for the words that agree with it).
inline bool isFeminine(RecordKind kind) { return kind == RecordKind::Company; }

// What a record was attached to, for the Corbeille: the company of a show, the show and
// room of a group, the group of a contract; empty for a company.
QString attachedTo(const RecordRef& ref);

}  // namespace edits
