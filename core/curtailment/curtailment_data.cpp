#include "core/curtailment/curtailment_data.h"

#include <algorithm>
#include <cmath>
#include <map>
#include <set>
#include <tuple>

#include "core/analysis/activity_classes.h"
#include "core/time/local_time.h"

namespace vane {
namespace {

constexpr double kSecondsPerHour = 3600.0;

bool insideEffort(const std::vector<EffortSpan>& spans, double end) {
    return std::any_of(spans.begin(), spans.end(), [end](const EffortSpan& span) {
        return span.start < end && end <= span.end;
    });
}

// Without an effort file the detector counts as recording through every night from the one of
// the first activity to the one of the last; activity outside the nights bounds it by itself.
std::vector<EffortSpan> effortFromActivity(const std::vector<TurbineInterval>& intervals,
                                           const Site& site, const NightOptions& night,
                                           const icu::TimeZone& zone) {
    double first = INFINITY;
    double last = -INFINITY;
    for (const TurbineInterval& interval : intervals) {
        if (interval.activity > 0) {
            first = std::min(first, interval.end);
            last = std::max(last, interval.end);
        }
    }
    if (!(first <= last)) {
        return {};
    }
    // Only the nights around the two ends are asked for, however far apart they lie.
    const NightCalendar around = nightsBetween(first, first, site, night, zone);
    const NightCalendar aroundLast = nightsBetween(last, last, site, night, zone);
    const std::optional<NightPlace> firstNight = nightPlaceOf(around, first, 1);
    const std::optional<NightPlace> lastNight = nightPlaceOf(aroundLast, last, 1);
    return {{firstNight ? around.nights[firstNight->night].start : first - 1.0,
             lastNight ? aroundLast.nights[lastNight->night].end : last}};
}

}  // namespace

CurtailmentData curtailmentData(const std::vector<TurbineInterval>& intervals, const Site& site,
                                const CurtailmentOptions& options, const icu::TimeZone& zone) {
    CurtailmentData data;
    const int parts = std::max(options.night.parts, 1);
    data.parts = parts;
    data.minutesBeforeSunset = options.night.minutesBeforeSunset;
    data.minutesAfterSunrise = options.night.minutesAfterSunrise;
    if (intervals.empty()) {
        return data;
    }
    double from = INFINITY;
    double to = -INFINITY;
    for (const TurbineInterval& interval : intervals) {
        from = std::min(from, interval.end);
        to = std::max(to, interval.end);
    }
    std::vector<EffortSpan> effort;
    if (options.effort) {
        effort = *options.effort;
    } else {
        effort = effortFromActivity(intervals, site, options.night, zone);
        data.effortFromRecordings = true;
    }
    if (effort.empty()) {
        return data;
    }
    data.periodStart = INFINITY;
    data.periodEnd = -INFINITY;
    for (const EffortSpan& span : effort) {
        data.periodStart = std::min(data.periodStart, span.start);
        data.periodEnd = std::max(data.periodEnd, span.end);
    }
    const NightCalendar calendar = nightsBetween(
        std::max(from, data.periodStart), std::min(to, data.periodEnd), site, options.night, zone);
    std::vector<NightCoverage> coverage;
    coverage.reserve(calendar.nights.size());
    for (const Night& night : calendar.nights) {
        data.nightsInPeriod += night.end > data.periodStart && night.start < data.periodEnd;
        const bool monitored =
            std::any_of(effort.begin(), effort.end(), [&night](const EffortSpan& span) {
                return span.start < night.end && night.start < span.end;
            });
        coverage.push_back({night.date, monitored, 0, 0.0});
    }
    data.daysWithoutNight = calendar.daysWithoutNight;

    // Per night of the calendar, its classes by (cell, wind, temperature, stoppable).
    using ClassKey = std::tuple<int, double, int, bool>;
    std::map<std::size_t, std::map<ClassKey, NightClass>> byNight;
    std::set<std::size_t> nightsWithData;
    for (const TurbineInterval& interval : intervals) {
        // Stopping never gains energy, so a turbine drawing power loses none by standing still.
        const double energy = std::max(interval.powerKw, 0.0) * interval.seconds / kSecondsPerHour;
        if (data.periodStart < interval.end && interval.end <= data.periodEnd &&
            options.energyKnown) {
            data.productionKwh += energy;
        }
        if (!insideEffort(effort, interval.end)) {
            data.activityOutsideEffort += interval.activity;
            continue;
        }
        const std::optional<NightPlace> place = nightPlaceOf(calendar, interval.end, parts);
        if (!place) {
            data.activityOutsideNights += interval.activity;
            continue;
        }
        nightsWithData.insert(place->night);
        const std::optional<double> key =
            classKeyOf(interval.wind ? std::optional<double>(*interval.wind) : std::nullopt);
        NightCoverage& covered = coverage[place->night];
        covered.activity += interval.activity;
        covered.windShare += key ? interval.seconds : 0.0;  // seconds until the loop ends
        if (!key) {
            data.activityWithoutWind += interval.activity;
            continue;
        }
        const Night& night = calendar.nights[place->night];
        const int cell = (night.date.month - 1) * parts + place->part;
        const bool warmEnough = !options.temperatureFloor || !interval.temperature ||
                                *interval.temperature >= *options.temperatureFloor;
        const int temperatureKey =
            interval.temperature ? static_cast<int>(std::clamp(
                                       std::floor(*interval.temperature / 2.0f), -100.0f, 100.0f))
                                 : kNoTemperature;
        NightClass& counted =
            byNight[place->night][ClassKey{cell, *key, temperatureKey, warmEnough}];
        counted.cell = cell;
        counted.windKey = *key;
        counted.temperatureKey = temperatureKey;
        counted.stoppable = warmEnough;
        counted.activity += interval.activity;
        ++counted.intervals;
        counted.activeIntervals += interval.activity > 0;
        counted.energyKwh += options.energyKnown ? energy : 0.0;
        counted.hours += interval.seconds / kSecondsPerHour;
        data.activityInNights += interval.activity;
        data.activityByClass[*key] += interval.activity;
    }
    for (auto& [index, classes] : byNight) {
        const Night& night = calendar.nights[index];
        NightActivity& added = data.nights.emplace_back();
        added.year = night.date.year;
        added.month = night.date.month;
        added.day = static_cast<long>(std::floor(utcInstant({night.date, 0, 0, 0}) / 86400.0));
        added.seconds = night.end - night.start;
        added.classes.reserve(classes.size());
        for (auto& [key, counted] : classes) {
            added.classes.push_back(counted);
        }
    }
    data.nightsWithData = static_cast<int>(nightsWithData.size());
    for (std::size_t n = 0; n < calendar.nights.size(); ++n) {
        const Night& night = calendar.nights[n];
        if (night.end > data.periodStart && night.start < data.periodEnd) {
            NightCoverage& covered = coverage[n];
            covered.windShare = std::min(1.0, covered.windShare / (night.end - night.start));
            data.coverage.push_back(covered);
        }
    }
    return data;
}

namespace {

auto keyOf(const NightClass& counted) {
    return std::tuple(counted.cell, counted.windKey, counted.temperatureKey, counted.stoppable);
}

void addTo(NightClass& sum, const NightClass& counted) {
    sum.activity += counted.activity;
    sum.intervals += counted.intervals;
    sum.activeIntervals += counted.activeIntervals;
    sum.energyKwh += counted.energyKwh;
    sum.hours += counted.hours;
}

}  // namespace

ClassSums classSums(const CurtailmentData& data, const NightSelection& take) {
    std::map<std::tuple<int, double, int, bool>, NightClass> sums;
    for (std::size_t n = 0; n < data.nights.size(); ++n) {
        if (!take.empty() && (n >= take.size() || !take[n])) {
            continue;
        }
        for (const NightClass& counted : data.nights[n].classes) {
            const auto [at, added] = sums.try_emplace(keyOf(counted), counted);
            if (!added) {
                addTo(at->second, counted);
            }
        }
    }
    ClassSums result{data.parts, {}, data.turbines};
    result.classes.reserve(sums.size());
    for (const auto& [key, sum] : sums) {
        result.classes.push_back(sum);
    }
    return result;
}

ClassSums joined(const ClassSums& a, const ClassSums& b) {
    ClassSums result{a.parts, {}, a.turbines};
    result.classes.reserve(a.classes.size() + b.classes.size());
    auto left = a.classes.begin();
    auto right = b.classes.begin();
    while (left != a.classes.end() || right != b.classes.end()) {
        if (right == b.classes.end() || (left != a.classes.end() && keyOf(*left) < keyOf(*right))) {
            result.classes.push_back(*left++);
        } else if (left == a.classes.end() || keyOf(*right) < keyOf(*left)) {
            result.classes.push_back(*right++);
        } else {
            result.classes.push_back(*left++);
            addTo(result.classes.back(), *right++);
        }
    }
    return result;
}

std::vector<CellActivity> cellsOf(const ClassSums& sums) {
    std::vector<CellActivity> cells(static_cast<std::size_t>(12 * sums.parts));
    for (const NightClass& counted : sums.classes) {
        if (counted.cell < 0 || static_cast<std::size_t>(counted.cell) >= cells.size()) {
            continue;
        }
        CellActivity& cell = cells[static_cast<std::size_t>(counted.cell)];
        cell.activity += counted.activity;
        cell.intervals += counted.intervals;
        cell.activeIntervals += counted.activeIntervals;
        if (counted.stoppable) {
            ClassStop& stop = cell.stops[counted.windKey];
            stop.activity += counted.activity;
            stop.energyKwh += counted.energyKwh;
            stop.hours += counted.hours;
        }
    }
    return cells;
}

std::vector<CellActivity> cellsOf(const CurtailmentData& data, const NightSelection& take) {
    return cellsOf(classSums(data, take));
}

std::vector<std::pair<int, std::int64_t>> activityByYear(const CurtailmentData& data) {
    std::vector<std::pair<int, std::int64_t>> years;
    for (const NightActivity& night : data.nights) {
        if (years.empty() || years.back().first != night.year) {
            years.emplace_back(night.year, 0);
        }
        for (const NightClass& counted : night.classes) {
            years.back().second += counted.activity;
        }
    }
    return years;
}

}  // namespace vane
