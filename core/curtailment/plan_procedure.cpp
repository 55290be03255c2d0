#include "core/curtailment/plan_procedure.h"

#include <algorithm>
#include <cstddef>

#include "core/curtailment/activity_model.h"

namespace vane {
namespace {

// The cut-in a month's cells need together, or, for a month without activity, the nearest
// month's that has some.
std::vector<std::optional<double>> monthCutIns(const std::vector<CellActivity>& cells, int parts,
                                               double percent, bool energyKnown) {
    std::vector<std::optional<double>> months(12);
    for (int month = 0; month < 12; ++month) {
        const auto first = cells.begin() + static_cast<std::ptrdiff_t>(month) * parts;
        const std::vector<CellActivity> monthCells(first, first + parts);
        std::int64_t activity = 0;
        for (const CellActivity& cell : monthCells) {
            activity += cell.activity;
        }
        if (activity > 0) {
            months[static_cast<std::size_t>(month)] =
                blanketPlan(monthCells, percent, energyKnown).cutIn;
        }
    }
    std::vector<std::optional<double>> filled = months;
    for (int month = 0; month < 12; ++month) {
        for (int distance = 1; distance < 12 && !filled[static_cast<std::size_t>(month)];
             ++distance) {
            for (const int other : {month - distance, month + distance}) {
                if (other >= 0 && other < 12 && months[static_cast<std::size_t>(other)]) {
                    filled[static_cast<std::size_t>(month)] =
                        months[static_cast<std::size_t>(other)];
                    break;
                }
            }
        }
    }
    return filled;
}

}  // namespace

MadePlans makePlans(const ClassSums& sums, const CurtailmentOptions& options,
                    const std::vector<double>& plannedPercents) {
    MadePlans made;
    made.counted = cellsOf(sums);
    made.blanket = blanketPlan(made.counted, options.protectPercent, options.energyKnown);
    made.fixed.assign(made.counted.size(), std::nullopt);
    if (options.minCellActivity > 0) {
        const std::vector<std::optional<double>> months =
            monthCutIns(made.counted, sums.parts, options.protectPercent, options.energyKnown);
        for (std::size_t c = 0; c < made.counted.size(); ++c) {
            if (made.counted[c].intervals > 0 &&
                made.counted[c].activeIntervals <
                    static_cast<std::int64_t>(options.minCellActivity) * sums.turbines) {
                made.fixed[c] = months[c / static_cast<std::size_t>(sums.parts)].value_or(0.0);
            }
        }
    }
    made.plannedOn = options.fit == PlanFit::exact
                         ? made.counted
                         : expectedCells(fitActivityModel(sums), sums, kModelUnits);
    made.tailoredCutIns =
        tailoredCutIns(made.plannedOn, plannedPercents, options.energyKnown, made.fixed);
    return made;
}

TailoredPlan tailoredPlanOf(const MadePlans& plans, const std::vector<double>& cutIns, int parts) {
    std::vector<bool> fromMonth(plans.counted.size());
    for (std::size_t c = 0; c < fromMonth.size(); ++c) {
        fromMonth[c] = plans.fixed[c].has_value();
    }
    return planWithCutIns(plans.counted, parts, cutIns, fromMonth);
}

std::vector<double> plannedPercents(const CurtailmentOptions& options) {
    std::vector<double> percents{options.protectPercent};
    if (options.fit == PlanFit::model) {
        for (int step = 1; step <= 20 && percents.back() < 100.0; ++step) {
            percents.push_back(std::min(options.protectPercent + 0.5 * step, 100.0));
        }
    }
    return percents;
}

}  // namespace vane
