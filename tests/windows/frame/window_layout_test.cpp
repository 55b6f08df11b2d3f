// The native windows against their definitions: places and sizes, parents,
// stacking, window and control styles, the icon, fonts and texts.
#include <string>
#include <vector>

#include "app/controls.h"
#include "app/window_definition.h"
#include "tests/windows/frame/frame_test_fixture.h"
#include "tests/windows/frame/user_input.h"

namespace {
namespace mw = main_window;
namespace iw = instructions_window;
constexpr WindowId all_windows[] = {WindowId::main, WindowId::notice, WindowId::instructions};

UINT screen_dpi()
{
    HDC screen = GetDC(nullptr);
    const UINT dpi = static_cast<UINT>(GetDeviceCaps(screen, LOGPIXELSY));
    ReleaseDC(nullptr, screen);
    return dpi;
}

int at_dpi(int pixels)
{
    return MulDiv(pixels, static_cast<int>(screen_dpi()), 96);
}

RECT place_in_parent(HWND control)
{
    RECT place;
    GetWindowRect(control, &place);
    MapWindowPoints(nullptr, GetParent(control), reinterpret_cast<POINT*>(&place), 2);
    return place;
}

std::wstring class_of(HWND window)
{
    wchar_t name[64] = {};
    GetClassNameW(window, name, 64);
    return name;
}

std::wstring text_of(HWND window)
{
    std::wstring text(static_cast<std::size_t>(GetWindowTextLengthW(window)) + 1, L'\0');
    text.resize(static_cast<std::size_t>(GetWindowTextW(window, text.data(), static_cast<int>(text.size()))));
    return text;
}

bool lies_above(HWND upper, HWND lower)
{
    for (HWND w = GetWindow(lower, GW_HWNDPREV); w; w = GetWindow(w, GW_HWNDPREV))
        if (w == upper)
            return true;
    return false;
}

std::vector<std::wstring> split_lines(const std::wstring& text)
{
    std::vector<std::wstring> lines;
    std::size_t start = 0;
    for (std::size_t at; (at = text.find(L"\r\n", start)) != std::wstring::npos; start = at + 2)
        lines.push_back(text.substr(start, at - start));
    lines.push_back(text.substr(start));
    return lines;
}
} // namespace

TEST_F(Win32FrameTest, WindowsHaveTheirOuterSizesAndOpenCentredOnThePrimaryDisplay)
{
    for (WindowId id : all_windows) {
        const WindowDefinition& definition = window_definition(id);
        SCOPED_TRACE(int(id));
        load(id);
        RECT outer;
        GetWindowRect(handle(id), &outer);
        const int width = at_dpi(definition.width), height = at_dpi(definition.height);
        EXPECT_EQ(outer.right - outer.left, width);
        EXPECT_EQ(outer.bottom - outer.top, height);
        EXPECT_EQ(outer.left, (GetSystemMetrics(SM_CXSCREEN) - width) / 2);
        EXPECT_EQ(outer.top, (GetSystemMetrics(SM_CYSCREEN) - height) / 2);
        driver.request_close(id);
    }
}

TEST_F(Win32FrameTest, ControlsLieWhereTheirDefinitionsPutThemInsideTheirParents)
{
    for (WindowId id : all_windows) {
        load(id);
        for (const ControlDefinition& control : window_definition(id).controls) {
            HWND native = handle(Control{id, control.name});
            const bool windowless =
                control.kind == ControlKind::timer || control.kind == ControlKind::sys_volume;
            SCOPED_TRACE(std::string(control.name));
            ASSERT_EQ(native == nullptr, windowless);
            if (windowless)
                continue;
            HWND parent = control.parent.empty() ? handle(id) : handle(Control{id, control.parent});
            EXPECT_EQ(GetParent(native), parent);
            const RECT place = place_in_parent(native);
            EXPECT_EQ(place.left, at_dpi(control.left));
            EXPECT_EQ(place.top, at_dpi(control.top));
            EXPECT_EQ(place.right - place.left, at_dpi(control.width));
            // A combo box's closed box keeps the system's height.
            if (control.kind != ControlKind::combo_box) {
                EXPECT_EQ(place.bottom - place.top, at_dpi(control.height));
            }
            EXPECT_EQ(IsWindowVisible(native) != FALSE, control.visible);
            EXPECT_EQ(IsWindowEnabled(native) == FALSE, control.disabled);
        }
        driver.request_close(id);
    }
}

namespace {
// Heights combo boxes are created with, seen as the system creates them.
std::vector<int>* created_combo_heights = nullptr;

LRESULT CALLBACK watch_creation(int code, WPARAM wparam, LPARAM lparam)
{
    if (code == HCBT_CREATEWND && created_combo_heights) {
        const CREATESTRUCTW* creation = reinterpret_cast<CBT_CREATEWNDW*>(lparam)->lpcs;
        if (!IS_INTRESOURCE(creation->lpszClass) &&
            _wcsicmp(creation->lpszClass, L"COMBOBOX") == 0)
            created_combo_heights->push_back(creation->cy);
    }
    return CallNextHookEx(nullptr, code, wparam, lparam);
}
} // namespace

TEST_F(Win32FrameTest, ComboBoxesAreCreatedTallEnoughForTheirOpenedLists)
{
    std::vector<int> heights;
    created_combo_heights = &heights;
    HHOOK hook = SetWindowsHookExW(WH_CBT, watch_creation, nullptr, GetCurrentThreadId());
    load(WindowId::main);
    UnhookWindowsHookEx(hook);
    created_combo_heights = nullptr;
    EXPECT_EQ(heights, (std::vector<int>{at_dpi(combo_list_height), at_dpi(combo_list_height)}));
}

TEST_F(Win32FrameTest, LaterControlsLieAboveTheEarlierOnesTheyOverlap)
{
    struct Row {
        Control upper, lower;
    };
    const Row rows[] = {
        {mw::today_stage_one, {WindowId::main, "标签2"}},
        {mw::today_stage_two, {WindowId::main, "标签3"}},
        {mw::today_stage_three, {WindowId::main, "标签8"}},
        {mw::total_stage_one, {WindowId::main, "标签5"}},
        {mw::total_stage_two, {WindowId::main, "标签4"}},
        {mw::total_stage_three, {WindowId::main, "标签9"}},
        {notice_window::advice_label, notice_window::choice_label},
        {iw::cover_label, iw::text_box},
    };
    for (const Row& row : rows) {
        SCOPED_TRACE(std::string(row.upper.name));
        if (!driver.is_loaded(row.upper.window))
            load(row.upper.window);
        EXPECT_TRUE(lies_above(handle(row.upper), handle(row.lower)));
        EXPECT_FALSE(lies_above(handle(row.lower), handle(row.upper)));
    }
}

TEST_F(Win32FrameTest, TitleBarsAllowClosingMovingAndOnlyTheMainWindowMinimising)
{
    load(WindowId::main);
    for (WindowId id : all_windows) {
        SCOPED_TRACE(int(id));
        if (!driver.is_loaded(id))
            load(id);
        const auto style = static_cast<DWORD>(GetWindowLongPtrW(handle(id), GWL_STYLE));
        EXPECT_EQ(style & WS_CAPTION, static_cast<DWORD>(WS_CAPTION));
        EXPECT_TRUE(style & WS_SYSMENU);
        EXPECT_FALSE(style & WS_THICKFRAME);
        EXPECT_FALSE(style & WS_MAXIMIZEBOX);
        EXPECT_EQ((style & WS_MINIMIZEBOX) != 0, id == WindowId::main);
        EXPECT_FALSE(GetWindowLongPtrW(handle(id), GWL_EXSTYLE) & WS_EX_TOPMOST);
        // Only the main window has a taskbar button: the others belong to it.
        HWND owner = GetWindow(handle(id), GW_OWNER);
        EXPECT_EQ(owner, id == WindowId::main ? nullptr : handle(WindowId::main));
    }
}

TEST_F(Win32FrameTest, WindowsHaveTheButtonFaceBackgroundAndTheProgramIcon)
{
    ASSERT_NE(FindResourceW(nullptr, L"DEFAULT_ICON", reinterpret_cast<LPCWSTR>(RT_GROUP_ICON)),
              nullptr);
    for (WindowId id : all_windows) {
        load(id);
        HWND window = handle(id);
        EXPECT_EQ(GetClassLongPtrW(window, GCLP_HBRBACKGROUND), COLOR_BTNFACE + 1);
        struct Size {
            int index, width_metric;
        };
        for (Size size : {Size{GCLP_HICON, SM_CXICON}, Size{GCLP_HICONSM, SM_CXSMICON}}) {
            auto icon = reinterpret_cast<HICON>(GetClassLongPtrW(window, size.index));
            ASSERT_NE(icon, nullptr);
            ICONINFO info{};
            ASSERT_TRUE(GetIconInfo(icon, &info));
            BITMAP picture{};
            GetObjectW(info.hbmColor, sizeof picture, &picture);
            EXPECT_EQ(picture.bmWidth, GetSystemMetrics(size.width_metric));
            DeleteObject(info.hbmColor);
            DeleteObject(info.hbmMask);
        }
        driver.request_close(id);
    }
}

TEST_F(Win32FrameTest, EachKindOfControlHasItsNativeClassAndStyles)
{
    struct Row {
        Control control;
        const wchar_t* window_class;
        DWORD type_mask, type;      // the style's type field
        DWORD present, absent;      // other style bits
        DWORD extended_present = 0;
    };
    const DWORD edit_absent = WS_HSCROLL | ES_READONLY | ES_PASSWORD | ES_UPPERCASE |
                              ES_LOWERCASE | ES_NUMBER | ES_AUTOHSCROLL | ES_NOHIDESEL;
    const Row rows[] = {
        {{WindowId::main, "分组框1"}, L"Button", BS_TYPEMASK, BS_GROUPBOX, 0, WS_TABSTOP},
        {{WindowId::main, "标签2"}, L"Static", SS_TYPEMASK, SS_LEFTNOWORDWRAP,
         SS_CENTERIMAGE | SS_NOPREFIX, WS_TABSTOP},
        {mw::today_stage_one, L"Static", SS_TYPEMASK, SS_LEFTNOWORDWRAP,
         SS_CENTERIMAGE | SS_NOPREFIX, WS_TABSTOP},
        {mw::start_button, L"Button", BS_TYPEMASK, BS_PUSHBUTTON, BS_MULTILINE, WS_TABSTOP},
        {mw::instructions_button, L"Button", BS_TYPEMASK, BS_PUSHBUTTON, 0, WS_TABSTOP},
        {mw::auto_volume_box, L"Button", BS_TYPEMASK, BS_AUTOCHECKBOX, WS_TABSTOP | BS_MULTILINE,
         0},
        {{WindowId::main, "选择框2"}, L"Button", BS_TYPEMASK, BS_AUTOCHECKBOX,
         WS_TABSTOP | WS_DISABLED, 0},
        {mw::stage_combo, L"ComboBox", 3, CBS_DROPDOWNLIST, WS_TABSTOP, CBS_SORT},
        {mw::device_combo, L"ComboBox", 3, CBS_DROPDOWNLIST, WS_TABSTOP, CBS_SORT},
        {{WindowId::main, "透明标签1"}, L"Static", SS_TYPEMASK, SS_LEFTNOWORDWRAP,
         SS_CENTERIMAGE | SS_NOPREFIX, WS_TABSTOP, WS_EX_TRANSPARENT},
        {notice_window::choice_label, L"Static", SS_TYPEMASK, SS_CENTER, SS_NOPREFIX,
         SS_CENTERIMAGE | WS_TABSTOP},
        {notice_window::advice_label, L"Static", SS_TYPEMASK, SS_LEFT, SS_NOPREFIX,
         SS_CENTERIMAGE | WS_TABSTOP},
        {iw::text_box, L"Edit", 0, 0, ES_MULTILINE | WS_VSCROLL | WS_TABSTOP, edit_absent,
         WS_EX_CLIENTEDGE},
        {iw::cover_label, L"Static", SS_TYPEMASK, SS_LEFTNOWORDWRAP,
         SS_CENTERIMAGE | SS_NOPREFIX | SS_NOTIFY, WS_TABSTOP, WS_EX_TRANSPARENT},
    };
    for (const Row& row : rows) {
        SCOPED_TRACE(std::string(row.control.name));
        if (!driver.is_loaded(row.control.window))
            load(row.control.window);
        HWND native = handle(row.control);
        ASSERT_NE(native, nullptr);
        const auto style = static_cast<DWORD>(GetWindowLongPtrW(native, GWL_STYLE));
        const auto extended = static_cast<DWORD>(GetWindowLongPtrW(native, GWL_EXSTYLE));
        EXPECT_EQ(_wcsicmp(class_of(native).c_str(), row.window_class), 0);
        EXPECT_EQ(style & row.type_mask, row.type);
        EXPECT_EQ(style & row.present, row.present);
        EXPECT_EQ(style & row.absent, 0u);
        EXPECT_EQ(extended & row.extended_present, row.extended_present);
    }
}

TEST_F(Win32FrameTest, ComboListsKeepTheirOrderWithRowsOnePixelTallerThanTheSystemGives)
{
    load(WindowId::main);
    // A plain combo box with the same font shows the system's row height.
    HWND plain = CreateWindowExW(0, L"COMBOBOX", L"", WS_CHILD | CBS_DROPDOWNLIST, 0, 0, 80, 160,
                                 handle(WindowId::main), nullptr, GetModuleHandleW(nullptr), nullptr);
    HWND stage = handle(mw::stage_combo);
    SendMessageW(plain, WM_SETFONT, SendMessageW(stage, WM_GETFONT, 0, 0), FALSE);
    const LRESULT system_row = SendMessageW(plain, CB_GETITEMHEIGHT, 0, 0);
    DestroyWindow(plain);
    struct Row {
        Control combo;
        std::vector<std::wstring> items;
    };
    const Row rows[] = {
        {mw::stage_combo, {L"第一阶段", L"第二阶段", L"第三阶段"}},
        {mw::device_combo, {L"设备一", L"设备二", L"设备三", L"设备四", L"设备五"}},
    };
    for (const Row& row : rows) {
        HWND combo = handle(row.combo);
        EXPECT_EQ(SendMessageW(combo, CB_GETITEMHEIGHT, 0, 0), system_row + at_dpi(1));
        std::vector<std::wstring> items;
        for (LRESULT i = 0; i < SendMessageW(combo, CB_GETCOUNT, 0, 0); ++i) {
            wchar_t item[32] = {};
            SendMessageW(combo, CB_GETLBTEXT, static_cast<WPARAM>(i), reinterpret_cast<LPARAM>(item));
            items.push_back(item);
        }
        EXPECT_EQ(items, row.items);
        EXPECT_EQ(SendMessageW(combo, CB_GETCURSEL, 0, 0), 0);
    }
}

TEST_F(Win32FrameTest, ControlsUseTheDefaultGuiFontAndTheNoticeLabelsTheirOwn)
{
    for (WindowId id : all_windows) {
        load(id);
        for (const ControlDefinition& control : window_definition(id).controls) {
            HWND native = handle(Control{id, control.name});
            if (!native || control.font)
                continue;
            SCOPED_TRACE(std::string(control.name));
            EXPECT_EQ(reinterpret_cast<HGDIOBJ>(SendMessageW(native, WM_GETFONT, 0, 0)),
                      GetStockObject(DEFAULT_GUI_FONT));
        }
    }
    struct Row {
        Control label;
        LONG height;
    };
    for (Row row : {Row{notice_window::choice_label, -12}, Row{notice_window::advice_label, -16}}) {
        SCOPED_TRACE(std::string(row.label.name));
        auto font = reinterpret_cast<HFONT>(SendMessageW(handle(row.label), WM_GETFONT, 0, 0));
        ASSERT_NE(font, nullptr);
        LOGFONTW shape{};
        ASSERT_EQ(GetObjectW(font, sizeof shape, &shape), static_cast<int>(sizeof shape));
        EXPECT_EQ(shape.lfHeight, -at_dpi(-row.height));
        EXPECT_STREQ(shape.lfFaceName, L"宋体");
        EXPECT_EQ(shape.lfWeight, FW_NORMAL);
        EXPECT_FALSE(shape.lfItalic || shape.lfUnderline || shape.lfStrikeOut);
        EXPECT_EQ(shape.lfCharSet, DEFAULT_CHARSET);
        EXPECT_EQ(shape.lfOutPrecision, OUT_DEFAULT_PRECIS);
        EXPECT_EQ(shape.lfClipPrecision, CLIP_DEFAULT_PRECIS);
        EXPECT_EQ(shape.lfQuality, PROOF_QUALITY);
        EXPECT_EQ(shape.lfPitchAndFamily, DEFAULT_PITCH | FF_DONTCARE);
    }
}

TEST_F(Win32FrameTest, ChineseTextIsShownRightWhateverTheAnsiCodePage)
{
    // Under code page 936 the narrow calls would show it right by chance.
    ASSERT_NE(GetACP(), 936u);
    struct Row {
        Control control;
        const wchar_t* text;
    };
    const Row rows[] = {
        {mw::window, L"Orvane耳机专用煲机软件 V1.0"},
        {mw::start_button, L"开始煲机"},
        {mw::today_stage_one, L"0小时00分00秒"},
        {{WindowId::main, "分组框3"}, L"工作设置"},
        {mw::auto_volume_box, L"自动控制音量比例"},
        {{WindowId::main, "透明标签1"}, L"Velmar_Ot为Orvane耳机专属设计"},
        {notice_window::window, L"提示"},
        {iw::window, L"说明"},
    };
    for (const Row& row : rows) {
        if (!driver.is_loaded(row.control.window))
            load(row.control.window);
        HWND native = row.control.name.empty() ? handle(row.control.window) : handle(row.control);
        EXPECT_EQ(text_of(native), row.text) << row.control.name;
    }
    // And what the program writes comes back as it was written.
    set_caption(frame(), mw::today_stage_two, "12小时34分56秒");
    EXPECT_EQ(text_of(handle(mw::today_stage_two)), L"12小时34分56秒");
    EXPECT_EQ(get_caption(frame(), mw::today_stage_two), "12小时34分56秒");
}

TEST_F(Win32FrameTest, InstructionsKeepEveryLineAndOpenAtTheTopWithTheCaretAtTheStart)
{
    load(WindowId::instructions);
    HWND edit = handle(iw::text_box);
    const std::vector<std::wstring> lines = split_lines(text_of(edit));
    ASSERT_EQ(lines.size(), 13u);
    int empty = 0;
    for (const std::wstring& line : lines)
        empty += line.empty();
    EXPECT_EQ(empty, 5);
    EXPECT_EQ(lines[0], L"您好：");
    EXPECT_EQ(lines[1].substr(0, 5), L"    非");
    EXPECT_EQ(lines[9].substr(lines[9].size() - 13), L"。            ");
    EXPECT_EQ(lines[12].substr(lines[12].size() - 5), L"”就好了。");
    DWORD start = 99, end = 99;
    SendMessageW(edit, EM_GETSEL, reinterpret_cast<WPARAM>(&start), reinterpret_cast<LPARAM>(&end));
    EXPECT_EQ(start, 0u);
    EXPECT_EQ(end, 0u);
    EXPECT_EQ(SendMessageW(edit, EM_GETFIRSTVISIBLELINE, 0, 0), 0);
}

TEST_F(Win32FrameTest, TheCoverLabelTakesTheMouseOverTheTextButNotOverTheScrollBar)
{
    load(WindowId::instructions);
    HWND edit = handle(iw::text_box);
    HWND cover = handle(iw::cover_label);
    RECT box;
    GetWindowRect(edit, &box);
    const POINT on_text{box.left + 100, box.top + 100};
    const POINT on_scroll_bar{box.right - at_dpi(8), box.bottom - at_dpi(40)};
    EXPECT_EQ(WindowFromPoint(on_text), cover);
    EXPECT_EQ(WindowFromPoint(on_scroll_bar), edit);

    HWND focus_after_text_click = nullptr;
    LRESULT first_line_after_scroll = 0;
    driver.run_steps({
        [&] {
            frame().move_focus(iw::cover_label); // as the window's created handler does
            click_at(on_text);
        },
        [&] {
            focus_after_text_click = GetFocus();
            click_at(on_scroll_bar); // a page down
        },
        [&] { first_line_after_scroll = SendMessageW(edit, EM_GETFIRSTVISIBLELINE, 0, 0); },
    });
    EXPECT_EQ(focus_after_text_click, cover);
    EXPECT_GT(first_line_after_scroll, 0);
}
