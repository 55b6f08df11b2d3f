// What a window shows on the screen, as pixels the tests can look at.
#pragma once

#include <cstdint>
#include <vector>

#include <windows.h>

struct Capture {
    int width = 0, height = 0;
    std::vector<COLORREF> pixels; // row by row from the top

    COLORREF at(int x, int y) const { return pixels[static_cast<std::size_t>(y * width + x)]; }
};

// The client area, or with whole_window the window with its frame and what
// may lie over it, as the screen shows it once everything pending is painted.
Capture capture_window(HWND window, bool whole_window = false);
// Writes a 24-bit BMP file; false when it cannot be written.
bool save_bmp(const Capture& capture, const wchar_t* path);
