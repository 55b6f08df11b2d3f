// GBK paths as the wide API takes them, whatever the system's ANSI code page.
#include "progress/win32/wide_path.h"

#include <windows.h>

std::wstring wide_path(std::string_view path)
{
    constexpr UINT gbk = 936;
    int n = MultiByteToWideChar(gbk, 0, path.data(), static_cast<int>(path.size()), nullptr, 0);
    if (n <= 0)
        return {};
    std::wstring w(static_cast<size_t>(n), L'\0');
    MultiByteToWideChar(gbk, 0, path.data(), static_cast<int>(path.size()), w.data(), n);
    if (w.size() >= MAX_PATH && w.size() > 2 && w[1] == L':' && w[2] == L'\\')
        w.insert(0, L"\\\\?\\");
    return w;
}
