// A whole program on the headless frame: a temporary run directory with its
// File folder, a recording track player, a fake mixer and a fixed clock.
#pragma once

#include <gtest/gtest.h>

#include <filesystem>

#include "app/bindings.h"
#include "app/controls.h"
#include "app/program.h"
#include "app/start_sequence.h"
#include "progress/profile.h"
#include "tests/fixed_clock.h"
#include "tests/support/fake_sound.h"
#include "tests/support/headless_frame.h"
#include "tests/temp_folder.h"

class BurnIn : public ::testing::Test {
protected:
    TempFolder dir;
    HeadlessFrame frame;
    RecordingTrackPlayer player;
    FakeMasterVolume volume;
    FixedClock clock{{2013, 6, 5, 10, 0, 0}};
    Program program{frame, player, volume, clock, {}, {}, {}, {}};

    BurnIn() { std::filesystem::create_directory(dir.path() / "File"); }

    std::string run_directory() const { return dir.path().string(); }
    std::string ini(int device) const { return dir.file("File/" + std::to_string(device) + ".ini"); }
    std::string track(int stage) const
    {
        return run_directory() + "\\File\\" + std::to_string(stage) + ".mp3";
    }
    std::string stored(int device, std::string_view section, std::string_view key) const
    {
        return read_profile_value(ini(device), section, key);
    }
    void store(int device, std::string_view section, std::string_view key, std::string_view value)
    {
        ASSERT_TRUE(write_profile_value(ini(device), section, key, value));
    }

    Text caption(Control c) { return get_caption(frame, c); }
    std::int32_t value(Control c, Property p) { return get_int(frame, c, p); }
    bool disabled(Control c) { return value(c, Property::disabled) == 1; }

    // Runs the program; the script acts as the user while the main loop runs.
    int run(HeadlessFrame::LoopScript script)
    {
        frame.set_main_loop_script(std::move(script));
        return run_program(frame, program, run_directory());
    }
    // The notice window is closed at once, as a user who keeps the volume.
    void close_notice_at_once()
    {
        frame.set_modal_script([](HeadlessFrame& f, WindowId w) { f.request_close(w); });
    }
};
