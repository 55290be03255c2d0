#include "core/recordings/recording_list.h"

#include <gtest/gtest.h>
#include <unicode/timezone.h>

#include <filesystem>
#include <fstream>
#include <memory>

#include "tests/temp_path.h"

namespace vane {
namespace {

class RecordingListTest : public ::testing::Test {
  protected:
    std::unique_ptr<icu::TimeZone> utc_{icu::TimeZone::createTimeZone("UTC")};

    RecordingListResult parse(std::string_view text) const {
        return parseRecordingList(text, "night.txt", *utc_);
    }
};

TEST_F(RecordingListTest, ReadsStampsSkippingHeaderCommentsAndBlankLines) {
    const RecordingListResult result = parse(
        "\xEF\xBB\xBF"
        "recording time,species\r\n"
        "# night of 21 June\r\n"
        "\r\n"
        "2012-06-21 21:03:00,Pipistrellus\r\n"
        "\"2012-06-21T21:07:00Z\";Nyctalus\n"
        "   \n"
        "2012-06-21T21:15:00+01:00\n");
    ASSERT_TRUE(result) << result.error().describe();
    ASSERT_EQ(result->size(), 3u);
    EXPECT_EQ((*result)[0].recordingTime, 1340312580.0);
    EXPECT_EQ((*result)[1].recordingTime, 1340312820.0);
    EXPECT_EQ((*result)[2].recordingTime, 1340309700.0);
}

TEST_F(RecordingListTest, ABadLineNamesFileAndLineAndReturnsNothing) {
    const RecordingListResult result =
        parse("2012-06-21 21:03:00\n2012-06-21 21:07:00\n2012-06-31 21:15:00\n");
    ASSERT_FALSE(result);
    EXPECT_FALSE(result.has_value());
    EXPECT_EQ(result.error().line, 3u);
    EXPECT_EQ(result.error().describe().substr(0, 13), "night.txt:3: ");
    EXPECT_NE(result.error().message.find("\"2012-06-31 21:15:00\""), std::string::npos);
}

TEST_F(RecordingListTest, OnlyTheFirstContentLineMayBeAHeader) {
    EXPECT_EQ(parse("time\nstart\n2012-06-21 21:03:00\n").error().line, 2u);
    EXPECT_EQ(parse("time\n")->size(), 0u);
    // A mistyped first stamp is reported, not skipped as a header.
    EXPECT_EQ(parse("2012-06-21 21.03\n2012-06-21 21:07:00\n").error().line, 1u);
    EXPECT_TRUE(parse(""));
    const std::string longLine(500, 'x');
    const RecordingListResult result = parse("2012-06-21 21:03:00\n" + longLine);
    ASSERT_FALSE(result);
    EXPECT_LT(result.error().message.size(), 200u);
}

TEST_F(RecordingListTest, UnreadableFilesAreErrorsNotCrashes) {
    const std::filesystem::path folder = std::filesystem::temp_directory_path();
    const RecordingListResult asFolder = readRecordingList(folder, *utc_);
    ASSERT_FALSE(asFolder);
    EXPECT_EQ(asFolder.error().line, 0u);
    EXPECT_NE(asFolder.error().message.find("folder"), std::string::npos);

    const RecordingListResult missing = readRecordingList(folder / "no-such-list.txt", *utc_);
    ASSERT_FALSE(missing);
    EXPECT_NE(missing.error().describe().find("no-such-list.txt: cannot be opened"),
              std::string::npos);

    const std::filesystem::path file = vane::testing::uniqueTempPath("vane-recording-list-test");
    std::ofstream(file) << "2012-06-21 21:03:00\n";
    const RecordingListResult read = readRecordingList(file, *utc_);
    std::filesystem::remove(file);
    ASSERT_TRUE(read);
    EXPECT_EQ(read->size(), 1u);
}

TEST_F(RecordingListTest, AListLongerThanOneBlockIsReadWholeWithItsLineNumbers) {
    // Blocks of a mebibyte end inside lines here; the lines must still be read whole and counted.
    constexpr std::size_t kLines = 70'000;
    std::string list = "time\n";
    for (std::size_t i = 0; i < kLines; ++i) {
        list += "2012-06-21 21:03:" + std::string(i % 2 == 0 ? "00" : "01") + ",Pipistrellus\n";
    }
    const std::filesystem::path file = vane::testing::uniqueTempPath("vane-recording-list-test");
    std::ofstream(file, std::ios::binary) << list << "2012-06-21 21:04:00";
    const RecordingListResult whole = readRecordingList(file, *utc_);
    ASSERT_TRUE(whole) << whole.error().describe();
    ASSERT_EQ(whole->size(), kLines + 1);
    EXPECT_EQ(whole->back().recordingTime, 1340312640.0) << "the last line needs no line break";
    EXPECT_EQ((*whole)[kLines - 1].recordingTime, 1340312581.0);

    std::ofstream(file, std::ios::binary) << list << "2012-06-21 21:0x:00\n2012-06-21 21:05:00\n";
    const RecordingListResult bad = readRecordingList(file, *utc_);
    std::filesystem::remove(file);
    ASSERT_FALSE(bad);
    EXPECT_EQ(bad.error().line, kLines + 2);
}

}  // namespace
}  // namespace vane
