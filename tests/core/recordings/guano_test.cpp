#include "core/recordings/guano.h"

#include <gtest/gtest.h>
#include <unicode/timezone.h>

#include <memory>

#include "core/recordings/riff_chunks.h"
#include "tests/core/recordings/wav_fixture.h"
#include "tests/temp_path.h"

namespace vane {
namespace {

using testing::WavFixture;
using namespace std::string_literals;

class GuanoFileTest : public ::testing::Test {
  protected:
    std::filesystem::path folder_ = vane::testing::uniqueTempPath("vane-guano-test");
    std::unique_ptr<icu::TimeZone> berlin_{icu::TimeZone::createTimeZone("Europe/Berlin")};

    void TearDown() override { std::filesystem::remove_all(folder_); }

    GuanoFileResult read(const std::string& bytes) {
        const auto file = folder_ / "recording.wav";
        WavFixture::write(file, bytes);
        return readGuanoFile(file);
    }

    double instantOf(std::string_view timestampLine) {
        const GuanoFileResult result =
            read(WavFixture::guanoWav("GUANO|Version: 1.0\n" + std::string(timestampLine) + "\n"));
        const std::optional<GuanoMetadata> metadata = result.value_or(std::nullopt);
        EXPECT_TRUE(metadata && metadata->timestamp) << timestampLine;
        if (!metadata || !metadata->timestamp) {
            return 0.0;
        }
        return toInstant(*metadata->timestamp, *berlin_);
    }
};

TEST_F(GuanoFileTest, ReadsTheTimestampAsRecordersActuallyWriteIt) {
    const double instant = 1340305380.0;  // 2012-06-21 21:03:00 in Berlin
    EXPECT_EQ(instantOf("Timestamp: 2012-06-21T21:03:00+02:00"), instant);
    EXPECT_EQ(instantOf("Timestamp: 2012-06-21 21:03:00+02:00"), instant);
    EXPECT_EQ(instantOf("Timestamp: 2012-06-21T20:03:00+0100"), instant);
    EXPECT_EQ(instantOf("Timestamp: 2012-06-21T19:03:00Z"), instant);
    EXPECT_EQ(instantOf("Timestamp:2012-06-21 21:03:00\r"), instant);  // local time, CRLF
    EXPECT_DOUBLE_EQ(instantOf("Timestamp: 2012-06-21 21:03:00.1234567+02:00"),
                     instant + 0.1234567);
}

TEST_F(GuanoFileTest, ReadsEveryFieldAndThePosition) {
    const GuanoFileResult result = read(WavFixture::guanoWav(
        "GUANO|Version: 1.0\nMake: Example\nWA|Song Meter|Prefix: SM4_A\n"
        "Loc Position: 49.6 -11.05\nTimestamp: 2012-06-21T21:03:00+02:00\n\0\0\0"s));
    ASSERT_TRUE(result && *result);
    const GuanoMetadata& metadata = **result;
    EXPECT_EQ(metadata.fields.at("Make"), "Example");
    EXPECT_EQ(metadata.fields.at("WA|Song Meter|Prefix"), "SM4_A");
    ASSERT_TRUE(metadata.position);
    EXPECT_DOUBLE_EQ(metadata.position->latitude, 49.6);
    EXPECT_DOUBLE_EQ(metadata.position->longitude, -11.05);
    EXPECT_TRUE(metadata.problems.empty());
}

TEST_F(GuanoFileTest, NamesFieldsThatCannotBeRead) {
    const GuanoFileResult result = read(WavFixture::guanoWav(
        "GUANO|Version: 1.0\nTimestamp: 21.06.2012 21:03\nLoc Position: 95 11\n"));
    ASSERT_TRUE(result && *result);
    EXPECT_FALSE((*result)->timestamp);
    EXPECT_FALSE((*result)->position);
    ASSERT_EQ((*result)->problems.size(), 2u);
    EXPECT_NE((*result)->problems[0].find("21.06.2012 21:03"), std::string::npos);
}

TEST_F(GuanoFileTest, AFileWithoutGuanoHasNoMetadataAndNoProblem) {
    const GuanoFileResult result = read(WavFixture::wav(WavFixture::chunk("LIST", "abc")));
    EXPECT_FALSE(result.value_or(std::nullopt));
    EXPECT_TRUE(result.has_value());
}

TEST_F(GuanoFileTest, DamagedFilesAreReportedNotRead) {
    // A chunk that claims more bytes than the file holds.
    const std::string overlong =
        WavFixture::wav(WavFixture::chunk("guan", "Timestamp: 2012-06-21", 0xFFFFFFF0u));
    EXPECT_NE(read(overlong).error().message.find("runs past the end"), std::string::npos);
    // A chunk header cut off after its identifier: nothing to read, nothing invented.
    EXPECT_FALSE(read(WavFixture::wav("gu")).value_or(std::nullopt));
    EXPECT_NE(read("RIFF\x04\0\0\0WAV"s).error().message.find("too short"), std::string::npos);
    EXPECT_NE(read("RIFF\x04\0\0\0AVI "s).error().message.find("not a RIFF/WAVE"),
              std::string::npos);
    EXPECT_NE(read("").error().message.find("too short"), std::string::npos);
}

TEST_F(GuanoFileTest, FindsAChunkAfterAnOddSizedOne) {
    const auto file = folder_ / "odd.wav";
    WavFixture::write(file, WavFixture::wav(WavFixture::chunk("junk", "x") +
                                            WavFixture::chunk("guan", "Make: Odd\n")));
    const RiffChunkSearch search = findRiffChunk(file, "guan");
    ASSERT_TRUE(search && *search);
    EXPECT_EQ(**search, "Make: Odd\n");
}

}  // namespace
}  // namespace vane
