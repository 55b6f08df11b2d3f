// The path of a stage's track in the File folder of the run directory.
#include "sound/stage_track.h"

Text stage_track_path(std::string_view run_directory, std::int32_t stage_index)
{
    // The stage number is formed as a double so that it prints as 1, 2 or 3.
    Text number = number_to_text(stage_index + 1.0);
    return concat_text({run_directory, "\\File\\", number, ".mp3"});
}
