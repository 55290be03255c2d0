#include <algorithm>
#include <cmath>

#include "core/recordings/recording.h"
#include "core/recordings/session.h"

namespace vane {
namespace {

// Times that are no number sort last: `<` alone is no ordering with them, and the sort could
// leave real times out of order.
bool earlier(double a, double b) {
    return std::isnan(b) ? !std::isnan(a) : a < b;
}

}  // namespace

std::vector<Recording> sortedByRecordingTime(std::vector<Recording> recordings) {
    const auto earlierRecording = [](const Recording& a, const Recording& b) {
        return earlier(a.recordingTime, b.recordingTime);
    };
    // Lists are usually written in time order; the sort's buffer of half the list is spared then.
    if (std::is_sorted(recordings.begin(), recordings.end(), earlierRecording)) {
        return recordings;
    }
    std::stable_sort(recordings.begin(), recordings.end(), earlierRecording);
    return recordings;
}

std::vector<Session> sortedBySampleDate(std::vector<Session> sessions) {
    std::stable_sort(sessions.begin(), sessions.end(), [](const Session& a, const Session& b) {
        return earlier(a.sampleDate, b.sampleDate);
    });
    return sessions;
}

}  // namespace vane
