// What a save answers its window (or the stress test's workstation): done; done with a
// colleague's changes merged in; a conflict, with both sides field by field; the row gone
// meanwhile; failed (already reported to the user); or unknown: the link went while the save
// travelled and the server could not be asked since (said to the user; the lists will show).
#pragma once

#include <QString>
#include <vector>

#include "edits/record_links.h"

namespace edits {

enum class SaveOutcome { Done, Merged, Conflict, Vanished, Failed, Unknown };

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
    // Committed: what the save brought back from the Corbeille, record by record, with what
    // came with each ("le groupe de créneaux « Nuit », ... avec ses 3 créneaux").
    QStringList restored;
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

// How a save treats a row that changed since this workstation loaded it. By default a clash
// or a deleted row stops the save and comes back for the user to settle.
struct Resolution {
    // Mine written over the clashes the user was shown, and only those: a clash that appeared
    // since (another field, or the same field changed again) stops the save again.
    bool keepMine = false;
    std::vector<FieldDifference> shown;
    // The row deleted meanwhile (or, for an add, its parent) comes back with this save.
    bool restore = false;

    // Whether these clashes may be written over.
    bool settles(const std::vector<FieldDifference>& clashes) const {
        if (clashes.empty()) return true;
        if (!keepMine) return false;
        for (const FieldDifference& c : clashes) {
            bool seen = false;
            for (const FieldDifference& s : shown) seen = seen || (s.field == c.field && s.theirs == c.theirs);
            if (!seen) return false;
        }
        return true;
    }
    static Resolution keepMineOver(const SaveResult& conflict, bool restore = false) {
        return {true, conflict.differences, restore};
    }
    static Resolution restoring() { return {false, {}, true}; }
};

}  // namespace edits
