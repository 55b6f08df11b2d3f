// The headless frame: window state kept in memory, events raised in the
// orders a native frame raises them, nested loops replaced by test scripts.
#include "tests/support/headless_frame.h"

#include <algorithm>
#include <stdexcept>

namespace {
constexpr WindowId all_windows[] = {WindowId::main, WindowId::notice, WindowId::instructions};

std::string join(std::initializer_list<std::string_view> parts)
{
    std::string s;
    for (std::string_view part : parts) {
        if (part.empty())
            continue;
        if (!s.empty())
            s += ' ';
        s += part;
    }
    return s;
}

[[noreturn]] void misuse(std::string_view what, std::string_view name)
{
    throw std::logic_error(join({what, name}));
}

std::int32_t as_int(const PropertyValue& value)
{
    auto* n = std::get_if<std::int32_t>(&value);
    if (!n)
        throw std::logic_error("an integer property written with a text");
    return *n;
}
} // namespace


HeadlessFrame::WindowState& HeadlessFrame::window_state(WindowId window)
{
    auto& slot = windows_.at(index(window));
    if (!slot)
        misuse("window not loaded:", window_name(window));
    return *slot;
}

const HeadlessFrame::WindowState& HeadlessFrame::window_state(WindowId window) const
{
    const auto& slot = windows_.at(index(window));
    if (!slot)
        misuse("window not loaded:", window_name(window));
    return *slot;
}

HeadlessFrame::ControlState* HeadlessFrame::control_or_null(Control control)
{
    for (ControlState& c : window_state(control.window).controls)
        if (c.definition->name == control.name)
            return &c;
    return nullptr;
}

HeadlessFrame::ControlState& HeadlessFrame::control_state(Control control)
{
    if (control.name.empty())
        misuse("a control is needed, not the window:", window_name(control.window));
    ControlState* c = control_or_null(control);
    if (!c)
        misuse("no such control:", control.name);
    return *c;
}

bool HeadlessFrame::is_loaded(WindowId window) const
{
    return windows_.at(index(window)).has_value();
}

bool HeadlessFrame::is_shown(WindowId window) const
{
    return is_loaded(window) && window_state(window).shown;
}

bool HeadlessFrame::is_enabled(WindowId window) const
{
    return window_state(window).enabled;
}

bool HeadlessFrame::any_window_alive() const
{
    return std::any_of(windows_.begin(), windows_.end(),
                       [](const auto& w) { return w.has_value(); });
}

void HeadlessFrame::set_window_enabled(WindowId window, bool enabled)
{
    WindowState& state = window_state(window);
    if (state.enabled == enabled)
        return;
    state.enabled = enabled;
    note(join({enabled ? "enabled" : "disabled", window_name(window)}));
}

void HeadlessFrame::raise(WindowId window, std::string_view control, Event event)
{
    note(join({event_name(event), window_name(window), control}));
    if (sink_)
        sink_->on_event(window, control, event);
}

void HeadlessFrame::create(WindowId window)
{
    auto& slot = windows_.at(index(window));
    if (slot)
        misuse("window already loaded:", window_name(window));
    const WindowDefinition& definition = window_definition(window);
    WindowState state;
    state.definition = &definition;
    state.title = Text(definition.title);
    for (const ControlDefinition& d : definition.controls) {
        ControlState c;
        c.definition = &d;
        c.caption = Text(d.text);
        c.items.assign(d.items.begin(), d.items.end());
        c.disabled = d.disabled;
        c.checked = d.checked;
        c.selection = d.current_selection;
        c.period = std::max(d.period, 0);
        c.next_due = now_ + c.period;
        state.controls.push_back(std::move(c));
    }
    slot = std::move(state);
}

void HeadlessFrame::show(WindowId window)
{
    WindowState& state = window_state(window);
    state.shown = true;
    note(join({"shown", window_name(window)}));
    if (state.enabled)
        activate(window);
}

std::optional<std::string_view> HeadlessFrame::first_tab_stop(const WindowState& state) const
{
    for (const ControlState& c : state.controls)
        if (c.definition->tab_stop && c.definition->visible && !c.disabled)
            return c.definition->name;
    return std::nullopt;
}

void HeadlessFrame::activate(std::optional<WindowId> window)
{
    active_ = window;
    if (!window)
        return;
    // The focus goes back to the control that had it, else to the first tab
    // stop, else it stays on the window.
    WindowState& state = window_state(*window);
    if (!state.focus_memory)
        state.focus_memory = first_tab_stop(state);
}

std::vector<std::pair<WindowId, bool>>
HeadlessFrame::disable_windows_except(std::optional<WindowId> keep)
{
    std::vector<std::pair<WindowId, bool>> former;
    for (WindowId w : all_windows) {
        if (w == keep || !is_loaded(w))
            continue;
        former.emplace_back(w, window_state(w).enabled);
        set_window_enabled(w, false);
    }
    return former;
}

void HeadlessFrame::restore(const std::vector<std::pair<WindowId, bool>>& states)
{
    for (auto [w, enabled] : states)
        if (is_loaded(w))
            set_window_enabled(w, enabled);
}

void HeadlessFrame::destroy(WindowId window)
{
    WindowState& state = window_state(window);
    restore(state.to_restore);
    std::optional<WindowId> back_to = state.activated_from;
    bool was_active = active_ == window;
    windows_.at(index(window)).reset();
    note(join({"destroyed", window_name(window)}));

    if (was_active) {
        if (!back_to || !is_loaded(*back_to) || !window_state(*back_to).enabled) {
            back_to.reset();
            for (WindowId w : all_windows)
                if (is_loaded(w) && window_state(w).shown && window_state(w).enabled) {
                    back_to = w;
                    break;
                }
        }
        activate(back_to);
    }
    if (!any_window_alive() && loop_entered_ && !quit_requested_) {
        quit_requested_ = true;
        note("loop ended");
    }
}

void HeadlessFrame::close(WindowId window)
{
    // No handler can keep a window open: the one close handler returns no result.
    raise(window, "", Event::can_be_closed);
    if (is_loaded(window))
        destroy(window);
}

bool HeadlessFrame::load_window(WindowId window)
{
    if (refused_[index(window)])
        return false;
    create(window);
    raise(window, "", Event::created);
    if (is_loaded(window))
        show(window);
    return true;
}

void HeadlessFrame::load_window_modal(WindowId window)
{
    if (refused_[index(window)])
        return;
    std::optional<WindowId> previous = active_;
    create(window);
    raise(window, "", Event::created);
    if (!is_loaded(window))
        return;
    show(window);
    auto to_restore = disable_windows_except(window);
    WindowState& state = window_state(window);
    state.activated_from = previous;
    state.to_restore = std::move(to_restore);

    struct Depth {
        int& n;
        explicit Depth(int& depth) : n(++depth) {}
        ~Depth() { --n; }
    } depth(nesting_depth_);
    if (modal_script_) {
        ModalScript script = modal_script_; // the script may replace itself
        script(*this, window);
    }
    if (is_loaded(window))
        close(window);
}

void HeadlessFrame::show_message(std::string_view text, std::string_view title)
{
    ShownMessage message{Text(text), Text(title)};
    messages_.push_back(message);
    note(join({"message", title}));
    std::optional<WindowId> previous = active_;
    active_.reset();
    auto former = disable_windows_except(std::nullopt);
    {
        struct Depth {
            int& n;
            explicit Depth(int& depth) : n(++depth) {}
            ~Depth() { --n; }
        } depth(nesting_depth_);
        if (message_script_) {
            MessageScript script = message_script_;
            script(*this, message);
        }
    }
    restore(former);
    note(join({"dismissed", title}));
    if (previous && is_loaded(*previous) && window_state(*previous).enabled)
        activate(previous);
}

void HeadlessFrame::run_message_loop()
{
    loop_entered_ = true;
    if (!any_window_alive()) {
        quit_requested_ = true;
        note("loop ended");
        return;
    }
    if (loop_script_) {
        LoopScript script = loop_script_;
        script(*this);
    }
    // A real loop would wait for the user to close what is left.
    for (auto it = std::rbegin(all_windows); it != std::rend(all_windows); ++it)
        if (is_loaded(*it))
            close(*it);
}

PropertyValue HeadlessFrame::get_property(Control control, Property property)
{
    if (control.name.empty()) {
        const WindowState& state = window_state(control.window);
        if (property == Property::caption)
            return state.title;
        if (property == Property::disabled)
            return std::int32_t{!state.enabled};
        return std::int32_t{0};
    }
    const ControlState& c = control_state(control);
    const ControlKind kind = c.definition->kind;
    switch (property) {
    case Property::caption:
        if (kind == ControlKind::combo_box)
            return c.selection >= 0 ? c.items[static_cast<std::size_t>(c.selection)] : Text{};
        return c.caption;
    case Property::disabled:
        return std::int32_t{c.disabled};
    case Property::checked:
        return std::int32_t{kind == ControlKind::check_box && c.checked};
    case Property::current_selection:
        return kind == ControlKind::combo_box ? c.selection : 0;
    case Property::period:
        return kind == ControlKind::timer ? c.period : 0;
    }
    return std::int32_t{0};
}

void HeadlessFrame::set_property(Control control, Property property, const PropertyValue& value)
{
    if (property == Property::caption && !std::holds_alternative<Text>(value))
        throw std::logic_error("a caption written with an integer");
    if (control.name.empty()) {
        WindowState& state = window_state(control.window);
        if (property == Property::caption)
            state.title = std::get<Text>(value);
        else if (property == Property::disabled)
            set_window_enabled(control.window, as_int(value) == 0);
        else
            misuse("a window has no such property:", window_name(control.window));
        return;
    }
    ControlState& c = control_state(control);
    const ControlKind kind = c.definition->kind;
    auto require = [&](ControlKind wanted) {
        if (kind != wanted)
            misuse("property not writable on", control.name);
    };
    switch (property) {
    case Property::caption:
        if (kind == ControlKind::combo_box)
            misuse("property not writable on", control.name);
        c.caption = std::get<Text>(value);
        return;
    case Property::disabled:
        c.disabled = as_int(value) != 0;
        return;
    case Property::checked:
        require(ControlKind::check_box);
        c.checked = as_int(value) != 0;
        return;
    case Property::current_selection: {
        require(ControlKind::combo_box);
        std::int32_t n = as_int(value);
        // An index outside the list leaves no item selected; no event either way.
        c.selection = n >= 0 && n < static_cast<std::int32_t>(c.items.size()) ? n : -1;
        return;
    }
    case Property::period: {
        require(ControlKind::timer);
        std::int32_t period = std::max(as_int(value), 0);
        if (period == c.period)
            return; // a running timer is not restarted
        c.period = period;
        c.next_due = now_ + period;
        return;
    }
    }
}

void HeadlessFrame::move_focus(Control control)
{
    WindowState& state = window_state(control.window);
    if (!control.name.empty())
        state.focus_memory = control_state(control).definition->name;
    // A window that has not been shown yet, or is disabled, only remembers it.
    if (state.shown && state.enabled)
        activate(control.window);
}

Text HeadlessFrame::combo_item_text(Control combo, std::int32_t index)
{
    const ControlState& c = control_state(combo);
    if (c.definition->kind != ControlKind::combo_box)
        misuse("not a combo box:", combo.name);
    if (index < 0 || index >= static_cast<std::int32_t>(c.items.size()))
        return {};
    return c.items[static_cast<std::size_t>(index)];
}

void HeadlessFrame::click(Control control)
{
    ControlState& c = control_state(control);
    const ControlKind kind = c.definition->kind;
    if (kind != ControlKind::button && kind != ControlKind::check_box)
        misuse("nothing to click:", control.name);
    WindowState& state = window_state(control.window);
    if (c.disabled || !state.enabled) {
        note(join({"ignored click", window_name(control.window), control.name}));
        return;
    }
    state.focus_memory = c.definition->name;
    activate(control.window);
    if (kind == ControlKind::check_box)
        c.checked = !c.checked;
    raise(control.window, c.definition->name, Event::clicked);
}

void HeadlessFrame::select_item(Control combo, std::int32_t index)
{
    ControlState& c = control_state(combo);
    if (c.definition->kind != ControlKind::combo_box)
        misuse("not a combo box:", combo.name);
    if (index < 0 || index >= static_cast<std::int32_t>(c.items.size()))
        misuse("no such item in", combo.name);
    WindowState& state = window_state(combo.window);
    if (c.disabled || !state.enabled) {
        note(join({"ignored selection", window_name(combo.window), combo.name}));
        return;
    }
    state.focus_memory = c.definition->name;
    activate(combo.window);
    c.selection = index;
    raise(combo.window, c.definition->name, Event::list_item_selected);
}

bool HeadlessFrame::request_close(WindowId window)
{
    if (!window_state(window).enabled) {
        note(join({"ignored close", window_name(window)}));
        return false;
    }
    close(window);
    return true;
}

bool HeadlessFrame::query_end_session()
{
    note("query end session");
    if (is_loaded(WindowId::main))
        raise(WindowId::main, "", Event::can_be_closed);
    return true;
}

void HeadlessFrame::press_tab(bool backward)
{
    if (!active_)
        return;
    WindowState& state = window_state(*active_);
    const auto count = static_cast<std::ptrdiff_t>(state.controls.size());
    std::ptrdiff_t current = backward ? count : -1;
    if (state.focus_memory)
        for (std::ptrdiff_t i = 0; i < count; ++i)
            if (state.controls[static_cast<std::size_t>(i)].definition->name == *state.focus_memory)
                current = i;
    const std::ptrdiff_t step = backward ? -1 : 1;
    for (std::ptrdiff_t n = 1; n <= count; ++n) {
        std::ptrdiff_t i = ((current + step * n) % count + count) % count;
        const ControlState& c = state.controls[static_cast<std::size_t>(i)];
        if (c.definition->tab_stop && c.definition->visible && !c.disabled) {
            state.focus_memory = c.definition->name;
            return;
        }
    }
}

void HeadlessFrame::press_escape()
{
    if (active_ && window_state(*active_).definition->esc_closes)
        close(*active_);
}

void HeadlessFrame::advance(std::int64_t milliseconds)
{
    if (milliseconds < 0)
        throw std::logic_error("time runs forward only");
    const std::int64_t target = now_ + milliseconds;
    for (;;) {
        // The earliest due timer; ties go to the earlier window and control.
        std::optional<WindowId> window;
        std::size_t at = 0;
        std::int64_t due = 0;
        for (WindowId w : all_windows) {
            if (!is_loaded(w))
                continue;
            const auto& controls = window_state(w).controls;
            for (std::size_t i = 0; i < controls.size(); ++i) {
                const ControlState& c = controls[i];
                if (c.period > 0 && c.next_due <= target && (!window || c.next_due < due)) {
                    window = w;
                    at = i;
                    due = c.next_due;
                }
            }
        }
        if (!window)
            break;
        now_ = std::max(now_, due);
        ControlState& c = window_state(*window).controls[at];
        c.next_due += c.period;
        raise(*window, c.definition->name, Event::periodic);
    }
    now_ = std::max(now_, target);
}

std::optional<Control> HeadlessFrame::focus() const
{
    if (!active_ || !is_loaded(*active_))
        return std::nullopt;
    return Control{*active_, window_state(*active_).focus_memory.value_or(std::string_view{})};
}

bool HeadlessFrame::has_focus(Control control) const
{
    auto f = focus();
    return f && f->window == control.window && f->name == control.name;
}
