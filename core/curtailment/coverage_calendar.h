#pragma once

#include <string>
#include <vector>

#include "core/curtailment/curtailment_data.h"

namespace vane {

// A night whose wind readings cover less than this share of it has a gap.
inline constexpr double kWindGapShare = 0.9;

// A night's character in the calendar below.
char coverageMark(const NightCoverage& night);

// The season as text, a line per month and a character per night at its day of the month: '#'
// bats recorded, '.' none, '!' a gap in the wind readings, '-' the detector was not recording,
// ' ' no night of the period. With a legend above; empty without nights.
std::string coverageCalendar(const std::vector<NightCoverage>& nights);

}  // namespace vane
