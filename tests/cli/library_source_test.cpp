#include <gtest/gtest.h>
#include <unicode/locid.h>
#include <unicode/timezone.h>

#include <filesystem>
#include <fstream>
#include <iterator>
#include <memory>
#include <sstream>

#include "cli/analyse_command.h"
#include "cli/events_command.h"
#include "cli/yearly_command.h"
#include "library/recording_library.h"
#include "library/sqlite_database.h"
#include "tests/temp_path.h"

namespace vane::cli {
namespace {

// A library of two sessions, and the same recordings as plain lists, so that each command can be
// shown to read the library as it reads the lists.
class LibrarySourceTest : public ::testing::Test {
  protected:
    std::unique_ptr<icu::TimeZone> berlin{icu::TimeZone::createTimeZone("Europe/Berlin")};
    std::filesystem::path folder = vane::testing::uniqueTempPath("vane-library-source-test");
    std::filesystem::path file = folder / "bats.vanelib";
    std::ostringstream out;
    std::ostringstream err;
    static constexpr double kJune21 = 1340305380.0;  // 2012-06-21 21:03:00 in Berlin

    void SetUp() override {
        std::filesystem::create_directories(folder);
        auto library = library::RecordingLibrary::create(file);
        library.importRecordings(library::NewSession{"Pond"},
                                 {{kJune21, 7200, "", ""}, {kJune21 + 240, 7200, "", ""}});
        library.importRecordings(library::NewSession{"Edge", std::nullopt, 52.5, 13.4},
                                 {{kJune21 + 720, 7200, "", ""}});
    }
    void TearDown() override { std::filesystem::remove_all(folder); }

    std::filesystem::path write(const std::string& name, const std::string& text) const {
        std::ofstream(folder / name, std::ios::binary) << text;
        return folder / name;
    }

    static std::string contents(const std::filesystem::path& path) {
        std::ifstream in(path, std::ios::binary);
        return {std::istreambuf_iterator<char>(in), std::istreambuf_iterator<char>()};
    }

    int events(std::vector<std::string> sessions) {
        EventsOptions options{{}, true};
        options.library = file;
        options.sessions = std::move(sessions);
        return runEvents(options, *berlin, icu::Locale("de_DE"), out, err);
    }
};

TEST_F(LibrarySourceTest, EventsTakesTheRecordingsOfTheNamedSessionsOrOfAll) {
    EXPECT_EQ(events({"Pond"}), kExitSuccess);
    EXPECT_EQ(out.str(), "bin_end\tcount\n2012-06-21T21:10:00\t2\n");
    out.str("");
    EXPECT_EQ(events({}), kExitSuccess);
    EXPECT_EQ(out.str(), "bin_end\tcount\n2012-06-21T21:10:00\t2\n2012-06-21T21:20:00\t1\n");
    EXPECT_EQ(err.str(), "");
}

TEST_F(LibrarySourceTest, AnUnknownSessionOrFileIsBadInput) {
    EXPECT_EQ(events({"Pond", "Meadow"}), kExitBadInput);
    EXPECT_EQ(err.str(), "Problem with library: \"" + file.string() +
                             "\" has no session named \"Meadow\" (it has \"Edge\", \"Pond\").\n");
    EXPECT_EQ(out.str(), "");
    std::filesystem::remove(file);
    err.str("");
    EXPECT_EQ(events({}), kExitBadInput);
    EXPECT_NE(err.str().find("does not exist"), std::string::npos);
}

// A damaged library is the file, the problem and the row on one line, status 2; never a table
// that stops halfway or an internal error.
TEST_F(LibrarySourceTest, ADamagedLibraryIsBadInputNamingFileAndRow) {
    const std::filesystem::path sound = folder / "sound.vanelib";
    std::filesystem::copy_file(file, sound);
    // SQLite keeps whatever a column is given: text in a time column must not read as 1970, nor
    // as its leading digits.
    const struct {
        const char* damage;
        const char* refusal;
    } damages[] = {
        {"UPDATE recordings SET recording_time = 1e300 WHERE id = 2",
         "recording 2 has a time out of range (1e+300)"},
        {"UPDATE recordings SET recording_time = 'noon' WHERE id = 2",
         "recording 2 has a time that is no number"},
        {"UPDATE recordings SET recording_time = '2012-06-21 21:07' WHERE id = 2",
         "recording 2 has a time that is no number"},
        {"UPDATE recordings SET utc_offset = 'CEST' WHERE id = 2",
         "recording 2 has a UTC offset that is no number or out of range"},
        {"UPDATE sessions SET sample_date = '' WHERE name = 'Pond'",
         "session 1 has a sample date that is no number"},
    };
    for (const auto& damage : damages) {
        std::filesystem::copy_file(sound, file, std::filesystem::copy_options::overwrite_existing);
        library::Database(file, library::Database::Mode::ReadWrite).execute(damage.damage);
        err.str("");
        EXPECT_EQ(events({}), kExitBadInput) << damage.damage;
        EXPECT_EQ(err.str(),
                  "Problem with library: \"" + file.string() + "\": " + damage.refusal + "\n");
        EXPECT_EQ(out.str(), "");
    }
    std::filesystem::copy_file(sound, file, std::filesystem::copy_options::overwrite_existing);
    library::Database(file, library::Database::Mode::ReadWrite)
        .execute(
            "UPDATE recordings SET recording_time = 'noon', time_zone = 'Europe/Berlin' WHERE "
            "id = 2");
    const std::unique_ptr<icu::TimeZone> utc(icu::TimeZone::createTimeZone("UTC"));
    try {
        library::RecordingLibrary::open(file).rereadSessionInZone(1, *utc);
        ADD_FAILURE() << "a time that is no number was read in another zone";
    } catch (const library::LibraryError& error) {
        EXPECT_NE(std::string(error.what()).find("recording 2 has a time that is no number"),
                  std::string::npos)
            << error.what();
    }

    err.str("");
    library::Database(file, library::Database::Mode::ReadWrite)
        .execute(
            "UPDATE recordings SET recording_time = 0; UPDATE sessions SET sample_date = "
            "-1e300 WHERE name = 'Edge'");
    YearlyOptions yearly;
    yearly.library = file;
    yearly.raster = folder / "yearly.ppm";
    EXPECT_EQ(runYearly(yearly, *berlin, out, err), kExitBadInput);
    EXPECT_EQ(err.str().rfind("Problem with library: \"" + file.string() + "\": session ", 0), 0u)
        << err.str();

    // Pages of zeros where the tables were.
    {
        std::fstream bytes(file, std::ios::binary | std::ios::in | std::ios::out);
        bytes.seekp(1024);
        const std::string zeros(std::filesystem::file_size(file) - 1024, '\0');
        bytes.write(zeros.data(), static_cast<std::streamsize>(zeros.size()));
    }
    err.str("");
    EXPECT_EQ(events({}), kExitBadInput);
    EXPECT_EQ(err.str().rfind("Problem with library: \"" + file.string() + "\"", 0), 0u)
        << err.str();
    EXPECT_EQ(out.str(), "");
}

// An import killed halfway leaves a journal; the commands roll it back, read the library as it
// was before, and say so.
TEST_F(LibrarySourceTest, AChangeLeftUnfinishedIsUndoneAndSaidSo) {
    const std::filesystem::path original = folder / "original.vanelib";
    std::filesystem::rename(file, original);
    {
        library::Database writer(original, library::Database::Mode::ReadWrite);
        writer.execute("PRAGMA cache_size = 1; BEGIN IMMEDIATE; DELETE FROM recordings;");
        std::filesystem::copy_file(original, file);
        std::filesystem::copy_file(folder / "original.vanelib-journal",
                                   folder / "bats.vanelib-journal");
    }
    EXPECT_EQ(events({}), kExitSuccess);
    EXPECT_EQ(out.str(), "bin_end\tcount\n2012-06-21T21:10:00\t2\n2012-06-21T21:20:00\t1\n");
    EXPECT_EQ(err.str(), "Note: \"" + file.string() +
                             "\" held a change that was never finished (such as an import that "
                             "was stopped); it was undone, the library is as it was before it\n");
}

TEST_F(LibrarySourceTest, AnalyseGivesTheSameTableAsForTheRecordingList) {
    AnalyseOptions options;
    options.windFile = write("wind.csv",
                             "Date;Wind\n21.06.2012 21:10;1.2\n21.06.2012 21:20;3.4\n"
                             "21.06.2012 21:30;4.1\n");
    options.recordingList =
        write("recordings.txt", "2012-06-21 21:03:00\n2012-06-21 21:07:00\n2012-06-21 21:15:00\n");
    ASSERT_EQ(runAnalyse(options, *berlin, out, err), kExitSuccess) << err.str();
    const std::string fromList = out.str();
    EXPECT_EQ(fromList, "0\t0\n1\t1\n3\t1\n");

    out.str("");
    options.recordingList.clear();
    options.library = file;
    ASSERT_EQ(runAnalyse(options, *berlin, out, err), kExitSuccess) << err.str();
    EXPECT_EQ(out.str(), fromList);

    out.str("");
    options.sessions = {"Edge"};
    ASSERT_EQ(runAnalyse(options, *berlin, out, err), kExitSuccess) << err.str();
    EXPECT_EQ(out.str(), "0\t0\n3\t1\n");
}

// The library orders sessions by date, then name: "Edge" comes first and gives the site.
TEST_F(LibrarySourceTest, YearlyDrawsTheLibraryAsTheListsWithTheFirstSessionsSite) {
    YearlyOptions fromLists;
    fromLists.recordingList =
        write("recordings.txt", "2012-06-21 21:03:00\n2012-06-21 21:07:00\n2012-06-21 21:15:00\n");
    fromLists.sessionList = write("sessions.csv",
                                  "sampledate,recordings,latitude,longitude\n"
                                  "2012-06-21,1,52.5,13.4\n2012-06-21,2,,\n");
    fromLists.raster = folder / "lists.ppm";
    ASSERT_EQ(runYearly(fromLists, *berlin, out, err), kExitSuccess) << err.str();

    YearlyOptions fromLibrary;
    fromLibrary.library = file;
    fromLibrary.raster = folder / "library.ppm";
    ASSERT_EQ(runYearly(fromLibrary, *berlin, out, err), kExitSuccess) << err.str();
    EXPECT_TRUE(contents(fromLibrary.raster.value()) == contents(fromLists.raster.value()));

    // Another site moves the sun marks.
    fromLibrary.latitude = 40.0;
    fromLibrary.raster = folder / "elsewhere.ppm";
    ASSERT_EQ(runYearly(fromLibrary, *berlin, out, err), kExitSuccess) << err.str();
    EXPECT_FALSE(contents(fromLibrary.raster.value()) == contents(fromLists.raster.value()));

    fromLibrary.bars = true;
    fromLibrary.raster = folder / "bars.ppm";
    EXPECT_EQ(runYearly(fromLibrary, *berlin, out, err), kExitSuccess) << err.str();
    EXPECT_EQ(err.str(), "");
}

}  // namespace
}  // namespace vane::cli
