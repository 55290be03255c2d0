#include "cli/stop_on_signals.h"

#include <pthread.h>

#include <ctime>

namespace vane::cli {

// The signals are blocked here and taken by a thread of its own with sigtimedwait: no handler
// runs inside the work, so nothing but a flag is touched when one comes.
StopOnSignals::StopOnSignals() {
    sigemptyset(&watched_);
    for (const int watched : {SIGINT, SIGTERM, SIGHUP}) {
        sigaddset(&watched_, watched);
    }
    pthread_sigmask(SIG_BLOCK, &watched_, &before_);
    watcher_ = std::jthread([this](std::stop_token done) {
        const timespec patience{0, 100'000'000};
        while (!done.stop_requested()) {
            const int got = sigtimedwait(&watched_, nullptr, &patience);
            if (got > 0) {
                int none = 0;
                signal_.compare_exchange_strong(none, got);
                stop_.request_stop();
            }
        }
    });
}

StopOnSignals::~StopOnSignals() {
    watcher_.request_stop();
    watcher_.join();
    pthread_sigmask(SIG_SETMASK, &before_, nullptr);
}

}  // namespace vane::cli
