// Helpers for writing GBK bytes in tests.
#pragma once

#include <initializer_list>
#include <string>

inline std::string bytes(std::initializer_list<unsigned> values)
{
    std::string s;
    for (unsigned v : values)
        s += static_cast<char>(v);
    return s;
}
