#pragma once

#include <signal.h>

#include <atomic>
#include <stop_token>
#include <thread>

namespace vane::cli {

// While it lives, Ctrl-C (SIGINT), SIGTERM and a closed terminal (SIGHUP) do not end the process
// at once but request a stop, so that work under way is undone and its files removed before the
// command ends. Made in the thread that does the work, before any other thread starts.
class StopOnSignals {
  public:
    StopOnSignals();
    // Lets the signals act as before again; one that comes from then on ends the process.
    ~StopOnSignals();
    StopOnSignals(const StopOnSignals&) = delete;
    StopOnSignals& operator=(const StopOnSignals&) = delete;

    std::stop_token token() const { return stop_.get_token(); }
    // The signal that asked for the stop, 0 when none came.
    int signal() const { return signal_.load(); }

  private:
    sigset_t watched_;
    sigset_t before_;
    std::stop_source stop_;
    std::atomic<int> signal_{0};
    std::jthread watcher_;
};

// The exit status of a command that stopped for `signal`, as the shell reports one it ended.
inline int exitStatusOfSignal(int signal) {
    return 128 + signal;
}

}  // namespace vane::cli
