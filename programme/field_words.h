// The words the user reads for the records' fields wherever a message names one: the notice
// of what came from another workstation, the conflict box, the audit line's words and the
// refusal of a value a column cannot keep. They are the dialogs' labels, in French where a
// label is the column's own name ("email", "contact1"): no message shows a column.
#pragma once

#include <QString>
#include <vector>

namespace programme {

enum class Field {
    // the company dialog, then the show dialog
    Name,
    Email,
    Contact1,
    Contact2,
    Address,
    Company,
    // the timeslot editor: the group's show and room, its slots, its follow-up as a whole and
    // the three texts it is stored in
    Show,
    Room,
    Slots,
    FollowUp,
    Survey,
    Plan,
    Done,
    // the contract dialog
    ContractInfo,
    ContractTemplate,
};

struct FieldWords {
    const char* label;   // alone or in a list: "Adresse complète"
    const char* inLine;  // inside a sentence: "nom et adresse modifiés"
    bool feminine;
    bool plural;
};

const FieldWords& wordsOf(Field field);
QString fieldLabel(Field field);

// The audit line's words for the fields a save changed, agreeing with them: "adresse
// modifiée", "créneaux modifiés", "nom et e-mail modifiés"; empty when none changed.
QString changedFieldsText(const std::vector<Field>& fields);

}  // namespace programme
