#include "core/curtailment/coverage_calendar.h"

#include <gtest/gtest.h>
#include <unicode/timezone.h>

#include <memory>

#include "core/time/local_time.h"

namespace vane {
namespace {

// Ten days of 10-minute rows at a site in Franconia, with the truth set by hand: the detector off
// for two nights, the wind logger silent for part of one, bats in one.
TEST(CoverageCalendarTest, MarksEachNightAsTheEffortWindAndActivityMadeIt) {
    const std::unique_ptr<icu::TimeZone> berlin(icu::TimeZone::createTimeZone("Europe/Berlin"));
    const auto at = [&](int day, int hour) {
        return localInstant({{2012, 6, day}, hour, 0, 0}, *berlin);
    };
    std::vector<TurbineInterval> intervals;
    for (double end = at(1, 0) + 600; end <= at(11, 0); end += 600) {
        TurbineInterval& interval = intervals.emplace_back();
        interval.end = end;
        interval.wind = 4.0f;
        // The night of 2 June loses four hours of wind readings, and has bats all the same.
        if (end > at(2, 22) && end <= at(3, 2)) {
            interval.wind.reset();
            interval.activity = 1;
        }
        if (end > at(3, 23) - 600 && end <= at(3, 23)) {
            interval.activity = 3;
        }
    }
    CurtailmentOptions options;
    options.effort = std::vector<EffortSpan>{{at(1, 12), at(4, 12)}, {at(6, 12), at(9, 12)}};
    const CurtailmentData data = curtailmentData(intervals, {49.6, 11.05}, options, *berlin);

    ASSERT_EQ(data.coverage.size(), 8u);
    EXPECT_EQ(data.coverage[1].activity, 24);  // counted as seen, though the plan cannot use it
    EXPECT_LT(data.coverage[1].windShare, kWindGapShare);
    EXPECT_GE(data.coverage[0].windShare, 0.97);
    const std::string calendar = coverageCalendar(data.coverage);
    EXPECT_EQ(calendar.substr(calendar.find('\n') + 1), "2012-06  .!#--...\n");
    EXPECT_EQ(coverageCalendar({}), "");

    // A season across months starts each month on a line of its own, at the day's place.
    const std::vector<NightCoverage> season = {{{2012, 7, 30}, true, 1, 1.0},
                                               {{2012, 7, 31}, true, 0, 1.0},
                                               {{2012, 8, 2}, false, 0, 0.0}};
    const std::string lines = coverageCalendar(season);
    EXPECT_EQ(lines.substr(lines.find('\n') + 1),
              "2012-07  " + std::string(29, ' ') + "#.\n2012-08   -\n");
}

}  // namespace
}  // namespace vane
