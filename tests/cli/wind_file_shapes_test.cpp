// Wind files as loggers, met masts and turbine controllers export them, each read without
// options as a person would read it by eye.
#include "tests/wind_file_shapes.h"

#include <gtest/gtest.h>
#include <unicode/timezone.h>

#include <algorithm>
#include <filesystem>
#include <memory>
#include <sstream>
#include <string>

#include "cli/analyse_command.h"
#include "cli/inspect_command.h"
#include "tests/temp_path.h"

namespace vane::cli {
namespace {

using testing::Shape;
using testing::shapes;

class WindFileShapesTest : public ::testing::TestWithParam<Shape> {
  protected:
    void SetUp() override { std::filesystem::create_directories(folder_); }
    void TearDown() override { std::filesystem::remove_all(folder_); }

    std::unique_ptr<icu::TimeZone> berlin_{icu::TimeZone::createTimeZone("Europe/Berlin")};
    std::filesystem::path folder_ = vane::testing::uniqueTempPath("vane-wind-shapes-test");
};

TEST_P(WindFileShapesTest, IsReadWithoutOptionsAsByHand) {
    const Shape& shape = GetParam();
    testing::writeShape(shape, folder_);

    std::ostringstream shown;
    std::ostringstream problems;
    InspectOptions inspect;
    inspect.windFile = folder_ / "wind.csv";
    ASSERT_EQ(runInspect(inspect, shown, problems), kExitSuccess);
    for (const std::string& line : shape.inspected) {
        EXPECT_NE(shown.str().find(line), std::string::npos) << line << shown.str();
    }

    AnalyseOptions options;
    options.recordingList = folder_ / "recordings.txt";
    options.windFile = folder_ / "wind.csv";
    std::ostringstream guessed;
    std::ostringstream guessedNotes;
    ASSERT_EQ(runAnalyse(options, *berlin_, guessed, guessedNotes), kExitSuccess)
        << guessedNotes.str();
    EXPECT_EQ(guessedNotes.str().find("Wrong date/time format"), std::string::npos)
        << guessedNotes.str();
    EXPECT_NE(guessedNotes.str().find("Readings left out: 3 activity bins"), std::string::npos)
        << "-9999, NaN and the empty reading: " << guessedNotes.str();

    shape.byHand(options);
    std::ostringstream given;
    std::ostringstream givenNotes;
    ASSERT_EQ(runAnalyse(options, *berlin_, given, givenNotes), kExitSuccess) << givenNotes.str();
    const std::string table = given.str();
    EXPECT_EQ(guessed.str(), table);
    EXPECT_GT(std::count(table.begin(), table.end(), '\n'), 4) << table;
}

INSTANTIATE_TEST_SUITE_P(Shapes, WindFileShapesTest, ::testing::ValuesIn(shapes()),
                         [](const ::testing::TestParamInfo<Shape>& info) {
                             return std::string(info.param.name);
                         });

}  // namespace
}  // namespace vane::cli
