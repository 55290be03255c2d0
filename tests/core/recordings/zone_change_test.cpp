#include "core/recordings/zone_change.h"

#include <gtest/gtest.h>
#include <unicode/timezone.h>

#include <memory>

namespace vane {
namespace {

constexpr double kJune21 = 1340305380.0;  // 2012-06-21 21:03:00 in Berlin, 19:03:00 UTC

TEST(ZoneChangeTest, KeepsTheRecordersClockAndMovesTheInstant) {
    const std::unique_ptr<icu::TimeZone> london(icu::TimeZone::createTimeZone("Europe/London"));
    const std::unique_ptr<icu::TimeZone> berlin(icu::TimeZone::createTimeZone("Europe/Berlin"));
    const struct {
        const char* name;
        KeptTime before;
        const icu::TimeZone& zone;
        KeptTime after;
    } cases[] = {
        {"21:03:00.25 read in Berlin, now in London",
         {kJune21 + 0.25, 7200, "Europe/Berlin"},
         *london,
         {kJune21 + 3600 + 0.25, 3600, "Europe/London"}},
        {"and back",
         {kJune21 + 3600, 3600, "Europe/London"},
         *berlin,
         {kJune21, 7200, "Europe/Berlin"}},
        {"written with its own offset, it stays",
         {kJune21, 7200, ""},
         *london,
         {kJune21, 7200, ""}},
        // 2012-03-25 02:30 does not exist in Berlin: read with the offset before the change.
        {"into a skipped hour",
         {1332642600.0, 0, "UTC"},
         *berlin,
         {1332639000.0, 7200, "Europe/Berlin"}},
        {"before 1970",
         {-86400.0 + 0.5, 0, "UTC"},
         *berlin,
         {-86400.0 - 3600 + 0.5, 3600, "Europe/Berlin"}},
    };
    for (const auto& c : cases) {
        const KeptTime after = readInZone(c.before, c.zone);
        EXPECT_DOUBLE_EQ(after.recordingTime, c.after.recordingTime) << c.name;
        EXPECT_EQ(after.utcOffsetSeconds, c.after.utcOffsetSeconds) << c.name;
        EXPECT_EQ(after.timeZone, c.after.timeZone) << c.name;
    }
}

}  // namespace
}  // namespace vane
