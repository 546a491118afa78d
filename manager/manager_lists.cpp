#include "manager/manager_lists.h"

#include "programme/date_texts.h"
#include "programme/programme_data.h"

namespace programme {

std::optional<ListRow> companyRow(int index) {
    const auto& records = companies();
    if (index < 0 || index >= static_cast<int>(records.size())) return std::nullopt;
    const Company& company = records[static_cast<std::size_t>(index)];
    if (isDeleted(company.deleted)) return std::nullopt;
    return ListRow{index, {company.id, company.nom}};
}

std::optional<ListRow> showRow(int index) {
    const auto& records = shows();
    if (index < 0 || index >= static_cast<int>(records.size())) return std::nullopt;
    const Show& show = records[static_cast<std::size_t>(index)];
    if (isDeleted(show.deleted)) return std::nullopt;
    return ListRow{index, {show.id, show.name}};
}

std::vector<ListRow> companyRows() {
    std::vector<ListRow> rows;
    for (int i = 0; i < static_cast<int>(companies().size()); ++i)
        if (auto row = companyRow(i)) rows.push_back(std::move(*row));
    return rows;
}

std::vector<ListRow> showRows() {
    std::vector<ListRow> rows;
    for (int i = 0; i < static_cast<int>(shows().size()); ++i)
        if (auto row = showRow(i)) rows.push_back(std::move(*row));
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

std::optional<ListRow> timeslotGroupRow(int index) {
    const auto& records = timeslots();
    if (index < 0 || index >= static_cast<int>(records.size())) return std::nullopt;
    const Timeslot& slot = records[static_cast<std::size_t>(index)];
    if (isDeleted(slot.deleted) || !isGroupHead(slot)) return std::nullopt;
    return ListRow{index,
                   {slot.id, roomLookup(slot.room), showLookup(slot.showname),
                    QString::number(1u + countLiveChildren(slot.id)), firstDateText(slot.date, slot.start)}};
}

std::vector<ListRow> timeslotGroupRows() {
    std::vector<ListRow> rows;
    for (int i = 0; i < static_cast<int>(timeslots().size()); ++i)
        if (auto row = timeslotGroupRow(i)) rows.push_back(std::move(*row));
    return rows;
}

std::optional<ListRow> contractRow(int index) {
    const auto& records = contracts();
    if (index < 0 || index >= static_cast<int>(records.size())) return std::nullopt;
    const Contract& contract = records[static_cast<std::size_t>(index)];
    if (isDeleted(contract.deleted)) return std::nullopt;
    const int slot = timeslotIndexById(contract.ts);
    const QString show = slot >= 0 ? showLookup(timeslots()[static_cast<std::size_t>(slot)].showname) : QString();
    return ListRow{index, {contract.id, show, contract.ts}};
}

std::vector<ListRow> contractRows() {
    std::vector<ListRow> rows;
    for (int i = 0; i < static_cast<int>(contracts().size()); ++i)
        if (auto row = contractRow(i)) rows.push_back(std::move(*row));
    return rows;
}

bool nameDeleteEnabled(bool rowSelected, const QString& name) { return rowSelected && !isPlaceholderName(name); }

}  // namespace programme
