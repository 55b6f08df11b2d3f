// The path of a stage's track in the File folder of the run directory.
#pragma once

#include <cstdint>
#include <string_view>

#include "progress/text.h"

// run_directory + "\File\" + (stage_index + 1) + ".mp3": stage 1 under C:\Burn
// is C:\Burn\File\2.mp3. The backslashes stay; each platform's file layer
// maps them.
Text stage_track_path(std::string_view run_directory, std::int32_t stage_index);
