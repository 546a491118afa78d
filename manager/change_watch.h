// The manager shows colleagues' changes: while it is idle it asks, on its own small connection,
// whether the programme changed since its last load. The question needs nothing of the window,
// so that it can run away from the window's thread; the window decides when to ask and reloads.
#pragma once

#include "db/programme_watch.h"

class ChangeWatch {
public:
    // Every few seconds while the manager is idle, and when it becomes the active window.
    static constexpr int kTimer = 2;
    static constexpr int kPeriodMs = 5000;

    // True when the change stamp read now differs from the one the last `reload all` read; false
    // as well when the server cannot be asked (it is asked again next time).
    bool changedSinceLoad();

private:
    db::ProgrammeWatch watch_;
};
