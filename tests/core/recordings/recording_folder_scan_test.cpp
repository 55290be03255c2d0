#include "core/recordings/recording_folder_scan.h"

#include <gtest/gtest.h>
#include <unicode/timezone.h>
#include <unistd.h>

#include <memory>

#include "tests/core/recordings/wav_fixture.h"
#include "tests/temp_path.h"

namespace vane {
namespace {

using testing::WavFixture;

class RecordingFolderScanTest : public ::testing::Test {
  protected:
    std::filesystem::path folder_ = vane::testing::uniqueTempPath("vane-folder-scan-test");
    std::unique_ptr<icu::TimeZone> berlin_{icu::TimeZone::createTimeZone("Europe/Berlin")};
    static constexpr double kJune21 = 1340305380.0;  // 2012-06-21 21:03:00 in Berlin

    void SetUp() override {
        std::filesystem::remove_all(folder_);
        WavFixture::write(folder_ / "a" / "guano.wav",
                          WavFixture::guanoWav("GUANO|Version: 1.0\nLoc Position: 49.6 11.05\n"
                                               "Timestamp: 2012-06-21 20:03:00+0100\n"));
        WavFixture::write(folder_ / "b" / "deep" / "SM4_20120621_210400.WAV", WavFixture::wav(""));
        WavFixture::write(
            folder_ / "c" / "SM4_20120621_210500.wav",
            WavFixture::wav(WavFixture::chunk("guan", "Timestamp: 2012", 0x7FFFFFFFu)));
        WavFixture::write(
            folder_ / "c" / "corrupt.wav",
            WavFixture::wav(WavFixture::chunk("guan", "Timestamp: 2012", 0x7FFFFFFFu)));
        WavFixture::write(folder_ / "c" / "unnamed.wav", WavFixture::wav(""));
        WavFixture::write(folder_ / "d" / "SM4_20120621_210600.wav", "");
        const std::string cut = WavFixture::wav("");
        WavFixture::write(folder_ / "d" / "SM4_20120621_210700.wav", cut.substr(0, cut.size() - 8));
        WavFixture::write(folder_ / "notes.txt", "20120621_210600");
    }
    void TearDown() override { std::filesystem::remove_all(folder_); }
};

TEST_F(RecordingFolderScanTest, ReadsGuanoThenFileNamesAndReportsTheRest) {
    std::vector<std::size_t> progress;
    const FolderScan scan =
        scanRecordingFolder(folder_, *berlin_, {}, [&](std::size_t done, std::size_t total) {
            EXPECT_EQ(total, 7u);
            progress.push_back(done);
        });
    EXPECT_EQ(progress, (std::vector<std::size_t>{1, 2, 3, 4, 5, 6, 7}));
    EXPECT_FALSE(scan.cancelled);

    ASSERT_EQ(scan.recordings.size(), 2u);
    const ImportedRecording& fromGuano = scan.recordings[0];
    EXPECT_EQ(fromGuano.recordingTime, kJune21);
    EXPECT_EQ(fromGuano.utcOffsetSeconds, 3600);  // as the recorder wrote it
    EXPECT_EQ(fromGuano.timeZone, "");
    EXPECT_EQ(fromGuano.filePath, (folder_ / "a" / "guano.wav").string());
    const ImportedRecording& fromName = scan.recordings[1];
    EXPECT_EQ(fromName.recordingTime, kJune21 + 60);
    EXPECT_EQ(fromName.utcOffsetSeconds, 7200);
    EXPECT_EQ(fromName.timeZone, "Europe/Berlin");

    ASSERT_TRUE(scan.site.position());
    EXPECT_DOUBLE_EQ(scan.site.position()->latitude, 49.6);
    EXPECT_EQ(agreedGuanoPosition(folder_)->longitude, scan.site.position()->longitude);

    // Damaged and empty files are left out with why, even when their names give a time: what
    // their metadata held (the species too) is gone.
    const std::vector<std::pair<std::filesystem::path, std::string>> skipped{
        {folder_ / "c" / "SM4_20120621_210500.wav",
         "has a 'guan' chunk of 2147483647 bytes that runs past the end of the file (132 bytes): "
         "it is damaged or cut short"},
        {folder_ / "c" / "corrupt.wav", "runs past the end"},
        {folder_ / "c" / "unnamed.wav", "no GUANO Timestamp"},
        {folder_ / "d" / "SM4_20120621_210600.wav",
         "is empty (0 bytes): the recorder wrote nothing into it"},
        {folder_ / "d" / "SM4_20120621_210700.wav", "has a 'data' chunk of 64 bytes that runs"},
    };
    ASSERT_EQ(scan.skipped.size(), skipped.size());
    for (std::size_t i = 0; i < skipped.size(); ++i) {
        EXPECT_EQ(scan.skipped[i].file, skipped[i].first.string());
        EXPECT_NE(scan.skipped[i].reason.find(skipped[i].second), std::string::npos)
            << scan.skipped[i].reason;
    }
}

// Root reads whatever the modes say; the command's own test drops to an unprivileged user.
TEST_F(RecordingFolderScanTest, UnreadableFilesAndFoldersAreLeftOutAndSaySo) {
    if (geteuid() == 0) {
        GTEST_SKIP() << "run as root, which reads files and folders whatever their mode";
    }
    const std::filesystem::path locked = folder_ / "e" / "locked";
    const std::filesystem::path file = folder_ / "e" / "SM4_20120621_210800.wav";
    WavFixture::write(locked / "SM4_20120621_210900.wav", WavFixture::wav(""));
    WavFixture::write(file, WavFixture::wav(""));
    std::filesystem::permissions(locked, std::filesystem::perms::none);
    std::filesystem::permissions(file, std::filesystem::perms::none);
    const FolderScan inside = scanRecordingFolder(folder_ / "e", *berlin_);
    const FolderScan itself = scanRecordingFolder(locked, *berlin_);
    std::filesystem::permissions(locked, std::filesystem::perms::owner_all);

    EXPECT_TRUE(inside.recordings.empty());
    ASSERT_EQ(inside.skipped.size(), 2u);
    EXPECT_EQ(inside.skipped[0].file, file.string());
    EXPECT_EQ(inside.skipped[0].reason, "cannot be opened: Permission denied");
    EXPECT_EQ(inside.skipped[1].file, locked.string());
    EXPECT_EQ(inside.skipped[1].reason, "folder cannot be read: Permission denied");
    ASSERT_EQ(itself.skipped.size(), 1u);
    EXPECT_EQ(itself.skipped[0].reason, "folder cannot be read: Permission denied");
}

TEST_F(RecordingFolderScanTest, StopsWhenAskedAndSaysSo) {
    std::stop_source stop;
    stop.request_stop();
    const FolderScan scan = scanRecordingFolder(folder_, *berlin_, stop.get_token());
    EXPECT_TRUE(scan.cancelled);
    EXPECT_TRUE(scan.recordings.empty());
}

TEST(RecordingFolderScanSpeciesTest, TakesGuanoSpeciesAndTheRecordersOwnFormats) {
    const std::filesystem::path folder = vane::testing::uniqueTempPath("vane-species-scan-test");
    std::filesystem::remove_all(folder);
    const std::string stamp = "GUANO|Version: 1.0\nTimestamp: 2012-06-21T21:03:00+02:00\n";
    WavFixture::write(folder / "1_manual.wav",
                      WavFixture::guanoWav(stamp + "Species Auto ID: PIPPIP\n"
                                                   "Species Manual ID: PIPNAT\n"));
    WavFixture::write(
        folder / "2_auto.wav",
        WavFixture::guanoWav(stamp + "Species Auto ID: NYCNOC\nSpecies Manual ID: \n"));
    WavFixture::write(folder / "3_SMZC_20120621_210700.zc", "zero-crossing data");
    WavFixture::write(folder / "4FE37241.WAC", "compressed audio");
    WavFixture::write(folder / "notes.txt", "20120621_210600");
    const std::unique_ptr<icu::TimeZone> berlin{icu::TimeZone::createTimeZone("Europe/Berlin")};
    const FolderScan scan = scanRecordingFolder(folder, *berlin);
    std::filesystem::remove_all(folder);

    ASSERT_EQ(scan.recordings.size(), 4u);
    EXPECT_TRUE(scan.skipped.empty());
    const struct {
        const char* label;
        bool manual;
        double time;
        int offset;
    } expected[] = {{"PIPNAT", true, 1340305380.0, 7200},
                    {"NYCNOC", false, 1340305380.0, 7200},
                    {"", false, 1340305620.0, 7200},
                    {"", false, 1340305985.0, 0}};
    for (std::size_t i = 0; i < 4; ++i) {
        const ImportedRecording& read = scan.recordings[i];
        EXPECT_EQ(read.label, expected[i].label) << read.filePath;
        EXPECT_EQ(read.manualLabel, expected[i].manual) << read.filePath;
        EXPECT_EQ(read.recordingTime, expected[i].time) << read.filePath;
        EXPECT_EQ(read.utcOffsetSeconds, expected[i].offset) << read.filePath;
    }
}

TEST(AgreedPositionTest, GivesTheSiteOnlyWhenTheRecordingsAgree) {
    const GeoPosition pond{49.6, 11.05};
    const struct {
        const char* name;
        std::vector<std::optional<GeoPosition>> positions;
        std::optional<GeoPosition> site;
    } cases[] = {
        {"none", {std::nullopt, std::nullopt}, std::nullopt},
        {"one, the others without", {std::nullopt, pond, std::nullopt}, pond},
        {"within 100 m", {pond, GeoPosition{49.6009, 11.0491}}, pond},
        {"another site", {pond, GeoPosition{49.6, 11.06}, pond}, std::nullopt},
        {"south of it", {pond, GeoPosition{49.59, 11.05}}, std::nullopt},
    };
    for (const auto& c : cases) {
        AgreedPosition agreed;
        for (const auto& position : c.positions) {
            agreed.add(position);
        }
        EXPECT_EQ(agreed.position().has_value(), c.site.has_value()) << c.name;
        if (c.site && agreed.position()) {
            EXPECT_EQ(agreed.position()->latitude, c.site->latitude) << c.name;
        }
    }
    // Two sources: a disagreement within one is not forgotten by agreeing with the other.
    AgreedPosition split;
    split.add(pond);
    split.add(GeoPosition{10.0, 10.0});
    AgreedPosition both;
    both.add(split);
    both.add(pond);
    EXPECT_FALSE(both.position());
}

TEST(FirstEveningDateTest, ARecordingAfterMidnightBelongsToTheEveningBefore) {
    const double june22at0200 = 1340323200.0;  // 2012-06-22 00:00 UTC = 02:00 in Berlin
    EXPECT_EQ(firstEveningDate({{june22at0200 + 3600, 7200, "", ""}, {june22at0200, 7200, "", ""}}),
              (CivilDate{2012, 6, 21}));
    EXPECT_EQ(firstEveningDate({{june22at0200 + 12 * 3600, 7200, "", ""}}),
              (CivilDate{2012, 6, 22}));
    EXPECT_FALSE(firstEveningDate({}));
}

}  // namespace
}  // namespace vane
