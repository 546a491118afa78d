// The manager's five record lists (companies, shows, timeslot groups, contracts, rooms): filled
// from the loaded records at each load, a record selected by its id, the rule that enables the
// delete buttons, and what the user was looking at kept across a reload. The lists follow the
// loads through programme::LoadHooks; the rows themselves come from manager_lists.h, so a fill
// needs nothing of the window but its list views.
#pragma once

#include <QSet>
#include <QString>
#include <QStringList>
#include <map>
#include <set>
#include <vector>

#include "programme/programme_data.h"
#include "resources/control_ids.h"

namespace dlg {
class Dialog;
class ListView;
}  // namespace dlg

class RecordLists : public programme::LoadHooks, private res::ManagerControls {
public:
    explicit RecordLists(dlg::Dialog& window);

    void createColumns();

    // The loads: a list is emptied before its table is read and filled once it is, unless the
    // refill hold spares it.
    void loading(programme::ProgrammeTable table) override;
    void loaded(programme::ProgrammeTable table) override;

    // Rows read again by id were put in place: the lists that show them are brought in line
    // (a row that did not change is not touched, so that its selection stays), unless the
    // refill hold spares them.
    struct Moved {
        std::set<programme::ProgrammeTable> tables;
        QSet<QString> groupHeads;     // the ids of the groups whose rows may have changed
        QSet<QString> companies;      // the ids of the companies read again
        QSet<QString> shows;          // the ids of the shows read again
        QSet<QString> contracts;      // the ids of the contracts read again
        programme::Applied timeslotsApplied;  // how each table's records moved
        programme::Applied companiesApplied;
        programme::Applied showsApplied;
        programme::Applied contractsApplied;
    };
    void refresh(const Moved& moved);
    // Appends the rows of the timeslot or contract records [from, to) to their list, which is
    // in record order: a fill in slices, the window answering between them.
    void appendRecords(programme::ProgrammeTable table, int from, int to);

    // The `refill hold`: while it is above 0 the company, show and timeslot lists are neither
    // emptied nor refilled by the loads (an add dialog is open over them); rooms and contracts
    // always are.
    int refillHold() const { return refillHold_; }
    bool refillsList(programme::ProgrammeTable table) const;
    class RefillHold {
    public:
        explicit RefillHold(RecordLists& lists) : lists_(lists) { ++lists_.refillHold_; }
        ~RefillHold() { --lists_.refillHold_; }
        RefillHold(const RefillHold&) = delete;
        RefillHold& operator=(const RefillHold&) = delete;

    private:
        RecordLists& lists_;
    };

    // The delete buttons follow the selections: a company or show "-" needs a selected row whose
    // name is not a placeholder, a group or contract "-" a selected row; none for an account
    // that may not write (a reader of the server-accounts mode).
    void updateDeleteButtons();

    // The record index of the selected row of a list, or -1.
    template <class Record>
    int selectedRecord(int listId, const std::vector<Record>& records) const;
    // The leading integer of the selected timeslot group's id, or -1.
    long long selectedTimeslotId() const;
    // Selects, in a list, the first row whose record's id text is id (the rows before it
    // deselected when clearOthers); false when none has it.
    bool selectRecordRow(int listId, const QString& id, bool clearOthers);
    // Selects the timeslot rows carrying this record index and deselects the others; the
    // row found, or -1.
    int selectTimeslotRecord(int record);

    // The selection links: a contract selects its group, a group its show, a show its company.
    void contractChanged(int row);
    void timeslotChanged(int row);
    void showChanged(int row);
    bool isRow(int listId, int row) const;

    // What the user was looking at: the id texts of each list's selected rows and its scroll.
    struct KeptView {
        struct List {
            QStringList selected;
            int scroll = 0;
        };
        std::map<int, List> lists;
    };
    KeptView keepView() const;
    // The rows come back selected as they were, without the selection links (selecting a
    // contract would otherwise select its group, its show and its company anew).
    void restoreView(const KeptView& kept);

    dlg::ListView* list(int listId) const;

private:
    dlg::Dialog& window_;
    int refillHold_ = 0;
};
