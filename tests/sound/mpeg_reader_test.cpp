// The MPEG stream reader, on tracks made by encoders and on damaged or
// meaningless bytes.
#include "sound/mpeg_reader.h"

#include <gtest/gtest.h>

#include <cstring>
#include <random>
#include <string>
#include <vector>

#include "tests/sound/mpeg_stream.h"
#include "tests/temp_folder.h"

namespace {

std::string track_path(const std::string& name) { return std::string(SOUND_TEST_TRACKS) + "/" + name; }

struct Stream {
    std::vector<MpegFrame> frames;
    std::string bytes; // the frames' bytes one after another
};

Stream read_all(ByteSource& source)
{
    Stream out;
    MpegReader reader(source);
    MpegFrame frame;
    while (reader.next_frame(frame)) {
        out.bytes.append(frame.bytes.begin(), frame.bytes.end());
        out.frames.push_back(std::move(frame));
    }
    EXPECT_FALSE(reader.next_frame(frame)) << "the end of a stream stays the end";
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

// The frame count an encoder wrote in its Xing or Info frame, which does not
// count itself; -1 without one.
long encoder_frame_count(const MpegFrame& first)
{
    const unsigned char* f = first.bytes.data();
    std::size_t n = first.bytes.size();
    for (std::size_t i = 4; i + 12 <= n && i < 64; ++i) {
        if (std::memcmp(f + i, "Xing", 4) != 0 && std::memcmp(f + i, "Info", 4) != 0)
            continue;
        if ((f[i + 7] & 1) == 0)
            return -1;
        return long{f[i + 8]} << 24 | long{f[i + 9]} << 16 | long{f[i + 10]} << 8 | long{f[i + 11]};
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

        // Everything between the tags, in order, and nothing else.
        std::size_t start = id3v2_size(file);
        std::size_t tail = c.id3v1 ? 128 : 0;
        EXPECT_EQ(start > 0, c.id3v2);
        EXPECT_EQ(file.compare(file.size() - 128, 3, "TAG") == 0, c.id3v1);
        EXPECT_EQ(s.bytes.size(), file.size() - start - tail);
        EXPECT_TRUE(s.bytes == file.substr(start, file.size() - start - tail));

        // Half a second of tone at least.
        long samples = static_cast<long>(s.frames.size()) * s.frames.front().header.samples_per_frame;
        EXPECT_GE(samples, c.format.sample_rate / 2);

        long counted = encoder_frame_count(s.frames.front());
        if (c.encoder_frame) {
            EXPECT_EQ(static_cast<long>(s.frames.size()), counted + 1);
        } else {
            EXPECT_EQ(counted, -1);
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
    EXPECT_EQ(part.bytes, whole.substr(0, whole.size() - last));
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
