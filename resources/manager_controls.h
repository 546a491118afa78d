// The control ids of the manager window (dialog 129): its template places them, its parts and
// the tests find the controls by them.
#pragma once

namespace res {

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
