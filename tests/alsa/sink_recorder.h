// Records what the harness's null sink plays, with parecord, into a WAV file,
// and tells how far the recording has got while it runs.
#pragma once

#include <gtest/gtest.h>

#include <csignal>
#include <cstdint>
#include <cstdlib>
#include <spawn.h>
#include <string>
#include <sys/stat.h>
#include <sys/wait.h>
#include <thread>
#include <vector>

#include "tests/support/wav_samples.h"

extern char** environ;

inline constexpr int recording_rate = 44100;
inline constexpr int recording_channels = 2;

class SinkRecorder {
public:
    explicit SinkRecorder(std::string file) : file_(std::move(file)) {}
    ~SinkRecorder() { stop(); }
    SinkRecorder(const SinkRecorder&) = delete;
    SinkRecorder& operator=(const SinkRecorder&) = delete;

    // True once samples are arriving in the file.
    bool start()
    {
        std::string rate = "--rate=" + std::to_string(recording_rate);
        std::string channels = "--channels=" + std::to_string(recording_channels);
        std::vector<std::string> args = {"parecord",     "--device=burnin_sink.monitor", "--file-format=wav",
                                         "--format=s16le", rate, channels, "--latency-msec=10", file_};
        std::vector<char*> argv;
        for (std::string& a : args)
            argv.push_back(a.data());
        argv.push_back(nullptr);
        if (posix_spawnp(&pid_, "parecord", nullptr, nullptr, argv.data(), environ) != 0) {
            pid_ = -1;
            return false;
        }
        for (int i = 0; i < 500; ++i) {
            if (position() > 0)
                return true;
            std::this_thread::sleep_for(std::chrono::milliseconds(10));
        }
        return false;
    }

    // Instants recorded so far (the WAV header is 44 bytes while recording).
    std::int64_t position() const
    {
        struct stat st {};
        if (::stat(file_.c_str(), &st) != 0 || st.st_size <= 44)
            return 0;
        return (st.st_size - 44) / (2 * recording_channels);
    }

    void stop()
    {
        if (pid_ <= 0)
            return;
        ::kill(pid_, SIGINT);
        int status = 0;
        ::waitpid(pid_, &status, 0);
        pid_ = -1;
    }

    // The first channel of the whole recording; call after stop.
    std::vector<std::int16_t> left_channel() const { return wav_left_channel(file_); }

private:
    std::string file_;
    pid_t pid_ = -1;
};
