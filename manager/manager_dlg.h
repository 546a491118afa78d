// The programme manager (dialog 129): companies, shows, timeslot groups, contracts and rooms
// in lists, a date range, and the planning area drawn as a timeline or a calendar.
#pragma once

#include <QPoint>
#include <string>
#include <vector>

#include "contracts/contract_document.h"
#include "db/programme_watch.h"
#include "edits/record_links.h"
#include "edits/saves.h"
#include "platform/date_time.h"
#include "platform/dialog.h"
#include "planning/timeslot_editor.h"
#include "programme/programme_data.h"

namespace planning {
struct PlanningView;
}
namespace contracts {
class ContractModel;
}
namespace dlg {
class OwnerDrawButton;
}

class manager : public dlg::Dialog, public programme::ProgrammeLists {
    Q_OBJECT
public:
    explicit manager(QWidget* parent = nullptr);
    ~manager() override;

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
    static constexpr int kHoverTimer = 1;
    static constexpr int kHoverPeriodMs = 50;
    // Every few seconds while the manager is idle, and when it becomes the active window, it
    // asks whether a colleague changed the programme, and reloads when one did.
    static constexpr int kWatchTimer = 2;
    static constexpr int kWatchPeriodMs = 5000;

    // The refill hooks of the loads.
    void emptyList(programme::ProgrammeTable table) override;
    void refillRooms() override;
    void refillCompanies() override;
    void refillShows() override;
    void refillTimeslots() override;
    void refillContracts() override;

    // Reloads every table and refills the lists (after an edit).
    // The planning is drawn again afterwards: it shows the stored follow-up at once (the
    // emptied lists raise no change of their own here).
    int reloadAll() {
        const int result = programme::reloadAll(this);
        redraw(kPlanningArea, false);
        redraw(kDetailStrip, true);
        return result;
    }
    void updateDeleteButtons();

    const platform::DateTime& dateFrom() const { return dateFrom_; }
    const platform::DateTime& dateTo() const { return dateTo_; }

    // One tick of the hover tracking with the cursor at this point of the planning area.
    void hoverAt(QPoint point);

    // The idle check: when no dialog of the manager is open and the programme changed since the
    // last load, reloads and keeps what the user was looking at. True when it reloaded.
    bool reloadIfChangedElsewhere();
    // Reloads, keeping the selected records, the lists' scroll positions, the range and the
    // planning's scroll.
    void reloadKeepingView();

protected:
    bool OnInitDialog() override;
    void changeEvent(QEvent* event) override;

public:
    // The edit handlers of companies and shows (their dialogs call them back too).
    void OnAddCompany(const dlg::Notification&);
    // Add a company, or a show: the new record's id, or -1 when nothing was added.
    int32_t addCompany();
    int32_t addShow();
    // The company and show dialogs on these fields; false when the user cancelled.
    bool runCompanyDialog(edits::CompanyFields& fields);
    bool runShowDialog(edits::ShowFields& fields);
    void OnEditCompany(const dlg::Notification& n);
    void OnDeleteCompany(const dlg::Notification&);
    void OnAddShow(const dlg::Notification&);
    void OnEditShow(const dlg::Notification& n);
    void OnDeleteShow(const dlg::Notification&);
    // The timeslot group handlers; a double-click on a group row or on the planning area
    // edits the group of that timeslot row.
    void OnAddTimeslotGroup(const dlg::Notification&);
    void OnDeleteTimeslotGroup(const dlg::Notification&);
    virtual void editTimeslotGroup(int row);

protected:
    // Runs the timeslot editor on data; IDOK when it closed with OK. Tests answer it.
    virtual int runTimeslotEditor(planning::TimeslotEditorData& data);

public:
    // The contract handlers: "+" and "-" under the contract list, a double-click on a row.
    void OnNewContract(const dlg::Notification&);
    void OnEditContract(const dlg::Notification& n);
    void OnDeleteContract(const dlg::Notification&);
    // Where the contract dialog reads its templates and writes and copies its documents.
    contracts::ContractFolders contractFolders = contracts::defaultFolders();

protected:
    // Runs the contract dialog on the contract's texts; IDOK when it closed with OK. Tests
    // answer it.
    virtual int runContractDialog(contracts::ContractModel& contract);

public:
    // "Imprimer…": the planning of the range in force, or its "Suivi" report, on paper or
    // in a file (manager_print_dlg.cpp).
    void OnPrint(const dlg::Notification&);
    // The keyboard in the planning area: the arrows move from group to group, Enter edits
    // the group as a double-click does, Delete deletes it as its "-" button does
    // (manager_keys_dlg.cpp).
    void OnPlanningKey(const dlg::Notification& n);

private:
    static const dlg::MessageEntry<manager> kMessages[];

    // A control that follows the window's size: margins to the window's client edges, and
    // flags 1 width, 2 height, 4 left, 8 top.
    struct LayoutEntry {
        int id;
        int widthMargin;
        int heightMargin;
        int flags;
    };

    void OnCompanyChanged(const dlg::Notification& n);
    void OnShowChanged(const dlg::Notification& n);
    void OnTimeslotChanged(const dlg::Notification& n);
    void OnContractChanged(const dlg::Notification& n);
    void OnRoomChanged(const dlg::Notification& n);
    void OnTimeslotDoubleClick(const dlg::Notification& n);
    void OnPlanningClick(const dlg::Notification& n);
    void OnPlanningDoubleClick(const dlg::Notification& n);
    void OnDrawItem(const dlg::Notification& n);
    void OnDateChanged(const dlg::Notification& n);
    void OnOdo2019(const dlg::Notification& n);
    void OnCalendar(const dlg::Notification& n);
    void OnSize(const dlg::Notification& n);
    void OnTimer(const dlg::Notification& n);

    void addLayoutEntry(int id, int flags);
    template <class Record>
    void deleteSelected(int listId, edits::RecordKind kind, const std::vector<Record>& records);
    void OnCorbeille(const dlg::Notification&);
    void OnJournal(const dlg::Notification&);
    void readPickers();
    dlg::OwnerDrawButton* planningArea() const;
    // In the timeline, scrolls the selected group's first row into view.
    void scrollSelectedGroupIntoView();
    void writePickers();
    planning::PlanningView planningView() const;
    long long selectedTimeslotId() const;
    // Selects, in `list`, the first row whose record's id text is `id` (the rows before it
    // deselected when clearOthers); false when none has it.
    bool selectRecordRow(int list, const QString& id, bool clearOthers);
    // Selects the timeslot rows carrying this record index and deselects the others; the
    // row found, or -1.
    int selectTimeslotRecord(int record);

    platform::DateTime dateFrom_;
    platform::DateTime dateTo_;
    std::vector<LayoutEntry> layout_;
    db::ProgrammeWatch watch_;
};
