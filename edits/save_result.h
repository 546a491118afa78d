// What a save answers its window (or the stress test's workstation): done; done with a
// colleague's changes merged in; a conflict, with both sides field by field; the row gone
// meanwhile; or failed (already reported to the user).
#pragma once

#include <QString>
#include <vector>

#include "edits/record_links.h"

namespace edits {

enum class SaveOutcome { Done, Merged, Conflict, Vanished, Failed };

// One field where the stored row and this workstation's save differ.
struct FieldDifference {
    QString field;   // "Nom", "Adresse complète", "créneau 2 : début", "Règlement 1", ...
    QString theirs;  // what the other workstation stored
    QString mine;    // what this one would store
};

struct SaveResult {
    SaveOutcome outcome = SaveOutcome::Failed;
    // Merged: which parts came from the other workstation ("Règlement 2, Contrat envoyé par KQ").
    QStringList fromTheirs;
    // Conflict or Vanished: the record, the account that last saved it (from the audit
    // trail, when it says), and the differences.
    RecordRef record;
    QString account;
    std::vector<FieldDifference> differences;
    // An add: the id of the new record. Any committed save: its audit line's id.
    long long newId = -1;
    long long auditId = 0;
    bool committed() const { return outcome == SaveOutcome::Done || outcome == SaveOutcome::Merged; }
};

// How a save treats a row that changed since this workstation loaded it.
enum class Resolution {
    Check,           // merge what does not clash; a clash or a deleted row: stop and say so
    KeepMine,        // write this workstation's values over the clashing ones
    RestoreAndSave,  // the row was deleted meanwhile: bring it back with this save
};

}  // namespace edits
