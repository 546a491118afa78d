#include "manager/ccomp_dlg.h"

#include "db/stored_text.h"
#include "edits/edit_statements.h"
#include "programme/field_words.h"
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

// The placeholder show "<spectacle à définir (compagnie nom)>" must fit its own name column.
int ccomp::maxNameChars() {
    return db::kNameColumnChars - static_cast<int>(edits::placeholderShowName(QString()).size());
}

QString ccomp::storageProblem() const {
    using programme::Field;
    const struct {
        Field field;
        const QString& text;
        int maxChars;
    } fields[] = {
        {Field::Name, nom, maxNameChars()},
        {Field::Email, email, db::kNameColumnChars},
        {Field::Contact1, contact1, db::kNameColumnChars},
        {Field::Contact2, contact2, db::kNameColumnChars},
        {Field::Address, fulladr, db::kTextColumnBytes},
    };
    for (const auto& f : fields)
        if (QString problem = db::storedTextProblem(programme::fieldLabel(f.field), f.text, f.maxChars);
            !problem.isEmpty())
            return problem;
    return QString();
}

void ccomp::OnOK() {
    readFields();
    if (nom.isEmpty()) return;
    // What the table could not keep as typed is refused, and the dialog stays for a correction.
    if (const QString problem = storageProblem(); !problem.isEmpty()) {
        platform::showError(problem);
        return;
    }
    EndDialog(platform::IDOK);
}
