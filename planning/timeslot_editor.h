// What the timeslot group editor exchanges with the manager's timeslot handlers: the group's
// slots as dated entries, the show and room, and the follow-up texts of the head.
#pragma once

#include <QString>
#include <cstdint>
#include <vector>

#include "platform/date_time.h"

namespace planning {

// One slot as the editor and the handlers exchange it. A field read from a picker whose
// value is not a valid date is -1.
struct SlotEntry {
    int32_t day = 0;
    int32_t month = 0;
    int32_t year = 0;
    int32_t startHour = 0;
    int32_t startMinute = 0;
    int32_t endHour = 0;
    int32_t endMinute = 0;
    bool operator==(const SlotEntry&) const = default;
};

// The editor's input and, after OK, its output.
struct TimeslotEditorData {
    QString survey;      // checklist template file name; out: the chosen one, or empty
    QString todo;        // follow-up plan; out: rebuilt from the checklist
    QString done;        // follow-up record; out: rebuilt from the checklist
    int32_t showId = 0;  // show to preselect; out: the chosen show's id, or -1
    int32_t room = -1;   // room id to preselect (-1: none); out: the chosen room's id, or -1
    // The group's slots; out: in the editor's list order. ("slots" would be Qt's keyword.)
    std::vector<SlotEntry> entries;
};

// The texts of a slot row: the date "%a %d %b %Y" with French names ("ven. 05 juil. 2019"),
// the times "%u:%2.2u" for rows filled from the group (" 9:05" reads "9:05") and "%H:%M" for
// rows added or edited in the editor ("09:05").
QString slotDateText(const SlotEntry& slot);
// The entry of the slot dialog's three pickers: day from date, start from from, end from to;
// a part of a picker holding no valid date is -1.
SlotEntry slotEntryOf(const platform::DateTime& date, const platform::DateTime& from, const platform::DateTime& to);
QString loadedTimeText(int32_t hour, int32_t minute);

}  // namespace planning
