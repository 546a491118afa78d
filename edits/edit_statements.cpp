#include "edits/edit_statements.h"

#include "db/codepage.h"
#include "db/sql_text.h"
#include "programme/date_texts.h"
#include "programme/programme_data.h"

namespace edits {

namespace {

using db::formatStatement;
using db::sqlValue;

// Existing ids are the texts the server sent for integer columns.
std::string idOf(const QString& idText) { return db::toAnsi(idText); }

unsigned u(int32_t value) { return static_cast<unsigned>(value); }

}  // namespace

std::string addCompanyStatement(unsigned id, const QString& nom, const QString& email, const QString& contact1,
                                const QString& contact2) {
    return formatStatement(
        "INSERT INTO `comp` (`id`, `nom`, `email`, `contact1`, `contact2`) VALUES (\"%u\", \"%s\", \"%s\", \"%s\", "
        "\"%s\")",
        id, sqlValue(nom).c_str(), sqlValue(email).c_str(), sqlValue(contact1).c_str(), sqlValue(contact2).c_str());
}

QString placeholderShowName(const QString& companyNom) {
    return QStringLiteral("<spectacle à définir (compagnie ") + companyNom + QStringLiteral(")>");
}

std::string addPlaceholderShowStatement(unsigned showId, const QString& companyNom, unsigned companyId) {
    return formatStatement("INSERT INTO `showname` (`id`, `name`, `comp`) VALUES (\"%u\", \"%s\", \"%u\")", showId,
                           sqlValue(placeholderShowName(companyNom)).c_str(), companyId);
}

std::string editCompanyStatement(const QString& nom, const QString& email, const QString& fulladr,
                                 const QString& contact1, const QString& contact2, const QString& idText) {
    return formatStatement(
        "UPDATE `comp` SET `nom` = \"%s\", `email` = \"%s\", `fulladr` = \"%s\", `contact1` = \"%s\", `contact2` = "
        "\"%s\" WHERE `comp`.`id` = %s",
        sqlValue(nom).c_str(), sqlValue(email).c_str(), sqlValue(fulladr).c_str(), sqlValue(contact1).c_str(),
        sqlValue(contact2).c_str(), idOf(idText).c_str());
}

std::string deleteCompanyStatement(const QString& idText) {
    return formatStatement("UPDATE `comp` SET `deleted` = \"1\" WHERE `id` = %s", idOf(idText).c_str());
}

std::string addShowStatement(unsigned id, const QString& name, int32_t companyId) {
    return formatStatement(
        "INSERT INTO `showname` (`id`, `name`, `comp`, `deleted`) VALUES (\"%u\", \"%s\", \"%d\", \"0\")", id,
        sqlValue(name).c_str(), companyId);
}

std::string editShowStatement(const QString& name, int32_t companyId, const QString& idText) {
    return formatStatement("UPDATE `showname` SET `name` = \"%s\", `comp` = \"%u\" WHERE `id` = %s",
                           sqlValue(name).c_str(), u(companyId), idOf(idText).c_str());
}

std::string deleteShowStatement(const QString& idText) {
    return formatStatement("UPDATE `showname` SET `deleted` = \"1\" WHERE `id` = %s", idOf(idText).c_str());
}

planning::SlotEntry slotEntryOf(const QString& date, const QString& start, const QString& end) {
    unsigned year = 0, month = 0, day = 0, startHour = 0, startMinute = 0, endHour = 0, endMinute = 0;
    programme::readIsoDate(date, &year, &month, &day);
    programme::readTime(start, &startHour, &startMinute);
    programme::readTime(end, &endHour, &endMinute);
    auto s = [](unsigned v) { return static_cast<int32_t>(v); };
    return {s(day), s(month), s(year), s(startHour), s(startMinute), s(endHour), s(endMinute)};
}

std::string insertDateText(const planning::SlotEntry& slot) {
    return formatStatement("%4.4u-%2.2u-%2.2u", u(slot.year), u(slot.month), u(slot.day));
}
std::string insertStartText(const planning::SlotEntry& slot) {
    return formatStatement("%2.2u:%2.2u:00", u(slot.startHour), u(slot.startMinute));
}
std::string insertEndText(const planning::SlotEntry& slot) {
    return formatStatement("%2.2u:%2.2u:00", u(slot.endHour), u(slot.endMinute));
}

std::string addGroupHeadStatement(unsigned id, const planning::SlotEntry& slot, int32_t showId, int32_t roomId,
                                  const QString& survey, const QString& todo, const QString& done) {
    return formatStatement(
        "INSERT INTO `timeslot` (`id`, `date`, `start`, `end`, `deleted`, `showname`, `childof`, `room`, `survey`, "
        "`todo`, `done`) VALUES (\"%u\", \"%s\", \"%s\", \"%s\", \"0\", \"%d\", \"%d\", \"%d\" , \"%s\", \"%s\", "
        "\"%s\")",
        id, insertDateText(slot).c_str(), insertStartText(slot).c_str(), insertEndText(slot).c_str(), showId, -1,
        roomId, sqlValue(survey).c_str(), sqlValue(todo).c_str(), sqlValue(done).c_str());
}

std::string addGroupChildStatement(unsigned id, const planning::SlotEntry& slot, int32_t showId, int32_t childof,
                                   int32_t roomId) {
    return formatStatement(
        "INSERT INTO `timeslot` (`id`, `date`, `start`, `end`, `deleted`, `showname`, `childof`, `room`) VALUES "
        "(\"%u\", \"%s\", \"%s\", \"%s\", \"0\", \"%d\", \"%d\", \"%d\")",
        id, insertDateText(slot).c_str(), insertStartText(slot).c_str(), insertEndText(slot).c_str(), showId, childof,
        roomId);
}

std::string editGroupHeadStatement(const planning::SlotEntry& slot, int32_t showId, int32_t roomId,
                                   const QString& survey, const QString& todo, const QString& done, unsigned id) {
    return formatStatement(
        "UPDATE `timeslot` SET `date` = '%4.4u-%2.2u-%2.2u', `start` = '%2.2u:%2.2u:0.0', `end` = "
        "'%2.2u:%2.2u:0.0', `showname` = '%u', `room` = '%u',`childof` = '%d',`survey` = '%s',`todo` = "
        "'%s',`done` = '%s' WHERE `id` = %u",
        u(slot.year), u(slot.month), u(slot.day), u(slot.startHour), u(slot.startMinute), u(slot.endHour),
        u(slot.endMinute), u(showId), u(roomId), -1, sqlValue(survey).c_str(), sqlValue(todo).c_str(),
        sqlValue(done).c_str(), id);
}

std::string editGroupChildStatement(const planning::SlotEntry& slot, int32_t showId, int32_t roomId, int32_t childof,
                                    unsigned id) {
    return formatStatement(
        "UPDATE `timeslot` SET `date` = '%4.4u-%2.2u-%2.2u', `start` = '%2.2u:%2.2u:0.0', `end` = "
        "'%2.2u:%2.2u:0.0', `showname` = '%u', `room` = '%u',`childof` = '%d' WHERE `id` = %u",
        u(slot.year), u(slot.month), u(slot.day), u(slot.startHour), u(slot.startMinute), u(slot.endHour),
        u(slot.endMinute), u(showId), u(roomId), childof, id);
}

std::string removeSlotStatement(unsigned id) {
    return formatStatement("UPDATE `timeslot` SET `deleted` = \"1\" WHERE `id` = %u", id);
}

std::string addSlotStatement(unsigned id, const planning::SlotEntry& slot, int32_t showId, int32_t roomId,
                             int32_t childof) {
    return formatStatement(
        "INSERT INTO `timeslot` (`id`, `date`, `start`, `end`, `deleted`, `showname`, `room`, `childof`) VALUES "
        "(\"%u\", \"%s\", \"%s\", \"%s\", \"0\", \"%d\", \"%d\", \"%d\")",
        id, insertDateText(slot).c_str(), insertStartText(slot).c_str(), insertEndText(slot).c_str(), showId, roomId,
        childof);
}

std::string deleteGroupStatement(const QString& headIdText) {
    const std::string id = idOf(headIdText);
    return formatStatement("UPDATE `timeslot` SET `deleted` = \"1\" WHERE `id` = %s or `childof` = %s", id.c_str(),
                           id.c_str());
}

std::string addContractStatement(unsigned id, int32_t timeslotId, const QString& extra, const QString& rtf) {
    return formatStatement(
        "INSERT INTO `contract` (`id`, `ts`, `created`, `extra`, `rtf`) VALUES ('%u', '%u', UTC_TIMESTAMP(), \"%s\", "
        "'%s')",
        id, u(timeslotId), sqlValue(extra).c_str(), sqlValue(rtf).c_str());
}

std::string updateFollowUpPlanStatement(const QString& todo, int32_t timeslotId) {
    return formatStatement("UPDATE `timeslot` SET `todo` = \"%s\" WHERE `id` = %u", sqlValue(todo).c_str(),
                           u(timeslotId));
}

std::string editContractStatement(const QString& extra, const QString& rtf, const QString& idText) {
    return formatStatement("UPDATE `contract` SET `extra` = \"%s\",`rtf` = \"%s\" WHERE `id` = %s",
                           sqlValue(extra).c_str(), sqlValue(rtf).c_str(), idOf(idText).c_str());
}

std::string deleteContractStatement(const QString& idText) {
    return formatStatement("UPDATE `contract` SET `deleted` = \"1\" WHERE `id` = %s", idOf(idText).c_str());
}

std::string restoreRowsStatement(const char* table, const QStringList& idTexts) {
    std::string ids;
    for (const QString& id : idTexts) {
        if (!ids.empty()) ids += ", ";
        ids += std::to_string(programme::leadingInteger(id));
    }
    return formatStatement("UPDATE `%s` SET `deleted` = \"0\" WHERE `id` IN (%s)", table, ids.c_str());
}

}  // namespace edits
