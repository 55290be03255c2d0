#include "core/host/host.h"

#include <algorithm>

namespace vane {

std::vector<Recording> sortedByRecordingTime(std::vector<Recording> recordings) {
    std::stable_sort(
        recordings.begin(), recordings.end(),
        [](const Recording& a, const Recording& b) { return a.recordingTime < b.recordingTime; });
    return recordings;
}

std::vector<Session> sortedBySampleDate(std::vector<Session> sessions) {
    std::stable_sort(sessions.begin(), sessions.end(), [](const Session& a, const Session& b) {
        return a.sampledate < b.sampledate;
    });
    return sessions;
}

}  // namespace vane
