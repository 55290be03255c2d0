#include "core/yearly/picture_years.h"

#include <algorithm>
#include <cmath>
#include <cstdio>

#include "core/time/local_time.h"
#include "core/yearly/calendar_instant.h"

namespace vane {
namespace {

constexpr int kFirstYear = 1;
constexpr int kLastYear = 9999;

double newYearInstant(int year, const icu::TimeZone& zone) {
    return localInstant({{year, 1, 1}, 0, 0, 0}, zone);
}

// The first recording at or after `instant`; NaN sorts last and compares false, so it stays
// behind every bound.
std::span<const Recording>::iterator firstFrom(std::span<const Recording> sorted, double instant) {
    return std::lower_bound(
        sorted.begin(), sorted.end(), instant,
        [](const Recording& recording, double bound) { return recording.recordingTime < bound; });
}

}  // namespace

std::vector<int> recordingYears(std::span<const Recording> sortedRecordings,
                                const icu::TimeZone& zone) {
    std::vector<int> years;
    // One look-up per year rather than one per recording: seasons hold millions of them.
    auto next = std::find_if(sortedRecordings.begin(), sortedRecordings.end(),
                             [](const Recording& r) { return isCalendarInstant(r.recordingTime); });
    while (next != sortedRecordings.end() && isCalendarInstant(next->recordingTime)) {
        const int year = localDateTime(next->recordingTime, zone).date.year;
        // A zone whose new year the look-up misses must not hold the walk on one year.
        if (year < kFirstYear || year > kLastYear || (!years.empty() && year <= years.back())) {
            break;
        }
        years.push_back(year);
        if (year == kLastYear) {
            break;
        }
        next = firstFrom(sortedRecordings, newYearInstant(year + 1, zone));
    }
    return years;
}

std::span<const Recording> recordingsOfYear(std::span<const Recording> sortedRecordings, int year,
                                            const icu::TimeZone& zone) {
    if (year < kFirstYear || year > kLastYear) {
        return {};
    }
    const auto first = firstFrom(sortedRecordings, newYearInstant(year, zone));
    const auto end =
        year == kLastYear
            ? std::find_if(first, sortedRecordings.end(),
                           [](const Recording& r) { return !isCalendarInstant(r.recordingTime); })
            : firstFrom(sortedRecordings, newYearInstant(year + 1, zone));
    return {first, end};
}

std::string yearPictureCaption(int year, const MarkLocation& location) {
    const auto coordinate = [](float degrees, const char* positive, const char* negative) {
        char text[32];
        std::snprintf(text, sizeof text, "%.2f° %s", std::fabs(static_cast<double>(degrees)),
                      degrees < 0.0f ? negative : positive);
        return std::string(text);
    };
    return std::to_string(year) + " · " + coordinate(location.latitude, "N", "S") + ", " +
           coordinate(location.longitude, "E", "W");
}

}  // namespace vane
