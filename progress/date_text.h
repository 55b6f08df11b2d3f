// Local date-time, an injectable clock and the stored date text.
#pragma once

#include "progress/text.h"

struct DateTime {
    int year = 0, month = 0, day = 0;
    int hour = 0, minute = 0, second = 0;
    friend bool operator==(const DateTime&, const DateTime&) = default;
};

// Local wall-clock time to the second; tests substitute a fixed one.
class Clock {
public:
    virtual ~Clock() = default;
    virtual DateTime now() const = 0;
};

// The machine's local time (time zone and daylight saving applied).
class SystemClock final : public Clock {
public:
    DateTime now() const override;
};

DateTime current_date_time(const Clock& clock);
DateTime date_only(const DateTime& d);
// "%d年%d月%d日" without leading zeros; the time of day is not part of it.
Text date_to_text(const DateTime& d);
// The date text of today, as stored under "Current date".
Text today_date_text(const Clock& clock);
