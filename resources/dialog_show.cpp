#include "resources/control_ids.h"
#include "resources/dialogs.h"

namespace res {
namespace {

using C = ShowControls;

constexpr ControlTemplate kControls[] = {
    {kStatic, ControlKind::Label, "Compagnie", 6, 6, 100, 8},
    {C::kCompany, ControlKind::ComboBox, "", 6, 18, 300, 135, kVScroll},
    {C::kAddCompany, ControlKind::PushButton, "+", 294, 6, 13, 12, kNone, "Ajouter une compagnie"},
    {kStatic, ControlKind::Label, "Nom", 6, 42, 100, 8},
    {C::kName, ControlKind::Edit, "", 6, 54, 300, 14, kAutoHScroll},
    {2, ControlKind::PushButton, "Annuler", 204, 162, 50, 14},
    {1, ControlKind::DefPushButton, "OK", 258, 162, 50, 14},
};

}  // namespace

const DialogTemplate kDialog132 = {132, "Spectacle", "MS Shell Dlg", 8, 316, 183, kDlgNone, kControls};

}  // namespace res
