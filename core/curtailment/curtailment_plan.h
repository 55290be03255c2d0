#pragma once

#include <cstdint>
#include <optional>
#include <vector>

#include "core/curtailment/curtailment_data.h"

namespace vane {

struct CellCutIn {
    int month = 1;     // 1..12
    int part = 0;      // 0-based
    double cutIn = 0;  // m/s, a multiple of 0.5; 0: never stopped
    std::int64_t activity = 0;
    std::int64_t protectedActivity = 0;
    double energyLostKwh = 0.0;
    double curtailedHours = 0.0;
    bool fromMonth = false;  // too little activity to decide: its month's cut-in
};

struct PlanTotals {
    std::int64_t protectedActivity = 0;
    double protectedShare = 0.0;  // of all night activity
    double energyLostKwh = 0.0;
    double curtailedHours = 0.0;
    bool targetReached = true;  // false: even stopping in every wind spares less than asked
};

struct BlanketPlan {
    double cutIn = 0.0;
    PlanTotals totals;
};

struct TailoredPlan {
    std::vector<CellCutIn> cells;  // every month and part, month first
    PlanTotals totals;
};

struct TradeoffPoint {
    int protectPercent = 0;
    // kWh, or hours without energy; none when no plan reaches the share
    std::optional<double> blanketCost;
    std::optional<double> tailoredCost;
};

// The smallest single cut-in for every cell that protects `percent` % of the cells' activity.
BlanketPlan blanketPlan(const std::vector<CellActivity>& cells, double percent, bool energyKnown);

// One cut-in per cell protecting `percent` % at the least cost (energy, or hours without it):
// a multiple-choice knapsack solved by dynamic programming over the activity a plan may protect
// less than the most protective one, exactly while that is at most kExactUnits; beyond, over
// units of equal weight, each choice's shortfall rounded up, so the plan still reaches the
// share. Among plans of equal cost the one protecting more is taken. Cells given a cut-in in
// `fixed` keep it.
TailoredPlan tailoredPlan(const std::vector<CellActivity>& cells, int parts, double percent,
                          bool energyKnown, const std::vector<std::optional<double>>& fixed = {});

inline constexpr std::int64_t kExactUnits = 20000;

// The cut-ins (one per cell) of the tailored plans for several shares, from one run of the
// programme.
std::vector<std::vector<double>> tailoredCutIns(const std::vector<CellActivity>& cells,
                                                const std::vector<double>& percents,
                                                bool energyKnown,
                                                const std::vector<std::optional<double>>& fixed);

// The plan of given cut-ins on `cells`, its totals counted there; `fromMonth` marks the cells
// that took their month's cut-in.
TailoredPlan planWithCutIns(const std::vector<CellActivity>& cells, int parts,
                            const std::vector<double>& cutIns, const std::vector<bool>& fromMonth);

// Lost energy (or hours) of both plans for every whole percent from `fromPercent` to
// `toPercent`, from one run of the dynamic programme.
std::vector<TradeoffPoint> tradeoffCurve(const std::vector<CellActivity>& cells, int fromPercent,
                                         int toPercent, bool energyKnown);
// The same with the blanket plans made from `blanketCells` and the tailored ones from `cells`
// (the activity a model expects, say) with the cut-ins `fixed` gives held.
std::vector<TradeoffPoint> tradeoffCurve(const std::vector<CellActivity>& blanketCells,
                                         const std::vector<CellActivity>& cells,
                                         const std::vector<std::optional<double>>& fixed,
                                         int fromPercent, int toPercent, bool energyKnown);

// The cut-in that first stops a wind class: above every reading in it, and never 0, which means
// never stopping.
double cutInOfClass(double key);

// The activity the protection target asks for: the least whole number of at least `percent` %
// of `total`.
std::int64_t requiredActivity(std::int64_t total, double percent);

// Protected activity, lost energy and hours of given cut-ins (one per cell) on `cells`.
PlanTotals applyCutIns(const std::vector<CellActivity>& cells, const std::vector<double>& cutIns);

// The cut-ins of a plan's cells, in cell order.
std::vector<double> cutInsOf(const TailoredPlan& plan);

}  // namespace vane
