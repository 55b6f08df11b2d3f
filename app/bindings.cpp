// Which handler runs for which event of which control: the wiring as data.
#include "app/bindings.h"

#include "app/controls.h"
#include "app/window_handlers.h"
#include "burnin/elapsed_clock.h"
#include "burnin/run_control.h"
#include "burnin/timing_reset.h"
#include "progress/progress_handlers.h"

namespace {
namespace mw = main_window;

constexpr Binding bindings[] = {
    {WindowId::main, "", Event::created, main_window_created},
    {WindowId::main, "", Event::can_be_closed, end_run_on_close},
    {WindowId::main, mw::clock.name, Event::periodic, clock_tick},
    {WindowId::main, mw::start_button.name, Event::clicked, start_run},
    {WindowId::main, mw::stop_button.name, Event::clicked, stop_run},
    {WindowId::main, mw::reset_button.name, Event::clicked, reset_timing},
    {WindowId::main, mw::instructions_button.name, Event::clicked, show_instructions},
    {WindowId::main, mw::device_combo.name, Event::list_item_selected, load_progress},
    {WindowId::main, mw::auto_volume_box.name, Event::clicked, auto_volume_clicked},
    {WindowId::notice, "", Event::created, notice_window_created},
    {WindowId::instructions, "", Event::created, instructions_window_created},
};
} // namespace

std::span<const Binding> event_bindings() { return bindings; }

void EventRouter::on_event(WindowId window, std::string_view control, Event event)
{
    for (const Binding& b : bindings)
        if (b.window == window && b.control == control && b.event == event) {
            b.handler(program_);
            return;
        }
}
