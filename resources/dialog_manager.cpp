#include "resources/control_ids.h"
#include "resources/dialogs.h"

namespace res {
namespace {

using M = ManagerControls;
constexpr uint32_t kList = kSingleSel | kShowSelAlways;

constexpr ControlTemplate kControls[] = {
    {kStatic, ControlKind::Label, "Compagnies", 6, 12, 40, 8},
    {M::kAddCompany, ControlKind::PushButton, "+", 186, 12, 13, 12, kNone, "Ajouter une compagnie"},
    {M::kCompanyList, ControlKind::ListView, "", 6, 24, 192, 138, kList},
    {M::kDeleteCompany, ControlKind::PushButton, "-", 6, 162, 13, 14, kNone, "Supprimer la compagnie"},
    {kStatic, ControlKind::Label, "Spectacles", 6, 186, 35, 8},
    {M::kAddShow, ControlKind::PushButton, "+", 186, 186, 13, 12, kNone, "Ajouter un spectacle"},
    {M::kShowList, ControlKind::ListView, "", 6, 198, 192, 162, kList},
    {M::kDeleteShow, ControlKind::PushButton, "-", 6, 359, 13, 14, kNone, "Supprimer le spectacle"},
    {kStatic, ControlKind::Label, "Créneaux", 204, 12, 32, 8},
    {M::kAddTimeslotGroup, ControlKind::PushButton, "+", 408, 12, 13, 12, kNone, "Ajouter un groupe de créneaux"},
    {M::kTimeslotList, ControlKind::ListView, "", 204, 24, 216, 138, kList},
    {M::kDeleteTimeslotGroup, ControlKind::PushButton, "-", 204, 162, 13, 14, kNone, "Supprimer le groupe de créneaux"},
    {kStatic, ControlKind::Label, "Contrats", 204, 186, 29, 8},
    {M::kNewContract, ControlKind::PushButton, "+", 408, 186, 13, 12, kNone, "Nouveau contrat"},
    {M::kContractList, ControlKind::ListView, "", 204, 198, 216, 162, kList},
    {M::kDeleteContract, ControlKind::PushButton, "-", 204, 359, 13, 14, kNone, "Supprimer le contrat"},
    {kStatic, ControlKind::Label, "De", 438, 6, 102, 8},
    {M::kDateFrom, ControlKind::DatePicker, "", 438, 17, 108, 15, kLongDate | kRightAlign},
    {kStatic, ControlKind::Label, "à", 438, 36, 102, 8},
    {M::kDateTo, ControlKind::DatePicker, "", 438, 47, 108, 15, kLongDate | kRightAlign},
    {M::kCalendar, ControlKind::PushLikeCheckBox, "Calendrier", 552, 6, 42, 12},
    {M::kPrint, ControlKind::PushButton, "Imprimer…", 552, 22, 46, 12},
    {M::kJournal, ControlKind::PushButton, "Journal", 552, 36, 46, 12},
    {M::kCorbeille, ControlKind::PushButton, "Corbeille", 552, 50, 46, 12},
    {M::kRoomList, ControlKind::ListView, "", 604, 6, 132, 66, kShowSelAlways | kSortAscending},
    {M::kOdo2019, ControlKind::PushButton, "R Odo 2019", 436, 64, 50, 12},
    {M::kDetailStrip, ControlKind::OwnerDrawButton, "", 436, 76, 303, 37, kNone, "Détail du créneau survolé"},
    {M::kPlanningArea, ControlKind::OwnerDrawButton, "", 436, 113, 304, 274, kNone, "Planning"},
};

}  // namespace

const DialogTemplate kDialog129 = {129, "Manager 1.004", "MS Shell Dlg", 8, 747, 393, kSizingBorder, kControls};

}  // namespace res
