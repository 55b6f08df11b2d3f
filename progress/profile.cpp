// Reading and writing single values of the progress INI files.
#include "progress/profile.h"

#include <new>

#include "progress/file_access.h"
#include "progress/ini_text.h"

namespace {
std::string_view skip_leading_controls(std::string_view s)
{
    while (!s.empty() && static_cast<unsigned char>(s.front()) >= 0x01 &&
           static_cast<unsigned char>(s.front()) <= 0x20)
        s.remove_prefix(1);
    return s;
}
} // namespace

Text read_profile_value(std::string_view path, std::string_view section, std::string_view key)
{
    path = skip_leading_controls(path);
    section = skip_leading_controls(section);
    key = skip_leading_controls(key);
    if (path.empty() || section.empty() || key.empty())
        return {};
    try {
        FileContents file = read_whole_file(path);
        if (file.status != FileContents::read)
            return {};
        auto value = find_ini_value(file.bytes, section, key);
        if (!value)
            return {};
        return Text(value->substr(0, max_profile_value_bytes));
    } catch (const std::bad_alloc&) {
        // A file too big to hold reads as missing; it is left as it is.
        return {};
    }
}

bool write_profile_value(std::string_view path, std::string_view section, std::string_view key,
                         std::string_view value)
{
    if (path.empty() || !ini_entry_storable(section, key, value))
        return false;
    try {
        FileContents file = read_whole_file(path);
        if (file.status == FileContents::unreadable)
            return false;
        return replace_file_contents(path, set_ini_value(file.bytes, section, key, value));
    } catch (const std::bad_alloc&) {
        return false;
    }
}
