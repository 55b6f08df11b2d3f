// A sound backend that records what the track player does with files,
// decoders and outputs, keeps a clock that only its outputs move, and can
// hold a write until the output is reset or fail midway.
#pragma once

#include <algorithm>
#include <atomic>
#include <condition_variable>
#include <functional>
#include <map>
#include <memory>
#include <mutex>
#include <string>
#include <thread>
#include <vector>

#include "sound/looping_track_player.h"

// Events from every thread, in the order they happened.
class EventLog {
public:
    void add(std::string event)
    {
        {
            std::lock_guard lock(mutex_);
            events_.push_back(std::move(event));
        }
        changed_.notify_all();
    }
    std::vector<std::string> events() const
    {
        std::lock_guard lock(mutex_);
        return events_;
    }
    // Waits until the event has been logged `times` times; false if that has
    // not happened within the time, by default a long while that only a
    // broken player needs.
    bool wait_for(const std::string& event, long times = 1,
                  std::chrono::milliseconds within = std::chrono::seconds(20))
    {
        std::unique_lock lock(mutex_);
        return changed_.wait_for(lock, within, [&] {
            return std::count(events_.begin(), events_.end(), event) >= times;
        });
    }

private:
    mutable std::mutex mutex_;
    std::condition_variable changed_;
    std::vector<std::string> events_;
};

// Monotonic time that moves only when a fake output "plays" audio, so that
// a pass lasts exactly as long as the audio it wrote, on any machine.
class FakeClock {
public:
    std::chrono::steady_clock::time_point now() const
    {
        return std::chrono::steady_clock::time_point(std::chrono::nanoseconds(elapsed_ns_.load()));
    }
    void advance(std::chrono::nanoseconds by) { elapsed_ns_ += by.count(); }
    MonotonicClock reader()
    {
        return [this] { return now(); };
    }

private:
    std::atomic<std::int64_t> elapsed_ns_{0};
};

struct OutputBehaviour {
    bool open_fails = false;
    bool hold_writes = false;     // the first write waits for a reset
    bool plays_in_real_time = true; // each write moves the clock by its duration
    int write_fails_at = 0;       // this write (1-based) reports a device error; 0: none
    bool drain_fails = false;
};

class FakeOutput final : public AudioOutput {
public:
    FakeOutput(EventLog& log, FakeClock& clock, int id, OutputBehaviour behaviour)
        : log_(log), clock_(clock), name_("output " + std::to_string(id)), behaviour_(behaviour)
    {
    }
    ~FakeOutput() override { log_.add(name_ + " destroyed"); }

    bool open(const PcmFormat& f) override
    {
        format_ = f;
        log_.add(name_ + " open " + std::to_string(f.sample_rate) + "/" + std::to_string(f.channels));
        return !behaviour_.open_fails;
    }
    bool write(std::span<const std::int16_t> pcm) override
    {
        std::unique_lock lock(mutex_);
        if (behaviour_.hold_writes && !reset_) {
            log_.add(name_ + " write held");
            reset_seen_.wait(lock, [this] { return reset_; });
        }
        bool fails = ++writes_ == behaviour_.write_fails_at;
        log_.add(name_ + " write " + std::to_string(pcm.size()) + (reset_ ? " refused" : fails ? " failed" : ""));
        if (reset_ || fails)
            return false;
        if (behaviour_.plays_in_real_time)
            clock_.advance(std::chrono::nanoseconds(std::chrono::seconds(1)) * static_cast<long>(pcm.size()) /
                           (format_.sample_rate * format_.channels));
        return true;
    }
    bool drain() override
    {
        std::lock_guard lock(mutex_);
        log_.add(name_ + " drain" + (behaviour_.drain_fails ? " failed" : ""));
        return !reset_ && !behaviour_.drain_fails;
    }
    void reset() override
    {
        {
            std::lock_guard lock(mutex_);
            reset_ = true;
            log_.add(name_ + " reset");
        }
        reset_seen_.notify_all();
    }
    void close() override { log_.add(name_ + " close"); }

private:
    EventLog& log_;
    FakeClock& clock_;
    std::string name_;
    OutputBehaviour behaviour_;
    PcmFormat format_{1, 1};
    int writes_ = 0;
    std::mutex mutex_;
    std::condition_variable reset_seen_;
    bool reset_ = false;
};

// Appends two stereo instants per frame, and nothing at the end.
class FakeDecoder final : public FrameDecoder {
public:
    FakeDecoder(EventLog& log, bool open_fails, int decode_fails_at)
        : log_(log), open_fails_(open_fails), decode_fails_at_(decode_fails_at)
    {
    }
    bool open(const MpegFormat& f, const EncoderGap& gap) override
    {
        log_.add("decoder " + std::to_string(f.sample_rate) + "/" + std::to_string(f.channels) + " gap " +
                 std::to_string(gap.delay) + "/" + std::to_string(gap.padding));
        return !open_fails_;
    }
    bool decode(const MpegFrame&, std::vector<std::int16_t>& pcm) override
    {
        if (++frames_ == decode_fails_at_) {
            log_.add("decode failed");
            return false;
        }
        pcm.insert(pcm.end(), {1, 2, 3, 4});
        return true;
    }
    bool finish(std::vector<std::int16_t>&) override { return true; }

private:
    EventLog& log_;
    bool open_fails_;
    int decode_fails_at_;
    int frames_ = 0;
};

struct FakeSound {
    EventLog log;
    FakeClock clock;
    std::map<std::string, std::string> files; // path to bytes; others are missing
    // Opens a source for paths not in files; null: missing.
    std::function<std::unique_ptr<ByteSource>()> other_files;
    int outputs_made = 0;                     // touched on the playing thread only
    int hold_writes_from = 0;                 // outputs from this number on hold their writes; 0: none
    OutputBehaviour outputs;                  // how every output behaves, holding aside
    bool decoders_fail = false;
    int decode_fails_at = 0; // each decoder fails on this frame (1-based); 0: never

    SoundBackend backend()
    {
        return {
            [this](std::string_view path) -> std::unique_ptr<ByteSource> {
                auto it = files.find(std::string(path));
                if (it != files.end()) {
                    log.add("file " + std::string(path));
                    return std::make_unique<MemoryByteSource>(it->second);
                }
                auto other = other_files ? other_files() : nullptr;
                log.add("file " + std::string(path) + (other ? "" : " missing"));
                return other;
            },
            [this] { return std::make_unique<FakeDecoder>(log, decoders_fail, decode_fails_at); },
            [this] {
                int id = ++outputs_made;
                OutputBehaviour b = outputs;
                b.hold_writes = hold_writes_from && id >= hold_writes_from;
                return std::make_unique<FakeOutput>(log, clock, id, b);
            },
        };
    }
};
