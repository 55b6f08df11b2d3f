// Clearing all recorded time of the selected device.
#pragma once

#include "app/program.h"

// Zeroes the device's six stored and shown durations, and the run counters so
// that a running stage goes on from zero, then confirms with a message box.
void reset_timing(Program& program);
