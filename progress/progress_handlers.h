// Loading, saving and clearing the selected device's progress file.
#pragma once

#include "app/program.h"

// Sets the progress file name from the device ComboBox's selection.
void select_device_file(Program& program);
// The run directory joined with the progress file name.
Text current_progress_path(const Program& program);
// The stored "Current date" equals today's date text.
bool stored_date_is_today(const Program& program);
// Fills the six duration labels from the file.
void load_progress(Program& program);
// Writes today's date, then the six labels as they stand, in one replacement.
void save_progress(Program& program);
// Writes the zero duration to the six stage keys in one replacement; the date stays.
void reset_progress(Program& program);
