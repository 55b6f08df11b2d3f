// A frame with no window system for tests: windows built from their
// definitions, virtual time, scripted user actions and scripted nested loops.
#pragma once

#include <array>
#include <cstdint>
#include <functional>
#include <optional>
#include <string>
#include <string_view>
#include <utility>
#include <vector>

#include "app/frame.h"
#include "app/window_definition.h"
#include "tests/support/frame_names.h"


struct ShownMessage {
    Text text;
    Text title;
    friend bool operator==(const ShownMessage&, const ShownMessage&) = default;
};

// Everything runs on the caller's thread. Where a real frame would wait for
// the user (the main loop, a modal window, a message box), this one calls a
// script the test provides; the script acts as the user (click, select_item,
// request_close, advance, ...) and returning from it ends that wait:
// - main loop: afterwards every window still alive is closed as if by its
//   close box, so run_message_loop always returns;
// - modal window: if the window is still open, it is closed as if by its
//   close box (can be closed is raised), so no script closes it at once;
// - message box: returning dismisses it.
// Naming a window that is not loaded, or a control its definition lacks,
// throws std::logic_error, as do user actions a real user could not take
// (clicking a label, picking an item outside the list).
class HeadlessFrame final : public FrameHost {
public:
    using ModalScript = std::function<void(HeadlessFrame&, WindowId)>;
    using MessageScript = std::function<void(HeadlessFrame&, const ShownMessage&)>;
    using LoopScript = std::function<void(HeadlessFrame&)>;

    HeadlessFrame() = default;
    HeadlessFrame(const HeadlessFrame&) = delete;
    HeadlessFrame& operator=(const HeadlessFrame&) = delete;

    // Frame. Writing a property a kind lacks (a period to a label, a caption
    // to a combo box) throws; reading it gives 0. The window itself (empty
    // name) has caption (its title) and disabled.
    PropertyValue get_property(Control control, Property property) override;
    void set_property(Control control, Property property, const PropertyValue& value) override;
    void move_focus(Control control) override;
    void load_window_modal(WindowId window) override;
    void show_message(std::string_view text, std::string_view title) override;
    Text combo_item_text(Control combo, std::int32_t index) override;

    // FrameHost.
    void set_event_sink(EventSink* sink) override { sink_ = sink; }
    bool load_window(WindowId window) override;
    void run_message_loop() override;

    // Scripts that stand in for the user while the frame waits.
    void set_main_loop_script(LoopScript script) { loop_script_ = std::move(script); }
    void set_modal_script(ModalScript script) { modal_script_ = std::move(script); }
    void set_message_script(MessageScript script) { message_script_ = std::move(script); }
    // Makes every later load of the window fail, as if it could not be created.
    void refuse_to_create(WindowId window) { refused_[index(window)] = true; }

    // User actions. Each is ignored, as a real click would be, when the
    // control or its window is disabled.
    // A button or check box: takes the focus; a check box toggles its mark;
    // then clicked is raised.
    void click(Control control);
    // Picks item index of a combo box (the selected one too): it takes the
    // focus, the selection changes, then list item selected is raised.
    void select_item(Control combo, std::int32_t index);
    // The close box: can be closed is raised, then the window is destroyed.
    // False when ignored because the window is disabled.
    bool request_close(WindowId window);
    // Log-off or shutdown query: raises can be closed for the main window and
    // leaves it open. Returns the answer, always yes.
    bool query_end_session();
    // Tab (or Shift+Tab) in the active window: the next visible, enabled tab
    // stop in creation order, wrapping around.
    void press_tab(bool backward = false);
    // Esc in the active window: closes it when its definition says so.
    void press_escape();
    // Moves virtual time on, delivering each running timer's periodic events
    // in time order. A handler may itself advance time (inside a nested loop).
    void advance(std::int64_t milliseconds);

    // What a test looks at.
    bool is_loaded(WindowId window) const;
    bool is_shown(WindowId window) const;
    bool is_enabled(WindowId window) const;
    // What a program outside would do to a window (EnableWindow).
    void set_window_enabled(WindowId window, bool enabled);
    // The control with the keyboard focus (empty name: the window itself);
    // none while a message box is up or no window is active.
    std::optional<Control> focus() const;
    bool has_focus(Control control) const;
    std::int64_t now() const { return now_; }
    // Set once the last window has been destroyed inside run_message_loop.
    bool quit_requested() const { return quit_requested_; }
    // Modal windows and message boxes open right now.
    int nesting_depth() const { return nesting_depth_; }
    // Chronological: "created main", "shown main", "clicked main 按钮1",
    // "list item selected main 设备组合框", "periodic main 时钟1",
    // "can be closed main", "destroyed main", "disabled main", "enabled main",
    // "message <title>", "dismissed <title>", "ignored click main 按钮1",
    // "loop ended" (names in GBK bytes).
    const std::vector<std::string>& log() const { return log_; }
    void clear_log() { log_.clear(); }
    const std::vector<ShownMessage>& messages() const { return messages_; }

private:
    struct ControlState {
        const ControlDefinition* definition = nullptr;
        Text caption;
        std::vector<Text> items;
        bool disabled = false;
        bool checked = false;
        std::int32_t selection = -1;
        std::int32_t period = 0;
        std::int64_t next_due = 0;
    };
    struct WindowState {
        const WindowDefinition* definition = nullptr;
        Text title;
        std::vector<ControlState> controls;
        bool enabled = true;
        bool shown = false;
        // The control that gets the focus when the window is next activated.
        std::optional<std::string_view> focus_memory;
        // Windows this one disabled while modal, with their former states.
        std::vector<std::pair<WindowId, bool>> to_restore;
        std::optional<WindowId> activated_from;
    };

    static std::size_t index(WindowId window) { return static_cast<std::size_t>(window); }
    WindowState& window_state(WindowId window);
    const WindowState& window_state(WindowId window) const;
    ControlState& control_state(Control control);
    ControlState* control_or_null(Control control);
    void create(WindowId window);
    void show(WindowId window);
    void destroy(WindowId window);
    void close(WindowId window);
    void activate(std::optional<WindowId> window);
    std::optional<std::string_view> first_tab_stop(const WindowState& state) const;
    std::vector<std::pair<WindowId, bool>> disable_windows_except(std::optional<WindowId> keep);
    void restore(const std::vector<std::pair<WindowId, bool>>& states);
    void raise(WindowId window, std::string_view control, Event event);
    void note(std::string entry) { log_.push_back(std::move(entry)); }
    bool any_window_alive() const;

    EventSink* sink_ = nullptr;
    std::array<std::optional<WindowState>, 3> windows_;
    std::array<bool, 3> refused_{};
    std::optional<WindowId> active_;
    std::int64_t now_ = 0;
    bool loop_entered_ = false;
    bool quit_requested_ = false;
    int nesting_depth_ = 0;
    LoopScript loop_script_;
    ModalScript modal_script_;
    MessageScript message_script_;
    std::vector<std::string> log_;
    std::vector<ShownMessage> messages_;
};
