#include "core/curtailment/curtailment_result.h"

#include <charconv>
#include <cmath>
#include <cstdio>

namespace vane {
namespace {

// Shortest text that reads back as the same double; JSON has no infinities or NaN.
std::string jsonNumber(double value) {
    if (!std::isfinite(value)) {
        return "null";
    }
    char buffer[32];
    const auto [end, error] = std::to_chars(buffer, buffer + sizeof buffer, value);
    return error == std::errc() ? std::string(buffer, end) : std::string("null");
}

std::string jsonNumber(std::optional<double> value) {
    return value ? jsonNumber(*value) : std::string("null");
}

std::string fixed(double value, int digits) {
    char buffer[64];
    std::snprintf(buffer, sizeof buffer, "%.*f", digits, value);
    return buffer;
}

std::string percentText(double share) {
    return fixed(100.0 * share, 1) + " %";
}

std::string lossText(const CurtailmentResult& result, const PlanTotals& totals) {
    if (!result.energyKnown) {
        return fixed(totals.curtailedHours, 1) + " h curtailed (no power column or curve)";
    }
    std::string text = fixed(totals.energyLostKwh / 1000.0, 2) + " MWh lost";
    if (result.data.productionKwh > 0.0) {
        text += " (" + fixed(100.0 * totals.energyLostKwh / result.data.productionKwh, 2) +
                " % of production)";
    }
    return text;
}

std::string reachedText(const PlanTotals& totals) {
    return totals.targetReached ? "" : " (target out of reach: stopping in every wind spares less)";
}

}  // namespace

CurtailmentResult curtailmentResult(const std::vector<TurbineInterval>& intervals, const Site& site,
                                    const CurtailmentOptions& options, const icu::TimeZone& zone) {
    CurtailmentResult result;
    result.protectPercent = options.protectPercent;
    result.energyKnown = options.energyKnown;
    result.temperatureFloor = options.temperatureFloor;
    result.data = curtailmentData(intervals, site, options, zone);
    const std::vector<CellActivity> cells = cellsOfYears(result.data, {});
    result.blanket = blanketPlan(cells, options.protectPercent, options.energyKnown);
    result.tailored =
        tailoredPlan(cells, result.data.parts, options.protectPercent, options.energyKnown);
    result.tradeoff = tradeoffCurve(cells, kTradeoffFrom, kTradeoffTo, options.energyKnown);
    result.holdout = holdoutChecks(result.data, options.protectPercent, options.energyKnown);
    return result;
}

std::string curtailmentTable(const CurtailmentResult& result) {
    std::string text =
        "month\tnight_part\tcut_in\tactivity\tprotected\tcurtailed_hours\tenergy_lost_kWh\n";
    const std::vector<CellActivity> cells = cellsOfYears(result.data, {});
    for (std::size_t c = 0; c < result.tailored.cells.size(); ++c) {
        if (c >= cells.size() || cells[c].intervals == 0) {
            continue;
        }
        const CellCutIn& cell = result.tailored.cells[c];
        text += std::to_string(cell.month) + '\t' + std::to_string(cell.part + 1) + '\t' +
                fixed(cell.cutIn, 1) + '\t' + std::to_string(cell.activity) + '\t' +
                std::to_string(cell.protectedActivity) + '\t' + fixed(cell.curtailedHours, 2) +
                '\t' + (result.energyKnown ? fixed(cell.energyLostKwh, 1) : std::string("-")) +
                '\n';
    }
    return text;
}

std::string curtailmentSummary(const CurtailmentResult& result) {
    int stopped = 0;
    int withData = 0;
    const std::vector<CellActivity> cells = cellsOfYears(result.data, {});
    for (std::size_t c = 0; c < cells.size() && c < result.tailored.cells.size(); ++c) {
        withData += cells[c].intervals > 0;
        stopped += result.tailored.cells[c].cutIn > 0.0;
    }
    const PlanTotals& blanket = result.blanket.totals;
    const PlanTotals& tailored = result.tailored.totals;
    return "Blanket: cut-in " + fixed(result.blanket.cutIn, 1) +
           " m/s in every cell: " + percentText(blanket.protectedShare) +
           " of activity protected, " + lossText(result, blanket) + reachedText(blanket) + "\n" +
           "Tailored: a cut-in in " + std::to_string(stopped) + " of " + std::to_string(withData) +
           " cells: " + percentText(tailored.protectedShare) + " of activity protected, " +
           lossText(result, tailored) + reachedText(tailored) + "\n";
}

std::string holdoutTable(const CurtailmentResult& result) {
    if (result.holdout.empty()) {
        return "";
    }
    std::string text = "held_out_year\tactivity\tprotected_tailored\tprotected_blanket\n";
    for (const HoldoutCheck& check : result.holdout) {
        text += std::to_string(check.year) + '\t' + std::to_string(check.activity) + '\t' +
                fixed(100.0 * check.tailoredShare, 1) + '\t' +
                fixed(100.0 * check.blanketShare, 1) + '\n';
    }
    return text;
}

std::string curtailmentJson(const CurtailmentResult& result) {
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
            ",\"curtailed_hours\":" + jsonNumber(blanket.curtailedHours) + "}";
    const PlanTotals& tailored = result.tailored.totals;
    json += ",\"tailored\":{\"protected_share\":" + jsonNumber(tailored.protectedShare) +
            ",\"energy_lost_kwh\":" + energy(tailored.energyLostKwh) +
            ",\"curtailed_hours\":" + jsonNumber(tailored.curtailedHours) + ",\"cells\":[";
    const std::vector<CellActivity> cells = cellsOfYears(data, {});
    bool first = true;
    for (std::size_t c = 0; c < result.tailored.cells.size(); ++c) {
        if (c >= cells.size() || cells[c].intervals == 0) {
            continue;
        }
        const CellCutIn& cell = result.tailored.cells[c];
        json += std::string(first ? "" : ",") + "{\"month\":" + std::to_string(cell.month) +
                ",\"night_part\":" + std::to_string(cell.part + 1) +
                ",\"cut_in\":" + jsonNumber(cell.cutIn) + "}";
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
    json += "],\"holdout\":[";
    first = true;
    for (const HoldoutCheck& check : result.holdout) {
        json += std::string(first ? "" : ",") + "{\"year\":" + std::to_string(check.year) +
                ",\"activity\":" + std::to_string(check.activity) +
                ",\"protected_share\":" + jsonNumber(check.tailoredShare) +
                ",\"blanket_protected_share\":" + jsonNumber(check.blanketShare) + "}";
        first = false;
    }
    json += "]}\n";
    return json;
}

}  // namespace vane
