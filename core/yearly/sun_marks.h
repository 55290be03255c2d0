#pragma once

#include <optional>
#include <span>
#include <vector>

#include "core/icu_forward.h"
#include "core/recordings/session.h"
#include "core/solpos/sun_times.h"
#include "core/yearly/raster.h"

namespace vane {

inline constexpr int kSunMarkDays = 361;
inline constexpr float kDefaultMarkLatitude = 49.6f;
inline constexpr float kDefaultMarkLongitude = 11.05f;
inline constexpr std::uint8_t kSunMarkLevel = 75;

// The site whose sunset and sunrise the picture marks.
struct MarkLocation {
    float latitude = kDefaultMarkLatitude;
    float longitude = kDefaultMarkLongitude;
    friend bool operator==(const MarkLocation&, const MarkLocation&) = default;
};

// The first session's site; each coordinate it lacks (and both without a session) is the
// default site's.
MarkLocation markLocation(std::span<const Session> sessions);

// The top rows of one day's marks.
struct SunMarkRows {
    int sunsetRow = 0;
    int sunriseRow = 0;
    friend bool operator==(const SunMarkRows&, const SunMarkRows&) = default;
};

struct SunMarks {
    int year = 0;
    // Day k is 1 January plus k days; none where the day's sun times are undefined.
    std::vector<std::optional<SunMarkRows>> days;
    // The first query the solar position calculation refused, to explain the missing marks.
    std::optional<SunTimes> firstRefusal;
};

// The marks of days 1 to 361 of `year`.
SunMarks sunMarksForYear(int year, const MarkLocation& location, const icu::TimeZone& zone);

// Day k's marks go into the evening columns of day of year k + 1.
void drawSunMarks(Raster& raster, const SunMarks& marks);

}  // namespace vane
