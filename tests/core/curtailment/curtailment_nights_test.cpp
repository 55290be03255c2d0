#include <gtest/gtest.h>
#include <unicode/timezone.h>

#include <memory>

#include "core/curtailment/night_clock.h"
#include "core/curtailment/nights.h"
#include "core/solpos/sun_times.h"
#include "core/time/local_time.h"

namespace vane {
namespace {

std::unique_ptr<icu::TimeZone> zoneNamed(const char* name) {
    return std::unique_ptr<icu::TimeZone>(icu::TimeZone::createTimeZone(name));
}

TEST(CurtailmentNightsTest, NightsRunFromSunsetToTheNextSunriseInTheMonthTheyStartIn) {
    const auto berlin = zoneNamed("Europe/Berlin");
    const Site site{49.6, 10.9};
    const double newYear = localInstant({{2013, 1, 1}, 2, 0, 0}, *berlin);
    const NightCalendar calendar = nightsBetween(newYear, newYear, site, {}, *berlin);
    // The day before the first instant's day and that day itself.
    ASSERT_EQ(calendar.nights.size(), 2u);
    const Night& silvester = calendar.nights[0];
    EXPECT_EQ(silvester.date, (CivilDate{2012, 12, 31}));
    const LocalDateTime sunset = localDateTime(silvester.start, *berlin);
    const LocalDateTime sunrise = localDateTime(silvester.end, *berlin);
    EXPECT_EQ(sunset.date, (CivilDate{2012, 12, 31}));
    EXPECT_EQ(sunset.hour, 16);
    EXPECT_EQ(sunrise.date, (CivilDate{2013, 1, 1}));
    EXPECT_EQ(sunrise.hour, 8);
    // 02:00 on New Year's Day belongs to the December night, in the part that holds it.
    const std::optional<NightPlace> place = nightPlaceOf(calendar, newYear, 10);
    ASSERT_TRUE(place.has_value());
    EXPECT_EQ(place->night, 0u);
    const double fraction = (newYear - silvester.start) / (silvester.end - silvester.start);
    EXPECT_EQ(place->part, static_cast<int>(fraction * 10));
    // A part holds its end: the sunset itself is no part of the night, the sunrise is.
    EXPECT_FALSE(nightPlaceOf(calendar, silvester.start, 10).has_value());
    EXPECT_EQ(nightPlaceOf(calendar, silvester.end, 10)->part, 9);
    EXPECT_EQ(nightPlaceOf(calendar, silvester.start + 1.0, 10)->part, 0);
}

TEST(CurtailmentNightsTest, WideningAndClockChangesKeepNightsAtTheirSunTimes) {
    const auto berlin = zoneNamed("Europe/Berlin");
    const Site site{49.6, 10.9};
    // The night into the last Sunday of March 2012 is an hour shorter on the clock, not in the
    // sky: its sunrise comes after 07:00 summer time, about 06:05 by the clock of the evening.
    const double sunday = localInstant({{2012, 3, 25}, 3, 30, 0}, *berlin);
    const NightCalendar plain = nightsBetween(sunday, sunday, site, {}, *berlin);
    ASSERT_EQ(plain.nights.size(), 2u);
    const Night& clockChange = plain.nights[0];
    EXPECT_EQ(clockChange.date, (CivilDate{2012, 3, 24}));
    EXPECT_EQ(localDateTime(clockChange.end, *berlin).hour, 7);
    const double hours = (clockChange.end - clockChange.start) / 3600.0;
    EXPECT_GT(hours, 11.0);
    EXPECT_LT(hours, 12.0);
    const NightCalendar widened =
        nightsBetween(sunday, sunday, site,
                      {.parts = 10, .minutesBeforeSunset = 30, .minutesAfterSunrise = 45}, *berlin);
    EXPECT_DOUBLE_EQ(widened.nights[0].start, clockChange.start - 1800.0);
    EXPECT_DOUBLE_EQ(widened.nights[0].end, clockChange.end + 2700.0);
}

TEST(CurtailmentNightsTest, PolarDaysAndNightsHaveNoNight) {
    const auto oslo = zoneNamed("Europe/Oslo");
    const Site svalbard{78.2, 15.6};
    for (const CivilDate date : {CivilDate{2012, 6, 21}, CivilDate{2012, 12, 21}}) {
        const double noon = localInstant({date, 12, 0, 0}, *oslo);
        const NightCalendar calendar = nightsBetween(noon, noon + 5 * 86400.0, svalbard, {}, *oslo);
        EXPECT_TRUE(calendar.nights.empty());
        EXPECT_EQ(calendar.daysWithoutNight, 7);
        EXPECT_FALSE(nightPlaceOf(calendar, noon, 10).has_value());
    }
}

// The zones past +12 and the years past 2050 are beyond the solar calculation's own ranges; their
// nights are there all the same, every one from evening to morning.
TEST(CurtailmentNightsTest, EveryDayHasItsNightInAnyZoneAndYear) {
    struct Case {
        const char* zone;
        Site site;
        CivilDate first;
        int days;
    };
    const Case cases[] = {
        {"Pacific/Auckland", {-41.29, 174.78}, {2013, 1, 1}, 181},  // UTC+13 until April
        {"Pacific/Kiritimati", {1.87, -157.4}, {2024, 1, 1}, 60},   // UTC+14
        {"Pacific/Pago_Pago", {-14.28, -170.7}, {2024, 1, 1}, 60},  // UTC-11
        {"Europe/Berlin", {49.6, 11.05}, {2051, 6, 1}, 60},
        {"Europe/Berlin", {49.6, 11.05}, {2212, 12, 1}, 60},
    };
    for (const Case& c : cases) {
        const auto zone = zoneNamed(c.zone);
        const double from = localInstant({c.first, 12, 0, 0}, *zone);
        const double to = localInstant({addDays(c.first, c.days - 1), 12, 0, 0}, *zone);
        const NightCalendar calendar = nightsBetween(from, to, c.site, {}, *zone);
        EXPECT_EQ(calendar.daysWithoutNight, 0) << c.zone;
        ASSERT_EQ(calendar.nights.size(), static_cast<std::size_t>(c.days + 1)) << c.zone;
        for (const Night& night : calendar.nights) {
            const LocalDateTime sunset = localDateTime(night.start, *zone);
            const LocalDateTime sunrise = localDateTime(night.end, *zone);
            EXPECT_EQ(sunset.date, night.date) << c.zone;
            EXPECT_EQ(sunrise.date, addDays(night.date, 1)) << c.zone;
            EXPECT_GE(sunset.hour, 16) << c.zone << ' ' << formatIsoDate(night.date);
            EXPECT_LE(sunrise.hour, 8) << c.zone << ' ' << formatIsoDate(night.date);
        }
    }
}

TEST(CurtailmentNightsTest, TheMidMonthNightPutsEachPartOnTheClock) {
    const auto berlin = zoneNamed("Europe/Berlin");
    const std::vector<MonthNight> nights = midMonthNights(2013, {49.6, 10.9}, {}, *berlin);
    ASSERT_EQ(nights.size(), 12u);
    const auto clockOf = [&](int month, int part, int parts = 10) {
        return nightPartClock(nights[static_cast<std::size_t>(month - 1)].night, part, parts,
                              *berlin);
    };
    // Sunset and sunrise in summer time and in winter time, and the parts meeting end to end.
    EXPECT_EQ(nights[5].month, 6);
    EXPECT_EQ(clockOf(6, 0, 1).substr(0, 3), "21:");
    EXPECT_EQ(clockOf(6, 0, 1).substr(6, 3), "05:");
    EXPECT_EQ(clockOf(12, 0, 1).substr(0, 3), "16:");
    EXPECT_EQ(clockOf(12, 0, 1).substr(6, 3), "08:");
    for (int part = 0; part + 1 < 10; ++part) {
        EXPECT_EQ(clockOf(7, part).substr(6), clockOf(7, part + 1).substr(0, 5));
    }
    EXPECT_EQ(clockOf(7, 0).substr(0, 5), clockOf(7, 0, 1).substr(0, 5));
    EXPECT_EQ(clockOf(7, 9).substr(6), clockOf(7, 0, 1).substr(6));

    // A widened night starts earlier by the minutes asked for.
    const std::vector<MonthNight> widened =
        midMonthNights(2013, {49.6, 10.9}, {.parts = 10, .minutesBeforeSunset = 60}, *berlin);
    const LocalDateTime plain = localDateTime(nights[6].night.start, *berlin);
    const LocalDateTime early = localDateTime(widened[6].night.start, *berlin);
    EXPECT_EQ(plain.hour * 60 + plain.minute - (early.hour * 60 + early.minute), 60);

    // Far north the midsummer and midwinter months have no night to stand for them.
    const auto oslo = zoneNamed("Europe/Oslo");
    std::vector<int> months;
    for (const MonthNight& night : midMonthNights(2013, {78.2, 15.6}, {}, *oslo)) {
        months.push_back(night.month);
    }
    EXPECT_EQ(months, (std::vector<int>{2, 3, 4, 9, 10}));
}

}  // namespace
}  // namespace vane
