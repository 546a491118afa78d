#include "manager/manager_dialogs.h"

#include "contracts/ct_dlg.h"
#include "manager/ccomp_dlg.h"
#include "manager/show_dlg.h"
#include "planning/ts_dlg.h"

bool WindowDialogs::runCompanyDialog(edits::CompanyFields& fields) {
    ccomp dialog(parent_);
    dialog.nom = fields.nom;
    dialog.email = fields.email;
    dialog.contact1 = fields.contact1;
    dialog.contact2 = fields.contact2;
    dialog.fulladr = fields.fulladr;
    if (dialog.DoModal() != platform::IDOK) return false;
    fields = {dialog.nom, dialog.email, dialog.contact1, dialog.contact2, dialog.fulladr};
    return true;
}

bool WindowDialogs::runShowDialog(edits::ShowFields& fields, const std::function<void()>& addCompany) {
    ::show dialog(parent_);
    dialog.company = fields.company;
    dialog.name = fields.name;
    dialog.addCompany = addCompany;
    if (dialog.DoModal() != platform::IDOK) return false;
    fields = {dialog.name, dialog.company};
    return true;
}

int WindowDialogs::runTimeslotEditor(planning::TimeslotEditorData& data, const std::function<int32_t()>& createShow) {
    ts editor(parent_);
    editor.data = data;
    editor.createShow = createShow;
    const int result = editor.DoModal();
    if (result == platform::IDOK) data = editor.data;
    return result;
}

int WindowDialogs::runContractDialog(contracts::ContractModel& contract) {
    ct dialog(parent_);
    dialog.model.folders = contract.folders;
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
