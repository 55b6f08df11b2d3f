// Clicks buttons of the running program's main window, for scripts (the
// benchmark): program_clicker CAPTION... Exits 1 when the window or a
// control is not there.
#include <windows.h>

#include "tests/windows/program/program_windows.h"

int wmain(int argc, wchar_t** argv)
{
    HWND main = FindWindowW(nullptr, L"Orvane耳机专用煲机软件 V1.0");
    if (!main)
        return 1;
    for (int i = 1; i < argc; ++i) {
        HWND control = find_control(main, argv[i]);
        if (!control)
            return 1;
        // Sent, not posted: the next click waits until this one is handled.
        SendMessageW(control, BM_CLICK, 0, 0);
    }
    return 0;
}
