// The control ids of the dialog templates, one struct a dialog: its template places the
// controls by them, its class (which derives from the struct) and the tests find them by them.
#pragma once

namespace res {

// Dialog 130, the company.
struct CompanyControls {
    static constexpr int kNom = 1018;
    static constexpr int kEmail = 1019;
    static constexpr int kContact1 = 1020;
    static constexpr int kContact2 = 1021;
    static constexpr int kFullAddress = 1034;
};

// Dialog 132, the show.
struct ShowControls {
    static constexpr int kAddCompany = 1015;
    static constexpr int kName = 1018;
    static constexpr int kCompany = 1019;
};

// Dialog 135, the contract.
struct ContractControls {
    static constexpr int kFirstSlot = 1023;
    static constexpr int kContractType = 1031;
    static constexpr int kInfoList = 1033;
    static constexpr int kGenerate = 1035;
    static constexpr int kTemplate = 1036;
    static constexpr int kChooseTemplate = 1037;
};

// Dialog 136, one info value.
struct InfoValueControls {
    static constexpr int kValue = 1038;
};

// Dialog 134, the login.
struct LoginControls {
    static constexpr int kNameEdit = 1018;
    static constexpr int kPasswordEdit = 1019;
};

// Dialog 137, one checklist item.
struct ChecklistItemControls {
    static constexpr int kDone = 1041;
    static constexpr int kCompletionDate = 1042;
    static constexpr int kDeadlineDate = 1043;
    static constexpr int kDeadlineLabel = 1044;
    static constexpr int kHasDeadline = 1045;
    static constexpr int kGoal = 1046;
    static constexpr int kHasGoal = 1047;
    static constexpr int kCompletionLabel = 1048;
    static constexpr int kAchievedLabel = 1049;
    static constexpr int kAchieved = 1050;
};

// Dialog 133, one slot.
struct SlotControls {
    static constexpr int kDate = 1025;
    static constexpr int kFrom = 1026;
    static constexpr int kTo = 1027;
};

// Dialog 131, the timeslot group editor.
struct TimeslotEditorControls {
    static constexpr int kShowCombo = 1020;
    static constexpr int kRoomCombo = 1022;
    static constexpr int kSlotList = 1024;
    static constexpr int kChecklist = 1025;
    static constexpr int kCreateShow = 1027;
    static constexpr int kAddSlot = 1028;
    static constexpr int kRemoveSlot = 1029;
    static constexpr int kTemplateCombo = 1040;
};

// Dialog 102, the sales overview.
struct SalesControls {
    static constexpr int kFromPicker = 1000;
    static constexpr int kToPicker = 1001;
    static constexpr int kPerformanceList = 1002;
    static constexpr int kNameFilter = 1003;
    static constexpr int kRoomFilter = 1004;
    static constexpr int kRoomList = 1006;
    static constexpr int kReservedTotal = 1007;
    static constexpr int kPaidTotal = 1008;
    static constexpr int kRefreshButton = 1009;
    static constexpr int kMealTotal = 1010;
    static constexpr int kAutoRefreshBox = 1011;
    static constexpr int kManagerButton = 1012;
    static constexpr int kStatusLine = 1013;
    static constexpr int kChartsButton = 1014;
    static constexpr int kExportButton = 1015;
};

// Dialog 129, the manager.
struct ManagerControls {
    static constexpr int kDateFrom = 1000;
    static constexpr int kDateTo = 1001;
    static constexpr int kRoomList = 1006;
    static constexpr int kAddCompany = 1015;
    static constexpr int kAddShow = 1016;
    static constexpr int kPlanningArea = 1017;
    static constexpr int kDeleteCompany = 1018;
    static constexpr int kCompanyList = 1019;
    static constexpr int kShowList = 1020;
    static constexpr int kDeleteShow = 1021;
    static constexpr int kAddTimeslotGroup = 1022;
    static constexpr int kTimeslotList = 1023;
    static constexpr int kDeleteTimeslotGroup = 1024;
    static constexpr int kNewContract = 1025;
    static constexpr int kContractList = 1026;
    static constexpr int kDeleteContract = 1027;
    static constexpr int kDetailStrip = 1028;
    static constexpr int kOdo2019 = 1039;
    static constexpr int kCalendar = 1050;
    static constexpr int kCorbeille = 1060;
    static constexpr int kPrint = 1061;
    static constexpr int kJournal = 1062;
};

}  // namespace res
