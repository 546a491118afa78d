#include "manager/manager_lists.h"

#include "programme/date_texts.h"
#include "programme/programme_data.h"

namespace programme {

std::vector<ListRow> companyRows() {
    std::vector<ListRow> rows;
    const auto& records = companies();
    for (int i = 0; i < static_cast<int>(records.size()); ++i) {
        if (isDeleted(records[i].deleted)) continue;
        rows.push_back({i, {records[i].id, records[i].nom}});
    }
    return rows;
}

std::vector<ListRow> showRows() {
    std::vector<ListRow> rows;
    const auto& records = shows();
    for (int i = 0; i < static_cast<int>(records.size()); ++i) {
        if (isDeleted(records[i].deleted)) continue;
        rows.push_back({i, {records[i].id, records[i].name}});
    }
    return rows;
}

std::vector<ListRow> roomRows() {
    std::vector<ListRow> rows;
    const auto& records = rooms();
    for (int i = 0; i < static_cast<int>(records.size()); ++i) rows.push_back({i, {records[i].id, records[i].name}});
    return rows;
}

QString firstDateText(const QString& isoDate, const QString& start) {
    return longFrenchDate(isoDate) + QStringLiteral(" à ") + shortTimeText(start);
}

std::vector<ListRow> timeslotGroupRows() {
    std::vector<ListRow> rows;
    const auto& records = timeslots();
    for (int i = 0; i < static_cast<int>(records.size()); ++i) {
        const Timeslot& slot = records[i];
        if (isDeleted(slot.deleted) || !isGroupHead(slot)) continue;
        rows.push_back({i,
                        {slot.id, roomLookup(slot.room), showLookup(slot.showname),
                         QString::number(1u + countLiveChildren(slot.id)), firstDateText(slot.date, slot.start)}});
    }
    return rows;
}

std::vector<ListRow> contractRows() {
    std::vector<ListRow> rows;
    const auto& records = contracts();
    const auto& slotRecords = timeslots();
    for (int i = 0; i < static_cast<int>(records.size()); ++i) {
        const Contract& contract = records[i];
        if (isDeleted(contract.deleted)) continue;
        const int slot = timeslotIndexById(contract.ts);
        const QString show = slot >= 0 ? showLookup(slotRecords[slot].showname) : QString();
        rows.push_back({i, {contract.id, show, contract.ts}});
    }
    return rows;
}

bool nameDeleteEnabled(bool rowSelected, const QString& name) { return rowSelected && !isPlaceholderName(name); }

}  // namespace programme
