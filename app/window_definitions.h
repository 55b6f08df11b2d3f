// The builders behind window_definition(): one per window, each in its own file.
#pragma once

#include "app/window_definition.h"

WindowDefinition make_main_window_definition();
WindowDefinition make_notice_window_definition();
WindowDefinition make_instructions_window_definition();
