// The track player: plays an MPEG track through a platform's decoder and
// output, pass after pass, on a thread of its own.
#include "sound/looping_track_player.h"

#include <algorithm>
#include <condition_variable>
#include <mutex>
#include <stop_token>
#include <string>
#include <vector>

#include "sound/mpeg_reader.h"

std::chrono::milliseconds next_retry_delay(std::chrono::milliseconds previous, bool heard,
                                           const RetryDelays& delays)
{
    if (heard)
        return std::chrono::milliseconds{0};
    auto wait = previous.count() <= 0 ? delays.first : previous * 2;
    return std::min(wait, delays.longest);
}

bool pass_was_heard(std::uint64_t samples_written, const PcmFormat& format, std::chrono::nanoseconds took)
{
    if (samples_written == 0 || format.sample_rate <= 0 || format.channels <= 0)
        return false;
    // Whole seconds apart from the rest, so that no track length overflows.
    auto per_second = static_cast<std::uint64_t>(format.sample_rate) * static_cast<std::uint64_t>(format.channels);
    constexpr std::uint64_t ns_per_second = 1'000'000'000;
    auto audio = std::chrono::nanoseconds(samples_written / per_second * ns_per_second +
                                          samples_written % per_second * ns_per_second / per_second);
    return took * 2 >= audio;
}

// One track being played: the thread and what stopping it needs.
class LoopingTrackPlayer::Player {
public:
    Player(const SoundBackend& backend, const RetryDelays& delays, const MonotonicClock& clock, std::int32_t count,
           std::string path)
        : backend_(backend), delays_(delays), clock_(clock), count_(count), path_(std::move(path))
    {
        thread_ = std::thread([this] { run(); });
    }

    ~Player()
    {
        {
            std::lock_guard lock(mutex_);
            stop_.request_stop();
            if (output_)
                output_->reset();
        }
        wake_.notify_all();
        thread_.join();
    }

    Player(const Player&) = delete;
    Player& operator=(const Player&) = delete;

private:
    // Makes the pass's open output the one a stop resets, for as long as it
    // lives; declared after the output, so it lets go of it first.
    class Attachment {
    public:
        Attachment(Player& player, AudioOutput& output) : player_(player)
        {
            std::lock_guard lock(player_.mutex_);
            attached_ = !player_.stop_.stop_requested();
            if (attached_)
                player_.output_ = &output;
        }
        ~Attachment()
        {
            std::lock_guard lock(player_.mutex_);
            player_.output_ = nullptr;
        }
        Attachment(const Attachment&) = delete;
        Attachment& operator=(const Attachment&) = delete;
        bool attached() const { return attached_; }

    private:
        Player& player_;
        bool attached_ = false;
    };

    bool stopping() const { return stop_.stop_requested(); }

    // False when stopped during the wait.
    bool pause(std::chrono::milliseconds delay)
    {
        std::unique_lock lock(mutex_);
        return !wake_.wait_for(lock, delay, [this] { return stopping(); });
    }

    void run()
    {
        std::int32_t left = count_; // below 0: endless
        std::chrono::milliseconds delay{0};
        for (;;) {
            if (delay.count() > 0 && !pause(delay))
                return;
            if (stopping())
                return;
            bool heard = false;
            try {
                heard = play_pass();
            } catch (...) {
                // Out of memory or a backend's exception: the pass failed.
            }
            if (left > 0 && --left == 0)
                return;
            delay = next_retry_delay(delay, heard, delays_);
        }
    }

    // True when the pass was heard (see pass_was_heard). Everything it opened
    // is released on return.
    bool play_pass()
    {
        std::unique_ptr<ByteSource> source = backend_.open_file ? backend_.open_file(path_) : nullptr;
        if (!source)
            return false;
        MpegReader reader(*source, stop_.get_token());
        MpegFrame frame;
        if (!reader.next_frame(frame))
            return false;
        MpegFormat format = frame.header.format();

        std::unique_ptr<FrameDecoder> decoder = backend_.make_decoder ? backend_.make_decoder() : nullptr;
        if (!decoder || !decoder->open(format, reader.encoder_gap()))
            return false;
        std::unique_ptr<AudioOutput> output = backend_.make_output ? backend_.make_output() : nullptr;
        PcmFormat pcm_format{format.sample_rate, format.channels};
        if (!output || !output->open(pcm_format))
            return false;

        std::uint64_t written = 0;
        auto began = clock_();
        {
            Attachment attachment(*this, *output);
            if (attachment.attached())
                play_frames(reader, frame, *decoder, *output, written);
        }
        auto took = clock_() - began;
        output->close();
        return pass_was_heard(written, pcm_format, took);
    }

    // Plays every frame out to the device's last sample, or up to the first
    // failure or stop; written counts the samples the output took.
    void play_frames(MpegReader& reader, MpegFrame& frame, FrameDecoder& decoder, AudioOutput& output,
                     std::uint64_t& written)
    {
        std::vector<std::int16_t> pcm;
        auto play = [&]() {
            if (pcm.empty())
                return true;
            if (!output.write(pcm))
                return false;
            written += pcm.size();
            return true;
        };
        do {
            pcm.clear();
            if (!decoder.decode(frame, pcm) || !play() || stopping())
                return;
        } while (reader.next_frame(frame));
        pcm.clear();
        if (decoder.finish(pcm) && play() && written > 0)
            output.drain();
    }

    const SoundBackend& backend_;
    const RetryDelays delays_;
    const MonotonicClock& clock_;
    const std::int32_t count_;
    const std::string path_;
    std::mutex mutex_;
    std::condition_variable wake_;
    std::stop_source stop_;          // requested with mutex_ held
    AudioOutput* output_ = nullptr; // guarded by mutex_
    std::thread thread_;
};

LoopingTrackPlayer::LoopingTrackPlayer(SoundBackend backend, RetryDelays delays, MonotonicClock clock)
    : backend_(std::move(backend)), delays_(delays),
      clock_(clock ? std::move(clock) : MonotonicClock(std::chrono::steady_clock::now))
{
}

LoopingTrackPlayer::~LoopingTrackPlayer() { player_.reset(); }

void LoopingTrackPlayer::play_track(std::int32_t count, std::string_view path)
{
    player_.reset();
    if (count == 0 || path.empty())
        return;
    try {
        player_ = std::make_unique<Player>(backend_, delays_, clock_, count, std::string(path));
    } catch (...) {
        // No thread or no memory to play with: silence, like any other failure.
    }
}
