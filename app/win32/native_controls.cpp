// Class, styles and initial state of each control kind. Group boxes parent
// their controls, so they pass the controls' notifications on to the window.
#include "app/win32/native_controls.h"

#include <commctrl.h>

#include "app/win32/dpi_scale.h"
#include "app/win32/wide_text.h"

namespace {
struct NativeKind {
    const wchar_t* window_class;
    DWORD style;
    DWORD extended_style;
};

DWORD label_style(const ControlDefinition& control)
{
    const bool centre = control.alignment == Alignment::centre;
    if (control.wraps)
        return centre ? SS_CENTER : SS_LEFT;
    // One line, centred vertically, cut off at the edges.
    return (centre ? SS_CENTER : SS_LEFTNOWORDWRAP) | SS_CENTERIMAGE;
}

NativeKind native_kind(const ControlDefinition& control)
{
    switch (control.kind) {
    case ControlKind::group_box:
        return {L"BUTTON", BS_GROUPBOX, 0};
    case ControlKind::label:
        // Labels may overlap; the one created later stays on top when painting.
        return {L"STATIC", label_style(control) | SS_NOPREFIX | WS_CLIPSIBLINGS, 0};
    case ControlKind::trans_label:
        // Painted after what lies beneath it, and it takes the mouse over it.
        return {L"STATIC", label_style(control) | SS_NOPREFIX | SS_NOTIFY, WS_EX_TRANSPARENT};
    case ControlKind::button:
        return {L"BUTTON", BS_PUSHBUTTON | BS_MULTILINE, 0};
    case ControlKind::check_box:
        return {L"BUTTON", BS_AUTOCHECKBOX | BS_MULTILINE | BS_VCENTER, 0};
    case ControlKind::combo_box:
        return {L"COMBOBOX", CBS_DROPDOWNLIST | WS_VSCROLL, 0};
    case ControlKind::edit_box:
        return {L"EDIT",
                static_cast<DWORD>(
                    ES_LEFT | (control.multi_line ? ES_MULTILINE | ES_AUTOVSCROLL : ES_AUTOHSCROLL) |
                    (control.vertical_scroll_bar ? WS_VSCROLL : 0)),
                control.client_edge ? static_cast<DWORD>(WS_EX_CLIENTEDGE) : 0};
    case ControlKind::timer:
    case ControlKind::sys_volume:
        break;
    }
    return {nullptr, 0, 0};
}

// Controls inside a group box send their notifications and colour requests
// to it; the window procedure is where they are handled.
LRESULT CALLBACK forward_to_window(HWND group_box, UINT message, WPARAM wparam, LPARAM lparam,
                                   UINT_PTR, DWORD_PTR)
{
    switch (message) {
    case WM_COMMAND:
    case WM_NOTIFY:
    case WM_DRAWITEM:
    case WM_MEASUREITEM:
    case WM_CTLCOLORSTATIC:
    case WM_CTLCOLORBTN:
    case WM_CTLCOLOREDIT:
    case WM_CTLCOLORLISTBOX:
        return SendMessageW(GetParent(group_box), message, wparam, lparam);
    default:
        return DefSubclassProc(group_box, message, wparam, lparam);
    }
}

void fill_combo(HWND combo, const ControlDefinition& control)
{
    for (std::string_view item : control.items)
        SendMessageW(combo, CB_ADDSTRING, 0,
                     reinterpret_cast<LPARAM>(wide_from_gbk(item).c_str()));
    SendMessageW(combo, CB_SETCURSEL, static_cast<WPARAM>(control.current_selection), 0);
}
} // namespace

HWND create_native_control(const ControlDefinition& control, HWND parent, int id, UINT dpi)
{
    const NativeKind kind = native_kind(control);
    if (!kind.window_class)
        return nullptr;
    DWORD style = WS_CHILD | kind.style;
    if (control.visible)
        style |= WS_VISIBLE;
    if (control.tab_stop)
        style |= WS_TABSTOP;
    if (control.disabled)
        style |= WS_DISABLED;
    const std::wstring text =
        control.kind == ControlKind::combo_box ? std::wstring{} : wide_from_gbk(control.text);
    // A combo box is created as tall as its opened list may be.
    const int height = control.kind == ControlKind::combo_box ? combo_list_height : control.height;
    HWND window = CreateWindowExW(
        kind.extended_style, kind.window_class, text.c_str(), style, scaled(control.left, dpi),
        scaled(control.top, dpi), scaled(control.width, dpi), scaled(height, dpi), parent,
        reinterpret_cast<HMENU>(static_cast<INT_PTR>(id)), GetModuleHandleW(nullptr), nullptr);
    if (!window)
        return nullptr;
    // Children are created beneath their older siblings; the later one lies above.
    SetWindowPos(window, HWND_TOP, 0, 0, 0, 0, SWP_NOMOVE | SWP_NOSIZE | SWP_NOACTIVATE);
    switch (control.kind) {
    case ControlKind::group_box:
        SetWindowSubclass(window, forward_to_window, 0, 0);
        break;
    case ControlKind::check_box:
        SendMessageW(window, BM_SETCHECK, control.checked ? BST_CHECKED : BST_UNCHECKED, 0);
        break;
    case ControlKind::combo_box:
        fill_combo(window, control);
        break;
    case ControlKind::edit_box:
        // The caret at the start and the text from its first line.
        SendMessageW(window, EM_SETSEL, 0, 0);
        break;
    default:
        break;
    }
    return window;
}

void fit_native_control(HWND window, const ControlDefinition& control, HFONT font, UINT dpi)
{
    const int height = control.kind == ControlKind::combo_box ? combo_list_height : control.height;
    SetWindowPos(window, nullptr, scaled(control.left, dpi), scaled(control.top, dpi),
                 scaled(control.width, dpi), scaled(height, dpi),
                 SWP_NOZORDER | SWP_NOACTIVATE);
    SendMessageW(window, WM_SETFONT, reinterpret_cast<WPARAM>(font), TRUE);
    if (control.kind == ControlKind::combo_box) {
        // Index 0 stands for every row of the list, not for the closed box.
        const LRESULT row = SendMessageW(window, CB_GETITEMHEIGHT, 0, 0);
        if (row == CB_ERR)
            return;
        const LRESULT taller = row + scaled(combo_row_extra_height, dpi);
        SendMessageW(window, CB_SETITEMHEIGHT, 0, taller);
        // Some systems take it only for owner-drawn lists; the list itself always does.
        COMBOBOXINFO parts{};
        parts.cbSize = sizeof parts;
        if (SendMessageW(window, CB_GETITEMHEIGHT, 0, 0) != taller && GetComboBoxInfo(window, &parts))
            SendMessageW(parts.hwndList, LB_SETITEMHEIGHT, 0, taller);
    }
}

HFONT create_control_font(const FontDefinition& font, UINT dpi)
{
    return CreateFontW(-scaled(font.character_height, dpi), 0, 0, 0, font.weight, FALSE, FALSE,
                       FALSE, DEFAULT_CHARSET, OUT_DEFAULT_PRECIS, CLIP_DEFAULT_PRECIS,
                       PROOF_QUALITY, DEFAULT_PITCH | FF_DONTCARE,
                       wide_from_gbk(font.face).c_str());
}
