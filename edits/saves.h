// The saves of the programme: what each window (and the shared-office stress test) asks to
// store, given what it loaded when its dialog opened. Each runs as one transaction
// (edits/transaction.h) that reads back the rows it will change: what another workstation
// stored meanwhile is merged when it does not clash, and otherwise comes back as a conflict
// for the user to settle. The statements are the programme's own; each save adds its checks,
// its audit line and the transaction around them.
#pragma once

#include <QString>
#include <cstdint>
#include <vector>

#include "edits/save_result.h"
#include "planning/timeslot_editor.h"
#include "programme/programme_data.h"

namespace edits {

// ---- companies and shows ----------------------------------------------------------------

struct CompanyFields {
    QString nom;
    QString email;
    QString contact1;
    QString contact2;
    QString fulladr;
};
CompanyFields fieldsOf(const programme::Company& company);

// A company and its placeholder show, and its address when one was typed; newId is its id.
SaveResult addCompany(const CompanyFields& mine);
SaveResult editCompany(const programme::Company& base, const CompanyFields& mine, const Resolution& resolution);

struct ShowFields {
    QString name;
    int32_t company = -1;
};
// Adds read their parent (a show's company, a group's show, a contract's group) in their
// transaction: one deleted meanwhile stops the add as Vanished, naming the parent, unless the
// resolution restores it with the add.
SaveResult addShow(const ShowFields& mine, const Resolution& resolution = {});
SaveResult editShow(const programme::Show& base, const ShowFields& mine, const Resolution& resolution);

// ---- timeslot groups ----------------------------------------------------------------------

// A group as the editor got it: its rows, head first, then its live children in record order.
struct GroupRows {
    std::vector<programme::Timeslot> rows;
};
// The group of a head record (index in the loaded timeslots).
GroupRows groupRows(int headIndex);
planning::TimeslotEditorData editorInput(const GroupRows& group);

SaveResult addGroup(const planning::TimeslotEditorData& mine, const Resolution& resolution = {});
SaveResult editGroup(const GroupRows& base, const planning::TimeslotEditorData& mine, const Resolution& resolution);

// ---- contracts ----------------------------------------------------------------------------

struct ContractFields {
    QString rtf;
    QString extra;
    int32_t timeslotId = -1;
};
// The contract, then its return deadline and payments written into its group's plan as the
// group's head holds it now.
SaveResult newContract(const ContractFields& mine, const Resolution& resolution = {});
SaveResult editContract(const programme::Contract& base, const ContractFields& mine, const Resolution& resolution);

// ---- the user's side of a conflict --------------------------------------------------------

// Going back to the dialog after a conflict: the dialog opens again on what this workstation
// typed, over what is stored now. A field it did not change takes the stored value (what a
// colleague changed stays), one it changed keeps its input.
CompanyFields carryOver(const programme::Company& was, const programme::Company& now, const CompanyFields& mine);
ShowFields carryOver(const programme::Show& was, const programme::Show& now, const ShowFields& mine);
ContractFields carryOver(const programme::Contract& was, const programme::Contract& now, const ContractFields& mine);
planning::TimeslotEditorData carryOver(const GroupRows& was, const GroupRows& now,
                                       const planning::TimeslotEditorData& mine);

// "La compagnie « X » a été modifiée sur un autre poste (par Anne) ..." with the fields, and
// the answers: keep mine, keep theirs, back to my input (the last, the default, loses nothing).
struct ConflictQuestion {
    QString text;
    QStringList answers;
};
enum class ConflictAnswer { KeepMine, KeepTheirs, BackToInput };
ConflictQuestion conflictQuestion(const SaveResult& result);
ConflictAnswer conflictAnswer(int answer);
// The row was deleted meanwhile: restore it with my changes, or drop them (the default).
ConflictQuestion vanishedQuestion(const SaveResult& result);
bool restoreChosen(int answer);
// What an add points at was deleted meanwhile: restore it with the add, or drop the add.
ConflictQuestion deletedParentQuestion(const SaveResult& result);
// The one line after a save that brought a record back or took a colleague's changes:
// "Enregistré. Restauré : le spectacle « Nuit ». Repris de l'autre poste : Règlement 2,
// Contrat envoyé par KQ."; empty after a plain save.
QString savedNotice(const SaveResult& result);

}  // namespace edits
