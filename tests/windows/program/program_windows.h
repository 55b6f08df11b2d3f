// Finding the program's windows and controls from another process.
#pragma once

#include <windows.h>

#include <string>
#include <utility>

// Asked of the window itself: a drop-down list answers with its selected
// item, which GetWindowText would not show for another process's window.
inline std::wstring text_of(HWND window)
{
    wchar_t buffer[512] = {};
    DWORD_PTR copied = 0;
    SendMessageTimeoutW(window, WM_GETTEXT, 512, reinterpret_cast<LPARAM>(buffer), SMTO_ABORTIFHUNG, 500, &copied);
    return buffer;
}

// The child of parent that shows this caption, or null.
inline HWND find_control(HWND parent, const std::wstring& caption)
{
    std::pair<const std::wstring*, HWND> search{&caption, nullptr};
    EnumChildWindows(
        parent,
        [](HWND w, LPARAM p) -> BOOL {
            auto* s = reinterpret_cast<std::pair<const std::wstring*, HWND>*>(p);
            if (text_of(w) == *s->first) {
                s->second = w;
                return FALSE;
            }
            return TRUE;
        },
        reinterpret_cast<LPARAM>(&search));
    return search.second;
}
