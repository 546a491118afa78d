#include "manager/manager_lists.h"

#include "programme/date_texts.h"
#include "programme/programme_data.h"

namespace programme {

namespace {

// The row of a company or show record: its id and name, when it is not deleted.
template <class Record>
std::optional<ListRow> nameRow(const std::vector<Record>& records, int index, QString Record::*name) {
    if (index < 0 || index >= static_cast<int>(records.size())) return std::nullopt;
    const Record& record = records[static_cast<std::size_t>(index)];
    if (isDeleted(record.deleted)) return std::nullopt;
    return ListRow{index, {record.id, record.*name}};
}

// The rows of records [0, count), in record order, those that have one.
std::vector<ListRow> rowsOf(std::size_t count, std::optional<ListRow> (*rowOf)(int)) {
    std::vector<ListRow> rows;
    for (int i = 0; i < static_cast<int>(count); ++i)
        if (auto row = rowOf(i)) rows.push_back(std::move(*row));
    return rows;
}

}  // namespace

std::optional<ListRow> companyRow(int index) { return nameRow(companies(), index, &Company::nom); }
std::optional<ListRow> showRow(int index) { return nameRow(shows(), index, &Show::name); }
std::vector<ListRow> companyRows() { return rowsOf(companies().size(), companyRow); }
std::vector<ListRow> showRows() { return rowsOf(shows().size(), showRow); }

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

std::vector<ListRow> timeslotGroupRows() { return rowsOf(timeslots().size(), timeslotGroupRow); }

std::optional<ListRow> contractRow(int index) {
    const auto& records = contracts();
    if (index < 0 || index >= static_cast<int>(records.size())) return std::nullopt;
    const Contract& contract = records[static_cast<std::size_t>(index)];
    if (isDeleted(contract.deleted)) return std::nullopt;
    const int slot = timeslotIndexById(contract.ts);
    const QString show = slot >= 0 ? showLookup(timeslots()[static_cast<std::size_t>(slot)].showname) : QString();
    return ListRow{index, {contract.id, show, contract.ts}};
}

std::vector<ListRow> contractRows() { return rowsOf(contracts().size(), contractRow); }

bool nameDeleteEnabled(bool rowSelected, const QString& name) { return rowSelected && !isPlaceholderName(name); }

}  // namespace programme
