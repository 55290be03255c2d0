#include "core/solpos/sun_times.h"

#include <gtest/gtest.h>

#include <chrono>
#include <cmath>
#include <numbers>

namespace vane {
namespace {

namespace chrono = std::chrono;

struct Place {
    const char* name;
    double latitude;
    double longitude;
    double zoneHours;  // of its standard time
};

// Places near the date line, where the zones reach past +12.
constexpr Place kPacific[] = {
    {"Wellington", -41.29, 174.78, 12.0},
    {"Nuku'alofa", -21.13, -175.2, 13.0},
    {"Chatham Islands", -43.95, -176.55, 12.75},
    {"Kiritimati", 1.87, -157.4, 14.0},
};

int dayOfYear(chrono::year_month_day date) {
    return static_cast<int>(
               (chrono::sys_days{date} - chrono::sys_days{date.year() / chrono::January / 1})
                   .count()) +
           1;
}

// A zone east of +12 reads the same instants an hour or two later than +12 does: the times of a
// day move by those hours, and only by the sun's small motion in them.
TEST(SunTimes, ZonesOfThirteenAndFourteenHoursAreThoseOfTwelveLater) {
    for (const Place& place : kPacific) {
        for (const int day : {1, 80, 172, 355}) {
            const SunTimes twelve =
                sunTimesForDay(place.latitude, place.longitude, 12.0, 2024, day);
            ASSERT_EQ(twelve.error, 0) << place.name;
            if (!twelve.sunRisesAndSets()) {
                continue;
            }
            for (const double hours : {13.0, 13.75, 14.0}) {
                const SunTimes east =
                    sunTimesForDay(place.latitude, place.longitude, hours, 2024, day);
                ASSERT_TRUE(east.sunRisesAndSets()) << place.name << ' ' << hours << ' ' << day;
                const double shift = (hours - 12.0) * 60.0;
                EXPECT_NEAR(east.sunrise, twelve.sunrise + shift, 0.25) << place.name << ' ' << day;
                EXPECT_NEAR(east.sunset, twelve.sunset + shift, 0.25) << place.name << ' ' << day;
            }
        }
    }
    // Wellington on New Year's Day in summer time: 05:51 and 20:57.
    const SunTimes wellington = sunTimesForDay(-41.29, 174.78, 13.0, 2024, 1);
    EXPECT_EQ(formatClockTime(wellington.sunrise).substr(0, 5), "05:50");
    EXPECT_EQ(formatClockTime(wellington.sunset).substr(0, 5), "20:56");
}

// Near the polar days a sunrise moves by minutes with a hundredth of a degree of the sun, so the
// times are compared at the latitudes of most sites.
constexpr Place kMidLatitudes[] = {
    {"Franconia", 49.6, 11.05, 1.0},
    {"Wellington", -41.29, 174.78, 12.0},
    {"Kiritimati", 1.87, -157.4, -10.0},
    {"Alberta", 56.7, -111.4, -7.0},
};

// The published formulas, continued past their years with a day count of the Gregorian calendar:
// the sunrise and sunset at 09:45:37 local time, in minutes from local midnight.
struct Continued {
    double sunrise;
    double sunset;
};
Continued continuedFormulas(double latitude, double longitude, double zoneHours,
                            chrono::sys_days day) {
    constexpr double kRadians = std::numbers::pi / 180.0;
    const double clockHours = 9.0 + 45.0 / 60.0 + 37.0 / 3600.0;
    const double universalHours = clockHours - zoneHours;
    const double t =
        (day - chrono::sys_days{chrono::year{2000} / 1 / 1}).count() - 0.5 + universalHours / 24.0;
    const double meanLongitude = 280.46 + 0.9856474 * t;
    const double anomaly = (357.528 + 0.9856003 * t) * kRadians;
    const double ecliptic =
        (meanLongitude + 1.915 * std::sin(anomaly) + 0.020 * std::sin(2 * anomaly)) * kRadians;
    const double obliquity = (23.439 - 0.0000004 * t) * kRadians;
    const double declination = std::asin(std::sin(obliquity) * std::sin(ecliptic));
    const double ascension =
        std::atan2(std::cos(obliquity) * std::sin(ecliptic), std::cos(ecliptic)) / kRadians;
    const double sidereal = 15.0 * (6.697375 + 0.0657098242 * t + universalHours) + longitude;
    const double hourAngle = std::remainder(sidereal - ascension, 360.0);
    const double lat = latitude * kRadians;
    const double setAngle = std::acos((-0.014543898 - std::sin(lat) * std::sin(declination)) /
                                      (std::cos(lat) * std::cos(declination))) /
                            kRadians;
    const double offset = std::remainder((hourAngle + 180.0) * 4.0 - clockHours * 60.0, 1440.0);
    return {720.0 - 4.0 * setAngle - offset, 720.0 + 4.0 * setAngle - offset};
}

// Days outside the calculation's years 1950 to 2050 get times, and those of the formulas
// continued: near the years, within seconds; a few centuries away, within the half minute a
// century that its documentation promises.
TEST(SunTimes, AnyYearOfTheCalendarGivesTheTimesOfTheFormulasContinued) {
    struct Span {
        int year;
        double tolerance;  // minutes
    };
    const Span spans[] = {{1, 20.0},    {1600, 2.0},  {1800, 1.0},  {1900, 0.3},
                          {1949, 0.05}, {2000, 0.05}, {2051, 0.05}, {2099, 0.3},
                          {2100, 0.3},  {2101, 0.3},  {2400, 2.0},  {9999, 30.0}};
    for (const Span& span : spans) {
        for (const Place& place : kMidLatitudes) {
            const chrono::sys_days newYear{chrono::year{span.year} / chrono::January / 1};
            for (int k = 0; k < 366; k += 5) {
                const chrono::sys_days day = newYear + chrono::days{k};
                const chrono::year_month_day date{day};
                if (date.year() != chrono::year{span.year}) {
                    break;
                }
                const SunTimes times = sunTimesForDay(place.latitude, place.longitude,
                                                      place.zoneHours, span.year, dayOfYear(date));
                ASSERT_EQ(times.error, 0) << span.year;
                const Continued expected =
                    continuedFormulas(place.latitude, place.longitude, place.zoneHours, day);
                if (!std::isfinite(expected.sunrise) || !times.sunRisesAndSets()) {
                    continue;  // polar days, whose edges may fall a day apart
                }
                EXPECT_NEAR(times.sunrise, expected.sunrise, span.tolerance)
                    << place.name << ' ' << span.year << " day " << k + 1;
                EXPECT_NEAR(times.sunset, expected.sunset, span.tolerance)
                    << place.name << ' ' << span.year << " day " << k + 1;
            }
        }
    }
}

TEST(SunTimes, OnlyASiteOffTheGlobeIsRefused) {
    EXPECT_EQ(sunTimesForDay(95.0, 11.0, 1.0, 2012, 173).error, 0x200);
    EXPECT_EQ(sunTimesForDay(49.6, 181.0, 1.0, 2012, 173).error, 0x400);
    EXPECT_EQ(sunTimesForDay(49.6, 11.0, 1.0, 2012, 173).error, 0);
    EXPECT_EQ(sunTimesForDay(49.6, 11.0, -12.0, 3012, 366).error, 0);
}

}  // namespace
}  // namespace vane
