#include "manager/record_lists.h"

#include <QHash>
#include <QScrollBar>
#include <QSet>
#include <QSignalBlocker>
#include <algorithm>
#include <functional>
#include <optional>

#include "dialog/controls.h"
#include "dialog/dialog.h"
#include "manager/manager_lists.h"
#include "programme/account.h"

namespace {

constexpr dlg::ColumnSpec kCompanyColumns[] = {{"Id", 50}, {"Nom", 300}};
constexpr dlg::ColumnSpec kTimeslotColumns[] = {
    {"Id", 20}, {"Salle", 35}, {"Spectacle", 100}, {"Nb crén.", 20}, {"Prem. date", 200}};
constexpr dlg::ColumnSpec kContractColumns[] = {{"Id", 50}, {"Spectacle", 140}, {"1er crén.", 200}};

constexpr int kRecordLists[] = {res::ManagerControls::kCompanyList, res::ManagerControls::kShowList,
                                res::ManagerControls::kTimeslotList, res::ManagerControls::kContractList,
                                res::ManagerControls::kRoomList};

// Every row of a fill goes in at once: the list grows linearly with its rows.
dlg::ListView::Row listRow(const programme::ListRow& data) { return {data.record, data.columns}; }

void appendRows(dlg::ListView* list, const std::vector<programme::ListRow>& rows) {
    std::vector<dlg::ListView::Row> items;
    items.reserve(rows.size());
    for (const auto& data : rows) items.push_back(listRow(data));
    list->insertRows(list->itemCount(), items);
}

// The records arrive in descending order; each inserted at the top, the list reads ascending.
void insertRowsAtTop(dlg::ListView* list, const std::vector<programme::ListRow>& rows) {
    std::vector<dlg::ListView::Row> items;
    items.reserve(rows.size());
    for (auto it = rows.rbegin(); it != rows.rend(); ++it) items.push_back(listRow(*it));
    list->insertRows(0, items);
}

template <class Record>
const Record* recordOfRow(const dlg::ListView* list, int row, const std::vector<Record>& records) {
    const int index = dlg::recordIndexOfRow(list, row, records);
    return index < 0 ? nullptr : &records[static_cast<std::size_t>(index)];
}

// The id text of the record a row carries, for the lists a record is selected in by its id.
template <class Record>
QString idOfRecord(qint64 index, const std::vector<Record>& records) {
    if (index >= 0 && index < static_cast<qint64>(records.size())) return records[static_cast<std::size_t>(index)].id;
    return QString();
}

}  // namespace

RecordLists::RecordLists(dlg::Dialog& window) : window_(window) {}

dlg::ListView* RecordLists::list(int listId) const { return window_.listView(listId); }

void RecordLists::createColumns() {
    dlg::createColumns(list(kCompanyList), kCompanyColumns);
    dlg::createColumns(list(kShowList), kCompanyColumns);
    dlg::createColumns(list(kTimeslotList), kTimeslotColumns);
    dlg::createColumns(list(kContractList), kContractColumns);
    dlg::createColumns(list(kRoomList), kCompanyColumns);
}

bool RecordLists::refillsList(programme::ProgrammeTable table) const {
    using T = programme::ProgrammeTable;
    switch (table) {
    case T::Companies:
    case T::Shows:
    case T::Timeslots: return refillHold_ <= 0;
    case T::Rooms:
    case T::Contracts: return true;
    }
    return true;
}

namespace {

int listOfTable(programme::ProgrammeTable table) {
    using T = programme::ProgrammeTable;
    using M = res::ManagerControls;
    switch (table) {
    case T::Rooms: return M::kRoomList;
    case T::Companies: return M::kCompanyList;
    case T::Shows: return M::kShowList;
    case T::Timeslots: return M::kTimeslotList;
    case T::Contracts: return M::kContractList;
    }
    return M::kRoomList;
}

}  // namespace

void RecordLists::loading(programme::ProgrammeTable table) {
    if (refillsList(table)) list(listOfTable(table))->deleteAllItems();
}

void RecordLists::loaded(programme::ProgrammeTable table) {
    if (!refillsList(table)) return;
    using T = programme::ProgrammeTable;
    dlg::ListView* view = list(listOfTable(table));
    switch (table) {
    case T::Rooms: appendRows(view, programme::roomRows()); break;
    case T::Companies: insertRowsAtTop(view, programme::companyRows()); break;
    case T::Shows: insertRowsAtTop(view, programme::showRows()); break;
    case T::Timeslots: appendRows(view, programme::timeslotGroupRows()); break;
    case T::Contracts: appendRows(view, programme::contractRows()); break;
    }
}

namespace {

// Brings a list's rows in line with `wanted`, keyed by the id text of column 0: rows that stay
// are only rewritten where a text or the record index changed; a row that moved is taken out
// and put back where it belongs.
void syncRows(dlg::ListView* view, const std::vector<dlg::ListView::Row>& wanted) {
    const QSignalBlocker quiet(view);
    QHash<QString, int> ahead;  // the ids of the view's rows not passed yet
    for (int row = 0; row < view->itemCount(); ++row) ++ahead[view->itemText(row, 0)];
    QSet<QString> wantedIds;
    for (const auto& row : wanted) wantedIds.insert(row.texts.value(0));
    const auto pass = [&](int row) {
        if (--ahead[view->itemText(row, 0)] <= 0) ahead.remove(view->itemText(row, 0));
    };
    int at = 0;
    for (const auto& want : wanted) {
        const QString& id = want.texts.value(0);
        for (;;) {
            if (at < view->itemCount() && view->itemText(at, 0) == id) {
                for (int c = 1; c < want.texts.size(); ++c)
                    if (view->itemText(at, c) != want.texts[c]) view->setItemText(at, c, want.texts[c]);
                if (view->itemData(at) != want.data) view->setItemData(at, want.data);
                pass(at);
                ++at;
                break;
            }
            // The row here is gone, or the wanted one is further down: this one moved.
            if (at < view->itemCount() && (!wantedIds.contains(view->itemText(at, 0)) || ahead.contains(id))) {
                pass(at);
                view->deleteItem(at);
                continue;
            }
            view->insertRows(at, {want});
            ++at;
            break;
        }
    }
    while (view->itemCount() > at) view->deleteItem(view->itemCount() - 1);
}

std::vector<dlg::ListView::Row> viewRows(const std::vector<programme::ListRow>& rows) {
    std::vector<dlg::ListView::Row> items;
    items.reserve(rows.size());
    for (const auto& row : rows) items.push_back(listRow(row));
    return items;
}

}  // namespace

namespace {

// The first row of a list in record order (descending: the last record at the top) whose
// record index is not before `record`'s place: a binary search on the rows' item data.
int rowAtRecord(const dlg::ListView* view, qint64 record, bool descending) {
    int low = 0, high = view->itemCount();
    while (low < high) {
        const int middle = (low + high) / 2;
        const qint64 data = view->itemData(middle);
        if (descending ? data > record : data < record)
            low = middle + 1;
        else
            high = middle;
    }
    return low;
}

// Takes out the rows of the ids given, numbers the others again when their records moved,
// and puts back each id's row, if it has one, where its record index belongs (the list is in
// record order, or its reverse). The rows of other ids stay the very rows they were. Unless
// records moved, an id's row is found by its record index: a season's list is not walked; when
// one record alone moved (applied.movedFrom), only the rows between its two places are.
void patchRows(dlg::ListView* view, const QSet<QString>& ids, const programme::Applied& applied, bool descending,
               const std::function<int(const QString&)>& indexOf,
               const std::function<std::optional<programme::ListRow>(int)>& rowOf) {
    const bool oneMoved = applied.movedFrom >= 0;
    const bool recordsMoved = applied.moved && !oneMoved;
    if (ids.isEmpty() && !applied.moved) return;
    const QSignalBlocker quiet(view);
    QSet<QString> placing = ids;
    bool walk = recordsMoved;
    if (oneMoved) {
        // Its row, found where it was, goes out to be put back where it belongs; the others'
        // indexes follow it.
        const int from = applied.movedFrom;
        const int to = applied.movedTo;
        const int row = rowAtRecord(view, from, descending);
        if (row < view->itemCount() && view->itemData(row) == from) {
            placing.insert(view->itemText(row, 0));
            view->deleteItem(row);
        }
        // The rows are in record order: those of the records between the two places are found
        // by halves.
        const int low = std::min(from, to);
        const int high = std::max(from, to);
        const int first = rowAtRecord(view, descending ? high : low, descending);
        const int end = rowAtRecord(view, descending ? low - 1 : high + 1, descending);
        for (int r = first; r < end; ++r) {
            const qint64 data = view->itemData(r);
            const int after = programme::indexAfterMove(static_cast<int>(data), from, to);
            if (after != data) view->setItemData(r, after);
        }
    }
    if (!walk) {
        for (const QString& id : ids) {
            const int index = indexOf(id);
            if (index < 0) continue;
            const int row = rowAtRecord(view, index, descending);
            if (row >= view->itemCount() || view->itemData(row) != index) continue;  // no row shows it
            if (view->itemText(row, 0) != id) {
                walk = true;  // the rows' indexes are not those of the records: look at each
                break;
            }
            // Still shown: rewritten where it stands, so that it stays the very row (selected
            // or not) it was.
            if (const auto wanted = rowOf(index)) {
                for (int c = 1; c < wanted->columns.size(); ++c)
                    if (view->itemText(row, c) != wanted->columns[c]) view->setItemText(row, c, wanted->columns[c]);
                placing.remove(id);
                continue;
            }
            view->deleteItem(row);
        }
    }
    if (walk) {
        placing += ids;
        for (int row = view->itemCount() - 1; row >= 0; --row)
            if (ids.contains(view->itemText(row, 0))) view->deleteItem(row);
    }
    if (recordsMoved) {
        for (int row = 0; row < view->itemCount(); ++row) {
            const int index = indexOf(view->itemText(row, 0));
            if (view->itemData(row) != index) view->setItemData(row, index);
        }
    }
    for (const QString& id : placing) {
        const auto row = rowOf(indexOf(id));
        if (!row) continue;
        view->insertRows(rowAtRecord(view, row->record, descending), {listRow(*row)});
    }
}

}  // namespace

void RecordLists::refresh(const Moved& moved) {
    using T = programme::ProgrammeTable;
    const auto touched = [&](T table) { return moved.tables.count(table) > 0; };
    if (touched(T::Rooms) && refillsList(T::Rooms)) {
        loading(T::Rooms);  // a sorted list of a few rows: filled again
        loaded(T::Rooms);
    }
    if (touched(T::Companies) && refillsList(T::Companies))
        patchRows(list(kCompanyList), moved.companies, moved.companiesApplied, true, programme::companyIndexById,
                  programme::companyRow);
    if (touched(T::Shows) && refillsList(T::Shows))
        patchRows(list(kShowList), moved.shows, moved.showsApplied, true, programme::showIndexById,
                  programme::showRow);

    // The groups and contracts whose rows name what changed.
    QSet<QString> heads = moved.groupHeads;
    const auto& slotRecords = programme::timeslots();
    if (!moved.shows.isEmpty())
        for (const programme::Timeslot& slot : slotRecords)
            if (programme::isGroupHead(slot) && moved.shows.contains(slot.showname)) heads.insert(slot.id);
    if (touched(T::Timeslots) || touched(T::Shows) || touched(T::Rooms)) {
        if (refillsList(T::Timeslots)) {
            if (touched(T::Rooms))
                syncRows(list(kTimeslotList), viewRows(programme::timeslotGroupRows()));
            else
                patchRows(list(kTimeslotList), heads, moved.timeslotsApplied, false, programme::timeslotIndexById,
                          programme::timeslotGroupRow);
        }
    }
    QSet<QString> contracts = moved.contracts;
    for (const QString& head : heads)
        for (int index : programme::contractsOfTimeslot(head))
            contracts.insert(programme::contracts()[static_cast<std::size_t>(index)].id);
    patchRows(list(kContractList), contracts, moved.contractsApplied, false, programme::contractIndexById,
              programme::contractRow);
}

void RecordLists::appendRecords(programme::ProgrammeTable table, int from, int to) {
    using T = programme::ProgrammeTable;
    if (!refillsList(table) || (table != T::Timeslots && table != T::Contracts)) return;
    std::vector<dlg::ListView::Row> rows;
    for (int i = from; i < to; ++i) {
        const auto row = table == T::Timeslots ? programme::timeslotGroupRow(i) : programme::contractRow(i);
        if (row) rows.push_back(listRow(*row));
    }
    dlg::ListView* view = list(listOfTable(table));
    view->insertRows(view->itemCount(), rows);
}

void RecordLists::updateDeleteButtons() {
    const bool writes = account::writesOffered();
    const dlg::ListView* companies = list(kCompanyList);
    const int company = companies->nextSelected();
    window_.enableItem(kDeleteCompany,
                       writes && programme::nameDeleteEnabled(company >= 0, companies->itemText(company, 1)));
    const dlg::ListView* shows = list(kShowList);
    const int show = shows->nextSelected();
    window_.enableItem(kDeleteShow, writes && programme::nameDeleteEnabled(show >= 0, shows->itemText(show, 1)));
    window_.enableItem(kDeleteTimeslotGroup, writes && list(kTimeslotList)->nextSelected() >= 0);
    window_.enableItem(kDeleteContract, writes && list(kContractList)->nextSelected() >= 0);
}

template <class Record>
int RecordLists::selectedRecord(int listId, const std::vector<Record>& records) const {
    const dlg::ListView* view = list(listId);
    return dlg::recordIndexOfRow(view, view->nextSelected(), records);
}
template int RecordLists::selectedRecord(int, const std::vector<programme::Company>&) const;
template int RecordLists::selectedRecord(int, const std::vector<programme::Show>&) const;
template int RecordLists::selectedRecord(int, const std::vector<programme::Timeslot>&) const;
template int RecordLists::selectedRecord(int, const std::vector<programme::Contract>&) const;

long long RecordLists::selectedTimeslotId() const {
    const int index = selectedRecord(kTimeslotList, programme::timeslots());
    return index < 0 ? -1 : programme::leadingInteger(programme::timeslots()[static_cast<std::size_t>(index)].id);
}

bool RecordLists::selectRecordRow(int listId, const QString& id, bool clearOthers) {
    dlg::ListView* view = list(listId);
    for (int row = 0; row < view->itemCount(); ++row) {
        const qint64 index = view->itemData(row);
        QString rowId;
        if (listId == kTimeslotList)
            rowId = idOfRecord(index, programme::timeslots());
        else if (listId == kShowList)
            rowId = idOfRecord(index, programme::shows());
        else if (listId == kCompanyList)
            rowId = idOfRecord(index, programme::companies());
        if (rowId == id && !rowId.isNull()) {
            view->setSelected(row, true);
            view->setSelectionMark(row);
            return true;
        }
        if (clearOthers) view->setSelected(row, false);
    }
    return false;
}

int RecordLists::selectTimeslotRecord(int record) {
    dlg::ListView* view = list(kTimeslotList);
    int found = -1;
    for (int row = 0; row < view->itemCount(); ++row) {
        const bool match = view->itemData(row) == record;
        if (match && found < 0) found = row;
        if (view->isSelected(row) != match) view->setSelected(row, match);
    }
    return found;
}

bool RecordLists::isRow(int listId, int row) const { return row >= 0 && row < list(listId)->itemCount(); }

void RecordLists::contractChanged(int row) {
    const auto* contract = recordOfRow(list(kContractList), row, programme::contracts());
    if (!contract) return;
    selectRecordRow(kTimeslotList, contract->ts, false);
    updateDeleteButtons();
}

void RecordLists::timeslotChanged(int row) {
    if (const auto* slot = recordOfRow(list(kTimeslotList), row, programme::timeslots()))
        selectRecordRow(kShowList, slot->showname, true);
    updateDeleteButtons();
}

void RecordLists::showChanged(int row) {
    if (const auto* show = recordOfRow(list(kShowList), row, programme::shows()))
        selectRecordRow(kCompanyList, show->comp, true);
    // A show whose company is not listed (deleted) selects no company row: its own "-" must
    // follow its selection all the same.
    updateDeleteButtons();
}

RecordLists::KeptView RecordLists::keepView() const {
    KeptView kept;
    for (int id : kRecordLists) {
        const dlg::ListView* view = list(id);
        KeptView::List& entry = kept.lists[id];
        for (int row : view->selectedRows()) entry.selected << view->itemText(row, 0);
        entry.scroll = view->verticalScrollBar()->value();
    }
    return kept;
}

void RecordLists::restoreView(const KeptView& kept) {
    for (const auto& [id, entry] : kept.lists) {
        dlg::ListView* view = list(id);
        // Rows patched in place keep their selection: a season's list is walked only when a
        // selected row was taken out and put back.
        QSet<QString> selectedNow;
        for (int row : view->selectedRows()) selectedNow.insert(view->itemText(row, 0));
        const bool stillSelected = std::all_of(entry.selected.begin(), entry.selected.end(),
                                               [&](const QString& text) { return selectedNow.contains(text); });
        if (!stillSelected) {
            const QSignalBlocker quiet(view);
            for (int row = 0; row < view->itemCount(); ++row)
                if (entry.selected.contains(view->itemText(row, 0))) view->setSelected(row, true);
        }
        view->verticalScrollBar()->setValue(entry.scroll);
    }
    updateDeleteButtons();
}
