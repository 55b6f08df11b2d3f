// Reading and writing single values of the progress INI files.
#pragma once

#include <span>
#include <string_view>

#include "progress/text.h"

// The longest value a read returns; longer ones are cut.
inline constexpr size_t max_profile_value_bytes = 10239;

// The stored value, or the empty text. Leading bytes 0x01..0x20 of path,
// section and key are skipped; an empty one gives the empty text without the
// file being opened.
Text read_profile_value(std::string_view path, std::string_view section, std::string_view key);

// Stores the value under section and key, keeping every other line of the file
// byte for byte; adds a missing section or key, creates a missing file but
// never its folder. False when nothing could be stored.
bool write_profile_value(std::string_view path, std::string_view section, std::string_view key,
                         std::string_view value);

struct ProfileEntry {
    std::string_view section, key, value;
};

// Stores several values, in order, with one replacement of the file, so that
// a crash leaves all of them or none. An entry that cannot be stored is left
// out, as its own write would fail alone; nothing is written when none can
// be. True when every entry was stored.
bool write_profile_values(std::string_view path, std::span<const ProfileEntry> entries);
