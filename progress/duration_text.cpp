// The duration text H小时MM分SS秒 and its parsing.
#include "progress/duration_text.h"

namespace {
constexpr std::string_view hours_unit = "小时";
constexpr std::string_view minutes_unit = "分";
constexpr std::string_view seconds_unit = "秒";
constexpr std::string_view hours_marker = "【";
constexpr std::string_view quote_escape = "#引号";

Text unescape_quotes(std::string_view marker)
{
    if (find_text(marker, quote_escape, 0, false) == -1)
        return Text(marker);
    return replace_text(marker, quote_escape, "\"");
}
} // namespace

Text two_digit_text(std::int32_t n)
{
    Text t = int_to_text(n);
    return text_length(t) == 1 ? concat_text({"0", t}) : t;
}

Text format_duration(std::int32_t hours, std::int32_t minutes, std::int32_t seconds)
{
    return concat_text({int_to_text(hours), hours_unit, two_digit_text(minutes), minutes_unit,
                        two_digit_text(seconds), seconds_unit});
}

Text text_between_markers(std::string_view text, std::string_view left, std::string_view right,
                          std::int32_t start, bool case_sensitive)
{
    Text l = unescape_quotes(left);
    Text r = unescape_quotes(right);
    bool case_insensitive = !case_sensitive;
    std::int32_t p = find_text(text, l, start, case_insensitive);
    if (p == -1)
        return {};
    Text rest = text_right(text, text_length(text) - p - text_length(l) + 1);
    std::int32_t q = find_text(rest, r, start, case_insensitive);
    if (q == -1)
        return {};
    return text_left(rest, q - 1);
}

Duration parse_duration(std::string_view label)
{
    // The hours open the label, so a marker is put in front of them.
    Text marked = concat_text({hours_marker, label});
    return {
        text_to_int(text_between_markers(marked, hours_marker, hours_unit, 0, false)),
        text_to_int(text_between_markers(label, hours_unit, minutes_unit, 0, false)),
        text_to_int(text_between_markers(label, minutes_unit, seconds_unit, 0, false)),
    };
}
