// The libmpg123 decoder on the test tracks: every MPEG version and both
// layers come out whole, and a track's encoder gap is cut exactly.
#include "sound/mpg123_decoder.h"

#include <gtest/gtest.h>

#include <algorithm>
#include <cmath>
#include <numbers>
#include <span>

#include <mpg123.h>

#include "tests/alsa/alsa_test_support.h"

namespace {

struct TrackCase {
    const char* name;
    MpegFormat format;
};

// Tracks whose LAME tag states the encoder's gap.
const TrackCase tagged_tracks[] = {
    {"stereo44.mp3", {MpegVersion::mpeg1, 3, 44100, 2}},
    {"vbr44.mp3", {MpegVersion::mpeg1, 3, 44100, 2}},
    {"id3v2.mp3", {MpegVersion::mpeg1, 3, 44100, 2}},
    {"id3v1.mp3", {MpegVersion::mpeg1, 3, 44100, 2}},
    {"both_tags.mp3", {MpegVersion::mpeg1, 3, 44100, 2}},
    {"tagged22_mono.mp3", {MpegVersion::mpeg2, 3, 22050, 1}},
    {"tagged24_stereo.mp3", {MpegVersion::mpeg2, 3, 24000, 2}},
    {"tagged11_mono.mp3", {MpegVersion::mpeg2_5, 3, 11025, 1}},
};

// Tracks too thin for a tag.
const TrackCase untagged_tracks[] = {
    {"mono22.mp3", {MpegVersion::mpeg2, 3, 22050, 1}},
    {"mono24.mp3", {MpegVersion::mpeg2, 3, 24000, 1}},
    {"mono16.mp3", {MpegVersion::mpeg2, 3, 16000, 1}},
    {"mono8.mp3", {MpegVersion::mpeg2_5, 3, 8000, 1}},
};

const TrackCase layer2_tracks[] = {
    {"layer2_48.mp2", {MpegVersion::mpeg1, 2, 48000, 2}},
    {"layer2_24.mp2", {MpegVersion::mpeg2, 2, 24000, 1}},
};

std::size_t samples_per_frame(const MpegFormat& f) { return f.layer == 3 && f.version != MpegVersion::mpeg1 ? 576 : 1152; }

// The gap as libmpg123 itself reads it from the track's LAME tag.
EncoderGap tagged_gap(const std::string& name)
{
    EncoderGap gap;
    mpg123_handle* handle = mpg123_new(nullptr, nullptr);
    mpg123_param(handle, MPG123_FLAGS, MPG123_QUIET, 0);
    long rate = 0;
    int channels = 0, encoding = 0;
    long delay = -1, padding = -1;
    if (mpg123_open(handle, track_file(name).c_str()) == MPG123_OK &&
        mpg123_getformat(handle, &rate, &channels, &encoding) == MPG123_OK &&
        mpg123_getstate(handle, MPG123_ENC_DELAY, &delay, nullptr) == MPG123_OK &&
        mpg123_getstate(handle, MPG123_ENC_PADDING, &padding, nullptr) == MPG123_OK) {
        gap = {static_cast<int>(delay), static_cast<int>(padding)};
    }
    mpg123_delete(handle);
    return gap;
}

// How closely the first channel follows the source tone from its first
// sample: 1 when in phase, near 0 when shifted by a quarter period or more.
double tone_match(const DecodedTrack& track)
{
    double dot = 0, power = 0, reference = 0;
    auto channels = static_cast<std::size_t>(track.format.channels);
    for (std::size_t i = 0; i * channels < track.pcm.size(); ++i) {
        double tone = std::sin(2 * std::numbers::pi * tone_hz * static_cast<double>(i) / track.format.sample_rate);
        double sample = track.pcm[i * channels];
        dot += sample * tone;
        power += sample * sample;
        reference += tone * tone;
    }
    return power > 0 ? dot / std::sqrt(power * reference) : 0;
}

std::size_t instants(const DecodedTrack& track)
{
    return track.pcm.size() / static_cast<std::size_t>(track.format.channels);
}

TEST(Mpg123Decoder, TaggedTracksComeOutAsLongAsTheirSource)
{
    for (const TrackCase& c : tagged_tracks) {
        SCOPED_TRACE(c.name);
        EncoderGap gap = tagged_gap(c.name);
        ASSERT_GT(gap.delay, 0) << "the track should carry a LAME tag";
        DecodedTrack track = decode_track(c.name, gap);
        EXPECT_EQ(track.format, c.format);
        EXPECT_EQ(track.pcm.size() % static_cast<std::size_t>(c.format.channels), 0u);
        EXPECT_EQ(instants(track), static_cast<std::size_t>(c.format.sample_rate * track_seconds));
        // Cut at the right place, the tone starts in phase, so a loop of it
        // has no seam of the encoder's making.
        EXPECT_GT(tone_match(track), 0.95);
    }
}

TEST(Mpg123Decoder, WithoutAGapEveryAudioFrameIsKept)
{
    for (const auto& cases : {std::span<const TrackCase>(tagged_tracks), std::span<const TrackCase>(untagged_tracks),
                              std::span<const TrackCase>(layer2_tracks)})
        for (const TrackCase& c : cases) {
            SCOPED_TRACE(c.name);
            DecodedTrack track = decode_track(c.name, EncoderGap{});
            EXPECT_EQ(track.format, c.format);
            // The LAME tag's frame holds no audio and is not played.
            std::size_t audio_frames = track.frames - (track.first_frame_is_info ? 1 : 0);
            EXPECT_EQ(instants(track), audio_frames * samples_per_frame(c.format));
        }
}

TEST(Mpg123Decoder, Layer2SilenceDecodesToSilence)
{
    for (const TrackCase& c : layer2_tracks) {
        SCOPED_TRACE(c.name);
        DecodedTrack track = decode_track(c.name, EncoderGap{});
        ASSERT_FALSE(track.pcm.empty());
        EXPECT_EQ(std::count(track.pcm.begin(), track.pcm.end(), 0), static_cast<long>(track.pcm.size()));
    }
}

TEST(Mpg123Decoder, ATruncatedTrackDecodesItsWholeFrames)
{
    DecodedTrack whole = decode_track("stereo44.mp3", EncoderGap{});
    DecodedTrack cut = decode_track("truncated.mp3", EncoderGap{});
    EXPECT_EQ(cut.frames + 1, whole.frames);
    EXPECT_EQ(instants(cut) + 1152, instants(whole));
    EXPECT_TRUE(std::equal(cut.pcm.begin(), cut.pcm.end(), whole.pcm.begin()));
}

// A gap no LAME tag can state (or a negative one) is not believed beyond
// what a tag can hold, and never cuts more than the track has.
TEST(Mpg123Decoder, OutlandishGapsCutNoMoreThanTheTrack)
{
    const EncoderGap gaps[] = {{-5, -5}, {1'000'000, 0}, {0, 1'000'000}, {4095, 4095}};
    std::size_t whole = instants(decode_track("stereo44.mp3", EncoderGap{}));
    for (const EncoderGap& gap : gaps) {
        SCOPED_TRACE(testing::Message() << gap.delay << "/" << gap.padding);
        DecodedTrack track = decode_track("stereo44.mp3", gap);
        std::size_t front = static_cast<std::size_t>(std::clamp(gap.delay, 0, 4095)) + 529;
        std::size_t back = static_cast<std::size_t>(std::max(std::clamp(gap.padding, 0, 4095) - 529, 0));
        EXPECT_EQ(instants(track), whole > front + back ? whole - front - back : 0);
    }
}

// Frames whose bodies are garbage (a damaged file) decode to at most a
// frame's worth of samples each, or are refused; nothing worse.
TEST(Mpg123Decoder, DamagedFramesAreSurvived)
{
    for (const char* name : {"stereo44.mp3", "tagged22_mono.mp3", "layer2_48.mp2"}) {
        SCOPED_TRACE(name);
        auto source = open_file_source(track_path(name));
        ASSERT_NE(source, nullptr);
        MpegReader reader(*source);
        MpegFrame frame;
        ASSERT_TRUE(reader.next_frame(frame));
        MpegFormat format = frame.header.format();
        auto decoder = make_mpg123_decoder();
        ASSERT_TRUE(decoder->open(format, EncoderGap{}));
        unsigned seed = 1;
        std::vector<std::int16_t> pcm;
        do {
            for (std::size_t i = 4; i < frame.bytes.size(); ++i) {
                seed = seed * 1103515245 + 12345;
                frame.bytes[i] = static_cast<unsigned char>(seed >> 16);
            }
            pcm.clear();
            if (!decoder->decode(frame, pcm))
                break;
            EXPECT_LE(pcm.size(), samples_per_frame(format) * static_cast<std::size_t>(format.channels));
        } while (reader.next_frame(frame));
    }
}

// Frames of another format than the one opened are not played at the wrong
// rate or channel count.
TEST(Mpg123Decoder, FramesOfAnotherFormatAreRefused)
{
    auto source = open_file_source(track_path("stereo44.mp3"));
    ASSERT_NE(source, nullptr);
    MpegReader reader(*source);
    MpegFrame frame;
    ASSERT_TRUE(reader.next_frame(frame));
    ASSERT_TRUE(reader.next_frame(frame)); // past the tag, an audio frame
    auto decoder = make_mpg123_decoder();
    ASSERT_TRUE(decoder->open({MpegVersion::mpeg2, 3, 22050, 1}, EncoderGap{}));
    std::vector<std::int16_t> pcm;
    EXPECT_FALSE(decoder->decode(frame, pcm));
    EXPECT_TRUE(pcm.empty());
}

TEST(Mpg123Decoder, AFormatItCannotDecodeIsRefused)
{
    // Three channels: MPEG audio has at most two.
    EXPECT_FALSE(make_mpg123_decoder()->open({MpegVersion::mpeg1, 3, 44100, 3}, EncoderGap{}));
}

} // namespace
