// The timeslot editor as the manager runs it: its "+" for a show runs the manager's add-show
// handler.
#include "manager/manager_dlg.h"
#if __has_include("planning/ts_dlg.h")
#include "planning/ts_dlg.h"
#define BRELO_TS_READY 1
#endif

#ifdef BRELO_TS_READY
int manager::runTimeslotEditor(planning::TimeslotEditorData& data) {
    ts editor(this);
    editor.data = data;
    editor.createShow = [this] { OnAddShow({kAddShow}); };
    const int result = editor.DoModal();
    if (result == platform::IDOK) data = editor.data;
    return result;
}

#else
int manager::runTimeslotEditor(planning::TimeslotEditorData&) { return platform::IDCANCEL; }
#endif
