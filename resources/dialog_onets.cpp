#include "resources/control_ids.h"
#include "resources/dialogs.h"

namespace res {
namespace {

using C = SlotControls;

constexpr ControlTemplate kControls[] = {
    {kStatic, ControlKind::Label, "Le", 12, 6, 100, 8},
    {C::kDate, ControlKind::DatePicker, "", 12, 18, 100, 15, kRightAlign},
    {kStatic, ControlKind::Label, "De", 12, 42, 100, 8},
    {C::kFrom, ControlKind::DatePicker, "", 12, 54, 100, 15, kTimeFormat | kRightAlign},
    {kStatic, ControlKind::Label, "à", 12, 78, 100, 8},
    {C::kTo, ControlKind::DatePicker, "", 12, 90, 100, 15, kTimeFormat},
    {2, ControlKind::PushButton, "Annuler", 12, 120, 36, 14},
    {1, ControlKind::DefPushButton, "OK", 67, 120, 50, 14},
};

}  // namespace

const DialogTemplate kDialog133 = {133, "Créneau", "MS Shell Dlg", 8, 124, 141, kDlgNone, kControls};

}  // namespace res
