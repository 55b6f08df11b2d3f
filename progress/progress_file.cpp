// Layout and naming of the per-device progress files.
#include "progress/progress_file.h"

std::optional<std::string_view> device_file_name(std::int32_t device_index)
{
    static constexpr std::string_view names[device_count] = {
        "\\File\\1.ini", "\\File\\2.ini", "\\File\\3.ini", "\\File\\4.ini", "\\File\\5.ini"};
    if (device_index < 0 || device_index >= device_count)
        return std::nullopt;
    return names[device_index];
}

Text progress_file_path(std::string_view run_directory, std::string_view file_name)
{
    return concat_text({run_directory, file_name});
}
