// The MPEG audio decoder on libmpg123, fed one frame at a time; it serves
// both platform programs.
#include "sound/mpg123_decoder.h"

#include <algorithm>
#include <cstring>

#include <mpg123.h>

namespace {

// Layer III output lags the encoder's input by this many samples; libmpg123's
// own gapless mode counts with the same figure.
constexpr std::int64_t layer3_decoder_delay = 529;

// A LAME tag stores delay and padding in 12 bits each; anything larger did
// not come from one.
constexpr int largest_gap = 4095;

// Cuts the samples that the encoder and the decoder added at the two ends of
// a stream, counting in instants (one sample per channel).
class GapTrimmer {
public:
    GapTrimmer() = default;
    GapTrimmer(const EncoderGap& gap, int layer, int channels) : channels_(channels)
    {
        if (gap == EncoderGap{})
            return; // the track states no gap: nothing is known to cut
        std::int64_t decoder_delay = layer == 3 ? layer3_decoder_delay : 0;
        front_left_ = std::clamp(gap.delay, 0, largest_gap) + decoder_delay;
        // The decoder's delay pushes that much of the encoder's padding past
        // the end of what it puts out.
        tail_ = std::max<std::int64_t>(std::clamp(gap.padding, 0, largest_gap) - decoder_delay, 0);
    }

    // Appends the decoded instants to pcm, less those cut at the front and
    // less the last ones, which may yet turn out to be padding.
    void take(const std::int16_t* samples, std::size_t count, std::vector<std::int16_t>& pcm)
    {
        const auto per_instant = static_cast<std::size_t>(channels_);
        std::size_t skip = std::min(count, static_cast<std::size_t>(front_left_) * per_instant);
        front_left_ -= static_cast<std::int64_t>(skip / per_instant);
        held_.insert(held_.end(), samples + skip, samples + count);
        std::size_t keep = static_cast<std::size_t>(tail_) * per_instant;
        if (held_.size() > keep) {
            auto release = held_.end() - static_cast<std::ptrdiff_t>(keep);
            pcm.insert(pcm.end(), held_.begin(), release);
            held_.erase(held_.begin(), release);
        }
    }

private:
    int channels_ = 1;
    std::int64_t front_left_ = 0; // instants still to cut at the front
    std::int64_t tail_ = 0;       // instants held back as possible padding
    std::vector<std::int16_t> held_;
};

class Mpg123Decoder final : public FrameDecoder {
public:
    ~Mpg123Decoder() override
    {
        if (handle_)
            mpg123_delete(handle_);
    }

    bool open(const MpegFormat& format, const EncoderGap& gap) override
    {
        if (format.channels != 1 && format.channels != 2)
            return false;
        int error = MPG123_OK;
        handle_ = mpg123_new(nullptr, &error);
        if (!handle_)
            return false;
        // Whole frames arrive one at a time, so the parser need not wait for
        // the next header to trust one; the encoder's gap is cut here, from
        // what the player hands over, so libmpg123 must not cut it too.
        long flags = MPG123_QUIET | MPG123_NO_READAHEAD;
        int channels = format.channels == 1 ? MPG123_MONO : MPG123_STEREO;
        if (mpg123_param(handle_, MPG123_FLAGS, flags, 0) != MPG123_OK ||
            mpg123_format_none(handle_) != MPG123_OK ||
            mpg123_format(handle_, format.sample_rate, channels, MPG123_ENC_SIGNED_16) != MPG123_OK ||
            mpg123_open_feed(handle_) != MPG123_OK)
            return false;
        format_ = format;
        trimmer_ = GapTrimmer(gap, format.layer, format.channels);
        return true;
    }

    bool decode(const MpegFrame& frame, std::vector<std::int16_t>& pcm) override
    {
        if (mpg123_feed(handle_, frame.bytes.data(), frame.bytes.size()) != MPG123_OK)
            return false;
        for (;;) {
            off_t number = 0;
            unsigned char* audio = nullptr;
            std::size_t bytes = 0;
            int result = mpg123_decode_frame(handle_, &number, &audio, &bytes);
            if (result == MPG123_NEED_MORE)
                return true;
            if (result == MPG123_NEW_FORMAT) {
                if (!format_is_forced())
                    return false;
                continue;
            }
            if (result != MPG123_OK)
                return false;
            append(audio, bytes, pcm);
        }
    }

    bool finish(std::vector<std::int16_t>&) override
    {
        // Frames are decoded as they arrive; what the trimmer still holds is
        // the encoder's padding.
        return true;
    }

private:
    bool format_is_forced()
    {
        long rate = 0;
        int channels = 0, encoding = 0;
        return mpg123_getformat(handle_, &rate, &channels, &encoding) == MPG123_OK &&
               rate == format_.sample_rate && channels == format_.channels && encoding == MPG123_ENC_SIGNED_16;
    }

    void append(const unsigned char* audio, std::size_t bytes, std::vector<std::int16_t>& pcm)
    {
        std::size_t count = bytes / sizeof(std::int16_t);
        samples_.resize(count);
        // The library's buffer holds bytes with no promise of alignment.
        std::memcpy(samples_.data(), audio, count * sizeof(std::int16_t));
        trimmer_.take(samples_.data(), count, pcm);
    }

    mpg123_handle* handle_ = nullptr;
    MpegFormat format_{};
    GapTrimmer trimmer_;
    std::vector<std::int16_t> samples_;
};

} // namespace

std::unique_ptr<FrameDecoder> make_mpg123_decoder() { return std::make_unique<Mpg123Decoder>(); }
