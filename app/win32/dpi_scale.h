// Pixel sizes at the display's DPI: the program declares itself DPI-aware and
// scales every place, size and font of its definitions by DPI / 96 itself.
#pragma once

#include <cstdint>

#include <windows.h>

inline constexpr UINT base_dpi = 96;

// Per-monitor (v2) where the system offers it, else system-wide. Only the
// first call of a process counts; call it before any window exists.
void declare_dpi_awareness();
// The DPI of the primary display, where every window opens.
UINT system_dpi();
UINT window_dpi(HWND window);

inline int scaled(std::int32_t pixels, UINT dpi)
{
    return MulDiv(pixels, static_cast<int>(dpi), static_cast<int>(base_dpi));
}
