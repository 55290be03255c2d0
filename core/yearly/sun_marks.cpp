#include "core/yearly/sun_marks.h"

#include "core/time/civil_date.h"
#include "core/time/local_time.h"
#include "core/yearly/raster_layout.h"
#include "core/yearly/sun_time_query.h"

namespace vane {

namespace layout = yearly_layout;

namespace {

// The row of a time in the night that begins on `evening`. Far north, a sunset can fall after
// midnight (and a sunrise before it); read on the evening's clock it would lie above the
// picture and its mark would be lost.
int rowOfNightTime(const LocalDateTime& time, const CivilDate& evening) {
    const int step = time.date == evening ? layout::eveningStep(time.hour, time.minute)
                                          : layout::morningStep(time.hour, time.minute);
    return layout::firstRowOfStep(step);
}

}  // namespace

MarkLocation markLocation(std::span<const Session> sessions) {
    MarkLocation location;
    if (sessions.empty()) {
        return location;
    }
    const Session& first = sessions.front();
    if (first.latitude) {
        location.latitude = static_cast<float>(*first.latitude);
    }
    if (first.longitude) {
        location.longitude = static_cast<float>(*first.longitude);
    }
    return location;
}

SunMarks sunMarksForYear(int year, const MarkLocation& location, const icu::TimeZone& zone) {
    SunMarks marks;
    marks.year = year;
    marks.days.reserve(kSunMarkDays);
    const CivilDate newYear{year, 1, 1};
    for (int k = 0; k < kSunMarkDays; ++k) {
        const double datum = localInstant({addDays(newYear, k), 0, 0, 0}, zone);
        const SunTimeAnswer answer =
            getSunTimesForLocationSameDate({datum, location.longitude, location.latitude}, zone);
        if (answer.calculation.error != 0 && !marks.firstRefusal) {
            marks.firstRefusal = answer.calculation;
        }
        if (!answer.times) {
            marks.days.emplace_back();
            continue;
        }
        const CivilDate evening = addDays(newYear, k);
        marks.days.push_back(SunMarkRows{
            rowOfNightTime(localDateTime(answer.times->sunset, zone), evening),
            rowOfNightTime(localDateTime(answer.times->sunrise, zone), evening),
        });
    }
    return marks;
}

void drawSunMarks(Raster& raster, const SunMarks& marks) {
    for (std::size_t k = 0; k < marks.days.size(); ++k) {
        if (!marks.days[k]) {
            continue;
        }
        const long long column = layout::eveningColumn(static_cast<int>(k) + 1);
        for (const int row : {marks.days[k]->sunsetRow, marks.days[k]->sunriseRow}) {
            paintBlock(raster, column, layout::kColumnsPerNight, row, 1, PixelBytes::RedGreen,
                       kSunMarkLevel);
        }
    }
}

}  // namespace vane
