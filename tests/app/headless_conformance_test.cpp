// Runs the frame conformance suite against the headless frame.
#include "tests/app/frame_conformance.h"
#include "tests/support/headless_frame.h"

namespace {
class HeadlessDriver final : public FrameDriver {
public:
    FrameHost& frame() override { return frame_; }
    void click(Control control) override { frame_.click(control); }
    void select_item(Control combo, std::int32_t index) override
    {
        frame_.select_item(combo, index);
    }
    void request_close(WindowId window) override { frame_.request_close(window); }
    void advance(std::int32_t milliseconds) override { frame_.advance(milliseconds); }
    void on_modal(std::function<void(WindowId)> answer) override
    {
        frame_.set_modal_script([answer](HeadlessFrame&, WindowId window) { answer(window); });
    }
    void on_message(std::function<void(std::string_view, std::string_view)> answer) override
    {
        frame_.set_message_script(
            [answer](HeadlessFrame&, const ShownMessage& m) { answer(m.text, m.title); });
    }
    void run_loop(std::function<void()> script) override
    {
        frame_.set_main_loop_script([script](HeadlessFrame&) { script(); });
        frame_.run_message_loop();
    }
    bool is_loaded(WindowId window) override { return frame_.is_loaded(window); }
    bool is_shown(WindowId window) override { return frame_.is_shown(window); }
    bool is_enabled(WindowId window) override { return frame_.is_enabled(window); }
    void set_window_enabled(WindowId window, bool enabled) override
    {
        frame_.set_window_enabled(window, enabled);
    }
    bool loop_end_requested() override { return frame_.quit_requested(); }

private:
    HeadlessFrame frame_;
};
} // namespace

INSTANTIATE_TEST_SUITE_P(Headless, AppFrameConformance,
                         ::testing::Values(FrameImplementation{
                             "Headless", [] { return std::make_unique<HeadlessDriver>(); }}),
                         conformance_case_name);
