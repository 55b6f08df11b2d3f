// The stage shares of the master volume and the scaling of a saved value.
#include "sound/volume_scaling.h"

std::int32_t stage_share(std::int32_t stage_index)
{
    switch (stage_index) {
    case 0:
        return 30;
    case 1:
        return 50;
    case 2:
        return 80;
    default:
        return 0;
    }
}

std::int32_t scale_volume(std::int32_t saved, std::int32_t share)
{
    // Each step is rounded to a double on its own: no fused multiply-add, no
    // wider intermediate.
    volatile double quotient = static_cast<double>(saved) / 100.0;
    volatile double product = quotient * static_cast<double>(share);
    auto wide = static_cast<std::int64_t>(product);
    return static_cast<std::int32_t>(static_cast<std::uint32_t>(wide));
}
