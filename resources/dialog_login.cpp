#include "resources/control_ids.h"
#include "resources/dialogs.h"

namespace res {
namespace {

using C = LoginControls;

constexpr ControlTemplate kControls[] = {
    {kStatic, ControlKind::Label, "Nom", 7, 7, 15, 8},
    {C::kNameEdit, ControlKind::Edit, "", 6, 18, 144, 14, kAutoHScroll},
    {kStatic, ControlKind::Label, "Mot de passe", 7, 36, 44, 8},
    {C::kPasswordEdit, ControlKind::Edit, "", 6, 47, 144, 14, kPassword | kAutoHScroll},
    {2, ControlKind::PushButton, "Annuler", 42, 72, 50, 14},
    {1, ControlKind::DefPushButton, "OK", 96, 72, 50, 14},
};

}  // namespace

const DialogTemplate kDialog134 = {134, "Brelo Manager - Login", "MS Shell Dlg", 8, 160, 93, kDlgNone, kControls};

}  // namespace res
