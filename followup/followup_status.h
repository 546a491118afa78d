// The status line of a timeslot group's follow-up and its colour, as the planning paints it.
#pragma once

#include <QString>
#include <cstdint>

#include "platform/date_time.h"

namespace followup {

// Windows colour values, 0x00BBGGRR (red in the low byte).
using COLORREF = std::uint32_t;

constexpr COLORREF rgb(unsigned r, unsigned g, unsigned b) {
    return (r & 0xFFu) | ((g & 0xFFu) << 8) | ((b & 0xFFu) << 16);
}
constexpr unsigned redOf(COLORREF c) { return c & 0xFFu; }
constexpr unsigned greenOf(COLORREF c) { return (c >> 8) & 0xFFu; }
constexpr unsigned blueOf(COLORREF c) { return (c >> 16) & 0xFFu; }

inline constexpr COLORREF kGrey = 0xC0C0C0;
inline constexpr COLORREF kOrange = 0x0080FF;
inline constexpr COLORREF kBlue = 0xFF0000;
inline constexpr COLORREF kGreen = 0x00FF00;
inline constexpr COLORREF kRed = 0x0000FF;
inline constexpr COLORREF kDarkRed = 0x000080;

// From red (x = 0, deadline reached) to blue (x = 1, all the time left): R = 255(1-x),
// G = 0, B = 255x, truncated. x is clamped to 0..1 first (NaN reads as 0).
COLORREF gradient(double x);

// The status of the follow-up of the group head at this record index of the loaded
// timeslots; text receives the status line. now is the current local date and time,
// slotDate the timeslot's date at 00:00. The index must be a valid record index.
COLORREF FollowUpStatus(int index, const platform::DateTime& now, const platform::DateTime& slotDate, QString& text);
// The same computation on the plan and record texts themselves.
COLORREF FollowUpStatus(const QString& todo, const QString& done, const platform::DateTime& now,
                        const platform::DateTime& slotDate, QString& text);

}  // namespace followup
