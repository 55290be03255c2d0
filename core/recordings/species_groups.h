#pragma once

#include <optional>
#include <string>
#include <string_view>
#include <vector>

#include "core/outcome/outcome.h"

namespace vane {

// Species labels gathered into groups that are analysed together, such as the open-space
// hunters. Read from lines "group: label, label, ..."; a label ending in '*' stands for every
// label that begins with what comes before it (or whose species' name or code does), and labels
// match whatever their case, so "PIPPIP" also takes "Pippip", "PIPI" and "Pipistrellus
// pipistrellus". '#' starts a comment. A label in several groups belongs to the
// first.
struct SpeciesGroup {
    std::string name;
    std::vector<std::string> labels;  // as written, '*' patterns included
};

class SpeciesGroups {
  public:
    SpeciesGroups() = default;
    explicit SpeciesGroups(std::vector<SpeciesGroup> groups) : groups_(std::move(groups)) {}

    const std::vector<SpeciesGroup>& groups() const { return groups_; }
    // The name of the group `label` belongs to, or nothing. A species belongs by any of its
    // names (bat_species.h); a pair "Mylu/Myvo" when both species belong to the same group.
    std::optional<std::string_view> groupOf(std::string_view label) const;
    bool isGroup(std::string_view name) const;

  private:
    std::optional<std::string_view> groupOfOne(std::string_view label) const;

    std::vector<SpeciesGroup> groups_;
};

inline constexpr std::string_view kSpeciesGroupsKind = "groups file";

// `fileName` only names the file in problems.
Outcome<SpeciesGroups> parseSpeciesGroups(std::string_view text, const std::string& fileName);

// The groups Vane ships, for European and North American bats, as a groups file's text.
std::string_view defaultSpeciesGroupsText();
SpeciesGroups defaultSpeciesGroups();

}  // namespace vane
