#include "cli/yearly_command.h"

#include <gtest/gtest.h>
#include <unicode/timezone.h>

#include <QImage>
#include <filesystem>
#include <fstream>
#include <iterator>
#include <memory>
#include <sstream>

#include "tests/file_size_limit.h"
#include "tests/temp_path.h"

namespace vane::cli {
namespace {

struct Rgb {
    int red = 0;
    int green = 0;
    int blue = 0;
    friend bool operator==(const Rgb&, const Rgb&) = default;
};

// The P6 raster the command writes: header, then three bytes a pixel.
class Ppm {
  public:
    explicit Ppm(const std::filesystem::path& path) {
        std::ifstream in(path, std::ios::binary);
        in >> magic_ >> width_ >> height_ >> maximum_;
        in.get();
        bytes_.assign(std::istreambuf_iterator<char>(in), {});
    }
    bool isRaster() const {
        return magic_ == "P6" && width_ == 720 && height_ == 408 && maximum_ == 255 &&
               bytes_.size() == 720u * 408u * 3u;
    }
    Rgb at(int column, int row) const {
        const std::size_t i = (static_cast<std::size_t>(row) * 720 + column) * 3;
        return {static_cast<unsigned char>(bytes_.at(i)),
                static_cast<unsigned char>(bytes_.at(i + 1)),
                static_cast<unsigned char>(bytes_.at(i + 2))};
    }
    std::vector<int> rowsWithRed(int column) const {
        std::vector<int> rows;
        for (int row = 0; row < 408; ++row) {
            if (at(column, row).red != 0) {
                rows.push_back(row);
            }
        }
        return rows;
    }

  private:
    std::string magic_;
    int width_ = 0;
    int height_ = 0;
    int maximum_ = 0;
    std::string bytes_;
};

class YearlyCommandTest : public ::testing::Test {
  protected:
    std::unique_ptr<icu::TimeZone> berlin_{icu::TimeZone::createTimeZone("Europe/Berlin")};
    std::filesystem::path folder_ = vane::testing::uniqueTempPath("vane-yearly-test");
    std::ostringstream out_;
    std::ostringstream err_;

    void SetUp() override { std::filesystem::create_directories(folder_); }
    void TearDown() override { std::filesystem::remove_all(folder_); }

    std::filesystem::path file(const std::string& name, const std::string& content) const {
        const std::filesystem::path path = folder_ / name;
        std::ofstream(path) << content;
        return path;
    }
    YearlyOptions withRecordings(const std::string& content) const {
        YearlyOptions options;
        options.recordingList = file("recordings.txt", content);
        return options;
    }
    int run(const YearlyOptions& options) { return runYearly(options, *berlin_, out_, err_); }
};

constexpr const char* kMayNight = "2013-05-05 22:03:00\n2013-05-05 22:07:00\n2013-05-05 22:14\n";

TEST_F(YearlyCommandTest, WritesTheRasterAndTheComposedView) {
    YearlyOptions options = withRecordings(kMayNight);
    options.raster = folder_ / "yearly.ppm";
    options.out = folder_ / "yearly.png";
    ASSERT_EQ(run(options), 0) << err_.str();
    EXPECT_EQ(out_.str(),
              "Wrote " + options.out->string() + "\nWrote " + options.raster->string() + "\n");

    const Ppm raster(*options.raster);
    ASSERT_TRUE(raster.isRaster());
    EXPECT_EQ(raster.at(250, 144), (Rgb{0, 83, 83}));
    EXPECT_EQ(raster.at(251, 151), (Rgb{0, 79, 79}));

    const QImage view(QString::fromStdString(options.out->string()));
    ASSERT_EQ(view.size(), QSize(765, 440));
    EXPECT_EQ(view.pixelColor(42 + 250, 14 + 145), QColor(0, 83, 83));  // below the 22:00 line
    EXPECT_EQ(view.pixelColor(42, 14), QColor(0, 0, 0));                // the border
}

TEST_F(YearlyCommandTest, YearChoosesTheRecordingsDrawnAndTheGridSaysWhichAndWhere) {
    YearlyOptions options = withRecordings(std::string("2012-06-21 22:00:00\n") + kMayNight);
    options.raster = folder_ / "yearly.ppm";
    options.out = folder_ / "yearly.png";
    options.year = 2013;
    ASSERT_EQ(run(options), 0) << err_.str();
    EXPECT_EQ(err_.str(), "Recordings left out: 1 of 4 lie outside 2013\n");
    const Ppm raster(*options.raster);
    EXPECT_EQ(raster.at(250, 144), (Rgb{0, 83, 83}));  // the May night of 2013
    const QImage view(QString::fromStdString(options.out->string()));
    // The top margin over the frame's right end holds the caption, drawn in dark grey.
    bool written = false;
    for (int x = 600; x < 762; ++x) {
        for (int y = 0; y < 13; ++y) {
            written = written || view.pixelColor(x, y).alpha() > 0;
        }
    }
    EXPECT_TRUE(written);

    options.year = 2015;
    err_.str("");
    EXPECT_EQ(run(options), kExitNoResult);
    EXPECT_EQ(err_.str(),
              "Nothing to draw: no recordings in 2015; the years with recordings are 2012, 2013\n");
}

TEST_F(YearlyCommandTest, SunMarksDependOnTheDateOnlyNotOnTheDayOfTheRun) {
    YearlyOptions options = withRecordings("2012-06-21 22:00:00\n");
    options.raster = folder_ / "yearly.ppm";
    ASSERT_EQ(run(options), 0) << err_.str();
    const Ppm raster(*options.raster);
    // 21 June 2012 (day 173) in summer time: sunset 21:26, sunrise 05:08 the next morning.
    EXPECT_EQ(raster.rowsWithRed(346), (std::vector<int>{130, 314}));
    EXPECT_EQ(raster.at(346, 130), (Rgb{75, 75, 0}));
}

TEST_F(YearlyCommandTest, TheSiteComesFromTheOptionsThenTheFirstSession) {
    const auto marksAt = [&](YearlyOptions options) {
        options.raster = folder_ / "yearly.ppm";
        EXPECT_EQ(run(options), 0) << err_.str();
        return Ppm(*options.raster).rowsWithRed(346);
    };
    const YearlyOptions plain = withRecordings("2012-06-21 22:00:00\n");
    YearlyOptions arctic = plain;
    arctic.sessionList = file("sessions.csv",
                              "sampledate,recordings,latitude,longitude\n"
                              "2012-06-21,3,80,11.05\n"
                              "2012-06-22,3,49.6,11.05\n");
    EXPECT_TRUE(marksAt(arctic).empty());  // midnight sun
    YearlyOptions overridden = arctic;
    overridden.latitude = 49.6;
    EXPECT_EQ(marksAt(overridden), marksAt(plain));
}

TEST_F(YearlyCommandTest, BarsDrawTheSessionsInsteadOfTheRecordings) {
    YearlyOptions options;
    options.bars = true;
    options.sessionList =
        file("sessions.csv", "sampledate,recordings,latitude,longitude\n2013-05-05,57,,\n");
    options.raster = folder_ / "bars.ppm";
    ASSERT_EQ(run(options), 0) << err_.str();
    EXPECT_EQ(Ppm(*options.raster).rowsWithRed(250).size(), 408u);
}

TEST_F(YearlyCommandTest, BadInputIsRefusedWithWhatToFixAndNoFile) {
    YearlyOptions options = withRecordings(kMayNight);
    options.out = folder_ / "yearly.png";

    options.binWidthMinutes = 2.5;
    EXPECT_EQ(run(options), 2);
    EXPECT_EQ(err_.str(),
              "Bad usage: --bin: the bin width must be a whole number of minutes from 1 to 1440, "
              "not 2.5\n");
    options.binWidthMinutes = 10;

    err_.str("");
    options.out = folder_ / "yearly.docx";
    EXPECT_EQ(run(options), 2);
    EXPECT_EQ(err_.str().rfind("Bad usage: --out: cannot write images of the type of", 0), 0u);
    options.out = folder_ / "yearly.png";

    err_.str("");
    options.recordingList = file("bad.txt", "2013-05-05 22:03:00\nnot a time\n");
    EXPECT_EQ(run(options), 2);
    EXPECT_EQ(err_.str(), "Problem with recording list: " + (folder_ / "bad.txt").string() +
                              ":2: expected a time stamp such as 2012-06-21 21:03:00 or "
                              "2012-06-21T21:03:00+02:00, found \"not a time\"\n");

    err_.str("");
    options.recordingList = file("empty.txt", "# nothing yet\n");
    EXPECT_EQ(run(options), 3);
    EXPECT_EQ(err_.str(),
              "Nothing to draw: " + (folder_ / "empty.txt").string() + " holds no recordings\n");

    err_.str("");
    options.recordingList = file("recordings.txt", kMayNight);
    options.sessionList = file("sessions.csv", "sampledate,recordings\n");
    EXPECT_EQ(run(options), 2);
    EXPECT_EQ(err_.str().rfind("Problem with session list: ", 0), 0u);
    options.sessionList.reset();

    err_.str("");
    options.bars = true;
    EXPECT_EQ(run(options), 2);
    EXPECT_EQ(err_.str(),
              "Bad usage: --bars draws the sessions of a session list or library; give it with "
              "--sessions or --library\n");

    EXPECT_FALSE(std::filesystem::exists(folder_ / "yearly.png"));
    EXPECT_EQ(out_.str(), "");
}

// An output that is an input (also through a link) would replace it.
TEST_F(YearlyCommandTest, AnOutputThatIsAnInputIsRefused) {
    YearlyOptions options = withRecordings(kMayNight);
    std::filesystem::create_symlink(*options.recordingList, folder_ / "link.png");
    for (const std::filesystem::path& same : {*options.recordingList, folder_ / "link.png"}) {
        for (const bool raster : {false, true}) {
            err_.str("");
            options.out.reset();
            options.raster.reset();
            (raster ? options.raster : options.out) = same;
            EXPECT_EQ(run(options), 2);
            EXPECT_EQ(err_.str(), std::string("Bad usage: ") + (raster ? "--raster " : "--out ") +
                                      same.string() + " is the same file as --recordings " +
                                      options.recordingList->string() +
                                      ", which writing it would replace\n");
        }
    }
    std::ifstream list(*options.recordingList);
    EXPECT_EQ(std::string(std::istreambuf_iterator<char>(list), {}), kMayNight);
    EXPECT_EQ(out_.str(), "");
}

// A device that fails, or a disk that fills, is a file not written: never "Wrote", and an
// earlier picture stays whole.
TEST_F(YearlyCommandTest, WritesThatFailAreReportedAndKeepTheEarlierFile) {
    YearlyOptions options = withRecordings(kMayNight);
    options.out = "/dev/full";
    EXPECT_EQ(run(options), 2);
    EXPECT_EQ(err_.str().rfind("Problem with image file: /dev/full: cannot be written", 0), 0u)
        << err_.str();
    EXPECT_EQ(out_.str(), "");

    options.out.reset();
    options.raster = "/dev/null";
    EXPECT_EQ(run(options), 0) << err_.str();

    const std::string earlier(100000, 'p');
    options.raster.reset();
    for (const char* name : {"earlier.png", "earlier.ppm"}) {
        err_.str("");
        out_.str("");
        const std::filesystem::path path = file(name, earlier);
        (std::string(name).ends_with("png") ? options.out : options.raster) = path;
        {
            const vane::testing::FileSizeLimit fullDisk(4096);
            EXPECT_EQ(run(options), 2) << name;
        }
        EXPECT_NE(err_.str().find("cannot be written"), std::string::npos) << err_.str();
        EXPECT_EQ(out_.str(), "");
        EXPECT_EQ(std::filesystem::file_size(path), earlier.size()) << name;
        options.out.reset();
        options.raster.reset();
    }
}

TEST_F(YearlyCommandTest, SaysWhichRecordingsLieBeyondThePicture) {
    YearlyOptions options =
        withRecordings("2013-12-20 22:00\n2013-12-27 22:00\n2013-12-28 22:00\n2013-12-29 22:00\n");
    options.raster = folder_ / "yearly.ppm";
    EXPECT_EQ(run(options), 0);
    EXPECT_EQ(err_.str(),
              "Recordings left out: 3 of 4 come after the picture's last night, 25 to 26 December "
              "2013\n");

    // A leap year's last night is a day earlier; a later year is not drawn over the first.
    err_.str("");
    options.recordingList =
        file("leap.txt", "2012-12-24 22:00\n2012-12-25 22:00\n2013-03-01 22:00\n");
    EXPECT_EQ(run(options), 0);
    EXPECT_EQ(err_.str(),
              "Recordings left out: 2 of 3 come after the picture's last night, 24 to 25 December "
              "2012\n");
    EXPECT_EQ(Ppm(*options.raster).at(2 * 60, 144), (Rgb{}));
}

// Years past 2050 have their sunset and sunrise marks like any other.
TEST_F(YearlyCommandTest, AYearAfterTwentyFiftyIsDrawnWithItsMarks) {
    YearlyOptions options = withRecordings("2051-05-05 22:03:00\n");
    options.raster = folder_ / "yearly.ppm";
    EXPECT_EQ(run(options), 0);
    EXPECT_EQ(err_.str(), "");
    const Ppm raster(*options.raster);
    EXPECT_EQ(raster.at(250, 144), (Rgb{0, 79, 79}));
    // The evening of 21 June, day 172: sunset about 21:26, sunrise about 05:08.
    EXPECT_EQ(raster.rowsWithRed(2 * 172), (std::vector<int>{130, 314}));
}

}  // namespace
}  // namespace vane::cli
