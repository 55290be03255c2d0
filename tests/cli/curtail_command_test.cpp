#include "cli/curtail_command.h"

#include <gmock/gmock.h>
#include <gtest/gtest.h>
#include <unicode/timezone.h>

#include <CLI/CLI.hpp>
#include <algorithm>
#include <cctype>
#include <cmath>
#include <cstdio>
#include <filesystem>
#include <fstream>
#include <functional>
#include <iterator>
#include <map>
#include <memory>
#include <optional>
#include <sstream>
#include <string>
#include <vector>

#include "core/time/civil_date.h"
#include "tests/temp_path.h"

namespace vane::cli {
namespace {

using ::testing::EndsWith;
using ::testing::HasSubstr;
using ::testing::MatchesRegex;
using ::testing::Not;
using ::testing::StartsWith;

// The shipped example season, planned with its power column.
class CurtailCommandTest : public ::testing::Test {
  protected:
    void SetUp() override {
        folder_ = vane::testing::uniqueTempPath("vane-curtail-test");
        std::filesystem::create_directories(folder_);
        options_ = CurtailOptions{};
        options_.input.recordingList =
            std::filesystem::path(VANE_SOURCE_DIR) / "examples" / "recordings.txt";
        options_.input.windFile = std::filesystem::path(VANE_SOURCE_DIR) / "examples" / "wind.csv";
        options_.latitude = 49.60;
        options_.longitude = 11.05;
        options_.powerColumn = "Power (kW)";
    }
    void TearDown() override { std::filesystem::remove_all(folder_); }

    std::filesystem::path write(const std::string& name, const std::string& text) const {
        std::ofstream(folder_ / name, std::ios::binary) << text;
        return folder_ / name;
    }
    static std::string read(const std::filesystem::path& path) {
        std::ifstream in(path, std::ios::binary);
        return {std::istreambuf_iterator<char>(in), {}};
    }

    int run() {
        out_.str("");
        err_.str("");
        return runCurtail(options_, *berlin_, out_, err_);
    }

    std::unique_ptr<icu::TimeZone> berlin_{icu::TimeZone::createTimeZone("Europe/Berlin")};
    std::filesystem::path folder_;
    CurtailOptions options_;
    std::ostringstream out_;
    std::ostringstream err_;
};

// The number after `"key":` in the JSON text, from `from` on.
double jsonValue(const std::string& json, const std::string& key, std::size_t from = 0) {
    const std::size_t at = json.find("\"" + key + "\":", from);
    return at == std::string::npos ? -1.0 : std::stod(json.substr(at + key.size() + 3));
}

TEST_F(CurtailCommandTest, ThePlanIsATableSummaryAndEstimateLinesAndTheJsonOfTheSameNumbers) {
    options_.jsonFile = folder_ / "plan.json";
    ASSERT_EQ(run(), 0) << err_.str();
    const std::string out = out_.str();
    EXPECT_THAT(out, StartsWith("month\tnight_part\tcut_in\tactivity\tprotected\tcurtailed_hours\t"
                                "energy_lost_kWh\tdecided_by\n4\t1\t"));
    EXPECT_THAT(out, HasSubstr("\nBlanket: cut-in 6.0 m/s in every cell: "));
    EXPECT_THAT(out, HasSubstr("\nTailored (activity model): a cut-in in "));
    EXPECT_THAT(out,
                MatchesRegex(".*\nBlanket: expected [0-9]+ % \\([0-9]+-[0-9]+ %\\) on nights it "
                             "was not made from, [0-9.]+ MWh lost there\n.*"));
    EXPECT_THAT(out, MatchesRegex(".*\nTailored: expected [0-9]+ % \\([0-9]+-[0-9]+ %\\) on nights "
                                  "it was not made from, [0-9.]+ MWh lost there\n.*"));
    EXPECT_THAT(out, HasSubstr("\nEstimate: 5-fold cross-validation over whole weeks of nights"));
    EXPECT_THAT(err_.str(), HasSubstr("no effort file: every night from the first to the last"));
    EXPECT_THAT(err_.str(), HasSubstr("Activity: 1471 in the nights, 17 outside the nights"));
    const std::string json = read(folder_ / "plan.json");
    EXPECT_THAT(json, StartsWith("{\"target\":90,\"activity_total\":1471,"
                                 "\"activity_outside_nights\":17,\"production_kwh\":"));
    EXPECT_THAT(json, HasSubstr(",\"blanket\":{\"cut_in\":6,\"protected_share\":"));
    EXPECT_THAT(json, HasSubstr(",\"tailored\":{\"fit\":\"model\",\"in_sample\":false,"));
    EXPECT_THAT(json, HasSubstr("\"cells\":[{\"month\":4,\"night_part\":1,\"cut_in\":"));
    EXPECT_THAT(json, HasSubstr("\"tradeoff\":[{\"protect\":50,\"blanket_kwh\":"));
    EXPECT_THAT(json, HasSubstr("{\"protect\":99,"));
    EXPECT_THAT(json, HasSubstr("\"validation\":{\"method\":\"weeks_of_nights\",\"folds\":5,"));
    // One season: no year to hold out.
    EXPECT_THAT(json, HasSubstr("\"holdout\":[],"));
    // Every setting the plan was made with, so that the file says what it answers.
    EXPECT_THAT(
        json,
        EndsWith(",\"settings\":{\"latitude\":49.6,\"longitude\":11.05,\"zone\":\"Europe/Berlin\","
                 "\"night_parts\":10,\"minutes_before_sunset\":0,"
                 "\"minutes_after_sunrise\":0,\"temperature_floor\":null,"
                 "\"power\":\"column Power (kW)\",\"effort\":\"recordings\","
                 "\"fit\":\"model\",\"min_cell_activity\":0,"
                 "\"wind_file\":\"wind.csv\",\"recordings\":\"recordings.txt\","
                 "\"project\":null,\"turbine\":null,\"detector\":null}}\n"));
    // The shares as fractions, each inside its interval, and printed as whole percent.
    for (const char* plan : {"\"blanket\":", "\"tailored\":"}) {
        const std::size_t from = json.find(plan);
        const double expected = jsonValue(json, "expected_share", from);
        const std::size_t interval = json.find("\"share_interval\":[", from) + 18;
        const double low = std::stod(json.substr(interval));
        const double high = std::stod(json.substr(json.find(',', interval) + 1));
        EXPECT_LE(low, expected) << plan;
        EXPECT_LE(expected, high) << plan;
        EXPECT_GT(low, 0.5) << plan;
        char line[64];
        std::snprintf(line, sizeof line, "expected %d %% (",
                      static_cast<int>(std::round(100 * expected)));
        EXPECT_THAT(out, HasSubstr(line)) << plan;
    }
    // The tailored plan keeps its promise at well under the blanket plan's energy, also on the
    // nights it was not made from.
    const std::size_t tailored = json.find("\"tailored\":");
    EXPECT_GE(jsonValue(json, "expected_share", tailored), 0.89);
    EXPECT_LT(jsonValue(json, "expected_energy_lost_kwh", tailored),
              0.75 * jsonValue(json, "expected_energy_lost_kwh", json.find("\"blanket\":")));
}

// The exact fit says everywhere that its share is in sample; sparse cells take their month's
// cut-in, and the controller's table covers every night of every month with the plan's cut-ins.
TEST_F(CurtailCommandTest, TheReportNamesWhatThePlanIsForAndTablesEveryCellAfterThePlan) {
    options_.projectName = "Windpark \"Höhe\"";
    options_.turbineName = "WEA 3";
    options_.detectorName = "Batcorder 1234, nacelle";
    options_.jsonFile = folder_ / "plan.json";
    options_.pdfFile = folder_ / "plan.pdf";
    ASSERT_EQ(run(), 0) << err_.str();
    EXPECT_THAT(read(folder_ / "plan.json"),
                HasSubstr("\"project\":\"Windpark \\\"Höhe\\\"\",\"turbine\":\"WEA 3\","
                          "\"detector\":\"Batcorder 1234, nacelle\"}}"));
    // Two pages of the plan, then its 70 cells at 64 a page, the definitions after the last.
    const std::string pdf = read(folder_ / "plan.pdf");
    std::size_t pages = 0;
    for (std::size_t at = pdf.find("/Type /Page\n"); at != std::string::npos;
         at = pdf.find("/Type /Page\n", at + 1)) {
        ++pages;
    }
    EXPECT_EQ(pages, 4u);
}

TEST_F(CurtailCommandTest, TheExactFitSaysInSampleAndTheControllerTableCoversEachNight) {
    options_.fit = PlanFit::exact;
    options_.minCellActivity = 5;
    options_.temperatureFloor = 10.0;
    options_.jsonFile = folder_ / "plan.json";
    options_.controllerFile = folder_ / "controller.csv";
    ASSERT_EQ(run(), 0) << err_.str();
    const std::string out = out_.str();
    EXPECT_THAT(out, HasSubstr("\nTailored (exact fit, in-sample): a cut-in in "));
    EXPECT_THAT(read(folder_ / "plan.json"),
                HasSubstr(",\"tailored\":{\"fit\":\"exact\",\"in_sample\":true,"));
    int fromMonth = 0;
    std::map<std::pair<int, int>, double> cutIns;
    std::istringstream table(out);
    std::string line;
    std::getline(table, line);
    while (std::getline(table, line) && std::isdigit(static_cast<unsigned char>(line[0]))) {
        int month = 0;
        int part = 0;
        double cutIn = 0.0;
        ASSERT_EQ(std::sscanf(line.c_str(), "%d %d %lf", &month, &part, &cutIn), 3) << line;
        cutIns[{month, part}] = cutIn;
        fromMonth += line.ends_with("\tmonth");
    }
    EXPECT_GT(fromMonth, 0);
    EXPECT_THAT(out, HasSubstr("Cells with fewer than 5 active intervals: " +
                               std::to_string(fromMonth) + ", each with its month's cut-in"));

    std::istringstream controller(read(folder_ / "controller.csv"));
    std::getline(controller, line);
    EXPECT_EQ(line, "month,reference,start_min,end_min,cut_in_ms,temperature_floor_c");
    std::map<int, std::vector<std::string>> windows;
    while (std::getline(controller, line)) {
        windows[std::stoi(line)].push_back(line);
    }
    ASSERT_EQ(windows.size(), 7u);  // April to October
    for (const auto& [month, rows] : windows) {
        int part = 1;
        long sunsetEnd = 0;  // each window starts where the one before ended, from sunset on
        for (std::size_t k = 0; k < rows.size(); ++k) {
            char reference[16] = {};
            long start = 0;
            long end = 0;
            double cutIn = 0.0;
            double floor = 0.0;
            ASSERT_EQ(std::sscanf(rows[k].c_str(), "%*d,%15[a-z],%ld,%ld,%lf,%lf", reference,
                                  &start, &end, &cutIn, &floor),
                      5)
                << rows[k];
            EXPECT_DOUBLE_EQ(floor, 10.0);
            const bool last = k + 1 == rows.size();
            EXPECT_EQ(std::string(reference), last ? "sunrise" : "sunset") << rows[k];
            if (last) {
                EXPECT_EQ(end, 0) << rows[k];
            } else {
                EXPECT_EQ(start, sunsetEnd) << rows[k];
                EXPECT_GT(end, start) << rows[k];
                sunsetEnd = end;
            }
            // The window's cut-in is the plan's for each part it holds; a neighbour differs.
            const auto planned = [&] { return cutIns[std::make_pair(month, part)]; };
            EXPECT_DOUBLE_EQ(cutIn, planned()) << rows[k];
            while (part <= 10 && planned() == cutIn) {
                ++part;
            }
        }
        EXPECT_EQ(part, 11) << "month " << month;
    }
}

TEST_F(CurtailCommandTest, AnEffortFileAndAFloorShrinkWhatIsPlanned) {
    options_.effortFile = write("effort.csv", "start,end\n2012-06-01 12:00,2012-07-01 12:00\n");
    options_.temperatureFloor = 10.0;
    ASSERT_EQ(run(), 0) << err_.str();
    EXPECT_THAT(err_.str(), HasSubstr("Activity outside the effort: "));
    EXPECT_THAT(err_.str(), HasSubstr("Temperature column: 3 Temperature (C) (guessed"));
    // Only June has cells.
    EXPECT_THAT(out_.str(), MatchesRegex("month[^\n]*\n(6\t[^\n]*\n){10}Blanket.*"));
}

// Two summers: each is planned from the other, and the report is two A4 pages.
TEST_F(CurtailCommandTest, TwoYearsAreEachCheckedWithThePlanOfTheOther) {
    std::string wind = "Date;Wind;Power\n";
    std::string recordings;
    for (const int year : {2011, 2012}) {
        for (int step = 0; step < 36; ++step) {
            const int minutes = 22 * 60 + 10 * step;
            const int day = minutes < 24 * 60 ? 14 : 15;
            char row[64];
            // Calm early in the night in 2011, later in 2012.
            const double speed = (year == 2011 ? step : 35 - step) * 0.25;
            std::snprintf(row, sizeof row, "%04d-07-%02d %02d:%02d;%.2f;%d\n", year, day,
                          minutes / 60 % 24, minutes % 60, speed, static_cast<int>(speed * 100));
            wind += row;
            std::snprintf(row, sizeof row, "%04d-07-%02d %02d:%02d:30\n", year, day,
                          minutes / 60 % 24, minutes % 60);
            recordings += row;
        }
    }
    // A third summer of one active interval: listed, but too little to judge a plan by.
    wind += "2013-07-14 23:00;1.00;100\n2013-07-14 23:10;1.00;100\n";
    recordings += "2013-07-14 23:00:30\n";
    options_.input.windFile = write("wind.csv", wind);
    options_.input.recordingList = write("recordings.txt", recordings);
    options_.input.dateFormat = "yyyy-MM-dd HH:mm";
    options_.powerColumn = "Power";
    options_.pngFile = folder_ / "plan.png";
    ASSERT_EQ(run(), 0) << err_.str();
    EXPECT_THAT(out_.str(), HasSubstr("\nheld_out_year\tactivity\tprotected_tailored\t"
                                      "protected_blanket\n2011\t35\t"));
    EXPECT_THAT(out_.str(), HasSubstr("\n2012\t35\t"));
    EXPECT_THAT(out_.str(), HasSubstr("\n2013\t1\t-\t-\n"));
    EXPECT_THAT(out_.str(), HasSubstr("\nEstimate: each of 2 years planned from the other years"));
    EXPECT_THAT(err_.str(), HasSubstr("Year 2013: activity 1, less than 5 % of the mean year's"));
    // 1190 by 5052 pixels: three A4 pages at 144 dpi, one below the other (the plan on two, its
    // cells and the definitions on the third).
    const std::string png = read(folder_ / "plan.png");
    ASSERT_GT(png.size(), 24u);
    EXPECT_EQ(png.substr(16, 8), std::string("\0\0\x04\xa6\0\0\x13\xbc", 8));
}

// New Zealand's summer time is UTC+13: January to March must keep their nights like any other.
TEST_F(CurtailCommandTest, ASiteAtThirteenHoursEastKeepsItsSummerNights) {
    std::string wind = "Date;Wind;Power\n";
    std::string recordings;
    for (int day = 0; day < 181; ++day) {
        const CivilDate date = addDays({2013, 1, 1}, day);
        for (int step = 0; step < 144; ++step) {
            char row[64];
            std::snprintf(row, sizeof row, "%s %02d:%02d;%.1f;%d\n", formatIsoDate(date).c_str(),
                          step / 6, step % 6 * 10, 2.0 + step % 7, 100 * (step % 7));
            wind += row;
        }
        recordings += formatIsoDate(date) + " 23:05:00\n";
    }
    options_.input.windFile = write("wind.csv", wind);
    options_.input.recordingList = write("recordings.txt", recordings);
    options_.input.dateFormat = "yyyy-MM-dd HH:mm";
    options_.powerColumn = "Power";
    options_.zoneName = "Pacific/Auckland";
    options_.latitude = -41.29;
    options_.longitude = 174.78;
    ASSERT_EQ(run(), 0) << err_.str();
    EXPECT_THAT(err_.str(), HasSubstr(" in the nights, 0 outside the nights"));
    EXPECT_THAT(err_.str(), Not(HasSubstr("Days without a night")));
    for (const char* month : {"\n1\t", "\n2\t", "\n3\t", "\n4\t", "\n5\t", "\n6\t"}) {
        EXPECT_THAT(out_.str(), HasSubstr(month));
    }
}

// A data sheet's table of several turbines in W gives the plan of the same curve in two columns
// of kW, and says which row and unit it took.
TEST_F(CurtailCommandTest, ATurbinesRowOfAWideTablePlansAsItsCurveInTwoColumns) {
    options_.powerColumn.reset();
    options_.jsonFile = folder_ / "plan.json";
    options_.powerCurve = write("v90.csv", "wind,kW\n0,0\n3,0\n12,2000\n25,2000\n");
    ASSERT_EQ(run(), 0) << err_.str();
    const std::string longTable = out_.str();
    EXPECT_THAT(err_.str(), HasSubstr("Power curve v90.csv: kW, as the title says\n"));

    options_.powerCurve =
        write("curves.csv",
              "Power curves from the data sheets\r\nturbine_type,0.0,3.0,12.0,25.0\r\n"
              "E-82,0,0,2300000,2300000\r\nV90-2MW,0,0,2000000,2000000\r\n");
    options_.powerCurveTurbine = "v90-2mw";
    ASSERT_EQ(run(), 0) << err_.str();
    EXPECT_EQ(out_.str(), longTable);
    EXPECT_THAT(err_.str(), HasSubstr("Power curve curves.csv, turbine V90-2MW: W, as no title "
                                      "names the unit, and the highest value, 2300000, is above "
                                      "30000"));
    EXPECT_THAT(read(folder_ / "plan.json"), HasSubstr("\"power\":\"curve curves.csv, V90-2MW\""));
}

// The row goes by --turbine, which needs the table, and in a project by its longer name.
TEST(CurtailOptionsTest, TheTurbineOfThePowerCurveNeedsTheCurve) {
    const struct {
        std::vector<std::string> arguments;
        bool parsed;
    } cases[] = {
        {{"--power-curve", "curves.csv", "--turbine", "V90-2MW"}, true},
        {{"--power-curve=curves.csv", "--power-curve-turbine=V90-2MW"}, true},
        {{"--turbine", "V90-2MW"}, false},
    };
    for (const auto& c : cases) {
        CurtailOptions options;
        CLI::App command;
        addCurtailOptions(command, options);
        std::vector<std::string> arguments = {"--recordings", "r.txt", "--wind", "w.csv",
                                              "--lat",        "49",    "--lon",  "11"};
        arguments.insert(arguments.end(), c.arguments.begin(), c.arguments.end());
        std::reverse(arguments.begin(), arguments.end());  // CLI11 takes them from the back
        bool parsed = true;
        try {
            command.parse(arguments);
        } catch (const CLI::ParseError&) {
            parsed = false;
        }
        EXPECT_EQ(parsed, c.parsed) << c.arguments.front();
        if (parsed) {
            EXPECT_EQ(options.powerCurveTurbine, std::optional<std::string>("V90-2MW"));
        }
    }
}

TEST_F(CurtailCommandTest, DamagedOrMisnamedInputsAreRefusedWithWhereAndWhy) {
    struct Case {
        std::string name;
        std::function<void()> change;
        std::string message;
    };
    const Case cases[] = {
        {"no such power column", [this] { options_.powerColumn = "Leistung"; },
         "Bad usage: the wind file has no column \"Leistung\" (columns: 1 "},
        {"power curve falling",
         [this] {
             options_.powerColumn.reset();
             options_.powerCurve = write("curve.csv", "wind,kW\n3,0\n12,2000\n11,1900\n");
         },
         "curve.csv:4: the wind speeds must rise"},
        {"power curve of several turbines, none chosen",
         [this] {
             options_.powerColumn.reset();
             options_.powerCurve = write(
                 "curves.csv", "turbine_type,0,3,12,25\nE-82,0,0,2300,2300\nV90,0,0,2000,2000\n");
         },
         "curves.csv: the table holds the curves of 2 turbines; name one (--turbine, or "
         "power-curve-turbine in a project): \"E-82\", \"V90\""},
        {"power curve without power",
         [this] {
             options_.powerColumn.reset();
             options_.powerCurve = write("curve.csv", "wind,kW\n3,0\n12,0\n25,-0.5\n");
         },
         "Bad power curve: " + (folder_ / "curve.csv").string() +
             ": no line gives a power above 0 kW"},
        {"effort backwards",
         [this] {
             options_.effortFile = write("effort.csv", "2012-06-02 00:00,2012-06-01 00:00\n");
         },
         "effort.csv:1: the end 2012-06-01 00:00 is not after the start"},
        {"output over the wind file", [this] { options_.jsonFile = options_.input.windFile; },
         "Bad usage: "},
        {"controller table over the recordings",
         [this] { options_.controllerFile = options_.input.recordingList; }, "Bad usage: "},
        {"unknown zone", [this] { options_.zoneName = "Mars/Olympus"; },
         "unknown time zone \"Mars/Olympus\""},
    };
    for (const Case& c : cases) {
        SetUp();
        c.change();
        EXPECT_EQ(run(), 2) << c.name;
        EXPECT_THAT(err_.str(), HasSubstr(c.message)) << c.name;
        EXPECT_TRUE(out_.str().empty()) << c.name;
    }
}

}  // namespace
}  // namespace vane::cli
