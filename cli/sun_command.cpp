#include "cli/sun_command.h"

#include <unicode/timezone.h>

#include <CLI/CLI.hpp>
#include <iostream>
#include <memory>
#include <string>
#include <vector>

#include "cli/finite_number.h"
#include "cli/problem_report.h"
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
            return kExitBadInput;
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
    return kExitSuccess;
}

void addSunCommand(CLI::App& app, CommandAction& action) {
    struct Arguments {
        SunOptions options;
        std::string date;
        double timeZoneHours = 0.0;
    };
    const auto arguments = std::make_shared<Arguments>();
    CLI::App* command = app.add_subcommand(
        "sun",
        "Print sunrise and sunset of a site, one row a day, as tab-separated\n"
        "'date sunrise sunset' with local clock times HH:MM:SS. A day on which the sun\n"
        "does not rise or does not set shows '-'. Invalid input names the field to fix.");
    command->add_option("--lat", arguments->options.latitude, "Latitude in degrees, north positive")
        ->required()
        ->check(finiteNumber())
        ->check(CLI::Range(-90.0, 90.0));
    command
        ->add_option("--lon", arguments->options.longitude, "Longitude in degrees, east positive")
        ->required()
        ->check(finiteNumber())
        ->check(CLI::Range(-180.0, 180.0));
    command
        ->add_option("--date", arguments->date,
                     "First day, YYYY-MM-DD; outside 1950 to 2050 the times may be off by\n"
                     "up to half a minute a century further away")
        ->required();
    command->add_option("--days", arguments->options.days, "Number of days")
        ->default_val(1)
        ->check(CLI::Range(1, kMaxSunDays));
    CLI::Option* zoneOption =
        command
            ->add_option(
                "--tz", arguments->timeZoneHours,
                "Time zone of the printed times in hours east of Greenwich, -12 to 14 (e.g. 1,\n"
                "-5, 5.5, 13); default: the offset of the process's time zone on each day,\n"
                "daylight saving included")
            ->check(finiteNumber())
            ->check(CLI::Range(-12.0, 14.0));

    command->callback([arguments, zoneOption, &action] {
        action = [arguments, zoneOption] {
            const std::optional<CivilDate> date = parseIsoDate(arguments->date);
            if (!date) {
                return reportProblem(
                    badUsage("--date takes a day as YYYY-MM-DD, not \"" + arguments->date + "\""),
                    std::cerr);
            }
            SunOptions options = arguments->options;
            options.firstDate = *date;
            if (*zoneOption) {
                options.timeZoneHours = arguments->timeZoneHours;
            }
            return runSun(options, *processTimeZone(), std::cout, stderr);
        };
    });
}

}  // namespace vane::cli
