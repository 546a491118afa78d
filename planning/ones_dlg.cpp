#include "planning/ones_dlg.h"

#include "dialog/controls.h"
#include "followup/checklist.h"
#include "resources/dialogs.h"

using N = dlg::Notify;
const dlg::MessageEntry<ones> ones::kMessages[] = {
    {N::Clicked, kHasGoal, &ones::OnCheck},
    {N::Clicked, kHasDeadline, &ones::OnCheck},
    {N::Clicked, kDone, &ones::OnDoneClicked},
};

ones::ones(QWidget* parent)
    : dlg::Dialog(res::kDialog137, parent),
      deadlineDate_(platform::DateTime::now()),
      completionDate_(platform::DateTime::now()) {
    bindMessages<ones>(kMessages);
}

bool ones::OnInitDialog() {
    setWindowTitle(title);
    setItemText(kGoal, goal);
    setChecked(kHasGoal, !goal.isEmpty());
    setChecked(kHasDeadline, !deadline.isEmpty());
    if (!deadline.isEmpty()) deadlineDate_ = followup::dateOfDayMonthYear(deadline, deadlineDate_);
    setChecked(kDone, !state.isEmpty());
    if (!state.isEmpty()) {
        completionDate_ = followup::completionDateOf(state, completionDate_);
        setItemText(kAchieved, followup::achievedGoalOf(state));
    }
    datePicker(kDeadlineDate)->setDateTime(deadlineDate_.toQDateTime());
    datePicker(kCompletionDate)->setDateTime(completionDate_.toQDateTime());
    applyVisibility();
    return true;
}

void ones::applyVisibility() {
    const bool goalShown = isChecked(kHasGoal);
    for (int id : {kGoal, kAchievedLabel, kAchieved}) item(id)->setVisible(goalShown);
    done_ = isChecked(kDone);
    for (int id : {kCompletionDate, kCompletionLabel}) item(id)->setVisible(done_);
    hasDeadline_ = isChecked(kHasDeadline);
    for (int id : {kDeadlineDate, kDeadlineLabel}) item(id)->setVisible(hasDeadline_);
}

void ones::OnCheck(const dlg::Notification&) { applyVisibility(); }

void ones::OnDoneClicked(const dlg::Notification&) {
    if (isChecked(kDone)) {
        const QString typedGoal = itemText(kGoal);
        if (!typedGoal.isEmpty()) setItemText(kAchieved, typedGoal);
    } else {
        setItemText(kAchieved, QString());
    }
    applyVisibility();
}

void ones::OnOK() {
    // A goal the plan or the record could not give back is refused, and the dialog stays.
    for (const QString& problem :
         {followup::goalProblem(itemText(kGoal)), followup::achievedGoalProblem(itemText(kAchieved))}) {
        if (problem.isEmpty()) continue;
        platform::showError(problem);
        return;
    }
    deadlineDate_ = platform::DateTime::fromQDateTime(datePicker(kDeadlineDate)->dateTime());
    completionDate_ = platform::DateTime::fromQDateTime(datePicker(kCompletionDate)->dateTime());
    deadline = followup::deadlineText(hasDeadline_, deadlineDate_);
    state = followup::stateText(isChecked(kDone), completionDate_, itemText(kAchieved));
    // The goal typed stays even when "Goal" is unchecked.
    goal = itemText(kGoal);
    EndDialog(platform::IDOK);
}
