// The one-second clock of a burn-in run.
#pragma once

#include "app/program.h"

// Adds one second to today's and the cumulative time of the running stage and
// writes both into its labels; every 60th tick of a run also saves the progress.
void clock_tick(Program& program);
