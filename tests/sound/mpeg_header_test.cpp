// Frame headers: the fields read from them and the ones refused.
#include "sound/mpeg_reader.h"

#include <gtest/gtest.h>

#include <array>

namespace {

using Bytes = std::array<unsigned char, 4>;

struct Accepted {
    Bytes bytes;
    MpegVersion version;
    int layer, bitrate, sample_rate, channels, frame_length, samples_per_frame;
    bool padding, crc;
};

const Accepted accepted[] = {
    // MPEG-1 Layer III: 144 * 128000 / 44100 = 417, padded 418.
    {{0xFF, 0xFB, 0x90, 0x64}, MpegVersion::mpeg1, 3, 128000, 44100, 2, 417, 1152, false, false},
    {{0xFF, 0xFB, 0x92, 0x64}, MpegVersion::mpeg1, 3, 128000, 44100, 2, 418, 1152, true, false},
    {{0xFF, 0xFA, 0xE4, 0xC4}, MpegVersion::mpeg1, 3, 320000, 48000, 1, 960, 1152, false, true},
    {{0xFF, 0xFB, 0x18, 0x00}, MpegVersion::mpeg1, 3, 32000, 32000, 2, 144, 1152, false, false},
    // MPEG-2 Layer III: half the bytes per bit rate: 72 * 32000 / 22050 = 104.
    {{0xFF, 0xF3, 0x40, 0xC4}, MpegVersion::mpeg2, 3, 32000, 22050, 1, 104, 576, false, false},
    {{0xFF, 0xF3, 0x44, 0xC4}, MpegVersion::mpeg2, 3, 32000, 24000, 1, 96, 576, false, false},
    {{0xFF, 0xF3, 0xE8, 0x44}, MpegVersion::mpeg2, 3, 160000, 16000, 2, 720, 576, false, false},
    // MPEG-2.5 Layer III.
    {{0xFF, 0xE3, 0x28, 0xC4}, MpegVersion::mpeg2_5, 3, 16000, 8000, 1, 144, 576, false, false},
    {{0xFF, 0xE3, 0x82, 0x00}, MpegVersion::mpeg2_5, 3, 64000, 11025, 2, 418, 576, true, false},
    {{0xFF, 0xE3, 0x14, 0x00}, MpegVersion::mpeg2_5, 3, 8000, 12000, 2, 48, 576, false, false},
    // Layer II: 144 bytes per bit rate in every version.
    {{0xFF, 0xFD, 0xA4, 0x00}, MpegVersion::mpeg1, 2, 192000, 48000, 2, 576, 1152, false, false},
    {{0xFF, 0xFC, 0xE8, 0x00}, MpegVersion::mpeg1, 2, 384000, 32000, 2, 1728, 1152, false, true},
    {{0xFF, 0xF5, 0x84, 0xC0}, MpegVersion::mpeg2, 2, 64000, 24000, 1, 384, 1152, false, false},
    {{0xFF, 0xE5, 0xE8, 0xC0}, MpegVersion::mpeg2_5, 2, 160000, 8000, 1, 2880, 1152, false, false},
};

} // namespace

TEST(SoundMpegHeader, ReadsEveryField)
{
    for (const Accepted& c : accepted) {
        SCOPED_TRACE(::testing::Message() << std::hex << int(c.bytes[1]) << " " << int(c.bytes[2]) << " "
                                          << int(c.bytes[3]));
        auto h = parse_mpeg_header(c.bytes.data());
        ASSERT_TRUE(h.has_value());
        EXPECT_EQ(h->version, c.version);
        EXPECT_EQ(h->layer, c.layer);
        EXPECT_EQ(h->bitrate, c.bitrate);
        EXPECT_EQ(h->sample_rate, c.sample_rate);
        EXPECT_EQ(h->channels, c.channels);
        EXPECT_EQ(h->frame_length, c.frame_length);
        EXPECT_EQ(h->samples_per_frame, c.samples_per_frame);
        EXPECT_EQ(h->padding, c.padding);
        EXPECT_EQ(h->crc, c.crc);
        EXPECT_EQ(h->format(), (MpegFormat{c.version, c.layer, c.sample_rate, c.channels}));
    }
}

TEST(SoundMpegHeader, RefusesWhatIsNoPlayableHeader)
{
    const std::pair<Bytes, const char*> refused[] = {
        {{0xFE, 0xFB, 0x90, 0x64}, "no sync in the first byte"},
        {{0xFF, 0x1B, 0x90, 0x64}, "no sync in the second byte"},
        {{0xFF, 0xEB, 0x90, 0x64}, "reserved version"},
        {{0xFF, 0xF9, 0x90, 0x64}, "reserved layer"},
        {{0xFF, 0xFF, 0x90, 0x64}, "Layer I"},
        {{0xFF, 0xFF, 0xFF, 0xFF}, "all bits set"},
        {{0xFF, 0xFB, 0x00, 0x64}, "free format"},
        {{0xFF, 0xF3, 0x00, 0xC4}, "free format, MPEG-2"},
        {{0xFF, 0xFB, 0xF0, 0x64}, "bit rate index 15"},
        {{0xFF, 0xFB, 0x9C, 0x64}, "reserved sample rate"},
        {{0xFF, 0xE3, 0x2C, 0xC4}, "reserved sample rate, MPEG-2.5"},
        {{0xFF, 0xFB, 0x90, 0x66}, "reserved emphasis"},
        {{0x00, 0x00, 0x00, 0x00}, "zeros"},
    };
    for (const auto& [bytes, why] : refused)
        EXPECT_FALSE(parse_mpeg_header(bytes.data()).has_value()) << why;
}
