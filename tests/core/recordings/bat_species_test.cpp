#include "core/recordings/bat_species.h"

#include <gtest/gtest.h>

#include <algorithm>
#include <map>
#include <string>

#include "core/analysis/series_activity_analysis.h"
#include "core/recordings/recording_filter.h"
#include "core/text/ascii.h"

namespace vane {
namespace {

// The letters a code takes from each word of the name: "Pipistrellus nathusii", 3 -> "PIPNAT".
std::string codeOf(std::string_view name, std::size_t letters) {
    const std::size_t blank = name.find(' ');
    std::string code(name.substr(0, letters));
    code += name.substr(blank + 1, letters);
    for (char& c : code) {
        c = c >= 'a' && c <= 'z' ? static_cast<char>(c - 'a' + 'A') : c;
    }
    return code;
}

TEST(BatSpeciesTest, EveryNameAndCodeNamesExactlyOneSpecies) {
    std::map<std::string, std::string_view> speciesOf;
    for (const BatSpecies& species : batSpecies()) {
        ASSERT_EQ(std::count(species.scientificName.begin(), species.scientificName.end(), ' '), 1)
            << species.scientificName;
        EXPECT_EQ(species.sixLetterCode, codeOf(species.scientificName, 3))
            << species.scientificName;
        if (!species.fourLetterCode.empty()) {
            EXPECT_EQ(species.fourLetterCode, codeOf(species.scientificName, 2))
                << species.scientificName;
        }
        for (const std::string_view name :
             {species.scientificName, species.sixLetterCode, species.fourLetterCode}) {
            if (name.empty()) {
                continue;
            }
            const auto [at, added] =
                speciesOf.emplace(asciiLowercase(name), species.scientificName);
            EXPECT_TRUE(added) << name << " names " << at->second << " and "
                               << species.scientificName;
            EXPECT_EQ(speciesNamed(name), &species) << name;
        }
    }
    EXPECT_GT(speciesOf.size(), 150u);
}

TEST(BatSpeciesTest, LabelsAreOneByAnyNameOfTheirSpeciesAndWhateverTheirCase) {
    const struct {
        const char* a;
        const char* b;
        bool same;
    } cases[] = {
        {"Pipistrellus nathusii", "PIPNAT", true},
        {"pipistrellus_nathusii", "Pina", true},
        {"Nyctalus noctula", "Nyno", true},
        {"NYCNOC", "nycnoc", true},
        {"Myotis lucifugus", "MYLU", true},
        {"MYOLUC", "Mylu", true},
        {"Noise", "NOISE", true},
        {"HighF", "HIGHF", true},
        {"Mylu/Myvo", "MYLU/MYVO", true},
        {"Mylu/Myvo", "Mylu", false},
        {"Myotis myotis", "Myotis mystacinus", false},
        {"MYDA", "MYODAU", false},  // shared by two species, so neither's
        {"40KMYO", "Myotis", false},
        {"Pipistrellus", "PIPPIP", false},
    };
    for (const auto& c : cases) {
        EXPECT_EQ(sameLabel(c.a, c.b), c.same) << c.a << " / " << c.b;
        EXPECT_EQ(labelKey(c.a) == labelKey(c.b), c.same) << c.a << " / " << c.b;
    }
    for (const char* notOneSpecies : {"Mylu/Myvo", "HighF", "LowF", "40KMYO", "UBAT", "Noise", "",
                                      "Myotis", "Pipistrellus nathusii extra"}) {
        EXPECT_EQ(speciesNamed(notOneSpecies), nullptr) << notOneSpecies;
    }
}

TEST(BatSpeciesTest, GroupsFilterAndSeriesTakeEveryNameOfASpecies) {
    const SpeciesGroups groups = defaultSpeciesGroups();
    const struct {
        const char* label;
        const char* series;
    } cases[] = {
        {"Pipistrellus nathusii", "pipistrelles"},
        {"Pina", "pipistrelles"},
        {"Nyctalus noctula", "open-space"},
        {"Nyno", "open-space"},
        {"Myotis lucifugus", "myotis"},
        {"Mylu/Myvo", "myotis"},    // both species are mouse-eared bats
        {"MYLU / MYSO", "myotis"},  // blanks around the slash
        {"Mylu/Pesu", "other"},     // either of two groups: neither
        {"Epfu/Laci/Lano", "north-american-large"},
        {"Epfu/Laci/Mylu", "other"},
        {"Plecotus auritus", "gleaners"},  // by "PLE*"
        {"HighF", "other"},
        {"40KMYO", "other"},
        {"UBAT", "other"},
    };
    for (const auto& c : cases) {
        EXPECT_EQ(seriesOfLabel(c.label, &groups), c.series) << c.label;
    }

    LabelTable labels;
    std::vector<Recording> recordings;
    for (const char* label :
         {"Nyctalus noctula", "NYCNOC", "Nyno", "Noise", "NOISE", "Mylu/Myvo", "PIPPIP"}) {
        Recording recording;
        recording.recordingTime = static_cast<double>(recordings.size());
        recording.label = *labels.indexOf(label);
        recordings.push_back(recording);
    }
    const FilteredRecordings noctules =
        filterRecordings(recordings, labels, groups, {{"nycnoc"}, 0.0, false});
    EXPECT_EQ(noctules.kept.size(), 3u);
    const FilteredRecordings pair =
        filterRecordings(recordings, labels, groups, {{"myotis"}, 0.0, false});
    EXPECT_EQ(pair.kept.size(), 1u);

    std::map<std::string, std::size_t> sizes;
    for (const RecordingSeries& series : splitIntoSeries(recordings, labels, nullptr)) {
        sizes[series.name] = series.recordings.size();
    }
    EXPECT_EQ(sizes, (std::map<std::string, std::size_t>{
                         {"Nyctalus noctula", 3}, {"Noise", 2}, {"Mylu/Myvo", 1}, {"PIPPIP", 1}}));
}

}  // namespace
}  // namespace vane
