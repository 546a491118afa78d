#include "resources/dialogs.h"

namespace res {
namespace {

constexpr uint32_t kList = kSingleSel | kShowSelAlways;

constexpr ControlTemplate kControls[] = {
    {kStatic, ControlKind::Label, "Compagnies", 6, 12, 40, 8},
    {1015, ControlKind::PushButton, "+", 186, 12, 13, 12, kNone, "Ajouter une compagnie"},
    {1019, ControlKind::ListView, "", 6, 24, 192, 138, kList},
    {1018, ControlKind::PushButton, "-", 6, 162, 13, 14, kNone, "Supprimer la compagnie"},
    {kStatic, ControlKind::Label, "Spectacles", 6, 186, 35, 8},
    {1016, ControlKind::PushButton, "+", 186, 186, 13, 12, kNone, "Ajouter un spectacle"},
    {1020, ControlKind::ListView, "", 6, 198, 192, 162, kList},
    {1021, ControlKind::PushButton, "-", 6, 359, 13, 14, kNone, "Supprimer le spectacle"},
    {kStatic, ControlKind::Label, "Créneaux", 204, 12, 32, 8},
    {1022, ControlKind::PushButton, "+", 408, 12, 13, 12, kNone, "Ajouter un groupe de créneaux"},
    {1023, ControlKind::ListView, "", 204, 24, 216, 138, kList},
    {1024, ControlKind::PushButton, "-", 204, 162, 13, 14, kNone, "Supprimer le groupe de créneaux"},
    {kStatic, ControlKind::Label, "Contrats", 204, 186, 29, 8},
    {1025, ControlKind::PushButton, "+", 408, 186, 13, 12, kNone, "Nouveau contrat"},
    {1026, ControlKind::ListView, "", 204, 198, 216, 162, kList},
    {1027, ControlKind::PushButton, "-", 204, 359, 13, 14, kNone, "Supprimer le contrat"},
    {kStatic, ControlKind::Label, "De", 438, 6, 102, 8},
    {1000, ControlKind::DatePicker, "", 438, 17, 108, 15, kLongDate | kRightAlign},
    {kStatic, ControlKind::Label, "à", 438, 36, 102, 8},
    {1001, ControlKind::DatePicker, "", 438, 47, 108, 15, kLongDate | kRightAlign},
    {1050, ControlKind::PushLikeCheckBox, "Calendrier", 552, 6, 42, 12},
    {1061, ControlKind::PushButton, "Imprimer…", 552, 22, 46, 12},
    {1062, ControlKind::PushButton, "Journal", 552, 36, 46, 12},
    {1060, ControlKind::PushButton, "Corbeille", 552, 50, 46, 12},
    {1006, ControlKind::ListView, "", 604, 6, 132, 66, kShowSelAlways | kSortAscending},
    {1039, ControlKind::PushButton, "R Odo 2019", 436, 64, 50, 12},
    {1028, ControlKind::OwnerDrawButton, "", 436, 76, 303, 37, kNone, "Détail du créneau survolé"},
    {1017, ControlKind::OwnerDrawButton, "", 436, 113, 304, 274, kNone, "Planning"},
};

}  // namespace

const DialogTemplate kDialog129 = {129, "Manager 1.004", "MS Shell Dlg", 8, 747, 393, kSizingBorder, kControls};

}  // namespace res
