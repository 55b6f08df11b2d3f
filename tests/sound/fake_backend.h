// A sound backend that records what the track player does with files,
// decoders and outputs, and can hold a write until the output is reset.
#pragma once

#include <algorithm>
#include <condition_variable>
#include <functional>
#include <map>
#include <memory>
#include <mutex>
#include <string>
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
    // not happened after a long while, which only a broken player causes.
    bool wait_for(const std::string& event, long times = 1)
    {
        std::unique_lock lock(mutex_);
        return changed_.wait_for(lock, std::chrono::seconds(20), [&] {
            return std::count(events_.begin(), events_.end(), event) >= times;
        });
    }

private:
    mutable std::mutex mutex_;
    std::condition_variable changed_;
    std::vector<std::string> events_;
};

class FakeOutput final : public AudioOutput {
public:
    FakeOutput(EventLog& log, int id, bool open_fails, bool hold_writes)
        : log_(log), name_("output " + std::to_string(id)), open_fails_(open_fails), hold_writes_(hold_writes)
    {
    }
    ~FakeOutput() override { log_.add(name_ + " destroyed"); }

    bool open(const PcmFormat& f) override
    {
        log_.add(name_ + " open " + std::to_string(f.sample_rate) + "/" + std::to_string(f.channels));
        return !open_fails_;
    }
    bool write(std::span<const std::int16_t> pcm) override
    {
        std::unique_lock lock(mutex_);
        if (hold_writes_ && !reset_) {
            log_.add(name_ + " write held");
            reset_seen_.wait(lock, [this] { return reset_; });
        }
        log_.add(name_ + " write " + std::to_string(pcm.size()) + (reset_ ? " refused" : ""));
        return !reset_;
    }
    bool drain() override
    {
        std::lock_guard lock(mutex_);
        log_.add(name_ + " drain");
        return !reset_;
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
    std::string name_;
    bool open_fails_, hold_writes_;
    std::mutex mutex_;
    std::condition_variable reset_seen_;
    bool reset_ = false;
};

// Appends two stereo instants per frame, and nothing at the end.
class FakeDecoder final : public FrameDecoder {
public:
    FakeDecoder(EventLog& log, bool fails) : log_(log), fails_(fails) {}
    bool open(const MpegFormat& f, const EncoderGap&) override
    {
        log_.add("decoder " + std::to_string(f.sample_rate) + "/" + std::to_string(f.channels));
        return !fails_;
    }
    bool decode(const MpegFrame&, std::vector<std::int16_t>& pcm) override
    {
        pcm.insert(pcm.end(), {1, 2, 3, 4});
        return true;
    }
    bool finish(std::vector<std::int16_t>&) override { return true; }

private:
    EventLog& log_;
    bool fails_;
};

struct FakeSound {
    EventLog log;
    std::map<std::string, std::string> files; // path to bytes; others are missing
    int outputs_made = 0;                     // touched on the playing thread only
    int hold_writes_from = 0;                 // outputs from this number on hold their writes; 0: none
    bool outputs_fail = false;
    bool decoders_fail = false;

    SoundBackend backend()
    {
        return {
            [this](std::string_view path) -> std::unique_ptr<ByteSource> {
                auto it = files.find(std::string(path));
                log.add("file " + std::string(path) + (it == files.end() ? " missing" : ""));
                if (it == files.end())
                    return nullptr;
                return std::make_unique<MemoryByteSource>(it->second);
            },
            [this] { return std::make_unique<FakeDecoder>(log, decoders_fail); },
            [this] {
                int id = ++outputs_made;
                return std::make_unique<FakeOutput>(log, id, outputs_fail, hold_writes_from && id >= hold_writes_from);
            },
        };
    }
};
