// The manager's edit handlers: companies, shows and timeslot groups. Each change is one or a
// few statements on the programme database, then `reload all`, so that memory and lists always
// come from the database.
#include <QComboBox>

#include "db/connections.h"
#include "db/query_runner.h"
#include "edits/deletes.h"
#include "edits/edit_statements.h"
#include "edits/save_runner.h"
#include "manager/ccomp_dlg.h"
#include "manager/corbeille_dlg.h"
#include "manager/manager_dlg.h"
#include "manager/manager_lists.h"
#include "manager/show_dlg.h"
#include "edits/statement_runs.h"
#include "platform/controls.h"
#include "programme/account.h"

namespace {

using edits::openIfClosed;
using edits::runAlone;
using edits::runOrReport;

// The record a double-clicked row stands for: the row index is first held against the
// record count, as the handlers always did, then its item data must name a record.
template <class Record>
int editedRecordIndex(const dlg::ListView* list, int row, const std::vector<Record>& records) {
    if (row < 0 || row >= static_cast<int>(records.size())) return -1;
    return dlg::recordIndexOfRow(list, row, records);
}

int32_t asInt32(const QString& text) { return static_cast<int32_t>(programme::leadingInteger(text)); }

}  // namespace

// A delete: the rights test, the question naming what goes with the record and what stays,
// then one save. The record is the one the selected row shows, found by its id.
template <class Record>
void manager::deleteSelected(int listId, edits::RecordKind kind, const std::vector<Record>& records) {
    if (!account::checkRights()) return;
    const dlg::ListView* list = listView(listId);
    const int index = dlg::recordIndexOfRow(list, list->nextSelected(), records);
    if (index < 0) return;
    const edits::DeletePlan plan = edits::planDelete({kind, records[static_cast<std::size_t>(index)].id});
    const edits::DeleteQuestion question = edits::deleteQuestion(plan);
    const edits::DeleteChoice choice = edits::deleteChoice(plan, platform::ui().askChoice(question.text, question.answers));
    if (choice == edits::DeleteChoice::Nothing) return;
    const edits::SaveText save = edits::deleteSave(plan, choice);
    if (!edits::runSave(save.statements, save.auditMessage)) return;
    // The reload empties the lists: no row is selected any more, so every "-" goes grey.
    reloadAll();
    updateDeleteButtons();
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

// ---- companies ---------------------------------------------------------------------------

void manager::OnAddCompany(const dlg::Notification&) { addCompany(); }

int32_t manager::addCompany() {
    if (!account::checkRights()) return -1;
    ccomp dialog(this);
    if (dialog.DoModal() != platform::IDOK) return -1;
    openIfClosed();
    const auto companyId = static_cast<unsigned>(programme::companies().size());
    if (!runOrReport(edits::addCompany(companyId, dialog.nom, dialog.email, dialog.contact1, dialog.contact2))) return -1;
    const std::string placeholder =
        edits::addPlaceholderShow(static_cast<unsigned>(programme::shows().size()), dialog.nom, companyId);
    if (!runOrReport(placeholder)) return -1;
    // The creation statement has no address: the edit statement stores the one typed.
    if (!dialog.fulladr.isEmpty() &&
        !runOrReport(edits::editCompany(dialog.nom, dialog.email, dialog.fulladr, dialog.contact1, dialog.contact2,
                                        QString::number(companyId))))
        return -1;
    db::closeProgramme();
    reloadAll();
    return static_cast<int32_t>(companyId);
}

void manager::OnEditCompany(const dlg::Notification& n) {
    if (!account::checkRights()) return;
    const auto& records = programme::companies();
    const int index = editedRecordIndex(listView(kCompanyList), n.row, records);
    if (index < 0) return;
    const programme::Company record = records[static_cast<std::size_t>(index)];
    if (programme::isPlaceholderName(record.nom)) return;
    ccomp dialog(this);
    dialog.nom = record.nom;
    dialog.email = record.email;
    dialog.contact1 = record.contact1;
    dialog.contact2 = record.contact2;
    dialog.fulladr = record.fulladr;
    if (dialog.DoModal() != platform::IDOK) return;
    if (runAlone(edits::editCompany(dialog.nom, dialog.email, dialog.fulladr, dialog.contact1, dialog.contact2,
                                    record.id)))
        reloadAll();
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
    int result = platform::IDCANCEL;
    {
        programme::RefillHoldGuard hold;
        result = dialog.DoModal();
    }
    if (result != platform::IDOK) {
        // The records moved under the held lists: their rows must show them again.
        if (companyAdded) reloadAll();
        return -1;
    }
    openIfClosed();
    const auto showId = static_cast<unsigned>(programme::shows().size());
    if (!runOrReport(edits::addShow(showId, dialog.name, dialog.company))) {
        if (companyAdded) reloadAll();
        return -1;
    }
    reloadAll();
    return static_cast<int32_t>(showId);
}

void manager::OnEditShow(const dlg::Notification& n) {
    if (!account::checkRights()) return;
    const auto& records = programme::shows();
    const int index = editedRecordIndex(listView(kShowList), n.row, records);
    if (index < 0) return;
    const programme::Show record = records[static_cast<std::size_t>(index)];
    if (programme::isPlaceholderName(record.name)) return;
    ::show dialog(this);
    dialog.company = asInt32(record.comp);
    dialog.name = record.name;
    dialog.addCompany = [this] { addCompany(); };
    if (dialog.DoModal() != platform::IDOK) return;
    if (runAlone(edits::editShow(dialog.name, dialog.company, record.id))) reloadAll();
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
    int result = platform::IDCANCEL;
    {
        programme::RefillHoldGuard hold;
        result = runTimeslotEditor(input);
    }
    if (result != platform::IDOK) {
        reloadAll();
        return;
    }
    openIfClosed();
    const auto base = static_cast<unsigned>(programme::timeslots().size());
    for (std::size_t i = 0; i < input.entries.size(); ++i) {
        const auto id = base + static_cast<unsigned>(i);
        const std::string statement =
            i == 0 ? edits::addGroupHead(id, input.entries[i], input.showId, input.room, input.survey, input.todo, input.done)
                   : edits::addGroupChild(id, input.entries[i], input.showId, static_cast<int32_t>(base), input.room);
        if (db::QueryRunner(statement, nullptr, nullptr) != db::kQueryOk) {
            // What was written stays; the lists show it.
            db::closeProgramme();
            reloadAll();
            db::reportDbExecError(statement);
            return;
        }
    }
    db::closeProgramme();
    reloadAll();
}

void manager::editTimeslotGroup(int row) {
    if (!account::checkRights()) return;
    const auto& records = programme::timeslots();
    const int headIndex = editedRecordIndex(listView(kTimeslotList), row, records);
    if (headIndex < 0) return;
    const programme::Timeslot head = records[static_cast<std::size_t>(headIndex)];
    const auto headId = asInt32(head.id);

    // The group: the head, then its children that are not deleted, in record order (date,
    // then start). Entry p of the editor lands on the p-th of these rows.
    std::vector<unsigned> rowIds{static_cast<unsigned>(headId)};
    planning::TimeslotEditorData input;
    input.entries.push_back(edits::slotEntryOf(head.date, head.start, head.end));
    for (std::size_t i = 0; i < records.size(); ++i) {
        const programme::Timeslot& slot = records[i];
        if (static_cast<int>(i) == headIndex || programme::leadingInteger(slot.deleted) != 0) continue;
        if (programme::leadingInteger(slot.childof) != headId) continue;
        rowIds.push_back(static_cast<unsigned>(programme::leadingInteger(slot.id)));
        input.entries.push_back(edits::slotEntryOf(slot.date, slot.start, slot.end));
    }
    input.showId = asInt32(head.showname);
    input.room = asInt32(head.room);
    input.survey = head.survey;
    input.todo = head.todo;
    input.done = head.done;
    if (runTimeslotEditor(input) != platform::IDOK) return;

    openIfClosed();
    const std::size_t m = rowIds.size();
    const std::size_t k = input.entries.size();
    const auto loaded = static_cast<unsigned>(programme::timeslots().size());
    std::vector<std::string> statements;
    for (std::size_t p = 0; p < std::min(k, m); ++p) {
        statements.push_back(p == 0 ? edits::editGroupHead(input.entries[p], input.showId, input.room, input.survey,
                                                           input.todo, input.done, rowIds[p])
                                    : edits::editGroupChild(input.entries[p], input.showId, input.room, headId, rowIds[p]));
    }
    for (std::size_t p = k; p < m; ++p) statements.push_back(edits::removeSlot(rowIds[p]));
    for (std::size_t p = m; p < k; ++p) {
        statements.push_back(edits::addSlot(loaded + static_cast<unsigned>(p - m), input.entries[p], input.showId,
                                            input.room, headId));
    }
    for (const std::string& statement : statements) {
        if (db::QueryRunner(statement, nullptr, nullptr) != db::kQueryOk) {
            db::closeProgramme();
            db::reportDbExecError(statement);
            reloadAll();
            return;
        }
    }
    db::closeProgramme();
    reloadAll();
}

void manager::OnDeleteTimeslotGroup(const dlg::Notification&) {
    deleteSelected(kTimeslotList, edits::RecordKind::Group, programme::timeslots());
}
