// Text, number and search operations on GBK byte strings.
#pragma once

#include <cstdint>
#include <initializer_list>
#include <string>
#include <string_view>

// A GBK byte string. Lengths and positions count bytes; positions are 1-based.
using Text = std::string;

// True for a byte that opens a double-byte GBK character.
constexpr bool is_lead_byte(unsigned char b) { return b >= 0x80; }

Text int_to_text(std::int32_t n);
// "%.13g": 1.0 gives "1".
Text number_to_text(double x);
std::int32_t text_length(std::string_view t);
// Folds full-width forms, skips whitespace, takes one sign, wraps modulo 2^32.
std::int32_t text_to_int(std::string_view t);
// 1-based position of sought in t at or after start, or -1. Matches begin
// only on character boundaries, never on a trail byte.
std::int32_t find_text(std::string_view t, std::string_view sought, std::int32_t start,
                       bool case_insensitive);
Text text_left(std::string_view t, std::int32_t n);
Text text_right(std::string_view t, std::int32_t n);
Text replace_text(std::string_view t, std::string_view sought, std::string_view replacement);
bool texts_equal(std::string_view a, std::string_view b);
Text concat_text(std::initializer_list<std::string_view> parts);

// ASCII letters compare equal in either case, outside double-byte characters.
bool texts_equal_ignoring_ascii_case(std::string_view a, std::string_view b);
