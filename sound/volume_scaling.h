// The stage shares of the master volume and the scaling of a saved value.
#pragma once

#include <cstdint>

// 30, 50 or 80 percent for stage 0, 1 or 2; 0 for any other index.
std::int32_t stage_share(std::int32_t stage_index);

// saved / 100.0, then times share, both in double arithmetic, truncated toward
// zero to 64 bits and cut to the low 32. The division comes first on purpose:
// 410 at 30 percent gives 122, not 123.
std::int32_t scale_volume(std::int32_t saved, std::int32_t share);
