// The track player: plays an MPEG track through a platform's decoder and
// output, pass after pass, on a thread of its own.
#include "sound/looping_track_player.h"

#include <algorithm>
#include <condition_variable>
#include <mutex>
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

// One track being played: the thread and what stopping it needs.
class LoopingTrackPlayer::Player {
public:
    Player(const SoundBackend& backend, const RetryDelays& delays, std::int32_t count, std::string path)
        : backend_(backend), delays_(delays), count_(count), path_(std::move(path))
    {
        thread_ = std::thread([this] { run(); });
    }

    ~Player()
    {
        {
            std::lock_guard lock(mutex_);
            stop_ = true;
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
            attached_ = !player_.stop_;
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

    bool stopping()
    {
        std::lock_guard lock(mutex_);
        return stop_;
    }

    // False when stopped during the wait.
    bool pause(std::chrono::milliseconds delay)
    {
        std::unique_lock lock(mutex_);
        return !wake_.wait_for(lock, delay, [this] { return stop_; });
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

    // True when the pass was heard: it played to its end, or failed only
    // after a second of audio. Everything it opened is released on return.
    bool play_pass()
    {
        std::unique_ptr<ByteSource> source = backend_.open_file ? backend_.open_file(path_) : nullptr;
        if (!source)
            return false;
        MpegReader reader(*source);
        MpegFrame frame;
        if (!reader.next_frame(frame))
            return false;
        MpegFormat format = frame.header.format();

        std::unique_ptr<FrameDecoder> decoder = backend_.make_decoder ? backend_.make_decoder() : nullptr;
        if (!decoder || !decoder->open(format, EncoderGap{}))
            return false;
        std::unique_ptr<AudioOutput> output = backend_.make_output ? backend_.make_output() : nullptr;
        if (!output || !output->open({format.sample_rate, format.channels}))
            return false;

        std::uint64_t written = 0;
        bool completed = false;
        {
            Attachment attachment(*this, *output);
            if (attachment.attached())
                completed = play_frames(reader, frame, *decoder, *output, written);
        }
        output->close();
        auto one_second = static_cast<std::uint64_t>(format.sample_rate) * static_cast<std::uint64_t>(format.channels);
        return written > 0 && (completed || written >= one_second);
    }

    // True when every frame was played out to the device's last sample.
    bool play_frames(MpegReader& reader, MpegFrame& frame, FrameDecoder& decoder, AudioOutput& output,
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
                return false;
        } while (reader.next_frame(frame));
        pcm.clear();
        return decoder.finish(pcm) && play() && written > 0 && output.drain();
    }

    const SoundBackend& backend_;
    const RetryDelays delays_;
    const std::int32_t count_;
    const std::string path_;
    std::mutex mutex_;
    std::condition_variable wake_;
    bool stop_ = false;              // guarded by mutex_
    AudioOutput* output_ = nullptr; // guarded by mutex_
    std::thread thread_;
};

LoopingTrackPlayer::LoopingTrackPlayer(SoundBackend backend, RetryDelays delays)
    : backend_(std::move(backend)), delays_(delays)
{
}

LoopingTrackPlayer::~LoopingTrackPlayer() { player_.reset(); }

void LoopingTrackPlayer::play_track(std::int32_t count, std::string_view path)
{
    player_.reset();
    if (count == 0 || path.empty())
        return;
    try {
        player_ = std::make_unique<Player>(backend_, delays_, count, std::string(path));
    } catch (...) {
        // No thread or no memory to play with: silence, like any other failure.
    }
}
