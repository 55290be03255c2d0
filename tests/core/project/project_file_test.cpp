#include "core/project/project_file.h"

#include <gmock/gmock.h>
#include <gtest/gtest.h>

#include <string>
#include <vector>

namespace vane {
namespace {

using ::testing::ElementsAre;
using ::testing::HasSubstr;

const std::set<std::string, std::less<>> kKeys = {"wind",    "recordings", "lat",      "lon",
                                                  "protect", "session",    "bats-only"};

// "key=value value" per setting, "key" alone for a switch that is on, "!key" for one off.
std::vector<std::string> described(const std::vector<ProjectSetting>& settings) {
    std::vector<std::string> texts;
    for (const ProjectSetting& setting : settings) {
        if (setting.isSwitch) {
            texts.push_back((setting.on ? "" : "!") + setting.key);
            continue;
        }
        std::string text = setting.key + "=";
        for (const std::string& value : setting.values) {
            text += (text.back() == '=' ? "" : " ") + value;
        }
        texts.push_back(text);
    }
    return texts;
}

TEST(ProjectFileTest, TurbinesTakeTheDefaultsTheyDoNotNameInEitherForm) {
    // Each form with the line of its second turbine.
    const std::pair<const char*, std::size_t> forms[] = {
        {"farm = \"Hohe Leite\"\n"
         "[defaults]\nprotect = 90\nwind = \"w.csv\"\nsession = [\"A\", \"B\"]\n"
         "[[turbine]]\nname = \"T1\"\nlat = 49.5\nlon = 11\n"
         "[[turbine]]\nname = \"T2\"\nprotect = 95.5\nbats-only = true\nwind = \"t2.csv\"\n",
         10},
        {"farm = \"Hohe Leite\"\n"
         "[defaults]\nprotect = 90\nwind = \"w.csv\"\nsession = [\"A\", \"B\"]\n"
         "[turbine.T1]\nlat = 49.5\nlon = 11\n"
         "[turbine.T2]\nprotect = 95.5\nbats-only = true\nwind = \"t2.csv\"\n",
         9}};
    for (const auto& [text, secondLine] : forms) {
        SCOPED_TRACE(text);
        const ProjectReading reading = readProject(text, "farm.toml", kKeys);
        ASSERT_TRUE(reading.problems.empty()) << reading.problems.front().describe();
        EXPECT_EQ(reading.project.farmName, "Hohe Leite");
        ASSERT_EQ(reading.project.turbines.size(), 2u);
        EXPECT_EQ(reading.project.turbines[0].name, "T1");
        EXPECT_EQ(reading.project.turbines[1].line, secondLine);
        EXPECT_THAT(described(resolvedSettings(reading.project, reading.project.turbines[0])),
                    ElementsAre("protect=90", "wind=w.csv", "session=A B", "lat=49.5", "lon=11"));
        EXPECT_THAT(described(resolvedSettings(reading.project, reading.project.turbines[1])),
                    ElementsAre("session=A B", "protect=95.5", "bats-only", "wind=t2.csv"));
    }
}

TEST(ProjectFileTest, LettersBeyondAsciiAreReadInTextsAndComments) {
    const ProjectReading reading = readProject(
        "farm = \"Windpark Höhe\" # für Fledermäuse\n[turbine.\"WEA Süd\"]\nsession = "
        "[\"\"\"Frühjahr \\\"A\\\"\"\"\", \"Ελλάδα、ﻻ\"]\n",
        "p.toml", kKeys);
    ASSERT_TRUE(reading.problems.empty()) << reading.problems.front().describe();
    EXPECT_EQ(reading.project.farmName, "Windpark Höhe");
    ASSERT_EQ(reading.project.turbines.size(), 1u);
    EXPECT_EQ(reading.project.turbines[0].name, "WEA Süd");
    EXPECT_THAT(described(reading.project.turbines[0].settings),
                ElementsAre("session=Frühjahr \"A\" Ελλάδα、ﻻ"));
}

TEST(ProjectFileTest, EveryProblemIsNamedWithItsLineAndTheOtherTurbinesAreStillRead) {
    const struct {
        const char* text;
        std::vector<std::string> problems;  // each as described, in the order found
        std::size_t turbines;
    } cases[] = {
        {"[[turbine]]\nname = \"T1\"\nwindd = \"w.csv\"\n[[turbine]]\nname = \"T2\"\n"
         "lat = { x = 1 }\n[[turbine]]\nname = \"T3\"\nlat = 1\n",
         {"p.toml:3: unknown key \"windd\" in turbine \"T1\"",
          "p.toml:6: \"lat\" takes a text, a number, true/false or a list, not a table"},
         3},
        {"colour = 1\n[defaults]\nname = \"x\"\n[[turbine]]\nlat = 1\n[[turbine]]\nname = "
         "\"T\"\n[[turbine]]\nname = \"T\"\n",
         {"p.toml:1: unknown key \"colour\"", "p.toml:3: [defaults] holds no name",
          "p.toml:4: a [[turbine]] without a name", "p.toml:8: a second turbine named \"T\""},
         3},
        {"[[turbine]]\nname = \"T1\"\nsession = [\"A\", [1]]\nlat = 1979-05-27\n",
         {"p.toml:3: \"session\" takes a list of texts or numbers",
          "p.toml:4: \"lat\" takes a text, a number, true/false or a list, not a date"},
         1},
        {"[[turbine]]\nname = \"T1\"\nlat = 1\n[[turbine]\n", {"p.toml:4: not a TOML file"}, 0},
        {"farm = \"F\"\n", {"p.toml: no turbine"}, 0},
        {"[[turbine]]\nname = \"T1\"\n[turbine.Größe]\nlat = 1\n",
         {"p.toml:3: a letter such as \"ö\" only inside a \"...\" text"},
         0},
        {"# ﻻ\nfarm = 'ﻻ'\n", {"p.toml:2: a letter such as \"ﻻ\" only inside"}, 0},
        // A line-ending backslash makes the reader test the letter after it for white space.
        {"farm = \"\"\"\nx \\û\"\"\"\n", {"p.toml:2: \"\\û\" is no escape"}, 0},
        {"farm = \"F\\ä\"\n", {"p.toml:1: \"\\ä\" is no escape"}, 0},
        {"turbine = 3\n", {"p.toml:1: \"turbine\" must be"}, 0},
    };
    for (const auto& [text, problems, turbines] : cases) {
        SCOPED_TRACE(text);
        const ProjectReading reading = readProject(text, "p.toml", kKeys);
        ASSERT_EQ(reading.problems.size(), problems.size());
        for (std::size_t index = 0; index < problems.size(); ++index) {
            EXPECT_THAT(reading.problems[index].describe(), HasSubstr(problems[index]));
        }
        EXPECT_EQ(reading.project.turbines.size(), turbines);
    }
}

}  // namespace
}  // namespace vane
