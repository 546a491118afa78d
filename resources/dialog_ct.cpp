#include "resources/control_ids.h"
#include "resources/dialogs.h"

namespace res {
namespace {

using C = ContractControls;

constexpr ControlTemplate kControls[] = {
    {kStatic, ControlKind::Label, "1er créneau", 7, 7, 200, 8},
    {C::kFirstSlot, ControlKind::ComboBox, "", 7, 18, 420, 160, kVScroll},
    {kStatic, ControlKind::Label, "Type du contrat", 440, 7, 169, 8, kHidden},
    {C::kContractType, ControlKind::ComboBox, "", 440, 18, 169, 100, kVScroll | kHidden},
    {kStatic, ControlKind::Label, "Infos", 7, 38, 200, 8},
    {C::kInfoList, ControlKind::ListView, "", 7, 49, 602, 248, kSingleSel | kShowSelAlways},
    {kStatic, ControlKind::Label, "Modèle de contrat", 7, 305, 200, 8},
    {C::kTemplate, ControlKind::Edit, "", 7, 316, 300, 14, kAutoHScroll},
    {C::kChooseTemplate, ControlKind::PushButton, "...", 311, 316, 20, 14, kNone, "Choisir un modèle de contrat"},
    {C::kGenerate, ControlKind::PushButton, "Générer et ouvrir", 341, 316, 90, 14},
    {2, ControlKind::PushButton, "Annuler", 503, 316, 50, 14},
    {1, ControlKind::DefPushButton, "OK", 559, 316, 50, 14},
};

}  // namespace

const DialogTemplate kDialog135 = {135, "Contrat", "MS Shell Dlg", 8, 616, 339, kDlgNone, kControls};

}  // namespace res
