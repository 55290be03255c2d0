#include "core/yearly/activity_raster.h"

#include <gtest/gtest.h>

#include <cmath>
#include <limits>

#include "tests/core/yearly/yearly_test_support.h"

namespace vane {
namespace {

using testing_support::pixel;
using testing_support::pixelsWithBlue;
using testing_support::rowRange;
using testing_support::rowsWithBlue;

class ActivityRasterTest : public ::testing::Test, protected testing_support::BerlinClock {
  protected:
    Outcome<ActivityRaster> draw(std::initializer_list<double> times, double binWidth = 10) const {
        const std::vector<Recording> list = recordings(times);
        return generateImageData(list, binWidth, MarkLocation{}, zone());
    }
    Raster raster(std::initializer_list<double> times, double binWidth = 10) const {
        Outcome<ActivityRaster> result = draw(times, binWidth);
        EXPECT_TRUE(result) << (result ? "" : result.error().message);
        return result ? result->raster : Raster{};
    }
};

TEST_F(ActivityRasterTest, EveningBinsAreBarsInTheColumnsOfTheirDay) {
    // 5 May 2013 is day 125: its evening lies in columns 250 and 251.
    const Raster picture =
        raster({at(2013, 5, 5, 22, 3), at(2013, 5, 5, 22, 7), at(2013, 5, 5, 22, 14)});
    for (const int column : {250, 251}) {
        EXPECT_EQ(rowsWithBlue(picture, column), rowRange(144, 151));
        EXPECT_EQ(pixel(picture, column, 144), (testing_support::Rgbx{0, 83, 83, 0}));
        EXPECT_EQ(pixel(picture, column, 147).green, 83);
        EXPECT_EQ(pixel(picture, column, 148), (testing_support::Rgbx{0, 79, 79, 0}));
        EXPECT_EQ(pixel(picture, column, 151).blue, 79);
    }
    EXPECT_EQ(pixelsWithBlue(picture), 2u * 8u);
}

TEST_F(ActivityRasterTest, MorningBinsBelongToTheNightBefore) {
    const Raster picture = raster({at(2013, 5, 6, 3, 24)});
    EXPECT_EQ(rowsWithBlue(picture, 250), rowRange(272, 275));
    EXPECT_EQ(rowsWithBlue(picture, 251), rowRange(272, 275));
    EXPECT_EQ(pixelsWithBlue(picture), 8u);

    // The morning of 1 January is night 0, at the picture's left edge.
    EXPECT_EQ(rowsWithBlue(raster({at(2013, 1, 1, 0, 5)}), 0), rowRange(192, 195));
}

TEST_F(ActivityRasterTest, DaytimeBinsAreNotDrawn) {
    EXPECT_EQ(pixelsWithBlue(raster({at(2013, 5, 6, 12, 0), at(2013, 5, 6, 12, 30)})), 0u);
    EXPECT_EQ(pixelsWithBlue(raster({at(2013, 5, 6, 9, 30), at(2013, 5, 6, 15, 59)})), 0u);
    // The last rows of the night and the first of the evening are drawn.
    EXPECT_EQ(rowsWithBlue(raster({at(2013, 5, 6, 8, 55)}), 250), rowRange(404, 407));
    EXPECT_EQ(rowsWithBlue(raster({at(2013, 5, 6, 16, 0)}), 252), rowRange(0, 3));
}

TEST_F(ActivityRasterTest, BrightnessGrowsWithTheCountUpTo255) {
    const auto binOf = [this](int count, double start) {
        std::vector<Recording> list;
        for (int i = 0; i < count; ++i) {
            list.push_back({start + i * 5.0});
        }
        return list;
    };
    const auto levelOfFirstBin = [&](std::vector<Recording> list) {
        const Outcome<ActivityRaster> result = generateImageData(list, 10, {}, zone());
        return pixel(result->raster, 250, 144).green;
    };
    const double bin = at(2013, 5, 5, 22, 0);
    EXPECT_EQ(levelOfFirstBin(binOf(44, bin)), 251);
    EXPECT_EQ(levelOfFirstBin(binOf(45, bin)), 255);
    EXPECT_EQ(levelOfFirstBin(binOf(100, bin)), 255);

    // A full bin in the middle of the run follows the same rule as the last one.
    std::vector<Recording> list = binOf(100, bin);
    list.push_back({at(2013, 5, 5, 23, 0)});
    EXPECT_EQ(levelOfFirstBin(list), 255);
    EXPECT_EQ(binGreyLevel(std::numeric_limits<std::size_t>::max()), 255);
}

TEST_F(ActivityRasterTest, BinsAreAlignedToTheFirstRecordingsMidnight) {
    // 15-minute bins: 22:07 lies in the bin 22:00 to 22:15, six rows from row 144.
    EXPECT_EQ(rowsWithBlue(raster({at(2013, 5, 5, 22, 7)}, 15), 250), rowRange(144, 149));
    // Bar heights follow the width: 60 minutes give 24 rows.
    // 3-minute bins from midnight: 22:07 lies in 22:06 to 22:09, two rows from row 146.
    EXPECT_EQ(rowsWithBlue(raster({at(2013, 5, 5, 22, 7)}, 3), 250), rowRange(146, 147));
    EXPECT_EQ(rowsWithBlue(raster({at(2013, 5, 5, 22, 7)}, 60), 250), rowRange(144, 167));
}

TEST_F(ActivityRasterTest, LongGapsBetweenRecordingsKeepTheBinGrid) {
    const Raster picture =
        raster({at(2013, 1, 1, 0, 5), at(2013, 7, 10, 23, 47), at(2013, 12, 20, 21, 6)}, 1);
    // One-minute bins are one row high. 00:05 is step 97; after a gap a recording on a bin
    // boundary lands in the bin that ends there: 23:46 to 23:47 (step 93), 21:05 to 21:06 (61).
    EXPECT_EQ(rowsWithBlue(picture, 0), std::vector<int>{194});
    EXPECT_EQ(rowsWithBlue(picture, 2 * 191), std::vector<int>{2 * 93});
    EXPECT_EQ(rowsWithBlue(picture, 2 * 354), std::vector<int>{2 * 61});
}

TEST_F(ActivityRasterTest, ReadingStopsOnceTheBinReachesDay361) {
    // 27 December 2013 is day 361: none of its recordings is drawn, the sun marks are.
    const Outcome<ActivityRaster> late =
        draw({at(2013, 12, 27, 21, 0), at(2013, 12, 27, 22, 0), at(2013, 12, 28, 1, 0)});
    ASSERT_TRUE(late);
    EXPECT_EQ(pixelsWithBlue(late->raster), 0u);
    EXPECT_EQ(late->recordingsRead, 0u);
    EXPECT_EQ(late->sunMarks.year, 2013);
    EXPECT_EQ(pixel(late->raster, 2, late->sunMarks.days[0]->sunsetRow).red, 75);

    const Outcome<ActivityRaster> mixed =
        draw({at(2013, 12, 20, 22, 0), at(2013, 12, 27, 22, 0), at(2013, 12, 28, 22, 0)});
    EXPECT_EQ(mixed->recordingsRead, 2u);
    EXPECT_EQ(rowsWithBlue(mixed->raster, 2 * 354), rowRange(144, 147));
    EXPECT_EQ(pixelsWithBlue(mixed->raster), 8u);
    // The recording that opened the bin of day 361 was read but lies nowhere in the picture.
    EXPECT_EQ(mixed->recordingsBeforeLastNightEnd, 1u);
    EXPECT_EQ(late->recordingsBeforeLastNightEnd, 0u);
}

TEST_F(ActivityRasterTest, TheLastNightEndsOnTheMorningOfDay360) {
    // 26 December 2013 is day 360: its morning closes night 359 (columns 718 and 719), its
    // evening would be night 360, beyond the last column.
    const Outcome<ActivityRaster> result =
        draw({at(2013, 12, 26, 3, 0), at(2013, 12, 26, 12, 0), at(2013, 12, 26, 22, 0)});
    ASSERT_TRUE(result);
    EXPECT_EQ(rowsWithBlue(result->raster, 718), rowRange(264, 267));
    EXPECT_EQ(pixelsWithBlue(result->raster), 8u);
    EXPECT_EQ(result->recordingsRead, 3u);
    EXPECT_EQ(result->recordingsBeforeLastNightEnd, 1u);

    // In a leap year day 360 is 25 December.
    EXPECT_EQ(
        draw({at(2012, 12, 24, 22, 0), at(2012, 12, 25, 22, 0)})->recordingsBeforeLastNightEnd, 1u);
}

TEST_F(ActivityRasterTest, LaterYearsAreNotDrawnOverTheFirst) {
    // 1 June 2012 is day 153 (a leap year), 5 January and 1 June 2013 days 5 and 152: drawn,
    // the later ones would land in columns 10 and 304 of the 2012 picture.
    const Outcome<ActivityRaster> result =
        draw({at(2012, 6, 1, 22, 3), at(2013, 1, 5, 22, 3), at(2013, 6, 1, 22, 3)});
    ASSERT_TRUE(result);
    EXPECT_EQ(rowsWithBlue(result->raster, 306), rowRange(144, 147));
    EXPECT_EQ(pixelsWithBlue(result->raster), 8u);
    EXPECT_EQ(result->recordingsBeforeLastNightEnd, 1u);
    // The marks are those of the year shown.
    EXPECT_EQ(result->year, 2012);
    EXPECT_EQ(result->sunMarks.year, 2012);
    EXPECT_EQ(result->sunMarks.days, sunMarksForYear(2012, {}, zone()).days);
}

TEST_F(ActivityRasterTest, RefusesBinWidthsThatAreNotWholeMinutes) {
    for (const double width :
         {0.0, -10.0, 2.5, 1441.0, std::nan(""), std::numeric_limits<double>::infinity()}) {
        const Outcome<ActivityRaster> result = draw({at(2013, 5, 5, 22, 3)}, width);
        ASSERT_FALSE(result) << width;
        EXPECT_EQ(result.error().kind, ProblemKind::badUsage);
        EXPECT_NE(result.error().message.find("whole number of minutes from 1 to 1440"),
                  std::string::npos)
            << result.error().message;
    }
    EXPECT_EQ(*binWidthProblem(2.5),
              "the bin width must be a whole number of minutes from 1 to "
              "1440, not 2.5");
    EXPECT_FALSE(binWidthProblem(1));
    // A day-long bin (from midnight, so a morning bin) is taller than the picture: clipped.
    EXPECT_EQ(rowsWithBlue(raster({at(2013, 5, 5, 22, 3)}, 1440), 248), rowRange(192, 407));
}

TEST_F(ActivityRasterTest, NoPictureWithoutRecordings) {
    const Outcome<ActivityRaster> none = draw({});
    ASSERT_FALSE(none);
    EXPECT_EQ(none.error().kind, ProblemKind::nothingFound);
    EXPECT_FALSE(draw({std::nan(""), std::numeric_limits<double>::infinity()}));
}

TEST_F(ActivityRasterTest, TimesThatCannotBeDatedAreSkippedWithoutHanging) {
    const Outcome<ActivityRaster> result =
        draw({std::nan(""), at(2013, 5, 5, 22, 3), 1e300, std::numeric_limits<double>::infinity()});
    ASSERT_TRUE(result);
    EXPECT_EQ(result->recordingsRead, 1u);
    EXPECT_EQ(rowsWithBlue(result->raster, 250), rowRange(144, 147));
}

TEST_F(ActivityRasterTest, AnUnsortedListEndsAndStaysInsideThePicture) {
    const Raster picture = raster({at(2013, 5, 5, 22, 3), at(2013, 1, 1, 22, 0),
                                   at(2013, 5, 5, 23, 0), at(2012, 1, 1, 22, 0)});
    // Each earlier time joins the open bin instead of sending the bins backward; 23:00 lands in
    // the bin 22:50 to 23:00 (step 82).
    std::vector<int> rows = rowRange(144, 147);
    const std::vector<int> lateBin = rowRange(164, 167);
    rows.insert(rows.end(), lateBin.begin(), lateBin.end());
    EXPECT_EQ(rowsWithBlue(picture, 250), rows);
    EXPECT_EQ(pixel(picture, 250, 144).green, 83);
    EXPECT_EQ(pixel(picture, 250, 164).green, 83);
}

}  // namespace
}  // namespace vane
