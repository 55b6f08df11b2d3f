// Reads an MPEG audio stream (Layers II and III) from a byte source as whole
// frames, skipping ID3 tags, the encoder's Xing/Info frame and whatever
// garbage lies between frames.
#pragma once

#include <cstdint>
#include <optional>
#include <stop_token>
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

// The encoder's delay and padding as its Xing/Info (LAME) header states
// them, in samples per channel; both 0 when the track states none. A decoder
// that can trims them, so that a looped track has no gap of the encoder's
// making at either end.
struct EncoderGap {
    int delay = 0;
    int padding = 0;
    friend bool operator==(const EncoderGap&, const EncoderGap&) = default;
};

struct MpegFrame {
    MpegHeader header;
    std::vector<unsigned char> bytes; // the whole frame, header included
};

class MpegReader {
public:
    // The source must outlive the reader. Nothing is read until the first
    // next_frame. Once stop is requested the stream ends at the next frame
    // or within a few KiB of scanning, so that a stop never waits for a
    // search through a large file.
    explicit MpegReader(ByteSource& source, std::stop_token stop = {}) : source_(source), stop_(std::move(stop)) {}
    MpegReader(const MpegReader&) = delete;
    MpegReader& operator=(const MpegReader&) = delete;

    // The next whole frame of audio, or false at the end of the stream (and
    // from then on). The first frame fixes the stream's format; later frames
    // of another format are skipped as garbage. A frame is handed out only
    // when the next header confirms it, or when it ends the data (the first
    // frame then only if it also starts the data). A frame cut short by the end
    // of the data, or a read that fails, ends the stream. Every call advances
    // through the source, so a reader ends on any input.
    bool next_frame(MpegFrame& out);

    // What the encoder's Xing/Info frame says of its delay and padding; that
    // frame itself is no audio and is not handed out. Known once next_frame
    // has returned the first frame.
    EncoderGap encoder_gap() const { return gap_; }

private:
    struct Candidate {
        std::uint64_t offset;
        MpegHeader header;
    };

    void start();
    bool ensure(std::uint64_t offset, std::size_t count);
    const unsigned char* at(std::uint64_t offset) const { return window_.data() + (offset - window_start_); }
    std::uint64_t window_end() const { return window_start_ + window_.size(); }
    std::optional<MpegHeader> header_at(std::uint64_t offset);
    std::optional<MpegHeader> peek_header(std::uint64_t offset);
    bool fits_stream(const MpegHeader& h) const;
    std::optional<Candidate> find_confirmed_frame(std::uint64_t from);
    bool confirmed(const Candidate& c);

    ByteSource& source_;
    std::stop_token stop_;
    std::vector<unsigned char> window_;
    std::uint64_t window_start_ = 0;
    std::uint64_t pos_ = 0;
    std::uint64_t begin_ = 0; // the audio data starts here, behind any leading tags
    std::uint64_t end_ = 0;   // and ends here, before any trailing tag
    std::optional<MpegFormat> stream_;
    EncoderGap gap_;
    bool started_ = false;
    bool first_frame_ = true; // the next frame handed out would be the first
    bool done_ = false;
};
