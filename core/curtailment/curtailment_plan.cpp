#include "core/curtailment/curtailment_plan.h"

#include <algorithm>
#include <cmath>
#include <cstdint>
#include <limits>
#include <set>

#include "core/analysis/activity_classes.h"

namespace vane {
namespace {

constexpr double kInfinity = std::numeric_limits<double>::infinity();

// Activity in units of `unit`, rounded up, so that a plan within the units' allowance stays
// within the activity's.
std::int64_t unitsOf(std::int64_t activity, std::int64_t unit) {
    return unit == 1 ? activity : (activity + unit - 1) / unit;
}

// The weight of one unit of the programme, so that `allowed` takes at most kExactUnits of them.
std::int64_t unitFor(std::int64_t allowed) {
    return std::max<std::int64_t>(1, (allowed + kExactUnits - 1) / kExactUnits);
}

double costOf(const ClassStop& stop, bool energyKnown) {
    return energyKnown ? stop.energyKwh : stop.hours;
}

// What each cut-in worth considering gives in one cell: ascending cut-ins, each the upper bound
// of a class the cell has (or 0), with the cumulative protection and cost.
struct Choice {
    double cutIn = 0.0;
    std::int64_t protectedActivity = 0;
    double cost = 0.0;
};

std::vector<Choice> choicesOf(const CellActivity& cell, bool energyKnown) {
    std::vector<Choice> choices{{}};
    for (const auto& [key, stop] : cell.stops) {
        const double cutIn = cutInOfClass(key);
        Choice next = choices.back();
        next.protectedActivity += stop.activity;
        next.cost += costOf(stop, energyKnown);
        if (next.cutIn == cutIn) {
            choices.back() = next;
        } else {
            next.cutIn = cutIn;
            choices.push_back(next);
        }
    }
    return choices;
}

// Leaves only choices no other beats on both counts: of equal protection the cheapest, of
// equal cost the most protective. Costs never fall as the cut-in rises, so both are found among
// neighbours.
std::vector<Choice> undominated(const std::vector<Choice>& choices) {
    std::vector<Choice> protective;
    for (const Choice& choice : choices) {
        if (protective.empty() || choice.protectedActivity > protective.back().protectedActivity) {
            protective.push_back(choice);
        }
    }
    std::vector<Choice> kept;
    for (std::size_t k = 0; k < protective.size(); ++k) {
        if (k + 1 == protective.size() || protective[k + 1].cost > protective[k].cost) {
            kept.push_back(protective[k]);
        }
    }
    return kept;
}

std::int64_t totalActivity(const std::vector<CellActivity>& cells) {
    std::int64_t total = 0;
    for (const CellActivity& cell : cells) {
        total += cell.activity;
    }
    return total;
}

PlanTotals totalsWithShare(PlanTotals totals, std::int64_t total, std::int64_t required) {
    totals.protectedShare =
        total > 0 ? static_cast<double>(totals.protectedActivity) / static_cast<double>(total)
                  : 0.0;
    totals.targetReached = totals.protectedActivity >= required;
    return totals;
}

// Every class of every cell as one step of the blanket cut-in, ascending.
struct BlanketStep {
    double cutIn = 0.0;
    std::int64_t activity = 0;
    double cost = 0.0;
    double energyKwh = 0.0;
    double hours = 0.0;
};

std::vector<BlanketStep> blanketSteps(const std::vector<CellActivity>& cells, bool energyKnown) {
    std::vector<BlanketStep> steps;
    for (const CellActivity& cell : cells) {
        for (const auto& [key, stop] : cell.stops) {
            steps.push_back({cutInOfClass(key), stop.activity, costOf(stop, energyKnown),
                             stop.energyKwh, stop.hours});
        }
    }
    std::sort(steps.begin(), steps.end(),
              [](const BlanketStep& a, const BlanketStep& b) { return a.cutIn < b.cutIn; });
    return steps;
}

// The smallest cut-in whose steps reach `required`, with its totals; the largest when none does.
BlanketPlan blanketFromSteps(const std::vector<BlanketStep>& steps, std::int64_t required,
                             double* cost) {
    BlanketPlan plan;
    double summedCost = 0.0;
    for (std::size_t k = 0; k < steps.size() && plan.totals.protectedActivity < required;) {
        const double cutIn = steps[k].cutIn;
        for (; k < steps.size() && steps[k].cutIn == cutIn; ++k) {
            plan.totals.protectedActivity += steps[k].activity;
            plan.totals.energyLostKwh += steps[k].energyKwh;
            plan.totals.curtailedHours += steps[k].hours;
            summedCost += steps[k].cost;
        }
        plan.cutIn = cutIn;
    }
    if (cost != nullptr) {
        *cost = summedCost;
    }
    return plan;
}

// The least cost of protecting at most u units less than the cells' most protective choices,
// for every u up to `allowed`, over the cells' undominated choices, each weighing what it leaves
// in units of `unit` rounded up; with `picks`, which choice each cell took at each u (a byte each
// when every cell has at most 256 choices).
template <typename Pick>
std::vector<double> leastCosts(const std::vector<std::vector<Choice>>& choices,
                               const std::vector<std::int64_t>& mostOfCell, std::int64_t allowed,
                               std::int64_t unit, std::vector<std::vector<Pick>>* picks) {
    const auto size = static_cast<std::size_t>(allowed) + 1;
    std::vector<double> best(size, 0.0);
    std::vector<double> next(size);
    for (std::size_t c = 0; c < choices.size(); ++c) {
        std::fill(next.begin(), next.end(), kInfinity);
        std::vector<Pick>* pick = nullptr;
        if (picks != nullptr) {
            (*picks)[c].assign(size, 0);
            pick = &(*picks)[c];
        }
        for (std::size_t k = 0; k < choices[c].size(); ++k) {
            const std::int64_t unprotected =
                unitsOf(mostOfCell[c] - choices[c][k].protectedActivity, unit);
            if (unprotected > allowed) {
                continue;
            }
            const auto shift = static_cast<std::size_t>(unprotected);
            const double cost = choices[c][k].cost;
            // Plain pointers and selects without branches: stores through a byte pointer could
            // alias anything, and which choice wins at a unit is as good as random.
            double* const least = next.data();
            const double* const before = best.data();
            if (pick == nullptr) {
                for (std::size_t u = shift; u < size; ++u) {
                    least[u] = std::min(least[u], before[u - shift] + cost);
                }
            } else {
                Pick* const picked = pick->data();
                const auto choice = static_cast<Pick>(k);
                for (std::size_t u = shift; u < size; ++u) {
                    const double candidate = before[u - shift] + cost;
                    const bool better = candidate < least[u];
                    least[u] = better ? candidate : least[u];
                    picked[u] = better ? choice : picked[u];
                }
            }
        }
        best.swap(next);
    }
    return best;
}

// The cells with a choice to make, and what the others contribute whatever the plan.
struct CellChoices {
    std::vector<std::size_t> cellIndex;
    std::vector<std::vector<Choice>> choices;
    // What each cell protects at its largest cut-in: the programme counts what a plan leaves
    // below that, so the most protective plan always fits, however coarse the units.
    std::vector<std::int64_t> mostOfCell;
    std::vector<double> fixedCutIns;  // of every cell; those with a choice are overwritten
    std::int64_t mostProtected = 0;   // by every cell at its largest cut-in
};

CellChoices cellChoices(const std::vector<CellActivity>& cells, bool energyKnown,
                        const std::vector<std::optional<double>>& fixed = {}) {
    CellChoices result;
    result.fixedCutIns.assign(cells.size(), 0.0);
    for (std::size_t c = 0; c < cells.size(); ++c) {
        std::vector<Choice> kept;
        if (c < fixed.size() && fixed[c]) {
            const PlanTotals held = applyCutIns({cells[c]}, {*fixed[c]});
            kept.push_back({*fixed[c], held.protectedActivity,
                            energyKnown ? held.energyLostKwh : held.curtailedHours});
        } else {
            kept = undominated(choicesOf(cells[c], energyKnown));
        }
        result.mostProtected += kept.back().protectedActivity;
        if (kept.size() < 2) {
            result.fixedCutIns[c] = kept.front().cutIn;
            continue;
        }
        result.cellIndex.push_back(c);
        result.mostOfCell.push_back(kept.back().protectedActivity);
        result.choices.push_back(std::move(kept));
    }
    return result;
}

// Runs the programme at the widest of `allowances` and follows the picks back from each: the
// cut-ins of every cell with a choice, per allowance.
template <typename Pick>
void pickCutIns(const CellChoices& choices, const std::vector<std::int64_t>& allowances,
                std::vector<std::vector<double>>& cutIns) {
    const std::int64_t widest = *std::max_element(allowances.begin(), allowances.end());
    const std::int64_t unit = unitFor(widest);
    std::vector<std::vector<Pick>> picks(choices.choices.size());
    leastCosts<Pick>(choices.choices, choices.mostOfCell, widest / unit, unit, &picks);
    for (std::size_t a = 0; a < allowances.size(); ++a) {
        if (allowances[a] < 0) {
            continue;
        }
        auto u = static_cast<std::size_t>(allowances[a] / unit);
        for (std::size_t k = choices.choices.size(); k-- > 0;) {
            const Choice& chosen = choices.choices[k][picks[k][u]];
            cutIns[a][choices.cellIndex[k]] = chosen.cutIn;
            u -= static_cast<std::size_t>(
                unitsOf(choices.mostOfCell[k] - chosen.protectedActivity, unit));
        }
    }
}

}  // namespace

double cutInOfClass(double key) {
    return std::max(key + 1.0, 1.0) * 0.5;
}

std::int64_t requiredActivity(std::int64_t total, double percent) {
    const long double exact = static_cast<long double>(total) * percent / 100.0L;
    // A share such as 90 % of 1000 is reached by exactly 900, whatever rounding says.
    const auto required = static_cast<std::int64_t>(std::ceil(exact - 1e-9L));
    return std::clamp<std::int64_t>(required, 0, total);
}

PlanTotals applyCutIns(const std::vector<CellActivity>& cells, const std::vector<double>& cutIns) {
    PlanTotals totals;
    for (std::size_t c = 0; c < cells.size() && c < cutIns.size(); ++c) {
        for (const auto& [key, stop] : cells[c].stops) {
            if (cutInOfClass(key) > cutIns[c]) {
                break;
            }
            totals.protectedActivity += stop.activity;
            totals.energyLostKwh += stop.energyKwh;
            totals.curtailedHours += stop.hours;
        }
    }
    return totals;
}

BlanketPlan blanketPlan(const std::vector<CellActivity>& cells, double percent, bool energyKnown) {
    const std::int64_t total = totalActivity(cells);
    const std::int64_t required = requiredActivity(total, percent);
    BlanketPlan plan = blanketFromSteps(blanketSteps(cells, energyKnown), required, nullptr);
    plan.totals = totalsWithShare(plan.totals, total, required);
    return plan;
}

std::vector<std::vector<double>> tailoredCutIns(const std::vector<CellActivity>& cells,
                                                const std::vector<double>& percents,
                                                bool energyKnown,
                                                const std::vector<std::optional<double>>& fixed) {
    const std::int64_t total = totalActivity(cells);
    const CellChoices choices = cellChoices(cells, energyKnown, fixed);
    std::vector<std::vector<double>> cutIns(percents.size(), choices.fixedCutIns);
    std::vector<std::int64_t> allowances;
    for (std::size_t p = 0; p < percents.size(); ++p) {
        const std::int64_t required = requiredActivity(total, percents[p]);
        if (choices.mostProtected < required) {
            // Out of reach: the plan that protects the most.
            for (std::size_t k = 0; k < choices.cellIndex.size(); ++k) {
                cutIns[p][choices.cellIndex[k]] = choices.choices[k].back().cutIn;
            }
            allowances.push_back(-1);
        } else {
            allowances.push_back(choices.mostProtected - required);
        }
    }
    if (choices.cellIndex.empty() ||
        std::all_of(allowances.begin(), allowances.end(), [](std::int64_t a) { return a < 0; })) {
        return cutIns;
    }
    std::size_t mostChoices = 0;
    for (const std::vector<Choice>& cell : choices.choices) {
        mostChoices = std::max(mostChoices, cell.size());
    }
    if (mostChoices <= 256) {
        pickCutIns<std::uint8_t>(choices, allowances, cutIns);
    } else {
        pickCutIns<std::uint32_t>(choices, allowances, cutIns);
    }
    return cutIns;
}

TailoredPlan tailoredPlan(const std::vector<CellActivity>& cells, int parts, double percent,
                          bool energyKnown, const std::vector<std::optional<double>>& fixed) {
    const std::vector<double> cutIns = tailoredCutIns(cells, {percent}, energyKnown, fixed).front();
    std::vector<bool> fromMonth(cells.size(), false);
    for (std::size_t c = 0; c < cells.size() && c < fixed.size(); ++c) {
        fromMonth[c] = fixed[c].has_value();
    }
    TailoredPlan plan = planWithCutIns(cells, parts, cutIns, fromMonth);
    plan.totals.targetReached =
        plan.totals.protectedActivity >= requiredActivity(totalActivity(cells), percent);
    return plan;
}

TailoredPlan planWithCutIns(const std::vector<CellActivity>& cells, int parts,
                            const std::vector<double>& cutIns, const std::vector<bool>& fromMonth) {
    TailoredPlan plan;
    for (std::size_t c = 0; c < cells.size(); ++c) {
        const double cutIn = c < cutIns.size() ? cutIns[c] : 0.0;
        const PlanTotals cell = applyCutIns({cells[c]}, {cutIn});
        plan.cells.push_back({static_cast<int>(c) / parts + 1, static_cast<int>(c) % parts, cutIn,
                              cells[c].activity, cell.protectedActivity, cell.energyLostKwh,
                              cell.curtailedHours, c < fromMonth.size() && fromMonth[c]});
    }
    const std::int64_t total = totalActivity(cells);
    plan.totals = totalsWithShare(applyCutIns(cells, cutIns), total, 0);
    return plan;
}

std::vector<TradeoffPoint> tradeoffCurve(const std::vector<CellActivity>& cells, int fromPercent,
                                         int toPercent, bool energyKnown) {
    return tradeoffCurve(cells, cells, {}, fromPercent, toPercent, energyKnown);
}

std::vector<TradeoffPoint> tradeoffCurve(const std::vector<CellActivity>& blanketCells,
                                         const std::vector<CellActivity>& cells,
                                         const std::vector<std::optional<double>>& fixed,
                                         int fromPercent, int toPercent, bool energyKnown) {
    std::vector<TradeoffPoint> points;
    const std::int64_t total = totalActivity(cells);
    const std::int64_t blanketTotal = totalActivity(blanketCells);
    const CellChoices choices = cellChoices(cells, energyKnown, fixed);
    const std::int64_t widest = choices.mostProtected - requiredActivity(total, fromPercent);
    const std::int64_t unit = unitFor(widest);
    const std::vector<double> costs =
        widest >= 0 ? leastCosts<std::uint8_t>(choices.choices, choices.mostOfCell, widest / unit,
                                               unit, nullptr)
                    : std::vector<double>{};
    const std::vector<BlanketStep> steps = blanketSteps(blanketCells, energyKnown);
    for (int percent = fromPercent; percent <= toPercent; ++percent) {
        TradeoffPoint point;
        point.protectPercent = percent;
        const std::int64_t required = requiredActivity(total, percent);
        const std::int64_t allowed = choices.mostProtected - required;
        if (allowed >= 0 && static_cast<std::size_t>(allowed / unit) < costs.size()) {
            point.tailoredCost = costs[static_cast<std::size_t>(allowed / unit)];
            double blanket = 0.0;
            const std::int64_t blanketRequired = requiredActivity(blanketTotal, percent);
            if (blanketFromSteps(steps, blanketRequired, &blanket).totals.protectedActivity >=
                blanketRequired) {
                point.blanketCost = blanket;
            }
        }
        points.push_back(point);
    }
    return points;
}

std::vector<double> cutInsOf(const TailoredPlan& plan) {
    std::vector<double> cutIns;
    cutIns.reserve(plan.cells.size());
    for (const CellCutIn& cell : plan.cells) {
        cutIns.push_back(cell.cutIn);
    }
    return cutIns;
}

}  // namespace vane
