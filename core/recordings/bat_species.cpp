#include "core/recordings/bat_species.h"

#include <algorithm>
#include <array>

#include "core/text/ascii.h"

namespace vane {
namespace {

constexpr std::array kSpecies = std::to_array<BatSpecies>({
#include "core/recordings/bat_species.inc"
});

// Genus and species apart by a blank or an underscore, as tables write them.
bool sameScientificName(std::string_view name, std::string_view label) {
    const auto lower = [](char c) {
        return c >= 'A' && c <= 'Z' ? static_cast<char>(c - 'A' + 'a') : c;
    };
    return name.size() == label.size() &&
           std::equal(name.begin(), name.end(), label.begin(), [&](char n, char l) {
               return n == ' ' ? l == ' ' || l == '_' : lower(n) == lower(l);
           });
}

}  // namespace

std::span<const BatSpecies> batSpecies() {
    return kSpecies;
}

const BatSpecies* speciesNamed(std::string_view label) {
    label = trimmed(label);
    if (label.empty()) {
        return nullptr;
    }
    const auto found = std::find_if(kSpecies.begin(), kSpecies.end(), [label](const auto& s) {
        return sameLetters(s.sixLetterCode, label) ||
               (!s.fourLetterCode.empty() && sameLetters(s.fourLetterCode, label)) ||
               sameScientificName(s.scientificName, label);
    });
    return found == kSpecies.end() ? nullptr : &*found;
}

std::string labelKey(std::string_view label) {
    if (const BatSpecies* species = speciesNamed(label)) {
        return std::string(species->sixLetterCode);
    }
    return asciiLowercase(label);
}

bool sameLabel(std::string_view a, std::string_view b) {
    if (sameLetters(a, b)) {
        return true;
    }
    const BatSpecies* species = speciesNamed(a);
    return species != nullptr && species == speciesNamed(b);
}

}  // namespace vane
