// The statements the manager's edit handlers run on the programme database. The statement
// texts are the system's own and stay exactly as they are; the values a user typed are put in
// escaped (db::sqlValue), ids and numbers as the formats say ("%u" writes -1 as 4294967295,
// which is what the stored rows hold). Each builder is named for the statement it writes
// (...Statement); the saves of saves.h that run them as transactions keep the short names.
#pragma once

#include <QString>
#include <QStringList>
#include <cstdint>
#include <string>

#include "planning/timeslot_editor.h"

namespace edits {

// Companies.
std::string addCompanyStatement(unsigned id, const QString& nom, const QString& email, const QString& contact1,
                                const QString& contact2);
// The placeholder show that every new company gets: "<spectacle à définir (compagnie nom)>".
QString placeholderShowName(const QString& companyNom);
std::string addPlaceholderShowStatement(unsigned showId, const QString& companyNom, unsigned companyId);
std::string editCompanyStatement(const QString& nom, const QString& email, const QString& fulladr,
                                 const QString& contact1, const QString& contact2, const QString& idText);
std::string deleteCompanyStatement(const QString& idText);

// Shows.
std::string addShowStatement(unsigned id, const QString& name, int32_t companyId);
std::string editShowStatement(const QString& name, int32_t companyId, const QString& idText);
std::string deleteShowStatement(const QString& idText);

// A slot entry from a record's texts: date YYYY-MM-DD, start and end HH:MM...
planning::SlotEntry slotEntryOf(const QString& date, const QString& start, const QString& end);

// Timeslot groups. A group's texts in the INSERTs: date "%4.4u-%2.2u-%2.2u", times "%2.2u:%2.2u:00".
std::string insertDateText(const planning::SlotEntry& slot);
std::string insertStartText(const planning::SlotEntry& slot);
std::string insertEndText(const planning::SlotEntry& slot);

std::string addGroupHeadStatement(unsigned id, const planning::SlotEntry& slot, int32_t showId, int32_t roomId,
                                  const QString& survey, const QString& todo, const QString& done);
std::string addGroupChildStatement(unsigned id, const planning::SlotEntry& slot, int32_t showId, int32_t childof,
                                   int32_t roomId);
std::string editGroupHeadStatement(const planning::SlotEntry& slot, int32_t showId, int32_t roomId,
                                   const QString& survey, const QString& todo, const QString& done, unsigned id);
std::string editGroupChildStatement(const planning::SlotEntry& slot, int32_t showId, int32_t roomId, int32_t childof,
                                    unsigned id);
std::string removeSlotStatement(unsigned id);
std::string addSlotStatement(unsigned id, const planning::SlotEntry& slot, int32_t showId, int32_t roomId,
                             int32_t childof);
std::string deleteGroupStatement(const QString& headIdText);

// Contracts. A new contract's `ts` is written with "%u" (no timeslot: 4294967295).
std::string addContractStatement(unsigned id, int32_t timeslotId, const QString& extra, const QString& rtf);
std::string updateFollowUpPlanStatement(const QString& todo, int32_t timeslotId);
std::string editContractStatement(const QString& extra, const QString& rtf, const QString& idText);
std::string deleteContractStatement(const QString& idText);

// Restores from the Corbeille: `deleted` back to "0" for the rows given (ids read as
// integers, so that nothing but numbers reaches the statement).
std::string restoreRowsStatement(const char* table, const QStringList& idTexts);

}  // namespace edits
