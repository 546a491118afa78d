// The timeslot editor as the manager runs it: its "+" for a show runs the manager's add-show
// handler.
#include "manager/manager_dlg.h"
#include "planning/ts_dlg.h"

int manager::runTimeslotEditor(planning::TimeslotEditorData& input) {
    ts editor(this);
    editor.data = input;
    editor.createShow = [this] { return addShow(); };
    const int result = editor.DoModal();
    if (result == platform::IDOK) input = editor.data;
    return result;
}
