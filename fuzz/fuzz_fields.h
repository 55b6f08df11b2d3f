// Cuts a fuzz input into fixed-size integers and NUL-separated byte fields, so
// that seeds can be written by hand with printf.
#pragma once

#include <cstddef>
#include <cstdint>
#include <string_view>

class FuzzFields {
public:
    FuzzFields(const std::uint8_t* data, std::size_t size)
        : rest_(reinterpret_cast<const char*>(data), size) {}

    // Four bytes, little-endian, from the front; missing bytes count as 0.
    std::int32_t next_int()
    {
        std::uint32_t v = 0;
        for (int i = 0; i < 4 && !rest_.empty(); ++i) {
            v |= std::uint32_t{static_cast<unsigned char>(rest_.front())} << (8 * i);
            rest_.remove_prefix(1);
        }
        return static_cast<std::int32_t>(v);
    }

    std::uint8_t next_byte()
    {
        if (rest_.empty())
            return 0;
        auto b = static_cast<std::uint8_t>(rest_.front());
        rest_.remove_prefix(1);
        return b;
    }

    // The bytes up to the next NUL (which is dropped), or all that is left.
    std::string_view next_field()
    {
        std::size_t nul = rest_.find('\0');
        std::string_view field = rest_.substr(0, nul);
        rest_.remove_prefix(nul == std::string_view::npos ? rest_.size() : nul + 1);
        return field;
    }

    // Everything not taken yet, NULs included.
    std::string_view rest() const { return rest_; }

private:
    std::string_view rest_;
};
