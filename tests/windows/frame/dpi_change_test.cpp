// A window moved to a display of another DPI lays itself out again there.
#include "app/controls.h"
#include "app/window_definition.h"
#include "tests/windows/frame/frame_test_fixture.h"

namespace {
LONG font_height(HWND control)
{
    LOGFONTW shape{};
    GetObjectW(reinterpret_cast<HFONT>(SendMessageW(control, WM_GETFONT, 0, 0)), sizeof shape, &shape);
    return shape.lfHeight;
}
} // namespace

TEST_F(Win32FrameTest, ADpiChangeScalesEveryPlaceSizeAndFont)
{
    LOGFONTW stock{};
    GetObjectW(GetStockObject(DEFAULT_GUI_FONT), sizeof stock, &stock);
    HDC screen = GetDC(nullptr);
    const int dpi_before = GetDeviceCaps(screen, LOGPIXELSY);
    ReleaseDC(nullptr, screen);
    const int dpi = dpi_before * 3 / 2;

    for (WindowId id : {WindowId::main, WindowId::notice}) {
        SCOPED_TRACE(int(id));
        load(id);
        const WindowDefinition& definition = window_definition(id);
        RECT suggested{10, 10, 10 + MulDiv(definition.width, dpi, 96),
                       10 + MulDiv(definition.height, dpi, 96)};
        SendMessageW(handle(id), WM_DPICHANGED, MAKEWPARAM(dpi, dpi),
                     reinterpret_cast<LPARAM>(&suggested));
        RECT outer;
        GetWindowRect(handle(id), &outer);
        EXPECT_EQ(outer.right - outer.left, suggested.right - suggested.left);
        EXPECT_EQ(outer.bottom - outer.top, suggested.bottom - suggested.top);
        for (const ControlDefinition& control : definition.controls) {
            HWND native = handle(Control{id, control.name});
            if (!native)
                continue;
            RECT place;
            GetWindowRect(native, &place);
            MapWindowPoints(nullptr, GetParent(native), reinterpret_cast<POINT*>(&place), 2);
            EXPECT_EQ(place.left, MulDiv(control.left, dpi, 96)) << control.name;
            EXPECT_EQ(place.top, MulDiv(control.top, dpi, 96)) << control.name;
            EXPECT_EQ(place.right - place.left, MulDiv(control.width, dpi, 96)) << control.name;
            const LONG expected_font = control.font
                                           ? -MulDiv(control.font->character_height, dpi, 96)
                                           : MulDiv(stock.lfHeight, dpi, dpi_before);
            EXPECT_EQ(font_height(native), expected_font) << control.name;
        }
    }
}
