#include "manager/change_watch.h"

#include "programme/programme_data.h"

bool ChangeWatch::changedSinceLoad() {
    const auto stamp = watch_.firstRow(programme::kChangeStampStatement);
    return stamp && *stamp != programme::loadedChangeStamp();
}
