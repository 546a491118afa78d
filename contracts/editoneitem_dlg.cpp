#include "contracts/editoneitem_dlg.h"

#include "resources/dialogs.h"

editoneitem::editoneitem(QWidget* parent) : dlg::Dialog(res::kDialog136, parent) {}

bool editoneitem::OnInitDialog() {
    setWindowTitle(caption);
    setItemText(kValue, text);
    return true;
}

void editoneitem::OnOK() {
    text = itemText(kValue);
    EndDialog(platform::IDOK);
}
