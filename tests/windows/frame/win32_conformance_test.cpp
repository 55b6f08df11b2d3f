// Runs the frame conformance suite against the Win32 frame under a real
// window system.
#include "tests/app/frame_conformance.h"
#include "tests/windows/frame/win32_driver.h"

INSTANTIATE_TEST_SUITE_P(Win32, AppFrameConformance,
                         ::testing::Values(FrameImplementation{
                             "Win32", [] { return std::make_unique<Win32Driver>(); }}),
                         conformance_case_name);
