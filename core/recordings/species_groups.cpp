#include "core/recordings/species_groups.h"

#include <algorithm>

#include "core/files/shown_content.h"
#include "core/recordings/bat_species.h"
#include "core/recordings/list_file.h"
#include "core/text/ascii.h"

namespace vane {
namespace {

constexpr std::string_view kDefaultGroups =
    "# Species groups: \"group: label, label, ...\"; LABEL* takes every label that begins with\n"
    "# LABEL; case does not matter. A label in several groups belongs to the first.\n"
    "\n"
    "# Open-space hunters of Europe: they fly high and fast and collide most often.\n"
    "open-space: NYCNOC, NYCLEI, NYCLAS, EPTSER, EPTNIL, VESMUR, TADTEN, NYCMIN, ENVSP\n"
    "# Pipistrelles and their like, Europe and North America.\n"
    "pipistrelles: PIPPIP, PIPNAT, PIPPYG, PIPKUH, HYPSAV, PERSUB, PESU\n"
    "# Mouse-eared bats, every Myotis.\n"
    "myotis: MYO*, MY*\n"
    "# Tree bats and big brown bats of North America.\n"
    "north-american-large: LASBOR, LASCIN, LASNOC, LASSEM, LASINT, LASXAN, EPTFUS, NYCHUM, "
    "TADBRA, LABO, LACI, LANO, EPFU, NYHU, TABR\n"
    "# Long-eared, barbastelle, horseshoe and bent-winged bats: they hunt close to vegetation.\n"
    "gleaners: PLEAUR, PLEAUS, PLE*, BARBAR, RHI*, MINSCH\n";

bool beginsWith(std::string_view name, std::string_view prefix) {
    return name.size() >= prefix.size() && sameLetters(name.substr(0, prefix.size()), prefix);
}

// A species matches by any of its names: "MYO*" takes "Mylu", "PIPNAT" takes "Pinat".
bool matches(std::string_view pattern, std::string_view label) {
    if (pattern.ends_with('*')) {
        pattern.remove_suffix(1);
        const BatSpecies* species = speciesNamed(label);
        return beginsWith(label, pattern) ||
               (species != nullptr && (beginsWith(species->sixLetterCode, pattern) ||
                                       beginsWith(species->fourLetterCode, pattern) ||
                                       beginsWith(species->scientificName, pattern)));
    }
    return sameLabel(pattern, label);
}

}  // namespace

std::optional<std::string_view> SpeciesGroups::groupOf(std::string_view label) const {
    // "Mylu/Myvo", either of two species, belongs to a group only when both of them do.
    if (label.find('/') == std::string_view::npos) {
        return groupOfOne(label);
    }
    std::optional<std::string_view> shared;
    for (std::string_view rest = label;;) {
        const std::size_t slash = rest.find('/');
        const std::optional<std::string_view> group = groupOfOne(trimmed(rest.substr(0, slash)));
        if (!group || (shared && *shared != *group)) {
            return std::nullopt;
        }
        shared = group;
        if (slash == std::string_view::npos) {
            return shared;
        }
        rest.remove_prefix(slash + 1);
    }
}

std::optional<std::string_view> SpeciesGroups::groupOfOne(std::string_view label) const {
    for (const SpeciesGroup& group : groups_) {
        for (const std::string& pattern : group.labels) {
            if (matches(pattern, label)) {
                return group.name;
            }
        }
    }
    return std::nullopt;
}

bool SpeciesGroups::isGroup(std::string_view name) const {
    return std::any_of(groups_.begin(), groups_.end(),
                       [name](const SpeciesGroup& group) { return sameLetters(group.name, name); });
}

Outcome<SpeciesGroups> parseSpeciesGroups(std::string_view text, const std::string& fileName) {
    std::vector<SpeciesGroup> groups;
    NumberedLines lines(withoutByteOrderMark(text));
    while (const auto line = lines.next()) {
        const std::string_view content = trimmed(line->substr(0, line->find('#')), kLineBlanks);
        if (content.empty()) {
            continue;
        }
        const std::size_t colon = content.find(':');
        const std::string_view name =
            trimmed(content.substr(0, colon == std::string_view::npos ? 0 : colon), kLineBlanks);
        if (name.empty()) {
            return Problem{
                "Problem with groups file",
                "expected \"group: label, label, ...\", found \"" + shownContent(content) + "\"",
                fileName,
                lines.number(),
                {}};
        }
        SpeciesGroup group{std::string(name), {}};
        std::string_view rest = content.substr(colon + 1);
        while (!rest.empty()) {
            const std::size_t comma = rest.find(',');
            const std::string_view label = trimmed(rest.substr(0, comma), kLineBlanks);
            if (!label.empty()) {
                group.labels.emplace_back(label);
            }
            rest.remove_prefix(comma == std::string_view::npos ? rest.size() : comma + 1);
        }
        groups.push_back(std::move(group));
    }
    return SpeciesGroups(std::move(groups));
}

std::string_view defaultSpeciesGroupsText() {
    return kDefaultGroups;
}

SpeciesGroups defaultSpeciesGroups() {
    return std::move(parseSpeciesGroups(kDefaultGroups, "default groups")).value();
}

}  // namespace vane
