// The manager's edits of companies, shows and timeslot groups, and the deletes of every record
// kind. Each runs its dialog, hands what the user typed and what was loaded to one save
// (edits/saves.h), settles what the save answered with the user (settle_save.h), then runs
// `reload all`, so that memory and lists always come from the database.
#pragma once

#include <cstdint>
#include <functional>
#include <vector>

#include "edits/record_links.h"
#include "resources/control_ids.h"

class ManagerDialogs;
class RecordLists;

class RecordEdits : private res::ManagerControls {
public:
    // reloadAll brings the lists in line with what is stored after a save and draws the window
    // again (the manager's reloadSaved).
    RecordEdits(RecordLists& lists, ManagerDialogs& dialogs, std::function<void()> reloadAll);

    // Add a company, or a show: the new record's id, or -1 when nothing was added.
    int32_t addCompany();
    int32_t addShow();
    // A double-click on a row of the company or show list.
    void editCompany(int row);
    void editShow(int row);
    // "+" under the timeslot groups; a double-click on a group row or on the planning area
    // edits the group of that timeslot row.
    void addTimeslotGroup();
    void editTimeslotGroup(int row);

    // A delete: the rights test, the question naming what goes with the record and what stays,
    // then one save. The record is the one the selected row of the list shows, found by its id.
    // When another workstation changed what points at the record meanwhile, the lists are
    // reloaded and the question asked again on what is stored.
    template <class Record>
    void deleteSelected(int listId, edits::RecordKind kind, const std::vector<Record>& records);
    void deleteCompany();
    void deleteShow();
    void deleteTimeslotGroup();

private:
    RecordLists& lists_;
    ManagerDialogs& dialogs_;
    std::function<void()> reloadAll_;
};
