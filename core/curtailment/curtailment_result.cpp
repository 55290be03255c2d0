#include "core/curtailment/curtailment_result.h"

#include <cmath>
#include <cstdio>
#include <string_view>
#include <utility>

#include "core/curtailment/plan_procedure.h"
#include "core/text/fixed_decimals.h"
#include "core/text/json_text.h"

namespace vane {
namespace {

// Every setting the plan was made with, so that a saved plan says what it answers.
std::string settingsJson(const CurtailmentResult& result, const PlanSources& sources) {
    const auto textOrNull = [](const std::string& text) {
        return text.empty() ? std::string("null") : jsonString(text);
    };
    return ",\"settings\":{\"latitude\":" + jsonNumber(result.site.latitude) +
           ",\"longitude\":" + jsonNumber(result.site.longitude) +
           ",\"zone\":" + textOrNull(sources.zoneName) +
           ",\"night_parts\":" + std::to_string(result.night.parts) +
           ",\"minutes_before_sunset\":" + std::to_string(result.night.minutesBeforeSunset) +
           ",\"minutes_after_sunrise\":" + std::to_string(result.night.minutesAfterSunrise) +
           ",\"temperature_floor\":" + jsonNumber(result.temperatureFloor) +
           ",\"power\":" + textOrNull(sources.power) +
           ",\"effort\":" + (result.data.effortFromRecordings ? "\"recordings\"" : "\"file\"") +
           ",\"fit\":" + (result.fit == PlanFit::exact ? "\"exact\"" : "\"model\"") +
           ",\"min_cell_activity\":" + std::to_string(result.minCellActivity) +
           ",\"wind_file\":" + textOrNull(sources.windFile) +
           ",\"recordings\":" + textOrNull(sources.recordings) +
           ",\"project\":" + textOrNull(sources.project) +
           ",\"turbine\":" + textOrNull(sources.turbine) +
           ",\"detector\":" + textOrNull(sources.detector) + "}";
}

std::string percentText(double share) {
    return fixedDecimals(100.0 * share, 1) + " %";
}

std::string lossText(const CurtailmentResult& result, const PlanTotals& totals) {
    if (!result.energyKnown) {
        return fixedDecimals(totals.curtailedHours, 1) + " h curtailed (no power column or curve)";
    }
    std::string text = fixedDecimals(totals.energyLostKwh / 1000.0, 2) + " MWh lost";
    if (result.data.productionKwh > 0.0) {
        text += " (" + fixedDecimals(100.0 * totals.energyLostKwh / result.data.productionKwh, 2) +
                " % of production)";
    }
    return text;
}

std::string reachedText(const PlanTotals& totals) {
    return totals.targetReached ? "" : " (target out of reach: stopping in every wind spares less)";
}

std::string estimateLine(const CurtailmentResult& result, const ShareEstimate& estimate) {
    if (result.validation.method == ValidationMethod::none) {
        return "no estimate on nights it was not made from (too few nights to hold any out)";
    }
    std::string text = expectedShareText(estimate) + " on nights it was not made from, ";
    if (result.energyKnown) {
        text += fixedDecimals(estimate.energyLostKwh / 1000.0, 2) + " MWh lost there";
    } else {
        text += fixedDecimals(estimate.curtailedHours, 1) + " h curtailed there";
    }
    return text;
}

// A model plan planned above the target to keep it on other nights says so.
std::string plannedText(const CurtailmentResult& result) {
    if (result.validation.plannedPercent <= result.protectPercent) {
        return "";
    }
    return " (planned for " + fixedDecimals(result.validation.plannedPercent, 1) +
           " % of the expected activity to keep the target on other nights)";
}

std::string methodName(ValidationMethod method) {
    switch (method) {
        case ValidationMethod::heldOutYears:
            return "held_out_years";
        case ValidationMethod::nightBlocks:
            return "weeks_of_nights";
        case ValidationMethod::none:
            break;
    }
    return "none";
}

std::string estimateJson(const CurtailmentResult& result, const ShareEstimate& estimate) {
    if (result.validation.method == ValidationMethod::none) {
        return ",\"expected_share\":null,\"share_interval\":null,\"expected_energy_lost_kwh\":null,"
               "\"expected_curtailed_hours\":null";
    }
    return ",\"expected_share\":" + jsonNumber(estimate.share) + ",\"share_interval\":[" +
           jsonNumber(estimate.low) + "," + jsonNumber(estimate.high) +
           "],\"expected_energy_lost_kwh\":" +
           (result.energyKnown ? jsonNumber(estimate.energyLostKwh) : std::string("null")) +
           ",\"expected_curtailed_hours\":" + jsonNumber(estimate.curtailedHours);
}

}  // namespace

CurtailmentResult curtailmentResult(const std::vector<TurbineInterval>& intervals, const Site& site,
                                    const CurtailmentOptions& options, const icu::TimeZone& zone) {
    return curtailmentResult(curtailmentData(intervals, site, options, zone), site, options);
}

CurtailmentResult curtailmentResult(CurtailmentData data, const Site& site,
                                    const CurtailmentOptions& options) {
    CurtailmentResult result;
    result.protectPercent = options.protectPercent;
    result.site = site;
    result.night = options.night;
    result.energyKnown = options.energyKnown;
    result.temperatureFloor = options.temperatureFloor;
    result.fit = options.fit;
    result.minCellActivity = options.minCellActivity;
    result.data = std::move(data);
    result.validation = validatePlans(result.data, options);
    const double planned = result.validation.plannedPercent;
    const MadePlans plans = makePlans(classSums(result.data), options, {planned});
    result.blanket = plans.blanket;
    result.tailored = tailoredPlanOf(plans, plans.tailoredCutIns.front(), result.data.parts);
    std::int64_t plannedTotal = 0;
    for (const CellActivity& cell : plans.plannedOn) {
        plannedTotal += cell.activity;
    }
    result.tailored.totals.targetReached =
        applyCutIns(plans.plannedOn, plans.tailoredCutIns.front()).protectedActivity >=
        requiredActivity(plannedTotal, planned);
    result.tradeoff = tradeoffCurve(plans.counted, plans.plannedOn, plans.fixed, kTradeoffFrom,
                                    kTradeoffTo, options.energyKnown);
    return result;
}

std::string expectedShareText(const ShareEstimate& estimate) {
    // The interval is widened, never narrowed, by the rounding.
    const auto whole = [](double percent) { return std::to_string(static_cast<int>(percent)); };
    return "expected " + whole(std::round(100.0 * estimate.share)) + " % (" +
           whole(std::floor(100.0 * estimate.low + 1e-9)) + "-" +
           whole(std::ceil(100.0 * estimate.high - 1e-9)) + " %)";
}

std::string validationText(const PlanValidation& validation) {
    switch (validation.method) {
        case ValidationMethod::heldOutYears:
            return "Estimate: each of " + std::to_string(validation.folds) +
                   " years planned from the other years; 90 % intervals from resampling weeks";
        case ValidationMethod::nightBlocks:
            return "Estimate: " + std::to_string(validation.folds) +
                   "-fold cross-validation over whole weeks of nights; 90 % intervals from "
                   "resampling weeks";
        case ValidationMethod::none:
            break;
    }
    return "Estimate: none (fewer than two weeks of nights)";
}

std::string fitText(PlanFit fit) {
    return fit == PlanFit::exact ? "exact fit, in-sample" : "activity model";
}

std::string curtailmentTable(const CurtailmentResult& result) {
    std::string text =
        "month\tnight_part\tcut_in\tactivity\tprotected\tcurtailed_hours\tenergy_lost_kWh\t"
        "decided_by\n";
    const std::vector<CellActivity> cells = cellsOf(result.data);
    for (std::size_t c = 0; c < result.tailored.cells.size(); ++c) {
        if (c >= cells.size() || cells[c].intervals == 0) {
            continue;
        }
        const CellCutIn& cell = result.tailored.cells[c];
        text += std::to_string(cell.month) + '\t' + std::to_string(cell.part + 1) + '\t' +
                fixedDecimals(cell.cutIn, 1) + '\t' + std::to_string(cell.activity) + '\t' +
                std::to_string(cell.protectedActivity) + '\t' +
                fixedDecimals(cell.curtailedHours, 2) + '\t' +
                (result.energyKnown ? fixedDecimals(cell.energyLostKwh, 1) : std::string("-")) +
                (cell.fromMonth ? "\tmonth\n" : "\tcell\n");
    }
    return text;
}

std::string curtailmentSummary(const CurtailmentResult& result) {
    int stopped = 0;
    int withData = 0;
    int fromMonth = 0;
    const std::vector<CellActivity> cells = cellsOf(result.data);
    for (std::size_t c = 0; c < cells.size() && c < result.tailored.cells.size(); ++c) {
        withData += cells[c].intervals > 0;
        stopped += result.tailored.cells[c].cutIn > 0.0;
        fromMonth += cells[c].intervals > 0 && result.tailored.cells[c].fromMonth;
    }
    const PlanTotals& blanket = result.blanket.totals;
    const PlanTotals& tailored = result.tailored.totals;
    std::string text =
        "Blanket: cut-in " + fixedDecimals(result.blanket.cutIn, 1) +
        " m/s in every cell: " + percentText(blanket.protectedShare) + " of activity protected, " +
        lossText(result, blanket) + reachedText(blanket) + "\n" +
        "Blanket: " + estimateLine(result, result.validation.blanket) + "\n" + "Tailored (" +
        fitText(result.fit) + "): a cut-in in " + std::to_string(stopped) + " of " +
        std::to_string(withData) + " cells" + plannedText(result) + ": " +
        percentText(tailored.protectedShare) + " of activity protected, " +
        lossText(result, tailored) + reachedText(tailored) + "\n" +
        "Tailored: " + estimateLine(result, result.validation.tailored) + "\n";
    if (fromMonth > 0) {
        text += "Cells with fewer than " + std::to_string(result.minCellActivity) +
                " active intervals: " + std::to_string(fromMonth) +
                ", each with its month's cut-in (decided_by month)\n";
    }
    return text + validationText(result.validation) + "\n";
}

std::string holdoutTable(const CurtailmentResult& result) {
    if (result.validation.years.empty()) {
        return "";
    }
    std::string text = "held_out_year\tactivity\tprotected_tailored\tprotected_blanket\n";
    for (const HeldOutYear& year : result.validation.years) {
        text += std::to_string(year.year) + '\t' + std::to_string(year.activity) + '\t' +
                (year.used ? fixedDecimals(100.0 * year.tailoredShare, 1) + '\t' +
                                 fixedDecimals(100.0 * year.blanketShare, 1)
                           : std::string("-\t-")) +
                '\n';
    }
    return text;
}

std::string curtailmentJson(const CurtailmentResult& result, const PlanSources& sources) {
    const auto energy = [&](double kwh) {
        return result.energyKnown ? jsonNumber(kwh) : std::string("null");
    };
    const CurtailmentData& data = result.data;
    std::string json =
        "{\"target\":" + jsonNumber(result.protectPercent) +
        ",\"activity_total\":" + std::to_string(data.activityInNights) +
        ",\"activity_outside_nights\":" + std::to_string(data.activityOutsideNights) +
        ",\"production_kwh\":" + energy(data.productionKwh);
    const PlanTotals& blanket = result.blanket.totals;
    json += ",\"blanket\":{\"cut_in\":" + jsonNumber(result.blanket.cutIn) +
            ",\"protected_share\":" + jsonNumber(blanket.protectedShare) +
            ",\"energy_lost_kwh\":" + energy(blanket.energyLostKwh) +
            ",\"curtailed_hours\":" + jsonNumber(blanket.curtailedHours) +
            estimateJson(result, result.validation.blanket) + "}";
    const PlanTotals& tailored = result.tailored.totals;
    json += std::string(",\"tailored\":{\"fit\":") +
            (result.fit == PlanFit::exact ? "\"exact\",\"in_sample\":true"
                                          : "\"model\",\"in_sample\":false") +
            ",\"planned_percent\":" + jsonNumber(result.validation.plannedPercent) +
            ",\"protected_share\":" + jsonNumber(tailored.protectedShare) +
            ",\"energy_lost_kwh\":" + energy(tailored.energyLostKwh) +
            ",\"curtailed_hours\":" + jsonNumber(tailored.curtailedHours) +
            estimateJson(result, result.validation.tailored) +
            ",\"min_cell_activity\":" + std::to_string(result.minCellActivity) + ",\"cells\":[";
    const std::vector<CellActivity> cells = cellsOf(data);
    bool first = true;
    for (std::size_t c = 0; c < result.tailored.cells.size(); ++c) {
        if (c >= cells.size() || cells[c].intervals == 0) {
            continue;
        }
        const CellCutIn& cell = result.tailored.cells[c];
        json += std::string(first ? "" : ",") + "{\"month\":" + std::to_string(cell.month) +
                ",\"night_part\":" + std::to_string(cell.part + 1) +
                ",\"cut_in\":" + jsonNumber(cell.cutIn) + ",\"decided_by\":\"" +
                (cell.fromMonth ? "month" : "cell") + "\"}";
        first = false;
    }
    json += "]},\"tradeoff\":[";
    first = true;
    for (const TradeoffPoint& point : result.tradeoff) {
        json +=
            std::string(first ? "" : ",") + "{\"protect\":" + std::to_string(point.protectPercent) +
            ",\"blanket_kwh\":" + (result.energyKnown ? jsonNumber(point.blanketCost) : "null") +
            ",\"tailored_kwh\":" + (result.energyKnown ? jsonNumber(point.tailoredCost) : "null") +
            "}";
        first = false;
    }
    json += "],\"validation\":{\"method\":\"" + methodName(result.validation.method) +
            "\",\"folds\":" + std::to_string(result.validation.folds) +
            ",\"interval\":0.9},\"holdout\":[";
    first = true;
    for (const HeldOutYear& year : result.validation.years) {
        const auto share = [&](double value) {
            return year.used ? jsonNumber(value) : std::string("null");
        };
        json += std::string(first ? "" : ",") + "{\"year\":" + std::to_string(year.year) +
                ",\"activity\":" + std::to_string(year.activity) +
                ",\"used\":" + (year.used ? "true" : "false") +
                ",\"protected_share\":" + share(year.tailoredShare) +
                ",\"blanket_protected_share\":" + share(year.blanketShare) + "}";
        first = false;
    }
    json += "]" + settingsJson(result, sources) + "}\n";
    return json;
}

}  // namespace vane
