#include "planning/timeslot_editor.h"

#include "platform/date_time.h"

namespace planning {

QString slotDateText(const SlotEntry& slot) {
    return platform::DateTime::fromParts(slot.year, slot.month, slot.day)
        .format(QStringLiteral("%a %d %b %Y"), platform::DateTime::Names::French);
}

SlotEntry slotEntryOf(const platform::DateTime& date, const platform::DateTime& from, const platform::DateTime& to) {
    using platform::DateTime;
    auto part = [](const DateTime& value, int (DateTime::*get)() const) {
        return static_cast<int32_t>(value.isValid() ? (value.*get)() : -1);
    };
    return {part(date, &DateTime::day),  part(date, &DateTime::month),  part(date, &DateTime::year),
            part(from, &DateTime::hour), part(from, &DateTime::minute), part(to, &DateTime::hour),
            part(to, &DateTime::minute)};
}

QString loadedTimeText(int32_t hour, int32_t minute) {
    return QStringLiteral("%1:%2")
        .arg(static_cast<unsigned>(hour))
        .arg(static_cast<unsigned>(minute), 2, 10, QChar(u'0'));
}

}  // namespace planning
