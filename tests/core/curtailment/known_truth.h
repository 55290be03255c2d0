#pragma once

#include <unicode/timezone.h>

#include <cstdint>
#include <memory>
#include <vector>

#include "core/curtailment/curtailment_data.h"

namespace vane::test {

// Summers of ten-minute turbine rows at a site in Franconia, April to October, day and night,
// from a known smooth truth: the chance that an interval holds bat activity is highest in
// August and early in the night and falls with wind and cold, times a random level per night
// (some nights are busy throughout). About 900 active intervals a summer.
struct KnownTruth {
    const Site site{49.6, 10.9};
    std::unique_ptr<icu::TimeZone> zone{icu::TimeZone::createTimeZone("Europe/Berlin")};
    double level = 5.0;      // scales the chance of activity
    double windScale = 1.0;  // scales the wind: a more exposed site

    // One summer drawn with `seed`: its intervals with the activity that fell.
    std::vector<TurbineInterval> summer(int year, std::uint64_t seed) const;
    // The same weather with the activity expected instead (in thousandths of an interval), from
    // which a plan's true share is read.
    std::vector<TurbineInterval> expectedSummer(int year, std::uint64_t seed) const;
    // The intervals' cells, every interval inside the effort.
    std::vector<CellActivity> cells(const std::vector<TurbineInterval>& intervals,
                                    int parts = 10) const;

  private:
    std::vector<TurbineInterval> draw(int year, std::uint64_t seed, bool expected) const;
};

// The share of activity the cut-ins (one per cell) protect in the cells, and their energy.
struct Scored {
    double share = 0.0;
    double energyKwh = 0.0;
};
Scored scoreCutIns(const std::vector<CellActivity>& cells, const std::vector<double>& cutIns);

}  // namespace vane::test
