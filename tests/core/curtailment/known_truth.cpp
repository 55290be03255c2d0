#include "tests/core/curtailment/known_truth.h"

#include <algorithm>
#include <cmath>
#include <random>

#include "core/curtailment/curtailment_plan.h"
#include "core/time/local_time.h"

namespace vane::test {
namespace {

constexpr double kStep = 600.0;

// A 2 MW turbine: the cube of the wind from 3 to 12 m/s, then rated power.
double powerKw(double wind) {
    if (wind < 3.0) {
        return 0.0;
    }
    if (wind >= 12.0) {
        return wind > 25.0 ? 0.0 : 2000.0;
    }
    return 2000.0 * (wind * wind * wind - 27.0) / (1728.0 - 27.0);
}

}  // namespace

std::vector<TurbineInterval> KnownTruth::summer(int year, std::uint64_t seed) const {
    return draw(year, seed, false);
}

std::vector<TurbineInterval> KnownTruth::expectedSummer(int year, std::uint64_t seed) const {
    return draw(year, seed, true);
}

std::vector<TurbineInterval> KnownTruth::draw(int year, std::uint64_t seed, bool expected) const {
    std::mt19937_64 random(seed * 7919 + static_cast<std::uint64_t>(year));
    std::normal_distribution<double> normal(0.0, 1.0);
    std::uniform_real_distribution<double> uniform(0.0, 1.0);
    std::gamma_distribution<double> nightWind(4.0, 1.4);
    std::gamma_distribution<double> nightLevel(2.0, 0.5);
    const double from = localInstant({{year, 4, 1}, 12, 0, 0}, *zone);
    const double to = localInstant({{year, 10, 31}, 12, 0, 0}, *zone);
    const NightCalendar calendar = nightsBetween(from, to, site, {}, *zone);
    std::vector<TurbineInterval> intervals;
    double windMean = nightWind(random);
    double gust = 0.0;
    double nightTemperature = 0.0;
    double busy = 1.0;
    double dayOfSeason = 91.0;
    std::size_t lastNight = calendar.nights.size();
    for (double end = from + kStep; end <= to; end += kStep) {
        const std::optional<NightPlace> place = nightPlaceOf(calendar, end, 1000);
        // Each night brings its own weather and its own mood of the bats.
        if (place && place->night != lastNight) {
            lastNight = place->night;
            windMean = nightWind(random);
            nightTemperature = 3.0 * normal(random);
            busy = nightLevel(random);
            dayOfSeason = dayOfYear(calendar.nights[place->night].date);
        }
        gust = 0.9 * gust + 0.6 * normal(random);
        const double wind = std::max(0.0, windScale * (windMean + gust));
        const double fraction = place ? (place->part + 0.5) / 1000.0 : 0.0;
        const double temperature = 9.0 + 9.0 * std::sin(M_PI * (dayOfSeason - 91.0) / 214.0) -
                                   3.0 * fraction + nightTemperature + 0.5 * normal(random);
        TurbineInterval interval;
        interval.end = end;
        interval.wind = static_cast<float>(wind);
        interval.temperature = static_cast<float>(temperature);
        interval.powerKw = powerKw(wind);
        if (place) {
            const double season = -std::pow((dayOfSeason - 225.0) / 45.0, 2.0);
            const double night = -std::pow((fraction - 0.2) / 0.35, 2.0);
            const double cold = -0.25 * std::max(0.0, 12.0 - temperature);
            const double rate = level * 0.55 * busy * std::exp(season + night - 0.42 * wind + cold);
            const double chance = 1.0 - std::exp(-rate);
            interval.activity = expected ? std::llround(1000.0 * chance) : uniform(random) < chance;
        }
        intervals.push_back(interval);
    }
    return intervals;
}

std::vector<CellActivity> KnownTruth::cells(const std::vector<TurbineInterval>& intervals,
                                            int parts) const {
    CurtailmentOptions options;
    options.night.parts = parts;
    options.energyKnown = true;
    options.effort = std::vector<EffortSpan>{{intervals.front().end - kStep, intervals.back().end}};
    return cellsOf(curtailmentData(intervals, site, options, *zone));
}

Scored scoreCutIns(const std::vector<CellActivity>& cells, const std::vector<double>& cutIns) {
    const PlanTotals totals = applyCutIns(cells, cutIns);
    std::int64_t all = 0;
    for (const CellActivity& cell : cells) {
        all += cell.activity;
    }
    return {
        all > 0 ? static_cast<double>(totals.protectedActivity) / static_cast<double>(all) : 0.0,
        totals.energyLostKwh};
}

}  // namespace vane::test
