#include "contracts/editoneitem_dlg.h"

#include "contracts/contract_info.h"
#include "db/stored_text.h"
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
    QString problem = db::storedTextProblem(caption, typed, db::kLongTextColumnBytes);
    if (problem.isEmpty()) problem = contracts::storedValueProblem(typed);
    if (!problem.isEmpty()) {
        platform::showError(problem);
        return;
    }
    text = typed;
    EndDialog(platform::IDOK);
}
