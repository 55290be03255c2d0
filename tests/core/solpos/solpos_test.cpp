#include "core/solpos/solpos.h"

#include <gmock/gmock.h>
#include <gtest/gtest.h>

#include <cmath>
#include <cstdio>
#include <cstring>
#include <initializer_list>
#include <sstream>
#include <string>
#include <vector>

namespace vane {
namespace {

using ::testing::ElementsAre;
using ::testing::IsEmpty;

// Minutes of tolerance for rise and set times.
constexpr float kMinuteTolerance = 0.1f;

// A site in northern Bavaria, set up the way the yearly activity graph does it.
SolposRecord bavaria(int year, int day_of_year, float time_zone) {
    SolposRecord r;
    S_init(r);
    r.longitude = 11.05f;
    r.latitude = 49.6f;
    r.time_zone = time_zone;
    r.year = year;
    r.day_of_year = day_of_year;
    r.hour = 9;
    r.minute = 45;
    r.second = 37;
    r.temperature = 27.0f;
    r.pressure = 1006.0f;
    return r;
}

std::vector<std::string> decode_lines(long code, const SolposRecord& r) {
    std::FILE* f = std::tmpfile();
    if (f == nullptr) {
        ADD_FAILURE() << "tmpfile() failed";
        return {};
    }
    S_decode(code, r, f);
    std::rewind(f);
    std::string text;
    char buf[256];
    size_t n = 0;
    while ((n = std::fread(buf, 1, sizeof buf, f)) > 0) {
        text.append(buf, n);
    }
    std::fclose(f);

    std::vector<std::string> lines;
    std::istringstream in(text);
    for (std::string line; std::getline(in, line);) {
        lines.push_back(line);
    }
    // Every line must be newline-terminated, so the text ends with one.
    if (!text.empty()) {
        EXPECT_EQ(text.back(), '\n');
    }
    return lines;
}

TEST(SolposValidation, FreshRecordReportsEveryMissingInputInBitOrder) {
    SolposRecord r;
    S_init(r);
    const long code = S_solpos(r);
    EXPECT_EQ(code, 0x6F9);
    EXPECT_THAT(decode_lines(code, r),
                ElementsAre("S_decode ==> Please fix the year: -99 [1950-2050]",
                            "S_decode ==> Please fix the day-of-year: -999",
                            "S_decode ==> Please fix the hour: -99",
                            "S_decode ==> Please fix the minute: -99",
                            "S_decode ==> Please fix the second: -99",
                            "S_decode ==> Please fix the time zone: -99.000000",
                            "S_decode ==> Please fix the latitude: -99.000000",
                            "S_decode ==> Please fix the longitude: -999.000000"));
    EXPECT_THAT(decode_lines(0, r), IsEmpty());
}

TEST(SolposValidation, YearAndTimeOfDayLimits) {
    SolposRecord r = bavaria(2050, 100, 1.0f);
    EXPECT_EQ(S_solpos(r), 0);
    r.year = 2051;
    EXPECT_EQ(S_solpos(r), 0x1);
    r.year = 1950;
    EXPECT_EQ(S_solpos(r), 0);
    r.year = 1949;
    EXPECT_EQ(S_solpos(r), 0x1);

    // Midnight at the end of the day is accepted as 24:00:00, but nothing after it.
    r = bavaria(2012, 100, 1.0f);
    r.hour = 24;
    r.minute = 0;
    r.second = 0;
    EXPECT_EQ(S_solpos(r), 0);
    r.minute = 1;
    EXPECT_EQ(S_solpos(r), 0x10 | 0x20);
    r.minute = 0;
    r.second = 1;
    EXPECT_EQ(S_solpos(r), 0x10 | 0x40);
    r.second = 0;
    r.hour = 25;
    EXPECT_EQ(S_solpos(r), 0x10);
}

TEST(SolposValidation, EachBadInputHasItsOwnBit) {
    struct Case {
        const char* what;
        void (*spoil)(SolposRecord&);
        long expected;
    };
    const Case cases[] = {
        {"time zone", [](SolposRecord& r) { r.time_zone = 12.5f; }, 0x80},
        {"interval", [](SolposRecord& r) { r.interval = 28801; }, 0x100},
        {"negative interval", [](SolposRecord& r) { r.interval = -1; }, 0x100},
        {"latitude", [](SolposRecord& r) { r.latitude = -90.5f; }, 0x200},
        {"longitude", [](SolposRecord& r) { r.longitude = 180.5f; }, 0x400},
        {"temperature", [](SolposRecord& r) { r.temperature = -101.0f; }, 0x800},
        {"tilt", [](SolposRecord& r) { r.tilt = 181.0f; }, 0x2000},
        {"aspect", [](SolposRecord& r) { r.aspect = -361.0f; }, 0x4000},
        {"sky factor", [](SolposRecord& r) { r.shadowband_sky_factor = -1.5f; }, 0x20000},
        // A value that is not a number must never pass as a valid input.
        {"latitude NaN", [](SolposRecord& r) { r.latitude = NAN; }, 0x200},
        {"longitude NaN", [](SolposRecord& r) { r.longitude = NAN; }, 0x400},
        {"time zone NaN", [](SolposRecord& r) { r.time_zone = NAN; }, 0x80},
        {"pressure NaN", [](SolposRecord& r) { r.pressure = NAN; }, 0x1000},
    };
    for (const Case& c : cases) {
        SolposRecord r = bavaria(2012, 100, 1.0f);
        c.spoil(r);
        EXPECT_EQ(S_solpos(r), c.expected) << c.what;
    }

    // Limits themselves are accepted.
    SolposRecord r = bavaria(2012, 100, 12.0f);
    r.interval = 28800;
    r.latitude = -90.0f;
    r.longitude = 180.0f;
    r.temperature = 100.0f;
    r.pressure = 2000.0f;
    r.tilt = -180.0f;
    r.aspect = 360.0f;
    r.shadowband_width = 100.0f;
    r.shadowband_radius = 1.0f;
    r.shadowband_sky_factor = 1.0f;
    EXPECT_EQ(S_solpos(r), 0);
}

TEST(SolposValidation, DecodeNamesEveryFieldWithItsValue) {
    SolposRecord r = bavaria(1900, 400, 13.0f);
    r.month = 0;
    r.day = 32;
    r.hour = -1;
    r.minute = 60;
    r.second = 61;
    r.interval = 30000;
    r.latitude = 91.5f;
    r.longitude = -181.25f;
    r.temperature = 150.0f;
    r.pressure = 2500.0f;
    r.tilt = 200.0f;
    r.aspect = 400.0f;
    r.shadowband_width = 0.5f;
    r.shadowband_radius = 120.0f;
    r.shadowband_sky_factor = 2.0f;
    EXPECT_THAT(
        decode_lines(0x3FFFF, r),
        ElementsAre(
            "S_decode ==> Please fix the year: 1900 [1950-2050]",
            "S_decode ==> Please fix the month: 0", "S_decode ==> Please fix the day-of-month: 32",
            "S_decode ==> Please fix the day-of-year: 400", "S_decode ==> Please fix the hour: -1",
            "S_decode ==> Please fix the minute: 60", "S_decode ==> Please fix the second: 61",
            "S_decode ==> Please fix the time zone: 13.000000",
            "S_decode ==> Please fix the interval: 30000",
            "S_decode ==> Please fix the latitude: 91.500000",
            "S_decode ==> Please fix the longitude: -181.250000",
            "S_decode ==> Please fix the temperature: 150.000000",
            "S_decode ==> Please fix the pressure: 2500.000000",
            "S_decode ==> Please fix the tilt: 200.000000",
            "S_decode ==> Please fix the aspect: 400.000000",
            "S_decode ==> Please fix the shadowband width: 0.500000",
            "S_decode ==> Please fix the shadowband radius: 120.000000",
            "S_decode ==> Please fix the shadowband sky factor: 2.000000"));
    // With the DOY bit clear every check but the day-of-year one fires.
    r.function_mask = SOLPOS_ALL & ~SOLPOS_DOY_INPUT;
    EXPECT_EQ(S_solpos(r), 0x3FFFF & ~0x8);
}

TEST(SolposValidation, MaskDecidesWhichChecksRun) {
    // Without the refraction step a negative pressure is irrelevant, an absurd one is not.
    SolposRecord r = bavaria(2012, 100, 1.0f);
    r.function_mask = SOLPOS_ALL & ~SOLPOS_REFRACTION;
    r.pressure = -5.0f;
    EXPECT_EQ(S_solpos(r), 0);
    r.pressure = 2001.0f;
    const long code = S_solpos(r);
    EXPECT_EQ(code, 0x1000);
    EXPECT_THAT(decode_lines(code, r),
                ElementsAre("S_decode ==> Please fix the pressure: 2001.000000"));
    r.function_mask = SOLPOS_ALL;
    r.pressure = -5.0f;
    EXPECT_EQ(S_solpos(r), 0x1000);

    // Same split for the shadow-band geometry.
    r = bavaria(2012, 100, 1.0f);
    r.function_mask = SOLPOS_ALL & ~SOLPOS_SHADOWBAND;
    r.shadowband_width = 0.5f;
    r.shadowband_radius = 0.5f;
    r.shadowband_sky_factor = 3.0f;
    EXPECT_EQ(S_solpos(r), 0);
    r.shadowband_width = 101.0f;
    r.shadowband_radius = 101.0f;
    EXPECT_EQ(S_solpos(r), 0x8000 | 0x10000);
    r.function_mask = SOLPOS_ALL;
    r.shadowband_width = 0.5f;
    r.shadowband_radius = 0.5f;
    EXPECT_EQ(S_solpos(r), 0x8000 | 0x10000 | 0x20000);

    // Month/day input is checked instead of the day of year when the DOY bit is clear.
    r = bavaria(2012, -5, 1.0f);
    r.function_mask = SOLPOS_ALL & ~SOLPOS_DOY_INPUT;
    r.month = 13;
    r.day = 0;
    const long date_code = S_solpos(r);
    EXPECT_EQ(date_code, 0x2 | 0x4);
    EXPECT_THAT(decode_lines(date_code, r),
                ElementsAre("S_decode ==> Please fix the month: 13",
                            "S_decode ==> Please fix the day-of-month: 0"));
}

TEST(SolposValidation, ErrorLeavesRecordUntouched) {
    // A valid date with a bad latitude: not even month and day may be derived.
    SolposRecord r = bavaria(2012, 60, 1.0f);
    r.latitude = 95.0f;
    r.azimuth = 1234.0f;
    const SolposRecord before = r;
    EXPECT_EQ(S_solpos(r), 0x200);
    EXPECT_EQ(std::memcmp(&before, &r, sizeof r), 0);
    EXPECT_EQ(r.month, -99);
    EXPECT_EQ(r.day, -99);
    EXPECT_EQ(r.azimuth, 1234.0f);
}

TEST(SolposDates, DayOfYearAndMonthDayConvertBothWays) {
    SolposRecord r = bavaria(2012, 60, 1.0f);
    ASSERT_EQ(S_solpos(r), 0);
    EXPECT_EQ(r.month, 2);
    EXPECT_EQ(r.day, 29);

    r = bavaria(2000, 60, 1.0f);  // divisible by 400: leap year
    ASSERT_EQ(S_solpos(r), 0);
    EXPECT_EQ(r.month, 2);
    EXPECT_EQ(r.day, 29);

    r = bavaria(2011, 60, 1.0f);
    ASSERT_EQ(S_solpos(r), 0);
    EXPECT_EQ(r.month, 3);
    EXPECT_EQ(r.day, 1);

    r = bavaria(2012, 366, 1.0f);
    ASSERT_EQ(S_solpos(r), 0);
    EXPECT_EQ(r.month, 12);
    EXPECT_EQ(r.day, 31);

    r = bavaria(2012, 1, 1.0f);
    ASSERT_EQ(S_solpos(r), 0);
    EXPECT_EQ(r.month, 1);
    EXPECT_EQ(r.day, 1);

    r = bavaria(2012, -1, 1.0f);
    r.function_mask = SOLPOS_ALL & ~SOLPOS_DOY_INPUT;
    r.month = 3;
    r.day = 1;
    ASSERT_EQ(S_solpos(r), 0);
    EXPECT_EQ(r.day_of_year, 61);
    r.year = 2011;
    ASSERT_EQ(S_solpos(r), 0);
    EXPECT_EQ(r.day_of_year, 60);
    r.year = 2012;
    r.month = 12;
    r.day = 31;
    ASSERT_EQ(S_solpos(r), 0);
    EXPECT_EQ(r.day_of_year, 366);
    r.month = 2;
    r.day = 29;
    ASSERT_EQ(S_solpos(r), 0);
    EXPECT_EQ(r.day_of_year, 60);
}

TEST(SolposSunriseSunset, MatchesKnownTimesForBavaria) {
    // Summer solstice 2012 in summer time (UTC+2): 05:08 and 21:26.
    SolposRecord summer = bavaria(2012, 173, 2.0f);
    ASSERT_EQ(S_solpos(summer), 0);
    EXPECT_EQ(summer.month, 6);
    EXPECT_EQ(summer.day, 21);
    EXPECT_NEAR(summer.sunrise, 308.6f, kMinuteTolerance);
    EXPECT_NEAR(summer.sunset, 1286.7f, kMinuteTolerance);

    // Winter solstice 2012 in standard time (UTC+1): 08:10 and 16:18.
    SolposRecord winter = bavaria(2012, 356, 1.0f);
    ASSERT_EQ(S_solpos(winter), 0);
    EXPECT_NEAR(winter.sunrise, 490.0f, kMinuteTolerance);
    EXPECT_NEAR(winter.sunset, 978.0f, kMinuteTolerance);

    // Only the steps rise and set depend on are needed, and the result does not change.
    SolposRecord minimal = bavaria(2012, 173, 2.0f);
    minimal.function_mask = SOLPOS_DOY_INPUT | SOLPOS_GEOMETRY | SOLPOS_SUNSET_HOUR_ANGLE |
                            SOLPOS_SOLAR_TIME | SOLPOS_SUNRISE_SUNSET;
    minimal.azimuth = -1.0f;
    minimal.air_mass = -7.0f;
    ASSERT_EQ(S_solpos(minimal), 0);
    EXPECT_FLOAT_EQ(minimal.sunrise, summer.sunrise);
    EXPECT_FLOAT_EQ(minimal.sunset, summer.sunset);
    // Steps that were not asked for leave their outputs alone.
    EXPECT_EQ(minimal.azimuth, -1.0f);
    EXPECT_EQ(minimal.air_mass, -7.0f);
}

TEST(SolposSunriseSunset, PolarDayAndNightUseSentinels) {
    SolposRecord night = bavaria(2012, 356, 1.0f);
    night.latitude = 80.0f;
    ASSERT_EQ(S_solpos(night), 0);
    EXPECT_EQ(night.sunrise, 2999.0f);
    EXPECT_EQ(night.sunset, -2999.0f);

    SolposRecord day = bavaria(2012, 173, 1.0f);
    day.latitude = 80.0f;
    ASSERT_EQ(S_solpos(day), 0);
    EXPECT_EQ(day.sunrise, -2999.0f);
    EXPECT_EQ(day.sunset, 2999.0f);

    // At the poles themselves the hour-angle formula degenerates and a separate rule applies.
    SolposRecord north_pole = bavaria(2012, 173, 1.0f);
    north_pole.latitude = 90.0f;
    ASSERT_EQ(S_solpos(north_pole), 0);
    EXPECT_EQ(north_pole.sunrise, -2999.0f);
    EXPECT_EQ(north_pole.sunset, 2999.0f);

    SolposRecord south_pole = bavaria(2012, 173, 1.0f);
    south_pole.latitude = -90.0f;
    ASSERT_EQ(S_solpos(south_pole), 0);
    EXPECT_EQ(south_pole.sunrise, 2999.0f);
    EXPECT_EQ(south_pole.sunset, -2999.0f);

    // Southern hemisphere mirrors the seasons.
    SolposRecord south_summer = bavaria(2012, 356, 1.0f);
    south_summer.latitude = -80.0f;
    ASSERT_EQ(S_solpos(south_summer), 0);
    EXPECT_EQ(south_summer.sunrise, -2999.0f);
    EXPECT_EQ(south_summer.sunset, 2999.0f);
}

TEST(SolposSunriseSunset, ClockTimesWrapAtTheDateLine) {
    // West of the date line the sun runs almost a day ahead of the clock; times must still
    // come out on the local day. UTC-11 clocks read one hour later than UTC+12 clocks.
    // Just after midnight the true solar time still belongs to the previous evening.
    SolposRecord west = bavaria(2012, 173, -11.0f);
    west.longitude = 179.0f;
    west.hour = 0;
    west.minute = 30;
    ASSERT_EQ(S_solpos(west), 0);
    EXPECT_GE(west.solar_time_offset, -720.0f);
    EXPECT_LE(west.solar_time_offset, 720.0f);

    SolposRecord east = bavaria(2012, 173, 12.0f);
    east.longitude = 179.0f;
    east.hour = 0;
    east.minute = 30;
    ASSERT_EQ(S_solpos(east), 0);
    EXPECT_NEAR(west.sunrise, east.sunrise + 60.0f, 1.0f);
    EXPECT_NEAR(west.sunset, east.sunset + 60.0f, 1.0f);
    EXPECT_GT(west.sunrise, 0.0f);
    EXPECT_LT(west.sunset, 1440.0f);
}

TEST(SolposMask, ClearedStepsLeaveTheirOutputsAlone) {
    struct Case {
        int bit;
        float SolposRecord::*output;
    };
    const Case cases[] = {
        {SOLPOS_ZENITH, &SolposRecord::zenith_unrefracted},
        {SOLPOS_SUNSET_HOUR_ANGLE, &SolposRecord::sunset_hour_angle},
        {SOLPOS_SHADOWBAND, &SolposRecord::shadowband_correction},
        {SOLPOS_SOLAR_TIME, &SolposRecord::solar_time_offset},
        {SOLPOS_SUNRISE_SUNSET, &SolposRecord::sunrise},
        {SOLPOS_AZIMUTH, &SolposRecord::azimuth},
        {SOLPOS_REFRACTION, &SolposRecord::zenith_refracted},
        {SOLPOS_AIRMASS, &SolposRecord::air_mass},
        {SOLPOS_PRIME, &SolposRecord::prime_factor},
        {SOLPOS_TILT, &SolposRecord::cos_incidence},
        {SOLPOS_ETR, &SolposRecord::extraterrestrial_normal},
    };
    for (const Case& c : cases) {
        SolposRecord r = bavaria(2012, 173, 2.0f);
        r.function_mask = SOLPOS_ALL & ~c.bit;
        r.*c.output = 4242.0f;
        ASSERT_EQ(S_solpos(r), 0);
        EXPECT_EQ(r.*c.output, 4242.0f) << "bit " << c.bit;
    }
}

TEST(SolposPosition, OutputsArePlausibleAroundNoon) {
    // 13:30 summer time on the solstice is shortly after local solar noon (about 13:17).
    SolposRecord r = bavaria(2012, 173, 2.0f);
    r.hour = 13;
    r.minute = 30;
    r.second = 0;
    ASSERT_EQ(S_solpos(r), 0);

    EXPECT_NEAR(r.declination, 23.44f, 0.05f);
    // At noon the sun stands latitude minus declination from the zenith.
    EXPECT_NEAR(r.zenith_unrefracted, 49.6f - 23.44f, 0.5f);
    EXPECT_NEAR(r.zenith_unrefracted + r.elevation_unrefracted, 90.0f, 1e-3f);
    EXPECT_NEAR(r.zenith_refracted + r.elevation_refracted, 90.0f, 1e-3f);
    // Refraction lifts the sun, by well under a degree this high up.
    EXPECT_GT(r.elevation_refracted, r.elevation_unrefracted);
    EXPECT_LT(r.elevation_refracted - r.elevation_unrefracted, 0.05f);
    EXPECT_NEAR(r.cos_zenith, std::cos(r.zenith_refracted * 0.017453292f), 1e-5f);

    // Just past noon: slightly west of south.
    EXPECT_GT(r.hour_angle, 0.0f);
    EXPECT_GT(r.azimuth, 180.0f);
    EXPECT_LT(r.azimuth, 195.0f);

    // Near aphelion the normal irradiance is a few percent below the solar constant.
    EXPECT_GT(r.extraterrestrial_normal, 1300.0f);
    EXPECT_LT(r.extraterrestrial_normal, r.solar_constant);
    EXPECT_NEAR(r.extraterrestrial_horizontal, r.extraterrestrial_normal * r.cos_zenith, 0.1f);
    // A horizontal panel (the default tilt) sees what the horizontal surface sees.
    EXPECT_NEAR(r.cos_incidence, r.cos_zenith, 1e-5f);
    EXPECT_NEAR(r.extraterrestrial_tilted, r.extraterrestrial_horizontal, 0.1f);

    // A panel turned straight at the sun receives the full normal irradiance.
    SolposRecord facing = r;
    facing.tilt = r.zenith_refracted;
    facing.aspect = r.azimuth;
    ASSERT_EQ(S_solpos(facing), 0);
    EXPECT_NEAR(facing.cos_incidence, 1.0f, 1e-4f);
    EXPECT_NEAR(facing.extraterrestrial_tilted, facing.extraterrestrial_normal, 0.2f);
    // Turned away, it receives nothing.
    facing.aspect = r.azimuth - 180.0f;
    facing.tilt = 120.0f;
    ASSERT_EQ(S_solpos(facing), 0);
    EXPECT_LT(facing.cos_incidence, 0.0f);
    EXPECT_EQ(facing.extraterrestrial_tilted, 0.0f);

    EXPECT_NEAR(r.air_mass, 1.0f / r.cos_zenith, 0.01f);
    EXPECT_NEAR(r.air_mass_pressure, r.air_mass * 1006.0f / 1013.0f, 1e-4f);
    EXPECT_GT(r.shadowband_correction, 1.0f);
    EXPECT_NEAR(r.prime_factor * r.unprime_factor, 1.0f, 1e-5f);

    // Mid-morning the sun is in the east-south-east.
    SolposRecord morning = bavaria(2012, 173, 2.0f);
    ASSERT_EQ(S_solpos(morning), 0);
    EXPECT_LT(morning.hour_angle, 0.0f);
    EXPECT_GT(morning.azimuth, 90.0f);
    EXPECT_LT(morning.azimuth, 135.0f);
}

TEST(SolposPosition, AnglesStayInTheirRangesBeforeTwoThousand) {
    // Before 2000 the ecliptic time is negative, which the range reductions must handle.
    SolposRecord r = bavaria(1950, 1, 1.0f);
    r.hour = 0;
    r.minute = 30;
    r.second = 0;
    ASSERT_EQ(S_solpos(r), 0);
    EXPECT_LT(r.ecliptic_time, 0.0f);
    for (const float angle : {r.mean_longitude, r.mean_anomaly, r.ecliptic_longitude,
                              r.right_ascension, r.local_sidereal_time}) {
        EXPECT_GE(angle, 0.0f);
        EXPECT_LT(angle, 360.0f);
    }
    EXPECT_GE(r.greenwich_sidereal_time, 0.0f);
    EXPECT_LT(r.greenwich_sidereal_time, 24.0f);
    EXPECT_GE(r.hour_angle, -180.0f);
    EXPECT_LE(r.hour_angle, 180.0f);
    EXPECT_NEAR(r.declination, -23.0f, 0.2f);

    // Day length barely changes from one year to the next.
    SolposRecord then = bavaria(1955, 173, 2.0f);
    ASSERT_EQ(S_solpos(then), 0);
    EXPECT_NEAR(then.sunrise, 308.6f, 1.5f);
    EXPECT_NEAR(then.sunset, 1286.7f, 1.5f);
}

TEST(SolposPosition, SolarTimeFollowsTheEquationOfTime) {
    // Early November the sun runs about 16.4 minutes ahead of mean time.
    SolposRecord november = bavaria(2012, 307, 1.0f);
    november.hour = 12;
    november.minute = 0;
    november.second = 0;
    ASSERT_EQ(S_solpos(november), 0);
    EXPECT_NEAR(november.equation_of_time, 16.4f, 0.3f);
    EXPECT_NEAR(november.true_solar_time - 720.0f, november.solar_time_offset, 1e-2f);

    // The given time ends the interval; the sun is placed at its middle.
    SolposRecord interval_end = november;
    interval_end.interval = 3600;
    interval_end.hour = 12;
    interval_end.minute = 30;
    ASSERT_EQ(S_solpos(interval_end), 0);
    EXPECT_NEAR(interval_end.hour_angle, november.hour_angle, 1e-3f);
    EXPECT_NEAR(interval_end.azimuth, november.azimuth, 1e-3f);
    EXPECT_NEAR(interval_end.solar_time_offset, november.solar_time_offset, 1e-3f);
    EXPECT_NEAR(interval_end.sunrise, november.sunrise, 1e-3f);

    // Night: the sun is below the horizon and delivers nothing.
    SolposRecord midnight = bavaria(2012, 307, 1.0f);
    midnight.hour = 0;
    midnight.minute = 0;
    midnight.second = 0;
    ASSERT_EQ(S_solpos(midnight), 0);
    EXPECT_LT(midnight.elevation_refracted, 0.0f);
    EXPECT_EQ(midnight.extraterrestrial_normal, 0.0f);
    EXPECT_EQ(midnight.extraterrestrial_horizontal, 0.0f);
    EXPECT_EQ(midnight.air_mass, -1.0f);
}

}  // namespace
}  // namespace vane
