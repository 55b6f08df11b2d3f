// DPI awareness and the DPI queries, loaded from user32 when the system has
// them (Windows 10 1607 and later), with the older calls as fallback.
#include "app/win32/dpi_scale.h"

namespace {
template <class Function>
Function user32_function(const char* name)
{
    HMODULE user32 = GetModuleHandleW(L"user32.dll");
    FARPROC found = user32 ? GetProcAddress(user32, name) : nullptr;
    // Through void (*)() so the cast does not warn about the signature.
    return reinterpret_cast<Function>(reinterpret_cast<void (*)()>(found));
}

UINT screen_dpi()
{
    HDC screen = GetDC(nullptr);
    UINT dpi = static_cast<UINT>(GetDeviceCaps(screen, LOGPIXELSY));
    ReleaseDC(nullptr, screen);
    return dpi ? dpi : base_dpi;
}
} // namespace

void declare_dpi_awareness()
{
    using SetContext = BOOL(WINAPI*)(HANDLE);
    // DPI_AWARENESS_CONTEXT_PER_MONITOR_AWARE_V2
    const auto per_monitor_v2 = reinterpret_cast<HANDLE>(static_cast<INT_PTR>(-4));
    if (auto set_context = user32_function<SetContext>("SetProcessDpiAwarenessContext"))
        if (set_context(per_monitor_v2))
            return;
    SetProcessDPIAware();
}

UINT system_dpi()
{
    using GetDpi = UINT(WINAPI*)();
    if (auto get_dpi = user32_function<GetDpi>("GetDpiForSystem"))
        return get_dpi();
    return screen_dpi();
}

UINT window_dpi(HWND window)
{
    using GetDpi = UINT(WINAPI*)(HWND);
    if (auto get_dpi = user32_function<GetDpi>("GetDpiForWindow"))
        if (UINT dpi = get_dpi(window))
            return dpi;
    return system_dpi();
}
