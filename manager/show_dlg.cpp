#include "manager/show_dlg.h"

#include <QComboBox>
#include <QSignalBlocker>

#include "db/stored_text.h"
#include "programme/field_words.h"
#include "programme/programme_data.h"
#include "resources/dialogs.h"

using N = dlg::Notify;
const dlg::MessageEntry<show> show::kMessages[] = {
    {N::TextChanged, kName, &show::OnNameChanged},
    {N::Clicked, kAddCompany, &show::OnAddCompany},
};

show::show(QWidget* parent) : dlg::Dialog(res::kDialog132, parent) { bindMessages<show>(kMessages); }

bool show::OnInitDialog() {
    {
        const QSignalBlocker quiet(item(kName));
        setItemText(kName, name);
    }
    fillCompanies(company);
    return true;
}

int32_t show::selectedCompany() const {
    const QComboBox* list = comboBox(kCompany);
    if (list->currentIndex() < 0) return -1;
    return list->currentData().toInt();
}

// The companies in load order (by name descending, so the list reads from Z to A), deleted
// ones left out; the one whose id is preselect is selected, otherwise none is.
void show::fillCompanies(int32_t preselect) {
    QComboBox* list = comboBox(kCompany);
    const QSignalBlocker quiet(list);
    list->clear();
    int selected = -1;
    for (const programme::Company& c : programme::companies()) {
        if (programme::leadingInteger(c.deleted) != 0) continue;
        const auto id = static_cast<int32_t>(programme::leadingInteger(c.id));
        list->addItem(c.nom, id);
        if (id == preselect && selected < 0) selected = list->count() - 1;
    }
    list->setCurrentIndex(selected);
    name = itemText(kName);
    enableItem(platform::IDOK, !name.isEmpty());
}

void show::OnNameChanged(const dlg::Notification&) { fillCompanies(selectedCompany()); }

void show::OnAddCompany(const dlg::Notification&) {
    // The company just added is the one the user wants: its id is the record count before.
    const auto before = programme::companies().size();
    const int32_t current = selectedCompany();
    if (addCompany) addCompany();
    const bool added = programme::companies().size() > before;
    fillCompanies(added ? static_cast<int32_t>(before) : current);
}

void show::OnOK() {
    name = itemText(kName);
    if (name.isEmpty()) return;
    if (const QString problem =
            db::storedTextProblem(programme::fieldLabel(programme::Field::Name), name, db::kNameColumnChars);
        !problem.isEmpty()) {
        platform::showError(problem);
        return;
    }
    company = selectedCompany();
    EndDialog(platform::IDOK);
}
