// The manager's contract handlers. A new contract is one save: the contract row, then its
// return deadline and five payments in the follow-up plan of its group, as the status line
// reads them; all of it is stored, or none.
#include <optional>

#include "contracts/ct_dlg.h"
#include "edits/saves.h"
#include "manager/manager_dlg.h"
#include "manager/settle_save.h"
#include "platform/controls.h"
#include "programme/account.h"

int manager::runContractDialog(contracts::ContractModel& contract) {
    ct dialog(this);
    dialog.model.folders = contractFolders;
    dialog.model.rtf = contract.rtf;
    dialog.model.extra = contract.extra;
    dialog.model.timeslotId = contract.timeslotId;
    const int result = dialog.DoModal();
    if (result == platform::IDOK) {
        contract.rtf = dialog.model.rtf;
        contract.extra = dialog.model.extra;
        contract.timeslotId = dialog.model.timeslotId;
    }
    return result;
}

void manager::OnNewContract(const dlg::Notification&) {
    if (!account::checkRights()) return;
    contracts::ContractModel contract;
    contract.timeslotId = static_cast<int32_t>(selectedTimeslotId());
    if (runContractDialog(contract) != platform::IDOK) return;
    // The deadline and payments go into the group's plan as stored now: nothing a colleague
    // changed in it is lost.
    const edits::SaveResult saved = settle::settleAdd([&](const edits::Resolution& r) {
        return edits::newContract({contract.rtf, contract.extra, contract.timeslotId}, r);
    });
    if (saved.committed()) reloadAll();
}

void manager::OnEditContract(const dlg::Notification& n) {
    if (!account::checkRights()) return;
    const auto& records = programme::contracts();
    if (n.row < 0 || n.row >= static_cast<int>(records.size())) return;
    const int index = dlg::recordIndexOfRow(listView(kContractList), n.row, records);
    if (index < 0) return;
    const programme::Contract record = records[static_cast<std::size_t>(index)];
    contracts::ContractModel contract;
    contract.rtf = record.rtf;
    contract.extra = record.extra;
    contract.timeslotId = static_cast<int32_t>(programme::leadingInteger(record.ts));
    if (runContractDialog(contract) != platform::IDOK) return;
    const auto reopen = [this](edits::ContractFields& fields) {
        contracts::ContractModel again;
        again.rtf = fields.rtf;
        again.extra = fields.extra;
        again.timeslotId = fields.timeslotId;
        if (runContractDialog(again) != platform::IDOK) return false;
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
        [this] { reloadAll(); });
}
