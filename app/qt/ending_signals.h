// SIGTERM, SIGINT and SIGHUP turned into a call on the GUI thread, through a
// self-pipe: the signal handler only writes a byte.
#pragma once

#include <array>
#include <csignal>
#include <functional>
#include <memory>

#include <QSocketNotifier>

class EndingSignals {
public:
    // Installs the handlers; on_signal then runs from the event loop once
    // per signal received. Only one instance may exist at a time.
    explicit EndingSignals(std::function<void()> on_signal);
    // Puts back the handling the signals had before.
    ~EndingSignals();
    EndingSignals(const EndingSignals&) = delete;
    EndingSignals& operator=(const EndingSignals&) = delete;

private:
    int read_end_ = -1;
    int write_end_ = -1;
    std::unique_ptr<QSocketNotifier> notifier_;
    std::function<void()> on_signal_;
    std::array<struct sigaction, 3> former_actions_{};
};
