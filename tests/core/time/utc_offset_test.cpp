#include "core/time/utc_offset.h"

#include <gtest/gtest.h>
#include <unicode/timezone.h>

#include <algorithm>
#include <memory>
#include <optional>
#include <string>
#include <string_view>

#include "core/time/local_time.h"

namespace vane {
namespace {

TEST(UtcOffset, ReadsOnlyOffsetsTheDateReaderTakes) {
    const std::pair<std::string_view, std::optional<int>> cases[] = {
        {"+0100", 60},
        {"-0500", -300},
        {"+0000", 0},
        {"-0000", 0},
        {"+0530", 330},
        {"-0430", -270},
        {"+2359", 1439},
        {"+2400", std::nullopt},  // a day or more
        {"-0560", std::nullopt},  // 60 minutes
        {"0100", std::nullopt},
        {"+01:00", std::nullopt},
        {"+010", std::nullopt},
        {"+01000", std::nullopt},
        {"+01a0", std::nullopt},
        {" +0100", std::nullopt},
        {"", std::nullopt},
        {"Z", std::nullopt},
    };
    for (const auto& [text, minutes] : cases) {
        EXPECT_EQ(parseUtcOffset(text), minutes) << text;
    }
}

TEST(UtcOffset, EveryOffsetInUseIsWrittenAsItIsRead) {
    const std::pair<int, std::string_view> cases[] = {
        {0, "+0000"},   {60, "+0100"},  {-300, "-0500"}, {-150, "-0230"},
        {345, "+0545"}, {840, "+1400"}, {-720, "-1200"},
    };
    for (const auto& [minutes, text] : cases) {
        EXPECT_EQ(formatUtcOffset(minutes), text) << minutes;
        // As people read it: the same hours and minutes, with a colon between them.
        std::string withColon(text);
        withColon.insert(3, ":");
        EXPECT_EQ(utcOffsetWithColon(minutes * 60), withColon) << minutes;
    }
    // A historical offset in seconds is shown to its minute; a west one keeps its sign.
    EXPECT_EQ(utcOffsetWithColon(3208), "+00:53");
    EXPECT_EQ(utcOffsetWithColon(-59), "-00:00");
    const std::span<const int> offsets = utcOffsetsInUse();
    EXPECT_TRUE(std::is_sorted(offsets.begin(), offsets.end()));
    for (const int minutes : offsets) {
        EXPECT_EQ(parseUtcOffset(formatUtcOffset(minutes)), minutes) << minutes;
    }
}

TEST(TimeZonePresetTest, GivesTheOffsetInForceAtTheInstant) {
    const std::unique_ptr<icu::TimeZone> berlin(icu::TimeZone::createTimeZone("Europe/Berlin"));
    const std::unique_ptr<icu::TimeZone> newYork(icu::TimeZone::createTimeZone("America/New_York"));
    const std::unique_ptr<icu::TimeZone> kolkata(icu::TimeZone::createTimeZone("Asia/Kolkata"));
    const double summer = utcInstant({{2012, 6, 21}, 12, 0, 0});
    const double winter = utcInstant({{2012, 12, 21}, 12, 0, 0});
    EXPECT_EQ(utcOffsetText(summer, *berlin), "+0200");
    EXPECT_EQ(utcOffsetText(winter, *berlin), "+0100");
    EXPECT_EQ(utcOffsetText(winter, *newYork), "-0500");
    EXPECT_EQ(utcOffsetText(winter, *kolkata), "+0530");
}

}  // namespace
}  // namespace vane
