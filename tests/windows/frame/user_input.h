// Real input for the tests (SendInput mouse clicks and key presses) and
// pumping the thread's messages until that input has been handled.
#pragma once

#include <functional>
#include <initializer_list>

#include <windows.h>

// Dispatches what is queued now; false if it met WM_QUIT (which it leaves queued).
bool pump_messages();
// Pumps until nothing has arrived for quiet_ms, or at most cap_ms.
void pump_until_idle(int quiet_ms = 40, int cap_ms = 3000);
// Pumps until the condition holds, at most cap_ms; returns the condition.
bool pump_until(const std::function<bool()>& condition, int cap_ms = 3000);

void click_at(POINT screen);
void click_centre(HWND window);
// Presses and releases the key with the modifiers held down around it.
void press_key(WORD key, std::initializer_list<WORD> modifiers = {});
