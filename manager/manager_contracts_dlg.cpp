// The manager's contract handlers. A new contract is one INSERT; its return deadline and
// its five payments then go into the follow-up plan of its group, each a statement of its
// own, as the status line reads them. The contract row stays when a later statement fails.
#include "contracts/contract_followup.h"
#include "contracts/ct_dlg.h"
#include "db/connections.h"
#include "db/query_runner.h"
#include "edits/edit_statements.h"
#include "manager/manager_dlg.h"
#include "edits/statement_runs.h"
#include "platform/controls.h"
#include "programme/account.h"

using edits::openIfClosed;
using edits::runOrReport;

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

    openIfClosed();
    const auto contractId = static_cast<unsigned>(programme::contracts().size());
    if (!runOrReport(edits::addContract(contractId, contract.timeslotId, contract.extra, contract.rtf))) return;

    const int slot = contract.timeslotId < 0 ? -1 : programme::timeslotIndexById(QString::number(contract.timeslotId));
    if (slot >= 0) {
        programme::Timeslot& record = programme::timeslots()[static_cast<std::size_t>(slot)];
        QString plan = record.todo;
        // No reload follows a refused UPDATE: the record then keeps the plan the database
        // holds, so that the planning and the next edit of the group do not take the refused
        // plan for a stored one.
        const auto store = [&] {
            const QString stored = record.todo;
            record.todo = plan;
            if (runOrReport(edits::updateFollowUpPlan(plan, contract.timeslotId))) return true;
            record.todo = stored;
            return false;
        };
        if (contracts::writeReturnDeadline(plan, contract.extra) && !store()) return;
        if (contracts::writePayments(plan, contract.extra) && !store()) return;
    }
    db::closeProgramme();
    reloadAll();
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
    if (edits::runAlone(edits::editContract(contract.extra, contract.rtf, record.id))) reloadAll();
}
