#include "cli/sun_command.h"

#include <vector>

#include "core/solpos/sun_times.h"
#include "core/time/local_time.h"

namespace vane::cli {

int runSun(const SunOptions& options, const icu::TimeZone& processZone, std::ostream& out,
           std::FILE* err) {
    std::vector<SunTimes> rows;
    rows.reserve(static_cast<std::size_t>(options.days));
    for (int i = 0; i < options.days; ++i) {
        const CivilDate date = addDays(options.firstDate, i);
        const double zoneHours =
            options.timeZoneHours.value_or(utcOffsetSecondsOnDate(date, processZone) / 3600.0);
        rows.push_back(sunTimesForDay(options.latitude, options.longitude, zoneHours, date.year,
                                      dayOfYear(date)));
        if (rows.back().error != 0) {
            std::fprintf(err, "Invalid sun query for %s:\n", formatIsoDate(date).c_str());
            S_decode(rows.back().error, rows.back().record, err);
            return 2;
        }
    }

    out << "date\tsunrise\tsunset\n";
    for (int i = 0; i < options.days; ++i) {
        const SunTimes& times = rows[static_cast<std::size_t>(i)];
        out << formatIsoDate(addDays(options.firstDate, i)) << '\t';
        if (times.sunRisesAndSets()) {
            out << formatClockTime(times.sunrise) << '\t' << formatClockTime(times.sunset) << '\n';
        } else {
            out << "-\t-\n";
        }
    }
    return 0;
}

}  // namespace vane::cli
