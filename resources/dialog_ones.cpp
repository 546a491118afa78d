#include "resources/control_ids.h"
#include "resources/dialogs.h"

namespace res {
namespace {

using C = ChecklistItemControls;

constexpr ControlTemplate kControls[] = {
    {C::kHasGoal, ControlKind::CheckBox, "Goal", 6, 6, 30, 10},
    {C::kGoal, ControlKind::Edit, "", 108, 6, 96, 14, kAutoHScroll},
    {C::kHasDeadline, ControlKind::CheckBox, "Dead line", 6, 24, 45, 10},
    {C::kDeadlineLabel, ControlKind::Label, "A faire avant", 60, 24, 43, 8},
    {C::kDeadlineDate, ControlKind::DatePicker, "", 108, 24, 100, 15},
    {C::kDone, ControlKind::CheckBox, "Fait", 6, 48, 28, 10},
    {C::kCompletionLabel, ControlKind::Label, "le", 96, 48, 8, 8},
    {C::kCompletionDate, ControlKind::DatePicker, "", 108, 48, 100, 15},
    {C::kAchievedLabel, ControlKind::Label, "Goal réalisé", 60, 72, 38, 8},
    {C::kAchieved, ControlKind::Edit, "", 108, 72, 96, 14, kAutoHScroll},
    {2, ControlKind::PushButton, "Annuler", 102, 102, 50, 14},
    {1, ControlKind::DefPushButton, "OK", 156, 102, 50, 14},
};

}  // namespace

// The caption is the item's title, set at opening.
const DialogTemplate kDialog137 = {137, "", "MS Shell Dlg", 8, 213, 123, kDlgNone, kControls};

}  // namespace res
