#include "core/recordings/imported_recording.h"

#include <unicode/timezone.h>
#include <unicode/unistr.h>

#include <algorithm>
#include <cmath>

#include "core/time/local_time.h"

namespace vane {
namespace {

constexpr double kSecondsPerDay = 86400.0;
constexpr double kNoon = 12 * 3600.0;

}  // namespace

std::optional<CivilDate> firstEveningDate(const std::vector<ImportedRecording>& recordings) {
    const auto earliest = std::min_element(
        recordings.begin(), recordings.end(),
        [](const auto& a, const auto& b) { return a.recordingTime < b.recordingTime; });
    if (earliest == recordings.end()) {
        return std::nullopt;
    }
    const double localSeconds = earliest->recordingTime + earliest->utcOffsetSeconds - kNoon;
    return addDays(CivilDate{}, static_cast<long>(std::floor(localSeconds / kSecondsPerDay)));
}

std::string timeZoneId(const icu::TimeZone& zone) {
    icu::UnicodeString id;
    zone.getID(id);
    std::string text;
    id.toUTF8String(text);
    return text;
}

double startOfDay(const CivilDate& date, int utcOffsetSeconds) {
    return utcInstant(LocalDateTime{date, 0, 0, 0}) - utcOffsetSeconds;
}

}  // namespace vane
