// Fuzzes the INI engine: a value written reads back, every other entry keeps
// its value, and writing the same value again changes no byte.
//
// Input: section NUL key NUL value NUL other value NUL probe section NUL
// probe key NUL, then the file's bytes.
#include <algorithm>
#include <cstdint>
#include <optional>
#include <string>
#include <string_view>
#include <vector>

#include "fuzz/fuzz_check.h"
#include "fuzz/fuzz_fields.h"
#include "progress/ini_text.h"

namespace {

constexpr std::size_t max_names_per_kind = 4;

bool is_blank(char c) { return c == ' ' || c == '\t'; }

std::string_view trim_blanks(std::string_view s)
{
    while (!s.empty() && is_blank(s.front()))
        s.remove_prefix(1);
    while (!s.empty() && is_blank(s.back()))
        s.remove_suffix(1);
    return s;
}

// Names that any sensible matching (trimmed, either case) could take for the
// same: all bytes up to 0x20 trimmed, every ASCII letter folded. Names that
// differ even so are surely different entries.
std::string loose_name(std::string_view s)
{
    while (!s.empty() && static_cast<unsigned char>(s.front()) <= 0x20)
        s.remove_prefix(1);
    while (!s.empty() && static_cast<unsigned char>(s.back()) <= 0x20)
        s.remove_suffix(1);
    std::string out(s);
    for (char& c : out)
        if (c >= 'A' && c <= 'Z')
            c = static_cast<char>(c + 32);
    return out;
}

// Whole GBK double-byte characters, ASCII letters, digits and spaces: names
// of the kind the program uses, which the engine must be able to store.
bool is_plain_name(std::string_view s)
{
    for (std::size_t i = 0; i < s.size(); ++i) {
        auto b = static_cast<unsigned char>(s[i]);
        if (b >= 0x81 && b <= 0xFE && i + 1 < s.size()) {
            auto trail = static_cast<unsigned char>(s[++i]);
            if (trail < 0x40 || trail == 0x7F || trail == 0xFF)
                return false;
        } else if (!(b == ' ' || (b >= '0' && b <= '9') || (b >= 'A' && b <= 'Z') || (b >= 'a' && b <= 'z'))) {
            return false;
        }
    }
    return !trim_blanks(s).empty();
}

bool breaks_line(std::string_view s)
{
    return s.find_first_of(std::string_view("\r\n\0", 3)) != std::string_view::npos;
}

void add_name(std::vector<std::string_view>& names, std::string_view name)
{
    if (names.size() < max_names_per_kind)
        names.push_back(name);
}

// Section and key names to probe: the ones given, the program's own, and the
// ones that look like names in the file. Only a choice of probes, so a crude
// look at the lines is enough.
struct Probes {
    std::vector<std::string_view> sections, keys;
};

Probes probes_for(std::string_view contents, std::string_view section, std::string_view key)
{
    Probes p;
    add_name(p.sections, section);
    add_name(p.keys, key);
    add_name(p.sections, "Today");
    add_name(p.keys, "Stage one");
    while (!contents.empty()) {
        std::size_t lf = contents.find('\n');
        std::string_view line = trim_blanks(contents.substr(0, lf));
        contents.remove_prefix(lf == std::string_view::npos ? contents.size() : lf + 1);
        if (!line.empty() && line.front() == '[')
            add_name(p.sections, line.substr(1, line.find(']') - 1));
        else if (std::size_t eq = line.find('='); eq != std::string_view::npos)
            add_name(p.keys, line.substr(0, eq));
    }
    return p;
}

// The bytes of before that after no longer holds, between the longest
// common beginning and the longest common end.
std::string_view removed_bytes(std::string_view before, std::string_view after)
{
    std::size_t most = std::min(before.size(), after.size());
    std::size_t head = 0;
    while (head < most && before[head] == after[head])
        ++head;
    std::size_t tail = 0;
    while (tail < most - head && before[before.size() - 1 - tail] == after[after.size() - 1 - tail])
        ++tail;
    return before.substr(head, before.size() - head - tail);
}

} // namespace

extern "C" int LLVMFuzzerTestOneInput(const std::uint8_t* data, std::size_t size)
{
    FuzzFields in(data, size);
    std::string_view section = in.next_field();
    std::string_view key = in.next_field();
    std::string_view value = in.next_field();
    std::string_view other_value = in.next_field();
    std::string_view probe_section = in.next_field();
    std::string_view probe_key = in.next_field();
    std::string_view contents = in.rest();

    if (is_plain_name(section) && is_plain_name(key) && !breaks_line(value))
        FUZZ_REQUIRE(ini_entry_storable(section, key, value));
    // The writer never hands the engine what it refuses.
    if (!ini_entry_storable(section, key, value))
        return 0;

    std::string written = set_ini_value(contents, section, key, value);

    auto read = find_ini_value(written, section, key);
    FUZZ_REQUIRE(read.has_value());
    // Blanks around a value are not kept.
    FUZZ_REQUIRE(*read == trim_blanks(value));

    FUZZ_REQUIRE(set_ini_value(written, section, key, value) == written);
    // At most the text of one line is replaced; no other line changes.
    FUZZ_REQUIRE(removed_bytes(contents, written).find('\n') == std::string_view::npos);

    Probes probes = probes_for(contents, probe_section, probe_key);
    std::string loose_section = loose_name(section), loose_key = loose_name(key);
    for (std::string_view s : probes.sections) {
        for (std::string_view k : probes.keys) {
            if (loose_name(s) == loose_section && loose_name(k) == loose_key)
                continue;
            FUZZ_REQUIRE(find_ini_value(written, s, k) == find_ini_value(contents, s, k));
        }
    }

    // Another value and then the first one again give back the same bytes.
    if (ini_entry_storable(section, key, other_value)) {
        std::string changed = set_ini_value(written, section, key, other_value);
        FUZZ_REQUIRE(find_ini_value(changed, section, key) == trim_blanks(other_value));
        FUZZ_REQUIRE(set_ini_value(changed, section, key, value) == written);
    }
    return 0;
}
