// The Win32 frame driven for tests.
#include "tests/windows/frame/win32_driver.h"

#include <stdexcept>
#include <string>

#include "app/win32/wide_text.h"
#include "tests/windows/frame/user_input.h"

namespace {
constexpr wchar_t helper_class[] = L"BurninTestDriverHelper";
constexpr WindowId all_windows[] = {WindowId::main, WindowId::notice, WindowId::instructions};
// Where the message box keeps its text.
constexpr int message_text_id = 0xFFFF;

Text text_of(HWND window)
{
    wchar_t text[1024] = {};
    GetWindowTextW(window, text, 1024);
    return gbk_from_wide(text);
}

HWND require(HWND window, const char* what)
{
    if (!window)
        throw std::logic_error(what);
    return window;
}
} // namespace

Win32Driver::Win32Driver()
{
    auto clock = std::make_unique<VirtualTimerClock>();
    clock_ = clock.get();
    frame_ = make_win32_frame(std::move(clock));
    WNDCLASSEXW window_class{};
    window_class.cbSize = sizeof window_class;
    window_class.lpfnWndProc = helper_procedure;
    window_class.hInstance = GetModuleHandleW(nullptr);
    window_class.lpszClassName = helper_class;
    RegisterClassExW(&window_class);
    helper_ = CreateWindowExW(0, helper_class, L"", 0, 0, 0, 0, 0, HWND_MESSAGE, nullptr,
                              GetModuleHandleW(nullptr), nullptr);
    SetWindowLongPtrW(helper_, GWLP_USERDATA, reinterpret_cast<LONG_PTR>(this));
}

Win32Driver::~Win32Driver()
{
    frame_.reset();
    DestroyWindow(helper_);
    UnregisterClassW(helper_class, GetModuleHandleW(nullptr));
    // Nothing of this test may end the next one's loop.
    MSG msg;
    while (PeekMessageW(&msg, nullptr, WM_QUIT, WM_QUIT, PM_REMOVE)) {
    }
}

LRESULT CALLBACK Win32Driver::helper_procedure(HWND handle, UINT message, WPARAM wparam,
                                               LPARAM lparam)
{
    auto* driver = reinterpret_cast<Win32Driver*>(GetWindowLongPtrW(handle, GWLP_USERDATA));
    if (!driver || (message != WM_APP && message != WM_TIMER))
        return DefWindowProcW(handle, message, wparam, lparam);
    auto found = driver->pending_.find(wparam);
    if (found == driver->pending_.end())
        return 0;
    if (!found->second.ready()) {
        SetTimer(handle, wparam, 10, nullptr);
        return 0;
    }
    KillTimer(handle, wparam);
    std::function<void()> step = std::move(found->second.step);
    driver->pending_.erase(found);
    step();
    return 0;
}

void Win32Driver::post_when(std::function<bool()> ready, std::function<void()> step)
{
    const UINT_PTR id = next_pending_++;
    pending_[id] = {std::move(ready), std::move(step)};
    PostMessageW(helper_, WM_APP, id, 0);
}

void Win32Driver::click(Control c)
{
    click_centre(require(control(c), "no window for that control"));
}

void Win32Driver::select_item(Control combo, std::int32_t index)
{
    HWND box = require(control(combo), "no such combo box");
    click_centre(box);
    auto dropped = [&] { return SendMessageW(box, CB_GETDROPPEDSTATE, 0, 0) != 0; };
    if (!pump_until(dropped, 1000))
        return; // a disabled box does not open
    COMBOBOXINFO info{};
    info.cbSize = sizeof info;
    GetComboBoxInfo(box, &info);
    // The list is placed and shown after the box reports itself dropped.
    pump_until([&] { return IsWindowVisible(info.hwndList) != FALSE; }, 1000);
    pump_until_idle();
    RECT item{};
    SendMessageW(info.hwndList, LB_GETITEMRECT, static_cast<WPARAM>(index),
                 reinterpret_cast<LPARAM>(&item));
    POINT centre{(item.left + item.right) / 2, (item.top + item.bottom) / 2};
    ClientToScreen(info.hwndList, &centre);
    click_at(centre);
}

void Win32Driver::request_close(WindowId id)
{
    HWND handle = require(window(id), "window not loaded");
    PostMessageW(handle, WM_SYSCOMMAND, SC_CLOSE, 0);
    pump_until_idle(20);
}

void Win32Driver::advance(std::int32_t milliseconds)
{
    clock_->advance(milliseconds, [] { pump_messages(); });
}

void Win32Driver::on_modal(std::function<void(WindowId)> answer)
{
    modal_answer_ = std::move(answer);
}

void Win32Driver::on_message(std::function<void(std::string_view, std::string_view)> answer)
{
    message_answer_ = std::move(answer);
}

void Win32Driver::close_all_left()
{
    for (auto it = std::rbegin(all_windows); it != std::rend(all_windows); ++it)
        if (HWND handle = window(*it)) {
            EnableWindow(handle, TRUE);
            request_close(*it);
        }
}

void Win32Driver::run_loop(std::function<void()> script)
{
    post_when([] { return true; },
              [this, script] {
                  script();
                  close_all_left();
              });
    frame_->run_message_loop();
}

void Win32Driver::run_steps(std::vector<std::function<void()>> steps, int gap_ms)
{
    auto shared = std::make_shared<std::vector<std::function<void()>>>(std::move(steps));
    auto next = std::make_shared<std::function<void(std::size_t)>>();
    *next = [this, shared, next, gap_ms](std::size_t i) {
        const ULONGLONG start = GetTickCount64();
        post_when([start, gap_ms] { return GetTickCount64() - start >= static_cast<ULONGLONG>(gap_ms); },
                  [this, shared, next, i] {
                      if (i == shared->size()) {
                          close_all_left();
                          return;
                      }
                      (*shared)[i]();
                      (*next)(i + 1);
                  });
    };
    // Steps left when the loop ended early (the last window closed, a handler
    // failed) never run.
    struct Cleanup {
        Win32Driver& driver;
        std::function<void(std::size_t)>& next;
        ~Cleanup()
        {
            for (const auto& entry : driver.pending_)
                KillTimer(driver.helper_, entry.first);
            driver.pending_.clear();
            next = nullptr; // breaks the cycle
        }
    } cleanup{*this, *next};
    (*next)(0);
    frame_->run_message_loop();
}

HWND Win32Driver::message_box()
{
    HWND found = nullptr;
    EnumThreadWindows(
        GetCurrentThreadId(),
        [](HWND handle, LPARAM result) -> BOOL {
            wchar_t name[16] = {};
            GetClassNameW(handle, name, 16);
            if (std::wstring_view(name) == L"#32770" && IsWindowVisible(handle)) {
                *reinterpret_cast<HWND*>(result) = handle;
                return FALSE;
            }
            return TRUE;
        },
        reinterpret_cast<LPARAM>(&found));
    return found;
}

bool Win32Driver::is_loaded(WindowId id)
{
    return window(id) != nullptr;
}

bool Win32Driver::is_shown(WindowId id)
{
    HWND handle = window(id);
    return handle && IsWindowVisible(handle);
}

bool Win32Driver::is_enabled(WindowId id)
{
    return IsWindowEnabled(require(window(id), "window not loaded")) != FALSE;
}

void Win32Driver::set_window_enabled(WindowId id, bool enabled)
{
    EnableWindow(require(window(id), "window not loaded"), enabled);
}

bool Win32Driver::loop_end_requested()
{
    MSG msg;
    return PeekMessageW(&msg, nullptr, WM_QUIT, WM_QUIT, PM_NOREMOVE) != FALSE;
}

PropertyValue Win32Driver::WatchedFrame::get_property(Control c, Property p)
{
    return driver_.frame_->get_property(c, p);
}

void Win32Driver::WatchedFrame::set_property(Control c, Property p, const PropertyValue& v)
{
    driver_.frame_->set_property(c, p, v);
}

void Win32Driver::WatchedFrame::move_focus(Control c)
{
    driver_.frame_->move_focus(c);
}

void Win32Driver::WatchedFrame::load_window_modal(WindowId window)
{
    if (driver_.modal_answer_) {
        Win32Driver& d = driver_;
        d.post_when([&d, window] { return d.is_shown(window); },
                    [&d, window] {
                        auto answer = d.modal_answer_; // the answer may replace itself
                        answer(window);
                        if (d.is_loaded(window))
                            d.request_close(window);
                    });
    }
    driver_.frame_->load_window_modal(window);
}

void Win32Driver::WatchedFrame::show_message(std::string_view text, std::string_view title)
{
    Win32Driver& d = driver_;
    d.post_when([&d] { return d.message_box() != nullptr; },
                [&d] {
                    HWND box = d.message_box();
                    if (d.message_answer_) {
                        auto answer = d.message_answer_;
                        answer(text_of(GetDlgItem(box, message_text_id)), text_of(box));
                    }
                    click_centre(GetDlgItem(box, IDOK));
                });
    driver_.frame_->show_message(text, title);
}

Text Win32Driver::WatchedFrame::combo_item_text(Control combo, std::int32_t index)
{
    return driver_.frame_->combo_item_text(combo, index);
}

void Win32Driver::WatchedFrame::set_event_sink(EventSink* sink)
{
    driver_.frame_->set_event_sink(sink);
}

bool Win32Driver::WatchedFrame::load_window(WindowId window)
{
    return driver_.frame_->load_window(window);
}

void Win32Driver::WatchedFrame::run_message_loop()
{
    driver_.frame_->run_message_loop();
}
