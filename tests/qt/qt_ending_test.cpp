// How the program ends from outside: SIGTERM, SIGINT and SIGHUP close the
// windows properly, innermost first; the session's end query only asks.
#include <csignal>
#include <string>
#include <vector>

#include <gtest/gtest.h>

#include <QApplication>
#include <QTest>

#include "tests/qt/qt_frame_driver.h"

namespace {
class QtEnding : public ::testing::Test {
protected:
    void SetUp() override
    {
        driver.frame().set_event_sink(&sink);
        driver.qt_frame().handle_ending_requests();
        ASSERT_TRUE(driver.frame().load_window(WindowId::main));
        sink.events.clear();
    }
    void TearDown() override { driver.frame().set_event_sink(nullptr); }
    bool wait_for_the_loop_end()
    {
        return QTest::qWaitFor([this] { return driver.loop_end_requested(); }, 3000);
    }

    QtFrameDriver driver;
    RecordingSink sink;
};

TEST(QtEndingSignals, EachSignalClosesTheMainWindowAndEndsTheLoop)
{
    for (int signal : {SIGTERM, SIGINT, SIGHUP}) {
        SCOPED_TRACE(signal);
        QtFrameDriver driver; // the loop ends once per frame
        RecordingSink sink;
        driver.frame().set_event_sink(&sink);
        driver.qt_frame().handle_ending_requests();
        ASSERT_TRUE(driver.frame().load_window(WindowId::main));
        sink.events.clear();
        bool ended_by_signal = false;
        driver.run_loop([&] {
            std::raise(signal);
            ended_by_signal = QTest::qWaitFor([&] { return driver.loop_end_requested(); }, 3000);
        });
        EXPECT_TRUE(ended_by_signal);
        EXPECT_FALSE(driver.is_loaded(WindowId::main));
        EXPECT_EQ(sink.events, std::vector<std::string>{"main can be closed"});
        driver.frame().set_event_sink(nullptr);
    }
}

TEST_F(QtEnding, ASignalClosesTheModalWindowFirstAndTheMainWindowOnceItsCallerIsDone)
{
    bool ended_by_signal = false;
    bool modal_closed = false;
    driver.run_loop([&] {
        driver.on_modal([&](WindowId) {
            std::raise(SIGTERM);
            modal_closed =
                QTest::qWaitFor([&] { return !driver.is_loaded(WindowId::instructions); }, 3000);
        });
        driver.frame().load_window_modal(WindowId::instructions);
        sink.events.push_back("modal loading returned");
        ended_by_signal = wait_for_the_loop_end();
    });
    EXPECT_TRUE(modal_closed);
    EXPECT_TRUE(ended_by_signal);
    EXPECT_EQ(sink.events, (std::vector<std::string>{"instructions created",
                                                     "instructions can be closed",
                                                     "modal loading returned",
                                                     "main can be closed"}));
}

TEST_F(QtEnding, ASignalDismissesTheMessageBoxBeforeClosingTheMainWindow)
{
    bool ended_by_signal = false;
    bool box_gone = false;
    driver.run_loop([&] {
        driver.on_message([&](std::string_view, std::string_view) {
            std::raise(SIGTERM);
            box_gone = QTest::qWaitFor([] { return !QApplication::activeModalWidget(); }, 3000);
        });
        driver.frame().show_message("reset", "title");
        sink.events.push_back("message returned");
        ended_by_signal = wait_for_the_loop_end();
    });
    EXPECT_TRUE(box_gone);
    EXPECT_TRUE(ended_by_signal);
    EXPECT_EQ(sink.events,
              (std::vector<std::string>{"message returned", "main can be closed"}));
}

TEST_F(QtEnding, SessionEndQueryRunsTheCloseHandlerAndLeavesTheWindowOpen)
{
    driver.qt_frame().query_end_session();
    EXPECT_EQ(sink.events, std::vector<std::string>{"main can be closed"});
    EXPECT_TRUE(driver.is_shown(WindowId::main));
    EXPECT_FALSE(driver.loop_end_requested());
}

volatile std::sig_atomic_t hangups = 0;
void count_hangup(int) { hangups = hangups + 1; }

TEST(QtEndingSignals, FormerHandlingComesBackWithTheFrame)
{
    struct sigaction own {};
    own.sa_handler = count_hangup;
    sigemptyset(&own.sa_mask);
    struct sigaction before {};
    sigaction(SIGHUP, &own, &before);
    {
        QtFrameDriver driver;
        driver.qt_frame().handle_ending_requests();
        struct sigaction during {};
        sigaction(SIGHUP, nullptr, &during);
        EXPECT_NE(during.sa_handler, count_hangup);
    }
    std::raise(SIGHUP);
    EXPECT_EQ(hangups, 1);
    struct sigaction term {};
    sigaction(SIGTERM, nullptr, &term);
    EXPECT_EQ(term.sa_handler, SIG_DFL);
    sigaction(SIGHUP, &before, nullptr);
}
} // namespace
