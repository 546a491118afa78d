#include "resources/control_ids.h"
#include "resources/dialogs.h"

namespace res {
namespace {

using C = SalesControls;

constexpr ControlTemplate kControls[] = {
    {kStatic, ControlKind::Label, "De", 6, 6, 102, 8},
    {C::kFromPicker, ControlKind::DatePicker, "", 6, 18, 138, 15, kLongDate | kRightAlign},
    {kStatic, ControlKind::Label, "à", 156, 6, 102, 8},
    {C::kToPicker, ControlKind::DatePicker, "", 156, 18, 138, 15, kLongDate | kRightAlign},
    {kStatic, ControlKind::Label, "Filtre nom de spectacle", 6, 36, 74, 8},
    {C::kNameFilter, ControlKind::Edit, "", 6, 48, 138, 14, kAutoHScroll},
    {kStatic, ControlKind::Label, "Filtre salle", 156, 36, 33, 8},
    {C::kRoomFilter, ControlKind::Edit, "", 156, 48, 138, 14, kAutoHScroll},
    {C::kRoomList, ControlKind::ListView, "", 312, 12, 276, 50},
    {C::kPerformanceList, ControlKind::ListView, "", 6, 72, 588, 264, kSingleSel | kShowSelAlways},
    {kStatic, ControlKind::Label, "Total places réservées/€/Moyenne", 6, 342, 156, 8},
    {C::kReservedTotal, ControlKind::Edit, "", 6, 354, 156, 14, kReadOnly},
    {kStatic, ControlKind::Label, "Total places payées/€/Moyenne", 168, 342, 150, 8},
    {C::kPaidTotal, ControlKind::Edit, "", 168, 354, 156, 14, kReadOnly},
    {kStatic, ControlKind::Label, "Total RS", 330, 342, 42, 8},
    {C::kMealTotal, ControlKind::Edit, "", 330, 354, 42, 14, kReadOnly},
    {C::kAutoRefreshBox, ControlKind::CheckBox, "Mise à jour auto.", 395, 360, 93, 10},
    // The status line (loading, stale figures) in the gap above the list, and the charts and
    // export beside the totals.
    {C::kStatusLine, ControlKind::Label, "", 6, 63, 588, 8},
    {C::kChartsButton, ControlKind::PushButton, "Graphiques", 378, 342, 58, 14},
    {C::kExportButton, ControlKind::PushButton, "Exporter...", 440, 342, 58, 14},
    {C::kRefreshButton, ControlKind::PushButton, "Mettre à jour", 504, 342, 92, 14},
    {C::kManagerButton, ControlKind::PushButton, "Manager...", 504, 360, 90, 14},
};

}  // namespace

const DialogTemplate kDialog102 = {102,      "Brelo 2.002", "MS Shell Dlg", 8, 604, 377, kMinimizeBox | kMaximizeBox,
                                   kControls};

}  // namespace res
