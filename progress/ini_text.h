// Finding and replacing one value in the bytes of an INI file.
#pragma once

#include <optional>
#include <string>
#include <string_view>

// The value of key in the first section named section, with the blanks around
// it removed and cut before any NUL byte; nullopt when section or key is
// missing. Names match trimmed of blanks, with ASCII letters in either case.
std::optional<std::string_view> find_ini_value(std::string_view contents, std::string_view section,
                                               std::string_view key);

// True when section, key and value can be stored so that they read back: no
// line breaks or NUL bytes, a section name without ']', a key without '=' that
// does not begin with '[' (it would read as a section), neither name empty nor
// cut inside a double-byte character.
bool ini_entry_storable(std::string_view section, std::string_view key, std::string_view value);

// contents with key=value set in section, under the trimmed names; every
// other byte of the file stays as it was. A missing key goes after the section's last entry, a missing
// section at the end. New lines follow the file's own line ends (CR LF for a
// new file).
std::string set_ini_value(std::string_view contents, std::string_view section,
                          std::string_view key, std::string_view value);
