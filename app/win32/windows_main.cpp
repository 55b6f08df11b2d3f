// The Windows program: the Win32 frame, the looping player on waveOut and
// libmpg123, the winmm master volume and the system clock, run by the
// portable start sequence from the executable's folder.
#include <windows.h>

#include <thread>

#include "app/start_sequence.h"
#include "app/win32/win32_frame.h"
#include "progress/file_access.h"
#include "sound/win32/waveout_output.h"
#include "sound/win32/win32_sound.h"

int WINAPI WinMain(HINSTANCE, HINSTANCE, LPSTR, int)
{
    std::thread warm_up(warm_up_waveout);
    std::unique_ptr<Win32Frame> frame = make_win32_frame();
    LoopingTrackPlayer player(make_win32_sound_backend());
    std::unique_ptr<MasterVolume> volume = make_winmm_master_volume();
    SystemClock clock;
    Program program{*frame, player, *volume, clock, {}, {}, {}, {}};
    int exit_code = run_program(*frame, program, executable_folder());
    warm_up.join();
    return exit_code;
}
