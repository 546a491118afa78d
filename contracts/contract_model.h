// What the contract dialog shows and changes, apart from its window: the first-timeslot
// entries, the info rows of a new or a stored contract, the template name, and the texts the
// dialog hands back on OK.
#pragma once

#include <QString>
#include <cstdint>
#include <functional>
#include <vector>

#include "contracts/contract_document.h"
#include "contracts/contract_info.h"
#include "platform/date_time.h"

namespace contracts {

// One entry of the first-timeslot list: a group head that is not deleted, in load order.
struct HeadEntry {
    QString text;  // "Mercredi 09 Décembre 2026 à 20:30 : show : company"
    int32_t id;
};
std::vector<HeadEntry> headEntries();
// The entry whose id is this one, or -1.
int entryIndexOf(const std::vector<HeadEntry>& entries, int32_t id);

// The template field's text for a file picked in the chooser: its name without the folder,
// with ".rtf" appended unless it already ends so (in any case).
QString templateFieldText(const QString& chosenPath);

class ContractModel {
public:
    // In: what the caller gives; out after OK: the contract's texts and its first slot.
    QString rtf;
    QString extra;
    int32_t timeslotId = -1;

    ContractFolders folders = defaultFolders();
    QString userName;
    std::function<platform::DateTime()> clock = [] { return platform::DateTime::now(); };
    std::function<int()> draw;

    // A stored contract is one with an extra text; its template is fixed.
    bool stored() const { return stored_; }
    // At opening: the mode from extra, the template field from rtf, a generator started from the clock.
    void open();

    QString templateName;
    ContractInfoList list;
    // Rows again: a stored contract's extra as given; a new contract's field list with the
    // defaults of the current timeslot. What was shown before is dropped.
    void rebuild();

    // A row's new value; a new price also gives each of the five cheques its fifth.
    void setRowValue(std::size_t row, const QString& value);

    // The enabling of a new contract: OK once generated, generation and the rows once a
    // template is named.
    bool okEnabled() const { return stored_ || !rtf.isEmpty(); }
    bool generationEnabled() const { return stored_ || !templateName.isEmpty(); }

    // Why the rows or the template name could not be stored as they are, or why their
    // document would replace another contract's (a number already used), or empty.
    QString storageProblem() const;
    int generate() { return generateAndOpen(folders, list, templateName, rtf); }
    // OK: the rows into extra, the copy to the shared folder (its failure only reported).
    void accept(int32_t chosenTimeslotId);

private:
    bool stored_ = false;
    // The number a stored contract was opened with: its own document's.
    QString ownNumber_;
    CrtRandom random_;
};

}  // namespace contracts
