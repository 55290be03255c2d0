#include "core/time/local_time_converter.h"

#include <gtest/gtest.h>
#include <unicode/basictz.h>
#include <unicode/timezone.h>
#include <unicode/tztrans.h>

#include <algorithm>
#include <cctype>
#include <memory>
#include <random>
#include <string>
#include <vector>

#include "core/time/civil_date.h"

namespace vane {
namespace {

LocalDateTime fieldsOf(long seconds) {
    long days = seconds / 86400;
    long secondOfDay = seconds % 86400;
    if (secondOfDay < 0) {
        secondOfDay += 86400;
        --days;
    }
    return {addDays({1970, 1, 1}, days), static_cast<int>(secondOfDay / 3600),
            static_cast<int>(secondOfDay / 60 % 60), static_cast<int>(secondOfDay % 60)};
}

// Local times (read as UTC, in seconds) every minute of the three hours either side of each
// change of offset between the years, and every 97 minutes in between.
std::vector<long> timesAroundChanges(const icu::BasicTimeZone& zone, int fromYear, int toYear) {
    const long begin = static_cast<long>(utcInstant({{fromYear, 1, 1}, 0, 0, 0}));
    const long end = static_cast<long>(utcInstant({{toYear + 1, 1, 1}, 0, 0, 0}));
    std::vector<long> times;
    for (long t = begin; t < end; t += 97 * 60) {
        times.push_back(t);
    }
    icu::TimeZoneTransition transition;
    double from = static_cast<double>(begin - 86400) * 1000.0;
    while (zone.getNextTransition(from, false, transition) &&
           transition.getTime() < static_cast<double>(end) * 1000.0) {
        const long at = static_cast<long>(transition.getTime() / 1000.0);
        const long offset =
            (transition.getFrom()->getRawOffset() + transition.getFrom()->getDSTSavings()) / 1000;
        for (long t = at + offset - 3 * 3600; t <= at + offset + 3 * 3600; t += 60) {
            times.push_back(t);
            times.push_back(t + 59);
        }
        from = transition.getTime();
    }
    return times;
}

struct ZoneYears {
    const char* zone;
    int fromYear;
    int toYear;
};

// Daylight saving at 2:00 and 3:00, half-hour changes, changes at midnight, a skipped calendar
// day, a change of standard offset, double summer time, a zone without changes, and years past
// the zone's table where ICU reads its lasting rule.
class LocalTimeConverterTest : public ::testing::TestWithParam<ZoneYears> {};

TEST_P(LocalTimeConverterTest, GivesWhatICUGivesForEveryTimeAroundEveryChange) {
    const ZoneYears& param = GetParam();
    const std::unique_ptr<icu::TimeZone> zone(icu::TimeZone::createTimeZone(param.zone));
    const auto* basic = dynamic_cast<const icu::BasicTimeZone*>(zone.get());
    ASSERT_NE(basic, nullptr);
    std::vector<long> times = timesAroundChanges(*basic, param.fromYear, param.toYear);
    ASSERT_GT(times.size(), 100u);

    // In order as a sorted list, then shuffled so that stretches are entered from both sides.
    std::sort(times.begin(), times.end());
    for (const bool shuffled : {false, true}) {
        if (shuffled) {
            std::shuffle(times.begin(), times.end(), std::mt19937(14));
        }
        LocalTimeConverter converter(*zone);
        for (const long t : times) {
            const LocalDateTime local = fieldsOf(t);
            ASSERT_EQ(converter.instant(local), localInstant(local, *zone))
                << param.zone << " " << formatIsoDate(local.date) << " " << local.hour << ":"
                << local.minute << ":" << local.second << (shuffled ? " shuffled" : "");
        }
    }
}

INSTANTIATE_TEST_SUITE_P(
    Zones, LocalTimeConverterTest,
    ::testing::Values(
        ZoneYears{"Europe/Berlin", 2009, 2021}, ZoneYears{"America/New_York", 2005, 2009},
        ZoneYears{"Australia/Lord_Howe", 2010, 2013}, ZoneYears{"America/Sao_Paulo", 2016, 2020},
        ZoneYears{"Pacific/Apia", 2010, 2013}, ZoneYears{"Europe/London", 1939, 1948},
        ZoneYears{"Europe/Moscow", 2010, 2015}, ZoneYears{"Africa/Casablanca", 2012, 2020},
        ZoneYears{"Asia/Kolkata", 2010, 2012}, ZoneYears{"Etc/GMT-14", 2010, 2011},
        ZoneYears{"Europe/Berlin", 2036, 2040}),
    [](const ::testing::TestParamInfo<ZoneYears>& info) {
        std::string name = std::string(info.param.zone) + "_" + std::to_string(info.param.fromYear);
        std::replace_if(
            name.begin(), name.end(),
            [](char c) { return !std::isalnum(static_cast<unsigned char>(c)); }, '_');
        return name;
    });

}  // namespace
}  // namespace vane
