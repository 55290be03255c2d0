#include "core/recordings/recording_filter.h"

#include <gtest/gtest.h>

#include <string>
#include <vector>

namespace vane {
namespace {

// Twelve recordings: six labels, each once with a high and once with a low probability, and the
// low NYCLEI one confirmed by a person. Two more carry no label at all.
struct Fixture {
    LabelTable labels;
    std::vector<Recording> recordings;

    Fixture() {
        for (const char* name : {"NYCNOC", "Nyclei", "PIPPIP", "MYODAU", "Noise", "NoID"}) {
            const std::uint16_t label = *labels.indexOf(name);
            for (const float probability : {0.9f, 0.3f}) {
                Recording recording;
                recording.recordingTime = static_cast<double>(recordings.size());
                recording.label = label;
                recording.probability = probability;
                recording.manualLabel = std::string(name) == "Nyclei" && probability < 0.5f;
                recordings.push_back(recording);
            }
        }
        recordings.push_back(Recording{100.0});
        recordings.push_back(Recording{101.0});
    }
};

TEST(RecordingFilterTest, FiltersChangeTheCountsAsAsked) {
    const struct {
        const char* name;
        RecordingFilter filter;
        std::size_t kept, noBat, below, other;
    } cases[] = {
        // Noise and NoID out; 0.3 out except the confirmed one; unlabelled in.
        {"default", {}, 2 + 4 + 1, 4, 3, 0},
        {"every probability", {{}, 0.0}, 2 + 8, 4, 0, 0},
        {"noise kept", {{}, 0.0, false}, 2 + 12, 0, 0, 0},
        {"a group", {{"open-space"}, {}}, 2 + 3, 4, 1, 4},
        {"a label, any case", {{"pippip", "MYODAU"}, {}}, 2 + 2, 4, 2, 4},
        {"a group and a label", {{"open-space", "PIPPIP"}, 0.95}, 2 + 1, 4, 5, 2},
    };
    const Fixture fixture;
    const SpeciesGroups groups = defaultSpeciesGroups();
    for (const auto& c : cases) {
        const FilteredRecordings result =
            filterRecordings(fixture.recordings, fixture.labels, groups, c.filter);
        EXPECT_EQ(result.kept.size(), c.kept) << c.name;
        EXPECT_EQ(result.noBat, c.noBat) << c.name;
        EXPECT_EQ(result.belowProbability, c.below) << c.name;
        EXPECT_EQ(result.otherSpecies, c.other) << c.name;
        EXPECT_EQ(result.kept.size() + result.leftOut(), fixture.recordings.size()) << c.name;
    }
}

TEST(RecordingFilterTest, GroupsFileGathersLabelsIntoSeries) {
    const Outcome<SpeciesGroups> groups = parseSpeciesGroups(
        "\xEF\xBB\xBF# mine\n"
        "high: NYCNOC, nyclei  # noctules\n"
        "low : PIP*,\n"
        "also: NYCNOC\n",
        "groups.txt");
    ASSERT_TRUE(groups) << groups.error().describe();
    ASSERT_EQ(groups->groups().size(), 3u);
    const struct {
        const char* label;
        const char* series;
    } cases[] = {{"NYCNOC", "high"}, {"Nyclei", "high"},  {"pipnat", "low"},
                 {"PIP", "low"},     {"MYODAU", "other"}, {"", "unlabelled"}};
    for (const auto& c : cases) {
        EXPECT_EQ(seriesOfLabel(c.label, &*groups), c.series) << c.label;
    }
    EXPECT_EQ(seriesOfLabel("MYODAU", nullptr), "MYODAU");
    EXPECT_TRUE(groups->isGroup("HIGH"));
    EXPECT_FALSE(groups->isGroup("NYCNOC"));

    const Outcome<SpeciesGroups> broken = parseSpeciesGroups("high: NYCNOC\nPIPPIP\n", "g.txt");
    ASSERT_FALSE(broken);
    EXPECT_EQ(broken.error().describe(),
              "g.txt:2: expected \"group: label, label, ...\", found \"PIPPIP\"");
}

TEST(RecordingFilterTest, ShippedGroupsHoldTheUsualCodes) {
    const SpeciesGroups groups = defaultSpeciesGroups();
    const struct {
        const char* label;
        const char* group;
    } cases[] = {{"NYCNOC", "open-space"},
                 {"EPTSER", "open-space"},
                 {"VESMUR", "open-space"},
                 {"Nyclei", "open-space"},
                 {"PIPPYG", "pipistrelles"},
                 {"Pipnat", "pipistrelles"},
                 {"MYODAU", "myotis"},
                 {"Myonat", "myotis"},
                 {"LASBOR", "north-american-large"},
                 {"EPTFUS", "north-american-large"},
                 {"LACI", "north-american-large"},
                 {"PLEAUR", "gleaners"}};
    for (const auto& c : cases) {
        EXPECT_EQ(seriesOfLabel(c.label, &groups), c.group) << c.label;
    }
    for (const char* noBat : {"Noise", "NoID", "NOISE", "No ID", "noise "}) {
        EXPECT_TRUE(isNoBatLabel(noBat)) << noBat;
    }
    for (const char* bat : {"", "NYCNOC", "Noctule"}) {
        EXPECT_FALSE(isNoBatLabel(bat)) << bat;
    }
}

}  // namespace
}  // namespace vane
