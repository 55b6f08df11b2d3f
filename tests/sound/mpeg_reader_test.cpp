// The MPEG stream reader, on tracks made by encoders and on damaged or
// meaningless bytes.
#include "sound/mpeg_reader.h"

#include <gtest/gtest.h>

#include <cstring>
#include <random>
#include <string>
#include <vector>

#include "tests/sound/mpeg_stream.h"
#include "tests/sound/test_sources.h"
#include "tests/temp_folder.h"

namespace {

std::string track_path(const std::string& name) { return std::string(SOUND_TEST_TRACKS) + "/" + name; }

struct Stream {
    std::vector<MpegFrame> frames;
    std::string bytes; // the frames' bytes one after another
    EncoderGap gap;
};

Stream read_all(ByteSource& source, std::stop_token stop = {})
{
    Stream out;
    MpegReader reader(source, stop);
    MpegFrame frame;
    while (reader.next_frame(frame)) {
        out.bytes.append(frame.bytes.begin(), frame.bytes.end());
        out.frames.push_back(std::move(frame));
    }
    EXPECT_FALSE(reader.next_frame(frame)) << "the end of a stream stays the end";
    out.gap = reader.encoder_gap();
    return out;
}

Stream read_memory(std::string bytes)
{
    MemoryByteSource source(std::move(bytes));
    return read_all(source);
}

// Every frame handed out is whole and starts with its own header.
void expect_well_formed(const Stream& s)
{
    for (const MpegFrame& f : s.frames) {
        ASSERT_EQ(f.bytes.size(), static_cast<std::size_t>(f.header.frame_length));
        auto again = parse_mpeg_header(f.bytes.data());
        ASSERT_TRUE(again.has_value());
        EXPECT_EQ(again->format(), s.frames.front().header.format());
    }
}

// An ID3v2 tag's whole size from its header.
std::size_t id3v2_size(const std::string& file)
{
    if (file.compare(0, 3, "ID3") != 0)
        return 0;
    auto b = [&](int i) { return static_cast<std::size_t>(static_cast<unsigned char>(file[i])); };
    return 10 + (b(6) << 21 | b(7) << 14 | b(8) << 7 | b(9)) + ((b(5) & 0x10) ? 10 : 0);
}

// The frame count an encoder wrote in the Xing or Info frame at the start of
// the data, which does not count itself; -1 without one.
long encoder_frame_count(const std::string& data)
{
    auto b = [&](std::size_t i) { return static_cast<long>(static_cast<unsigned char>(data[i])); };
    for (std::size_t i = 4; i + 12 <= data.size() && i < 64; ++i) {
        if (data.compare(i, 4, "Xing") != 0 && data.compare(i, 4, "Info") != 0)
            continue;
        if ((b(i + 7) & 1) == 0)
            return -1;
        return b(i + 8) << 24 | b(i + 9) << 16 | b(i + 10) << 8 | b(i + 11);
    }
    return -1;
}

struct TrackCase {
    const char* name;
    MpegFormat format;
    bool encoder_frame; // an Xing or Info frame comes first
    bool id3v2, id3v1;
};

const TrackCase track_cases[] = {
    {"stereo44.mp3", {MpegVersion::mpeg1, 3, 44100, 2}, true, false, false},
    {"vbr44.mp3", {MpegVersion::mpeg1, 3, 44100, 2}, true, false, false},
    {"id3v2.mp3", {MpegVersion::mpeg1, 3, 44100, 2}, true, true, false},
    {"id3v1.mp3", {MpegVersion::mpeg1, 3, 44100, 2}, true, false, true},
    {"both_tags.mp3", {MpegVersion::mpeg1, 3, 44100, 2}, true, true, true},
    {"info_mono44.mp3", {MpegVersion::mpeg1, 3, 44100, 1}, true, false, false},
    {"info_stereo22.mp3", {MpegVersion::mpeg2, 3, 22050, 2}, true, false, false},
    {"info_mono22.mp3", {MpegVersion::mpeg2, 3, 22050, 1}, true, false, false},
    {"mono22.mp3", {MpegVersion::mpeg2, 3, 22050, 1}, false, false, false},
    {"mono24.mp3", {MpegVersion::mpeg2, 3, 24000, 1}, false, false, false},
    {"mono16.mp3", {MpegVersion::mpeg2, 3, 16000, 1}, false, false, false},
    {"mono8.mp3", {MpegVersion::mpeg2_5, 3, 8000, 1}, false, false, false},
    {"layer2_48.mp2", {MpegVersion::mpeg1, 2, 48000, 2}, false, false, false},
    {"layer2_24.mp2", {MpegVersion::mpeg2, 2, 24000, 1}, false, false, false},
};

} // namespace

TEST(SoundMpegReader, HandsOutExactlyTheAudioBytesOfEncodedTracks)
{
    for (const TrackCase& c : track_cases) {
        SCOPED_TRACE(c.name);
        std::string file = TempFolder::read(track_path(c.name));
        ASSERT_GT(file.size(), 1000u);
        auto source = open_file_source(track_path(c.name));
        ASSERT_NE(source, nullptr);
        Stream s = read_all(*source);
        ASSERT_FALSE(s.frames.empty());
        expect_well_formed(s);
        EXPECT_EQ(s.frames.front().header.format(), c.format);

        // Everything between the tags, in order, but for the encoder's
        // information frame, and nothing else.
        std::size_t start = id3v2_size(file);
        std::size_t tail = c.id3v1 ? 128 : 0;
        EXPECT_EQ(start > 0, c.id3v2);
        EXPECT_EQ(file.compare(file.size() - 128, 3, "TAG") == 0, c.id3v1);
        std::string data = file.substr(start, file.size() - start - tail);
        ASSERT_GE(data.size(), s.bytes.size());
        std::size_t info_frame = data.size() - s.bytes.size();
        EXPECT_EQ(info_frame > 0, c.encoder_frame);
        EXPECT_TRUE(s.bytes == data.substr(info_frame));

        // Half a second of tone at least.
        long samples = static_cast<long>(s.frames.size()) * s.frames.front().header.samples_per_frame;
        EXPECT_GE(samples, c.format.sample_rate / 2);

        long counted = encoder_frame_count(data);
        if (c.encoder_frame) {
            EXPECT_EQ(static_cast<long>(s.frames.size()), counted);
            EXPECT_EQ(info_frame, static_cast<std::size_t>(parse_mpeg_header(
                                                               reinterpret_cast<const unsigned char*>(data.data()))
                                                               ->frame_length));
            // The encoder's delay and padding surround the half second of
            // tone exactly.
            EXPECT_GT(s.gap.delay, 0);
            EXPECT_EQ(s.gap.delay + c.format.sample_rate / 2 + s.gap.padding, samples);
        } else {
            EXPECT_EQ(counted, -1);
            EXPECT_EQ(s.gap, EncoderGap{});
        }
    }
}

TEST(SoundMpegReader, Layer2StreamsHaveAllTheirFrames)
{
    const std::pair<const char*, std::size_t> cases[] = {{"layer2_48.mp2", 21}, {"layer2_24.mp2", 11}};
    for (auto [name, frames] : cases) {
        auto source = open_file_source(track_path(name));
        ASSERT_NE(source, nullptr) << name;
        EXPECT_EQ(read_all(*source).frames.size(), frames) << name;
    }
}

TEST(SoundMpegReader, LeavesOutALastFrameCutShort)
{
    std::string whole = TempFolder::read(track_path("stereo44.mp3"));
    std::string cut = TempFolder::read(track_path("truncated.mp3"));
    ASSERT_EQ(cut.size() + 100, whole.size());
    Stream full = read_memory(whole);
    Stream part = read_memory(cut);
    ASSERT_FALSE(full.frames.empty());
    EXPECT_EQ(part.frames.size(), full.frames.size() - 1);
    std::size_t last = full.frames.back().bytes.size();
    EXPECT_TRUE(part.bytes == full.bytes.substr(0, full.bytes.size() - last));
}

TEST(SoundMpegReader, CutAtEveryLengthGivesTheWholeFramesOnly)
{
    std::string stream = mpeg_frames(stereo44_header, stereo44_length, 4);
    for (std::size_t n = 0; n <= stream.size(); ++n) {
        Stream s = read_memory(stream.substr(0, n));
        EXPECT_EQ(s.frames.size(), n / stereo44_length) << n;
        EXPECT_EQ(s.bytes, stream.substr(0, s.frames.size() * stereo44_length)) << n;
    }
}

TEST(SoundMpegReader, FindsNothingInBytesWithoutAStream)
{
    std::mt19937 random(20240611);
    std::vector<std::pair<std::string, std::string>> inputs = {
        {"empty", ""},
        {"one byte", "\xFF"},
        {"a header alone, cut", "\xFF\xFB\x90"},
        {"all 0xFF", std::string(5000, '\xFF')},
        {"0xFF 0xFB over and over", [] {
             std::string s;
             for (int i = 0; i < 3000; ++i)
                 s += "\xFF\xFB";
             return s;
         }()},
        {"zeros", std::string(5000, '\0')},
        {"Layer I frames", mpeg_frames(layer1_header, 384, 10)},
        {"free-format frames", mpeg_frames({0xFF, 0xFB, 0x00, 0x64}, 417, 10)},
        {"an ID3v2 header, cut", "ID3\x04\x00\x00\x00"},
        {"an ID3v2 tag of 256 MB over garbage", std::string("ID3\x04\x00\x00\x7F\x7F\x7F\x7F", 10) + std::string(3000, 'x')},
        {"a single header in garbage", std::string(100, 'x') + mpeg_frames(stereo44_header, 4, 1) + std::string(1000, 'x')},
        {"only an ID3v1 tag", "TAG" + std::string(125, ' ')},
    };
    for (int seed = 0; seed < 64; ++seed) {
        std::string bytes(8192, '\0');
        for (char& c : bytes)
            c = static_cast<char>(random());
        inputs.emplace_back("random bytes " + std::to_string(seed), bytes);
    }
    for (auto& [why, bytes] : inputs)
        EXPECT_TRUE(read_memory(bytes).frames.empty()) << why;
}

TEST(SoundMpegReader, SkipsTagsAndFindsTheStreamBehindThem)
{
    std::string frames = mpeg_frames(stereo44_header, stereo44_length, 3);
    // Syncsafe size 0x0201 = 257 bytes of body; a footer adds 10 more.
    std::string tag = std::string("ID3\x04\x00\x00\x00\x00\x02\x01", 10) + std::string(257, '\xFF');
    std::string footed = std::string("ID3\x04\x00\x10\x00\x00\x00\x05", 10) + std::string(15, '\xFF');
    std::string id3v1 = "TAG" + std::string(125, '\xFF');
    struct Case {
        const char* why;
        std::string bytes;
    };
    const Case cases[] = {
        {"an ID3v2 tag", tag + frames},
        {"two ID3v2 tags", tag + tag + frames},
        {"a tag with a footer", footed + frames},
        {"an ID3v1 tag", frames + id3v1},
        {"both tags", tag + frames + id3v1},
        {"a tag claiming more than the file", std::string("ID3\x03\x00\x00\x7F\x7F\x7F\x7F", 10) + frames},
        {"garbage before", std::string(999, '\xFF') + frames},
        {"garbage after", frames + std::string(999, '\xFF')},
    };
    for (const Case& c : cases) {
        Stream s = read_memory(c.bytes);
        EXPECT_EQ(s.bytes, frames) << c.why;
    }
}

TEST(SoundMpegReader, ResyncsAfterGarbageInTheMiddle)
{
    std::string a = mpeg_frames(stereo44_header, stereo44_length, 3);
    std::string b = mpeg_frames(stereo44_header, stereo44_length, 2);
    // A lone header that does not start a frame of the stream: refused.
    std::string false_sync = "xx" + mpeg_frames(stereo44_header, 10, 1) + "yy";
    Stream s = read_memory(a + false_sync + b);
    EXPECT_EQ(s.frames.size(), 5u);
    EXPECT_EQ(s.bytes, a + b);
}

TEST(SoundMpegReader, KeepsToTheFormatOfTheFirstFrame)
{
    std::string a = mpeg_frames(stereo44_header, stereo44_length, 3);
    std::string other = mpeg_frames(stereo48_header, stereo48_length, 3);
    std::string b = mpeg_frames(stereo44_header, stereo44_length, 2);
    Stream s = read_memory(a + other + b);
    EXPECT_EQ(s.bytes, a + b);
}

TEST(SoundMpegReader, DamagedTracksStillEndWithWellFormedFrames)
{
    std::string track = TempFolder::read(track_path("both_tags.mp3"));
    ASSERT_FALSE(track.empty());
    std::mt19937 random(7);
    for (int round = 0; round < 200; ++round) {
        std::string damaged = track;
        int flips = 1 + static_cast<int>(random() % 40);
        for (int i = 0; i < flips; ++i)
            damaged[random() % damaged.size()] ^= static_cast<char>(1 << (random() % 8));
        if (round % 3 == 0)
            damaged.resize(random() % damaged.size());
        Stream s = read_memory(damaged);
        SCOPED_TRACE(round);
        expect_well_formed(s);
    }
}

TEST(SoundMpegReader, SkipsTheEncoderInformationFrameAndKeepsItsGap)
{
    // MPEG-2 Layer III, 80 kbit/s, 22050 Hz: 261 bytes a frame.
    const std::array<unsigned char, 4> stereo22_header{0xFF, 0xF3, 0x90, 0x64};
    const std::array<unsigned char, 4> mono22_header{0xFF, 0xF3, 0x90, 0xC4};
    const std::array<unsigned char, 4> mono44_header{0xFF, 0xFB, 0x90, 0xC4};
    const std::array<unsigned char, 4> crc44_header{0xFF, 0xFA, 0x90, 0x64};
    const std::array<unsigned char, 4> layer2_header{0xFF, 0xFD, 0xA4, 0x00};
    struct Case {
        const char* why;
        std::array<unsigned char, 4> header;
        std::size_t length;
        EncoderInfo info;
        bool skipped;
        EncoderGap gap;
    };
    const Case cases[] = {
        {"Info with a LAME extension", stereo44_header, 417, {"Info", 36, 0x0F, "LAME3.100", 576, 1566}, true, {576, 1566}},
        {"Xing with no optional fields", stereo44_header, 417, {"Xing", 36, 0x00, "LAME3.99r", 1105, 0}, true, {1105, 0}},
        {"Xing written by Lavf", stereo44_header, 417, {"Xing", 36, 0x03, "Lavf58.76", 4095, 4095}, true, {4095, 4095}},
        {"Xing with no extension", stereo44_header, 417, {"Xing", 36, 0x0F, "", 0, 0}, true, {}},
        {"an unknown encoder's extension", stereo44_header, 417, {"Info", 36, 0x0F, "Abcd1.0", 576, 99}, true, {}},
        {"MPEG-1 mono", mono44_header, 417, {"Info", 21, 0x0F, "LAME3.100", 576, 100}, true, {576, 100}},
        {"MPEG-1 with a check word", crc44_header, 417, {"Info", 38, 0x0F, "LAME3.100", 576, 7}, true, {576, 7}},
        {"MPEG-2 stereo", stereo22_header, 261, {"Xing", 21, 0x0F, "LAME3.100", 576, 1}, true, {576, 1}},
        {"MPEG-2 mono", mono22_header, 261, {"Info", 13, 0x0F, "LAME3.100", 1152, 576}, true, {1152, 576}},
        {"a marker out of place", stereo44_header, 417, {"Info", 21, 0x0F, "LAME3.100", 576, 1566}, false, {}},
        {"Layer II", layer2_header, 576, {"Info", 36, 0x0F, "LAME3.100", 576, 1566}, false, {}},
    };
    for (const Case& c : cases) {
        std::string info = encoder_info_frame(c.header, c.length, c.info);
        std::string audio = mpeg_frames(c.header, c.length, 3);
        Stream s = read_memory(info + audio);
        EXPECT_EQ(s.bytes, c.skipped ? audio : info + audio) << c.why;
        EXPECT_EQ(s.gap, c.gap) << c.why;
    }
}

TEST(SoundMpegReader, OnlyTheFirstFrameCanBeTheEncoders)
{
    std::string info = encoder_info_frame(stereo44_header, stereo44_length, {"Info", 36, 0x0F, "LAME3.100", 576, 9});
    std::string audio = mpeg_frames(stereo44_header, stereo44_length, 2);
    struct Case {
        const char* why;
        std::string bytes;
        std::string expected;
    };
    const Case cases[] = {
        {"information frame in the middle", audio + info + audio, audio + info + audio},
        {"information frame alone", info + std::string(3, 'x'), ""},
        {"information frame behind garbage", std::string(700, 'x') + info + audio, audio},
    };
    for (const Case& c : cases)
        EXPECT_EQ(read_memory(c.bytes).bytes, c.expected) << c.why;
}

TEST(SoundMpegReader, FirstFrameNeedsAConfirmingHeaderUnlessItStartsTheData)
{
    std::string frame = mpeg_frames(stereo44_header, stereo44_length, 1);
    std::string frames = mpeg_frames(stereo44_header, stereo44_length, 3);
    std::string junk(500, 'x');
    std::string tag = std::string("ID3\x04\x00\x00\x00\x00\x00\x05", 10) + "abcde";
    std::string id3v1 = "TAG" + std::string(125, ' ');
    struct Case {
        const char* why;
        std::string bytes;
        std::string expected;
    };
    const Case cases[] = {
        {"junk, then a lone frame ending the file", junk + frame, ""},
        {"junk, a lone frame, one byte", junk + frame + "y", ""},
        {"junk, a lone frame, three bytes", junk + frame + "yyy", ""},
        {"a lone frame, three bytes", frame + "yyy", frame},
        {"junk, a lone frame, a trailing tag", junk + frame + id3v1, ""},
        {"a lone frame that is the whole file", frame, frame},
        {"a lone frame behind one junk byte", "y" + frame, ""},
        {"a lone frame between tags", tag + frame + id3v1, frame},
        {"a stream whose last frame follows junk", frames + junk + frame, frames + frame},
        {"a stream whose last frame follows junk and ends in 3 bytes", frames + junk + frame + "yyy", frames + frame},
    };
    for (const Case& c : cases)
        EXPECT_EQ(read_memory(c.bytes).bytes, c.expected) << c.why;
}

TEST(SoundMpegReader, EndsCleanlyWhenReadsStartFailing)
{
    // The first frame lies near the end of the first window, so that
    // confirming it reads past that window.
    std::string frames = mpeg_frames(stereo44_header, stereo44_length, 6);
    std::string file = std::string(64 * 1024 - 200, 'x') + frames;
    for (int good_reads = 0; good_reads <= 12; ++good_reads) {
        FailingByteSource source(file, good_reads);
        Stream s = read_all(source);
        SCOPED_TRACE(good_reads);
        expect_well_formed(s);
        EXPECT_LE(s.bytes.size(), frames.size());
        EXPECT_TRUE(s.bytes == frames.substr(0, s.bytes.size()));
    }
}

TEST(SoundMpegReader, StopsSearchingWithinAWindowOfAStopRequest)
{
    std::string random_block(8191, '\0');
    std::mt19937 random(99);
    for (char& c : random_block)
        c = static_cast<char>(random());
    std::string stream = mpeg_frames(stereo44_header, stereo44_length, 3);
    struct Case {
        const char* why;
        std::string head, block;
        std::size_t frames;
    };
    const Case cases[] = {
        {"zeros", "", std::string(1, '\0'), 0},
        {"all 0xFF", "", "\xFF", 0},
        {"0xFF 0xFB over and over", "", "\xFF\xFB", 0},
        {"random bytes", "", random_block, 0},
        {"Layer I frames", "", mpeg_frames(layer1_header, 384, 1), 0},
        {"ID3v2 headers over and over", "", std::string("ID3\x04\x00\x00\x00\x00\x00\x00", 10), 0},
        {"a stream, then frames of another format", stream, mpeg_frames(stereo48_header, stereo48_length, 1), 3},
    };
    const std::uint64_t request_after = 256 * 1024;
    for (const Case& c : cases) {
        std::stop_source stop;
        std::uint64_t read_at_request = 0;
        RepeatingByteSource source(c.head, c.block, std::uint64_t{1} << 30, [&](std::uint64_t read) {
            if (read >= request_after && !stop.stop_requested()) {
                read_at_request = read;
                stop.request_stop();
            }
        });
        Stream s = read_all(source, stop.get_token());
        EXPECT_EQ(s.frames.size(), c.frames) << c.why;
        ASSERT_TRUE(stop.stop_requested()) << c.why;
        EXPECT_LT(source.bytes_read() - read_at_request, 64u * 1024) << c.why;
    }
}
