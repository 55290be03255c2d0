#include "farm/project_run.h"

#include <gmock/gmock.h>
#include <gtest/gtest.h>
#include <unicode/timezone.h>

#include <filesystem>
#include <fstream>
#include <iterator>
#include <memory>
#include <sstream>
#include <string>

#include "cli/curtail_command.h"
#include "farm/project_lock.h"
#include "tests/temp_path.h"

namespace vane::farm {
namespace {

using ::testing::HasSubstr;
using ::testing::Not;

std::string read(const std::filesystem::path& path) {
    std::ifstream in(path, std::ios::binary);
    return {std::istreambuf_iterator<char>(in), {}};
}

void write(const std::filesystem::path& path, const std::string& text) {
    std::ofstream(path, std::ios::binary) << text;
}

// A PDF without the instant it was made, which no two runs share.
std::string withoutCreationDate(std::string text) {
    for (std::size_t at = text.find("/CreationDate"); at != std::string::npos;
         at = text.find("/CreationDate", at + 1)) {
        const std::size_t end = text.find(')', at);
        text.replace(at, end - at, end - at, 'x');
    }
    return text;
}

// Three turbines on the example season with options of their own, run once serially and once
// in parallel.
class ProjectCommandTest : public ::testing::Test {
  protected:
    static void SetUpTestSuite() {
        folder_ = new std::filesystem::path(vane::testing::uniqueTempPath("vane-project-test"));
        std::filesystem::create_directories(*folder_);
        const std::filesystem::path examples = std::filesystem::path(VANE_SOURCE_DIR) / "examples";
        write(*folder_ / "farm.toml",
              "farm = \"Example farm\"\n"
              "[defaults]\n"
              "recordings = \"" +
                  (examples / "recordings.txt").string() +
                  "\"\n"
                  "wind = \"" +
                  (examples / "wind.csv").string() +
                  "\"\n"
                  "zone-name = \"Europe/Berlin\"\n"
                  "power-column = \"Power (kW)\"\n"
                  "lat = 49.60\nlon = 11.05\n"
                  "[[turbine]]\nname = \"WEA 1\"\n"
                  "[[turbine]]\nname = \"WEA 2\"\nprotect = 80\nnight-parts = 5\n"
                  "[[turbine]]\nname = \"WEA 3\"\nlat = 50.1\nbefore-sunset = 30\n"
                  "min-cell-activity = 3\n");
        for (const auto& [jobs, out] : {std::pair{1u, "serial"}, std::pair{3u, "parallel"}}) {
            std::ostringstream said;
            std::ostringstream notes;
            statuses_[jobs == 1 ? 0 : 1] = runProject(
                {.projectFile = *folder_ / "farm.toml", .outFolder = *folder_ / out, .jobs = jobs},
                *berlin(), said, notes);
            (jobs == 1 ? serialSaid_ : parallelSaid_) = new std::string(said.str() + notes.str());
        }
    }
    static void TearDownTestSuite() {
        std::filesystem::remove_all(*folder_);
        delete folder_;
        delete serialSaid_;
        delete parallelSaid_;
    }
    static const icu::TimeZone* berlin() {
        static const std::unique_ptr<icu::TimeZone> zone(
            icu::TimeZone::createTimeZone("Europe/Berlin"));
        return zone.get();
    }

    static inline std::filesystem::path* folder_ = nullptr;
    static inline int statuses_[2] = {-1, -1};
    static inline std::string* serialSaid_ = nullptr;
    static inline std::string* parallelSaid_ = nullptr;
};

TEST_F(ProjectCommandTest, EachTurbineHasTheNumbersOfItsOwnCurtailRun) {
    ASSERT_EQ(statuses_[0], 0) << *serialSaid_;
    const std::filesystem::path examples = std::filesystem::path(VANE_SOURCE_DIR) / "examples";
    const struct {
        const char* folder;
        double latitude;
        double protect;
        int nightParts;
        int beforeSunset;
        int minCellActivity;
    } turbines[] = {{"WEA_1", 49.60, 90, 10, 0, 0},
                    {"WEA_2", 49.60, 80, 5, 0, 0},
                    {"WEA_3", 50.1, 90, 10, 30, 3}};
    for (const auto& turbine : turbines) {
        SCOPED_TRACE(turbine.folder);
        cli::CurtailOptions options;
        options.input.recordingList = examples / "recordings.txt";
        options.input.windFile = examples / "wind.csv";
        options.zoneName = "Europe/Berlin";
        options.powerColumn = "Power (kW)";
        options.latitude = turbine.latitude;
        options.longitude = 11.05;
        options.protectPercent = turbine.protect;
        options.nightParts = turbine.nightParts;
        options.minutesBeforeSunset = turbine.beforeSunset;
        options.minCellActivity = turbine.minCellActivity;
        options.projectName = "Example farm";
        options.turbineName = std::string(turbine.folder).replace(3, 1, " ");
        options.jsonFile = *folder_ / (std::string(turbine.folder) + ".json");
        std::ostringstream out;
        std::ostringstream err;
        ASSERT_EQ(cli::runCurtail(options, *berlin(), out, err), 0) << err.str();
        const std::filesystem::path made = *folder_ / "serial" / turbine.folder;
        EXPECT_EQ(read(made / "plan.txt"), out.str());
        EXPECT_EQ(read(made / "plan.json"), read(*options.jsonFile));
        EXPECT_THAT(read(made / "analysis.tsv"), HasSubstr("\n"));
        EXPECT_TRUE(std::filesystem::exists(made / "yearly.png"));
    }
}

TEST_F(ProjectCommandTest, ParallelAndSerialRunsWriteTheSameFiles) {
    ASSERT_EQ(statuses_[1], 0) << *parallelSaid_;
    int files = 0;
    for (const auto& entry : std::filesystem::recursive_directory_iterator(*folder_ / "serial")) {
        if (!entry.is_regular_file()) {
            continue;
        }
        const std::filesystem::path relative =
            std::filesystem::relative(entry.path(), *folder_ / "serial");
        SCOPED_TRACE(relative.string());
        ++files;
        const std::filesystem::path twin = *folder_ / "parallel" / relative;
        ASSERT_TRUE(std::filesystem::exists(twin));
        if (relative.extension() == ".pdf") {
            EXPECT_TRUE(withoutCreationDate(read(entry.path())) == withoutCreationDate(read(twin)));
        } else {
            EXPECT_TRUE(read(entry.path()) == read(twin));
        }
    }
    EXPECT_EQ(files, 3 + 3 * 9);  // the lock, the farm's two files and each turbine's nine
}

TEST_F(ProjectCommandTest, TurbinesPlannedWithOtherSettingsHaveNoFarmPlan) {
    EXPECT_THAT(*serialSaid_, HasSubstr("No farm plan: turbines \"WEA 1\" and \"WEA 2\" differ "
                                        "in protect; one plan for both needs the same"));
    EXPECT_FALSE(std::filesystem::exists(*folder_ / "serial" / "farm-plan.json"));
    EXPECT_THAT(read(*folder_ / "serial" / "farm-summary.tsv"), Not(HasSubstr("\nfarm plan\t")));
}

// Two turbines that saw the same bats in the same wind, serially and in parallel: their farm
// plan is the plan either makes alone.
TEST(FarmPlanProjectTest, IdenticalTurbinesGetTheirOwnPlanAsTheFarmPlanInEveryRun) {
    const std::filesystem::path folder = vane::testing::uniqueTempPath("vane-farm-plan-test");
    std::filesystem::create_directories(folder);
    const std::filesystem::path examples = std::filesystem::path(VANE_SOURCE_DIR) / "examples";
    write(folder / "farm.toml", "farm = \"Twins\"\n[defaults]\nrecordings = \"" +
                                    (examples / "recordings.txt").string() + "\"\nwind = \"" +
                                    (examples / "wind.csv").string() +
                                    "\"\nzone-name = \"Europe/Berlin\"\n"
                                    "power-column = \"Power (kW)\"\nlat = 49.60\nlon = 11.05\n"
                                    "[[turbine]]\nname = \"A\"\n[[turbine]]\nname = \"B\"\n");
    const std::unique_ptr<icu::TimeZone> zone(icu::TimeZone::createTimeZone("Europe/Berlin"));
    for (const auto& [jobs, out] : {std::pair{1u, "serial"}, std::pair{2u, "parallel"}}) {
        std::ostringstream said;
        ASSERT_EQ(
            runProject(
                {.projectFile = folder / "farm.toml", .outFolder = folder / out, .jobs = jobs},
                *zone, said, said),
            0)
            << said.str();
        EXPECT_THAT(said.str(), HasSubstr("Farm plan: farm-plan.json and farm-plan.txt"));
    }
    const std::filesystem::path serial = folder / "serial";
    const std::string cells = "\"cells\":[";
    const auto cellsOf = [&](const std::string& json) {
        const std::size_t from = json.find(cells);
        return json.substr(from, json.find(']', from) - from);
    };
    EXPECT_EQ(cellsOf(read(serial / "farm-plan.json")), cellsOf(read(serial / "A" / "plan.json")));
    for (const char* turbine : {"A", "B"}) {
        EXPECT_EQ(read(serial / turbine / "farm-plan-controller.csv"),
                  read(serial / turbine / "controller.csv"));
    }
    const std::string summary = read(serial / "farm-summary.tsv");
    EXPECT_THAT(summary, HasSubstr("\tfarm_plan_protection\tfarm_plan_energy_lost\t"));
    EXPECT_THAT(summary, HasSubstr("\nfarm plan\t"));
    EXPECT_THAT(read(serial / "farm-plan.json"), HasSubstr("\"turbines\":[{\"name\":\"A\""));
    for (const char* name : {"farm-plan.json", "farm-plan.txt", "farm-summary.tsv",
                             "A/farm-plan-controller.csv", "B/farm-plan-controller.csv"}) {
        EXPECT_TRUE(read(serial / name) == read(folder / "parallel" / name)) << name;
    }
    EXPECT_TRUE(withoutCreationDate(read(serial / "farm.pdf")) ==
                withoutCreationDate(read(folder / "parallel" / "farm.pdf")));
    std::filesystem::remove_all(folder);
}

// A turbine of a few recordings and a day of wind, quick to run again.
class SmallProjectTest : public ::testing::Test {
  protected:
    void SetUp() override {
        folder_ = vane::testing::uniqueTempPath("vane-small-project-test");
        std::filesystem::create_directories(folder_ / "t1");
        write(folder_ / "t1" / "recordings.txt",
              "2012-06-01T22:03:54+02:00\n2012-06-01T23:13:00+02:00\n");
        std::string wind = "Date/Time;Wind speed (m/s)\n";
        for (int hour = 20; hour < 24; ++hour) {
            for (int minute = 0; minute < 60; minute += 10) {
                wind += "01.06.2012 " + std::to_string(hour) + ":" +
                        (minute == 0 ? "00" : std::to_string(minute)) + ";" +
                        std::to_string(2 + hour % 3) + ",5\n";
            }
        }
        write(folder_ / "t1" / "wind.csv", wind);
    }
    void TearDown() override { std::filesystem::remove_all(folder_); }

    int run(std::string& said) {
        std::ostringstream out;
        std::ostringstream err;
        const int status = runProject(
            {.projectFile = folder_ / "farm.toml", .outFolder = folder_ / "out", .jobs = 1}, *zone_,
            out, err);
        said = out.str() + err.str();
        return status;
    }
    int check(std::string& said) {
        std::ostringstream out;
        std::ostringstream err;
        const int status = checkProject(folder_ / "farm.toml", *zone_, out, err);
        said = out.str() + err.str();
        return status;
    }

    std::unique_ptr<icu::TimeZone> zone_{icu::TimeZone::createTimeZone("Europe/Berlin")};
    std::filesystem::path folder_;
};

TEST_F(SmallProjectTest, ALaterRunSaysWhichInputsChanged) {
    write(folder_ / "farm.toml",
          "[[turbine]]\nname = \"T1\"\nrecordings = \"t1/recordings.txt\"\n"
          "wind = \"t1/wind.csv\"\nlat = 49.6\nlon = 11.05\n");
    std::string said;
    run(said);
    const std::string lock = read(folder_ / "out" / kProjectLockName);
    EXPECT_THAT(lock, HasSubstr("t1/wind.csv"));
    run(said);
    EXPECT_THAT(said, HasSubstr("Inputs and options as in the last run"));
    write(folder_ / "t1" / "recordings.txt", "2012-06-01T22:03:54+02:00\n");
    write(folder_ / "farm.toml", read(folder_ / "farm.toml") + "protect = 80\n");
    run(said);
    EXPECT_THAT(said, HasSubstr("Changed input: " + (folder_ / "t1" / "recordings.txt").string()));
    EXPECT_THAT(said, HasSubstr("Options changed for turbine T1"));
    EXPECT_THAT(said, Not(HasSubstr("wind.csv (")));
    EXPECT_THAT(read(folder_ / "out" / kProjectLockName), HasSubstr("--protect=80"));
}

TEST_F(SmallProjectTest, ADamagedTurbineIsNamedWithItsLineAndTheOthersAreStillChecked) {
    write(folder_ / "farm.toml",
          "[defaults]\nlat = 49.6\nlon = 11.05\nwind = \"t1/wind.csv\"\n"
          "[[turbine]]\nname = \"T1\"\nrecordings = \"t1/recordings.txt\"\n"
          "[[turbine]]\nname = \"T2\"\nrecordings = \"t1/recordings.txt\"\nprotekt = 80\n"
          "[[turbine]]\nname = \"T3\"\nrecordings = \"t1/recordings.txt\"\nprotect = 200\n"
          "[[turbine]]\nname = \"T4\"\nrecordings = \"t4/missing.txt\"\n");
    std::string said;
    EXPECT_EQ(check(said), 2);
    const std::string file = (folder_ / "farm.toml").string();
    EXPECT_THAT(said, HasSubstr(file + ":11: unknown key \"protekt\" in turbine \"T2\""));
    EXPECT_THAT(said, HasSubstr(file + ":15: turbine \"T3\": --protect: Value 200 not in range"));
    EXPECT_THAT(said, HasSubstr("Turbine T1 (line 5)\n"));
    EXPECT_THAT(said, HasSubstr("Coverage: 100.0 % of the activity (in 10-minute bins)"));
    EXPECT_THAT(said, HasSubstr("Turbine T4 (line 16)\n"));
    EXPECT_THAT(said, HasSubstr(file + ":16: turbine \"T4\": its inputs could not be read"));
    EXPECT_EQ(run(said), 2);
    EXPECT_FALSE(std::filesystem::exists(folder_ / "out"));
}

// A farm's table of power curves is named once; each turbine names its row, by the key of the
// longer name, as "turbine" is the project's own table.
TEST_F(SmallProjectTest, EachTurbineTakesItsRowOfOneTableOfPowerCurves) {
    write(folder_ / "curves.csv",
          "turbine_type,0,3,12,25\nV90,0,0,2000,2000\nE-82,0,0,2300,2300\n");
    const std::string common =
        "[defaults]\nlat = 49.6\nlon = 11.05\nwind = \"t1/wind.csv\"\n"
        "recordings = \"t1/recordings.txt\"\npower-curve = \"curves.csv\"\n";
    write(folder_ / "farm.toml", common +
                                     "[[turbine]]\nname = \"T1\"\npower-curve-turbine = \"V90\"\n"
                                     "[[turbine]]\nname = \"T2\"\nturbine = \"E-82\"\n");
    std::string said;
    EXPECT_EQ(check(said), 2);
    EXPECT_THAT(said, HasSubstr(":12: unknown key \"turbine\" in turbine \"T2\""));

    write(folder_ / "farm.toml",
          common +
              "[[turbine]]\nname = \"T1\"\npower-curve-turbine = \"V90\"\n"
              "[[turbine]]\nname = \"T2\"\npower-curve-turbine = \"e-82\"\n");
    EXPECT_EQ(run(said), 0) << said;
    EXPECT_THAT(read(folder_ / "out" / "T1" / "plan.json"),
                HasSubstr("\"power\":\"curve curves.csv, V90\""));
    EXPECT_THAT(read(folder_ / "out" / "T2" / "plan.json"),
                HasSubstr("\"power\":\"curve curves.csv, E-82\""));
}

}  // namespace
}  // namespace vane::farm
