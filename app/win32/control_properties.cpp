// Captions, enabled states, check marks and selections of the native windows,
// with every text converted between GBK and UTF-16 on the way.
#include "app/win32/control_properties.h"

#include <stdexcept>

#include "app/win32/wide_text.h"

namespace {
const Text& property_text(const PropertyValue& value)
{
    auto* t = std::get_if<Text>(&value);
    if (!t)
        throw std::logic_error("a caption written with an integer");
    return *t;
}

Text window_text(HWND window)
{
    const int length = GetWindowTextLengthW(window);
    if (length <= 0)
        return {};
    std::wstring text(static_cast<std::size_t>(length) + 1, L'\0');
    const int got = GetWindowTextW(window, text.data(), length + 1);
    text.resize(static_cast<std::size_t>(got > 0 ? got : 0));
    return gbk_from_wide(text);
}

void set_window_text(HWND window, std::string_view text)
{
    SetWindowTextW(window, wide_from_gbk(text).c_str());
}

// A transparent label's old text stays unless what lies beneath is painted again.
void repaint_beneath(HWND control)
{
    HWND parent = GetParent(control);
    RECT place;
    GetWindowRect(control, &place);
    MapWindowPoints(nullptr, parent, reinterpret_cast<POINT*>(&place), 2);
    RedrawWindow(parent, &place, nullptr, RDW_INVALIDATE | RDW_ERASE | RDW_ALLCHILDREN);
}

std::int32_t combo_selection(HWND combo)
{
    return static_cast<std::int32_t>(SendMessageW(combo, CB_GETCURSEL, 0, 0));
}
} // namespace

void frame_misuse(std::string what, std::string_view name)
{
    what += name;
    throw std::logic_error(what);
}

std::int32_t property_int(const PropertyValue& value)
{
    auto* n = std::get_if<std::int32_t>(&value);
    if (!n)
        throw std::logic_error("an integer property written with a text");
    return *n;
}

PropertyValue read_window_property(HWND window, Property property)
{
    if (property == Property::caption)
        return window_text(window);
    if (property == Property::disabled)
        return std::int32_t{!IsWindowEnabled(window)};
    return std::int32_t{0};
}

void write_window_property(HWND window, Property property, const PropertyValue& value)
{
    if (property == Property::caption)
        set_window_text(window, property_text(value));
    else if (property == Property::disabled)
        EnableWindow(window, property_int(value) == 0);
    else
        frame_misuse("a window has no such property", "");
}

PropertyValue read_control_property(const ControlSlot& control, Property property)
{
    const ControlKind kind = control.definition->kind;
    HWND native = control.handle;
    switch (property) {
    case Property::caption:
        if (kind == ControlKind::combo_box)
            return combo_item(native, combo_selection(native));
        return native ? window_text(native) : control.caption;
    case Property::disabled:
        return std::int32_t{native ? !IsWindowEnabled(native) : control.disabled};
    case Property::checked:
        return std::int32_t{kind == ControlKind::check_box &&
                            SendMessageW(native, BM_GETCHECK, 0, 0) == BST_CHECKED};
    case Property::current_selection:
        return kind == ControlKind::combo_box ? combo_selection(native) : 0;
    case Property::period:
        return kind == ControlKind::timer ? control.schedule.period() : 0;
    }
    return std::int32_t{0};
}

void write_control_property(ControlSlot& control, Property property, const PropertyValue& value)
{
    const ControlKind kind = control.definition->kind;
    HWND native = control.handle;
    auto require = [&](ControlKind wanted) {
        if (kind != wanted)
            frame_misuse("property not writable on ", control.definition->name);
    };
    switch (property) {
    case Property::caption:
        if (kind == ControlKind::combo_box)
            frame_misuse("property not writable on ", control.definition->name);
        control.caption = property_text(value);
        if (native) {
            set_window_text(native, control.caption);
            if (kind == ControlKind::trans_label)
                repaint_beneath(native);
        }
        return;
    case Property::disabled:
        control.disabled = property_int(value) != 0;
        if (native)
            EnableWindow(native, !control.disabled);
        return;
    case Property::checked:
        require(ControlKind::check_box);
        SendMessageW(native, BM_SETCHECK, property_int(value) ? BST_CHECKED : BST_UNCHECKED, 0);
        return;
    case Property::current_selection: {
        require(ControlKind::combo_box);
        // An index outside the list leaves no item selected; no event either way.
        const std::int32_t n = property_int(value);
        const LRESULT count = SendMessageW(native, CB_GETCOUNT, 0, 0);
        SendMessageW(native, CB_SETCURSEL,
                     n >= 0 && n < count ? static_cast<WPARAM>(n) : static_cast<WPARAM>(-1), 0);
        return;
    }
    case Property::period:
        frame_misuse("a period is the frame's to write: ", control.definition->name);
    }
}

Text combo_item(HWND combo, std::int32_t index)
{
    const LRESULT count = SendMessageW(combo, CB_GETCOUNT, 0, 0);
    if (index < 0 || count == CB_ERR || index >= count)
        return {};
    const LRESULT length = SendMessageW(combo, CB_GETLBTEXTLEN, static_cast<WPARAM>(index), 0);
    if (length == CB_ERR)
        return {};
    std::wstring text(static_cast<std::size_t>(length) + 1, L'\0');
    SendMessageW(combo, CB_GETLBTEXT, static_cast<WPARAM>(index),
                 reinterpret_cast<LPARAM>(text.data()));
    text.resize(static_cast<std::size_t>(length));
    return gbk_from_wide(text);
}
