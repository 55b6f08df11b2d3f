// The real Windows program under Wine, driven from outside as a user would:
// mouse clicks and keys on its windows, the close box, the message box. After
// each scenario: the progress files byte for byte, and what the null sink
// heard (sound soon after a start, silence soon after a stop or close, the
// heard level at the stage share and back). Run by program_test.sh, which
// records the sink and names the dist folder and a work folder.
#include <gtest/gtest.h>

#include <windows.h>

#include <algorithm>
#include <array>
#include <cmath>
#include <cstdio>
#include <cstring>
#include <functional>
#include <string>
#include <thread>
#include <vector>

#include "progress/date_text.h"
#include "tests/windows/program/program_windows.h"
#include "tests/windows/frame/user_input.h"
#include "tests/windows/sound/sink_recording.h"

namespace {

const std::wstring main_title = L"Orvane耳机专用煲机软件 V1.0";
const std::wstring notice_title = L"提示";
const std::string zero = "0小时00分00秒";

std::wstring env(const wchar_t* name)
{
    std::wstring value(32768, L'\0');
    DWORD n = GetEnvironmentVariableW(name, value.data(), static_cast<DWORD>(value.size()));
    value.resize(n < value.size() ? n : 0);
    return value;
}

std::string read_bytes(const std::wstring& path)
{
    HANDLE file = CreateFileW(path.c_str(), GENERIC_READ, FILE_SHARE_READ | FILE_SHARE_WRITE | FILE_SHARE_DELETE,
                              nullptr, OPEN_EXISTING, 0, nullptr);
    if (file == INVALID_HANDLE_VALUE)
        return "<missing>";
    std::string bytes;
    char chunk[4096];
    DWORD got = 0;
    while (ReadFile(file, chunk, sizeof chunk, &got, nullptr) && got > 0)
        bytes.append(chunk, got);
    CloseHandle(file);
    return bytes;
}

void write_bytes(const std::wstring& path, const std::string& bytes)
{
    HANDLE file = CreateFileW(path.c_str(), GENERIC_WRITE, 0, nullptr, CREATE_ALWAYS, 0, nullptr);
    ASSERT_NE(file, INVALID_HANDLE_VALUE);
    DWORD written = 0;
    WriteFile(file, bytes.data(), static_cast<DWORD>(bytes.size()), &written, nullptr);
    CloseHandle(file);
}

// The progress file as the program writes it.
std::string progress_file(const std::string& date, const std::array<std::string, 3>& today,
                          const std::array<std::string, 3>& total)
{
    return "[Today]\r\nCurrent date=" + date + "\r\nStage one=" + today[0] + "\r\nStage two=" + today[1] +
           "\r\nStage three=" + today[2] + "\r\n[Aggregate]\r\nStage one=" + total[0] + "\r\nStage two=" +
           total[1] + "\r\nStage three=" + total[2] + "\r\n";
}

std::string today() { return today_date_text(SystemClock{}); }

bool wait_for(const std::function<bool()>& condition, int cap_ms = 5000)
{
    const ULONGLONG until = GetTickCount64() + static_cast<ULONGLONG>(cap_ms);
    while (GetTickCount64() < until) {
        if (condition())
            return true;
        Sleep(2);
    }
    return condition();
}

// One program started from a folder of its own.
class RunningProgram {
public:
    explicit RunningProgram(const std::wstring& folder)
    {
        std::wstring exe = folder + L"\\burnin.exe";
        STARTUPINFOW startup{};
        startup.cb = sizeof startup;
        // No working folder given: the program enters its own folder itself.
        if (CreateProcessW(exe.c_str(), nullptr, nullptr, nullptr, FALSE, 0, nullptr, nullptr, &startup, &process_))
            started_ = true;
    }
    // The program the calling script started, found by its main window.
    RunningProgram()
    {
        HWND main = nullptr;
        wait_for([&] { return (main = FindWindowW(nullptr, main_title.c_str())) != nullptr; }, 30000);
        if (!main)
            return;
        GetWindowThreadProcessId(main, &process_.dwProcessId);
        process_.hProcess = OpenProcess(SYNCHRONIZE | PROCESS_QUERY_LIMITED_INFORMATION | PROCESS_TERMINATE, FALSE,
                                        process_.dwProcessId);
        started_ = process_.hProcess != nullptr;
    }
    ~RunningProgram()
    {
        if (!started_)
            return;
        if (WaitForSingleObject(process_.hProcess, 0) == WAIT_TIMEOUT)
            TerminateProcess(process_.hProcess, 99);
        if (process_.hThread)
            CloseHandle(process_.hThread);
        CloseHandle(process_.hProcess);
    }
    RunningProgram(const RunningProgram&) = delete;
    RunningProgram& operator=(const RunningProgram&) = delete;

    bool started() const { return started_; }

    // The program's visible top-level window with this title, or null.
    HWND window(const std::wstring& title) const
    {
        struct Search {
            DWORD pid;
            const std::wstring* title;
            HWND found;
        } search{process_.dwProcessId, &title, nullptr};
        EnumWindows(
            [](HWND w, LPARAM p) -> BOOL {
                auto* s = reinterpret_cast<Search*>(p);
                DWORD pid = 0;
                GetWindowThreadProcessId(w, &pid);
                if (pid == s->pid && IsWindowVisible(w) && text_of(w) == *s->title) {
                    s->found = w;
                    return FALSE;
                }
                return TRUE;
            },
            reinterpret_cast<LPARAM>(&search));
        return search.found;
    }

    // Generous: a launch under Wine on a busy machine has taken 7 s.
    HWND wait_window(const std::wstring& title) const
    {
        HWND found = nullptr;
        wait_for([&] { return (found = window(title)) != nullptr; }, 30000);
        return found;
    }

    static HWND control(HWND parent, const std::wstring& caption) { return find_control(parent, caption); }

    // The six duration labels: today's three (left group), then the totals.
    static std::array<std::string, 6> durations(HWND main)
    {
        struct Label {
            RECT place;
            std::wstring text;
        };
        std::vector<Label> labels;
        EnumChildWindows(
            main,
            [](HWND w, LPARAM p) -> BOOL {
                wchar_t kind[32] = {};
                GetClassNameW(w, kind, 32);
                std::wstring text = text_of(w);
                if (lstrcmpiW(kind, L"Static") == 0 && text.find(L"秒") != std::wstring::npos) {
                    RECT place;
                    GetWindowRect(w, &place);
                    reinterpret_cast<std::vector<Label>*>(p)->push_back({place, text});
                }
                return TRUE;
            },
            reinterpret_cast<LPARAM>(&labels));
        std::sort(labels.begin(), labels.end(), [](const Label& a, const Label& b) {
            return a.place.left != b.place.left ? a.place.left < b.place.left : a.place.top < b.place.top;
        });
        std::array<std::string, 6> texts;
        for (std::size_t i = 0; i < labels.size() && i < 6; ++i) {
            const std::wstring& w = labels[i].text;
            int n = WideCharToMultiByte(936, 0, w.data(), static_cast<int>(w.size()), nullptr, 0, nullptr, nullptr);
            texts[i].resize(static_cast<std::size_t>(n));
            WideCharToMultiByte(936, 0, w.data(), static_cast<int>(w.size()), texts[i].data(), n, nullptr, nullptr);
        }
        return texts;
    }

    // Clicks that button or check box of the main window, as BM_CLICK does
    // (a synthetic mouse click can be lost while Wine maps a new window);
    // false when it is not there.
    bool click(const std::wstring& caption) const
    {
        HWND target = control(window(main_title), caption);
        if (!target)
            return false;
        PostMessageW(target, BM_CLICK, 0, 0);
        return true;
    }

    // Picks an item of a drop-down list below the one it shows now.
    void select_below(const std::wstring& shown_caption, int steps) const
    {
        HWND main = window(main_title);
        HWND combo = control(main, shown_caption);
        ASSERT_NE(combo, nullptr) << "no list showing that item";
        // Mouse and keys go to the active window: let Wine finish showing it.
        ASSERT_TRUE(wait_for([&] { return GetForegroundWindow() == main; })) << "the main window is not active";
        click_centre(combo);
        for (int i = 0; i < steps; ++i)
            press_key(VK_DOWN);
        press_key(VK_RETURN);
    }

    // As the close box does.
    static void close(HWND window) { PostMessageW(window, WM_SYSCOMMAND, SC_CLOSE, 0); }

    bool ended_cleanly(int cap_ms = 8000) const
    {
        DWORD code = 1;
        return WaitForSingleObject(process_.hProcess, static_cast<DWORD>(cap_ms)) == WAIT_OBJECT_0 &&
               GetExitCodeProcess(process_.hProcess, &code) && code == 0;
    }

private:
    PROCESS_INFORMATION process_{};
    bool started_ = false;
};

bool enabled(HWND control) { return control && IsWindowEnabled(control); }

double rms(const std::vector<std::int16_t>& left, std::int64_t from, std::int64_t count)
{
    double sum = 0;
    std::int64_t n = 0;
    for (std::int64_t i = from; i < from + count && i < static_cast<std::int64_t>(left.size()); ++i, ++n)
        sum += static_cast<double>(left[static_cast<std::size_t>(i)]) * left[static_cast<std::size_t>(i)];
    return n ? std::sqrt(sum / static_cast<double>(n)) : 0;
}

std::int64_t ms_to_instants(double ms) { return static_cast<std::int64_t>(ms * recording_rate / 1000); }

class ProgramRun : public ::testing::Test {
protected:
    void SetUp() override
    {
        if (!recording.available())
            GTEST_SKIP() << "no recording of the sink: run program_test.sh";
        std::wstring work = env(L"BURNIN_WORK");
        ASSERT_FALSE(work.empty());
        folder = work + L"\\" + test_name();
        copy_program(folder);
    }

    static std::wstring test_name()
    {
        const char* name = ::testing::UnitTest::GetInstance()->current_test_info()->name();
        return std::wstring(name, name + std::strlen(name));
    }

    // The dist folder's program and tracks, copied into a fresh folder.
    static void copy_program(const std::wstring& into)
    {
        std::wstring dist = env(L"BURNIN_DIST");
        ASSERT_FALSE(dist.empty());
        for (std::size_t cut = into.find(L'\\', 3); cut != std::wstring::npos; cut = into.find(L'\\', cut + 1))
            CreateDirectoryW(into.substr(0, cut).c_str(), nullptr);
        ASSERT_TRUE(CreateDirectoryW(into.c_str(), nullptr) || GetLastError() == ERROR_ALREADY_EXISTS);
        ASSERT_TRUE(CreateDirectoryW((into + L"\\File").c_str(), nullptr) || GetLastError() == ERROR_ALREADY_EXISTS);
        for (const wchar_t* name : {L"burnin.exe", L"libmpg123-0.dll", L"File\\1.mp3", L"File\\2.mp3", L"File\\3.mp3"})
            ASSERT_TRUE(CopyFileW((dist + L"\\" + name).c_str(), (into + L"\\" + name).c_str(), FALSE));
    }

    std::wstring ini(int device) const { return folder + L"\\File\\" + std::to_wstring(device) + L".ini"; }

    void report(const char* what, double value, const char* unit = "ms")
    {
        std::printf("FIGURE %s %.2f %s\n", what, value, unit);
    }

    SinkRecording recording;
    std::wstring folder;
};

// Auto volume on: the notice window plays the track at the user's volume,
// the run plays it at 30 percent, the stop silences it and restores the
// volume (heard at full level in the next notice window), and closing during
// the next run silences it and saves.
TEST_F(ProgramRun, AutoVolumeRunsThenCloseDuringARun)
{
    RunningProgram program(folder);
    ASSERT_TRUE(program.started());
    HWND main = program.wait_window(main_title);
    ASSERT_NE(main, nullptr) << "no main window";
    HWND start = RunningProgram::control(main, L"开始煲机");

    // Starts a run through the notice window, which plays for a while.
    auto start_through_notice = [&](std::int64_t& clicked, std::int64_t& closed) {
        clicked = recording.position();
        ASSERT_TRUE(program.click(L"开始煲机"));
        HWND notice = program.wait_window(notice_title);
        ASSERT_NE(notice, nullptr) << "no notice window";
        Sleep(1200);
        closed = recording.position();
        RunningProgram::close(notice);
        ASSERT_TRUE(wait_for([&] { return !enabled(start); })) << "the run did not start";
    };
    std::int64_t clicked_start = 0, closed_notice = 0;
    start_through_notice(clicked_start, closed_notice);
    Sleep(2500);
    std::int64_t clicked_stop = recording.position();
    ASSERT_TRUE(program.click(L"停止煲机"));
    // The stop handler enables 按钮1 right before it stops the track: from
    // then on the handler, not the mouse's way through Wine, is timed.
    ASSERT_TRUE(wait_for([&] { return enabled(start); }));
    std::int64_t stop_handled = recording.position();
    Sleep(400);
    EXPECT_EQ(read_bytes(ini(1)), progress_file(today(), {"0小时00分02秒", zero, zero}, {"0小时00分02秒", zero, zero}));

    std::int64_t clicked_start_again = 0, closed_notice_again = 0;
    start_through_notice(clicked_start_again, closed_notice_again);
    Sleep(1500);
    std::int64_t closed_main = recording.position();
    RunningProgram::close(main);
    EXPECT_TRUE(program.ended_cleanly());
    EXPECT_EQ(read_bytes(ini(1)), progress_file(today(), {"0小时00分03秒", zero, zero}, {"0小时00分03秒", zero, zero}));

    auto left = recording.left_channel_after(recording_rate);
    std::int64_t first = first_sound(left, clicked_start);
    ASSERT_GE(first, 0) << "the notice window's track was not heard";
    report("first_start_click_to_sound", instants_to_ms(first - clicked_start));
    EXPECT_LE(instants_to_ms(first - clicked_start), 150);

    double full = rms(left, first + ms_to_instants(300), ms_to_instants(600));
    double lowered = rms(left, closed_notice + ms_to_instants(1000), ms_to_instants(1000));
    report("stage_one_level_share", lowered / full, "of the notice window's level");
    EXPECT_NEAR(lowered / full, 0.30, 0.03) << "the run did not play at the first stage's 30 percent";

    std::int64_t silent = silence_from(left, clicked_stop, clicked_start_again);
    report("stop_click_to_silence", instants_to_ms(silent - clicked_stop));
    report("stop_handled_to_silence", instants_to_ms(silent - stop_handled));
    EXPECT_LE(instants_to_ms(silent - stop_handled), 50);
    EXPECT_LE(instants_to_ms(silent - clicked_stop), 150);

    std::int64_t again = first_sound(left, clicked_start_again);
    ASSERT_GE(again, 0) << "the second notice window's track was not heard";
    report("second_start_click_to_sound", instants_to_ms(again - clicked_start_again));
    EXPECT_LE(instants_to_ms(again - clicked_start_again), 150);
    double restored = rms(left, again + ms_to_instants(300), ms_to_instants(600));
    report("restored_level_share", restored / full, "of the notice window's level");
    EXPECT_NEAR(restored / full, 1.0, 0.05) << "the stop did not restore the volume";
    double lowered_again = rms(left, closed_notice_again + ms_to_instants(800), ms_to_instants(600));
    EXPECT_NEAR(lowered_again / full, 0.30, 0.03) << "the second run did not play at 30 percent";

    std::int64_t ended = silence_from(left, closed_main);
    report("close_to_silence", instants_to_ms(ended - closed_main));
    EXPECT_LE(instants_to_ms(ended - closed_main), 50) << "sound went on after the close";
}

// The reset asks nothing, clears the six stored durations (the date stays)
// and confirms with a message box; OK closes it.
TEST_F(ProgramRun, ResetClearsTheFileAndConfirms)
{
    std::string stored = progress_file(today(), {"1小时05分09秒", "0小时10分00秒", zero},
                                       {"12小时30分00秒", "3小时00分00秒", "0小时00分01秒"});
    write_bytes(ini(1), stored);
    RunningProgram program(folder);
    HWND main = program.wait_window(main_title);
    ASSERT_NE(main, nullptr);
    std::array<std::string, 6> shown = RunningProgram::durations(main);
    EXPECT_EQ(shown, (std::array<std::string, 6>{"1小时05分09秒", "0小时10分00秒", zero, "12小时30分00秒",
                                                 "3小时00分00秒", "0小时00分01秒"}));

    ASSERT_TRUE(program.click(L"计时清零"));
    HWND box = program.wait_window(notice_title);
    ASSERT_NE(box, nullptr) << "no message box";
    EXPECT_NE(RunningProgram::control(box, L"【设备一】计时清除完毕"), nullptr);
    EXPECT_EQ(read_bytes(ini(1)), progress_file(today(), {zero, zero, zero}, {zero, zero, zero}));
    PostMessageW(GetDlgItem(box, IDOK), BM_CLICK, 0, 0);
    ASSERT_TRUE(wait_for([&] { return program.window(notice_title) == nullptr; })) << "OK did not close the box";
    EXPECT_EQ(RunningProgram::durations(main), (std::array<std::string, 6>{zero, zero, zero, zero, zero, zero}));

    RunningProgram::close(main);
    EXPECT_TRUE(program.ended_cleanly());
}

// A device change loads that device's file and writes nothing; yesterday's
// today values are not shown.
TEST_F(ProgramRun, DeviceChangeLoadsThatDevicesFile)
{
    std::string second = progress_file(today(), {"0小时20分00秒", zero, zero}, {"5小时00分00秒", zero, zero});
    std::string third = progress_file("2001年1月1日", {"9小时00分00秒", zero, zero}, {"7小时00分00秒", zero, zero});
    write_bytes(ini(2), second);
    write_bytes(ini(3), third);
    RunningProgram program(folder);
    HWND main = program.wait_window(main_title);
    ASSERT_NE(main, nullptr);

    program.select_below(L"设备一", 1);
    ASSERT_TRUE(wait_for([&] { return RunningProgram::durations(main)[3] == "5小时00分00秒"; }))
        << "device two's file was not loaded";
    EXPECT_EQ(RunningProgram::durations(main)[0], "0小时20分00秒");

    program.select_below(L"设备二", 1);
    ASSERT_TRUE(wait_for([&] { return RunningProgram::durations(main)[3] == "7小时00分00秒"; }))
        << "device three's file was not loaded";
    EXPECT_EQ(RunningProgram::durations(main)[0], zero) << "another day's today value was shown";

    EXPECT_EQ(read_bytes(ini(1)), "<missing>");
    EXPECT_EQ(read_bytes(ini(2)), second);
    EXPECT_EQ(read_bytes(ini(3)), third);
    RunningProgram::close(main);
    EXPECT_TRUE(program.ended_cleanly());
    // Closing saves to the selected device's file, under today's date.
    EXPECT_EQ(read_bytes(ini(3)), progress_file(today(), {zero, zero, zero}, {"7小时00分00秒", zero, zero}));
    EXPECT_EQ(read_bytes(ini(2)), second);
}

// Auto volume off: the track starts at the click, and a half-second track
// loops with only the output's reopening between passes.
TEST_F(ProgramRun, RunWithoutAutoVolumeLoopsAShortTrack)
{
    std::wstring short_track = env(L"BURNIN_SHORT_TRACK");
    ASSERT_TRUE(CopyFileW(short_track.c_str(), (folder + L"\\File\\1.mp3").c_str(), FALSE));
    RunningProgram program(folder);
    HWND main = program.wait_window(main_title);
    ASSERT_NE(main, nullptr);
    ASSERT_TRUE(program.click(L"自动控制音量比例"));
    std::int64_t clicked = recording.position();
    ASSERT_TRUE(program.click(L"开始煲机"));
    auto left = recording.left_channel_after(recording_rate * 2);
    RunningProgram::close(main);
    EXPECT_TRUE(program.ended_cleanly());

    std::int64_t first = first_sound(left, clicked);
    ASSERT_GE(first, 0) << "nothing was heard";
    report("start_click_to_sound_without_notice", instants_to_ms(first - clicked));
    EXPECT_LE(instants_to_ms(first - clicked), 150);
    Pause pause = first_pause(left, first);
    ASSERT_GE(pause.from, 0) << "the track never paused";
    ASSERT_GE(pause.to, 0) << "the second pass was not heard";
    report("loop_gap", instants_to_ms(pause.to - pause.from));
    EXPECT_GE(instants_to_ms(pause.from - first), 400) << "the first pass was cut short";
    EXPECT_LE(instants_to_ms(pause.to - pause.from), 150);
}

// An install folder whose name GBK cannot spell, deep enough that its path
// is longer than MAX_PATH: the program still finds its tracks there (they are
// heard) and saves its progress there. Wine's CreateProcess cannot start a
// program that deep, so the calling script starts it there with `wine`.
TEST_F(ProgramRun, ForeignNamedFolderBeyondMaxPath)
{
    folder = env(L"BURNIN_FOREIGN_FOLDER");
    if (folder.empty())
        GTEST_SKIP() << "program_test.sh starts this one";
    ASSERT_GT(folder.size(), static_cast<std::size_t>(MAX_PATH));

    RunningProgram program;
    ASSERT_TRUE(program.started()) << "the program did not start there";
    HWND main = program.wait_window(main_title);
    ASSERT_NE(main, nullptr) << "no main window";
    HWND start = RunningProgram::control(main, L"开始煲机");
    ASSERT_TRUE(program.click(L"自动控制音量比例"));
    std::int64_t clicked = recording.position();
    ASSERT_TRUE(program.click(L"开始煲机"));
    ASSERT_TRUE(wait_for([&] { return !enabled(start); })) << "the run did not start";
    Sleep(1500);
    ASSERT_TRUE(program.click(L"停止煲机"));
    ASSERT_TRUE(wait_for([&] { return enabled(start); }));
    RunningProgram::close(main);
    EXPECT_TRUE(program.ended_cleanly());

    auto left = recording.left_channel_after(recording_rate / 5);
    EXPECT_GE(first_sound(left, clicked), 0) << "the track was not found there";
    EXPECT_EQ(read_bytes(ini(1)), progress_file(today(), {"0小时00分01秒", zero, zero}, {"0小时00分01秒", zero, zero}));
}

} // namespace
