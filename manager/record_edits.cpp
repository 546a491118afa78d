#include "manager/record_edits.h"

#include <optional>

#include "dialog/controls.h"
#include "edits/deletes.h"
#include "edits/saves.h"
#include "manager/manager_dialogs.h"
#include "manager/record_lists.h"
#include "manager/settle_save.h"
#include "programme/account.h"
#include "programme/programme_data.h"

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

RecordEdits::RecordEdits(RecordLists& lists, ManagerDialogs& dialogs, std::function<void()> reloadAll)
    : lists_(lists), dialogs_(dialogs), reloadAll_(std::move(reloadAll)) {}

template <class Record>
void RecordEdits::deleteSelected(int listId, edits::RecordKind kind, const std::vector<Record>& records) {
    if (!account::checkRights()) return;
    const int index = lists_.selectedRecord(listId, records);
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
        // Nothing stays selected after a delete, so every "-" goes grey: a second click
        // deletes nothing the user did not choose again.
        reloadAll_();
        // The selection links run from a contract up to its company: cleared in that order.
        for (int id : {kContractList, kTimeslotList, kShowList, kCompanyList}) lists_.list(id)->clearSelection();
        lists_.updateDeleteButtons();
        if (result.outcome != edits::SaveOutcome::Conflict) return;
        if (!edits::isLive(target)) return;
    }
}
template void RecordEdits::deleteSelected(int, edits::RecordKind, const std::vector<programme::Contract>&);

void RecordEdits::deleteCompany() { deleteSelected(kCompanyList, edits::RecordKind::Company, programme::companies()); }
void RecordEdits::deleteShow() { deleteSelected(kShowList, edits::RecordKind::Show, programme::shows()); }
void RecordEdits::deleteTimeslotGroup() {
    deleteSelected(kTimeslotList, edits::RecordKind::Group, programme::timeslots());
}

// ---- companies ---------------------------------------------------------------------------

int32_t RecordEdits::addCompany() {
    if (!account::checkRights()) return -1;
    edits::CompanyFields fields;
    if (!dialogs_.runCompanyDialog(fields)) return -1;
    const edits::SaveResult result = edits::addCompany(fields);
    if (!result.committed()) return -1;
    reloadAll_();
    return static_cast<int32_t>(result.newId);
}

void RecordEdits::editCompany(int row) {
    if (!account::checkRights()) return;
    const auto& records = programme::companies();
    const int index = editedRecordIndex(lists_.list(kCompanyList), row, records);
    if (index < 0) return;
    const programme::Company record = records[static_cast<std::size_t>(index)];
    if (programme::isPlaceholderName(record.nom)) return;
    edits::CompanyFields fields = edits::fieldsOf(record);
    if (!dialogs_.runCompanyDialog(fields)) return;
    settle::settleSave(
        record, fields, &edits::editCompany, [this](edits::CompanyFields& f) { return dialogs_.runCompanyDialog(f); },
        [id = record.id] { return storedRecord(programme::companies(), id); }, reloadAll_);
}

// ---- shows -------------------------------------------------------------------------------

int32_t RecordEdits::addShow() {
    if (!account::checkRights()) return -1;
    // A company added through the dialog's "+" reloads the records for the dialog's list
    // without refilling the manager's lists under it.
    const int company = lists_.selectedRecord(kCompanyList, programme::companies());
    edits::ShowFields fields{QString(),
                             company >= 0 ? asInt32(programme::companies()[static_cast<std::size_t>(company)].id) : 0};
    bool companyAdded = false;
    bool answered = false;
    {
        RecordLists::RefillHold hold(lists_);
        answered =
            dialogs_.runShowDialog(fields, [this, &companyAdded] { companyAdded = addCompany() >= 0 || companyAdded; });
    }
    const edits::SaveResult result =
        answered ? settle::settleAdd([&](const edits::Resolution& r) { return edits::addShow(fields, r); })
                 : edits::SaveResult{};
    // The records moved under the held lists: their rows must show them again.
    if (result.committed() || companyAdded) reloadAll_();
    return result.committed() ? static_cast<int32_t>(result.newId) : -1;
}

void RecordEdits::editShow(int row) {
    if (!account::checkRights()) return;
    const auto& records = programme::shows();
    const int index = editedRecordIndex(lists_.list(kShowList), row, records);
    if (index < 0) return;
    const programme::Show record = records[static_cast<std::size_t>(index)];
    if (programme::isPlaceholderName(record.name)) return;
    edits::ShowFields fields{record.name, asInt32(record.comp)};
    const auto addCompanyHere = [this] { addCompany(); };
    if (!dialogs_.runShowDialog(fields, addCompanyHere)) return;
    settle::settleSave(
        record, fields, &edits::editShow,
        [this, addCompanyHere](edits::ShowFields& f) { return dialogs_.runShowDialog(f, addCompanyHere); },
        [id = record.id] { return storedRecord(programme::shows(), id); }, reloadAll_);
}

// ---- timeslot groups ---------------------------------------------------------------------

void RecordEdits::addTimeslotGroup() {
    if (!account::checkRights()) return;
    planning::TimeslotEditorData input;
    const int showIndex = lists_.selectedRecord(kShowList, programme::shows());
    input.showId = showIndex >= 0 ? asInt32(programme::shows()[static_cast<std::size_t>(showIndex)].id) : 0;
    input.room = 0;
    int answer = platform::IDCANCEL;
    {
        RecordLists::RefillHold hold(lists_);
        answer = dialogs_.runTimeslotEditor(input, [this] { return addShow(); });
    }
    if (answer == platform::IDOK)
        settle::settleAdd([&](const edits::Resolution& r) { return edits::addGroup(input, r); });
    // Cancelled or not, stored or not: the lists were held while the editor was open.
    reloadAll_();
}

void RecordEdits::editTimeslotGroup(int row) {
    if (!account::checkRights()) return;
    const auto& records = programme::timeslots();
    const int headIndex = editedRecordIndex(lists_.list(kTimeslotList), row, records);
    if (headIndex < 0) return;
    const edits::GroupRows group = edits::groupRows(headIndex);
    planning::TimeslotEditorData input = edits::editorInput(group);
    const auto createShow = [this] { return addShow(); };
    if (dialogs_.runTimeslotEditor(input, createShow) != platform::IDOK) return;
    settle::settleSave(
        group, input, &edits::editGroup,
        [this, createShow](planning::TimeslotEditorData& edited) {
            return dialogs_.runTimeslotEditor(edited, createShow) == platform::IDOK;
        },
        [id = group.rows.front().id]() -> std::optional<edits::GroupRows> {
            const int head = programme::timeslotIndexById(id);
            if (head < 0) return std::nullopt;
            return edits::groupRows(head);
        },
        reloadAll_);
}
