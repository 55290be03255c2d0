#include "core/analysis/event_time_text.h"

#include <gtest/gtest.h>
#include <unicode/locid.h>
#include <unicode/timezone.h>

#include <memory>
#include <vector>

#include "core/time/local_time.h"

namespace vane {
namespace {

class EventTimeTextTest : public ::testing::Test {
  protected:
    std::unique_ptr<icu::TimeZone> berlin_{icu::TimeZone::createTimeZone("Europe/Berlin")};

    Recording at(int hour, int minute) const {
        return {localInstant({{2012, 6, 21}, hour, minute, 0}, *berlin_)};
    }
};

TEST_F(EventTimeTextTest, ListsOneLinePerOccupiedBinInTheLocaleShortStyle) {
    // Selections arrive in any order.
    const std::vector<Recording> selected{at(21, 15), at(21, 3), at(21, 7)};
    EXPECT_EQ(eventTimeText(selected, *berlin_, icu::Locale("de_DE")),
              "21.06.12, 21:10\n21.06.12, 21:20\n");
    EXPECT_EQ(eventTimeText(selected, *berlin_, icu::Locale("en_GB")),
              "21/06/2012, 21:10\n21/06/2012, 21:20\n");
}

TEST_F(EventTimeTextTest, IsEmptyWithoutRecordingsOnTheGrid) {
    const Recording early{localInstant({{2009, 6, 19}, 23, 0, 0}, *berlin_)};
    EXPECT_EQ(eventTimeText(std::vector<Recording>{early}, *berlin_, icu::Locale("de_DE")), "");
    EXPECT_EQ(eventTimeText({}, *berlin_, icu::Locale("de_DE")), "");
}

TEST_F(EventTimeTextTest, ShowsBinEndsInTheGivenZone) {
    const std::unique_ptr<icu::TimeZone> utc{icu::TimeZone::createTimeZone("UTC")};
    const std::vector<Recording> selected{at(21, 3)};
    EXPECT_EQ(eventTimeText(selected, *utc, icu::Locale("de_DE")), "21.06.12, 19:10\n");
}

}  // namespace
}  // namespace vane
