#include "cli/inspect_command.h"

#include <gtest/gtest.h>

#include <filesystem>
#include <fstream>
#include <sstream>

#include "tests/temp_path.h"

namespace vane::cli {
namespace {

class InspectCommandTest : public ::testing::Test {
  protected:
    std::filesystem::path file = vane::testing::uniqueTempPath("vane-inspect-command-test");
    std::ostringstream out_;
    std::ostringstream err_;

    void TearDown() override { std::filesystem::remove(file); }

    int run(const std::string& bytes, InspectOptions options = {}) {
        std::ofstream(file, std::ios::binary) << bytes;
        options.windFile = file;
        return runInspect(options, out_, err_);
    }
};

// Windows-1252: 0xB0 is the degree sign, 0xF6 is ö.
const std::string kWindowsLoggerFile =
    "Datum;Temp \xB0"
    "C;Wind m/s\r\n"
    "01.06.2012 00:00;12,5;3,4\r\n"
    "01.06.2012 00:10;12,4;3,1\r\n"
    "01.06.2012 00:20;12,4;2,9\r\n"
    "01.06.2012 00:30;12,3;St\xF6rung\r\n"
    "01.06.2012 00:40;12,1;3,0\r\n"
    "01.06.2012 00:50;12,0;3,2";

TEST_F(InspectCommandTest, ShowsAWindowsSemicolonFileAsThePreviewWould) {
    EXPECT_EQ(run(kWindowsLoggerFile), 0);
    EXPECT_EQ(out_.str(),
              "encoding: Windows Latin 1 (12), detected\n"
              "line-ending: CR LF (guessed)\n"
              "field-separator: ; (guessed)\n"
              "starting-line: 1\n"
              "columns: 1 Datum | 2 Temp °C | 3 Wind m/s\n"
              "data-rows: 6\n"
              "date-column: 1 Datum\n"
              "date-format: 2 dd.MM.yyyy HH:mm (guessed)\n"
              "wind-column: 3 Wind m/s\n"
              "temperature-column: 2 Temp °C (guessed from its title)\n"
              "state-column: none\n"
              "power-column: none\n"
              "decimal-separator: , (guessed)\n"
              "missing: -9999, -7999, -999, 9999, NaN, NA, ---, (empty) (the usual markers; "
              "others with --missing)\n"
              "zone: not said (read at --zone, else at this computer's offset at the first "
              "recording)\n"
              "stamps: end (the usual; --stamps begin when each stamp starts its step)\n"
              "row 1: 01.06.2012 00:00 | 12,5 | 3,4\n"
              "row 2: 01.06.2012 00:10 | 12,4 | 3,1\n"
              "row 3: 01.06.2012 00:20 | 12,4 | 2,9\n"
              "row 4: 01.06.2012 00:30 | 12,3 | Störung\n"
              "row 5: 01.06.2012 00:40 | 12,1 | 3,0\n");
    EXPECT_EQ(err_.str(), "");
}

TEST_F(InspectCommandTest, GivenChoicesOverrideTheGuessesAndControlCharactersShow) {
    InspectOptions options;
    options.reading.encoding = "Mac OS Roman";
    options.reading.lineEnding = "lf";
    options.reading.fieldSeparator = "tab";
    options.reading.startingLine = 2;
    EXPECT_EQ(run("x\nDate\tWind speed\r\n01.06.2012 00:00\t3,4\r\n", options), 0);
    const std::string shown = out_.str();
    EXPECT_NE(shown.find("encoding: Mac OS Roman (30), chosen\n"), std::string::npos) << shown;
    EXPECT_NE(shown.find("line-ending: LF\n"), std::string::npos) << shown;
    EXPECT_NE(shown.find("field-separator: tab\n"), std::string::npos) << shown;
    EXPECT_NE(shown.find("columns: 1 Date | 2 Wind speed\\r\n"), std::string::npos) << shown;
    EXPECT_NE(shown.find("row 1: 01.06.2012 00:00 | 3,4\\r\n"), std::string::npos) << shown;

    options.reading.encoding = "12";
    out_.str("");
    EXPECT_EQ(run(kWindowsLoggerFile, options), 0);
    EXPECT_NE(out_.str().find("encoding: Windows Latin 1 (12), chosen\n"), std::string::npos);

    // The user's zone and stamps win over what the preamble says.
    const std::string preamble =
        "Time Zone,-5\nTime stamps indicate the beginning of the time step.\n\n"
        "Date;Wind\n01.06.2012 00:00;3,4\n01.06.2012 00:10;3,1\n";
    out_.str("");
    EXPECT_EQ(run(preamble, {}), 0);
    EXPECT_NE(out_.str().find("zone: -0500 (the preamble says \"Time Zone,-5\")\n"),
              std::string::npos)
        << out_.str();
    InspectOptions byHand;
    byHand.zone = "Europe/Berlin";
    byHand.reading.stamps = "end";
    out_.str("");
    EXPECT_EQ(run(preamble, byHand), 0);
    EXPECT_NE(out_.str().find("zone: Europe/Berlin (--zone)\nstamps: end\n"), std::string::npos)
        << out_.str();
}

// A file without a table to analyse is bad input here as in the analysis, though what was found
// is still shown.
TEST_F(InspectCommandTest, AStartingLineOutsideTheFileOrAnEmptyFileIsBadInput) {
    InspectOptions options;
    options.reading.startingLine = 0;
    EXPECT_EQ(run(kWindowsLoggerFile, options), 2);
    EXPECT_NE(out_.str().find("data-rows: 0\n"), std::string::npos);
    EXPECT_EQ(err_.str(), "Problem with wind file: " + file.string() +
                              ": The starting line must be 1 or more, not 0.\n");
    err_.str("");
    EXPECT_EQ(run(""), 2);
    EXPECT_EQ(err_.str(), "Problem with wind file: " + file.string() +
                              ": The wind table is empty: the file has no text, or the chosen "
                              "line ending does not occur in it.\n");
}

// The line break that ends the last row opens no row of its own.
TEST_F(InspectCommandTest, CountsTheRowsWrittenWhateverEndsTheFile) {
    for (const std::string end : {"\n", "\r\n", "\r"}) {
        for (const bool finalBreak : {false, true}) {
            out_.str("");
            EXPECT_EQ(run("Date;Wind" + end + "01.06.2012 00:10;3" + end + "01.06.2012 00:20;4" +
                          end + "01.06.2012 00:30;5" + (finalBreak ? end : "")),
                      0)
                << err_.str();
            EXPECT_NE(out_.str().find("data-rows: 3\n"), std::string::npos) << out_.str();
            EXPECT_EQ(out_.str().find("row 4:"), std::string::npos) << out_.str();
        }
    }
    out_.str("");
    EXPECT_EQ(run("Date;Wind\n01.06.2012 00:10;3\n\n01.06.2012 00:30;5"), 0);
    EXPECT_NE(out_.str().find("data-rows: 3\n"), std::string::npos) << out_.str();
}

// A missing file is said to be missing; only bytes that are no text earn the request to send
// the file in.
TEST_F(InspectCommandTest, AnUnreadableFileIsTheProblemWithFileAlert) {
    InspectOptions options;
    options.windFile = file.string() + "-missing";
    EXPECT_EQ(runInspect(options, out_, err_), 2);
    EXPECT_EQ(out_.str(), "");
    EXPECT_EQ(err_.str(), "Problem with file: " + file.string() +
                              "-missing: cannot be opened: No such file or directory\n");

    err_.str("");
    options.reading.encoding = "UTF-8";
    EXPECT_EQ(run(kWindowsLoggerFile, options), 2) << "0xB0 is not UTF-8";
    EXPECT_EQ(err_.str().rfind("Problem with file: The csv file couldn't be read properly. Please "
                               "send it to Fenmark for further examination.\nerror " +
                                   file.string() + ": ",
                               0),
              0u)
        << err_.str();
}

TEST_F(InspectCommandTest, UnknownChoicesAreBadUsage) {
    InspectOptions options;
    options.reading.encoding = "Klingon";
    EXPECT_EQ(run(kWindowsLoggerFile, options), 2);
    options.reading.encoding = "256";
    EXPECT_EQ(run(kWindowsLoggerFile, options), 2);
    options.reading.encoding = "99999999999999999999";
    EXPECT_EQ(run(kWindowsLoggerFile, options), 2);
    options.reading.encoding.reset();
    options.reading.lineEnding = "crcr";
    EXPECT_EQ(run(kWindowsLoggerFile, options), 2);
    options.reading.lineEnding.reset();
    options.reading.stamps = "middle";
    EXPECT_EQ(run(kWindowsLoggerFile, options), 2);
    options.reading.stamps.reset();
    options.zone = "Mars/Olympus";
    EXPECT_EQ(run(kWindowsLoggerFile, options), 2);
    EXPECT_EQ(out_.str(), "");
}

}  // namespace
}  // namespace vane::cli
