#include "core/curtailment/farm_summary.h"

#include <algorithm>
#include <cstdio>
#include <string_view>

#include "core/text/fixed_decimals.h"

namespace vane {
namespace {

std::string speed(double metresPerSecond) {
    char text[32];
    std::snprintf(text, sizeof text, "%g", metresPerSecond);
    return text;
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
        // The column says "expected" once for every row.
        const std::string text = expectedShareText(result.validation.tailored);
        const std::string_view word = "expected ";
        row.expected = text.starts_with(word) ? text.substr(word.size()) : text;
    }
    const PlanTotals& totals = result.tailored.totals;
    if (result.energyKnown) {
        row.energyLost = fixedDecimals(totals.energyLostKwh / 1000.0, 2) + " MWh";
        if (result.data.productionKwh > 0.0) {
            row.energyShare =
                fixedDecimals(100.0 * totals.energyLostKwh / result.data.productionKwh, 2) + " %";
        }
    } else {
        row.energyLost = fixedDecimals(totals.curtailedHours, 1) + " h";
    }
    return row;
}

std::string farmSummaryTable(const std::vector<FarmSummaryRow>& rows) {
    std::string table =
        "turbine\tactivity\tblanket_cut_in\ttailored_cut_ins\texpected_protection\tenergy_lost\t"
        "energy_lost_share\n";
    for (const FarmSummaryRow& row : rows) {
        table += row.turbine + '\t' + row.activity + '\t' + row.blanketCutIn + '\t' +
                 row.tailoredCutIns + '\t' + row.expected + '\t' + row.energyLost + '\t' +
                 row.energyShare + '\n';
    }
    return table;
}

}  // namespace vane
