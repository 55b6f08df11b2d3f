// Fuzzes the MPEG reader over a source in memory, one whose reads start
// failing, one that returns short reads, and one during whose reads a stop is
// requested: every frame handed out is whole, lies in the data in order
// without overlapping the previous one, and stays outside the ID3 tags; once
// the stream has ended, or a stop has been requested, no frame follows.
//
// Input: a mode byte (bit 0: reads fail after a number of calls, bit 1: some
// reads are short, bit 2: a stop is requested during one read), the number
// of calls that succeed, how often a read is short, how many bytes a short
// read gives, the call during which the stop comes; then the file's bytes.
#include <algorithm>
#include <cstdint>
#include <cstring>
#include <memory>
#include <optional>
#include <stop_token>
#include <string>
#include <string_view>

#include "fuzz/fuzz_check.h"
#include "fuzz/fuzz_fields.h"
#include "sound/byte_source.h"
#include "sound/mpeg_reader.h"

namespace {

struct SourceSettings {
    bool failing, short_reads, stopping;
    int good_reads, short_every;
    std::size_t short_bytes;
    int stop_at;
};

SourceSettings settings_from(FuzzFields& in)
{
    SourceSettings s{};
    std::uint8_t mode = in.next_byte();
    s.failing = (mode & 1) != 0;
    s.short_reads = (mode & 2) != 0;
    s.stopping = (mode & 4) != 0;
    s.good_reads = in.next_byte();
    s.short_every = 1 + in.next_byte() % 8;
    s.short_bytes = in.next_byte();
    s.stop_at = in.next_byte();
    return s;
}

// The file's bytes behind a source that misbehaves as the settings ask.
class UnreliableSource final : public ByteSource {
public:
    UnreliableSource(std::string_view bytes, const SourceSettings& settings, std::stop_source& stop)
        : bytes_(bytes), settings_(settings), stop_(stop) {}

    std::uint64_t size() const override { return bytes_.size(); }

    std::size_t read_at(std::uint64_t offset, unsigned char* dest, std::size_t count) override
    {
        ++reads_;
        if (settings_.stopping && reads_ == settings_.stop_at)
            stop_.request_stop();
        if (settings_.failing && reads_ > settings_.good_reads)
            return 0; // the medium has gone
        if (offset >= bytes_.size())
            return 0;
        if (settings_.short_reads && reads_ % settings_.short_every == 0)
            count = std::min(count, settings_.short_bytes);
        std::size_t n = std::min<std::uint64_t>(count, bytes_.size() - offset);
        std::memcpy(dest, bytes_.data() + offset, n);
        return n;
    }

private:
    std::string_view bytes_;
    SourceSettings settings_;
    std::stop_source& stop_;
    int reads_ = 0;
};

std::unique_ptr<ByteSource> source_for(const SourceSettings& s, std::string_view file, std::stop_source& stop)
{
    if (!s.failing && !s.short_reads && !s.stopping)
        return std::make_unique<MemoryByteSource>(std::string(file));
    return std::make_unique<UnreliableSource>(file, s, stop);
}

constexpr std::size_t id3v1_size = 128;
constexpr std::size_t id3v2_header_size = 10;

// Where the audio may lie: behind the ID3v2 tags that open the file (a tag
// claiming more than the file holds only hides its own header) and before a
// closing 128-byte "TAG".
struct AudioSpan {
    std::size_t begin, end;
};

AudioSpan audio_span(std::string_view file)
{
    AudioSpan span{0, file.size()};
    if (file.size() >= id3v1_size && file.substr(file.size() - id3v1_size, 3) == "TAG")
        span.end = file.size() - id3v1_size;
    while (span.end - span.begin >= id3v2_header_size) {
        auto t = reinterpret_cast<const unsigned char*>(file.data() + span.begin);
        if (std::memcmp(t, "ID3", 3) != 0 || t[3] == 0xFF || t[4] == 0xFF || ((t[6] | t[7] | t[8] | t[9]) & 0x80))
            break;
        std::size_t body = (std::size_t{t[6]} << 21) | (std::size_t{t[7]} << 14) | (std::size_t{t[8]} << 7) | t[9];
        std::size_t whole = id3v2_header_size + body + ((t[5] & 0x10) ? 10 : 0);
        if (whole > span.end - span.begin) {
            span.begin += id3v2_header_size;
            break;
        }
        span.begin += whole;
    }
    return span;
}

void check_frame(const MpegFrame& frame, const MpegFormat& stream)
{
    FUZZ_REQUIRE(frame.header.frame_length >= 4);
    FUZZ_REQUIRE(frame.bytes.size() == static_cast<std::size_t>(frame.header.frame_length));
    auto header = parse_mpeg_header(frame.bytes.data());
    FUZZ_REQUIRE(header.has_value());
    FUZZ_REQUIRE(header->frame_length == frame.header.frame_length);
    FUZZ_REQUIRE(header->format() == frame.header.format());
    FUZZ_REQUIRE(frame.header.format() == stream);
}

} // namespace

extern "C" int LLVMFuzzerTestOneInput(const std::uint8_t* data, std::size_t size)
{
    FuzzFields in(data, size);
    SourceSettings settings = settings_from(in);
    std::string_view file = in.rest();
    std::stop_source stop;
    std::unique_ptr<ByteSource> source = source_for(settings, file, stop);
    AudioSpan span = audio_span(file);

    MpegReader reader(*source, stop.get_token());
    MpegFrame frame;
    std::optional<MpegFormat> stream;
    // The earliest place the next frame can be found. Taking each frame at its
    // earliest place in the data is never stricter than the true placement.
    std::size_t next_from = span.begin;
    for (;;) {
        bool stopped = stop.stop_requested();
        if (!reader.next_frame(frame))
            break;
        FUZZ_REQUIRE(!stopped);
        if (!stream)
            stream = frame.header.format();
        check_frame(frame, *stream);
        std::string_view bytes(reinterpret_cast<const char*>(frame.bytes.data()), frame.bytes.size());
        std::size_t at = file.find(bytes, next_from);
        FUZZ_REQUIRE(at != std::string_view::npos);
        FUZZ_REQUIRE(at + bytes.size() <= span.end);
        next_from = at + bytes.size();
    }
    FUZZ_REQUIRE(!reader.next_frame(frame));
    return 0;
}
