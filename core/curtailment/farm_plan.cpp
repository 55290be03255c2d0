#include "core/curtailment/farm_plan.h"

#include <algorithm>
#include <map>
#include <tuple>

#include "core/text/json_text.h"

namespace vane {
namespace {

using ClassKey = std::tuple<int, double, int, bool>;

struct PooledNight {
    NightActivity night;
    int turbines = 0;  // that had this night, for its mean length
    std::map<ClassKey, NightClass> classes;
};

void addNight(PooledNight& pooled, const NightActivity& night) {
    pooled.night.year = night.year;
    pooled.night.month = night.month;
    pooled.night.day = night.day;
    pooled.night.seconds += night.seconds;
    ++pooled.turbines;
    for (const NightClass& counted : night.classes) {
        NightClass& sum = pooled.classes[ClassKey{counted.cell, counted.windKey,
                                                  counted.temperatureKey, counted.stoppable}];
        sum.cell = counted.cell;
        sum.windKey = counted.windKey;
        sum.temperatureKey = counted.temperatureKey;
        sum.stoppable = counted.stoppable;
        sum.activity += counted.activity;
        sum.intervals += counted.intervals;
        sum.activeIntervals += counted.activeIntervals;
        sum.energyKwh += counted.energyKwh;
        sum.hours += counted.hours;
    }
}

struct PooledCoverage {
    NightCoverage night;
    double windShares = 0.0;
    int monitored = 0;
};

std::vector<NightCoverage> pooledCoverage(const std::vector<const CurtailmentData*>& turbines) {
    std::map<std::tuple<int, int, int>, PooledCoverage> byDate;
    for (const CurtailmentData* data : turbines) {
        for (const NightCoverage& night : data->coverage) {
            PooledCoverage& pooled = byDate[{night.date.year, night.date.month, night.date.day}];
            pooled.night.date = night.date;
            pooled.night.monitored = pooled.night.monitored || night.monitored;
            pooled.night.activity += night.activity;
            if (night.monitored) {
                pooled.windShares += night.windShare;
                ++pooled.monitored;
            }
        }
    }
    std::vector<NightCoverage> coverage;
    coverage.reserve(byDate.size());
    for (auto& [date, pooled] : byDate) {
        // The share of the turbines' night covered by wind readings, as a mean over those
        // that monitored it.
        pooled.night.windShare = pooled.monitored > 0 ? pooled.windShares / pooled.monitored : 0.0;
        coverage.push_back(pooled.night);
    }
    return coverage;
}

CurtailmentOptions optionsOf(const CurtailmentResult& result) {
    CurtailmentOptions options;
    options.protectPercent = result.protectPercent;
    options.night = result.night;
    options.temperatureFloor = result.temperatureFloor;
    options.energyKnown = result.energyKnown;
    options.fit = result.fit;
    options.minCellActivity = result.minCellActivity;
    return options;
}

}  // namespace

std::optional<FarmPlanMismatch> farmPlanMismatch(
    const std::vector<const CurtailmentResult*>& plans) {
    for (std::size_t other = 1; other < plans.size(); ++other) {
        const CurtailmentResult& a = *plans.front();
        const CurtailmentResult& b = *plans[other];
        const std::pair<bool, const char*> settings[] = {
            {a.protectPercent == b.protectPercent, "protect"},
            {a.night.parts == b.night.parts, "night-parts"},
            {a.night.minutesBeforeSunset == b.night.minutesBeforeSunset, "before-sunset"},
            {a.night.minutesAfterSunrise == b.night.minutesAfterSunrise, "after-sunrise"},
            {a.energyKnown == b.energyKnown, "power-column or power-curve"},
            {a.fit == b.fit, "fit"},
            {a.minCellActivity == b.minCellActivity, "min-cell-activity"},
        };
        for (const auto& [same, setting] : settings) {
            if (!same) {
                return FarmPlanMismatch{0, other, setting};
            }
        }
    }
    return std::nullopt;
}

CurtailmentData pooledData(const std::vector<const CurtailmentData*>& turbines) {
    CurtailmentData pooled;
    if (turbines.empty()) {
        return pooled;
    }
    pooled.parts = turbines.front()->parts;
    pooled.minutesBeforeSunset = turbines.front()->minutesBeforeSunset;
    pooled.minutesAfterSunrise = turbines.front()->minutesAfterSunrise;
    pooled.periodStart = turbines.front()->periodStart;
    pooled.periodEnd = turbines.front()->periodEnd;
    std::map<long, PooledNight> nights;
    for (const CurtailmentData* data : turbines) {
        for (const NightActivity& night : data->nights) {
            addNight(nights[night.day], night);
        }
        for (const auto& [key, activity] : data->activityByClass) {
            pooled.activityByClass[key] += activity;
        }
        pooled.activityInNights += data->activityInNights;
        pooled.activityOutsideNights += data->activityOutsideNights;
        pooled.activityOutsideEffort += data->activityOutsideEffort;
        pooled.activityWithoutWind += data->activityWithoutWind;
        pooled.productionKwh += data->productionKwh;
        pooled.periodStart = std::min(pooled.periodStart, data->periodStart);
        pooled.periodEnd = std::max(pooled.periodEnd, data->periodEnd);
        pooled.daysWithoutNight = std::max(pooled.daysWithoutNight, data->daysWithoutNight);
        pooled.effortFromRecordings = pooled.effortFromRecordings || data->effortFromRecordings;
    }
    for (auto& [day, night] : nights) {
        NightActivity& added = pooled.nights.emplace_back(std::move(night.night));
        added.seconds /= night.turbines;  // the farm's mean night, for a controller's minutes
        added.classes.reserve(night.classes.size());
        for (const auto& [key, counted] : night.classes) {
            added.classes.push_back(counted);
        }
    }
    pooled.nightsWithData = static_cast<int>(pooled.nights.size());
    pooled.turbines = 0;
    for (const CurtailmentData* data : turbines) {
        pooled.turbines += data->turbines;
    }
    pooled.coverage = pooledCoverage(turbines);
    pooled.nightsInPeriod = static_cast<int>(pooled.coverage.size());
    return pooled;
}

FarmPlan farmPlan(const std::vector<const CurtailmentResult*>& plans) {
    FarmPlan farm;
    if (plans.empty()) {
        return farm;
    }
    std::vector<const CurtailmentData*> data;
    Site centre;
    for (const CurtailmentResult* plan : plans) {
        data.push_back(&plan->data);
        centre.latitude += plan->site.latitude / static_cast<double>(plans.size());
        centre.longitude += plan->site.longitude / static_cast<double>(plans.size());
    }
    CurtailmentOptions options = optionsOf(*plans.front());
    for (const CurtailmentResult* plan : plans) {
        if (plan->temperatureFloor != options.temperatureFloor) {
            options.temperatureFloor.reset();
        }
    }
    farm.result = curtailmentResult(pooledData(data), centre, options);
    const std::vector<double> cutIns = cutInsOf(farm.result.tailored);
    std::vector<bool> fromMonth;
    for (const CellCutIn& cell : farm.result.tailored.cells) {
        fromMonth.push_back(cell.fromMonth);
    }
    for (const CurtailmentResult* plan : plans) {
        FarmPlanTurbine& turbine = farm.turbines.emplace_back();
        turbine.activity = plan->data.activityInNights;
        turbine.plan = planWithCutIns(cellsOf(plan->data), plan->data.parts, cutIns, fromMonth);
        turbine.productionKwh = plan->data.productionKwh;
        turbine.temperatureFloor = plan->temperatureFloor;
        turbine.expected = heldOutShare(farm.result.data, farm.result.validation, plan->data);
    }
    return farm;
}

CurtailmentResult farmPlanAt(const FarmPlan& farm, std::size_t index,
                             const CurtailmentResult& turbine) {
    CurtailmentResult at = turbine;
    if (index < farm.turbines.size()) {
        at.tailored = farm.turbines[index].plan;
    }
    return at;
}

std::string farmPlanJson(const FarmPlan& farm, const std::vector<std::string>& names,
                         const PlanSources& sources) {
    std::string json = curtailmentJson(farm.result, sources);
    json.resize(json.rfind('}'));  // the object is continued
    const bool energyKnown = farm.result.energyKnown;
    const bool validated = farm.result.validation.method != ValidationMethod::none;
    const auto orNull = [](bool known, double value) {
        return known ? jsonNumber(value) : std::string("null");
    };
    json += ",\"turbines\":[";
    for (std::size_t t = 0; t < farm.turbines.size() && t < names.size(); ++t) {
        const FarmPlanTurbine& turbine = farm.turbines[t];
        json += std::string(t == 0 ? "" : ",") + "{\"name\":" + jsonString(names[t]) +
                ",\"activity\":" + std::to_string(turbine.activity) +
                ",\"protected_share\":" + jsonNumber(turbine.plan.totals.protectedShare) +
                ",\"energy_lost_kwh\":" + orNull(energyKnown, turbine.plan.totals.energyLostKwh) +
                ",\"curtailed_hours\":" + jsonNumber(turbine.plan.totals.curtailedHours) +
                ",\"temperature_floor\":" + jsonNumber(turbine.temperatureFloor) +
                ",\"production_kwh\":" + orNull(energyKnown, turbine.productionKwh) +
                ",\"expected_share\":" + orNull(validated, turbine.expected.share) +
                ",\"share_interval\":" +
                (validated ? "[" + jsonNumber(turbine.expected.low) + "," +
                                 jsonNumber(turbine.expected.high) + "]"
                           : std::string("null")) +
                "}";
    }
    return json + "]}\n";
}

}  // namespace vane
