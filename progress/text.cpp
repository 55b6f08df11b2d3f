// Text, number and search operations on GBK byte strings.
#include "progress/text.h"

#include <algorithm>
#include <cstdio>

Text int_to_text(std::int32_t n) { return std::to_string(n); }

Text number_to_text(double x)
{
    char buf[64];
    std::snprintf(buf, sizeof buf, "%.13g", x);
    return buf;
}

std::int32_t text_length(std::string_view t) { return static_cast<std::int32_t>(t.size()); }

namespace {

// Full-width ASCII (A3 A1..A3 FE) becomes its ASCII byte, the ideographic space
// (A1 A1) a space; a lead byte without its trail byte ends the text.
std::string fold_full_width(std::string_view t)
{
    std::string out;
    out.reserve(t.size());
    for (size_t i = 0; i < t.size(); ++i) {
        auto b = static_cast<unsigned char>(t[i]);
        if (!is_lead_byte(b)) {
            out += static_cast<char>(b);
            continue;
        }
        if (i + 1 >= t.size())
            break;
        auto trail = static_cast<unsigned char>(t[i + 1]);
        if (b == 0xA3 && trail >= 0xA1 && trail <= 0xFE)
            out += static_cast<char>(trail - 0x80);
        else if (b == 0xA1 && trail == 0xA1)
            out += ' ';
        else
            out.append(t.substr(i, 2));
        ++i;
    }
    return out;
}

bool is_blank(char c)
{
    return c == ' ' || c == '\t' || c == '\n' || c == '\v' || c == '\f' || c == '\r';
}

char fold_ascii(char c) { return (c >= 'A' && c <= 'Z') ? static_cast<char>(c + 32) : c; }

bool bytes_match(std::string_view a, std::string_view b, bool case_insensitive)
{
    for (size_t i = 0; i < a.size(); ++i) {
        char x = a[i], y = b[i];
        if (case_insensitive) {
            x = fold_ascii(x);
            y = fold_ascii(y);
        }
        if (x != y)
            return false;
    }
    return true;
}

// Scans t from offset for sought on character boundaries; returns the 0-based
// offset or npos.
size_t find_from(std::string_view t, std::string_view sought, size_t offset, bool case_insensitive)
{
    size_t i = offset;
    while (i < t.size()) {
        auto b = static_cast<unsigned char>(t[i]);
        if (t.size() - i < sought.size())
            return std::string_view::npos;
        if (bytes_match(t.substr(i, sought.size()), sought, case_insensitive))
            return i;
        if (is_lead_byte(b)) {
            if (i + 1 >= t.size())
                return std::string_view::npos;
            i += 2;
        } else {
            i += 1;
        }
    }
    return std::string_view::npos;
}

} // namespace

std::int32_t text_to_int(std::string_view t)
{
    std::string s = fold_full_width(t);
    size_t i = 0;
    while (i < s.size() && is_blank(s[i]))
        ++i;
    bool negative = false;
    if (i < s.size() && (s[i] == '+' || s[i] == '-')) {
        negative = s[i] == '-';
        ++i;
    }
    std::uint32_t value = 0;
    for (; i < s.size() && s[i] >= '0' && s[i] <= '9'; ++i)
        value = value * 10u + static_cast<std::uint32_t>(s[i] - '0');
    if (negative)
        value = 0u - value;
    return static_cast<std::int32_t>(value);
}

std::int32_t find_text(std::string_view t, std::string_view sought, std::int32_t start,
                       bool case_insensitive)
{
    if (sought.empty())
        return -1;
    size_t offset = start > 1 ? static_cast<size_t>(start) - 1 : 0;
    if (offset >= t.size())
        return -1;
    size_t at = find_from(t, sought, offset, case_insensitive);
    return at == std::string_view::npos ? -1 : static_cast<std::int32_t>(at + 1);
}

Text text_left(std::string_view t, std::int32_t n)
{
    if (n <= 0)
        return {};
    return Text(t.substr(0, static_cast<size_t>(n)));
}

Text text_right(std::string_view t, std::int32_t n)
{
    if (n <= 0)
        return {};
    size_t keep = std::min(t.size(), static_cast<size_t>(n));
    return Text(t.substr(t.size() - keep));
}

Text replace_text(std::string_view t, std::string_view sought, std::string_view replacement)
{
    if (sought.empty())
        return Text(t);
    Text out;
    size_t done = 0;
    for (;;) {
        size_t at = find_from(t, sought, done, false);
        if (at == std::string_view::npos)
            break;
        out.append(t.substr(done, at - done));
        out.append(replacement);
        done = at + sought.size();
    }
    out.append(t.substr(done));
    return out;
}

bool texts_equal(std::string_view a, std::string_view b) { return a == b; }

Text concat_text(std::initializer_list<std::string_view> parts)
{
    size_t total = 0;
    for (auto p : parts)
        total += p.size();
    Text out;
    out.reserve(total);
    for (auto p : parts)
        out.append(p);
    return out;
}

bool texts_equal_ignoring_ascii_case(std::string_view a, std::string_view b)
{
    if (a.size() != b.size())
        return false;
    for (size_t i = 0; i < a.size(); ++i) {
        if (is_lead_byte(static_cast<unsigned char>(a[i])) && i + 1 < a.size()) {
            if (a[i] != b[i] || a[i + 1] != b[i + 1])
                return false;
            ++i;
        } else if (fold_ascii(a[i]) != fold_ascii(b[i])) {
            return false;
        }
    }
    return true;
}
