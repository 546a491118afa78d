#include "resources/dialogs.h"

namespace res {
namespace {

constexpr ControlTemplate kControls[] = {
    {1047, ControlKind::CheckBox, "Goal", 6, 6, 30, 10},
    {1046, ControlKind::Edit, "", 108, 6, 96, 14, kAutoHScroll},
    {1045, ControlKind::CheckBox, "Dead line", 6, 24, 45, 10},
    {1044, ControlKind::Label, "A faire avant", 60, 24, 43, 8},
    {1043, ControlKind::DatePicker, "", 108, 24, 100, 15},
    {1041, ControlKind::CheckBox, "Fait", 6, 48, 28, 10},
    {1048, ControlKind::Label, "le", 96, 48, 8, 8},
    {1042, ControlKind::DatePicker, "", 108, 48, 100, 15},
    {1049, ControlKind::Label, "Goal réalisé", 60, 72, 38, 8},
    {1050, ControlKind::Edit, "", 108, 72, 96, 14, kAutoHScroll},
    {2, ControlKind::PushButton, "Annuler", 102, 102, 50, 14},
    {1, ControlKind::DefPushButton, "OK", 156, 102, 50, 14},
};

}  // namespace

// The caption is the item's title, set at opening.
const DialogTemplate kDialog137 = {137, "", "MS Shell Dlg", 8, 213, 123, kDlgNone, kControls};

}  // namespace res
