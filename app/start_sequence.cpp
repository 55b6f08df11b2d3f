// The program's start sequence and exit step, driving any frame.
#include "app/start_sequence.h"

#include "app/bindings.h"
#include "progress/file_access.h"

namespace {
// Runs the exit step however the loop ends, an exception included.
class ExitStep {
public:
    explicit ExitStep(Program& program) : program_(program) {}
    ~ExitStep()
    {
        program_.progress_file_name.clear();
        program_.player.play_track(0, "");
    }
    ExitStep(const ExitStep&) = delete;
    ExitStep& operator=(const ExitStep&) = delete;

private:
    Program& program_;
};
} // namespace

int run_program(FrameHost& frame, Program& program, std::string_view run_directory)
{
    program.run_directory = Text(run_directory);
    enter_folder(run_directory);
    ExitStep exit_step(program);
    program.progress_file_name.clear();
    program.counters = {};
    program.saved_volume = {};

    EventRouter router(program);
    frame.set_event_sink(&router);
    bool loaded = frame.load_window(WindowId::main);
    if (loaded)
        frame.run_message_loop();
    frame.set_event_sink(nullptr);
    return loaded ? 0 : 1;
}
