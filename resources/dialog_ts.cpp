#include "resources/control_ids.h"
#include "resources/dialogs.h"

namespace res {
namespace {

using C = TimeslotEditorControls;

constexpr ControlTemplate kControls[] = {
    {kStatic, ControlKind::Label, "Spectacle", 6, 6, 32, 8},
    {C::kCreateShow, ControlKind::PushButton, "+", 271, 7, 13, 12, kNone, "Créer un spectacle"},
    {C::kShowCombo, ControlKind::ComboBox, "", 6, 18, 277, 252, kVScroll},
    {kStatic, ControlKind::Label, "Salle", 294, 6, 16, 8},
    {C::kRoomCombo, ControlKind::ComboBox, "", 294, 18, 114, 252, kVScroll},
    {C::kAddSlot, ControlKind::PushButton, "+", 396, 42, 13, 12, kNone, "Ajouter un créneau"},
    {C::kSlotList, ControlKind::ListView, "", 6, 54, 402, 102, kShowSelAlways},
    {C::kRemoveSlot, ControlKind::PushButton, "-", 6, 156, 13, 14, kNone, "Retirer le créneau"},
    {kStatic, ControlKind::Label, "Surveillance", 6, 180, 39, 8},
    {C::kTemplateCombo, ControlKind::ComboBox, "", 6, 192, 402, 30, kVScroll},
    {C::kChecklist, ControlKind::ListView, "", 6, 210, 402, 123, kShowSelAlways},
    {2, ControlKind::PushButton, "Annuler", 306, 336, 50, 14},
    {1, ControlKind::DefPushButton, "OK", 360, 336, 50, 14},
};

}  // namespace

const DialogTemplate kDialog131 = {131, "Créneau(x)", "MS Shell Dlg", 8, 418, 357, kDlgNone, kControls};

}  // namespace res
