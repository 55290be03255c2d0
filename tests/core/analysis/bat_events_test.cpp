#include "core/analysis/bat_events.h"

#include <gtest/gtest.h>
#include <unicode/timezone.h>

#include <cmath>
#include <memory>
#include <random>
#include <vector>

#include "core/time/local_time.h"

namespace vane {
namespace {

// The bin placement done the slow way, one grid step at a time, as the rule is stated. The fast
// implementation must agree with it exactly.
BatEventList steppedBatEvents(const std::vector<Recording>& sorted, double origin) {
    BatEventList list;
    double current = origin;
    double reference = 0;
    bool advance = true;
    for (const Recording& recording : sorted) {
        const double t = recording.recordingTime;
        if (advance) {
            current += 600;
            reference = current;
            advance = false;
        }
        double d = t - reference;
        if (d < -600) {
            if (!list.empty()) {
                ++list.back().count;
            }
            continue;
        }
        double binEnd = reference;
        if (d >= 0) {
            do {
                current += 600;
                d = t - current;
            } while (d > 0);
            binEnd = current;
        }
        list.push_back({binEnd, 1});
        advance = true;
    }
    return list;
}

class BatEventsTest : public ::testing::Test {
  protected:
    std::unique_ptr<icu::TimeZone> berlin_{icu::TimeZone::createTimeZone("Europe/Berlin")};
    double origin_ = batEventGridOrigin(*berlin_);

    double at(int year, int month, int day, int hour, int minute, int second = 0) const {
        return localInstant({{year, month, day}, hour, minute, second}, *berlin_);
    }
    std::vector<Recording> recordings(std::initializer_list<double> times) const {
        std::vector<Recording> list;
        for (const double t : times) {
            list.push_back({t});
        }
        return list;
    }
};

TEST_F(BatEventsTest, GridStartsAtLocalMidnightOfTheTwentiethOfJune2009) {
    EXPECT_EQ(formatLocalIso(origin_, *berlin_), "2009-06-20T00:00:00");
    const std::unique_ptr<icu::TimeZone> utc{icu::TimeZone::createTimeZone("UTC")};
    EXPECT_EQ(batEventGridOrigin(*utc), 1245456000.0);
    EXPECT_EQ(batEventGridOrigin(*utc) - origin_, 2 * 3600.0);
}

TEST_F(BatEventsTest, RecordingsBetweenGridPointsGoToTheBinEndingAtTheNextOne) {
    EXPECT_EQ(batEvents(recordings({at(2012, 6, 21, 21, 3), at(2012, 6, 21, 21, 7),
                                    at(2012, 6, 21, 21, 15)}),
                        origin_),
              (BatEventList{{at(2012, 6, 21, 21, 10), 2}, {at(2012, 6, 21, 21, 20), 1}}));
    EXPECT_EQ(batEvents(recordings({at(2012, 6, 21, 3, 25, 10)}), origin_),
              (BatEventList{{at(2012, 6, 21, 3, 30), 1}}));
    // Empty bins between occupied ones have no entry.
    EXPECT_EQ(batEvents(recordings({at(2012, 6, 21, 21, 3), at(2012, 6, 21, 23, 41)}), origin_),
              (BatEventList{{at(2012, 6, 21, 21, 10), 1}, {at(2012, 6, 21, 23, 50), 1}}));
}

TEST_F(BatEventsTest, RecordingsOnGridPointsFollowTheReferenceBin) {
    // The very first grid point opens the first bin.
    EXPECT_EQ(batEvents(recordings({origin_}), origin_), (BatEventList{{origin_ + 600, 1}}));
    // Right after a bin ending 21:10, 21:10:00 is the reference and opens the bin after it...
    EXPECT_EQ(batEvents(recordings({at(2012, 6, 21, 21, 3), at(2012, 6, 21, 21, 10)}), origin_),
              (BatEventList{{at(2012, 6, 21, 21, 10), 1}, {at(2012, 6, 21, 21, 20), 1}}));
    // ...while a later grid point closes the bin that ends on it.
    EXPECT_EQ(batEvents(recordings({at(2012, 6, 21, 21, 3), at(2012, 6, 21, 22, 0)}), origin_),
              (BatEventList{{at(2012, 6, 21, 21, 10), 1}, {at(2012, 6, 21, 22, 0), 1}}));
    // So two recordings at the same grid point may fall into neighbouring bins.
    EXPECT_EQ(batEvents(recordings({at(2012, 6, 21, 22, 0), at(2012, 6, 21, 22, 0)}), origin_),
              (BatEventList{{at(2012, 6, 21, 22, 0), 1}, {at(2012, 6, 21, 22, 10), 1}}));
}

TEST_F(BatEventsTest, RecordingsBeforeTheGridOriginAndUnusableTimesAreLeftOut) {
    EXPECT_TRUE(batEvents(recordings({origin_ - 1, origin_ - 3600}), origin_).empty());
    EXPECT_TRUE(batEvents({}, origin_).empty());
    EXPECT_EQ(batEvents(recordings({origin_ - 1, origin_ + 1}), origin_),
              (BatEventList{{origin_ + 600, 1}}));
    EXPECT_EQ(batEvents(recordings({origin_ + 1, NAN, origin_ + 2}), origin_),
              (BatEventList{{origin_ + 600, 2}}));
}

TEST_F(BatEventsTest, TimesThatAreNoNumberSortLastAndLeaveTheOthersInOrder) {
    const std::vector<Recording> sorted = sortedByRecordingTime(
        recordings({origin_ + 1500, NAN, origin_ + 30, NAN, origin_ + 900, origin_ + 20}));
    ASSERT_EQ(sorted.size(), 6u);
    for (std::size_t k = 1; k < 4; ++k) {
        EXPECT_LT(sorted[k - 1].recordingTime, sorted[k].recordingTime);
    }
    EXPECT_TRUE(std::isnan(sorted[4].recordingTime) && std::isnan(sorted[5].recordingTime));
    EXPECT_EQ(batEvents(sorted, origin_),
              (BatEventList{{origin_ + 600, 2}, {origin_ + 1200, 1}, {origin_ + 1800, 1}}));
}

TEST_F(BatEventsTest, BinsKeepTheirTenMinuteGridAcrossDaylightSavingChanges) {
    // On 2012-10-28 the clocks in Berlin go back from 03:00 to 02:00: 02:05 happens twice and
    // both hours get their own bins.
    const double firstPass = at(2012, 10, 28, 1, 55) + 600;  // 02:05 summer time
    const double secondPass = firstPass + 3600;              // 02:05 winter time
    const BatEventList events = batEvents(recordings({firstPass, secondPass}), origin_);
    ASSERT_EQ(events.size(), 2u);
    EXPECT_EQ(events[1].binEnd - events[0].binEnd, 3600.0);
    EXPECT_EQ(formatLocalIso(events[0].binEnd, *berlin_), "2012-10-28T02:10:00");
    EXPECT_EQ(formatLocalIso(events[1].binEnd, *berlin_), "2012-10-28T02:10:00");
}

TEST_F(BatEventsTest, AgreesWithSteppingOnRandomAndGridPointTimes) {
    std::mt19937_64 random(20090620);
    for (int round = 0; round < 200; ++round) {
        std::vector<Recording> list;
        double t = origin_ - 5000.0 + static_cast<double>(random() % 400000);
        const int count = 1 + static_cast<int>(random() % 60);
        for (int i = 0; i < count; ++i) {
            switch (random() % 4) {
                case 0:  // exactly on a grid point
                    t = origin_ + 600.0 * std::ceil((t - origin_) / 600.0 + (random() % 3));
                    break;
                case 1:  // the same time again
                    break;
                case 2:  // a fraction of a second later
                    t += static_cast<double>(random() % 1000) / 1000.0;
                    break;
                default:  // a gap of up to several days
                    t += static_cast<double>(random() % 400000);
                    break;
            }
            list.push_back({t});
        }
        ASSERT_EQ(batEvents(list, origin_), steppedBatEvents(list, origin_)) << "round " << round;
    }
}

TEST_F(BatEventsTest, FarFutureRecordingsNeedNoStepping) {
    const std::vector<Recording> list = recordings({at(2049, 12, 31, 23, 59, 59)});
    EXPECT_EQ(batEvents(list, origin_), steppedBatEvents(list, origin_));
    EXPECT_EQ(formatLocalIso(batEvents(list, origin_).front().binEnd, *berlin_),
              "2050-01-01T00:00:00");
}

TEST(ReadingAxisTitle, NamesTheChosenReading) {
    EXPECT_EQ(readingAxisTitle(true), "Temperature (°C)");
    EXPECT_EQ(readingAxisTitle(false), "Wind speed (m/s)");
}

}  // namespace
}  // namespace vane
