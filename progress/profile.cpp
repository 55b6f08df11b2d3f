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
    const ProfileEntry entry{section, key, value};
    return write_profile_values(path, {&entry, 1});
}

bool write_profile_values(std::string_view path, std::span<const ProfileEntry> entries)
{
    size_t storable = 0;
    for (const ProfileEntry& e : entries)
        storable += ini_entry_storable(e.section, e.key, e.value);
    if (path.empty() || storable == 0)
        return false;
    try {
        FileContents file = read_whole_file(path);
        if (file.status == FileContents::unreadable)
            return false;
        std::string contents = std::move(file.bytes);
        for (const ProfileEntry& e : entries)
            if (ini_entry_storable(e.section, e.key, e.value))
                contents = set_ini_value(contents, e.section, e.key, e.value);
        return replace_file_contents(path, contents) && storable == entries.size();
    } catch (const std::bad_alloc&) {
        return false;
    }
}
