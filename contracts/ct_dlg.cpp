#include "contracts/ct_dlg.h"

#include <QComboBox>
#include <QDir>
#include <QSignalBlocker>

#include "contracts/editoneitem_dlg.h"
#include "dialog/controls.h"
#include "programme/account.h"
#include "resources/dialogs.h"

namespace {

constexpr dlg::ColumnSpec kInfoColumns[] = {{"Libellé", 300}, {"Contenu", 500}};

}  // namespace

using N = dlg::Notify;
const dlg::MessageEntry<ct> ct::kMessages[] = {
    {N::SelChange, kFirstSlot, &ct::OnFirstSlotChanged},  {N::TextChanged, kTemplate, &ct::OnTemplateChanged},
    {N::Clicked, kChooseTemplate, &ct::OnChooseTemplate}, {N::Clicked, kGenerate, &ct::OnGenerate},
    {N::RowDoubleClick, kInfoList, &ct::OnEditRow},
};

ct::ct(QWidget* parent) : dlg::Dialog(res::kDialog135, parent) {
    bindMessages<ct>(kMessages);
    model.userName = account::name();
}

bool ct::OnInitDialog() {
    model.open();
    if (model.stored()) {
        enableItem(kChooseTemplate, false);
        enableItem(kTemplate, false);
        const QSignalBlocker quiet(item(kTemplate));
        setItemText(kTemplate, model.rtf);
    }
    dlg::createColumns(listView(kInfoList), kInfoColumns);
    fillFirstSlots(Refill::SelectCurrent);
    if (!model.stored()) {
        chooseTemplate();
        if (model.templateName.isEmpty()) {
            EndDialog(platform::IDCANCEL);
            return true;
        }
    }
    rebuild();
    return true;
}

void ct::fillFirstSlots(Refill form) {
    if (form == Refill::KeepSelection) model.timeslotId = selectedTimeslotId();
    QComboBox* list = comboBox(kFirstSlot);
    list->clear();
    entries_ = contracts::headEntries();
    for (const contracts::HeadEntry& entry : entries_) list->addItem(entry.text, entry.id);
    list->setCurrentIndex(contracts::entryIndexOf(entries_, model.timeslotId));
    updateEnabling();
}

int32_t ct::selectedTimeslotId() const {
    const int index = comboBox(kFirstSlot)->currentIndex();
    return index >= 0 && index < static_cast<int>(entries_.size()) ? entries_[static_cast<std::size_t>(index)].id : -1;
}

// A stored contract keeps everything enabled.
void ct::updateEnabling() {
    if (model.stored()) return;
    enableItem(platform::IDOK, model.okEnabled());
    enableItem(kGenerate, model.generationEnabled());
    enableItem(kInfoList, model.generationEnabled());
}

void ct::rebuild() {
    model.rebuild();
    dlg::ListView* list = listView(kInfoList);
    list->deleteAllItems();
    for (const contracts::ContractInfoRow& row : model.list.rows) {
        const int at = list->insertItem(list->itemCount(), row.label);
        list->setItemText(at, 1, row.value);
    }
}

void ct::OnFirstSlotChanged(const dlg::Notification&) {
    model.timeslotId = selectedTimeslotId();
    rebuild();
}

void ct::OnTemplateChanged(const dlg::Notification&) {
    model.templateName = itemText(kTemplate);
    updateEnabling();
    rebuild();
}

void ct::OnChooseTemplate(const dlg::Notification&) { chooseTemplate(); }

void ct::chooseTemplate() {
    QString chosen;
    {
        platform::WaitCursor wait;
        chosen = platform::ui().chooseFile(QStringLiteral("Chosir un modèle de contrat"), model.folders.models,
                                           QStringLiteral("Fichier .rtf (*.rtf)"));
    }
    if (!chosen.isEmpty()) setItemText(kTemplate, contracts::templateFieldText(chosen));
    fillFirstSlots(Refill::KeepSelection);
}

// Rows the stored contract could not give back are refused before a document is made from
// them, and again at OK.
bool ct::refuseUnstorable() {
    const QString problem = model.storageProblem();
    if (problem.isEmpty()) return false;
    platform::showError(problem);
    return true;
}

void ct::OnGenerate(const dlg::Notification&) {
    if (refuseUnstorable()) return;
    if (model.generate() == 0) fillFirstSlots(Refill::KeepSelection);
}

int ct::runValueEditor(const QString& label, QString& value) {
    editoneitem editor(this);
    editor.caption = label;
    editor.text = value;
    const int result = editor.DoModal();
    if (result == platform::IDOK) value = editor.text;
    return result;
}

void ct::OnEditRow(const dlg::Notification& n) {
    if (n.row < 0 || n.row >= static_cast<int>(model.list.rows.size())) return;
    const auto row = static_cast<std::size_t>(n.row);
    QString value = model.list.rows[row].value;
    if (runValueEditor(model.list.rows[row].label, value) != platform::IDOK) return;
    model.setRowValue(row, value);
    dlg::ListView* list = listView(kInfoList);
    for (std::size_t i = 0; i < model.list.rows.size(); ++i)
        list->setItemText(static_cast<int>(i), 1, model.list.rows[i].value);
}

void ct::OnOK() {
    if (refuseUnstorable()) return;
    model.accept(selectedTimeslotId());
    EndDialog(platform::IDOK);
}
