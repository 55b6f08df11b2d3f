// The Win32 frame: loads the windows, turns their notifications into events,
// runs the main and nested message loops and applies the handlers' property
// writes at once. All text crosses into Windows as UTF-16 (the W calls).
#include "app/win32/win32_frame.h"

#include <array>
#include <exception>
#include <functional>

#include <windows.h>

#include "app/win32/control_properties.h"
#include "app/win32/dpi_scale.h"
#include "app/win32/frame_window.h"
#include "app/win32/timer_clock.h"
#include "app/win32/wide_text.h"

namespace {
constexpr wchar_t window_class_name[] = L"BurninFrameWindow";
constexpr WindowId all_windows[] = {WindowId::main, WindowId::notice, WindowId::instructions};
// Window extra bytes: the frame, then the window's own state.
constexpr int frame_slot = 0;
constexpr int window_slot = sizeof(LONG_PTR);

class Win32FrameImpl final : public Win32Frame {
public:
    explicit Win32FrameImpl(std::unique_ptr<TimerClock> clock);
    ~Win32FrameImpl() override;
    Win32FrameImpl(const Win32FrameImpl&) = delete;
    Win32FrameImpl& operator=(const Win32FrameImpl&) = delete;

    PropertyValue get_property(Control control, Property property) override;
    void set_property(Control control, Property property, const PropertyValue& value) override;
    void move_focus(Control control) override;
    void load_window_modal(WindowId window) override;
    void show_message(std::string_view text, std::string_view title) override;
    Text combo_item_text(Control combo, std::int32_t index) override;

    void set_event_sink(EventSink* sink) override { sink_ = sink; }
    bool load_window(WindowId window) override;
    void run_message_loop() override;

    HWND__* window_handle(WindowId window) const override;
    HWND__* control_handle(Control control) const override;

private:
    struct Creation {
        Win32FrameImpl* frame;
        FrameWindow* window;
    };

    FrameWindow* loaded(WindowId window) const;
    FrameWindow* loaded(WindowId window, std::uint64_t serial) const;
    FrameWindow& window_or_throw(WindowId window) const;
    ControlSlot& control_or_throw(Control control) const;
    FrameWindow* window_of(HWND handle) const;

    FrameWindow* create(WindowId window);
    void show(FrameWindow& window);
    void close(FrameWindow& window);
    void restore(const std::vector<std::pair<WindowId, bool>>& states);
    void destroyed(FrameWindow& window);
    void raise(WindowId window, std::string_view control, Event event);

    void write_period(FrameWindow& window, ControlSlot& timer, std::int32_t period);
    void on_timer(FrameWindow& window, UINT_PTR id);
    void on_command(FrameWindow& window, HWND control, UINT code);
    LRESULT on_colour(FrameWindow& window, HDC dc, HWND control, UINT message, WPARAM wparam,
                      LPARAM lparam);
    void on_dpi_changed(FrameWindow& window, UINT dpi, const RECT& suggested);

    bool handle_keys(const MSG& msg);
    void dispatch(const MSG& msg);
    void pump_until(const std::function<bool()>& done);
    void rethrow_pending();

    LRESULT handle_message(FrameWindow& window, UINT message, WPARAM wparam, LPARAM lparam);
    static LRESULT CALLBACK window_procedure(HWND handle, UINT message, WPARAM wparam,
                                             LPARAM lparam);

    std::unique_ptr<TimerClock> clock_;
    HINSTANCE instance_;
    EventSink* sink_ = nullptr;
    std::array<std::unique_ptr<FrameWindow>, 3> windows_;
    std::uint64_t next_serial_ = 1;
    bool creating_ = false;
    bool loop_entered_ = false;
    bool tearing_down_ = false;
    // A handler's exception, caught at the window procedure and thrown again
    // from the loop that dispatched it.
    std::exception_ptr pending_;
};

Win32FrameImpl::Win32FrameImpl(std::unique_ptr<TimerClock> clock)
    : clock_(std::move(clock)), instance_(GetModuleHandleW(nullptr))
{
    WNDCLASSEXW window_class{};
    window_class.cbSize = sizeof window_class;
    window_class.lpfnWndProc = window_procedure;
    window_class.cbWndExtra = 2 * sizeof(LONG_PTR);
    window_class.hInstance = instance_;
    window_class.hCursor = LoadCursorW(nullptr, IDC_ARROW);
    window_class.hbrBackground = reinterpret_cast<HBRUSH>(COLOR_BTNFACE + 1);
    window_class.lpszClassName = window_class_name;
    window_class.hIcon = static_cast<HICON>(
        LoadImageW(instance_, L"DEFAULT_ICON", IMAGE_ICON, GetSystemMetrics(SM_CXICON),
                   GetSystemMetrics(SM_CYICON), LR_SHARED));
    window_class.hIconSm = static_cast<HICON>(
        LoadImageW(instance_, L"DEFAULT_ICON", IMAGE_ICON, GetSystemMetrics(SM_CXSMICON),
                   GetSystemMetrics(SM_CYSMICON), LR_SHARED));
    RegisterClassExW(&window_class);
}

Win32FrameImpl::~Win32FrameImpl()
{
    tearing_down_ = true;
    sink_ = nullptr;
    // The modal ones first: they may be owned by the main window.
    for (auto it = std::rbegin(all_windows); it != std::rend(all_windows); ++it)
        if (FrameWindow* window = loaded(*it))
            DestroyWindow(window->handle());
    UnregisterClassW(window_class_name, instance_);
}

FrameWindow* Win32FrameImpl::loaded(WindowId window) const
{
    return windows_.at(static_cast<std::size_t>(window)).get();
}

FrameWindow* Win32FrameImpl::loaded(WindowId window, std::uint64_t serial) const
{
    FrameWindow* found = loaded(window);
    return found && found->serial() == serial ? found : nullptr;
}

FrameWindow& Win32FrameImpl::window_or_throw(WindowId window) const
{
    FrameWindow* found = loaded(window);
    if (!found)
        frame_misuse("window not loaded: ", window_definition(window).title);
    return *found;
}

ControlSlot& Win32FrameImpl::control_or_throw(Control control) const
{
    ControlSlot* slot = window_or_throw(control.window).find(control.name);
    if (!slot)
        frame_misuse("no such control: ", control.name);
    return *slot;
}

FrameWindow* Win32FrameImpl::window_of(HWND handle) const
{
    for (WindowId id : all_windows)
        if (FrameWindow* window = loaded(id); window && window->handle() == handle)
            return window;
    return nullptr;
}

HWND__* Win32FrameImpl::window_handle(WindowId window) const
{
    FrameWindow* found = loaded(window);
    return found ? found->handle() : nullptr;
}

HWND__* Win32FrameImpl::control_handle(Control control) const
{
    FrameWindow* found = loaded(control.window);
    ControlSlot* slot = found ? found->find(control.name) : nullptr;
    return slot ? slot->handle : nullptr;
}

void Win32FrameImpl::raise(WindowId window, std::string_view control, Event event)
{
    if (sink_ && !creating_)
        sink_->on_event(window, control, event);
}

void Win32FrameImpl::rethrow_pending()
{
    if (pending_)
        std::rethrow_exception(std::exchange(pending_, nullptr));
}

FrameWindow* Win32FrameImpl::create(WindowId id)
{
    if (loaded(id))
        frame_misuse("window already loaded: ", window_definition(id).title);
    auto& slot = windows_.at(static_cast<std::size_t>(id));
    slot = std::make_unique<FrameWindow>(id, next_serial_++);
    FrameWindow& window = *slot;
    const WindowDefinition& definition = window.definition();

    struct CreationScope {
        bool& flag;
        explicit CreationScope(bool& f) : flag(f) { flag = true; }
        ~CreationScope() { flag = false; }
    } scope(creating_);

    auto outer_place = [&](UINT dpi) {
        const WindowDefinition outer{.width = scaled(definition.width, dpi),
                                     .height = scaled(definition.height, dpi)};
        const WindowPlace place = centred_place(outer, GetSystemMetrics(SM_CXSCREEN),
                                                GetSystemMetrics(SM_CYSCREEN));
        return RECT{place.left, place.top, place.left + outer.width, place.top + outer.height};
    };
    UINT dpi = system_dpi();
    RECT place = outer_place(dpi);
    DWORD style = WS_OVERLAPPED | WS_CAPTION | WS_SYSMENU;
    if (definition.minimise_box)
        style |= WS_MINIMIZEBOX;
    // A window without a taskbar button of its own belongs to the main window.
    const DWORD extended_style = definition.taskbar_button ? WS_EX_APPWINDOW : 0;
    FrameWindow* main = definition.taskbar_button ? nullptr : loaded(WindowId::main);
    Creation creation{this, &window};
    HWND handle = CreateWindowExW(extended_style, window_class_name,
                                  wide_from_gbk(definition.title).c_str(), style, place.left,
                                  place.top, place.right - place.left, place.bottom - place.top,
                                  main ? main->handle() : nullptr, nullptr, instance_, &creation);
    if (!handle) {
        slot.reset();
        return nullptr;
    }
    // With per-monitor DPI the primary display's DPI can differ from the system's.
    if (UINT actual = window_dpi(handle); actual != dpi) {
        dpi = actual;
        place = outer_place(dpi);
        SetWindowPos(handle, nullptr, place.left, place.top, place.right - place.left,
                     place.bottom - place.top, SWP_NOZORDER | SWP_NOACTIVATE);
    }
    if (!window.create_controls(dpi)) {
        DestroyWindow(handle);
        return nullptr;
    }
    for (ControlSlot& control : window.controls())
        if (control.definition->kind == ControlKind::timer && control.definition->period > 0)
            write_period(window, control, control.definition->period);
    return &window;
}

void Win32FrameImpl::show(FrameWindow& window)
{
    ShowWindow(window.handle(), SW_SHOWNORMAL);
    UpdateWindow(window.handle());
}

bool Win32FrameImpl::load_window(WindowId id)
{
    FrameWindow* window = create(id);
    if (!window)
        return false;
    const std::uint64_t serial = window->serial();
    raise(id, "", Event::created);
    if (FrameWindow* same = loaded(id, serial))
        show(*same);
    return true;
}

void Win32FrameImpl::load_window_modal(WindowId id)
{
    FrameWindow* window = create(id);
    if (!window)
        return;
    const std::uint64_t serial = window->serial();
    raise(id, "", Event::created);
    window = loaded(id, serial);
    if (!window)
        return;
    show(*window);
    std::vector<std::pair<WindowId, bool>> former;
    for (WindowId other : all_windows)
        if (FrameWindow* o = loaded(other); o && other != id) {
            former.emplace_back(other, IsWindowEnabled(o->handle()) != FALSE);
            EnableWindow(o->handle(), FALSE);
        }
    window->to_restore = std::move(former);
    try {
        pump_until([&] { return !loaded(id, serial); });
    } catch (...) {
        // A handler failed inside: do not leave the others disabled behind it.
        if (FrameWindow* still = loaded(id, serial))
            DestroyWindow(still->handle());
        throw;
    }
}

void Win32FrameImpl::restore(const std::vector<std::pair<WindowId, bool>>& states)
{
    for (auto [id, enabled] : states)
        if (FrameWindow* window = loaded(id))
            EnableWindow(window->handle(), enabled);
}

void Win32FrameImpl::close(FrameWindow& window)
{
    const WindowId id = window.id();
    const std::uint64_t serial = window.serial();
    raise(id, "", Event::can_be_closed);
    if (FrameWindow* same = loaded(id, serial)) {
        // Enabled again before this one goes, so the activation returns to them.
        restore(std::exchange(same->to_restore, {}));
        DestroyWindow(same->handle());
    }
}

void Win32FrameImpl::destroyed(FrameWindow& window)
{
    restore(std::exchange(window.to_restore, {}));
    windows_.at(static_cast<std::size_t>(window.id())).reset();
    if (tearing_down_ || !loop_entered_)
        return;
    for (WindowId id : all_windows)
        if (loaded(id))
            return;
    PostQuitMessage(0);
}

void Win32FrameImpl::show_message(std::string_view text, std::string_view title)
{
    // Task-modal with no owner: the system disables every window of the thread
    // and enables again those it disabled; its loop keeps the timers going.
    MessageBoxW(nullptr, wide_from_gbk(text).c_str(), wide_from_gbk(title).c_str(),
                MB_OK | MB_TASKMODAL);
    rethrow_pending();
}

void Win32FrameImpl::dispatch(const MSG& msg)
{
    if (handle_keys(msg))
        return;
    TranslateMessage(&msg);
    DispatchMessageW(&msg);
}

void Win32FrameImpl::pump_until(const std::function<bool()>& done)
{
    MSG msg;
    while (!done()) {
        const BOOL got = GetMessageW(&msg, nullptr, 0, 0);
        if (got <= 0) {
            // The end of the program belongs to the outermost loop.
            if (got == 0)
                PostQuitMessage(static_cast<int>(msg.wParam));
            return;
        }
        dispatch(msg);
        rethrow_pending();
    }
}

void Win32FrameImpl::run_message_loop()
{
    loop_entered_ = true;
    bool any = false;
    for (WindowId id : all_windows)
        any = any || loaded(id);
    if (!any)
        return;
    MSG msg;
    while (GetMessageW(&msg, nullptr, 0, 0) > 0) {
        dispatch(msg);
        rethrow_pending();
    }
}

bool Win32FrameImpl::handle_keys(const MSG& msg)
{
    const bool alt_f4 = msg.message == WM_SYSKEYDOWN && msg.wParam == VK_F4;
    if (!alt_f4 && (msg.message != WM_KEYDOWN || (msg.wParam != VK_TAB && msg.wParam != VK_ESCAPE)))
        return false;
    HWND root = GetAncestor(msg.hwnd, GA_ROOT);
    FrameWindow* window = window_of(root);
    if (!window)
        return false; // an opened combo list, a message box
    if (alt_f4) {
        // Some combo boxes keep every Alt key to themselves.
        SendMessageW(root, WM_SYSCOMMAND, SC_CLOSE, 0);
        return true;
    }
    if (msg.wParam == VK_TAB) {
        if (GetKeyState(VK_CONTROL) < 0 || GetKeyState(VK_MENU) < 0)
            return false;
        window->move_focus_by_tab(GetKeyState(VK_SHIFT) < 0);
        return true;
    }
    if (!window->definition().esc_closes)
        return false;
    // Whichever control has the focus, as if the close box had been clicked.
    SendMessageW(root, WM_SYSCOMMAND, SC_CLOSE, 0);
    return true;
}

void Win32FrameImpl::write_period(FrameWindow& window, ControlSlot& timer, std::int32_t period)
{
    period = period > 0 ? period : 0;
    if (period == timer.schedule.period())
        return; // a running timer is not restarted
    clock_->disarm(window.handle(), timer.id);
    timer.schedule.start(clock_->now(), period);
    if (timer.schedule.running())
        clock_->arm(window.handle(), timer.id, timer.schedule.delay_from(clock_->now()));
}

void Win32FrameImpl::on_timer(FrameWindow& window, UINT_PTR id)
{
    ControlSlot* timer = window.find_timer(id);
    if (!timer)
        return;
    const WindowId window_id = window.id();
    const std::uint64_t serial = window.serial();
    const std::string_view name = timer->definition->name;
    if (timer->schedule.fire(clock_->now()))
        raise(window_id, name, Event::periodic);
    // The handler may have stopped the timer or closed its window.
    FrameWindow* same = loaded(window_id, serial);
    if (!same)
        return;
    timer = same->find_timer(id);
    if (timer->schedule.running())
        clock_->arm(same->handle(), id, timer->schedule.delay_from(clock_->now()));
    else
        clock_->disarm(same->handle(), id);
}

void Win32FrameImpl::on_command(FrameWindow& window, HWND control, UINT code)
{
    const ControlSlot* slot = window.find(control);
    if (!slot)
        return;
    const ControlKind kind = slot->definition->kind;
    if ((kind == ControlKind::button || kind == ControlKind::check_box) && code == BN_CLICKED)
        raise(window.id(), slot->definition->name, Event::clicked);
    // Sent for every pick from the list, the item already selected included.
    else if (kind == ControlKind::combo_box && code == CBN_SELENDOK)
        raise(window.id(), slot->definition->name, Event::list_item_selected);
}

LRESULT Win32FrameImpl::on_colour(FrameWindow& window, HDC dc, HWND control, UINT message,
                                  WPARAM wparam, LPARAM lparam)
{
    const ControlSlot* slot = window.find(control);
    if (!slot)
        return DefWindowProcW(window.handle(), message, wparam, lparam);
    const Rgb colour = slot->definition->text_colour;
    SetTextColor(dc, RGB(colour.red, colour.green, colour.blue));
    if (slot->definition->kind == ControlKind::trans_label) {
        // Only the text: whatever lies beneath shows around it.
        SetBkMode(dc, TRANSPARENT);
        return reinterpret_cast<LRESULT>(GetStockObject(NULL_BRUSH));
    }
    SetBkColor(dc, GetSysColor(COLOR_BTNFACE));
    return reinterpret_cast<LRESULT>(GetSysColorBrush(COLOR_BTNFACE));
}

void Win32FrameImpl::on_dpi_changed(FrameWindow& window, UINT dpi, const RECT& suggested)
{
    window.change_dpi(dpi);
    SetWindowPos(window.handle(), nullptr, suggested.left, suggested.top,
                 suggested.right - suggested.left, suggested.bottom - suggested.top,
                 SWP_NOZORDER | SWP_NOACTIVATE);
}

LRESULT Win32FrameImpl::handle_message(FrameWindow& window, UINT message, WPARAM wparam,
                                       LPARAM lparam)
{
    HWND handle = window.handle();
    switch (message) {
    case WM_COMMAND:
        if (lparam)
            on_command(window, reinterpret_cast<HWND>(lparam), HIWORD(wparam));
        return 0;
    case WM_CTLCOLORSTATIC:
    case WM_CTLCOLORBTN:
        return on_colour(window, reinterpret_cast<HDC>(wparam), reinterpret_cast<HWND>(lparam),
                         message, wparam, lparam);
    case WM_TIMER:
        on_timer(window, wparam);
        return 0;
    case WM_CLOSE:
        // A window disabled under a modal one or a message box waits for it.
        if (IsWindowEnabled(handle))
            close(window);
        return 0;
    case WM_QUERYENDSESSION:
        // Only the main window has a close handler; the question closes nothing.
        if (window.id() == WindowId::main)
            raise(WindowId::main, "", Event::can_be_closed);
        return TRUE;
    case WM_ACTIVATE:
        if (LOWORD(wparam) == WA_INACTIVE)
            window.remember_focus_on_deactivation();
        else if (!HIWORD(wparam))
            window.restore_focus();
        return 0;
    case WM_SETFOCUS:
        window.restore_focus();
        return 0;
    case WM_DPICHANGED:
        on_dpi_changed(window, LOWORD(wparam), *reinterpret_cast<const RECT*>(lparam));
        return 0;
    case WM_DESTROY:
        for (ControlSlot& control : window.controls())
            if (control.definition->kind == ControlKind::timer)
                clock_->disarm(handle, control.id);
        restore(std::exchange(window.to_restore, {}));
        return 0;
    case WM_NCDESTROY: {
        const LRESULT result = DefWindowProcW(handle, message, wparam, lparam);
        SetWindowLongPtrW(handle, window_slot, 0);
        destroyed(window);
        return result;
    }
    default:
        return DefWindowProcW(handle, message, wparam, lparam);
    }
}

LRESULT CALLBACK Win32FrameImpl::window_procedure(HWND handle, UINT message, WPARAM wparam,
                                                  LPARAM lparam)
{
    if (message == WM_NCCREATE) {
        auto* creation = static_cast<Creation*>(reinterpret_cast<CREATESTRUCTW*>(lparam)->lpCreateParams);
        creation->window->attach(handle);
        SetWindowLongPtrW(handle, frame_slot, reinterpret_cast<LONG_PTR>(creation->frame));
        SetWindowLongPtrW(handle, window_slot, reinterpret_cast<LONG_PTR>(creation->window));
    }
    auto* frame = reinterpret_cast<Win32FrameImpl*>(GetWindowLongPtrW(handle, frame_slot));
    auto* window = reinterpret_cast<FrameWindow*>(GetWindowLongPtrW(handle, window_slot));
    if (!frame || !window)
        return DefWindowProcW(handle, message, wparam, lparam);
    // No exception may cross the system's code between here and the loop.
    try {
        return frame->handle_message(*window, message, wparam, lparam);
    } catch (...) {
        frame->pending_ = std::current_exception();
        return 0;
    }
}

PropertyValue Win32FrameImpl::get_property(Control control, Property property)
{
    if (control.name.empty())
        return read_window_property(window_or_throw(control.window).handle(), property);
    return read_control_property(control_or_throw(control), property);
}

void Win32FrameImpl::set_property(Control control, Property property, const PropertyValue& value)
{
    FrameWindow& window = window_or_throw(control.window);
    if (control.name.empty()) {
        write_window_property(window.handle(), property, value);
        return;
    }
    ControlSlot& slot = control_or_throw(control);
    if (property != Property::period) {
        write_control_property(slot, property, value);
        return;
    }
    if (slot.definition->kind != ControlKind::timer)
        frame_misuse("property not writable on ", control.name);
    write_period(window, slot, property_int(value));
}

void Win32FrameImpl::move_focus(Control control)
{
    FrameWindow& window = window_or_throw(control.window);
    HWND target = window.handle();
    if (!control.name.empty()) {
        ControlSlot& slot = control_or_throw(control);
        if (!slot.handle)
            return;
        target = slot.handle;
        window.remember_focus(target);
    }
    // A window not shown yet, or disabled, gets it when it is next activated.
    if (IsWindowVisible(window.handle()) && IsWindowEnabled(window.handle()))
        SetFocus(target);
}

Text Win32FrameImpl::combo_item_text(Control combo, std::int32_t index)
{
    const ControlSlot& slot = control_or_throw(combo);
    if (slot.definition->kind != ControlKind::combo_box)
        frame_misuse("not a combo box: ", combo.name);
    return combo_item(slot.handle, index);
}
} // namespace

std::unique_ptr<Win32Frame> make_win32_frame(std::unique_ptr<TimerClock> clock)
{
    declare_dpi_awareness();
    return std::make_unique<Win32FrameImpl>(std::move(clock));
}

std::unique_ptr<Win32Frame> make_win32_frame()
{
    return make_win32_frame(make_system_timer_clock());
}
