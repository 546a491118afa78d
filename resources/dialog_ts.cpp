#include "resources/dialogs.h"

namespace res {
namespace {

constexpr ControlTemplate kControls[] = {
    {kStatic, ControlKind::Label, "Spectacle", 6, 6, 32, 8},
    {1027, ControlKind::PushButton, "+", 271, 7, 13, 12, kNone, "Créer un spectacle"},
    {1020, ControlKind::ComboBox, "", 6, 18, 277, 252, kVScroll},
    {kStatic, ControlKind::Label, "Salle", 294, 6, 16, 8},
    {1022, ControlKind::ComboBox, "", 294, 18, 114, 252, kVScroll},
    {1028, ControlKind::PushButton, "+", 396, 42, 13, 12, kNone, "Ajouter un créneau"},
    {1024, ControlKind::ListView, "", 6, 54, 402, 102, kShowSelAlways},
    {1029, ControlKind::PushButton, "-", 6, 156, 13, 14, kNone, "Retirer le créneau"},
    {kStatic, ControlKind::Label, "Surveillance", 6, 180, 39, 8},
    {1040, ControlKind::ComboBox, "", 6, 192, 402, 30, kVScroll},
    {1025, ControlKind::ListView, "", 6, 210, 402, 123, kShowSelAlways},
    {2, ControlKind::PushButton, "Annuler", 306, 336, 50, 14},
    {1, ControlKind::DefPushButton, "OK", 360, 336, 50, 14},
};

}  // namespace

const DialogTemplate kDialog131 = {131, "Créneau(x)", "MS Shell Dlg", 8, 418, 357, kDlgNone, kControls};

}  // namespace res
