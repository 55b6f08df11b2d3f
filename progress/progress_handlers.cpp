// Loading, saving and clearing the selected device's progress file.
#include "progress/progress_handlers.h"

#include <vector>

#include "app/controls.h"
#include "progress/duration_text.h"
#include "progress/profile.h"
#include "progress/progress_file.h"

using namespace progress_layout;

void select_device_file(Program& program)
{
    if (auto name = device_file_name(get_int(program.frame, main_window::device_combo,
                                             Property::current_selection)))
        program.progress_file_name = Text(*name);
}

Text current_progress_path(const Program& program)
{
    return progress_file_path(program.run_directory, program.progress_file_name);
}

bool stored_date_is_today(const Program& program)
{
    return texts_equal(today_date_text(program.clock),
                       read_profile_value(current_progress_path(program), today_section,
                                          current_date_key));
}

void load_progress(Program& program)
{
    Frame& frame = program.frame;
    select_device_file(program);
    for (int stage = 0; stage < 3; ++stage)
        set_caption(frame, main_window::total_labels[stage],
                    read_profile_value(current_progress_path(program), aggregate_section,
                                       stage_keys[stage]));
    for (Control label : main_window::total_labels)
        if (texts_equal(get_caption(frame, label), ""))
            set_caption(frame, label, zero_duration_text);

    if (!stored_date_is_today(program)) {
        for (Control label : main_window::today_labels)
            set_caption(frame, label, zero_duration_text);
        return;
    }
    // Unlike the cumulative ones, an empty today value is shown as it is.
    for (int stage = 0; stage < 3; ++stage)
        set_caption(frame, main_window::today_labels[stage],
                    read_profile_value(current_progress_path(program), today_section,
                                       stage_keys[stage]));
}

// The seven values go into the file with one replacement: written one by one,
// a crash between them would leave a new date over the old day's times.
void save_progress(Program& program)
{
    Frame& frame = program.frame;
    const Text date = today_date_text(program.clock);
    Text today[3], total[3];
    for (int stage = 0; stage < 3; ++stage) {
        today[stage] = get_caption(frame, main_window::today_labels[stage]);
        total[stage] = get_caption(frame, main_window::total_labels[stage]);
    }
    const ProfileEntry entries[] = {
        {today_section, current_date_key, date},
        {today_section, stage_keys[0], today[0]},
        {today_section, stage_keys[1], today[1]},
        {today_section, stage_keys[2], today[2]},
        {aggregate_section, stage_keys[0], total[0]},
        {aggregate_section, stage_keys[1], total[1]},
        {aggregate_section, stage_keys[2], total[2]},
    };
    write_profile_values(current_progress_path(program), entries);
}

void reset_progress(Program& program)
{
    std::vector<ProfileEntry> entries;
    for (std::string_view section : {today_section, aggregate_section})
        for (std::string_view key : stage_keys)
            entries.push_back({section, key, zero_duration_text});
    write_profile_values(current_progress_path(program), entries);
}
