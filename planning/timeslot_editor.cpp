#include "planning/timeslot_editor.h"

#include "platform/date_time.h"

namespace planning {

QString slotDateText(const SlotEntry& slot) {
    return platform::DateTime::fromParts(slot.year, slot.month, slot.day)
        .format(QStringLiteral("%a %d %b %Y"), platform::DateTime::Names::French);
}

QString loadedTimeText(int32_t hour, int32_t minute) {
    return QStringLiteral("%1:%2").arg(static_cast<unsigned>(hour)).arg(static_cast<unsigned>(minute), 2, 10, QChar(u'0'));
}

}  // namespace planning
