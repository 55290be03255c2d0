#include "core/recordings/zone_change.h"

#include <cmath>

#include "core/recordings/imported_recording.h"
#include "core/time/local_time.h"

namespace vane {

KeptTime readInZone(const KeptTime& time, const icu::TimeZone& zone) {
    if (time.timeZone.empty()) {
        return time;
    }
    constexpr double kSecondsPerDay = 86400.0;
    const double wall = time.recordingTime + time.utcOffsetSeconds;
    const double days = std::floor(wall / kSecondsPerDay);
    const double ofDay = wall - days * kSecondsPerDay;
    const double whole = std::floor(ofDay);
    const int second = static_cast<int>(whole);
    const LocalDateTime local{addDays(CivilDate{}, static_cast<long>(days)), second / 3600,
                              second / 60 % 60, second % 60};
    const double instant = localInstant(local, zone) + (ofDay - whole);
    return {instant, utcOffsetSeconds(instant, zone), timeZoneId(zone)};
}

}  // namespace vane
