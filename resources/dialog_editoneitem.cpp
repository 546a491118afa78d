#include "resources/dialogs.h"

namespace res {
namespace {

constexpr ControlTemplate kControls[] = {
    {1038, ControlKind::Edit, "", 7, 7, 440, 14, kAutoHScroll},
    {2, ControlKind::PushButton, "Annuler", 341, 26, 50, 14},
    {1, ControlKind::DefPushButton, "OK", 397, 26, 50, 14},
};

}  // namespace

// The caption is the edited row's label.
const DialogTemplate kDialog136 = {136, "", "MS Shell Dlg", 8, 454, 45, kDlgNone, kControls};

}  // namespace res
