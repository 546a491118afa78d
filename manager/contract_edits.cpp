#include "manager/contract_edits.h"

#include <optional>

#include "dialog/controls.h"
#include "edits/saves.h"
#include "manager/manager_dialogs.h"
#include "manager/record_edits.h"
#include "manager/record_lists.h"
#include "manager/settle_save.h"
#include "programme/account.h"

ContractEdits::ContractEdits(RecordLists& lists, RecordEdits& records, ManagerDialogs& dialogs,
                             std::function<void()> reloadAll)
    : lists_(lists), records_(records), dialogs_(dialogs), reloadAll_(std::move(reloadAll)) {}

void ContractEdits::newContract() {
    if (!account::checkRights()) return;
    contracts::ContractModel contract;
    contract.folders = folders;
    contract.timeslotId = static_cast<int32_t>(lists_.selectedTimeslotId());
    if (dialogs_.runContractDialog(contract) != platform::IDOK) return;
    // The deadline and payments go into the group's plan as stored now: nothing a colleague
    // changed in it is lost.
    const edits::SaveResult saved = settle::settleAdd([&](const edits::Resolution& r) {
        return edits::newContract({contract.rtf, contract.extra, contract.timeslotId}, r);
    });
    if (saved.committed()) reloadAll_();
}

void ContractEdits::editContract(int row) {
    if (!account::checkRights()) return;
    const auto& records = programme::contracts();
    if (row < 0 || row >= static_cast<int>(records.size())) return;
    const int index = dlg::recordIndexOfRow(lists_.list(kContractList), row, records);
    if (index < 0) return;
    const programme::Contract record = records[static_cast<std::size_t>(index)];
    contracts::ContractModel contract;
    contract.folders = folders;
    contract.rtf = record.rtf;
    contract.extra = record.extra;
    contract.timeslotId = static_cast<int32_t>(programme::leadingInteger(record.ts));
    if (dialogs_.runContractDialog(contract) != platform::IDOK) return;
    const auto reopen = [this](edits::ContractFields& fields) {
        contracts::ContractModel again;
        again.folders = folders;
        again.rtf = fields.rtf;
        again.extra = fields.extra;
        again.timeslotId = fields.timeslotId;
        if (dialogs_.runContractDialog(again) != platform::IDOK) return false;
        fields = {again.rtf, again.extra, again.timeslotId};
        return true;
    };
    settle::settleSave(
        record, edits::ContractFields{contract.rtf, contract.extra, contract.timeslotId}, &edits::editContract, reopen,
        [id = record.id]() -> std::optional<programme::Contract> {
            for (const programme::Contract& c : programme::contracts())
                if (c.id == id) return c;
            return std::nullopt;
        },
        reloadAll_);
}

void ContractEdits::deleteContract() {
    records_.deleteSelected(kContractList, edits::RecordKind::Contract, programme::contracts());
}
