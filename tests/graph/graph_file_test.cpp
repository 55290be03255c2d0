#include "graph/graph_file.h"

#include <gtest/gtest.h>

#include <QImage>
#include <filesystem>
#include <fstream>
#include <iterator>
#include <string>
#include <vector>

#include "graph/activity_graph.h"
#include "graph/activity_graph_file.h"
#include "graph/offscreen_gui.h"
#include "tests/temp_path.h"

namespace vane::graph {
namespace {

namespace fs = std::filesystem;

class TemporaryFolder {
  public:
    TemporaryFolder() : path_(vane::testing::uniqueTempPath("vane-graph")) {
        fs::remove_all(path_);
        fs::create_directories(path_);
    }
    ~TemporaryFolder() {
        std::error_code ignored;
        fs::remove_all(path_, ignored);
    }
    TemporaryFolder(const TemporaryFolder&) = delete;
    TemporaryFolder& operator=(const TemporaryFolder&) = delete;
    const fs::path& path() const { return path_; }

  private:
    fs::path path_;
};

std::string contentOf(const fs::path& path) {
    std::ifstream in(path, std::ios::binary);
    return {std::istreambuf_iterator<char>(in), std::istreambuf_iterator<char>()};
}

class GraphFile : public ::testing::Test {
  protected:
    GraphFile() {
        activityGraph_.showAnalysis({{"single", {{0.0, 0.0}, {1.5, 0.4}, {6.0, 1.0}}}},
                                    seriesOrder_, false, {25.0, 1.0}, false);
    }
    const OffscreenGui gui_;
    const std::vector<std::string> seriesOrder_{"single"};
    ActivityGraph activityGraph_;
    TemporaryFolder folder_;
};

TEST_F(GraphFile, WritesEachFormatByItsExtension) {
    const fs::path png = folder_.path() / "graph.PNG";
    ASSERT_TRUE(writeGraphFile(activityGraph_.graph(), png, {300, 200}));
    const QImage image(QString::fromStdString(png.string()), "png");
    EXPECT_EQ(image.size(), QSize(300, 200));

    const fs::path pdf = folder_.path() / "graph.pdf";
    ASSERT_TRUE(writeGraphFile(activityGraph_.graph(), pdf));
    const std::string pdfText = contentOf(pdf);
    EXPECT_TRUE(pdfText.starts_with("%PDF"));
    EXPECT_NE(pdfText.find("/MediaBox [0 0 600"), std::string::npos);  // 1200 px = 600 pt
    EXPECT_NE(pdfText.find("/FontFile"), std::string::npos);           // fonts embedded

    const fs::path svg = folder_.path() / "graph.svg";
    ASSERT_TRUE(writeGraphFile(activityGraph_.graph(), svg));
    const std::string svgText = contentOf(svg);
    EXPECT_NE(svgText.find("<svg"), std::string::npos);
    EXPECT_NE(svgText.find("Wind speed (m/s)"), std::string::npos);

    // Only the finished files are left: no temporary names.
    EXPECT_EQ(std::distance(fs::directory_iterator(folder_.path()), fs::directory_iterator()), 3);
}

TEST_F(GraphFile, NamesThePathOfWhatCannotBeWrittenAndKeepsTheOldFile) {
    const fs::path unknown = folder_.path() / "graph.xyz";
    const auto unknownError = writeGraphFile(activityGraph_.graph(), unknown);
    ASSERT_FALSE(unknownError);
    EXPECT_NE(unknownError.error().message.find(unknown.string()), std::string::npos);
    EXPECT_NE(unknownError.error().message.find("xyz"), std::string::npos);
    EXPECT_FALSE(fs::exists(unknown));

    const fs::path missingFolder = folder_.path() / "missing" / "graph.png";
    const auto folderError = writeGraphFile(activityGraph_.graph(), missingFolder);
    ASSERT_FALSE(folderError);
    EXPECT_NE(folderError.error().message.find(missingFolder.string()), std::string::npos);

    const fs::path kept = folder_.path() / "kept.png";
    std::ofstream(kept) << "earlier picture";
    EXPECT_FALSE(writeGraphFile(activityGraph_.graph(), kept, {0, 800}));
    EXPECT_FALSE(writeGraphFile(activityGraph_.graph(), kept, {1200, 100000}));
    EXPECT_EQ(contentOf(kept), "earlier picture");
    ASSERT_TRUE(writeGraphFile(activityGraph_.graph(), kept, {120, 80}));
    EXPECT_NE(contentOf(kept), "earlier picture");
}

TEST_F(GraphFile, DrawsAnAnalysisResultWithoutAnApplication) {
    const PlotData states{{"running", {{0.0, 0.2}, {3.0, 1.0}}},
                          {"stopped", {{0.0, 0.0}, {3.0, 1.0}}}};
    const std::vector<std::string> order{"running", "stopped"};
    const fs::path png = folder_.path() / "states.png";
    EXPECT_TRUE(writeActivityGraphFile({.plotData = states,
                                        .seriesOrder = order,
                                        .plotTemp = false,
                                        .lengths = {25.0, 1.0},
                                        .withLegend = true},
                                       png, {240, 160}));
    EXPECT_EQ(QImage(QString::fromStdString(png.string())).size(), QSize(240, 160));
}

}  // namespace
}  // namespace vane::graph
