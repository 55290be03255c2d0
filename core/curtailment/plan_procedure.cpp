#include "core/curtailment/plan_procedure.h"

#include <cstdlib>

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

MadePlans makePlans(const CurtailmentData& data, const NightSelection& take,
                    const CurtailmentOptions& options) {
    MadePlans made;
    const std::vector<CellActivity> counted = cellsOf(data, take);
    made.blanket = blanketPlan(counted, options.protectPercent, options.energyKnown);
    made.fixed.assign(counted.size(), std::nullopt);
    if (options.minCellActivity > 0) {
        const std::vector<std::optional<double>> months =
            monthCutIns(counted, data.parts, options.protectPercent, options.energyKnown);
        for (std::size_t c = 0; c < counted.size(); ++c) {
            if (counted[c].intervals > 0 && counted[c].activeIntervals < options.minCellActivity) {
                made.fixed[c] = months[c / static_cast<std::size_t>(data.parts)].value_or(0.0);
            }
        }
    }
    made.plannedOn = options.fit == PlanFit::exact
                         ? counted
                         : expectedCells(fitActivityModel(data, take), data, take, kModelUnits);
    const TailoredPlan planned = tailoredPlan(made.plannedOn, data.parts, options.protectPercent,
                                              options.energyKnown, made.fixed);
    std::vector<bool> fromMonth(counted.size());
    for (std::size_t c = 0; c < counted.size(); ++c) {
        fromMonth[c] = made.fixed[c].has_value();
    }
    made.tailored = planWithCutIns(counted, data.parts, cutInsOf(planned), fromMonth);
    made.tailored.totals.targetReached = planned.totals.targetReached;
    return made;
}

}  // namespace vane
