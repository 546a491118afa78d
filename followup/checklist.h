// The follow-up checklists of a timeslot group: the templates in the survey folder (one plan
// item per line, UTF-8 or Windows-1252), the rows the editor lists, the plan and record texts rebuilt
// from them, and the rules of the dialog that edits one item.
#pragma once

#include <QString>
#include <QStringList>
#include <vector>

#include "followup/followup.h"
#include "platform/date_time.h"

namespace followup {

// The template names of a folder: its *.txt files (directories skipped), in name order; a
// name whose extension is not ".txt" (any case), or that has none, gets ".txt" appended.
QStringList templateNames(const QString& folder);

// The plan text a template starts: its lines joined by "$$$", each line one item whatever its
// length, blank lines left out (an empty item would end the checklist and drop every item
// after it), in the encoding its editor saved it in (platform::readTextLines). opened tells
// whether the file could be read.
// problem, when given, receives why the template cannot be used as it is (it cannot be read;
// a line holding a character the database cannot keep, the item separator "$$$", or ending
// with "$", which would run into the separator after it), or an empty text.
QString readTemplate(const QString& path, bool* opened = nullptr, QString* problem = nullptr);
inline constexpr const char* kTemplateUnreadable =
    "Le modèle « %1 » ne peut pas être lu dans le dossier %2 : la surveillance du créneau n'est pas changée.";
inline constexpr const char* kTemplateLine = "Ligne %1 du modèle %2";

// What the editor shows in place of a group's template that this workstation's survey folder
// lacks (the group keeps its template name and its plan): in the list, and in its tip.
inline constexpr const char* kTemplateMissing =
    "Modèle « %1 » absent de ce poste : la surveillance enregistrée est gardée";
inline constexpr const char* kTemplateMissingTip =
    "Le modèle « %1 » n'est pas dans le dossier %2 de ce poste. Le créneau garde ce nom de modèle et son plan ; "
    "choisir un modèle de la liste remplace le plan.";

// The checklist rows of a plan and its record, in plan order.
using ChecklistRow = FollowUpItem;
std::vector<ChecklistRow> checklistRows(const QString& todo, const QString& done);

// Plan and record rebuilt from the rows: title[=deadline][:goal] for each row, and
// title=state for each row whose state is not empty (the title cut at its first "=").
void rebuildFollowUp(const std::vector<ChecklistRow>& rows, QString& todo, QString& done);

// The item dialog. At opening: the deadline and the completion date read from their texts
// (day/month/year; "Fait le " then a date for the state), each left as it was when the text
// does not make a date; the achieved goal is what the state holds between "(" and ")".
platform::DateTime dateOfDayMonthYear(const QString& text, const platform::DateTime& otherwise);
platform::DateTime completionDateOf(const QString& state, const platform::DateTime& otherwise);
QString achievedGoalOf(const QString& state);
// At OK: "%u/%u/%u" of the deadline when it is kept, else empty; "Fait le %u/%u/%u" when
// done, then " (achieved)" whenever an achieved goal is typed, even when not done.
QString deadlineText(bool kept, const platform::DateTime& deadline);
QString stateText(bool done, const platform::DateTime& completion, const QString& achieved);
// What the plan and the record could not give back as typed, or empty: a goal holding "$$$"
// or ending with "$"; an achieved goal holding "$$$" or ")" (which ends it in the state);
// either with a character outside the code page.
QString goalProblem(const QString& goal);
QString achievedGoalProblem(const QString& achieved);

}  // namespace followup
