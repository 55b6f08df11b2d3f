// Layout and naming of the per-device progress files.
#pragma once

#include <cstdint>
#include <optional>

#include "progress/text.h"

namespace progress_layout {
inline constexpr std::string_view today_section = "Today";
inline constexpr std::string_view aggregate_section = "Aggregate";
inline constexpr std::string_view current_date_key = "Current date";
// Indexed by stage: 0 is 第一阶段.
inline constexpr std::string_view stage_keys[3] = {"Stage one", "Stage two", "Stage three"};
} // namespace progress_layout

inline constexpr std::int32_t device_count = 5;

// "\File\1.ini" to "\File\5.ini" for device index 0 to 4; nothing otherwise.
std::optional<std::string_view> device_file_name(std::int32_t device_index);

// The run directory joined with the progress file name, built afresh each time.
Text progress_file_path(std::string_view run_directory, std::string_view file_name);
