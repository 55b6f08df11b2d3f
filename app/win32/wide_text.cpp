// GBK to UTF-16 and back through the system's code page 936 tables.
#include "app/win32/wide_text.h"

#include <windows.h>

namespace {
constexpr UINT gbk_code_page = 936;
}

std::wstring wide_from_gbk(std::string_view text)
{
    if (text.empty())
        return {};
    const int size = static_cast<int>(text.size());
    const int n = MultiByteToWideChar(gbk_code_page, 0, text.data(), size, nullptr, 0);
    if (n <= 0)
        return {};
    std::wstring wide(static_cast<std::size_t>(n), L'\0');
    MultiByteToWideChar(gbk_code_page, 0, text.data(), size, wide.data(), n);
    return wide;
}

Text gbk_from_wide(std::wstring_view text)
{
    if (text.empty())
        return {};
    const int size = static_cast<int>(text.size());
    const int n =
        WideCharToMultiByte(gbk_code_page, 0, text.data(), size, nullptr, 0, nullptr, nullptr);
    if (n <= 0)
        return {};
    Text gbk(static_cast<std::size_t>(n), '\0');
    WideCharToMultiByte(gbk_code_page, 0, text.data(), size, gbk.data(), n, nullptr, nullptr);
    return gbk;
}
