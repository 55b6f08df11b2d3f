// The values the saving loop stores for one device in one round, and the
// file a whole save of them leaves. Lengths change from round to round, so a
// file cut short or mixed from two saves cannot pass for either.
#pragma once

#include <cstdint>
#include <string>

#include "progress/date_text.h"
#include "progress/duration_text.h"

struct SavedRound {
    DateTime date;
    Text today[3], total[3];
};

inline SavedRound saved_round(int device, std::int32_t round)
{
    SavedRound r;
    r.date = {2000 + round / 372, 1 + round / 31 % 12, 1 + round % 31, 12, 0, 0};
    for (int s = 0; s < 3; ++s) {
        r.today[s] = format_duration(round * (s + 1), (round + s) % 60, (round * 7 + device) % 60);
        r.total[s] = format_duration(round * 100 + device, (s * 13 + round) % 60, (round + s) % 60);
    }
    return r;
}

inline std::string saved_file(int device, std::int32_t round)
{
    const SavedRound r = saved_round(device, round);
    return "[Today]\r\nCurrent date=" + date_to_text(r.date) + "\r\nStage one=" + r.today[0] +
           "\r\nStage two=" + r.today[1] + "\r\nStage three=" + r.today[2] +
           "\r\n[Aggregate]\r\nStage one=" + r.total[0] + "\r\nStage two=" + r.total[1] +
           "\r\nStage three=" + r.total[2] + "\r\n";
}
