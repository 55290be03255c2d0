#include "cli/analyse_command.h"

#include <gmock/gmock.h>
#include <gtest/gtest.h>
#include <unicode/timezone.h>

#include <algorithm>
#include <filesystem>
#include <fstream>
#include <functional>
#include <map>
#include <memory>
#include <sstream>
#include <string>

#include "tests/file_size_limit.h"
#include "tests/temp_path.h"

namespace vane::cli {
namespace {

using ::testing::HasSubstr;
using ::testing::IsEmpty;
using ::testing::Not;
using ::testing::StartsWith;

// One summer night's recordings and a German logger's file for it, written to a fresh folder.
class AnalyseCommandTest : public ::testing::Test {
  protected:
    void SetUp() override {
        folder_ = vane::testing::uniqueTempPath("vane-analyse-test");
        std::filesystem::create_directories(folder_);
        write("recordings.txt",
              "2012-06-21 22:03:00\n2012-06-21 22:04:00\n2012-06-21 22:13:00\n"
              "2012-06-21 22:25:00\n");
        write("wind.csv",
              "Datum/Zeit;Windgeschwindigkeit;Temp;Status\r\n"
              "21.06.2012 22:00;0,8;14,2;idle\r\n"
              "21.06.2012 22:10;1,2;13,9;idle\r\n"
              "21.06.2012 22:20;3,4;13,1;run\r\n"
              "21.06.2012 22:30;4,1;-0,4;run\r\n"
              "21.06.2012 22:40;4,4;12,0;run\r\n");
        options_.recordingList = folder_ / "recordings.txt";
        options_.windFile = folder_ / "wind.csv";
    }
    void TearDown() override { std::filesystem::remove_all(folder_); }

    void write(const std::string& name, const std::string& text) const {
        std::ofstream(folder_ / name, std::ios::binary) << text;
    }

    int run() {
        out_.str("");
        err_.str("");
        return runAnalyse(options_, *berlin_, out_, err_);
    }

    std::unique_ptr<icu::TimeZone> berlin_{icu::TimeZone::createTimeZone("Europe/Berlin")};
    std::filesystem::path folder_;
    AnalyseOptions options_;
    std::ostringstream out_;
    std::ostringstream err_;
};

TEST_F(AnalyseCommandTest, PrintsTheTableWithTheFilesOwnSeparatorAndASummary) {
    // Date column, date format, wind column, decimal comma and zone are all guessed.
    options_.windColumn = "2";
    ASSERT_EQ(run(), kExitSuccess) << err_.str();
    EXPECT_EQ(out_.str(), "0\t0\n1\t1\n3\t1\n4\t1\n");
    EXPECT_EQ(err_.str(),
              "Summary: below 3,5 m/s: 50 % of activity; below 4,5 m/s: 80 % of activity; "
              "below 4,5 m/s: 90 % of activity; below 4,5 m/s: 95 % of activity\n");

    options_.decimal = ".";
    options_.countRecordings = true;
    ASSERT_EQ(run(), kExitNoResult);
    // Readings with a comma are no numbers then: left out, and the user is told why. No result
    // puts nothing on standard output, not even the origin line.
    EXPECT_EQ(out_.str(), "");
    EXPECT_THAT(err_.str(), HasSubstr("Readings left out: 3 activity bins matched rows whose wind "
                                      "speed is no number"));
    EXPECT_THAT(err_.str(), HasSubstr("Nothing counted: "));
}

TEST_F(AnalyseCommandTest, WithTheSiteTheSeasonsCoverageIsShownNightByNightBesideTheSameTable) {
    options_.windColumn = "2";
    ASSERT_EQ(run(), kExitSuccess) << err_.str();
    const std::string table = out_.str();
    EXPECT_THAT(err_.str(), Not(HasSubstr("Coverage")));
    options_.latitude = 49.6;
    options_.longitude = 11.05;
    ASSERT_EQ(run(), kExitSuccess) << err_.str();
    EXPECT_EQ(out_.str(), table);
    // Forty minutes of readings in a night of eight hours: a gap in the wind file.
    EXPECT_THAT(err_.str(), HasSubstr("(# bats recorded, . none, ! wind readings missing for more "
                                      "than a tenth of the night, - detector not recording):\n"
                                      "2012-06  " +
                                      std::string(20, ' ') + "!\nSummary: "));
}

TEST_F(AnalyseCommandTest, TemperatureColumnIsGuessedFromItsTitleAndSaidSo) {
    options_.temperature = true;
    ASSERT_EQ(run(), kExitSuccess) << err_.str();
    EXPECT_EQ(out_.str(), "-0,5\t1\n0\t0\n13\t1\n13,5\t1\n");
    EXPECT_THAT(err_.str(), StartsWith("Temperature column: 3 Temp (guessed"));
    EXPECT_THAT(err_.str(), HasSubstr(" °C: 50 % of activity"));

    write("wind.csv", "Datum;Wind\r\n21.06.2012 22:00;1\r\n21.06.2012 22:10;2\r\n");
    EXPECT_EQ(run(), kExitNoResult);
    EXPECT_THAT(err_.str(), HasSubstr("No temperature column: "));
    EXPECT_THAT(out_.str(), IsEmpty());
}

TEST_F(AnalyseCommandTest, ColumnsAreChosenByNumberOrTitle) {
    options_.windColumn = "windgeschwindigkeit";
    options_.stateColumn = "Status";
    ASSERT_EQ(run(), kExitSuccess) << err_.str();
    EXPECT_EQ(out_.str(), "1\t1\t1\t0\t\n3\t0\t3\t1\t\n4\t0\t4\t1\t\n");
    EXPECT_THAT(err_.str(), HasSubstr("Summary for state idle: below 1,5 m/s"));
    EXPECT_THAT(err_.str(), HasSubstr("Summary for state run: below 3,5 m/s: 50 %"));

    options_.stateColumn = "5";
    EXPECT_EQ(run(), kExitBadInput);
    EXPECT_THAT(err_.str(),
                HasSubstr("no column \"5\" (columns: 1 Datum/Zeit | 2 Windgeschwindigkeit"));
}

TEST_F(AnalyseCommandTest, HeaderNamesEachStateOverItsPairOfColumnsOnlyWhenAsked) {
    options_.windColumn = "2";
    options_.header = true;
    ASSERT_EQ(run(), kExitSuccess) << err_.str();
    EXPECT_EQ(out_.str(), "0\t0\n1\t1\n3\t1\n4\t1\n");  // the plain table has no header

    write("wind.csv",
          "Datum/Zeit;Windgeschwindigkeit;Status\r\n"
          "21.06.2012 22:00;0,8;idle\tat night\r\n"
          "21.06.2012 22:10;1,2;idle\tat night\r\n"
          "21.06.2012 22:20;3,4;run\r\n"
          "21.06.2012 22:30;4,1;run\r\n");
    options_.stateColumn = "Status";
    const std::string table = "1\t1\t1\t0\t\n3\t0\t3\t1\t\n4\t0\t4\t1\t\n";
    ASSERT_EQ(run(), kExitSuccess) << err_.str();
    EXPECT_EQ(out_.str(), "idle at night\t\trun\t\t\n" + table);
    options_.header = false;
    ASSERT_EQ(run(), kExitSuccess) << err_.str();
    EXPECT_EQ(out_.str(), table);

    // Labels come from the file: they reach the terminal escaped.
    write("id.csv",
          "IN FILE,DATE,TIME,AUTO ID*,MATCH RATIO,MANUAL ID\n"
          "a.wav,2012-06-21,22:03:00,\x1b]0;owned\a,0.9,\n"
          "b.wav,2012-06-21,22:13:00,\"PIP\rPIP\xc2\x9b"
          "2J\",0.9,\n");
    options_.recordingList = folder_ / "id.csv";
    options_.stateColumn.reset();
    options_.perSpecies = true;
    options_.header = true;
    ASSERT_EQ(run(), kExitSuccess) << err_.str();
    EXPECT_EQ(out_.str().substr(0, out_.str().find('\n')),
              "\\x1b]0;owned\\x07\t\tPIP PIP\\u009b2J\t\t");
}

TEST_F(AnalyseCommandTest, NoOverlapAndMissingColumnsEndWithoutATable) {
    write("recordings.txt", "2013-06-21 22:03:00\n");
    options_.windColumn = "2";
    EXPECT_EQ(run(), kExitNoResult);
    EXPECT_THAT(out_.str(), IsEmpty());
    EXPECT_THAT(err_.str(), HasSubstr("No time overlap: It seems the selected recordings"));

    options_.windColumn.reset();
    write("wind.csv", "Datum;v\r\n21.06.2012 22:00;1\r\n21.06.2012 22:10;2\r\n");
    EXPECT_EQ(run(), kExitNoResult);
    EXPECT_EQ(err_.str(),
              "No wind speed column: Choose the column that holds the wind speed.\n"
              "Columns of the wind file: 1 Datum | 2 column 2\n");
}

TEST_F(AnalyseCommandTest, RecordingsThatCannotCountAreExplained) {
    options_.windColumn = "2";
    write("recordings.txt", "time\n");
    EXPECT_EQ(run(), kExitNoResult);
    EXPECT_EQ(err_.str(),
              "Nothing to analyse: " + options_.recordingList.string() + " holds no recordings\n");

    write("recordings.txt", "2009-06-19 23:00:00\n2012-06-21 22:03:00\n");
    EXPECT_EQ(run(), kExitSuccess);
    EXPECT_THAT(err_.str(), StartsWith("Recordings left out: 1 of 2 lie before the first activity "
                                       "bin, which begins 2009-06-20T00:00:00\n"));
    EXPECT_EQ(out_.str(), "0\t0\n1\t1\n");
}

TEST_F(AnalyseCommandTest, APerStateRunThatMatchesNothingIsNoResult) {
    // The per-state analysis reads the stamps as local time and has no alert of its own.
    write("recordings.txt", "2013-06-21 22:03:00\n");
    options_.windColumn = "2";
    options_.stateColumn = "Status";
    EXPECT_EQ(run(), kExitNoResult);
    EXPECT_THAT(out_.str(), IsEmpty());
    EXPECT_THAT(err_.str(), HasSubstr("Nothing counted: no activity bin matched a row"));
}

// Titles come from the file: escaped, so that they cannot drive the terminal, and short.
TEST_F(AnalyseCommandTest, ColumnTitlesInMessagesAreEscapedAndShort) {
    std::string header = "\x1b[2J\a" + std::string(100000, 'w');
    for (int column = 2; column <= 100; ++column) {
        header += ";c" + std::to_string(column);
    }
    write("wind.csv", header + "\n1;2\n3;4\n");
    EXPECT_EQ(run(), kExitNoResult);
    EXPECT_THAT(err_.str(), HasSubstr("Columns of the wind file: 1 \\x1b[2J\\x07" +
                                      std::string(55, 'w') + "... | 2 c2 | "));
    EXPECT_THAT(err_.str(), HasSubstr(" | 40 c40 | ... (100 columns)\n"));
    EXPECT_EQ(err_.str().find('\x1b'), std::string::npos);
    EXPECT_LT(err_.str().size(), 2000u);

    options_.windColumn = "\x1b[2J";
    EXPECT_EQ(run(), kExitBadInput);
    EXPECT_THAT(err_.str(), StartsWith("Bad usage: the wind file has no column \"\\x1b[2J\""));
}

// A graph file that is an input (also through a link) would replace it.
TEST_F(AnalyseCommandTest, AGraphFileThatIsAnInputIsRefused) {
    std::filesystem::create_hard_link(folder_ / "wind.csv", folder_ / "wind.png");
    options_.pngFile = folder_ / "wind.png";
    EXPECT_EQ(run(), kExitBadInput);
    EXPECT_EQ(err_.str(), "Bad usage: --png " + options_.pngFile->string() +
                              " is the same file as --wind " + options_.windFile.string() +
                              ", which writing it would replace\n");
    options_.pngFile.reset();
    options_.pdfFile = options_.recordingList;
    EXPECT_EQ(run(), kExitBadInput);
    EXPECT_THAT(err_.str(), StartsWith("Bad usage: --pdf "));
    EXPECT_THAT(out_.str(), IsEmpty());
    EXPECT_EQ(std::filesystem::file_size(folder_ / "wind.csv"), 201u);
}

// A device that fails, or a disk that fills, is a graph not saved and status 2; an earlier file
// stays whole, the PDF as much as the others.
TEST_F(AnalyseCommandTest, GraphWritesThatFailAreReportedAndKeepTheEarlierFile) {
    options_.pdfFile = "/dev/full";
    EXPECT_EQ(run(), kExitBadInput);
    EXPECT_THAT(err_.str(), HasSubstr("Graph not saved: Cannot write graph file /dev/full: "));

    const std::string earlier(100000, 'p');
    options_.pdfFile.reset();
    for (const char* name : {"earlier.pdf", "earlier.png", "earlier.svg"}) {
        write(name, earlier);
        const std::filesystem::path path = folder_ / name;
        (std::string(name).ends_with("pdf")   ? options_.pdfFile
         : std::string(name).ends_with("png") ? options_.pngFile
                                              : options_.svgFile) = path;
        {
            const vane::testing::FileSizeLimit fullDisk(4096);
            EXPECT_EQ(run(), kExitBadInput) << name;
        }
        EXPECT_THAT(err_.str(),
                    HasSubstr("Graph not saved: Cannot write graph file " + path.string()));
        EXPECT_EQ(std::filesystem::file_size(path), earlier.size()) << name;
        options_.pdfFile.reset();
        options_.pngFile.reset();
        options_.svgFile.reset();
    }
}

TEST_F(AnalyseCommandTest, BadInputIsReportedWithStatusTwo) {
    options_.windColumn = "2";
    for (const char* zone : {"CEST", "+2400", "-0160"}) {
        options_.zone = zone;
        EXPECT_EQ(run(), kExitBadInput) << zone;
        EXPECT_THAT(err_.str(), HasSubstr("--zone takes an offset")) << zone;
        EXPECT_THAT(out_.str(), IsEmpty()) << zone;
    }
    // The farthest offset still reads every date, a day away from the recordings.
    options_.zone = "-2359";
    EXPECT_EQ(run(), kExitNoResult) << err_.str();
    EXPECT_THAT(err_.str(), HasSubstr("No time overlap"));
    options_.zone.reset();

    options_.windFile = folder_ / "missing.csv";
    EXPECT_EQ(run(), kExitBadInput);
    EXPECT_THAT(err_.str(), StartsWith("Problem with file: "));

    options_.windFile = folder_ / "wind.csv";
    write("recordings.txt", "2012-06-21 22:03:00\nyesterday\n");
    EXPECT_EQ(run(), kExitBadInput);
    EXPECT_THAT(err_.str(), StartsWith("Problem with recording list: "));

    // No header row to analyse: the file's problem, not a missing column, is what to fix.
    write("recordings.txt", "2012-06-21 22:03:00\n");
    options_.windFileOptions.startingLine = 9;
    EXPECT_EQ(run(), kExitBadInput);
    EXPECT_EQ(err_.str(),
              "Problem with wind file: " + options_.windFile.string() +
                  ": The starting line 9 lies beyond the last line of the file, line 7.\n");
    options_.windFileOptions.startingLine = 1;
    write("wind.csv", "");
    EXPECT_EQ(run(), kExitBadInput);
    EXPECT_THAT(err_.str(), HasSubstr(": The wind table is empty"));
}

// The example season's classifier table against its wind file, as the README's run shows it.
class ExampleSpeciesTest : public ::testing::Test {
  protected:
    AnalyseOptions exampleOptions() const {
        AnalyseOptions options;
        options.recordingList = VANE_SOURCE_DIR "/examples/id.csv";
        options.windFile = VANE_SOURCE_DIR "/examples/wind.csv";
        return options;
    }
    AnalyseOutcome analyse(const AnalyseOptions& options) {
        err_.str("");
        AnalyseOutcome outcome = analyseFiles(options, *berlin_, err_);
        EXPECT_TRUE(outcome.result && outcome.result->hasTable()) << err_.str();
        return outcome;
    }
    static std::int64_t total(const std::map<double, std::int64_t>& counts) {
        std::int64_t sum = 0;
        for (const auto& [key, count] : counts) {
            sum += count;
        }
        return sum;
    }

    std::unique_ptr<icu::TimeZone> berlin_{icu::TimeZone::createTimeZone("Europe/Berlin")};
    std::ostringstream err_;
};

TEST_F(ExampleSpeciesTest, PerGroupCurvesAreTheGroupsAnalysedOneByOne) {
    AnalyseOptions perGroup = exampleOptions();
    perGroup.perGroup = true;
    const AnalyseOutcome grouped = analyse(perGroup);
    ASSERT_TRUE(grouped.result);
    EXPECT_EQ(grouped.result->seriesNames,
              (std::vector<std::string>{"open-space", "pipistrelles", "myotis"}));
    EXPECT_TRUE(grouped.result->legend);
    EXPECT_EQ(grouped.seriesKind, "group");
    for (const std::string& group : grouped.result->seriesNames) {
        AnalyseOptions one = exampleOptions();
        one.filter.filter.species = {group};
        const AnalyseOutcome alone = analyse(one);
        ASSERT_TRUE(alone.result);
        EXPECT_EQ(grouped.result->classCounts.at(group), alone.result->classCounts.at("single"))
            << group;
    }
    // The open-space hunters keep flying in wind that sends the Myotis home.
    const auto& summaries = grouped.result->summaries;
    ASSERT_EQ(summaries.size(), 3u);
    ASSERT_FALSE(summaries[0].levels.empty());
    ASSERT_FALSE(summaries[2].levels.empty());
    EXPECT_GT(summaries[0].levels[0].readingBelow, summaries[2].levels[0].readingBelow);
    // Each row holds one pair of columns per group.
    const std::string& table = grouped.result->pasteboardText;
    const std::string firstRow = table.substr(0, table.find('\n'));
    EXPECT_EQ(std::count(firstRow.begin(), firstRow.end(), '\t'), 6);

    AnalyseOptions perSpecies = exampleOptions();
    perSpecies.perSpecies = true;
    const AnalyseOutcome species = analyse(perSpecies);
    ASSERT_TRUE(species.result);
    EXPECT_EQ(species.result->seriesNames.size(), 9u);  // the example's nine bat labels

    perGroup.stateColumn = "Operating state";
    const AnalyseOutcome stateByGroup = analyse(perGroup);
    ASSERT_TRUE(stateByGroup.result);
    EXPECT_EQ(stateByGroup.seriesKind, "state x group");
    ASSERT_EQ(stateByGroup.result->seriesNames.size(), 9u);
    EXPECT_EQ(stateByGroup.result->seriesNames.front(), "bat stop x open-space");
    EXPECT_EQ(stateByGroup.result->seriesNames.back(), "production x myotis");
}

TEST_F(ExampleSpeciesTest, FiltersChangeTheCountsAsExpected) {
    const auto countedWith = [&](const std::function<void(AnalyseOptions&)>& change) {
        AnalyseOptions options = exampleOptions();
        options.countRecordings = true;  // every recording counts once
        change(options);
        const AnalyseOutcome outcome = analyse(options);
        return outcome.result ? total(outcome.result->classCounts.at("single")) : -1;
    };
    const std::int64_t byDefault = countedWith([](AnalyseOptions&) {});
    const std::int64_t anyProbability =
        countedWith([](AnalyseOptions& o) { o.filter.filter.minProbability = 0.0; });
    const std::int64_t anyLabel = countedWith([](AnalyseOptions& o) {
        o.filter.filter.minProbability = 0.0;
        o.filter.filter.batsOnly = false;
    });
    const std::int64_t openSpace =
        countedWith([](AnalyseOptions& o) { o.filter.filter.species = {"open-space"}; });
    const std::int64_t noctules = countedWith([](AnalyseOptions& o) {
        o.filter.filter.species = {"nycnoc", "NYCLEI"};
    });
    EXPECT_LT(byDefault, anyProbability);
    EXPECT_LT(anyProbability, anyLabel);
    EXPECT_LT(openSpace, byDefault);
    EXPECT_LT(noctules, openSpace);
    EXPECT_GT(noctules, 0);
    // The note says what the default left out.
    AnalyseOptions options = exampleOptions();
    analyse(options);
    EXPECT_THAT(err_.str(), HasSubstr("Recordings left out: 423 labelled noise or no ID, 484 with "
                                      "an automatic probability below 0.5 (the default; "
                                      "--min-probability sets it); 4457 of 5364 counted\n"));
}

}  // namespace
}  // namespace vane::cli
