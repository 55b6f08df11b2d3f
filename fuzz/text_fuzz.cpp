// Fuzzes the text and duration operations: every duration survives format
// then parse, integers and whole numbers survive their text, and searches and
// cuts stay within their text and keep their promises on any bytes.
//
// Input: hours, minutes, seconds, start, count (four bytes each,
// little-endian), a flags byte, then text NUL sought NUL replacement.
#include <algorithm>
#include <cmath>
#include <cstdint>
#include <cstring>
#include <string>
#include <string_view>

#include "fuzz/fuzz_check.h"
#include "fuzz/fuzz_fields.h"
#include "progress/duration_text.h"
#include "progress/text.h"

namespace {

char fold(char c) { return (c >= 'A' && c <= 'Z') ? static_cast<char>(c + 32) : c; }

bool same_bytes(std::string_view a, std::string_view b, bool case_insensitive)
{
    return a.size() == b.size() && std::equal(a.begin(), a.end(), b.begin(), [&](char x, char y) {
               return case_insensitive ? fold(x) == fold(y) : x == y;
           });
}

// True when offset is where a character begins, stepping from from.
bool starts_character(std::string_view t, std::size_t from, std::size_t offset)
{
    std::size_t i = from;
    while (i < offset)
        i += is_lead_byte(static_cast<unsigned char>(t[i])) ? 2 : 1;
    return i == offset;
}

void check_duration_round_trip(std::int32_t h, std::int32_t m, std::int32_t s)
{
    FUZZ_REQUIRE(text_to_int(int_to_text(h)) == h);
    Text two = two_digit_text(m);
    FUZZ_REQUIRE(text_length(two) >= 2);
    FUZZ_REQUIRE(text_to_int(two) == m);
    FUZZ_REQUIRE((parse_duration(format_duration(h, m, s)) == Duration{h, m, s}));
}

// Whole numbers print without a decimal point and read back as integers.
void check_number_text(std::int32_t high, std::int32_t low)
{
    std::uint64_t bits = std::uint64_t{static_cast<std::uint32_t>(high)} << 32 | static_cast<std::uint32_t>(low);
    double x;
    std::memcpy(&x, &bits, sizeof x);
    Text t = number_to_text(x);
    FUZZ_REQUIRE(!t.empty());
    if (x == std::trunc(x) && std::fabs(x) <= 2147483647.0)
        FUZZ_REQUIRE(t.find('.') == Text::npos && text_to_int(t) == static_cast<std::int32_t>(x));
}

void check_find(std::string_view t, std::string_view sought, std::int32_t start, bool case_insensitive)
{
    std::int32_t p = find_text(t, sought, start, case_insensitive);
    if (p == -1)
        return;
    std::size_t offset = start > 1 ? static_cast<std::size_t>(start) - 1 : 0;
    FUZZ_REQUIRE(p >= 1);
    auto at = static_cast<std::size_t>(p) - 1;
    FUZZ_REQUIRE(at >= offset);
    FUZZ_REQUIRE(at <= t.size() && sought.size() <= t.size() - at);
    FUZZ_REQUIRE(same_bytes(t.substr(at, sought.size()), sought, case_insensitive));
    FUZZ_REQUIRE(starts_character(t, offset, at));
}

void check_cuts(std::string_view t, std::int32_t n)
{
    auto expected = static_cast<std::size_t>(std::clamp<std::int64_t>(n, 0, static_cast<std::int64_t>(t.size())));
    Text left = text_left(t, n);
    FUZZ_REQUIRE(left.size() == expected && t.starts_with(left));
    Text right = text_right(t, n);
    FUZZ_REQUIRE(right.size() == expected && t.ends_with(right));
}

void check_replace(std::string_view t, std::string_view sought, std::string_view replacement)
{
    FUZZ_REQUIRE(replace_text(t, sought, sought) == t);
    if (sought.empty() || find_text(t, sought, 0, false) == -1)
        FUZZ_REQUIRE(replace_text(t, sought, replacement) == t);
}

std::string folded(std::string_view s)
{
    std::string out(s);
    for (char& c : out)
        c = fold(c);
    return out;
}

void check_between(std::string_view t, std::string_view left, std::string_view right, std::int32_t start,
                   bool case_sensitive)
{
    Text between = text_between_markers(t, left, right, start, case_sensitive);
    FUZZ_REQUIRE(t.find(between) != std::string_view::npos);
    // What is found lies between the two markers. (An escaped quote changes
    // the markers themselves.)
    constexpr std::string_view quote_escape = "#引号";
    if (!between.empty() && left.find(quote_escape) == std::string_view::npos &&
        right.find(quote_escape) == std::string_view::npos)
        FUZZ_REQUIRE(folded(t).find(folded(concat_text({left, between, right}))) != std::string::npos);
}

void check_any_label(std::string_view label)
{
    Duration d = parse_duration(label);
    FUZZ_REQUIRE((parse_duration(format_duration(d.hours, d.minutes, d.seconds)) == d));
    // Parsing reads each part on its own: nothing after the seconds counts.
    FUZZ_REQUIRE((parse_duration(concat_text({format_duration(d.hours, d.minutes, d.seconds), label})) == d));
}

void check_case_folding(std::string_view a, std::string_view b)
{
    FUZZ_REQUIRE(texts_equal_ignoring_ascii_case(a, a));
    FUZZ_REQUIRE(texts_equal_ignoring_ascii_case(a, b) == texts_equal_ignoring_ascii_case(b, a));
    if (texts_equal(a, b))
        FUZZ_REQUIRE(texts_equal_ignoring_ascii_case(a, b));
}

} // namespace

extern "C" int LLVMFuzzerTestOneInput(const std::uint8_t* data, std::size_t size)
{
    FuzzFields in(data, size);
    std::int32_t hours = in.next_int(), minutes = in.next_int(), seconds = in.next_int();
    std::int32_t start = in.next_int(), count = in.next_int();
    bool flag = (in.next_byte() & 1) != 0;
    std::string_view text = in.next_field();
    std::string_view sought = in.next_field();
    std::string_view replacement = in.next_field();

    check_duration_round_trip(hours, minutes, seconds);
    check_number_text(hours, minutes);
    check_find(text, sought, start, flag);
    check_find(text, sought, 0, flag);
    check_cuts(text, count);
    check_replace(text, sought, replacement);
    check_between(text, sought, replacement, start, flag);
    check_any_label(text);
    check_case_folding(text, sought);
    return 0;
}
