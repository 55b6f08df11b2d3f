// Reads an MPEG audio stream (Layers II and III) from a byte source as whole
// frames, skipping ID3 tags, the encoder's Xing/Info frame and whatever
// garbage lies between frames.
#include "sound/mpeg_reader.h"

#include <algorithm>
#include <cstring>
#include <iterator>
#include <utility>

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
// The most a search runs through without looking whether to stop.
constexpr std::uint64_t scan_step = 4 * 1024;
constexpr std::uint64_t id3v1_size = 128;
constexpr std::size_t id3v2_header_size = 10;

// Where a Layer III frame's side information ends and an encoder's
// Xing/Info header would begin.
std::size_t side_info_end(const MpegHeader& h)
{
    bool mono = h.channels == 1;
    std::size_t side = h.version == MpegVersion::mpeg1 ? (mono ? 17 : 32) : (mono ? 9 : 17);
    return 4 + (h.crc ? 2 : 0) + side;
}

std::uint32_t big_endian32(const unsigned char* b)
{
    return std::uint32_t{b[0]} << 24 | std::uint32_t{b[1]} << 16 | std::uint32_t{b[2]} << 8 | std::uint32_t{b[3]};
}

// The frame's Xing/Info header, if it is an encoder's information frame
// rather than audio: its gap comes from the LAME extension that follows the
// header's optional fields, when an encoder that writes one made the track.
std::optional<EncoderGap> encoder_info(const MpegFrame& frame)
{
    const MpegHeader& h = frame.header;
    const std::vector<unsigned char>& b = frame.bytes;
    std::size_t tag = side_info_end(h);
    if (h.layer != 3 || b.size() < tag + 8 ||
        (std::memcmp(&b[tag], "Xing", 4) != 0 && std::memcmp(&b[tag], "Info", 4) != 0))
        return std::nullopt;
    std::uint32_t flags = big_endian32(&b[tag + 4]);
    // Frame count, byte count, seek table, quality: each present by its flag.
    std::size_t lame = tag + 8 + ((flags & 1) ? 4 : 0) + ((flags & 2) ? 4 : 0) + ((flags & 4) ? 100 : 0) +
                       ((flags & 8) ? 4 : 0);
    EncoderGap gap;
    const char* encoders[] = {"LAME", "Lavc", "Lavf"};
    if (b.size() >= lame + 24 && std::any_of(std::begin(encoders), std::end(encoders), [&](const char* name) {
            return std::memcmp(&b[lame], name, 4) == 0;
        })) {
        // Twelve bits of delay, then twelve of padding.
        const unsigned char* d = &b[lame + 21];
        gap.delay = d[0] << 4 | d[1] >> 4;
        gap.padding = (d[1] & 0x0F) << 8 | d[2];
    }
    return gap;
}

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
    while (!stop_.stop_requested() && ensure(pos_, id3v2_header_size)) {
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
    begin_ = pos_;
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

// A header read without moving the window, so that confirming a frame near
// the window's end does not make the search read the same data again.
std::optional<MpegHeader> MpegReader::peek_header(std::uint64_t offset)
{
    if (offset > end_ || end_ - offset < 4)
        return std::nullopt;
    if (offset >= window_start_ && offset + 4 <= window_end())
        return parse_mpeg_header(at(offset));
    unsigned char four[4];
    if (source_.read_at(offset, four, 4) != 4)
        return std::nullopt;
    return parse_mpeg_header(four);
}

bool MpegReader::fits_stream(const MpegHeader& h) const { return !stream_ || h.format() == *stream_; }

// Whether the candidate's frame is followed by another header of its format.
// At the end of the data no header can follow: a frame of a stream already
// found may end it, but a first frame must then start the data, since one
// header alone is too easily found in garbage.
bool MpegReader::confirmed(const Candidate& c)
{
    std::uint64_t next = c.offset + static_cast<std::uint64_t>(c.header.frame_length);
    if (next > end_)
        return false;
    if (end_ - next < 4)
        return stream_ || c.offset == begin_;
    auto following = peek_header(next);
    return following && following->format() == c.header.format();
}

// The first confirmed frame of the stream at or after from. Bytes that
// cannot start a header are passed over with memchr; a stop request or a
// failed read ends the search.
std::optional<MpegReader::Candidate> MpegReader::find_confirmed_frame(std::uint64_t from)
{
    std::uint64_t p = from;
    while (p < end_ && end_ - p >= 4) {
        if (stop_.stop_requested() || !ensure(p, 4))
            return std::nullopt;
        // Every header starting before limit lies whole in the window.
        std::uint64_t limit = std::min({window_end() - 3, end_ - 3, p + scan_step});
        while (p < limit) {
            const void* sync = std::memchr(at(p), 0xFF, static_cast<std::size_t>(limit - p));
            if (!sync) {
                p = limit;
                break;
            }
            p = window_start_ + static_cast<std::uint64_t>(static_cast<const unsigned char*>(sync) - window_.data());
            auto h = parse_mpeg_header(at(p));
            if (h && fits_stream(*h) && confirmed({p, *h}))
                return Candidate{p, *h};
            ++p;
        }
    }
    return std::nullopt;
}

bool MpegReader::next_frame(MpegFrame& out)
{
    if (!started_)
        start();
    while (!done_ && !stop_.stop_requested()) {
        auto h = header_at(pos_);
        if (!stream_ || !h || !fits_stream(*h)) {
            // Not at a frame of the stream: look for one, then read it on the
            // next turn.
            auto found = find_confirmed_frame(pos_);
            if (!found)
                break;
            pos_ = found->offset;
            stream_ = found->header.format();
            continue;
        }
        auto length = static_cast<std::size_t>(h->frame_length);
        if (length > end_ - pos_ || !ensure(pos_, length))
            break;
        out.header = *h;
        out.bytes.assign(at(pos_), at(pos_) + length);
        pos_ += length;
        if (std::exchange(first_frame_, false)) {
            if (auto gap = encoder_info(out)) {
                gap_ = *gap;
                continue;
            }
        }
        return true;
    }
    done_ = true;
    return false;
}
