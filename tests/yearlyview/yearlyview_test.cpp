#include <gtest/gtest.h>

#include <QDir>
#include <QFile>
#include <QImage>
#include <QTemporaryDir>
#include <sstream>

#include "core/yearly/raster.h"
#include "graph/offscreen_gui.h"
#include "yearlyview/content_filters.h"
#include "yearlyview/image_files.h"
#include "yearlyview/raster_image.h"
#include "yearlyview/year_graph_view.h"

namespace vane::yearlyview {
namespace {

// A raster with one activity bar pixel and one sun mark pixel.
Raster sampleRaster() {
    Raster raster;
    paintBlock(raster, 250, 1, 144, 1, PixelBytes::GreenBlue, 83);
    paintBlock(raster, 251, 1, 144, 1, PixelBytes::GreenBlue, 255);
    paintBlock(raster, 2, 1, 130, 1, PixelBytes::RedGreen, 75);
    return raster;
}

void expectNear(QColor actual, QColor expected) {
    EXPECT_NEAR(actual.red(), expected.red(), 1) << "red";
    EXPECT_NEAR(actual.green(), expected.green(), 1) << "green";
    EXPECT_NEAR(actual.blue(), expected.blue(), 1) << "blue";
    EXPECT_EQ(actual.alpha(), expected.alpha()) << "alpha";
}

TEST(RasterImageTest, ShowsTheBytesAsTheyAreOrThroughTheInvertingDecodeRanges) {
    const QImage plain = createImageFromGrayscaleWithData(sampleRaster(), false);
    ASSERT_EQ(plain.size(), QSize(720, 408));
    EXPECT_EQ(plain.pixelColor(0, 0), QColor(0, 0, 0));
    EXPECT_EQ(plain.pixelColor(250, 144), QColor(0, 83, 83));
    EXPECT_EQ(plain.pixelColor(2, 130), QColor(75, 75, 0));

    const QImage inverted = createImageFromGrayscaleWithData(sampleRaster(), true);
    EXPECT_EQ(inverted.pixelColor(0, 0), QColor(255, 255, 255));
    expectNear(inverted.pixelColor(251, 144), QColor(255, 153, 153));  // 1 - 0.4 x 255 / 255
    expectNear(inverted.pixelColor(2, 130), QColor(203, 225, 255));    // about 0.79, 0.88, 1
}

TEST(RasterImageTest, ARasterShortOfBytesGivesNoImage) {
    Raster raster;
    raster.bytes.resize(100);
    EXPECT_TRUE(createImageFromGrayscaleWithData(raster, false).isNull());
}

TEST(ContentFiltersTest, InversionInstallsExposureThenColorControls) {
    YearGraphView view;
    exposureAdjust(view);
    ASSERT_EQ(view.contentFilters().size(), 2u);
    EXPECT_EQ(view.contentFilters()[0],
              (ContentFilter{QStringLiteral("exposure"), ExposureAdjust{-0.5}}));
    EXPECT_EQ(view.contentFilters()[1],
              (ContentFilter{QStringLiteral("colorControls"), ColorControls{2.0, -0.3, 2.52}}));
    view.setContentFilters({});
    EXPECT_TRUE(view.contentFilters().empty());
}

TEST(ContentFiltersTest, FollowTheDocumentedFormulasInLinearLight) {
    QImage image(3, 1, QImage::Format_RGBA8888);
    image.setPixelColor(0, 0, QColor(255, 255, 255));
    image.setPixelColor(1, 0, QColor(255, 0, 0, 128));
    image.setPixelColor(2, 0, QColor(188, 188, 188));  // about half in linear light

    const std::vector<ContentFilter> darker{{"exposure", ExposureAdjust{-1.0}}};
    const QImage halved = applyContentFilters(image, darker);
    expectNear(halved.pixelColor(0, 0), QColor(188, 188, 188));
    EXPECT_EQ(halved.pixelColor(1, 0).alpha(), 128);

    const std::vector<ContentFilter> contrast{{"colorControls", ColorControls{1.0, 0.0, 3.0}}};
    const QImage stretched = applyContentFilters(image, contrast);
    EXPECT_EQ(stretched.pixelColor(0, 0), QColor(255, 255, 255));   // clamped at the end
    expectNear(stretched.pixelColor(2, 0), QColor(188, 188, 188));  // the middle stays

    EXPECT_EQ(applyContentFilters(image, {}).pixelColor(2, 0), QColor(188, 188, 188));
}

TEST(YearGraphViewTest, PlacesThePictureInItsBorderedFrameBelowTheGrid) {
    EXPECT_EQ(graphImageRect(), QRect(42, 14, 720, 408));  // 18 from the bottom of 440

    QImage grid(765, 440, QImage::Format_ARGB32);
    grid.fill(Qt::transparent);
    grid.setPixelColor(300, 200, QColor(255, 0, 0));
    grid.setPixelColor(5, 5, QColor(0, 0, 255));

    YearGraphView view;
    view.setGraphImage(createImageFromGrayscaleWithData(sampleRaster(), false));
    view.setGridImage(grid);
    const QImage shown = view.render();
    ASSERT_EQ(shown.size(), QSize(765, 440));
    EXPECT_EQ(shown.pixelColor(42 + 250, 14 + 144), QColor(0, 83, 83));
    EXPECT_EQ(shown.pixelColor(42 + 2, 14 + 130), QColor(75, 75, 0));
    EXPECT_EQ(shown.pixelColor(300, 200), QColor(255, 0, 0));  // the grid lies on top
    EXPECT_EQ(shown.pixelColor(5, 5), QColor(0, 0, 255));
    EXPECT_EQ(shown.pixelColor(20, 20).alpha(), 0);  // nothing drawn there
    for (const QPoint border :
         {QPoint(42, 14), QPoint(761, 421), QPoint(400, 14), QPoint(42, 300)}) {
        EXPECT_EQ(shown.pixelColor(border), QColor(0, 0, 0)) << border.x() << "," << border.y();
    }

    view.setGraphImage(QImage());
    const QImage empty = view.render();
    EXPECT_EQ(empty.pixelColor(42 + 250, 14 + 144).alpha(), 0);
    EXPECT_EQ(empty.pixelColor(42, 14), QColor(0, 0, 0));
}

TEST(YearGraphViewTest, TheFiltersCoverTheWholeView) {
    YearGraphView view;
    view.setGraphImage(createImageFromGrayscaleWithData(sampleRaster(), true));
    const QImage plain = view.render();
    exposureAdjust(view);
    const QImage filtered = view.render();
    EXPECT_EQ(plain.pixelColor(42 + 100, 14 + 100), QColor(255, 255, 255));
    EXPECT_NE(filtered.pixelColor(42 + 100, 14 + 100), QColor(255, 255, 255));
    const QColor bar = filtered.pixelColor(42 + 251, 14 + 144);
    EXPECT_GT(bar.red(), 2 * bar.green());  // inverted bars come out red
}

TEST(YearGridTest, LabelsTheMarginsAndLetsThePictureShowThrough) {
    std::ostringstream diagnostics;
    const std::optional<QImage> grid = MyCreateCGImageFromFile(kYearGridResource, diagnostics);
    ASSERT_TRUE(grid) << diagnostics.str();
    EXPECT_EQ(grid->size(), QSize(765, 440));
    EXPECT_EQ(grid->pixelColor(42 + 5, 14 + 5).alpha(), 0);
    EXPECT_EQ(grid->pixelColor(400, 300).alpha(), 0);
    EXPECT_EQ(grid->pixelColor(2, 2).alpha(), 255);
    EXPECT_EQ(grid->pixelColor(400, 438).alpha(), 255);
    EXPECT_TRUE(diagnostics.str().empty());
}

TEST(ImageFilesTest, ReadingSaysWhetherTheSourceOrTheImageFailed) {
    const QTemporaryDir folder;
    std::ostringstream missing;
    EXPECT_FALSE(MyCreateCGImageFromFile(folder.filePath("none.png"), missing));
    EXPECT_EQ(missing.str(), "Image source is NULL.");

    QFile garbage(folder.filePath("garbage.png"));
    ASSERT_TRUE(garbage.open(QIODevice::WriteOnly));
    garbage.write("not an image at all");
    garbage.close();
    std::ostringstream unreadable;
    EXPECT_FALSE(MyCreateCGImageFromFile(garbage.fileName(), unreadable));
    EXPECT_EQ(unreadable.str(), "Image not created from image source.");
}

TEST(ImageFilesTest, TheExtensionChoosesTheFormat) {
    EXPECT_EQ(imageFormatForPath("yearly.png"), "png");
    EXPECT_EQ(imageFormatForPath("Yearly.JPG"), "jpg");
    EXPECT_EQ(imageFormatForPath("yearly"), "png");
    EXPECT_EQ(imageFormatForPath("yearly.bmp"), "bmp");
    EXPECT_EQ(imageFormatForPath("yearly.docx"), "");
}

TEST(ImageFilesTest, SavingReplacesTheFileOnlyWhenComplete) {
    const QTemporaryDir folder;
    const QString path = folder.filePath("yearly.png");
    const QImage image = createImageFromGrayscaleWithData(sampleRaster(), false);
    EXPECT_FALSE(saveImageFile(image, path, "png"));
    EXPECT_EQ(QImage(path).pixelColor(250, 144), QColor(0, 83, 83));
    EXPECT_EQ(QDir(folder.path()).entryList(QDir::Files), QStringList{"yearly.png"});

    const std::optional<QString> failed =
        saveImageFile(image, folder.filePath("missing/yearly.png"), "png");
    ASSERT_TRUE(failed);
    EXPECT_TRUE(failed->startsWith("cannot be written")) << failed->toStdString();
    EXPECT_TRUE(saveImageFile(QImage(), path, "png"));
    EXPECT_EQ(QImage(path).size(), QSize(720, 408));  // the earlier file is still whole
}

}  // namespace
}  // namespace vane::yearlyview

int main(int argc, char** argv) {
    ::testing::InitGoogleTest(&argc, argv);
    const vane::graph::OffscreenGui gui;
    return RUN_ALL_TESTS();
}
