#include "core/yearly/picture_years.h"

#include <gtest/gtest.h>
#include <unicode/timezone.h>

#include <cmath>
#include <limits>
#include <memory>
#include <vector>

#include "core/time/local_time.h"

namespace vane {
namespace {

class PictureYearsTest : public ::testing::Test {
  protected:
    double at(int year, int month, int day, int hour, int minute = 0) const {
        return localInstant({{year, month, day}, hour, minute, 0}, *berlin_);
    }
    std::unique_ptr<icu::TimeZone> berlin_{icu::TimeZone::createTimeZone("Europe/Berlin")};
};

TEST_F(PictureYearsTest, YearsAreThoseOfTheLocalTimeAndEachKeepsItsRecordings) {
    // New Year's Eve after 23:00 UTC is already the next year in Berlin.
    const std::vector<Recording> sorted{
        {-1e300},  // before the year 1: in no year
        {at(2011, 12, 31, 23, 30)},
        {at(2012, 1, 1, 0, 30)},
        {at(2012, 6, 21, 22)},
        {at(2014, 3, 1, 21)},
        {std::numeric_limits<double>::infinity()},
        {std::nan("")},
    };
    EXPECT_EQ(recordingYears(sorted, *berlin_), (std::vector<int>{2011, 2012, 2014}));
    const struct {
        int year;
        std::size_t first;
        std::size_t count;
    } cases[] = {{2011, 1, 1}, {2012, 2, 2}, {2013, 4, 0}, {2014, 4, 1}, {0, 0, 0}, {10000, 0, 0}};
    for (const auto& [year, first, count] : cases) {
        const std::span<const Recording> part = recordingsOfYear(sorted, year, *berlin_);
        EXPECT_EQ(part.size(), count) << year;
        if (count > 0) {
            EXPECT_EQ(part.data(), sorted.data() + first) << year;
        }
    }
    EXPECT_TRUE(recordingYears({}, *berlin_).empty());
}

TEST_F(PictureYearsTest, CaptionNamesTheYearAndTheSiteWithItsHemispheres) {
    EXPECT_EQ(yearPictureCaption(2012, {49.6f, 11.05f}), "2012 · 49.60° N, 11.05° E");
    EXPECT_EQ(yearPictureCaption(1999, {-33.9f, -70.6f}), "1999 · 33.90° S, 70.60° W");
}

}  // namespace
}  // namespace vane
