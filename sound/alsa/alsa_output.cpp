// Audio output on an ALSA PCM device. The device is opened non-blocking and
// the playing thread waits in poll on the device and on a wake-up descriptor,
// because alsa-lib has no way to wake a thread blocked in one of its calls:
// that is how reset, from another thread, ends a write or drain at once.
#include "sound/alsa/alsa_output.h"

#include <algorithm>
#include <atomic>
#include <cerrno>
#include <thread> // the duration types; <chrono> itself cannot be built as GBK
#include <vector>

#include <alsa/asoundlib.h>
#include <poll.h>
#include <sys/eventfd.h>
#include <unistd.h>

#include "sound/alsa/alsa_quiet.h"

namespace {

using Clock = std::chrono::steady_clock;
using std::chrono::milliseconds;

// Enough queued audio to ride out a busy moment, little enough that the
// first pass is heard soon.
constexpr unsigned buffer_microseconds = 300'000;
// A device that takes no audio and plays none for this long is stuck. Sound
// servers may sit on a new stream's first audio for a second or two.
constexpr milliseconds stall_limit{5000};

// What an ALSA result means for the caller.
enum class Outcome { done, wait, recover, fail };

Outcome outcome_of(long code)
{
    if (code >= 0)
        return Outcome::done;
    switch (-code) {
    case EAGAIN:
        return Outcome::wait; // the queue is full, or the device not ready yet
    case EPIPE:               // underrun
    case ESTRPIPE:            // the system suspended the device
    case EINTR:
        return Outcome::recover;
    default:
        return Outcome::fail;
    }
}

class AlsaOutput final : public AudioOutput {
public:
    explicit AlsaOutput(std::string device) : device_(std::move(device)) {}
    ~AlsaOutput() override
    {
        close();
        if (wake_fd_ >= 0)
            ::close(wake_fd_);
    }
    AlsaOutput(const AlsaOutput&) = delete;
    AlsaOutput& operator=(const AlsaOutput&) = delete;

    bool open(const PcmFormat& format) override
    {
        if (format.channels < 1 || format.sample_rate <= 0)
            return false;
        keep_alsa_quiet();
        wake_fd_ = ::eventfd(0, EFD_NONBLOCK | EFD_CLOEXEC);
        if (wake_fd_ < 0)
            return false;
        // Non-blocking, so that neither a busy device nor a full queue can
        // hold the playing thread where a reset cannot reach it.
        if (snd_pcm_open(&pcm_, device_.c_str(), SND_PCM_STREAM_PLAYBACK, SND_PCM_NONBLOCK) < 0) {
            pcm_ = nullptr;
            return false;
        }
        channels_ = format.channels;
        rate_ = format.sample_rate;
        if (snd_pcm_set_params(pcm_, SND_PCM_FORMAT_S16, SND_PCM_ACCESS_RW_INTERLEAVED,
                               static_cast<unsigned>(channels_), static_cast<unsigned>(rate_), 1,
                               buffer_microseconds) < 0) {
            close();
            return false;
        }
        // Plugins set up their descriptors with the parameters, so ask now.
        int descriptors = snd_pcm_poll_descriptors_count(pcm_);
        if (descriptors <= 0) {
            close();
            return false;
        }
        fds_.resize(static_cast<std::size_t>(descriptors) + 1);
        if (snd_pcm_poll_descriptors(pcm_, fds_.data(), static_cast<unsigned>(descriptors)) != descriptors) {
            close();
            return false;
        }
        fds_.back() = {wake_fd_, POLLIN, 0};
        return true;
    }

    bool write(std::span<const std::int16_t> pcm) override
    {
        const std::int16_t* data = pcm.data();
        auto frames_left = static_cast<snd_pcm_uframes_t>(pcm.size() / static_cast<std::size_t>(channels_));
        auto last_progress = Clock::now();
        while (frames_left > 0) {
            if (stopped())
                return false;
            snd_pcm_sframes_t written = snd_pcm_writei(pcm_, data, frames_left);
            switch (outcome_of(written)) {
            case Outcome::done:
                data += written * channels_;
                frames_left -= static_cast<snd_pcm_uframes_t>(written);
                last_progress = Clock::now();
                break;
            case Outcome::wait:
                if (Clock::now() - last_progress > stall_limit || !wait_for_device())
                    return false;
                break;
            case Outcome::recover:
                if (!recover(written))
                    return false;
                break;
            case Outcome::fail:
                return false;
            }
        }
        return !stopped();
    }

    bool drain() override
    {
        // A pass shorter than the start threshold has not started yet.
        if (snd_pcm_state(pcm_) == SND_PCM_STATE_PREPARED && outcome_of(snd_pcm_start(pcm_)) == Outcome::fail)
            return false;
        // snd_pcm_drain would block where a reset cannot reach it: wait out
        // the device's own count of what is still to be heard instead.
        snd_pcm_sframes_t previous = -1;
        auto last_progress = Clock::now();
        for (;;) {
            if (stopped())
                return false;
            // Run dry: everything was played. (Some plugins then still
            // report the last delay they knew.)
            if (snd_pcm_state(pcm_) == SND_PCM_STATE_XRUN)
                return true;
            snd_pcm_sframes_t delay = 0;
            int error = snd_pcm_delay(pcm_, &delay);
            if (error == -EPIPE)
                return true;
            if (error < 0)
                return false;
            if (delay <= 0)
                return true;
            if (previous < 0 || delay < previous)
                last_progress = Clock::now();
            else if (Clock::now() - last_progress > stall_limit)
                return false;
            previous = delay;
            auto wait = milliseconds{delay * 1000 / rate_ + 1};
            if (!sleep_unless_woken(wait))
                return false;
        }
    }

    void reset() override
    {
        stop_.store(true);
        std::uint64_t one = 1;
        // The counter cannot overflow from a handful of resets, so this write
        // does not fail in any way that matters.
        [[maybe_unused]] ssize_t ignored = ::write(wake_fd_, &one, sizeof one);
    }

    void close() override
    {
        if (!pcm_)
            return;
        snd_pcm_drop(pcm_);
        snd_pcm_close(pcm_);
        pcm_ = nullptr;
    }

private:
    // After a reset: drops what is queued, so the sound ends now rather than
    // when the playing thread gets round to closing.
    bool stopped()
    {
        if (!stop_.load())
            return false;
        if (!dropped_) {
            snd_pcm_drop(pcm_);
            dropped_ = true;
        }
        return true;
    }

    bool recover(long error) { return snd_pcm_recover(pcm_, static_cast<int>(error), 1) >= 0; }

    // Sleeps until the device takes more audio or a reset comes; false on a
    // reset, a device error or a device that stays silent too long.
    bool wait_for_device()
    {
        for (pollfd& fd : fds_)
            fd.revents = 0;
        int ready = ::poll(fds_.data(), static_cast<nfds_t>(fds_.size()), static_cast<int>(stall_limit.count()));
        if (ready < 0)
            return errno == EINTR;
        if (ready == 0 || fds_.back().revents != 0)
            return false;
        unsigned short events = 0;
        if (snd_pcm_poll_descriptors_revents(pcm_, fds_.data(), static_cast<unsigned>(fds_.size() - 1), &events) < 0)
            return false;
        if (events & POLLERR) {
            // An underrun or a suspend shows here; the next write tells which.
            snd_pcm_state_t state = snd_pcm_state(pcm_);
            if (state == SND_PCM_STATE_XRUN)
                return recover(-EPIPE);
            if (state == SND_PCM_STATE_SUSPENDED)
                return recover(-ESTRPIPE);
            return state != SND_PCM_STATE_DISCONNECTED;
        }
        return true;
    }

    // False when a reset came during the sleep.
    bool sleep_unless_woken(milliseconds wait)
    {
        pollfd wake{wake_fd_, POLLIN, 0};
        int ready = ::poll(&wake, 1, static_cast<int>(wait.count()));
        return !(ready > 0 && wake.revents != 0);
    }

    const std::string device_;
    snd_pcm_t* pcm_ = nullptr;
    int wake_fd_ = -1;
    int channels_ = 1;
    int rate_ = 0;
    std::vector<pollfd> fds_; // the device's descriptors, then wake_fd_
    std::atomic<bool> stop_{false};
    bool dropped_ = false;
};

} // namespace

std::unique_ptr<AudioOutput> make_alsa_output(std::string device)
{
    return std::make_unique<AlsaOutput>(std::move(device));
}
