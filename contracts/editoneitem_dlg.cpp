#include "contracts/editoneitem_dlg.h"

#include "contracts/contract_info.h"
#include "resources/dialogs.h"

editoneitem::editoneitem(QWidget* parent) : dlg::Dialog(res::kDialog136, parent) {}

bool editoneitem::OnInitDialog() {
    setWindowTitle(caption);
    setItemText(kValue, text);
    return true;
}

void editoneitem::OnOK() {
    // A value the stored contract could not give back is refused here, and the editor stays.
    const QString typed = itemText(kValue);
    if (const QString problem = contracts::storedValueProblem(typed); !problem.isEmpty()) {
        platform::showError(problem);
        return;
    }
    text = typed;
    EndDialog(platform::IDOK);
}
