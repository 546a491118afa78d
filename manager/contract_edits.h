// The manager's contract handlers: "+" and "-" under the contract list, a double-click on a
// row. A new contract is one save: the contract row, then its return deadline and five
// payments in the follow-up plan of its group, as the status line reads them; all of it is
// stored, or none.
#pragma once

#include <functional>

#include "contracts/contract_document.h"
#include "resources/control_ids.h"

class ManagerDialogs;
class RecordEdits;
class RecordLists;

class ContractEdits : private res::ManagerControls {
public:
    // reloadAll brings the lists in line with what is stored after a save and draws the window
    // again (the manager's reloadSaved).
    ContractEdits(RecordLists& lists, RecordEdits& records, ManagerDialogs& dialogs, std::function<void()> reloadAll);

    void newContract();
    void editContract(int row);
    void deleteContract();

    // Where the contract dialog reads its templates and writes and copies its documents.
    contracts::ContractFolders folders = contracts::defaultFolders();

private:
    RecordLists& lists_;
    RecordEdits& records_;
    ManagerDialogs& dialogs_;
    std::function<void()> reloadAll_;
};
