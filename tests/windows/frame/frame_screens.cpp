// Pictures of the three windows and the reset message box as the Win32 frame
// shows them, written as BMP files into the folder given: main.bmp,
// notice.bmp, instructions.bmp, message.bmp. Captions are filled in as the
// program's handlers fill them (device one, stage one).
#include <string>

#include <windows.h>

#include "app/controls.h"
#include "app/win32/win32_frame.h"
#include "tests/windows/frame/user_input.h"
#include "tests/windows/frame/window_capture.h"

namespace {
std::wstring folder;
bool all_saved = true;

void save(HWND window, const wchar_t* name)
{
    pump_until_idle(200);
    all_saved = save_bmp(capture_window(window, true), (folder + L"\\" + name).c_str()) && all_saved;
}

HWND message_box()
{
    HWND found = nullptr;
    EnumThreadWindows(
        GetCurrentThreadId(),
        [](HWND w, LPARAM out) -> BOOL {
            wchar_t name[16] = {};
            GetClassNameW(w, name, 16);
            if (std::wstring_view(name) != L"#32770" || !IsWindowVisible(w))
                return TRUE;
            *reinterpret_cast<HWND*>(out) = w;
            return FALSE;
        },
        reinterpret_cast<LPARAM>(&found));
    return found;
}

// Runs inside the message box's own loop.
void CALLBACK capture_message_box(HWND, UINT, UINT_PTR timer, DWORD)
{
    HWND box = message_box();
    if (!box)
        return;
    KillTimer(nullptr, timer);
    save(box, L"message.bmp");
    PostMessageW(box, WM_COMMAND, IDOK, 0);
}
} // namespace

int wmain(int argc, wchar_t** argv)
{
    if (argc < 2)
        return 2;
    folder = argv[1];
    CreateDirectoryW(folder.c_str(), nullptr);
    auto frame = make_win32_frame();

    frame->load_window(WindowId::main);
    save(frame->window_handle(WindowId::main), L"main.bmp");

    frame->load_window(WindowId::notice);
    set_caption(*frame, notice_window::choice_label, "设备编号：设备一    所选阶段：第一阶段");
    set_caption(*frame, notice_window::advice_label,
                "请根据当前播放的音乐调整系统音量为正常听歌音量，确认红色信息无误后关闭本窗口，"
                "程序将根据所选阶段适合的音量进行调整。");
    save(frame->window_handle(WindowId::notice), L"notice.bmp");
    DestroyWindow(frame->window_handle(WindowId::notice));

    frame->load_window(WindowId::instructions);
    frame->move_focus(instructions_window::cover_label);
    save(frame->window_handle(WindowId::instructions), L"instructions.bmp");
    DestroyWindow(frame->window_handle(WindowId::instructions));

    SetTimer(nullptr, 0, 300, capture_message_box);
    frame->show_message("【设备一】计时清除完毕", "提示");
    return all_saved ? 0 : 1;
}
