// Finding and replacing one value in the bytes of an INI file.
#include "progress/ini_text.h"

#include "progress/text.h"

namespace {

bool is_space_or_tab(char c) { return c == ' ' || c == '\t'; }

std::string_view trim(std::string_view s)
{
    while (!s.empty() && is_space_or_tab(s.front()))
        s.remove_prefix(1);
    while (!s.empty() && is_space_or_tab(s.back()))
        s.remove_suffix(1);
    return s;
}

// Offset of the first character c in text, stepping over double-byte
// characters whole so that a trail byte (which may be 0x5B or 0x5D) never
// counts as one; npos when absent.
size_t find_character(std::string_view text, char c)
{
    for (size_t i = 0; i < text.size(); ++i) {
        if (text[i] == c)
            return i;
        if (is_lead_byte(static_cast<unsigned char>(text[i])))
            ++i;
    }
    return std::string_view::npos;
}

// True when a lead byte ends text with no trail byte to follow it.
bool ends_inside_character(std::string_view text)
{
    size_t i = 0;
    while (i < text.size())
        i += is_lead_byte(static_cast<unsigned char>(text[i])) ? 2 : 1;
    return i > text.size();
}

// One line of the file: [begin, end) holds its text without the line break,
// next is where the following line begins.
struct Line {
    size_t begin, end, next;
};

Line line_at(std::string_view contents, size_t begin)
{
    size_t lf = contents.find('\n', begin);
    size_t next = lf == std::string_view::npos ? contents.size() : lf + 1;
    size_t end = lf == std::string_view::npos ? contents.size() : lf;
    // Some editors leave "\r\r\n"; every CR before the LF belongs to the break.
    while (end > begin && contents[end - 1] == '\r')
        --end;
    return {begin, end, next};
}

// The name of a section header line, or nullopt for any other line.
std::optional<std::string_view> section_name(std::string_view text)
{
    text = trim(text);
    if (text.empty() || text.front() != '[')
        return std::nullopt;
    text.remove_prefix(1);
    size_t close = find_character(text, ']');
    return trim(text.substr(0, close));
}

struct Entry {
    std::string_view key, value;
};

std::optional<Entry> entry_of(std::string_view text)
{
    size_t eq = find_character(text, '=');
    if (eq == std::string_view::npos)
        return std::nullopt;
    return Entry{trim(text.substr(0, eq)), trim(text.substr(eq + 1))};
}

// Where section and key sit in the file. Offsets are npos when not found.
struct Location {
    size_t section_body = std::string_view::npos; // first line after the header
    size_t section_end = std::string_view::npos;  // end of the section's last non-blank line
    std::optional<Line> entry;
};

// Names match as the Windows profile API matches them: trimmed, and with
// ASCII letters in either case.
Location locate(std::string_view contents, std::string_view section, std::string_view key)
{
    section = trim(section);
    key = trim(key);
    Location at;
    bool inside = false;
    for (size_t pos = 0; pos < contents.size();) {
        Line line = line_at(contents, pos);
        std::string_view text = contents.substr(line.begin, line.end - line.begin);
        if (auto name = section_name(text)) {
            if (inside)
                break; // only the first section of that name counts
            if (texts_equal_ignoring_ascii_case(*name, section)) {
                inside = true;
                at.section_body = line.next;
                at.section_end = line.next;
            }
        } else if (inside) {
            if (!trim(text).empty())
                at.section_end = line.next;
            auto entry = entry_of(text);
            if (entry && texts_equal_ignoring_ascii_case(entry->key, key)) {
                at.entry = line;
                break;
            }
        }
        pos = line.next;
    }
    return at;
}

std::string_view line_break_of(std::string_view contents)
{
    size_t lf = contents.find('\n');
    if (lf != std::string_view::npos && (lf == 0 || contents[lf - 1] != '\r'))
        return "\n";
    return "\r\n";
}

bool ends_with_line_break(std::string_view s, size_t end)
{
    return end == 0 || s[end - 1] == '\n';
}

} // namespace

std::optional<std::string_view> find_ini_value(std::string_view contents, std::string_view section,
                                               std::string_view key)
{
    Location at = locate(contents, section, key);
    if (!at.entry)
        return std::nullopt;
    std::string_view value =
        entry_of(contents.substr(at.entry->begin, at.entry->end - at.entry->begin))->value;
    return value.substr(0, value.find('\0'));
}

bool ini_entry_storable(std::string_view section, std::string_view key, std::string_view value)
{
    auto breaks_line = [](std::string_view s) {
        return s.find_first_of(std::string_view("\r\n\0", 3)) != std::string_view::npos;
    };
    section = trim(section);
    key = trim(key);
    return !section.empty() && !key.empty() && !breaks_line(section) && !breaks_line(key) &&
           !breaks_line(value) && !ends_inside_character(section) && !ends_inside_character(key) &&
           find_character(section, ']') == std::string_view::npos &&
           find_character(key, '=') == std::string_view::npos && key.front() != '[';
}

std::string set_ini_value(std::string_view contents, std::string_view section,
                          std::string_view key, std::string_view value)
{
    std::string_view nl = line_break_of(contents);
    section = trim(section);
    key = trim(key);
    std::string entry = concat_text({key, "=", value});
    Location at = locate(contents, section, key);
    std::string out;
    out.reserve(contents.size() + entry.size() + section.size() + 8);

    if (at.entry) {
        out.append(contents.substr(0, at.entry->begin));
        out.append(entry);
        out.append(contents.substr(at.entry->end));
        return out;
    }
    if (at.section_body != std::string_view::npos) {
        size_t insert = at.section_end;
        out.append(contents.substr(0, insert));
        if (!ends_with_line_break(contents, insert))
            out.append(nl);
        out.append(entry);
        out.append(nl);
        out.append(contents.substr(insert));
        return out;
    }
    out.append(contents);
    if (!ends_with_line_break(contents, contents.size()))
        out.append(nl);
    out.append(concat_text({"[", section, "]", nl, entry, nl}));
    return out;
}
