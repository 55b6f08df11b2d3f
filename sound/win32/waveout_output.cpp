// Audio output through waveOut on the wave mapper: a few buffers taking turns,
// refilled as the device hands each back. The device signals an event object
// for every finished buffer, and the playing thread sleeps on that event.
#include "sound/win32/waveout_output.h"

#include <windows.h>
#include <mmsystem.h>

#include <algorithm>
#include <array>
#include <atomic>
#include <mutex>
#include <vector>

namespace {

// Eight buffers of 40 ms: sound starts as soon as the first 40 ms are
// decoded, and 320 ms queued rides out a busy moment of the playing thread
// (160 ms did not, under Wine on a loaded machine). A reset drops the queue,
// so its length never delays a stop.
constexpr int buffer_count = 8;
constexpr int buffers_per_second = 25;
// No buffer coming back for this long means the device stalled: the pass then
// fails rather than hanging the playing thread.
constexpr DWORD stalled_ms = 3000;

bool succeeded(MMRESULT result) { return result == MMSYSERR_NOERROR; }

class WaveOutOutput final : public AudioOutput {
public:
    WaveOutOutput() = default;
    ~WaveOutOutput() override
    {
        close();
        if (buffer_done_)
            CloseHandle(buffer_done_);
    }
    WaveOutOutput(const WaveOutOutput&) = delete;
    WaveOutOutput& operator=(const WaveOutOutput&) = delete;

    bool open(const PcmFormat& format) override
    {
        if (format.channels < 1 || format.channels > 2 || format.sample_rate <= 0)
            return false;
        buffer_done_ = CreateEventW(nullptr, FALSE, FALSE, nullptr);
        if (!buffer_done_)
            return false;
        WAVEFORMATEX wave{};
        wave.wFormatTag = WAVE_FORMAT_PCM;
        wave.nChannels = static_cast<WORD>(format.channels);
        wave.nSamplesPerSec = static_cast<DWORD>(format.sample_rate);
        wave.wBitsPerSample = 16;
        wave.nBlockAlign = static_cast<WORD>(format.channels * 2);
        wave.nAvgBytesPerSec = wave.nSamplesPerSec * wave.nBlockAlign;
        HWAVEOUT device = nullptr;
        if (!succeeded(waveOutOpen(&device, WAVE_MAPPER, &wave, reinterpret_cast<DWORD_PTR>(buffer_done_), 0,
                                   CALLBACK_EVENT)))
            return false;
        device_ = device;

        std::size_t samples = static_cast<std::size_t>(std::max(format.sample_rate / buffers_per_second, 1)) *
                              static_cast<std::size_t>(format.channels);
        for (Buffer& buffer : buffers_) {
            buffer.samples.resize(samples);
            buffer.header.lpData = reinterpret_cast<LPSTR>(buffer.samples.data());
            buffer.header.dwBufferLength = static_cast<DWORD>(samples * sizeof(std::int16_t));
            if (!succeeded(waveOutPrepareHeader(device_, &buffer.header, sizeof buffer.header))) {
                close();
                return false;
            }
            buffer.prepared = true;
            // A prepared buffer not yet handed to the device is free.
            buffer.header.dwFlags |= WHDR_DONE;
        }
        return true;
    }

    bool write(std::span<const std::int16_t> pcm) override
    {
        while (!pcm.empty()) {
            Buffer* buffer = free_buffer();
            if (!buffer)
                return false;
            std::size_t room = buffer->samples.size() - filled_;
            std::size_t take = std::min(room, pcm.size());
            std::copy_n(pcm.begin(), take, buffer->samples.begin() + static_cast<std::ptrdiff_t>(filled_));
            filled_ += take;
            pcm = pcm.subspan(take);
            if (filled_ == buffer->samples.size() && !submit(*buffer))
                return false;
        }
        return !reset_.load();
    }

    bool drain() override
    {
        if (filled_ > 0) {
            Buffer* buffer = free_buffer();
            if (!buffer || !submit(*buffer))
                return false;
        }
        return wait_until([this] { return std::all_of(buffers_.begin(), buffers_.end(), is_done); });
    }

    void reset() override
    {
        std::lock_guard lock(device_mutex_);
        reset_.store(true);
        waveOutReset(device_);
        // waveOutReset hands every buffer back, which signals the event too;
        // this makes sure a wait with nothing queued wakes as well.
        SetEvent(buffer_done_);
    }

    void close() override
    {
        if (!device_)
            return;
        waveOutReset(device_);
        for (Buffer& buffer : buffers_)
            if (buffer.prepared)
                waveOutUnprepareHeader(device_, &buffer.header, sizeof buffer.header);
        waveOutClose(device_);
        device_ = nullptr;
    }

private:
    struct Buffer {
        WAVEHDR header{};
        std::vector<std::int16_t> samples;
        bool prepared = false;
    };

    static bool is_done(const Buffer& buffer) { return (buffer.header.dwFlags & WHDR_DONE) != 0; }

    // The buffer being filled, or the next one the device has handed back;
    // null once reset, or when the device stalls.
    Buffer* free_buffer()
    {
        Buffer& next = buffers_[next_];
        if (!wait_until([&] { return is_done(next); }))
            return nullptr;
        return &next;
    }

    bool submit(Buffer& buffer)
    {
        buffer.header.dwBufferLength = static_cast<DWORD>(filled_ * sizeof(std::int16_t));
        buffer.header.dwFlags &= ~static_cast<DWORD>(WHDR_DONE);
        filled_ = 0;
        next_ = (next_ + 1) % buffer_count;
        // Under the lock, so that a reset cannot slip in between the check and
        // the write and leave this buffer playing.
        std::lock_guard lock(device_mutex_);
        if (reset_.load())
            return false;
        if (succeeded(waveOutWrite(device_, &buffer.header, sizeof buffer.header)))
            return true;
        buffer.header.dwFlags |= WHDR_DONE;
        return false;
    }

    // Sleeps on the device's event until ready() holds; false once reset, or
    // when no buffer has come back for stalled_ms.
    template <typename Ready>
    bool wait_until(Ready ready)
    {
        for (;;) {
            if (reset_.load())
                return false;
            if (ready())
                return true;
            if (WaitForSingleObject(buffer_done_, stalled_ms) != WAIT_OBJECT_0)
                return false;
        }
    }

    HWAVEOUT device_ = nullptr;
    HANDLE buffer_done_ = nullptr;
    std::array<Buffer, buffer_count> buffers_;
    int next_ = 0;           // the buffer write fills next
    std::size_t filled_ = 0; // samples already in it
    std::mutex device_mutex_; // orders submit's write against reset
    std::atomic<bool> reset_{false};
};

} // namespace

std::unique_ptr<AudioOutput> make_waveout_output() { return std::make_unique<WaveOutOutput>(); }

void warm_up_waveout()
{
    WaveOutOutput output;
    if (output.open({44100, 2}))
        output.close();
}
