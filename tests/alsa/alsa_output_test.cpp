// The ALSA output against the harness's sound server: it refuses devices that
// are not there, blocks only while the device is full, and a reset from
// another thread ends a blocked write or drain at once.
#include "sound/alsa/alsa_output.h"

#include <gtest/gtest.h>

#include <atomic>
#include <cmath>
#include <ctime>
#include <future>
#include <numbers>
#include <thread>
#include <vector>

#include "tests/alsa/alsa_test_support.h"
#include "tests/alsa/sink_recorder.h"

namespace {

using Clock = std::chrono::steady_clock;
using std::chrono::milliseconds;

constexpr PcmFormat cd_format{44100, 2};

std::vector<std::int16_t> tone(double seconds, const PcmFormat& format = cd_format)
{
    auto count = static_cast<std::size_t>(seconds * format.sample_rate);
    std::vector<std::int16_t> pcm;
    for (std::size_t i = 0; i < count; ++i) {
        double phase = 2 * std::numbers::pi * tone_hz * static_cast<double>(i) / format.sample_rate;
        pcm.insert(pcm.end(), static_cast<std::size_t>(format.channels),
                   static_cast<std::int16_t>(8000 * std::sin(phase)));
    }
    return pcm;
}

double seconds_since(Clock::time_point start) { return std::chrono::duration<double>(Clock::now() - start).count(); }

double thread_cpu_seconds()
{
    timespec t{};
    clock_gettime(CLOCK_THREAD_CPUTIME_ID, &t);
    return static_cast<double>(t.tv_sec) + static_cast<double>(t.tv_nsec) / 1e9;
}

// A listener on the null sink makes it run with a small latency, as a sound
// card does; left alone it takes new audio in blocks of up to two seconds.
class AlsaOutputTest : public HarnessTest {
protected:
    void SetUp() override
    {
        HarnessTest::SetUp();
        ASSERT_TRUE(listener_.start());
    }
    SinkRecorder listener_{std::string(std::getenv("HARNESS_DIR") ? std::getenv("HARNESS_DIR") : "/tmp") +
                           "/output_test.wav"};
};

TEST_F(AlsaOutputTest, OpensTheDefaultDeviceForEveryTrackFormat)
{
    const PcmFormat formats[] = {{44100, 2}, {48000, 2}, {32000, 2}, {22050, 1}, {24000, 1}, {16000, 1}, {8000, 1}};
    for (const PcmFormat& format : formats) {
        SCOPED_TRACE(testing::Message() << format.sample_rate << " Hz, " << format.channels << " channels");
        auto output = make_alsa_output();
        ASSERT_TRUE(output->open(format));
        EXPECT_TRUE(output->write(tone(0.05, format)));
        EXPECT_TRUE(output->drain());
        output->close();
    }
}

TEST_F(AlsaOutputTest, AMissingDeviceFailsToOpenWithoutHanging)
{
    auto start = Clock::now();
    auto output = make_alsa_output("burnin_no_such_device");
    EXPECT_FALSE(output->open(cd_format));
    output->close();
    EXPECT_LT(seconds_since(start), 2.0);
}

TEST_F(AlsaOutputTest, AnUnreachableSoundServerFailsToOpenWithoutHanging)
{
    std::string server = std::getenv("PULSE_SERVER");
    setenv("PULSE_SERVER", ("unix:" + std::string(std::getenv("HARNESS_DIR")) + "/no_such.sock").c_str(), 1);
    auto start = Clock::now();
    auto output = make_alsa_output();
    bool opened = output->open(cd_format);
    double took = seconds_since(start);
    output.reset();
    setenv("PULSE_SERVER", server.c_str(), 1);
    EXPECT_FALSE(opened);
    EXPECT_LT(took, 5.0);
}

TEST_F(AlsaOutputTest, WriteBlocksOnlyWhileTheDeviceIsFullAndSleepsMeanwhile)
{
    auto output = make_alsa_output();
    ASSERT_TRUE(output->open(cd_format));
    auto pcm = tone(1.5);
    auto start = Clock::now();
    double cpu_start = thread_cpu_seconds();
    EXPECT_TRUE(output->write(pcm));
    double wall = seconds_since(start);
    double cpu = thread_cpu_seconds() - cpu_start;
    // A write returns when the rest fits in the queue of a few hundred
    // milliseconds: most of the audio has been played by then. (How much
    // later depends on how the sound server schedules a new stream.)
    EXPECT_GT(wall, 0.9);
    // The thread waited in poll rather than spinning.
    EXPECT_LT(cpu, 0.1 * wall);
    start = Clock::now();
    EXPECT_TRUE(output->drain());
    double drained = seconds_since(start);
    EXPECT_GT(drained, 0.05);
    EXPECT_LT(drained, 1.0);
    std::printf("write of 1.5 s: %.3f s wall, %.4f s CPU; drain: %.3f s\n", wall, cpu, drained);
    output->close();
}

TEST_F(AlsaOutputTest, AShortPassIsHeardOutByDrain)
{
    // Less than the queue holds: the device must be started by drain.
    auto output = make_alsa_output();
    ASSERT_TRUE(output->open(cd_format));
    EXPECT_TRUE(output->write(tone(0.1)));
    auto start = Clock::now();
    EXPECT_TRUE(output->drain());
    EXPECT_GT(seconds_since(start), 0.08);
}

// Where the playing thread waits, and what it is given to do there.
struct BlockedCase {
    const char* name;
    bool (*act)(AudioOutput&, const std::vector<std::int16_t>&);
};

const BlockedCase blocked_cases[] = {
    {"write", [](AudioOutput& o, const std::vector<std::int16_t>& pcm) { return o.write(pcm); }},
    {"drain", [](AudioOutput& o, const std::vector<std::int16_t>& pcm) { return o.write(pcm) && o.drain(); }},
};

TEST_F(AlsaOutputTest, AResetFromAnotherThreadEndsABlockedCallAtOnce)
{
    for (const BlockedCase& c : blocked_cases) {
        SCOPED_TRACE(c.name);
        auto output = make_alsa_output();
        ASSERT_TRUE(output->open(cd_format));
        // Five seconds to write, or 0.7 s to write and drain: at the
        // moment of the reset the call is still waiting for the device.
        auto pcm = tone(c.act == blocked_cases[0].act ? 5.0 : 0.7);
        std::atomic<bool> returned{false};
        auto result = std::async(std::launch::async, [&] {
            bool ok = c.act(*output, pcm);
            returned = true;
            return ok;
        });
        std::this_thread::sleep_for(milliseconds(400));
        ASSERT_FALSE(returned.load());
        auto reset_at = Clock::now();
        output->reset();
        double reset_took = seconds_since(reset_at);
        EXPECT_FALSE(result.get());
        double woke_after = seconds_since(reset_at);
        EXPECT_LT(reset_took, 0.01);
        EXPECT_LT(woke_after, 0.05);
        std::printf("%s: reset returned in %.2f ms, the call in %.2f ms\n", c.name, reset_took * 1e3,
                    woke_after * 1e3);
        // Once reset, the output takes nothing more.
        EXPECT_FALSE(output->write(tone(0.01)));
        EXPECT_FALSE(output->drain());
        output->reset();
        output->close();
        output->close();
    }
}

} // namespace
