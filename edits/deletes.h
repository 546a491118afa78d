// What a delete takes with it, what it asks first, and the statements of its one save.
// Deletes stay soft (`deleted` = "1") and every one of them can be undone from the Corbeille.
// A record that live records still point at (a company's shows, a show's groups, a group's
// contracts) is deleted with them or alone, as the user answers; a contract's return
// deadline and unpaid payments can be taken out of its group's plan with it.
#pragma once

#include <QString>
#include <QStringList>
#include <string>
#include <vector>

#include "edits/record_links.h"
#include "edits/save_result.h"

namespace edits {

struct DeletePlan {
    RecordRef target;
    // The live records that point at the target, directly or through one another: shows,
    // then groups, then contracts.
    std::vector<RecordRef> dependants;
    // A company's placeholder shows that nothing is booked on: they exist only for their
    // company and go with it whatever the answer.
    std::vector<RecordRef> companions;
    // A contract: the head of its group when that group's plan holds the contract's return
    // deadline or payments not yet made, and the plan without them.
    QString planGroup;
    QString plan;
    bool planDeadline = false;
    int planPayments = 0;
};

// From the loaded records. A target that is not loaded gives a plan with no dependants.
DeletePlan planDelete(const RecordRef& target);

enum class DeleteChoice { All, TargetOnly, Nothing };

// The question and its answers, the last one ("Non") deleting nothing. Two answers when
// nothing points at the target; three otherwise: everything together, the target alone,
// nothing.
struct DeleteQuestion {
    QString text;
    QStringList answers;
};
DeleteQuestion deleteQuestion(const DeletePlan& plan);
DeleteChoice deleteChoice(const DeletePlan& plan, int answer);

// The statements of the save, soft deletes first, and its audit message with the rows it
// changes. Empty for DeleteChoice::Nothing.
struct SaveText {
    std::vector<std::string> statements;
    QString auditMessage;
    // A restore: each record that comes back, in the user's words, with what comes with it.
    QStringList cameBack;
};
SaveText deleteSave(const DeletePlan& plan, DeleteChoice choice);

// Runs the delete as one save. Inside it, the target and what points at it are read again:
// a target deleted meanwhile comes back as Vanished, records that started or stopped pointing
// at it as a Conflict (the window then asks again on what is stored); a contract's plan is
// cleaned as the group's head holds it now.
SaveResult runDelete(const DeletePlan& plan, DeleteChoice choice);

// The plan without the contract's return deadline and payments that are not done: empty when
// there is nothing to take out.
struct CleanedPlan {
    QString plan;
    bool deadline = false;
    int payments = 0;
    bool any() const { return deadline || payments > 0; }
};
CleanedPlan planWithoutContractItems(const QString& todo, const QString& done);

}  // namespace edits
