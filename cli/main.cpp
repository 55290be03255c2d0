#include <unicode/locid.h>
#include <unicode/timezone.h>

#include <CLI/CLI.hpp>
#include <cstdio>
#include <exception>
#include <iostream>
#include <memory>
#include <string>

#include "cli/events_command.h"
#include "cli/sun_command.h"
#include "core/time/local_time.h"

namespace {

constexpr int kBadUsage = 2;

constexpr const char* kDescription =
    "Vane relates bat activity in time-stamped recordings to wind speed, temperature and the\n"
    "operating state of a wind turbine, and shows when in the night bats were active.\n"
    "Times without an offset are local time of the process's time zone (set TZ to change it).";

constexpr const char* kRecordingListHelp =
    "A recording list has one time stamp per line, ISO 8601 such as 2012-06-21 21:03:00 or\n"
    "2012-06-21T21:03:00.25+02:00 (T or space, optional fraction, optional Z, +HH:MM or +HHMM).\n"
    "Blank lines and lines starting with # are skipped, a first line that is not a time stamp\n"
    "is a header, and from a CSV line the first field is taken. The list need not be sorted.";

}  // namespace

int main(int argc, char** argv) {
    CLI::App app{kDescription, "vane"};
    app.require_subcommand(1);

    vane::cli::SunOptions sun;
    std::string sunDate;
    double tzHours = 0.0;
    CLI::App* sunCommand = app.add_subcommand(
        "sun",
        "Print sunrise and sunset of a site, one row a day, as tab-separated\n"
        "'date sunrise sunset' with local clock times HH:MM:SS. A day on which the sun\n"
        "does not rise or does not set shows '-'. Invalid input names the field to fix.");
    sunCommand->add_option("--lat", sun.latitude, "Latitude in degrees, north positive")
        ->required();
    sunCommand->add_option("--lon", sun.longitude, "Longitude in degrees, east positive")
        ->required();
    sunCommand->add_option("--date", sunDate, "First day, YYYY-MM-DD (years 1950 to 2050)")
        ->required();
    sunCommand->add_option("--days", sun.days, "Number of days")
        ->default_val(1)
        ->check(CLI::Range(1, vane::cli::kMaxSunDays));
    CLI::Option* tzOption = sunCommand->add_option(
        "--tz", tzHours,
        "Time zone of the printed times in hours east of Greenwich (e.g. 1, -5, 5.5);\n"
        "default: the offset of the process's time zone on each day, daylight saving included");

    vane::cli::EventsOptions events;
    CLI::App* eventsCommand = app.add_subcommand(
        "events",
        "Print the end times of the occupied 10-minute activity bins of a recording list,\n"
        "one line each in the short date and time style of the locale (LANG), or with\n"
        "--counts a tab-separated table 'bin_end count'. Bins lie on a fixed grid that starts\n"
        "2009-06-20 00:00 local time; earlier recordings are left out.");
    eventsCommand->footer(kRecordingListHelp);
    eventsCommand->add_option("FILE", events.recordingList, "Recording list")->required();
    eventsCommand->add_flag(
        "--counts", events.counts,
        "Print bin ends as YYYY-MM-DDTHH:MM:SS with their number of recordings");

    try {
        app.parse(argc, argv);
    } catch (const CLI::ParseError& error) {
        return app.exit(error) == 0 ? 0 : kBadUsage;
    }

    try {
        const std::unique_ptr<icu::TimeZone> zone = vane::processTimeZone();
        if (sunCommand->parsed()) {
            const std::optional<vane::CivilDate> date = vane::parseIsoDate(sunDate);
            if (!date) {
                std::cerr << "Bad usage: --date takes a day as YYYY-MM-DD, not \"" << sunDate
                          << "\"\n";
                return kBadUsage;
            }
            sun.firstDate = *date;
            if (*tzOption) {
                sun.timeZoneHours = tzHours;
            }
            return vane::cli::runSun(sun, *zone, std::cout, stderr);
        }
        return vane::cli::runEvents(events, *zone, icu::Locale::getDefault(), std::cout, std::cerr);
    } catch (const std::exception& error) {
        std::cerr << "Internal error: " << error.what() << '\n';
        return 1;
    }
}
