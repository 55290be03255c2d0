#include "core/time/iso_timestamp.h"

#include <gtest/gtest.h>
#include <unicode/timezone.h>

#include <cmath>
#include <cstdio>
#include <memory>
#include <string>

#include "core/time/local_time.h"

namespace vane {
namespace {

class IsoTimestampTest : public ::testing::Test {
  protected:
    std::unique_ptr<icu::TimeZone> berlin_{icu::TimeZone::createTimeZone("Europe/Berlin")};

    double instant(const char* text) const {
        const auto stamp = parseIsoTimestamp(text);
        EXPECT_TRUE(stamp.has_value()) << text;
        return stamp ? toInstant(*stamp, *berlin_) : NAN;
    }
};

TEST_F(IsoTimestampTest, ReadsTheCommonSpellingsOfOneInstant) {
    // 2012-06-21 21:03:00 in Berlin summer time is 19:03:00 UTC.
    const double expected = 1340305380.0;
    EXPECT_EQ(instant("2012-06-21 21:03:00"), expected);
    EXPECT_EQ(instant("2012-06-21T21:03:00"), expected);
    EXPECT_EQ(instant("2012-06-21 21:03"), expected);
    EXPECT_EQ(instant("2012-06-21T21:03+02:00"), expected);
    EXPECT_EQ(instant("  2012-06-21T21:03:00\r"), expected);
    EXPECT_EQ(instant("2012-06-21T19:03:00Z"), expected);
    EXPECT_EQ(instant("2012-06-21T21:03:00+02:00"), expected);
    EXPECT_EQ(instant("2012-06-21T21:03:00+0200"), expected);
    EXPECT_EQ(instant("2012-06-21T21:03:00+02"), expected);
    EXPECT_EQ(instant("2012-06-21T21:03:00+200"), expected);
    EXPECT_EQ(instant("2012-06-21T20:03:00+100"), expected);
    EXPECT_EQ(instant("2012-06-21T17:33:00-130"), expected);
    EXPECT_EQ(instant("2012-06-21T14:03:00-05:00"), expected);
    EXPECT_DOUBLE_EQ(instant("2012-06-21 21:03:00.25"), expected + 0.25);
    EXPECT_DOUBLE_EQ(instant("2012-06-21T21:03:00.1234567+02:00"), expected + 0.1234567);
}

TEST_F(IsoTimestampTest, LocalTimesFollowTheZonesDaylightSaving) {
    EXPECT_EQ(instant("2012-01-15 12:00:00"), instant("2012-01-15T11:00:00Z"));
    EXPECT_EQ(instant("2012-07-15 12:00:00"), instant("2012-07-15T10:00:00Z"));
    // 02:30 did not exist on 2012-03-25 in Berlin: read with the offset before the change.
    EXPECT_EQ(instant("2012-03-25 02:30:00"), instant("2012-03-25T01:30:00Z"));
}

TEST_F(IsoTimestampTest, RefusesAnythingThatIsNotAWholeValidTimeStamp) {
    for (const char* text : {"",
                             "2012-06-21",
                             "21:03:00",
                             "2012-06-21 21",
                             "2012-06-21 21:03.5",
                             "2012-13-01 00:00:00",
                             "2012-02-30 00:00:00",
                             "2011-02-29 00:00:00",
                             "2012-06-21 24:00:00",
                             "2012-06-21 21:60:00",
                             "2012-06-21 21:03:60",
                             "2012-06-21x21:03:00",
                             "2012-06-21 21:03:00 extra",
                             "2012-06-21 21:03:00+2",
                             "2012-06-21 21:03:00+02:",
                             "2012-06-21 21:03:00+160",
                             "2012-06-21 21:03:00+1:00",
                             "2012-06-21 21:03:00.",
                             "2012-6-21 21:03:00",
                             "20120621T210300",
                             "date"}) {
        EXPECT_FALSE(parseIsoTimestamp(text).has_value()) << text;
    }
    EXPECT_TRUE(parseIsoTimestamp("2012-02-29 00:00:00").has_value());
}

// The shortcut for "YYYY-MM-DD HH:MM:SS" must read every text exactly as the full reader does:
// every byte at every place of a time stamp, and every day and second of the clock around the
// limits of the calendar.
TEST(IsoTimestampShortcut, ReadsEveryTextAsTheFullReaderDoes) {
    const auto same = [](const std::string& text) {
        EXPECT_EQ(parseIsoTimestamp(text), parseIsoTimestampWithoutShortcut(text)) << text;
    };
    for (const std::string base : {"2012-06-21T21:03:00", "2012-02-29 23:59:59",
                                   "1900-02-28 00:00:00", "0000-12-31T00:00:00"}) {
        for (std::size_t at = 0; at < base.size(); ++at) {
            for (int byte = 0; byte < 256; ++byte) {
                std::string text = base;
                text[at] = static_cast<char>(byte);
                same(text);
            }
        }
        for (const std::string& around : {" " + base, base + " ", base + "\r", base + "Z",
                                          base + ".5", base.substr(0, 16), base + "+02:00"}) {
            same(around);
        }
    }
    char text[32];
    for (const int year : {1600, 1900, 1999, 2000, 2024, 2100, 9999}) {
        for (int month = 0; month <= 13; ++month) {
            for (int day = 0; day <= 32; ++day) {
                std::snprintf(text, sizeof text, "%04d-%02d-%02d 23:59:59", year, month, day);
                same(text);
            }
        }
    }
    for (int hour = 0; hour <= 25; ++hour) {
        for (const int minuteOrSecond : {0, 1, 9, 10, 59, 60, 99}) {
            std::snprintf(text, sizeof text, "2012-06-21 %02d:%02d:%02d", hour, minuteOrSecond,
                          59 - minuteOrSecond % 60);
            same(text);
            std::snprintf(text, sizeof text, "2012-06-21T%02d:%02d:%02d", hour,
                          59 - minuteOrSecond % 60, minuteOrSecond);
            same(text);
        }
    }
}

TEST(CivilDate, CountsDaysOfTheYearAndStepsAcrossYears) {
    EXPECT_EQ(dayOfYear({2012, 3, 1}), 61);
    EXPECT_EQ(dayOfYear({2011, 3, 1}), 60);
    EXPECT_EQ(dayOfYear({2012, 12, 31}), 366);
    EXPECT_EQ(addDays({2012, 12, 30}, 3), (CivilDate{2013, 1, 2}));
    EXPECT_EQ(addDays({2012, 3, 1}, -1), (CivilDate{2012, 2, 29}));
    EXPECT_EQ(parseIsoDate("2012-06-21"), (CivilDate{2012, 6, 21}));
    EXPECT_FALSE(parseIsoDate("2012-06-31").has_value());
    EXPECT_FALSE(parseIsoDate("2012-06-21 ").has_value());
    EXPECT_EQ(formatIsoDate({812, 1, 2}), "0812-01-02");
}

TEST(LocalTime, OffsetsOfADayIncludeItsDaylightSaving) {
    const std::unique_ptr<icu::TimeZone> berlin{icu::TimeZone::createTimeZone("Europe/Berlin")};
    EXPECT_EQ(utcOffsetSecondsOnDate({2012, 6, 21}, *berlin), 7200);
    EXPECT_EQ(utcOffsetSecondsOnDate({2012, 12, 21}, *berlin), 3600);
    // The change days themselves count with the offset in force at noon.
    EXPECT_EQ(utcOffsetSecondsOnDate({2012, 3, 25}, *berlin), 7200);
    EXPECT_EQ(formatLocalIso(1340305380.5, *berlin), "2012-06-21T21:03:00");
    EXPECT_EQ(formatLocalIso(-0.5, *berlin), "1970-01-01T00:59:59");
}

}  // namespace
}  // namespace vane
