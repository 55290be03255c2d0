#include "core/curtailment/farm_summary.h"

#include <algorithm>
#include <cstdio>
#include <string_view>
#include <tuple>
#include <utility>

#include "core/text/fixed_decimals.h"

namespace vane {
namespace {

std::string speed(double metresPerSecond) {
    char text[32];
    std::snprintf(text, sizeof text, "%g", metresPerSecond);
    return text;
}

// The column says "expected" once for every row.
std::string expectedText(const ShareEstimate& estimate) {
    const std::string text = expectedShareText(estimate);
    const std::string_view word = "expected ";
    return text.starts_with(word) ? text.substr(word.size()) : text;
}

// The energy lost and its share of the production, or the hours curtailed without energy.
std::pair<std::string, std::string> lossTexts(bool energyKnown, const PlanTotals& totals,
                                              double productionKwh) {
    if (!energyKnown) {
        return {fixedDecimals(totals.curtailedHours, 1) + " h", "-"};
    }
    return {fixedDecimals(totals.energyLostKwh / 1000.0, 2) + " MWh",
            productionKwh > 0.0
                ? fixedDecimals(100.0 * totals.energyLostKwh / productionKwh, 2) + " %"
                : std::string("-")};
}

}  // namespace

FarmSummaryRow farmSummaryRow(const std::string& turbine, const CurtailmentResult& result) {
    FarmSummaryRow row{.turbine = turbine,
                       .activity = std::to_string(result.data.activityInNights),
                       .blanketCutIn = speed(result.blanket.cutIn) + " m/s",
                       .tailoredCutIns = "-",
                       .expected = "-",
                       .energyLost = "-",
                       .energyShare = "-"};
    const std::vector<CellCutIn>& cells = result.tailored.cells;
    if (!cells.empty()) {
        const auto [low, high] = std::minmax_element(
            cells.begin(), cells.end(),
            [](const CellCutIn& a, const CellCutIn& b) { return a.cutIn < b.cutIn; });
        row.tailoredCutIns = low->cutIn == high->cutIn
                                 ? speed(low->cutIn) + " m/s"
                                 : speed(low->cutIn) + "-" + speed(high->cutIn) + " m/s";
    }
    if (result.validation.method != ValidationMethod::none) {
        row.expected = expectedText(result.validation.tailored);
    }
    std::tie(row.energyLost, row.energyShare) =
        lossTexts(result.energyKnown, result.tailored.totals, result.data.productionKwh);
    return row;
}

void addFarmPlan(FarmSummaryRow& row, const FarmPlan& farm, std::size_t index) {
    if (index >= farm.turbines.size()) {
        return;
    }
    const FarmPlanTurbine& turbine = farm.turbines[index];
    if (farm.result.validation.method != ValidationMethod::none) {
        row.farmPlanExpected = expectedText(turbine.expected);
    }
    std::tie(row.farmPlanEnergyLost, row.farmPlanEnergyShare) =
        lossTexts(farm.result.energyKnown, turbine.plan.totals, turbine.productionKwh);
}

FarmSummaryRow farmPlanRow(const FarmPlan& farm) {
    FarmSummaryRow row = farmSummaryRow(kFarmPlanRowName, farm.result);
    row.farmPlanExpected = row.expected;
    row.farmPlanEnergyLost = row.energyLost;
    row.farmPlanEnergyShare = row.energyShare;
    return row;
}

std::string farmSummaryTable(const std::vector<FarmSummaryRow>& rows) {
    std::string table =
        "turbine\tactivity\tblanket_cut_in\ttailored_cut_ins\texpected_protection\tenergy_lost\t"
        "energy_lost_share\tfarm_plan_protection\tfarm_plan_energy_lost\tfarm_plan_energy_lost_"
        "share\n";
    for (const FarmSummaryRow& row : rows) {
        table += row.turbine + '\t' + row.activity + '\t' + row.blanketCutIn + '\t' +
                 row.tailoredCutIns + '\t' + row.expected + '\t' + row.energyLost + '\t' +
                 row.energyShare + '\t' + row.farmPlanExpected + '\t' + row.farmPlanEnergyLost +
                 '\t' + row.farmPlanEnergyShare + '\n';
    }
    return table;
}

}  // namespace vane
