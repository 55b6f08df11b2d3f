// Reads an MPEG audio stream (Layers II and III) from a byte source as whole
// frames, skipping ID3 tags and whatever garbage lies between frames.
#include "sound/mpeg_reader.h"

#include <algorithm>
#include <cstring>

namespace {

// kbit/s by [MPEG-1 or not][layer II or III][index]; index 0 (free format)
// and 15 are refused before the look-up.
constexpr int bitrate_kbps[2][2][15] = {
    {{0, 32, 48, 56, 64, 80, 96, 112, 128, 160, 192, 224, 256, 320, 384},
     {0, 32, 40, 48, 56, 64, 80, 96, 112, 128, 160, 192, 224, 256, 320}},
    {{0, 8, 16, 24, 32, 40, 48, 56, 64, 80, 96, 112, 128, 144, 160},
     {0, 8, 16, 24, 32, 40, 48, 56, 64, 80, 96, 112, 128, 144, 160}},
};

constexpr int sample_rates[3][3] = {
    {44100, 48000, 32000}, // MPEG-1
    {22050, 24000, 16000}, // MPEG-2
    {11025, 12000, 8000},  // MPEG-2.5
};

constexpr std::size_t window_size = 64 * 1024;
constexpr std::uint64_t id3v1_size = 128;
constexpr std::size_t id3v2_header_size = 10;

} // namespace

std::optional<MpegHeader> parse_mpeg_header(const unsigned char* b)
{
    if (b[0] != 0xFF || (b[1] & 0xE0) != 0xE0)
        return std::nullopt;
    int version_bits = (b[1] >> 3) & 3;
    int layer_bits = (b[1] >> 1) & 3;
    int bitrate_index = b[2] >> 4;
    int rate_index = (b[2] >> 2) & 3;
    if (version_bits == 1 || layer_bits == 0 || layer_bits == 3 || bitrate_index == 0 ||
        bitrate_index == 15 || rate_index == 3 || (b[3] & 3) == 2)
        return std::nullopt;

    MpegHeader h{};
    h.version = version_bits == 3 ? MpegVersion::mpeg1 : version_bits == 2 ? MpegVersion::mpeg2 : MpegVersion::mpeg2_5;
    h.layer = layer_bits == 2 ? 2 : 3;
    bool mpeg1 = h.version == MpegVersion::mpeg1;
    h.bitrate = bitrate_kbps[mpeg1 ? 0 : 1][h.layer == 2 ? 0 : 1][bitrate_index] * 1000;
    h.sample_rate = sample_rates[static_cast<int>(h.version)][rate_index];
    h.padding = (b[2] & 2) != 0;
    h.crc = (b[1] & 1) == 0;
    h.channels = (b[3] >> 6) == 3 ? 1 : 2;
    // Layer III frames of MPEG-2 and 2.5 carry half the samples, so half the bytes.
    int slot_factor = h.layer == 3 && !mpeg1 ? 72 : 144;
    h.frame_length = slot_factor * h.bitrate / h.sample_rate + (h.padding ? 1 : 0);
    h.samples_per_frame = h.layer == 3 && !mpeg1 ? 576 : 1152;
    return h;
}

void MpegReader::start()
{
    started_ = true;
    std::uint64_t size = source_.size();
    end_ = size;
    if (size >= id3v1_size && ensure(size - id3v1_size, 3) && std::memcmp(at(size - id3v1_size), "TAG", 3) == 0)
        end_ = size - id3v1_size;

    // Leading ID3v2 tags, possibly several in a row. A tag that claims more
    // than the file holds is not believed: the search starts behind its header.
    while (ensure(pos_, id3v2_header_size)) {
        const unsigned char* t = at(pos_);
        if (std::memcmp(t, "ID3", 3) != 0 || t[3] == 0xFF || t[4] == 0xFF || ((t[6] | t[7] | t[8] | t[9]) & 0x80))
            break;
        std::uint64_t body = (std::uint64_t{t[6]} << 21) | (std::uint64_t{t[7]} << 14) |
                             (std::uint64_t{t[8]} << 7) | std::uint64_t{t[9]};
        std::uint64_t whole = id3v2_header_size + body + ((t[5] & 0x10) ? 10 : 0);
        if (whole > end_ - pos_) {
            pos_ += id3v2_header_size;
            break;
        }
        pos_ += whole;
    }
}

// Makes [offset, offset + count) readable through at(); false when the data
// ends (or the source fails) before that.
bool MpegReader::ensure(std::uint64_t offset, std::size_t count)
{
    if (offset >= window_start_ && offset - window_start_ + count <= window_.size())
        return true;
    std::uint64_t size = source_.size();
    if (offset > size || size - offset < count)
        return false;
    std::size_t want = static_cast<std::size_t>(std::min<std::uint64_t>(std::max(count, window_size), size - offset));
    window_.resize(want);
    window_start_ = offset;
    std::size_t got = source_.read_at(offset, window_.data(), want);
    window_.resize(got);
    return got >= count;
}

std::optional<MpegHeader> MpegReader::header_at(std::uint64_t offset)
{
    if (offset > end_ || end_ - offset < 4 || !ensure(offset, 4))
        return std::nullopt;
    return parse_mpeg_header(at(offset));
}

bool MpegReader::fits_stream(const MpegHeader& h) const { return !stream_ || h.format() == *stream_; }

// The first offset at or after from that holds a header fitting the stream
// whose frame is followed by another such header, or by less than a header's
// worth of data. One header alone is too easily found in garbage.
std::optional<std::uint64_t> MpegReader::find_confirmed_frame(std::uint64_t from)
{
    for (std::uint64_t p = from; p < end_ && end_ - p >= 4; ++p) {
        if (!ensure(p, 1))
            return std::nullopt;
        if (*at(p) != 0xFF)
            continue;
        auto h = header_at(p);
        if (!h || !fits_stream(*h))
            continue;
        std::uint64_t next = p + static_cast<std::uint64_t>(h->frame_length);
        if (next > end_)
            continue;
        if (end_ - next < 4)
            return p;
        auto following = header_at(next);
        if (following && following->format() == h->format())
            return p;
    }
    return std::nullopt;
}

bool MpegReader::next_frame(MpegFrame& out)
{
    if (!started_)
        start();
    while (!done_) {
        auto h = header_at(pos_);
        if (!stream_ || !h || !fits_stream(*h)) {
            // Not at a frame of the stream: look for one, then read it on the
            // next turn.
            auto found = find_confirmed_frame(pos_);
            if (!found)
                break;
            pos_ = *found;
            stream_ = header_at(pos_)->format();
            continue;
        }
        auto length = static_cast<std::size_t>(h->frame_length);
        if (length > end_ - pos_ || !ensure(pos_, length))
            break;
        out.header = *h;
        out.bytes.assign(at(pos_), at(pos_) + length);
        pos_ += length;
        return true;
    }
    done_ = true;
    return false;
}
