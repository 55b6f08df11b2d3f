// A process saving progress files is killed with SIGKILL at random moments,
// again and again. After each kill every file must hold one whole save, the
// last one finished or the one in flight, never a mixture or a cut file, and
// only each file's own temporary may be left beside it, to be reused.
// BURNIN_KILLED_SAVES sets how many kills (300 by default).
#include <gtest/gtest.h>

#include <array>
#include <csignal>
#include <cstdlib>
#include <filesystem>
#include <iostream>
#include <optional>
#include <random>
#include <set>
#include <sstream>
#include <thread>
#include <fcntl.h>
#include <spawn.h>
#include <sys/wait.h>
#include <unistd.h>

#include "progress/progress_file.h"
#include "tests/crash/saved_round.h"
#include "tests/temp_folder.h"

namespace fs = std::filesystem;

namespace {

int kill_count()
{
    const char* text = std::getenv("BURNIN_KILLED_SAVES");
    return text ? std::atoi(text) : 300;
}

struct Save {
    int device;
    std::int32_t round;
};

// The save that follows one: the next device, or the first of the next round.
Save next_save(Save s)
{
    return s.device + 1 < device_count ? Save{s.device + 1, s.round} : Save{0, s.round + 1};
}

// One run of the saving loop, its reports read from a pipe.
class SavingLoop {
public:
    SavingLoop(const std::string& run_directory, std::int32_t first, std::int32_t rounds)
    {
        int fds[2];
        if (::pipe2(fds, O_CLOEXEC) != 0)
            return;
        std::string from = std::to_string(first), count = std::to_string(rounds);
        char* argv[] = {const_cast<char*>(SAVING_LOOP), const_cast<char*>(run_directory.c_str()),
                        from.data(), count.data(), nullptr};
        // Spawning, not forking: a fork would copy this sanitized process's
        // large mappings hundreds of times.
        posix_spawn_file_actions_t actions;
        ::posix_spawn_file_actions_init(&actions);
        ::posix_spawn_file_actions_adddup2(&actions, fds[1], STDOUT_FILENO);
        if (::posix_spawn(&pid_, SAVING_LOOP, &actions, nullptr, argv, environ) != 0)
            pid_ = -1;
        ::posix_spawn_file_actions_destroy(&actions);
        ::close(fds[1]);
        out_ = fds[0];
    }
    ~SavingLoop()
    {
        if (pid_ > 0) {
            ::kill(pid_, SIGKILL);
            wait();
        }
        if (out_ >= 0)
            ::close(out_);
    }
    SavingLoop(const SavingLoop&) = delete;
    SavingLoop& operator=(const SavingLoop&) = delete;

    bool started() const { return pid_ > 0 && out_ >= 0; }

    // Blocks until at least one more save is reported or the loop has ended.
    void await_report()
    {
        size_t lines = reports_.size();
        while (reports_.size() == lines && read_some()) {
        }
    }
    void kill_now() { ::kill(pid_, SIGKILL); }
    // Waits for the process to end; every report it made is then read.
    int wait()
    {
        int status = 0;
        ::waitpid(pid_, &status, 0);
        pid_ = -1;
        while (read_some()) {
        }
        return status;
    }
    const std::vector<Save>& reports() const { return reports_; }

private:
    bool read_some()
    {
        char buf[4096];
        ssize_t n = ::read(out_, buf, sizeof buf);
        if (n <= 0)
            return false;
        pending_.append(buf, static_cast<size_t>(n));
        for (size_t nl; (nl = pending_.find('\n')) != std::string::npos; pending_.erase(0, nl + 1)) {
            std::istringstream line(pending_.substr(0, nl));
            Save s{};
            line >> s.device >> s.round;
            reports_.push_back(s);
        }
        return true;
    }

    pid_t pid_ = -1;
    int out_ = -1;
    std::string pending_;
    std::vector<Save> reports_;
};

class KilledSaves : public ::testing::Test {
protected:
    TempFolder dir;
    fs::path folder = dir.path() / "File";
    // The round whose save each device's file holds; nothing while it has none.
    std::array<std::optional<std::int32_t>, device_count> held{};

    KilledSaves() { fs::create_directory(folder); }

    fs::path file(int device) const { return folder / (std::to_string(device + 1) + ".ini"); }

    bool holds(int device, std::optional<std::int32_t> round) const
    {
        if (!round)
            return !fs::exists(file(device));
        return fs::exists(file(device)) &&
               TempFolder::read(file(device).string()) == saved_file(device, *round);
    }

    // Checks every file against the save it held and the one in flight.
    void check_files(std::optional<Save> in_flight)
    {
        for (int device = 0; device < device_count; ++device) {
            if (holds(device, held[device]))
                continue;
            if (in_flight && in_flight->device == device && holds(device, in_flight->round)) {
                held[device] = in_flight->round;
                continue;
            }
            std::string now = fs::exists(file(device)) ? TempFolder::read(file(device).string()) : "";
            FAIL() << file(device) << " holds neither the save of round "
                   << (held[device] ? std::to_string(*held[device]) : "none") << " nor the one in flight ("
                   << now.size() << " bytes):\n"
                   << now;
        }
    }

    // Only the progress files and at most one temporary for each.
    void check_no_stray_files(bool temporaries_allowed)
    {
        std::set<std::string> allowed;
        for (int device = 0; device < device_count; ++device) {
            allowed.insert(file(device).filename().string());
            if (temporaries_allowed)
                allowed.insert(file(device).filename().string() + ".tmp");
        }
        for (const auto& entry : fs::directory_iterator(folder))
            EXPECT_TRUE(allowed.count(entry.path().filename().string())) << "stray " << entry.path();
    }
};

TEST_F(KilledSaves, EveryFileHoldsOneWholeSave)
{
    const int kills = kill_count();
    std::random_device seed_source;
    const unsigned seed = seed_source();
    SCOPED_TRACE("random seed " + std::to_string(seed));
    std::mt19937 random(seed);
    // A save takes some milliseconds, most of them waiting for the disk.
    std::uniform_int_distribution<int> delay_us(0, 12000);

    std::int32_t first = 0;
    int kills_mid_save = 0;
    for (int kill = 0; kill < kills && !HasFailure(); ++kill) {
        SavingLoop loop(dir.path().string(), first, 0);
        ASSERT_TRUE(loop.started());
        loop.await_report(); // it is saving by now
        std::this_thread::sleep_for(std::chrono::microseconds(delay_us(random)));
        loop.kill_now();
        int status = loop.wait();
        ASSERT_TRUE(WIFSIGNALED(status) && WTERMSIG(status) == SIGKILL) << "status " << status;
        ASSERT_FALSE(loop.reports().empty());
        for (Save s : loop.reports())
            held[s.device] = s.round;
        const Save in_flight = next_save(loop.reports().back());
        const std::optional<std::int32_t> before = held[in_flight.device];
        check_files(in_flight);
        kills_mid_save += held[in_flight.device] != before || fs::exists(file(in_flight.device).string() + ".tmp");
        check_no_stray_files(true);
        first = loop.reports().back().round + 1;
    }
    // Kills must have landed inside saves, or nothing was tested.
    EXPECT_GT(kills_mid_save, 0);
    std::cout << kills_mid_save << " of " << kills << " kills fell inside a save\n";

    // A loop left to finish replaces every file and every temporary.
    SavingLoop last(dir.path().string(), first, 1);
    ASSERT_TRUE(last.started());
    int status = last.wait();
    ASSERT_TRUE(WIFEXITED(status) && WEXITSTATUS(status) == 0) << "status " << status;
    for (int device = 0; device < device_count; ++device)
        EXPECT_TRUE(holds(device, first)) << file(device);
    check_no_stray_files(false);
}

} // namespace
