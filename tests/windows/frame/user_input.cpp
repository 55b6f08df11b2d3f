// SendInput clicks and keys, and message pumping for the tests.
#include "tests/windows/frame/user_input.h"

#include <vector>

bool pump_messages()
{
    MSG msg;
    while (PeekMessageW(&msg, nullptr, 0, 0, PM_REMOVE)) {
        if (msg.message == WM_QUIT) {
            PostQuitMessage(static_cast<int>(msg.wParam));
            return false;
        }
        TranslateMessage(&msg);
        DispatchMessageW(&msg);
    }
    return true;
}

void pump_until_idle(int quiet_ms, int cap_ms)
{
    const ULONGLONG start = GetTickCount64();
    ULONGLONG last_busy = start;
    while (GetTickCount64() - start < static_cast<ULONGLONG>(cap_ms)) {
        if (GetQueueStatus(QS_ALLINPUT)) {
            if (!pump_messages())
                return;
            last_busy = GetTickCount64();
        } else if (GetTickCount64() - last_busy >= static_cast<ULONGLONG>(quiet_ms)) {
            return;
        }
        MsgWaitForMultipleObjects(0, nullptr, FALSE, 5, QS_ALLINPUT);
    }
}

bool pump_until(const std::function<bool()>& condition, int cap_ms)
{
    const ULONGLONG start = GetTickCount64();
    while (!condition()) {
        if (GetTickCount64() - start >= static_cast<ULONGLONG>(cap_ms))
            return false;
        if (!pump_messages())
            return condition();
        MsgWaitForMultipleObjects(0, nullptr, FALSE, 5, QS_ALLINPUT);
    }
    return true;
}

void click_at(POINT screen)
{
    // Two clicks close together in time and place would be a double click.
    static ULONGLONG last_click = 0;
    const ULONGLONG double_click = GetDoubleClickTime();
    pump_until([&] { return GetTickCount64() - last_click > double_click; },
               static_cast<int>(double_click) + 100);

    const int width = GetSystemMetrics(SM_CXSCREEN), height = GetSystemMetrics(SM_CYSCREEN);
    auto mouse = [&](DWORD flags) {
        INPUT input{};
        input.type = INPUT_MOUSE;
        input.mi.dx = MulDiv(screen.x, 65535, width - 1);
        input.mi.dy = MulDiv(screen.y, 65535, height - 1);
        input.mi.dwFlags = flags | MOUSEEVENTF_ABSOLUTE;
        SendInput(1, &input, sizeof input);
    };
    // The pointer first, and the buttons once it is there and stays there:
    // sent together, the buttons may go where the pointer was before.
    auto pointer_there = [&] {
        POINT at{};
        GetCursorPos(&at);
        return at.x == screen.x && at.y == screen.y;
    };
    for (int attempt = 0; attempt < 5; ++attempt) {
        mouse(MOUSEEVENTF_MOVE);
        pump_until(pointer_there);
        pump_until_idle();
        if (pointer_there())
            break;
    }
    mouse(MOUSEEVENTF_MOVE | MOUSEEVENTF_LEFTDOWN);
    mouse(MOUSEEVENTF_MOVE | MOUSEEVENTF_LEFTUP);
    last_click = GetTickCount64();
    pump_until_idle();
}

void click_centre(HWND window)
{
    RECT place;
    GetWindowRect(window, &place);
    click_at({(place.left + place.right) / 2, (place.top + place.bottom) / 2});
}

void press_key(WORD key, std::initializer_list<WORD> modifiers)
{
    std::vector<INPUT> inputs;
    auto add = [&](WORD k, bool up) {
        INPUT input{};
        input.type = INPUT_KEYBOARD;
        input.ki.wVk = k;
        input.ki.dwFlags = up ? KEYEVENTF_KEYUP : 0;
        inputs.push_back(input);
    };
    for (WORD m : modifiers)
        add(m, false);
    add(key, false);
    add(key, true);
    for (auto it = std::rbegin(modifiers); it != std::rend(modifiers); ++it)
        add(*it, true);
    SendInput(static_cast<UINT>(inputs.size()), inputs.data(), sizeof(INPUT));
}
