// Reads an MPEG audio stream (Layers II and III) from a byte source as whole
// frames, skipping ID3 tags and whatever garbage lies between frames.
#pragma once

#include <cstdint>
#include <optional>
#include <vector>

#include "sound/byte_source.h"

enum class MpegVersion { mpeg1, mpeg2, mpeg2_5 };

// What a decoder and an output need to know before the first frame.
struct MpegFormat {
    MpegVersion version;
    int layer;       // 2 or 3
    int sample_rate; // Hz
    int channels;    // 1 or 2
    friend bool operator==(const MpegFormat&, const MpegFormat&) = default;
};

struct MpegHeader {
    MpegVersion version;
    int layer;
    int bitrate; // bits per second
    int sample_rate;
    int channels;
    bool padding;
    bool crc;              // a 16-bit check follows the header
    int frame_length;      // bytes, header included
    int samples_per_frame; // per channel
    MpegFormat format() const { return {version, layer, sample_rate, channels}; }
};

// The header held in the four bytes, or nothing when they are not one this
// reader plays: Layer I, free format, reserved bitrate, sample rate or
// emphasis are all refused.
std::optional<MpegHeader> parse_mpeg_header(const unsigned char* four);

struct MpegFrame {
    MpegHeader header;
    std::vector<unsigned char> bytes; // the whole frame, header included
};

class MpegReader {
public:
    // The source must outlive the reader. Nothing is read until the first
    // next_frame.
    explicit MpegReader(ByteSource& source) : source_(source) {}
    MpegReader(const MpegReader&) = delete;
    MpegReader& operator=(const MpegReader&) = delete;

    // The next whole frame, or false at the end of the stream (and from then
    // on). The first frame fixes the stream's format; later frames of another
    // format are skipped as garbage. A frame cut short by the end of the data
    // is not handed out. Every call advances through the source, so a reader
    // ends on any input.
    bool next_frame(MpegFrame& out);

private:
    void start();
    bool ensure(std::uint64_t offset, std::size_t count);
    const unsigned char* at(std::uint64_t offset) const { return window_.data() + (offset - window_start_); }
    std::optional<MpegHeader> header_at(std::uint64_t offset);
    bool fits_stream(const MpegHeader& h) const;
    std::optional<std::uint64_t> find_confirmed_frame(std::uint64_t from);

    ByteSource& source_;
    std::vector<unsigned char> window_;
    std::uint64_t window_start_ = 0;
    std::uint64_t pos_ = 0;
    std::uint64_t end_ = 0; // the audio data ends here, before any trailing tag
    std::optional<MpegFormat> stream_;
    bool started_ = false;
    bool done_ = false;
};
