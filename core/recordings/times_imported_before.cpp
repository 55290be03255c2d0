#include "core/recordings/times_imported_before.h"

#include <algorithm>
#include <cmath>
#include <limits>
#include <map>

namespace vane {
namespace {

std::int64_t millisecondsOf(double seconds) {
    return std::llround(seconds * 1000.0);
}

}  // namespace

std::optional<std::pair<double, double>> spanOfTimesWithoutFile(
    const std::vector<ImportedRecording>& incoming) {
    std::optional<std::pair<double, double>> span;
    for (const ImportedRecording& recording : incoming) {
        if (!recording.filePath.empty()) {
            continue;
        }
        const double time = recording.recordingTime;
        span = span ? std::pair(std::min(span->first, time), std::max(span->second, time))
                    : std::pair(time, time);
    }
    return span;
}

std::optional<TimesImportedBefore> timesImportedBefore(
    const std::vector<StoredTime>& stored, const std::vector<ImportedRecording>& incoming) {
    std::vector<std::pair<std::int64_t, std::int64_t>> storedTimes;  // milliseconds, session
    storedTimes.reserve(stored.size());
    for (const StoredTime& time : stored) {
        storedTimes.emplace_back(millisecondsOf(time.recordingTime), time.sessionId);
    }
    std::sort(storedTimes.begin(), storedTimes.end());
    storedTimes.erase(std::unique(storedTimes.begin(), storedTimes.end()), storedTimes.end());

    std::map<std::int64_t, std::size_t> sameTimesBySession;
    std::size_t timesWithoutFile = 0;
    for (const ImportedRecording& recording : incoming) {
        if (!recording.filePath.empty()) {
            continue;
        }
        ++timesWithoutFile;
        const std::int64_t milliseconds = millisecondsOf(recording.recordingTime);
        auto at =
            std::lower_bound(storedTimes.begin(), storedTimes.end(),
                             std::pair(milliseconds, std::numeric_limits<std::int64_t>::min()));
        for (; at != storedTimes.end() && at->first == milliseconds; ++at) {
            ++sameTimesBySession[at->second];
        }
    }
    std::optional<TimesImportedBefore> most;
    for (const auto& [session, sameTimes] : sameTimesBySession) {
        if (!most || sameTimes > most->sameTimes) {
            most = TimesImportedBefore{session, sameTimes, timesWithoutFile};
        }
    }
    if (!most || most->sameTimes * 2 < timesWithoutFile) {
        return std::nullopt;
    }
    return most;
}

}  // namespace vane
