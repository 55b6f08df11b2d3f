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
    const int width = GetSystemMetrics(SM_CXSCREEN), height = GetSystemMetrics(SM_CYSCREEN);
    INPUT inputs[3]{};
    for (INPUT& input : inputs) {
        input.type = INPUT_MOUSE;
        input.mi.dx = MulDiv(screen.x, 65535, width - 1);
        input.mi.dy = MulDiv(screen.y, 65535, height - 1);
    }
    inputs[0].mi.dwFlags = MOUSEEVENTF_MOVE | MOUSEEVENTF_ABSOLUTE;
    inputs[1].mi.dwFlags = MOUSEEVENTF_LEFTDOWN | MOUSEEVENTF_ABSOLUTE;
    inputs[2].mi.dwFlags = MOUSEEVENTF_LEFTUP | MOUSEEVENTF_ABSOLUTE;
    SendInput(3, inputs, sizeof(INPUT));
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
