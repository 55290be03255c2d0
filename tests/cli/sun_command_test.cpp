#include "cli/sun_command.h"

#include <gtest/gtest.h>
#include <unicode/timezone.h>

#include <cstdio>
#include <memory>
#include <sstream>
#include <string>

#include "core/solpos/sun_times.h"

namespace vane::cli {
namespace {

// What a run printed: the table on standard output and the lines on standard error.
struct SunRun {
    int status = 0;
    std::string out;
    std::string err;
};

SunRun runSunWith(const SunOptions& options, const char* zoneId = "Europe/Berlin") {
    const std::unique_ptr<icu::TimeZone> zone{icu::TimeZone::createTimeZone(zoneId)};
    std::ostringstream out;
    std::FILE* err = std::tmpfile();
    SunRun run;
    run.status = runSun(options, *zone, out, err);
    run.out = out.str();
    std::rewind(err);
    char buffer[512];
    while (std::fgets(buffer, sizeof buffer, err)) {
        run.err += buffer;
    }
    std::fclose(err);
    return run;
}

TEST(SunCommand, PrintsLocalClockTimesOfTheSite) {
    const SunRun run = runSunWith({49.6, 11.05, {2012, 6, 21}, 1, 2.0});
    EXPECT_EQ(run.status, 0);
    EXPECT_EQ(run.out, "date\tsunrise\tsunset\n2012-06-21\t05:08:35\t21:26:42\n") << run.out;
}

TEST(SunCommand, UsesEachDaysOwnOffsetWithoutAZone) {
    // Berlin leaves summer time on 2012-10-28: the sunrise moves an hour earlier on the clock.
    const SunRun run = runSunWith({49.6, 11.05, {2012, 10, 27}, 2, std::nullopt});
    ASSERT_EQ(run.status, 0);
    std::istringstream rows(run.out);
    std::string header, saturday, sunday;
    std::getline(rows, header);
    std::getline(rows, saturday);
    std::getline(rows, sunday);
    EXPECT_EQ(saturday.substr(0, 14), "2012-10-27\t07:");
    EXPECT_EQ(sunday.substr(0, 14), "2012-10-28\t06:");
}

TEST(SunCommand, MarksPolarDaysAndNights) {
    const SunRun run = runSunWith({80.0, 11.0, {2012, 6, 21}, 1, 1.0});
    EXPECT_EQ(run.out, "date\tsunrise\tsunset\n2012-06-21\t-\t-\n");
}

TEST(SunCommand, InvalidQueriesPrintTheDecoderLinesAndNoTable) {
    const SunRun latitude = runSunWith({95.0, 11.0, {2012, 6, 21}, 1, 1.0});
    EXPECT_EQ(latitude.status, 2);
    EXPECT_EQ(latitude.out, "");
    EXPECT_NE(latitude.err.find("S_decode ==> Please fix the latitude: 95.000000\n"),
              std::string::npos)
        << latitude.err;
}

// Neither the calculation's years nor its zones of at most 12 hours limit the table.
TEST(SunCommand, ZonesEastOfTwelveAndYearsAfterTwentyFiftyHaveTimes) {
    const SunRun pastRange = runSunWith({49.6, 11.05, {2050, 12, 30}, 3, 1.0});
    EXPECT_EQ(pastRange.status, 0) << pastRange.err;
    EXPECT_EQ(pastRange.out,
              "date\tsunrise\tsunset\n2050-12-30\t08:12:24\t16:24:08\n"
              "2050-12-31\t08:12:26\t16:25:03\n2051-01-01\t08:12:25\t16:26:01\n")
        << pastRange.out;

    const SunRun wellington = runSunWith({-41.29, 174.78, {2024, 1, 1}, 1, 13.0});
    EXPECT_EQ(wellington.status, 0) << wellington.err;
    EXPECT_EQ(wellington.out, "date\tsunrise\tsunset\n2024-01-01\t05:50:51\t20:56:58\n");
    // Kiritimati keeps UTC+14 all year.
    const SunRun kiritimati =
        runSunWith({1.87, -157.4, {2024, 6, 21}, 1, std::nullopt}, "Pacific/Kiritimati");
    EXPECT_EQ(kiritimati.status, 0) << kiritimati.err;
    EXPECT_EQ(kiritimati.out.substr(0, 34), "date\tsunrise\tsunset\n2024-06-21\t06:");
}

TEST(ClockTime, RoundsToTheSecondAndNamesOtherDays) {
    EXPECT_EQ(formatClockTime(308.59), "05:08:35");
    EXPECT_EQ(formatClockTime(59.9999), "01:00:00");
    EXPECT_EQ(formatClockTime(0.0), "00:00:00");
    EXPECT_EQ(formatClockTime(-10.0), "23:50:00 -1d");
    EXPECT_EQ(formatClockTime(1440.0 + 5.0), "00:05:00 +1d");
}

}  // namespace
}  // namespace vane::cli
