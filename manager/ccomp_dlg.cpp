#include "manager/ccomp_dlg.h"

#include "resources/dialogs.h"

using N = dlg::Notify;
const dlg::MessageEntry<ccomp> ccomp::kMessages[] = {
    {N::TextChanged, kNom, &ccomp::OnNameChanged},
};

ccomp::ccomp(QWidget* parent) : dlg::Dialog(res::kDialog130, parent) { bindMessages<ccomp>(kMessages); }

bool ccomp::OnInitDialog() {
    // Filling the fields raises the name's change, which reads them back: keep copies.
    const QString texts[] = {nom, email, contact1, contact2, fulladr};
    setItemText(kNom, texts[0]);
    setItemText(kEmail, texts[1]);
    setItemText(kContact1, texts[2]);
    setItemText(kContact2, texts[3]);
    setItemText(kFullAddress, texts[4]);
    readFields();
    enableItem(platform::IDOK, !nom.isEmpty());
    return true;
}

void ccomp::readFields() {
    nom = itemText(kNom);
    email = itemText(kEmail);
    contact1 = itemText(kContact1);
    contact2 = itemText(kContact2);
    fulladr = itemText(kFullAddress);
}

void ccomp::OnNameChanged(const dlg::Notification&) {
    readFields();
    enableItem(platform::IDOK, !nom.isEmpty());
}

void ccomp::OnOK() {
    readFields();
    if (nom.isEmpty()) return;
    EndDialog(platform::IDOK);
}
