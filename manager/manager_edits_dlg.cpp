// The manager's edit handlers: companies, shows and timeslot groups. Each runs its dialog,
// hands what the user typed and what was loaded to one save (edits/saves.h), settles what the
// save answered with the user, then runs `reload all`, so that memory and lists always come
// from the database.
#include <QComboBox>
#include <optional>

#include "db/connections.h"
#include "db/query_runner.h"
#include "edits/deletes.h"
#include "edits/saves.h"
#include "manager/ccomp_dlg.h"
#include "manager/corbeille_dlg.h"
#include "manager/journal_dlg.h"
#include "manager/manager_dlg.h"
#include "manager/manager_lists.h"
#include "manager/settle_save.h"
#include "manager/show_dlg.h"
#include "platform/controls.h"
#include "programme/account.h"

namespace {

// The record a double-clicked row stands for: the row index is first held against the
// record count, as the handlers always did, then the row must name a record.
template <class Record>
int editedRecordIndex(const dlg::ListView* list, int row, const std::vector<Record>& records) {
    if (row < 0 || row >= static_cast<int>(records.size())) return -1;
    return dlg::recordIndexOfRow(list, row, records);
}

int32_t asInt32(const QString& text) { return static_cast<int32_t>(programme::leadingInteger(text)); }

// The record with this id as loaded now, after a reload.
template <class Record>
std::optional<Record> storedRecord(const std::vector<Record>& records, const QString& id) {
    for (const Record& r : records)
        if (r.id == id) return r;
    return std::nullopt;
}

}  // namespace

// A delete: the rights test, the question naming what goes with the record and what stays,
// then one save. The record is the one the selected row shows, found by its id. When another
// workstation changed what points at the record meanwhile, the lists are reloaded and the
// question asked again on what is stored.
template <class Record>
void manager::deleteSelected(int listId, edits::RecordKind kind, const std::vector<Record>& records) {
    if (!account::checkRights()) return;
    const dlg::ListView* list = listView(listId);
    const int index = dlg::recordIndexOfRow(list, list->nextSelected(), records);
    if (index < 0) return;
    const edits::RecordRef target{kind, records[static_cast<std::size_t>(index)].id};
    for (int asked = 0; asked < 3; ++asked) {
        const edits::DeletePlan plan = edits::planDelete(target);
        const edits::DeleteQuestion question = edits::deleteQuestion(plan);
        const edits::DeleteChoice choice =
            edits::deleteChoice(plan, platform::ui().askChoice(question.text, question.answers));
        if (choice == edits::DeleteChoice::Nothing) return;
        const edits::SaveResult result = edits::runDelete(plan, choice);
        if (result.outcome == edits::SaveOutcome::Failed || result.outcome == edits::SaveOutcome::Unknown) return;
        // The reload empties the lists: no row is selected any more, so every "-" goes grey.
        reloadAll();
        updateDeleteButtons();
        if (result.outcome != edits::SaveOutcome::Conflict) return;
        if (!edits::isLive(target)) return;
    }
}

// The Corbeille lists what was deleted; a restore there reloads the manager's lists.
void manager::OnCorbeille(const dlg::Notification&) {
    CorbeilleWindow window(
        [this] {
            reloadAll();
            updateDeleteButtons();
        },
        this);
    window.fill();
    window.exec();
}

// The Journal lists the audit lines; it writes nothing.
void manager::OnJournal(const dlg::Notification&) {
    JournalWindow window(this);
    window.load();
    window.exec();
}

// ---- companies ---------------------------------------------------------------------------

bool manager::runCompanyDialog(edits::CompanyFields& fields) {
    ccomp dialog(this);
    dialog.nom = fields.nom;
    dialog.email = fields.email;
    dialog.contact1 = fields.contact1;
    dialog.contact2 = fields.contact2;
    dialog.fulladr = fields.fulladr;
    if (dialog.DoModal() != platform::IDOK) return false;
    fields = {dialog.nom, dialog.email, dialog.contact1, dialog.contact2, dialog.fulladr};
    return true;
}

void manager::OnAddCompany(const dlg::Notification&) { addCompany(); }

int32_t manager::addCompany() {
    if (!account::checkRights()) return -1;
    edits::CompanyFields fields;
    if (!runCompanyDialog(fields)) return -1;
    const edits::SaveResult result = edits::addCompany(fields);
    if (!result.committed()) return -1;
    reloadAll();
    return static_cast<int32_t>(result.newId);
}

void manager::OnEditCompany(const dlg::Notification& n) {
    if (!account::checkRights()) return;
    const auto& records = programme::companies();
    const int index = editedRecordIndex(listView(kCompanyList), n.row, records);
    if (index < 0) return;
    const programme::Company record = records[static_cast<std::size_t>(index)];
    if (programme::isPlaceholderName(record.nom)) return;
    edits::CompanyFields fields = edits::fieldsOf(record);
    if (!runCompanyDialog(fields)) return;
    settle::settleSave(
        record, fields, &edits::editCompany, [this](edits::CompanyFields& f) { return runCompanyDialog(f); },
        [id = record.id] { return storedRecord(programme::companies(), id); }, [this] { reloadAll(); });
}

void manager::OnDeleteCompany(const dlg::Notification&) {
    deleteSelected(kCompanyList, edits::RecordKind::Company, programme::companies());
}

// ---- shows -------------------------------------------------------------------------------

void manager::OnAddShow(const dlg::Notification&) { addShow(); }

int32_t manager::addShow() {
    if (!account::checkRights()) return -1;
    // A company added through the dialog's "+" reloads the records for the dialog's list
    // without refilling the manager's lists under it.
    const dlg::ListView* companyList = listView(kCompanyList);
    const int company = dlg::recordIndexOfRow(companyList, companyList->nextSelected(), programme::companies());
    ::show dialog(this);
    dialog.company = company >= 0 ? asInt32(programme::companies()[static_cast<std::size_t>(company)].id) : 0;
    bool companyAdded = false;
    dialog.addCompany = [this, &companyAdded] { companyAdded = addCompany() >= 0 || companyAdded; };
    int answer = platform::IDCANCEL;
    {
        programme::RefillHoldGuard hold;
        answer = dialog.DoModal();
    }
    const edits::SaveResult result =
        answer == platform::IDOK
            ? settle::settleAdd([&](const edits::Resolution& r) { return edits::addShow({dialog.name, dialog.company}, r); })
            : edits::SaveResult{};
    // The records moved under the held lists: their rows must show them again.
    if (result.committed() || companyAdded) reloadAll();
    return result.committed() ? static_cast<int32_t>(result.newId) : -1;
}

bool manager::runShowDialog(edits::ShowFields& fields) {
    ::show dialog(this);
    dialog.company = fields.company;
    dialog.name = fields.name;
    dialog.addCompany = [this] { addCompany(); };
    if (dialog.DoModal() != platform::IDOK) return false;
    fields = {dialog.name, dialog.company};
    return true;
}

void manager::OnEditShow(const dlg::Notification& n) {
    if (!account::checkRights()) return;
    const auto& records = programme::shows();
    const int index = editedRecordIndex(listView(kShowList), n.row, records);
    if (index < 0) return;
    const programme::Show record = records[static_cast<std::size_t>(index)];
    if (programme::isPlaceholderName(record.name)) return;
    edits::ShowFields fields{record.name, asInt32(record.comp)};
    if (!runShowDialog(fields)) return;
    settle::settleSave(
        record, fields, &edits::editShow, [this](edits::ShowFields& f) { return runShowDialog(f); },
        [id = record.id] { return storedRecord(programme::shows(), id); }, [this] { reloadAll(); });
}

void manager::OnDeleteShow(const dlg::Notification&) {
    deleteSelected(kShowList, edits::RecordKind::Show, programme::shows());
}

void manager::OnDeleteContract(const dlg::Notification&) {
    deleteSelected(kContractList, edits::RecordKind::Contract, programme::contracts());
}

// ---- timeslot groups ---------------------------------------------------------------------

void manager::OnAddTimeslotGroup(const dlg::Notification&) {
    if (!account::checkRights()) return;
    planning::TimeslotEditorData input;
    const dlg::ListView* showList = listView(kShowList);
    const int showIndex = dlg::recordIndexOfRow(showList, showList->nextSelected(), programme::shows());
    input.showId = showIndex >= 0 ? asInt32(programme::shows()[static_cast<std::size_t>(showIndex)].id) : 0;
    input.room = 0;
    int answer = platform::IDCANCEL;
    {
        programme::RefillHoldGuard hold;
        answer = runTimeslotEditor(input);
    }
    if (answer == platform::IDOK) settle::settleAdd([&](const edits::Resolution& r) { return edits::addGroup(input, r); });
    // Cancelled or not, stored or not: the lists were held while the editor was open.
    reloadAll();
}

void manager::editTimeslotGroup(int row) {
    if (!account::checkRights()) return;
    const auto& records = programme::timeslots();
    const int headIndex = editedRecordIndex(listView(kTimeslotList), row, records);
    if (headIndex < 0) return;
    const edits::GroupRows group = edits::groupRows(headIndex);
    planning::TimeslotEditorData input = edits::editorInput(group);
    if (runTimeslotEditor(input) != platform::IDOK) return;
    settle::settleSave(
        group, input, &edits::editGroup,
        [this](planning::TimeslotEditorData& edited) { return runTimeslotEditor(edited) == platform::IDOK; },
        [id = group.rows.front().id]() -> std::optional<edits::GroupRows> {
            const int head = programme::timeslotIndexById(id);
            if (head < 0) return std::nullopt;
            return edits::groupRows(head);
        },
        [this] { reloadAll(); });
}

void manager::OnDeleteTimeslotGroup(const dlg::Notification&) {
    deleteSelected(kTimeslotList, edits::RecordKind::Group, programme::timeslots());
}
