// The Timer on the real clock: slow handlers do not push the later ticks back.
#include <vector>

#include <gtest/gtest.h>

#include <QElapsedTimer>
#include <QTest>
#include <QThread>

#include "tests/qt/qt_frame_driver.h"

namespace {
TEST(QtTimer, SlowHandlersDoNotMakeTheTicksDrift)
{
    constexpr std::int32_t period = 200;
    constexpr int ticks = 10;
    constexpr int handler_milliseconds = 60;
    QtFrameDriver driver(/*real_time=*/true);
    const Control clock = control_named(WindowId::main, "时钟1");
    QElapsedTimer since_start;
    std::vector<qint64> arrivals;
    RecordingSink sink;
    sink.on_each = [&](WindowId, std::string_view, Event event) {
        if (event != Event::periodic)
            return;
        arrivals.push_back(since_start.elapsed());
        QThread::msleep(handler_milliseconds);
    };
    driver.frame().set_event_sink(&sink);
    ASSERT_TRUE(driver.frame().load_window(WindowId::main));
    since_start.start();
    set_int(driver.frame(), clock, Property::period, period);
    ASSERT_TRUE(QTest::qWaitFor([&] { return arrivals.size() >= ticks; }, 2 * ticks * period));
    set_int(driver.frame(), clock, Property::period, 0);
    // A timer re-armed for a full period after each slow handler would be
    // ticks x 60 ms late by the last tick; on the deadline rule every tick
    // comes close to its own time.
    for (int n = 0; n < ticks; ++n) {
        qint64 due = (n + 1) * period;
        EXPECT_GE(arrivals[static_cast<std::size_t>(n)], due - 1) << "tick " << n + 1;
        EXPECT_LE(arrivals[static_cast<std::size_t>(n)], due + period * 3 / 4)
            << "tick " << n + 1;
    }
    driver.frame().set_event_sink(nullptr);
}
} // namespace
