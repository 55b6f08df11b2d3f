// Runs the frame conformance suite against the Qt frame on a real display.
#include "tests/app/frame_conformance.h"
#include "tests/qt/qt_frame_driver.h"

INSTANTIATE_TEST_SUITE_P(Qt, AppFrameConformance,
                         ::testing::Values(FrameImplementation{
                             "Qt", [] { return std::make_unique<QtFrameDriver>(); }}),
                         conformance_case_name);
