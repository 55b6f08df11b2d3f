// Screen captures through BitBlt from the window's own device context.
#include "tests/windows/frame/window_capture.h"

#include <cstdio>

#include "tests/windows/frame/user_input.h"

Capture capture_window(HWND window, bool whole_window)
{
    RedrawWindow(window, nullptr, nullptr, RDW_UPDATENOW | RDW_ALLCHILDREN);
    pump_until_idle();
    // The whole window as the screen shows it, frame and title bar included.
    RECT area;
    if (whole_window)
        GetWindowRect(window, &area);
    else
        GetClientRect(window, &area);
    Capture capture;
    capture.width = area.right - area.left;
    capture.height = area.bottom - area.top;
    HWND source_window = whole_window ? nullptr : window;
    HDC source = GetDC(source_window);
    HDC memory = CreateCompatibleDC(source);
    BITMAPINFO info{};
    info.bmiHeader.biSize = sizeof info.bmiHeader;
    info.bmiHeader.biWidth = capture.width;
    info.bmiHeader.biHeight = -capture.height; // top row first
    info.bmiHeader.biPlanes = 1;
    info.bmiHeader.biBitCount = 32;
    info.bmiHeader.biCompression = BI_RGB;
    void* bits = nullptr;
    HBITMAP bitmap = CreateDIBSection(memory, &info, DIB_RGB_COLORS, &bits, nullptr, 0);
    HGDIOBJ old = SelectObject(memory, bitmap);
    BitBlt(memory, 0, 0, capture.width, capture.height, source, area.left, area.top, SRCCOPY);
    GdiFlush();
    const auto* bgra = static_cast<const std::uint8_t*>(bits);
    capture.pixels.resize(static_cast<std::size_t>(capture.width * capture.height));
    for (std::size_t i = 0; i < capture.pixels.size(); ++i)
        capture.pixels[i] = RGB(bgra[4 * i + 2], bgra[4 * i + 1], bgra[4 * i]);
    SelectObject(memory, old);
    DeleteObject(bitmap);
    DeleteDC(memory);
    ReleaseDC(source_window, source);
    return capture;
}

bool save_bmp(const Capture& capture, const wchar_t* path)
{
    const int row_size = (capture.width * 3 + 3) & ~3;
    BITMAPFILEHEADER file{};
    BITMAPINFOHEADER header{};
    header.biSize = sizeof header;
    header.biWidth = capture.width;
    header.biHeight = -capture.height;
    header.biPlanes = 1;
    header.biBitCount = 24;
    header.biCompression = BI_RGB;
    file.bfType = 0x4D42; // "BM"
    file.bfOffBits = sizeof file + sizeof header;
    file.bfSize = file.bfOffBits + static_cast<DWORD>(row_size * capture.height);
    FILE* out = _wfopen(path, L"wb");
    if (!out)
        return false;
    bool written = fwrite(&file, sizeof file, 1, out) == 1 && fwrite(&header, sizeof header, 1, out) == 1;
    std::vector<std::uint8_t> row(static_cast<std::size_t>(row_size), 0);
    for (int y = 0; written && y < capture.height; ++y) {
        for (int x = 0; x < capture.width; ++x) {
            const COLORREF c = capture.at(x, y);
            row[static_cast<std::size_t>(3 * x)] = GetBValue(c);
            row[static_cast<std::size_t>(3 * x + 1)] = GetGValue(c);
            row[static_cast<std::size_t>(3 * x + 2)] = GetRValue(c);
        }
        written = fwrite(row.data(), row.size(), 1, out) == 1;
    }
    return fclose(out) == 0 && written;
}
