#include "resources/control_ids.h"
#include "resources/dialogs.h"

namespace res {
namespace {

using C = InfoValueControls;

constexpr ControlTemplate kControls[] = {
    {C::kValue, ControlKind::Edit, "", 7, 7, 440, 14, kAutoHScroll},
    {2, ControlKind::PushButton, "Annuler", 341, 26, 50, 14},
    {1, ControlKind::DefPushButton, "OK", 397, 26, 50, 14},
};

}  // namespace

// The caption is the edited row's label.
const DialogTemplate kDialog136 = {136, "", "MS Shell Dlg", 8, 454, 45, kDlgNone, kControls};

}  // namespace res
