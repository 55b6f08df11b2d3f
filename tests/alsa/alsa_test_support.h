// What the ALSA tests share: the test tracks, decoding a whole track, and the
// check that a test sound server is there to play into.
#pragma once

#include <gtest/gtest.h>

#include <cstdint>
#include <cstdlib>
#include <string>
#include <vector>

#include "sound/frame_decoder.h"
#include "sound/mpeg_reader.h"
#include "sound/mpg123_decoder.h"

// The tracks are half-second tones of 440 Hz made by sox; a track knows its
// rate and channels from its name in the table of each test.
inline constexpr double track_seconds = 0.5;
inline constexpr double tone_hz = 440;

// The file's path as the program writes paths: GBK with '\' between folders.
inline std::string track_path(const std::string& name)
{
    std::string path = std::string(ALSA_TEST_TRACKS) + "/" + name;
    for (char& c : path)
        if (c == '/')
            c = '\\';
    return path;
}

inline std::string track_file(const std::string& name) { return std::string(ALSA_TEST_TRACKS) + "/" + name; }

struct DecodedTrack {
    MpegFormat format{};
    std::size_t frames = 0; // MPEG frames handed to the decoder
    bool first_frame_is_info = false;
    std::vector<std::int16_t> pcm;
};

// Reads every frame of the track and decodes it as the player does; fails the
// test when the file will not open or the decoder refuses a frame.
inline DecodedTrack decode_track(const std::string& name, const EncoderGap& gap)
{
    DecodedTrack out;
    auto source = open_file_source(track_path(name));
    EXPECT_NE(source, nullptr) << name;
    if (!source)
        return out;
    MpegReader reader(*source);
    MpegFrame frame;
    if (!reader.next_frame(frame)) {
        ADD_FAILURE() << name << ": no frame";
        return out;
    }
    out.format = frame.header.format();
    std::string first(frame.bytes.begin(), frame.bytes.end());
    out.first_frame_is_info = first.find("Info") != std::string::npos || first.find("Xing") != std::string::npos;
    auto decoder = make_mpg123_decoder();
    if (!decoder->open(out.format, gap)) {
        ADD_FAILURE() << name << ": decoder did not open";
        return out;
    }
    do {
        ++out.frames;
        if (!decoder->decode(frame, out.pcm)) {
            ADD_FAILURE() << name << ": frame " << out.frames << " refused";
            return out;
        }
    } while (reader.next_frame(frame));
    EXPECT_TRUE(decoder->finish(out.pcm)) << name;
    return out;
}

// The device tests need the harness's private sound server; without it they
// would play on the machine's own speakers and set its volume.
class HarnessTest : public ::testing::Test {
protected:
    void SetUp() override
    {
        if (!std::getenv("PULSE_SERVER") || !std::getenv("HARNESS_DIR"))
            FAIL() << "run inside tests/harness/with_harness.sh";
    }
};
