// The duration text H小时MM分SS秒 and its parsing.
#pragma once

#include <cstdint>

#include "progress/text.h"

struct Duration {
    std::int32_t hours = 0, minutes = 0, seconds = 0;
    friend bool operator==(const Duration&, const Duration&) = default;
};

inline constexpr std::string_view zero_duration_text = "0小时00分00秒";

// 0..9 gain a leading zero; everything else, negatives included, stays as is.
Text two_digit_text(std::int32_t n);
Text format_duration(std::int32_t hours, std::int32_t minutes, std::int32_t seconds);
// Each part is read on its own; a part whose markers are missing is 0.
Duration parse_duration(std::string_view label);
// The bytes between the first left marker at or after start and the first
// right marker after it. "#引号" in a marker stands for a double quote.
Text text_between_markers(std::string_view text, std::string_view left, std::string_view right,
                          std::int32_t start, bool case_sensitive);
