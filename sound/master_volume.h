// Access to the system master volume as raw per-channel values.
#pragma once

#include <cstdint>

// The speakers destination line of the first mixer.
inline constexpr std::int32_t speakers_line = 4;

class MasterVolume {
public:
    virtual ~MasterVolume() = default;
    // Opens the line; with no usable mixer the accessor stays closed and the
    // other two calls do nothing.
    virtual void select_line(std::int32_t line_type) = 0;
    // Closed: left and right unchanged. Open: -1 each, then the raw values of
    // channel 0 and 1 (right stays -1 on a one-channel line or a failed read).
    virtual void get_volume(std::int32_t& left, std::int32_t& right) = 0;
    // Raw values, one per channel of the line; a one-channel line takes left.
    virtual void set_volume(std::int32_t left, std::int32_t right) = 0;
};
