// The program's start sequence and exit step, driving any frame.
#pragma once

#include "app/program.h"

// Enters the run directory, loads the main window, runs the message loop
// until the last window is gone, then runs the exit step (progress file name
// released, track player emptied so no audio outlives the program). Returns
// the process exit code: 1 when the main window could not be created.
int run_program(FrameHost& frame, Program& program, std::string_view run_directory);
