// The three windows as declarative data: attributes, and every control with
// its place, size, text and initial state, in creation order.
#pragma once

#include <cstdint>
#include <optional>
#include <string_view>
#include <vector>

#include "app/frame.h"

enum class ControlKind {
    group_box,
    label,
    trans_label, // draws only its text, no background of its own
    button,
    check_box,   // ticks and unticks itself when clicked
    combo_box,   // drop-down list: pick only, no typing, items unsorted
    timer,       // no window; period in milliseconds
    sys_volume,  // no window; stands for the master-volume accessor
    edit_box,
};

enum class Alignment { left, centre };

struct Rgb {
    std::uint8_t red = 0, green = 0, blue = 0;
    friend bool operator==(const Rgb&, const Rgb&) = default;
};

inline constexpr Rgb black{0, 0, 0};
inline constexpr Rgb red{255, 0, 0};

// A font of the control's own. Besides face and character height it is
// always requested with weight 400, no italic, underline or strike-out, the
// default character set, default output and clipping precision, proof
// quality and default pitch and family.
struct FontDefinition {
    std::string_view face{};
    std::int32_t character_height = 0; // pixels
    std::int32_t weight = 400;
    friend bool operator==(const FontDefinition&, const FontDefinition&) = default;
};

// Window-wide choices that the system supplies.
enum class WindowFont { default_gui };
enum class WindowBackground { button_face };

// A combo box is created this tall so its opened list has room; the closed
// box keeps the height the system gives it.
inline constexpr std::int32_t combo_list_height = 160;
// Rows of an opened combo list are this much taller than the system's rows.
inline constexpr std::int32_t combo_row_extra_height = 1;

struct ControlDefinition {
    std::string_view name{};
    ControlKind kind = ControlKind::label;
    std::string_view parent{}; // empty: the window's client area
    // Relative to the parent: a group box's top-left corner, or the client area.
    std::int32_t left = 0, top = 0, width = 0, height = 0;
    std::string_view text{};            // caption; a combo box has items instead
    std::vector<std::string_view> items{}; // combo box only, in display order
    bool checked = false;
    bool disabled = false;
    std::int32_t current_selection = -1; // combo box only
    std::int32_t period = 0;             // timer only; 0 = stopped
    bool visible = true;                 // timers and the volume control never are
    bool tab_stop = false;
    Rgb text_colour = black;
    Alignment alignment = Alignment::left;
    // Wrapping text starts at the top; one-line text is centred vertically
    // and cut off at the edges.
    bool wraps = false;
    std::optional<FontDefinition> font{}; // none: the window's font
    // Edit box only.
    bool multi_line = false;
    bool vertical_scroll_bar = false;
    bool client_edge = false;
};

struct WindowDefinition {
    WindowId id = WindowId::main;
    std::string_view title{};
    // Outer size, frame and title bar included. The window cannot be resized
    // and opens centred on the primary display.
    std::int32_t width = 0, height = 0;
    bool minimise_box = false; // never a maximise box; always a close box
    bool esc_closes = false;
    bool taskbar_button = false;
    std::string_view icon = "DEFAULT_ICON";
    WindowFont font = WindowFont::default_gui;
    WindowBackground background = WindowBackground::button_face;
    std::vector<ControlDefinition> controls{}; // in creation order; later lies above
};

const WindowDefinition& window_definition(WindowId window);

// The control of that name, or nullptr.
const ControlDefinition* find_control(const WindowDefinition& window, std::string_view name);

struct WindowPlace {
    std::int32_t left = 0, top = 0;
    friend bool operator==(const WindowPlace&, const WindowPlace&) = default;
};

// Centred on a screen of the given full size, with whole-number division.
WindowPlace centred_place(const WindowDefinition& window, std::int32_t screen_width,
                          std::int32_t screen_height);
