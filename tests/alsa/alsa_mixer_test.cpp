// The ALSA master volume on the sound server's "Master" element: raw values
// read back as they were set, one-channel lines, and no mixer at all.
#include "sound/alsa/alsa_mixer.h"

#include <gtest/gtest.h>

#include <cstdio>
#include <cstdlib>
#include <string>

#include "tests/alsa/alsa_test_support.h"

namespace {

// The sound server's volume scale: 65536 is its full volume.
constexpr std::int32_t server_full = 65536;

struct Pair {
    std::int32_t left, right;
    friend bool operator==(const Pair&, const Pair&) = default;
};

std::ostream& operator<<(std::ostream& out, const Pair& p) { return out << p.left << "/" << p.right; }

Pair read_fresh(const std::string& card = "default")
{
    auto volume = make_alsa_master_volume(card);
    volume->select_line(speakers_line);
    Pair pair{-7, -7};
    volume->get_volume(pair.left, pair.right);
    return pair;
}

// Runs a shell command of the test (pactl on the harness's server) and gives
// its output.
std::string run(const std::string& command)
{
    std::string out;
    if (FILE* pipe = popen(command.c_str(), "r")) {
        char buffer[256];
        while (std::fgets(buffer, sizeof buffer, pipe))
            out += buffer;
        pclose(pipe);
    }
    return out;
}

class AlsaMixerTest : public HarnessTest {
protected:
    void SetUp() override
    {
        HarnessTest::SetUp();
        original_ = read_fresh();
    }
    void TearDown() override
    {
        if (original_.left < 0)
            return;
        auto volume = make_alsa_master_volume();
        volume->select_line(speakers_line);
        volume->set_volume(original_.left, original_.right);
        EXPECT_EQ(read_fresh(), original_);
    }
    Pair original_{-1, -1};
};

struct SetCase {
    Pair set, read_back;
};

const SetCase set_cases[] = {
    {{20000, 30000}, {20000, 30000}},
    {{0, server_full}, {0, server_full}},
    {{1, 65535}, {1, 65535}},
    {{12345, 12345}, {12345, 12345}},
    // Outside the element's range: the nearest end, which ALSA would
    // otherwise drop without a word.
    {{-1, 70000}, {0, server_full}},
    {{server_full + 1, -5}, {server_full, 0}},
};

TEST_F(AlsaMixerTest, RawValuesReadBackAsTheyWereSet)
{
    ASSERT_GE(original_.left, 0);
    ASSERT_GE(original_.right, 0);
    auto volume = make_alsa_master_volume();
    volume->select_line(speakers_line);
    for (const SetCase& c : set_cases) {
        SCOPED_TRACE(testing::Message() << "set " << c.set);
        volume->set_volume(c.set.left, c.set.right);
        Pair same{-7, -7};
        volume->get_volume(same.left, same.right);
        EXPECT_EQ(same, c.read_back);
        // Another client sees the same, so the server holds it.
        EXPECT_EQ(read_fresh(), c.read_back);
    }
}

TEST_F(AlsaMixerTest, AChangeMadeElsewhereIsSeen)
{
    auto volume = make_alsa_master_volume();
    volume->select_line(speakers_line);
    Pair before{-7, -7};
    volume->get_volume(before.left, before.right);
    // 50% of the server's scale is 32768 on both channels.
    run("pactl set-sink-volume burnin_sink 50%");
    Pair after{-7, -7};
    volume->get_volume(after.left, after.right);
    EXPECT_EQ(after, (Pair{32768, 32768}));
}

// A one-channel sink made the default for as long as it lives; the server's
// "Master" element follows the default sink.
class MonoSink {
public:
    MonoSink()
        : module_(run("pactl load-module module-null-sink sink_name=burnin_mono channels=1 "
                      "sink_properties=device.description=burnin_mono"))
    {
        run("pactl set-default-sink burnin_mono");
    }
    ~MonoSink()
    {
        run("pactl set-default-sink burnin_sink");
        if (!module_.empty())
            run("pactl unload-module " + module_);
    }
    MonoSink(const MonoSink&) = delete;
    MonoSink& operator=(const MonoSink&) = delete;
    bool loaded() const { return !module_.empty(); }

private:
    std::string module_;
};

TEST_F(AlsaMixerTest, AOneChannelLineReadsRightAsMinusOneAndTakesLeft)
{
    MonoSink mono;
    ASSERT_TRUE(mono.loaded());
    auto volume = make_alsa_master_volume();
    volume->select_line(speakers_line);
    volume->set_volume(23456, 777);
    Pair pair{-7, -7};
    volume->get_volume(pair.left, pair.right);
    EXPECT_EQ(pair, (Pair{23456, -1}));
    EXPECT_EQ(read_fresh(), (Pair{23456, -1}));
}

// Left and right as they were before the call, when nothing was opened.
struct ClosedCase {
    const char* card;
    std::int32_t line;
};

const ClosedCase closed_cases[] = {
    {"burnin_no_such_card", speakers_line},
    {"default", 1}, // a line the program never selects
};

TEST_F(AlsaMixerTest, WithNoLineNothingIsReadOrWritten)
{
    for (const ClosedCase& c : closed_cases) {
        SCOPED_TRACE(testing::Message() << c.card << " line " << c.line);
        auto volume = make_alsa_master_volume(c.card);
        volume->select_line(c.line);
        Pair pair{7, 8};
        volume->get_volume(pair.left, pair.right);
        EXPECT_EQ(pair, (Pair{7, 8}));
        volume->set_volume(1, 1);
        EXPECT_EQ(read_fresh(), original_);
    }
    // Never opened at all.
    auto volume = make_alsa_master_volume();
    Pair pair{7, 8};
    volume->get_volume(pair.left, pair.right);
    EXPECT_EQ(pair, (Pair{7, 8}));
}

} // namespace
