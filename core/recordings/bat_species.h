#pragma once

#include <span>
#include <string>
#include <string_view>

namespace vane {

// A species as identification programs and people name it: in full, by a six-letter code
// ("PIPNAT") or a four-letter code ("PINA", empty where two species would share it).
struct BatSpecies {
    std::string_view scientificName;
    std::string_view sixLetterCode;
    std::string_view fourLetterCode;
};

// The bat species of Europe and North America Vane knows by all their names.
std::span<const BatSpecies> batSpecies();

// The species `label` names in full ("Pipistrellus nathusii", "pipistrellus_nathusii") or by
// either code, whatever its case; nothing for any other label: a pair ("Mylu/Myvo"), a guild
// ("HighF", "40KMYO"), noise.
const BatSpecies* speciesNamed(std::string_view label);

// What `label` is counted under: its species' six-letter code, else the label with A to Z
// lowered, so that "Nyctalus noctula", "NYCNOC" and "Nyno" are one, and so are "Noise" and
// "NOISE".
std::string labelKey(std::string_view label);

// Whether two labels are one: the same letters but for case, or names of one species.
bool sameLabel(std::string_view a, std::string_view b);

}  // namespace vane
