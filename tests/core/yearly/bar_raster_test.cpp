#include "core/yearly/bar_raster.h"

#include <gtest/gtest.h>

#include "tests/core/yearly/yearly_test_support.h"

namespace vane {
namespace {

using testing_support::pixel;
using testing_support::Rgbx;
using testing_support::rowRange;

class BarRasterTest : public ::testing::Test, protected testing_support::BerlinClock {
  protected:
    Session session(double sampleDate, std::int64_t recordings) const {
        return {sampleDate, recordings, std::nullopt, std::nullopt};
    }
    static std::vector<int> rowsWithRed(const Raster& raster, int column) {
        std::vector<int> rows;
        for (int row = 0; row < raster.height; ++row) {
            if (pixel(raster, column, row).red != 0) {
                rows.push_back(row);
            }
        }
        return rows;
    }
};

TEST_F(BarRasterTest, TheLargestCountRoundedToTensSpansThePictureInWholePixels) {
    EXPECT_EQ(barScale(57), 8.0);
    EXPECT_EQ(barScale(10), 40.0);
    EXPECT_EQ(barScale(400), 1.0);
    // Below ten recordings the count itself spans the picture (there is no whole ten).
    EXPECT_EQ(barScale(9), 45.0);
    EXPECT_EQ(barScale(1), 408.0);
    EXPECT_EQ(barScale(0), 0.0);
    // Past 409 a whole pixel per recording would be none at all: the picture's share instead.
    EXPECT_DOUBLE_EQ(barScale(500), 408.0 / 500.0);
    // The caption stands in for a count axis: what the full height means at each scale.
    EXPECT_EQ(barPictureCaption(barScale(57)), "Recordings per session: full height 51");
    EXPECT_EQ(barPictureCaption(barScale(9)), "Recordings per session: full height 9.1");
    EXPECT_EQ(barPictureCaption(barScale(500)), "Recordings per session: full height 500");
    EXPECT_EQ(barPictureCaption(barScale(33)), "Recordings per session: full height 31.4");
    EXPECT_EQ(barPictureCaption(0.0), "");
}

TEST_F(BarRasterTest, BarsGrowUpFromTheBottomInTheColumnsOfTheirDay) {
    const std::vector<Session> sessions{session(at(2013, 5, 5, 20, 0), 57),
                                        session(at(2013, 5, 7, 20, 0), 20)};
    const BarRasterResult bars = generateBarGraphImageData(sessions, zone());
    EXPECT_EQ(bars.barLengths, (std::vector<std::int64_t>{456, 160}));
    EXPECT_EQ(rowsWithRed(bars.raster, 250), rowRange(0, 407));  // 456 rows, clipped
    EXPECT_EQ(rowsWithRed(bars.raster, 254), rowRange(248, 407));
    EXPECT_EQ(rowsWithRed(bars.raster, 255), rowRange(248, 407));
    EXPECT_EQ(pixel(bars.raster, 254, 300), (Rgbx{228, 228, 0, 0}));
    EXPECT_TRUE(rowsWithRed(bars.raster, 253).empty());
    EXPECT_TRUE(rowsWithRed(bars.raster, 256).empty());
}

TEST_F(BarRasterTest, SmallAndEmptyCountsNeedNoDivision) {
    const std::vector<Session> few{session(at(2013, 5, 5, 20, 0), 3),
                                   session(at(2013, 5, 6, 20, 0), 1)};
    EXPECT_EQ(generateBarGraphImageData(few, zone()).barLengths,
              (std::vector<std::int64_t>{408, 136}));

    const std::vector<Session> empty{session(at(2013, 5, 5, 20, 0), 0),
                                     session(at(2013, 5, 6, 20, 0), -4)};
    const BarRasterResult none = generateBarGraphImageData(empty, zone());
    EXPECT_EQ(none.barLengths, (std::vector<std::int64_t>{0, 0}));
    EXPECT_EQ(none.raster.bytes, Raster{}.bytes);
    EXPECT_TRUE(generateBarGraphImageData({}, zone()).barLengths.empty());
}

TEST_F(BarRasterTest, LargeCountsStillDrawEveryBar) {
    const std::vector<Session> sessions{session(at(2013, 5, 5, 20, 0), 500),
                                        session(at(2013, 5, 6, 20, 0), 100),
                                        session(at(2013, 12, 31, 20, 0), 500)};
    const BarRasterResult bars = generateBarGraphImageData(sessions, zone());
    EXPECT_EQ(bars.barLengths, (std::vector<std::int64_t>{408, 81, 408}));
    EXPECT_EQ(rowsWithRed(bars.raster, 252), rowRange(327, 407));
    // 31 December lies beyond the last column: dropped, not written past the row's end.
    EXPECT_TRUE(rowsWithRed(bars.raster, 719).empty());
}

}  // namespace
}  // namespace vane
