#include "resources/control_ids.h"
#include "resources/dialogs.h"

namespace res {
namespace {

using C = CompanyControls;

constexpr ControlTemplate kControls[] = {
    {kStatic, ControlKind::Label, "Nom", 6, 6, 300, 8},
    {C::kNom, ControlKind::Edit, "", 6, 18, 300, 14, kAutoHScroll},
    {kStatic, ControlKind::Label, "email", 6, 36, 300, 8},
    {C::kEmail, ControlKind::Edit, "", 6, 48, 300, 14, kAutoHScroll},
    {kStatic, ControlKind::Label, "contact1", 6, 66, 300, 8},
    {C::kContact1, ControlKind::Edit, "", 6, 78, 300, 14, kAutoHScroll},
    {kStatic, ControlKind::Label, "contact2", 6, 96, 300, 8},
    {C::kContact2, ControlKind::Edit, "", 6, 108, 300, 14, kAutoHScroll},
    {kStatic, ControlKind::Label, "Adresse complète", 6, 132, 300, 8},
    {C::kFullAddress, ControlKind::Edit, "", 6, 144, 300, 138, kMultiline | kVScroll | kWantReturn},
    {2, ControlKind::PushButton, "Annuler", 203, 291, 50, 14},
    {1, ControlKind::DefPushButton, "OK", 259, 291, 50, 14},
};

}  // namespace

const DialogTemplate kDialog130 = {130, "Compagnie", "MS Shell Dlg", 8, 316, 312, kDlgNone, kControls};

}  // namespace res
