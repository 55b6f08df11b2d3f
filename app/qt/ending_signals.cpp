// The self-pipe behind EndingSignals.
#include "app/qt/ending_signals.h"

#include <cerrno>
#include <csignal>
#include <stdexcept>
#include <utility>

#include <fcntl.h>
#include <unistd.h>

namespace {
constexpr std::array<int, 3> ending_signals = {SIGTERM, SIGINT, SIGHUP};

// A signal handler can reach nothing but static storage: the pipe's write end.
volatile std::sig_atomic_t signal_pipe = -1;

void on_ending_signal(int)
{
    int saved_errno = errno;
    char byte = 1;
    // A full pipe already holds an unanswered request; one is enough.
    [[maybe_unused]] auto written = write(signal_pipe, &byte, 1);
    errno = saved_errno;
}
} // namespace

EndingSignals::EndingSignals(std::function<void()> on_signal) : on_signal_(std::move(on_signal))
{
    if (signal_pipe != -1)
        throw std::logic_error("ending signals are already handled");
    int ends[2];
    if (pipe2(ends, O_CLOEXEC | O_NONBLOCK) != 0)
        throw std::runtime_error("no pipe for the ending signals");
    read_end_ = ends[0];
    write_end_ = ends[1];
    signal_pipe = write_end_;

    notifier_ = std::make_unique<QSocketNotifier>(read_end_, QSocketNotifier::Read);
    QObject::connect(notifier_.get(), &QSocketNotifier::activated, [this] {
        char bytes[16];
        while (read(read_end_, bytes, sizeof bytes) > 0) {
        }
        on_signal_();
    });

    struct sigaction action {};
    action.sa_handler = on_ending_signal;
    sigemptyset(&action.sa_mask);
    action.sa_flags = SA_RESTART;
    for (std::size_t i = 0; i < ending_signals.size(); ++i)
        sigaction(ending_signals[i], &action, &former_actions_[i]);
}

EndingSignals::~EndingSignals()
{
    for (std::size_t i = 0; i < ending_signals.size(); ++i)
        sigaction(ending_signals[i], &former_actions_[i], nullptr);
    signal_pipe = -1;
    notifier_.reset();
    close(read_end_);
    close(write_end_);
}
