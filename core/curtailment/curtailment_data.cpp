#include <algorithm>
#include <cmath>
#include <set>

#include "core/analysis/activity_classes.h"
#include "core/curtailment/curtailment_plan.h"

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
    for (const Night& night : calendar.nights) {
        data.nightsInPeriod += night.end > data.periodStart && night.start < data.periodEnd;
    }
    data.daysWithoutNight = calendar.daysWithoutNight;

    std::set<std::size_t> nightsWithData;
    std::vector<YearCells>& years = data.years;
    const auto cellsOfYear = [&](int year) -> std::vector<CellActivity>& {
        auto found = std::find_if(years.begin(), years.end(),
                                  [year](const YearCells& cells) { return cells.year == year; });
        if (found == years.end()) {
            years.push_back(
                {year, std::vector<CellActivity>(static_cast<std::size_t>(12 * parts))});
            std::sort(years.begin(), years.end(),
                      [](const YearCells& a, const YearCells& b) { return a.year < b.year; });
            found = std::find_if(years.begin(), years.end(),
                                 [year](const YearCells& cells) { return cells.year == year; });
        }
        return found->cells;
    };
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
        if (!key) {
            data.activityWithoutWind += interval.activity;
            continue;
        }
        const Night& night = calendar.nights[place->night];
        CellActivity& cell = cellsOfYear(night.date.year)[static_cast<std::size_t>(
            (night.date.month - 1) * parts + place->part)];
        cell.activity += interval.activity;
        ++cell.intervals;
        data.activityInNights += interval.activity;
        data.activityByClass[*key] += interval.activity;
        const bool warmEnough = !options.temperatureFloor || !interval.temperature ||
                                *interval.temperature >= *options.temperatureFloor;
        if (warmEnough) {
            ClassStop& stop = cell.stops[*key];
            stop.activity += interval.activity;
            stop.energyKwh += options.energyKnown ? energy : 0.0;
            stop.hours += interval.seconds / kSecondsPerHour;
        }
    }
    data.nightsWithData = static_cast<int>(nightsWithData.size());
    return data;
}

}  // namespace vane
