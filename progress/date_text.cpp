// Local date-time, an injectable clock and the stored date text.
#include "progress/date_text.h"

#include <cstdio>
#include <ctime>

DateTime SystemClock::now() const
{
    std::time_t t = std::time(nullptr);
    // Only the GUI thread asks for the time, so localtime's shared buffer is safe.
    const std::tm* tm = std::localtime(&t);
    if (!tm)
        return {};
    return {tm->tm_year + 1900, tm->tm_mon + 1, tm->tm_mday, tm->tm_hour, tm->tm_min, tm->tm_sec};
}

DateTime current_date_time(const Clock& clock) { return clock.now(); }

DateTime date_only(const DateTime& d) { return {d.year, d.month, d.day, 0, 0, 0}; }

Text date_to_text(const DateTime& d)
{
    char buf[64];
    std::snprintf(buf, sizeof buf, "%d年%d月%d日", d.year, d.month, d.day);
    return buf;
}

Text today_date_text(const Clock& clock) { return date_to_text(date_only(current_date_time(clock))); }
