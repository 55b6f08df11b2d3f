// Saves the progress of all five devices over and over through the program's
// own save, with values that change every round, until it is killed or has
// done the rounds asked for. Each finished save is reported on stdout as
// "<device> <round>\n".
//   saving_loop RUN_DIRECTORY FIRST_ROUND ROUNDS   (ROUNDS 0: without end)
#include <cstdlib>
#include <string>
#include <unistd.h>

#include "app/controls.h"
#include "app/program.h"
#include "progress/progress_file.h"
#include "progress/progress_handlers.h"
#include "tests/crash/saved_round.h"
#include "tests/fixed_clock.h"
#include "tests/support/fake_sound.h"
#include "tests/support/headless_frame.h"

namespace {

bool report(int device, std::int32_t round)
{
    std::string line = std::to_string(device) + " " + std::to_string(round) + "\n";
    return ::write(STDOUT_FILENO, line.data(), line.size()) == static_cast<ssize_t>(line.size());
}

} // namespace

int main(int argc, char** argv)
{
    if (argc != 4)
        return 2;
    const std::int32_t first = std::atoi(argv[2]), rounds = std::atoi(argv[3]);
    HeadlessFrame frame;
    RecordingTrackPlayer player;
    FakeMasterVolume volume;
    FixedClock clock{{}};
    Program program{frame, player, volume, clock, argv[1], {}, {}, {}};
    if (!frame.load_window(WindowId::main))
        return 1;

    using namespace main_window;
    for (std::int32_t round = first; rounds == 0 || round < first + rounds; ++round) {
        for (int device = 0; device < device_count; ++device) {
            const SavedRound values = saved_round(device, round);
            set_int(frame, device_combo, Property::current_selection, device);
            select_device_file(program);
            clock.set(values.date);
            for (int s = 0; s < 3; ++s) {
                set_caption(frame, today_labels[s], values.today[s]);
                set_caption(frame, total_labels[s], values.total[s]);
            }
            save_progress(program);
            if (!report(device, round))
                return 1;
        }
    }
    return 0;
}
