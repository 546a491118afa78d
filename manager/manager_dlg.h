// The programme manager (dialog 129): companies, shows, timeslot groups, contracts and rooms
// in lists, a date range, and the planning area drawn as a timeline or a calendar. The window
// builds its template and wires its parts to its controls: the record lists, the planning
// pane, the record and contract edits, the change watch and the print action. The parts run
// their dialogs through one ManagerDialogs.
#pragma once

#include <deque>
#include <functional>
#include <memory>
#include <vector>

#include "dialog/dialog.h"
#include "manager/change_watch.h"
#include "manager/contract_edits.h"
#include "manager/manager_dialogs.h"
#include "manager/planning_pane.h"
#include "manager/print_action.h"
#include "manager/record_edits.h"
#include "manager/record_lists.h"
#include "resources/control_ids.h"

class manager : public dlg::Dialog, public res::ManagerControls {
    Q_OBJECT
public:
    // The window runs its own dialogs, or those given (a test's answers).
    explicit manager(QWidget* parent = nullptr);
    explicit manager(ManagerDialogs& dialogs, QWidget* parent = nullptr);
    ~manager() override;

    // `reload all` on the window's connection, after the job of the change watch under way:
    // reloads every table and refills the lists (after an edit). The planning is drawn again
    // afterwards: it shows the stored follow-up at once (the emptied lists raise no change of
    // their own here).
    int reloadAll();
    // After a save of the user's own (every record and contract edit, delete, the Corbeille's
    // restores): its audit line names its rows, so the loader reads just those, and any a
    // colleague saved meanwhile, on its own thread and connection, with the tables' check
    // values in the same statement (a row changed outside the program is read too, as the
    // whole reload it replaces would have shown it); the window waits for them
    // painting and running its timers, but taking no input, and puts them in place keeping
    // what the user was looking at, then draws the planning again. Where the loader cannot
    // tell (it holds no whole load yet, its connection failed), `reloadAll` as before, which
    // says what went wrong once. 0 when the lists hold what is stored, -1 otherwise.
    int reloadSaved();
    // The idle check, waited for: when no dialog of the manager is open, reads the rows that
    // colleagues' saves named since the last check and puts them in place, keeping what the
    // user was looking at. True when a row changed. The timer asks the same without waiting.
    bool reloadIfChangedElsewhere();
    // The same with the tables' check values compared too: what was changed outside the
    // program, which writes no audit line.
    bool reloadIfChangedOutside();
    // Reloads, keeping the selected records, the lists' scroll positions, the range and the
    // planning's scroll.
    void reloadKeepingView();
    // Whether the load of the opening is still under way, its tables crossing the link or
    // going into the lists ("Chargement…" in the caption).
    bool loading() const { return watch_.loading() || !fillSteps_.empty(); }
    // Waits for the job of the change watch under way and puts its outcome in place.
    void settleLoads();
    // The last outcome put in place (a bench counts its round trips).
    const manager_load::Outcome* lastOutcome() const { return lastOutcome_.get(); }

    RecordLists& lists() { return lists_; }
    PlanningPane& planningPane() { return pane_; }
    RecordEdits& recordEdits() { return records_; }
    ContractEdits& contractEdits() { return contracts_; }

protected:
    bool OnInitDialog() override;
    void changeEvent(QEvent* event) override;

private:
    manager(std::unique_ptr<WindowDialogs> own, QWidget* parent);

    // A control that follows the window's size: margins to the window's client edges, and
    // flags 1 width, 2 height, 4 left, 8 top.
    struct LayoutEntry {
        int id;
        int widthMargin;
        int heightMargin;
        int flags;
    };

    void wire();
    void addLayoutEntry(int id, int flags);
    void layOut();
    void openCorbeille();
    void openJournal();
    // The change watch's outcomes: put in place at once when no dialog of the manager is open,
    // otherwise once the user is back in the window.
    void received(std::shared_ptr<manager_load::Outcome> outcome);
    void apply(const std::shared_ptr<manager_load::Outcome>& outcome);
    bool dialogOpen() const;
    bool checkNow(manager_load::Job job);
    // An edit waits for the opening's load (its new ids come from the records held): it runs
    // once the load is in place, the last one asked for only.
    void whenLoaded(std::function<void()> action);
    void showCaption();
    // The lists are filled in steps of a few milliseconds, the window answering between them:
    // a table's records (after putting `replacing`'s in their place) go into its list.
    void queueStep(std::function<void()> step);
    void queueTable(programme::ProgrammeTable table, std::shared_ptr<programme::Tables> replacing);
    void runFillStep();
    void finishFill();
    // The opening's load is in place: what it could not read is told, the edit asked for meanwhile runs.
    void finishOpening(const manager_load::Outcome& outcome);

    std::unique_ptr<WindowDialogs> ownDialogs_;
    ManagerDialogs& dialogs_;
    RecordLists lists_;
    PlanningPane pane_;
    RecordEdits records_;
    ContractEdits contracts_;
    PrintAction print_;
    std::vector<LayoutEntry> layout_;
    std::shared_ptr<manager_load::Outcome> pending_;
    std::shared_ptr<manager_load::Outcome> lastOutcome_;
    std::function<void()> afterLoad_;
    std::deque<std::function<void()>> fillSteps_;
    std::shared_ptr<RecordLists::KeptView> keptForLoad_;
    bool changedByLastApply_ = false;
    // Saves of the user's own waiting for their rows: their outcomes go in at once, even
    // under a dialog (the one that saved, or the Corbeille).
    int savesWaiting_ = 0;
    // A save's rows went into the records under the refill hold, the held lists left as they
    // were: they are filled again at the next save once the hold is over.
    bool heldListsBehind_ = false;
    ChangeWatch watch_;  // last: its outcomes reach the parts above
};
