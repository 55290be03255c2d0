#include "core/yearly/sun_marks.h"

#include <gtest/gtest.h>

#include <memory>
#include <string>

#include "core/time/civil_date.h"
#include "core/yearly/picture_notes.h"
#include "core/yearly/raster_layout.h"
#include "core/yearly/sun_time_query.h"
#include "tests/core/yearly/yearly_test_support.h"

namespace vane {
namespace {

using testing_support::pixel;
using testing_support::Rgbx;

class SunMarksTest : public ::testing::Test, protected testing_support::BerlinClock {
  protected:
    // The rows a day's marks must have when the calculation runs in `zoneHours`.
    static SunMarkRows rowsInZone(double zoneHours, int year, int dayOfYear) {
        const SunTimes times = sunTimesForDay(49.6f, 11.05f, zoneHours, year, dayOfYear);
        const auto clock = [](float minutes) {
            return std::pair{static_cast<int>(minutes) / 60, static_cast<int>(minutes) % 60};
        };
        const auto [setHour, setMinute] = clock(times.sunset);
        const auto [riseHour, riseMinute] = clock(times.sunrise);
        return {yearly_layout::firstRowOfStep(yearly_layout::eveningStep(setHour, setMinute)),
                yearly_layout::firstRowOfStep(yearly_layout::morningStep(riseHour, riseMinute))};
    }
};

TEST_F(SunMarksTest, QueryAnswersTheNightThatBeginsOnTheDay) {
    const SunTimeAnswer answer =
        getSunTimesForLocationSameDate({at(2012, 6, 21, 0, 0), 11.05f, 49.6f}, zone());
    ASSERT_TRUE(answer.times);
    EXPECT_EQ(answer.times->sunset, at(2012, 6, 21, 21, 26));
    EXPECT_EQ(answer.times->sunrise, at(2012, 6, 22, 5, 8));
}

TEST_F(SunMarksTest, CalculatedTimesAreReadInWholeMinutes) {
    // Every whole minute of the day reads as itself, not as the minute before.
    for (int minutes = 0; minutes < 24 * 60; ++minutes) {
        EXPECT_EQ(clockReadingOfMinutes(static_cast<float>(minutes)),
                  (ClockReading{minutes / 60, minutes % 60}))
            << minutes;
    }
    EXPECT_EQ(clockReadingOfMinutes(1286.9f), (ClockReading{21, 26}));
    EXPECT_EQ(clockReadingOfMinutes(308.2f), (ClockReading{5, 8}));
    // Times off the day are read so that the calendar carries them to the right clock time.
    EXPECT_EQ(clockReadingOfMinutes(-30.0f), (ClockReading{-1, 30}));  // 23:30 the day before
    EXPECT_EQ(clockReadingOfMinutes(-90.0f), (ClockReading{-2, 30}));  // 22:30 the day before
    EXPECT_EQ(clockReadingOfMinutes(1500.0f), (ClockReading{25, 0}));  // 01:00 the day after
}

TEST_F(SunMarksTest, SunsetsAfterMidnightAreMarkedInTheMorningRows) {
    // In northern Lapland, in a zone two hours ahead of its site in summer, the sunsets near
    // the midnight sun fall after midnight.
    const std::unique_ptr<icu::TimeZone> helsinki{icu::TimeZone::createTimeZone("Europe/Helsinki")};
    const SunMarks marks = sunMarksForYear(2012, {68.0f, 25.0f}, *helsinki);
    int afterMidnight = 0;
    for (int k = 0; k < kSunMarkDays; ++k) {
        const double midnight = localInstant({addDays({2012, 1, 1}, k), 0, 0, 0}, *helsinki);
        const SunTimes times =
            sunTimesForDay(68.0f, 25.0f, timeZoneHoursOnDate(midnight, *helsinki), 2012, k + 1);
        if (!times.sunRisesAndSets() || times.sunset < 24 * 60) {
            continue;
        }
        ++afterMidnight;
        const int minutes = static_cast<int>(times.sunset) - 24 * 60;
        ASSERT_TRUE(marks.days[k]) << k;
        EXPECT_EQ(
            marks.days[k]->sunsetRow,
            yearly_layout::firstRowOfStep(yearly_layout::morningStep(minutes / 60, minutes % 60)))
            << k;
        EXPECT_GE(marks.days[k]->sunsetRow, 0);
        EXPECT_LT(marks.days[k]->sunsetRow, marks.days[k]->sunriseRow);
    }
    EXPECT_GT(afterMidnight, 4);
}

TEST_F(SunMarksTest, DaysOfYearAreTakenInTheGivenZone) {
    EXPECT_EQ(dayOfYearForDate(at(2012, 12, 31, 23, 30), zone()), 366);
    EXPECT_EQ(dayOfYearForDate(at(2013, 1, 1, 0, 30), zone()), 1);  // 23:30 of 31 December in UTC
    EXPECT_EQ(dayOfYearForDate(at(2013, 5, 5, 22, 3), zone()), 125);
}

TEST_F(SunMarksTest, EachDayIsQueriedWithTheOffsetInForceOnThatDay) {
    // Whatever the date of the run: summer days with daylight saving, winter days without.
    EXPECT_EQ(timeZoneHoursOnDate(at(2012, 6, 21, 0, 0), zone()), 2.0);
    EXPECT_EQ(timeZoneHoursOnDate(at(2012, 12, 21, 0, 0), zone()), 1.0);
    // The days of the change are those of the clocks during daylight.
    EXPECT_EQ(timeZoneHoursOnDate(at(2012, 3, 25, 0, 0), zone()), 2.0);
    EXPECT_EQ(timeZoneHoursOnDate(at(2012, 10, 28, 0, 0), zone()), 1.0);

    const SunMarks marks = sunMarksForYear(2012, {}, zone());
    ASSERT_EQ(marks.days.size(), 361u);
    EXPECT_EQ(marks.days[172], (SunMarkRows{130, 314}));  // 21 June: 21:26 and 05:08
    EXPECT_EQ(marks.days[172], rowsInZone(2, 2012, 173));
    EXPECT_EQ(marks.days[355], rowsInZone(1, 2012, 356));
    EXPECT_EQ(marks.days[0], rowsInZone(1, 2012, 1));
    EXPECT_FALSE(marks.firstRefusal);

    // A zone without daylight saving marks the summer an hour earlier on the clock.
    const std::unique_ptr<icu::TimeZone> plusOne{icu::TimeZone::createTimeZone("Etc/GMT-1")};
    const SunMarks standard = sunMarksForYear(2012, {}, *plusOne);
    EXPECT_EQ(standard.days[172], rowsInZone(1, 2012, 173));
    EXPECT_EQ(standard.days[355], marks.days[355]);
}

TEST_F(SunMarksTest, DaysWithoutSunriseOrSunsetGetNoMarks) {
    const SunMarks arctic = sunMarksForYear(2012, {80.0f, 11.05f}, zone());
    EXPECT_FALSE(arctic.days[172]);  // midnight sun
    EXPECT_FALSE(arctic.days[355]);  // polar night
    EXPECT_TRUE(arctic.days[79]);    // equinox
    EXPECT_FALSE(arctic.firstRefusal);
}

TEST_F(SunMarksTest, RefusedQueriesGetNoMarksAndExplainThemselves) {
    const SunMarks marks = sunMarksForYear(2012, {95.0f, 11.05f}, zone());
    for (const auto& day : marks.days) {
        EXPECT_FALSE(day);
    }
    ASSERT_TRUE(marks.firstRefusal);
    EXPECT_EQ(marks.firstRefusal->error, 0x200);

    // Said by whoever shows the marks, never written to the process's standard error.
    EXPECT_EQ(solposMessages(*marks.firstRefusal),
              "S_decode ==> Please fix the latitude: 95.000000");
}

// Neither the years past 2050 nor a zone past +12 leave the picture without marks.
TEST_F(SunMarksTest, YearsAfterTwentyFiftyAndZonesEastOfTwelveAreMarked) {
    const auto auckland =
        std::unique_ptr<icu::TimeZone>(icu::TimeZone::createTimeZone("Pacific/Auckland"));
    const struct {
        int year;
        MarkLocation site;
        const icu::TimeZone& zone;
    } cases[] = {{2051, {}, zone()}, {2120, {}, zone()}, {2013, {-41.29f, 174.78f}, *auckland}};
    for (const auto& c : cases) {
        const SunMarks marks = sunMarksForYear(c.year, c.site, c.zone);
        EXPECT_FALSE(marks.firstRefusal) << c.year;
        for (std::size_t k = 0; k < marks.days.size(); ++k) {
            EXPECT_TRUE(marks.days[k]) << c.year << " day " << k + 1;
        }
    }
}

TEST_F(SunMarksTest, TheFirstSessionGivesTheSiteAndTheDefaultFillsGaps) {
    EXPECT_EQ(markLocation({}), (MarkLocation{49.6f, 11.05f}));
    const std::vector<Session> sessions{{0, 3, 52.5, std::nullopt}, {0, 1, 10.0, 20.0}};
    EXPECT_EQ(markLocation(sessions), (MarkLocation{52.5f, 11.05f}));
    const std::vector<Session> unplaced{{0, 3, std::nullopt, std::nullopt}};
    EXPECT_EQ(markLocation(unplaced), (MarkLocation{49.6f, 11.05f}));
}

TEST_F(SunMarksTest, MarksGoIntoTheEveningColumnsOfTheNextDayAndStayInside) {
    Raster raster;
    paintBlock(raster, 2, 1, 130, 1, PixelBytes::GreenBlue, 200);
    SunMarks marks;
    marks.days.resize(361);
    marks.days[0] = SunMarkRows{130, 314};
    marks.days[358] = SunMarkRows{0, 407};
    marks.days[359] = SunMarkRows{10, 300};     // beyond the last column
    marks.days[100] = SunMarkRows{-380, 1000};  // a sunset after midnight, say
    drawSunMarks(raster, marks);

    EXPECT_EQ(pixel(raster, 2, 130), (Rgbx{75, 75, 200, 0}));
    EXPECT_EQ(pixel(raster, 3, 130), (Rgbx{75, 75, 0, 0}));
    EXPECT_EQ(pixel(raster, 3, 314), (Rgbx{75, 75, 0, 0}));
    EXPECT_EQ(pixel(raster, 1, 130), Rgbx{});
    EXPECT_EQ(pixel(raster, 4, 130), Rgbx{});
    EXPECT_EQ(pixel(raster, 2, 131), Rgbx{});
    EXPECT_EQ(pixel(raster, 719, 0), (Rgbx{75, 75, 0, 0}));
    EXPECT_EQ(pixel(raster, 718, 407), (Rgbx{75, 75, 0, 0}));
    std::size_t marked = 0;
    for (std::size_t i = 0; i < raster.bytes.size(); i += kRasterBytesPerPixel) {
        marked += raster.bytes[i] != 0 ? 1 : 0;
    }
    EXPECT_EQ(marked, 8u);
}

}  // namespace
}  // namespace vane
