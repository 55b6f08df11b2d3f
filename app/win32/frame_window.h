// One loaded window of the frame: its native window and controls built from
// the definition, laid out at the window's DPI, and the keyboard focus rules
// every window shares.
#pragma once

#include <cstdint>
#include <memory>
#include <optional>
#include <string_view>
#include <utility>
#include <vector>

#include <windows.h>

#include "app/tick_schedule.h"
#include "app/window_definition.h"

struct ControlSlot {
    const ControlDefinition* definition = nullptr;
    HWND handle = nullptr; // none for a timer or the master-volume control
    UINT_PTR id = 0;       // the child window's id; a timer's id
    // What a control without a window keeps itself.
    Text caption;
    bool disabled = false;
    TickSchedule schedule;
};

class FrameWindow {
public:
    FrameWindow(WindowId id, std::uint64_t serial)
        : definition_(window_definition(id)), id_(id), serial_(serial)
    {
    }
    ~FrameWindow();
    FrameWindow(const FrameWindow&) = delete;
    FrameWindow& operator=(const FrameWindow&) = delete;

    WindowId id() const { return id_; }
    // Tells this loading of the window from an earlier one of the same window.
    std::uint64_t serial() const { return serial_; }
    const WindowDefinition& definition() const { return definition_; }
    HWND handle() const { return handle_; }
    void attach(HWND handle) { handle_ = handle; }
    UINT dpi() const { return dpi_; }

    // Creates the controls in definition order at dpi; false if one fails.
    bool create_controls(UINT dpi);
    // Places every control and its font anew for another DPI.
    void change_dpi(UINT dpi);

    ControlSlot* find(std::string_view name);
    ControlSlot* find(HWND control);
    ControlSlot* find_timer(UINT_PTR id);
    std::vector<ControlSlot>& controls() { return controls_; }

    // Keyboard focus: remembered on deactivation, given back on activation,
    // else to the first usable tab stop, else the window keeps it.
    void remember_focus(HWND control) { focus_memory_ = control; }
    void remember_focus_on_deactivation();
    void restore_focus();
    // Tab and Shift+Tab: the next usable tab stop in creation order, wrapping.
    void move_focus_by_tab(bool backward);

    // Windows this one disabled while modal, with their former states.
    std::vector<std::pair<WindowId, bool>> to_restore;

private:
    HFONT font_for(const ControlDefinition& control);
    void fit_controls();
    bool usable_tab_stop(const ControlSlot& slot) const;
    void release_fonts();

    const WindowDefinition& definition_;
    WindowId id_;
    std::uint64_t serial_;
    HWND handle_ = nullptr;
    UINT dpi_ = 96;
    std::vector<ControlSlot> controls_;
    std::vector<HFONT> own_fonts_;
    HFONT window_font_ = nullptr; // the default GUI font at this DPI
    HWND focus_memory_ = nullptr;
};
