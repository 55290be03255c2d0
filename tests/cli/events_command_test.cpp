#include "cli/events_command.h"

#include <gtest/gtest.h>
#include <unicode/locid.h>
#include <unicode/timezone.h>

#include <filesystem>
#include <fstream>
#include <memory>
#include <sstream>

#include "tests/temp_path.h"

namespace vane::cli {
namespace {

// One row per tag, as tagging platforms export them: several tags of one recording, noise
// tags among them, comments with commas.
constexpr const char* kTagTable =
    "location,recordingDate,method,taskLength,transcriber,species,speciesIndividualNumber,"
    "vocalizationType,abundance,startTime,tagLength,minFreq,maxFreq,speciesIndividualComment,"
    "internal_tag_id\r\n"
    "ABMI-633-NE,2021-06-01 21:30:00,1SPT,180,J Doe,MYOLUC,1,Call,1,12.5,0.8,35000,80000,,1001\r\n"
    "ABMI-633-NE,2021-06-01 21:30:00,1SPT,180,J Doe,Noise,1,Call,1,40.1,0.2,,,\"wind, rain\",1002"
    "\r\n"
    "ABMI-633-NE,2021-06-01 21:34:00,1SPT,180,J Doe,EPTFUS,1,Call,1,3.0,1.1,25000,50000,"
    "\"faint; maybe LASNOC\",1003\r\n";

class EventsCommandTest : public ::testing::Test {
  protected:
    std::unique_ptr<icu::TimeZone> berlin_{icu::TimeZone::createTimeZone("Europe/Berlin")};
    std::filesystem::path list_ = vane::testing::uniqueTempPath("vane-events-command-test");
    std::ostringstream out_;
    std::ostringstream err_;

    void TearDown() override { std::filesystem::remove(list_); }

    int run(const std::string& content, bool counts, std::vector<std::string> species = {}) {
        std::ofstream(list_) << content;
        EventsOptions options{list_, counts};
        options.filter.filter.species = std::move(species);
        return runEvents(options, *berlin_, icu::Locale("de_DE"), out_, err_);
    }
};

TEST_F(EventsCommandTest, CountsRecordingsPerBinInLocalTime) {
    EXPECT_EQ(run("2012-06-21 21:15:00\n2012-06-21 21:03:00\n2012-06-21 21:07:00\n", true), 0);
    EXPECT_EQ(out_.str(), "bin_end\tcount\n2012-06-21T21:10:00\t2\n2012-06-21T21:20:00\t1\n");
    EXPECT_EQ(err_.str(), "");
}

TEST_F(EventsCommandTest, PrintsBinEndsInTheLocaleStyleWithoutCounts) {
    EXPECT_EQ(run("2012-06-21 21:03:00\n2012-06-21 21:07:00\n2012-06-21 21:15:00\n", false), 0);
    EXPECT_EQ(out_.str(), "21.06.12, 21:10\n21.06.12, 21:20\n");
}

TEST_F(EventsCommandTest, SaysHowManyRecordingsLieBeforeTheGrid) {
    EXPECT_EQ(run("2009-06-19 23:00:00\n2012-06-21 21:03:00\n", true), 0);
    EXPECT_EQ(out_.str(), "bin_end\tcount\n2012-06-21T21:10:00\t1\n");
    EXPECT_EQ(err_.str(),
              "Recordings left out: 1 of 2 lie before the first activity bin, which begins "
              "2009-06-20T00:00:00\n");
}

// An empty answer with status 0 would look like a night without bats.
TEST_F(EventsCommandTest, AListWithoutRecordingsIsNothingToList) {
    for (const bool counts : {false, true}) {
        for (const char* content : {"", "time\n# no recordings yet\n\n"}) {
            out_.str("");
            err_.str("");
            EXPECT_EQ(run(content, counts), 3) << content;
            EXPECT_EQ(out_.str(), "");
            EXPECT_EQ(err_.str(), "Nothing to list: " + list_.string() + " holds no recordings\n");
        }
    }
}

// Messages quote file content escaped and short: a list must not retitle the terminal.
TEST_F(EventsCommandTest, FileContentInMessagesIsEscapedAndShort) {
    EXPECT_EQ(
        run("2012-06-21 21:03:00\n\x1b]0;owned\a\x1b[2J" + std::string(500, 'x') + "\n", true), 2);
    EXPECT_EQ(err_.str(), "Problem with recording list: " + list_.string() +
                              ":2: expected a time stamp such as 2012-06-21 21:03:00 or "
                              "2012-06-21T21:03:00+02:00, found \"\\x1b]0;owned\\x07\\x1b[2J" +
                              std::string(46, 'x') + "...\"\n");
}

TEST_F(EventsCommandTest, ABadLineStopsWithFileAndLine) {
    EXPECT_EQ(run("2012-06-21 21:03:00\nnot a time\n", true), 2);
    EXPECT_EQ(out_.str(), "");
    EXPECT_EQ(err_.str().rfind("Problem with recording list: " + list_.string() + ":2: ", 0), 0u)
        << err_.str();
}

TEST_F(EventsCommandTest, TablesAreReadByTheirHeaderOrRefusedWithTheirColumns) {
    const struct {
        const char* table;
        int status;
        const char* out;
        const char* errStart;
    } cases[] = {
        // An identification program's table: noise and poor matches left out, and said so.
        {"IN FILE,DATE,TIME,AUTO ID*,MATCH RATIO,MANUAL ID\n"
         "a.wav,2012-06-21,21:03:00,NYCNOC,0.9,\nb.wav,2012-06-21,21:04:00,Noise,0.9,\n"
         "c.wav,2012-06-21,21:13:00,PIPPIP,0.2,\nd.wav,2012-06-21,21:14:00,PIPPIP,0.2,PIPNAT\n",
         0, "bin_end\tcount\n2012-06-21T21:10:00\t1\n2012-06-21T21:20:00\t1\n",
         "Recordings left out: 1 labelled noise or no ID, 1 with an automatic probability below "
         "0.5 (the default; --min-probability sets it); 2 of 4 counted\n"},
        // A list with a date column and a time column.
        {"Datum,Zeit,Art\n2012-06-21,21:03:00,NYCNOC\n", 0,
         "bin_end\tcount\n2012-06-21T21:10:00\t1\n", ""},
        {"site,when,species\nnorth,21/06/2012 21:03,NYCNOC\n", 2, "",
         "Problem with recording table: "},
        // Tables of a kind Vane does not know, with species: read with them where titles name
        // the time stamps, never as times alone.
        {"recording_date_time,species_code,vocalization\n2021-06-01 21:30:00,MYOLUC,Call\n", 0,
         "bin_end\tcount\n2021-06-01T21:30:00\t1\n", ""},
        {"# species tags, exported\n\nrecording_date_time,species_code\n"
         "2021-06-01 21:30:00,MYOLUC\n",
         0, "bin_end\tcount\n2021-06-01T21:30:00\t1\n", ""},
        // A comment is no header, whatever it says.
        {"# all species, night 1\n2012-06-21 21:03:00\n", 0,
         "bin_end\tcount\n2012-06-21T21:10:00\t1\n", ""},
        // One row per tag: noise left out, each tag's species kept.
        {kTagTable, 0, "bin_end\tcount\n2021-06-01T21:30:00\t1\n2021-06-01T21:40:00\t1\n",
         "Recordings left out: 1 labelled noise"},
        {"location,when,species\nnorth,2021-06-01 21:30:00,MYOLUC\n", 2, "",
         "Problem with recording table: "},
    };
    for (const auto& c : cases) {
        out_.str("");
        err_.str("");
        EXPECT_EQ(run(c.table, true), c.status) << c.table << err_.str();
        EXPECT_EQ(out_.str(), c.out) << c.table;
        EXPECT_EQ(err_.str().rfind(c.errStart, 0), 0u) << err_.str();
    }
    EXPECT_NE(err_.str().find(": is no table Vane knows; it has the columns \"location\", "
                              "\"when\", \"species\". "),
              std::string::npos)
        << err_.str();
}

// A filter by species finds none in a list of times: counting every row would look like the
// count of the species asked for.
TEST_F(EventsCommandTest, ASpeciesFilterOnAListWithoutLabelsIsRefused) {
    EXPECT_EQ(run("2012-06-21 21:03:00\n2012-06-21 21:07:00\n", true, {"MYOLUC"}), 2);
    EXPECT_EQ(out_.str(), "");
    EXPECT_EQ(err_.str(), "Bad usage: --species: \"" + list_.string() +
                              "\" has no species labels, only times; leave out --species, or "
                              "name a table's label column with --label-column\n");
}

}  // namespace
}  // namespace vane::cli
