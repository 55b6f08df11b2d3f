// One loaded window: controls from the definition, fonts at the window's DPI,
// and where the keyboard focus goes.
#include "app/win32/frame_window.h"

#include "app/win32/dpi_scale.h"
#include "app/win32/native_controls.h"

FrameWindow::~FrameWindow()
{
    release_fonts();
}

void FrameWindow::release_fonts()
{
    for (HFONT font : own_fonts_)
        DeleteObject(font);
    own_fonts_.clear();
    window_font_ = nullptr;
}

HFONT FrameWindow::font_for(const ControlDefinition& control)
{
    if (control.font) {
        HFONT font = create_control_font(*control.font, dpi_);
        own_fonts_.push_back(font);
        return font;
    }
    if (!window_font_) {
        auto stock = static_cast<HFONT>(GetStockObject(DEFAULT_GUI_FONT));
        const UINT stock_dpi = system_dpi();
        if (dpi_ == stock_dpi) {
            window_font_ = stock;
        } else {
            // The stock font is made for the primary display's DPI.
            LOGFONTW font{};
            GetObjectW(stock, sizeof font, &font);
            font.lfHeight = MulDiv(font.lfHeight, static_cast<int>(dpi_), static_cast<int>(stock_dpi));
            window_font_ = CreateFontIndirectW(&font);
            own_fonts_.push_back(window_font_);
        }
    }
    return window_font_;
}

bool FrameWindow::create_controls(UINT dpi)
{
    dpi_ = dpi;
    controls_.reserve(definition_.controls.size());
    for (const ControlDefinition& control : definition_.controls) {
        ControlSlot slot;
        slot.definition = &control;
        slot.id = controls_.size() + 1;
        slot.caption = Text(control.text);
        slot.disabled = control.disabled;
        HWND parent = handle_;
        if (!control.parent.empty()) {
            ControlSlot* group = find(control.parent);
            if (!group || !group->handle)
                return false;
            parent = group->handle;
        }
        if (control.kind != ControlKind::timer && control.kind != ControlKind::sys_volume) {
            slot.handle = create_native_control(control, parent, static_cast<int>(slot.id), dpi_);
            if (!slot.handle)
                return false;
        }
        controls_.push_back(std::move(slot));
    }
    fit_controls();
    return true;
}

void FrameWindow::fit_controls()
{
    for (ControlSlot& slot : controls_)
        if (slot.handle)
            fit_native_control(slot.handle, *slot.definition, font_for(*slot.definition), dpi_);
}

void FrameWindow::change_dpi(UINT dpi)
{
    if (dpi == dpi_)
        return;
    std::vector<HFONT> old_fonts = std::move(own_fonts_);
    own_fonts_.clear();
    window_font_ = nullptr;
    dpi_ = dpi;
    fit_controls();
    // Only now does no control use them any more.
    for (HFONT font : old_fonts)
        DeleteObject(font);
}

ControlSlot* FrameWindow::find(std::string_view name)
{
    for (ControlSlot& slot : controls_)
        if (slot.definition->name == name)
            return &slot;
    return nullptr;
}

ControlSlot* FrameWindow::find(HWND control)
{
    for (ControlSlot& slot : controls_)
        if (slot.handle && slot.handle == control)
            return &slot;
    return nullptr;
}

ControlSlot* FrameWindow::find_timer(UINT_PTR id)
{
    for (ControlSlot& slot : controls_)
        if (slot.id == id && slot.definition->kind == ControlKind::timer)
            return &slot;
    return nullptr;
}

bool FrameWindow::usable_tab_stop(const ControlSlot& slot) const
{
    return slot.handle && slot.definition->tab_stop && IsWindowVisible(slot.handle) &&
           IsWindowEnabled(slot.handle);
}

void FrameWindow::remember_focus_on_deactivation()
{
    HWND focus = GetFocus();
    if (focus && find(focus))
        focus_memory_ = focus;
}

void FrameWindow::restore_focus()
{
    if (focus_memory_ && find(focus_memory_) && IsWindowEnabled(focus_memory_)) {
        SetFocus(focus_memory_);
        return;
    }
    for (const ControlSlot& slot : controls_)
        if (usable_tab_stop(slot)) {
            SetFocus(slot.handle);
            return;
        }
    SetFocus(handle_);
}

void FrameWindow::move_focus_by_tab(bool backward)
{
    const auto count = static_cast<std::ptrdiff_t>(controls_.size());
    if (count == 0)
        return;
    // From the focused control's place in creation order; from the window
    // itself, Tab starts at the first and Shift+Tab at the last.
    std::ptrdiff_t current = backward ? count : -1;
    HWND focus = GetFocus();
    for (std::ptrdiff_t i = 0; i < count; ++i)
        if (focus && controls_[static_cast<std::size_t>(i)].handle == focus)
            current = i;
    const std::ptrdiff_t step = backward ? -1 : 1;
    for (std::ptrdiff_t n = 1; n <= count; ++n) {
        const std::ptrdiff_t i = ((current + step * n) % count + count) % count;
        const ControlSlot& slot = controls_[static_cast<std::size_t>(i)];
        if (usable_tab_stop(slot)) {
            focus_memory_ = slot.handle;
            SetFocus(slot.handle);
            return;
        }
    }
}
