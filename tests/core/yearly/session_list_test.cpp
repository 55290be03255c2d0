#include "core/yearly/session_list.h"

#include <gtest/gtest.h>

#include <filesystem>

#include "tests/core/yearly/yearly_test_support.h"

namespace vane {
namespace {

class SessionListTest : public ::testing::Test, protected testing_support::BerlinClock {
  protected:
    SessionListResult parse(std::string_view text) const {
        return parseSessionList(text, "sessions.csv", zone());
    }
    std::string problem(std::string_view text) const {
        const SessionListResult result = parse(text);
        EXPECT_FALSE(result.has_value());
        return !result ? result.error().describe() : "no error";
    }
};

TEST_F(SessionListTest, ReadsSessionsWithOrWithoutASite) {
    const SessionListResult result = parse(
        "\xEF\xBB\xBF"
        "# one season\r\n"
        "SampleDate, Recordings, Latitude, Longitude\r\n"
        "2012-06-21,57,49.6,11.05\r\n"
        "\n"
        "\"2012-06-22 20:00:00\",3,,\n"
        "2012-06-23T20:00:00+02:00, 0 , -33.5 ,\n");
    ASSERT_TRUE(result) << result.error().describe();
    ASSERT_EQ(result->size(), 3u);
    EXPECT_EQ((*result)[0].sampleDate, at(2012, 6, 21, 0, 0));
    EXPECT_EQ((*result)[0].recordingCount, 57);
    EXPECT_EQ((*result)[0].latitude, 49.6);
    EXPECT_EQ((*result)[0].longitude, 11.05);
    EXPECT_EQ((*result)[1].sampleDate, at(2012, 6, 22, 20, 0));
    EXPECT_FALSE((*result)[1].latitude);
    EXPECT_FALSE((*result)[1].longitude);
    EXPECT_EQ((*result)[2].latitude, -33.5);
    EXPECT_FALSE((*result)[2].longitude);
}

TEST_F(SessionListTest, EveryBadLineNamesFileLineAndWhatWasExpected) {
    const std::string header = "sampledate,recordings,latitude,longitude\n";
    EXPECT_EQ(problem("2012-06-21,57,49.6,11.05\n"),
              "sessions.csv:1: expected the header sampledate,recordings,latitude,longitude");
    EXPECT_EQ(problem(header + "2012-06-21,57,49.6\n"),
              "sessions.csv:2: expected 4 comma-separated fields "
              "(sampledate,recordings,latitude,longitude), found 3");
    EXPECT_EQ(problem(header + "21.06.2012,57,,\n"),
              "sessions.csv:2: expected a sample date such as 2012-06-21 or 2012-06-21 20:00:00, "
              "not \"21.06.2012\"");
    EXPECT_EQ(problem(header + "2012-06-21,5.5,,\n"),
              "sessions.csv:2: expected a whole number of recordings, not \"5.5\"");
    EXPECT_EQ(problem(header + "2012-06-21,99999999999999999999,,\n"),
              "sessions.csv:2: expected a whole number of recordings, not "
              "\"99999999999999999999\"");
    EXPECT_EQ(problem(header + "2012-06-21,1,95,\n"),
              "sessions.csv:2: expected a latitude from -90 to 90 degrees or nothing, not \"95\"");
    EXPECT_EQ(problem(header + "2012-06-21,1,,east\n"),
              "sessions.csv:2: expected a longitude from -180 to 180 degrees or nothing, not "
              "\"east\"");
    EXPECT_EQ(problem(header + "2012-06-21,1,nan,\n"),
              "sessions.csv:2: expected a latitude from -90 to 90 degrees or nothing, not "
              "\"nan\"");
    EXPECT_EQ(problem(""),
              "sessions.csv: empty; expected the header sampledate,recordings,latitude,longitude");
}

TEST_F(SessionListTest, UnreadableFilesSayWhy) {
    const SessionListResult missing = readSessionList("/nonexistent/sessions.csv", zone());
    ASSERT_FALSE(missing);
    EXPECT_EQ(missing.error().describe(),
              "/nonexistent/sessions.csv: cannot be opened: No such file or directory");
    const SessionListResult folder =
        readSessionList(std::filesystem::temp_directory_path(), zone());
    ASSERT_FALSE(folder);
    EXPECT_NE(folder.error().message.find("folder"), std::string::npos);
}

}  // namespace
}  // namespace vane
