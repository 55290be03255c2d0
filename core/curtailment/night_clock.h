#pragma once

#include <optional>
#include <string>
#include <vector>

#include "core/curtailment/nights.h"
#include "core/icu_forward.h"

namespace vane {

// A plan's cells are parts of nights, which move over the season; a reader of a plan wants them
// on the clock. The night that starts on the 15th stands for its month.
struct MonthNight {
    int month = 1;
    Night night;
};

// The nights of the 15th of each month of `year` (none for a month whose 15th has no night), cut
// as the plan cuts them.
std::vector<MonthNight> midMonthNights(int year, const Site& site, const NightOptions& options,
                                       const icu::TimeZone& zone);

// "21:40-22:38": part `part` (0-based) of `night` cut into `parts`, in `zone`'s local time.
std::string nightPartClock(const Night& night, int part, int parts, const icu::TimeZone& zone);

}  // namespace vane
