#include "core/curtailment/activity_model.h"

#include <Eigen/Dense>
#include <algorithm>
#include <cmath>
#include <map>
#include <tuple>

namespace vane {
namespace {

// Prior precisions of the coefficients (on wind in steps of 5 m/s, temperature in steps of
// 10 °C). Months, parts and slopes are nearly free: the small precision only keeps a level
// without activity finite. A cell's own level is held to within about half a unit of the log
// scale, so that a cell of a dozen active intervals moves only part of the way to its counts.
constexpr double kFreePrecision = 0.01;
constexpr double kBendPrecision = 1.0;
constexpr double kCellPrecision = 4.0;
constexpr double kWindKnots[] = {2.0, 4.0, 6.0, 8.0, 11.0};
constexpr double kTemperatureKnots[] = {10.0, 20.0};
constexpr int kWindTerms = 1 + std::size(kWindKnots);
constexpr int kTemperatureTerms = 2 + std::size(kTemperatureKnots);  // linear, bends, missing
constexpr int kMaxIterations = 50;

// The intervals of one cell, wind class and temperature class, summed over nights.
struct Unit {
    int cell = 0;
    double windKey = 0.0;
    int temperatureKey = kNoTemperature;
    double activity = 0.0;
    double intervals = 0.0;
};

struct Term {
    int column = 0;
    double value = 0.0;
};

// Where each coefficient sits: intercept, months, parts, cells, wind, temperature.
struct Layout {
    int parts = 10;
    bool temperature = false;
    int month(int index) const { return 1 + index; }
    int part(int index) const { return 13 + index; }
    int cell(int index) const { return 13 + parts + index; }
    int wind() const { return 13 + 13 * parts; }
    int temperatureStart() const { return wind() + kWindTerms; }
    int size() const { return temperatureStart() + (temperature ? kTemperatureTerms : 0); }

    double precision(int column) const {
        if (column == 0) {
            return 0.0;
        }
        if (column >= cell(0) && column < wind()) {
            return kCellPrecision;
        }
        if (column == wind() || column == temperatureStart() ||
            column == temperatureStart() + kTemperatureTerms - 1) {
            return kFreePrecision;
        }
        return column > wind() ? kBendPrecision : kFreePrecision;
    }
};

void termsOf(const Unit& unit, const Layout& layout, std::vector<Term>& terms) {
    terms.clear();
    terms.push_back({0, 1.0});
    terms.push_back({layout.month(unit.cell / layout.parts), 1.0});
    terms.push_back({layout.part(unit.cell % layout.parts), 1.0});
    terms.push_back({layout.cell(unit.cell), 1.0});
    const double wind = std::clamp((unit.windKey + 0.5) * 0.5, 0.0, 25.0);
    terms.push_back({layout.wind(), wind / 5.0});
    for (std::size_t k = 0; k < std::size(kWindKnots); ++k) {
        terms.push_back(
            {layout.wind() + 1 + static_cast<int>(k), std::max(wind - kWindKnots[k], 0.0) / 5.0});
    }
    if (!layout.temperature) {
        return;
    }
    const int start = layout.temperatureStart();
    if (unit.temperatureKey == kNoTemperature) {
        terms.push_back({start + kTemperatureTerms - 1, 1.0});
        return;
    }
    const double celsius = std::clamp(unit.temperatureKey * 2.0 + 1.0, -10.0, 35.0);
    terms.push_back({start, celsius / 10.0});
    for (std::size_t k = 0; k < std::size(kTemperatureKnots); ++k) {
        terms.push_back({start + 1 + static_cast<int>(k),
                         std::max(celsius - kTemperatureKnots[k], 0.0) / 10.0});
    }
}

std::vector<Unit> unitsOf(const ClassSums& sums) {
    // Several turbines' sums weigh as one turbine's: the mean turbine.
    const double weight = 1.0 / std::max(sums.turbines, 1);
    std::vector<Unit> units;
    for (const NightClass& counted : sums.classes) {
        // Stoppable or not, the intervals of a class are alike to the model.
        if (units.empty() || units.back().cell != counted.cell ||
            units.back().windKey != counted.windKey ||
            units.back().temperatureKey != counted.temperatureKey) {
            units.push_back({counted.cell, counted.windKey, counted.temperatureKey, 0.0, 0.0});
        }
        units.back().activity += weight * static_cast<double>(counted.activity);
        units.back().intervals += weight * static_cast<double>(counted.intervals);
    }
    return units;
}

double linearPredictor(const std::vector<Term>& terms, const std::vector<double>& beta) {
    double eta = 0.0;
    for (const Term& term : terms) {
        eta += term.value * beta[static_cast<std::size_t>(term.column)];
    }
    // An exponent past this would overflow; no fitted level comes near it.
    return std::min(eta, 50.0);
}

// The penalised log-likelihood, up to a constant.
double objective(const std::vector<Unit>& units, const std::vector<std::vector<Term>>& terms,
                 const std::vector<double>& beta, const Layout& layout) {
    double sum = 0.0;
    for (std::size_t u = 0; u < units.size(); ++u) {
        const double eta = linearPredictor(terms[u], beta);
        sum += units[u].activity * eta - units[u].intervals * std::exp(eta);
    }
    for (std::size_t j = 0; j < beta.size(); ++j) {
        sum -= 0.5 * layout.precision(static_cast<int>(j)) * beta[j] * beta[j];
    }
    return sum;
}

}  // namespace

ActivityModel fitActivityModel(const ClassSums& sums) {
    ActivityModel model;
    model.parts = sums.parts;
    const std::vector<Unit> units = unitsOf(sums);
    double activity = 0.0;
    double intervals = 0.0;
    for (const Unit& unit : units) {
        activity += unit.activity;
        intervals += unit.intervals;
        model.withTemperature = model.withTemperature || unit.temperatureKey != kNoTemperature;
    }
    if (!(activity > 0.0) || !(intervals > 0.0)) {
        return model;
    }
    const Layout layout{sums.parts, model.withTemperature};
    std::vector<std::vector<Term>> terms(units.size());
    for (std::size_t u = 0; u < units.size(); ++u) {
        termsOf(units[u], layout, terms[u]);
    }
    // Only the coefficients some unit uses are solved for; the others stay 0.
    std::vector<int> solved(static_cast<std::size_t>(layout.size()), -1);
    int used = 0;
    for (const std::vector<Term>& unitTerms : terms) {
        for (const Term& term : unitTerms) {
            int& index = solved[static_cast<std::size_t>(term.column)];
            if (index < 0) {
                index = used++;
            }
        }
    }
    std::vector<double> beta(static_cast<std::size_t>(layout.size()), 0.0);
    beta[0] = std::log(activity / intervals);
    double current = objective(units, terms, beta, layout);
    for (int iteration = 0; iteration < kMaxIterations; ++iteration) {
        Eigen::MatrixXd information = Eigen::MatrixXd::Zero(used, used);
        Eigen::VectorXd gradient = Eigen::VectorXd::Zero(used);
        for (std::size_t u = 0; u < units.size(); ++u) {
            const double mean = units[u].intervals * std::exp(linearPredictor(terms[u], beta));
            for (const Term& a : terms[u]) {
                const int i = solved[static_cast<std::size_t>(a.column)];
                gradient(i) += (units[u].activity - mean) * a.value;
                for (const Term& b : terms[u]) {
                    information(i, solved[static_cast<std::size_t>(b.column)]) +=
                        mean * a.value * b.value;
                }
            }
        }
        for (std::size_t j = 0; j < beta.size(); ++j) {
            if (solved[j] >= 0) {
                const double precision = layout.precision(static_cast<int>(j));
                information(solved[j], solved[j]) += precision;
                gradient(solved[j]) -= precision * beta[j];
            }
        }
        const Eigen::VectorXd step = information.ldlt().solve(gradient);
        if (!step.allFinite()) {
            break;
        }
        // Newton's step, halved while it does not improve the fit.
        double scale = 1.0;
        std::vector<double> next = beta;
        double reached = current;
        for (int halving = 0; halving < 30; ++halving, scale *= 0.5) {
            for (std::size_t j = 0; j < beta.size(); ++j) {
                next[j] = solved[j] >= 0 ? beta[j] + scale * step(solved[j]) : 0.0;
            }
            reached = objective(units, terms, next, layout);
            if (reached >= current - 1e-12 * std::abs(current)) {
                break;
            }
        }
        beta = next;
        const bool settled = std::abs(reached - current) <= 1e-9 * (1.0 + std::abs(current)) ||
                             scale * step.lpNorm<Eigen::Infinity>() < 1e-8;
        current = reached;
        if (settled) {
            break;
        }
    }
    model.coefficients = std::move(beta);
    return model;
}

std::vector<CellActivity> expectedCells(const ActivityModel& model, const ClassSums& sums,
                                        std::int64_t units) {
    std::vector<CellActivity> cells(static_cast<std::size_t>(12 * sums.parts));
    if (model.coefficients.empty() || model.parts != sums.parts) {
        return cells;
    }
    const Layout layout{sums.parts, model.withTemperature};
    // Expected activity per cell and wind class: stoppable, and all.
    struct Expected {
        double stoppable = 0.0;
        double energyKwh = 0.0;
        double hours = 0.0;
    };
    std::vector<std::map<double, Expected>> byClass(cells.size());
    std::vector<double> cellTotals(cells.size(), 0.0);
    double total = 0.0;
    std::vector<Term> terms;
    for (const NightClass& sum : sums.classes) {
        const auto c = static_cast<std::size_t>(sum.cell);
        if (c >= cells.size()) {
            continue;
        }
        termsOf({sum.cell, sum.windKey, model.withTemperature ? sum.temperatureKey : kNoTemperature,
                 0.0, 0.0},
                layout, terms);
        const double mean = static_cast<double>(sum.intervals) *
                            std::exp(linearPredictor(terms, model.coefficients));
        cellTotals[c] += mean;
        total += mean;
        cells[c].intervals += sum.intervals;
        cells[c].activeIntervals += sum.activeIntervals;
        if (sum.stoppable) {
            Expected& expected = byClass[c][sum.windKey];
            expected.stoppable += mean;
            expected.energyKwh += sum.energyKwh;
            expected.hours += sum.hours;
        }
    }
    if (!(total > 0.0)) {
        return cells;
    }
    const double scale = static_cast<double>(units) / total;
    for (std::size_t c = 0; c < cells.size(); ++c) {
        // Rounded on the running sum, so that no cell's share drifts by more than half a unit.
        double running = 0.0;
        std::int64_t counted = 0;
        for (const auto& [key, expected] : byClass[c]) {
            running += expected.stoppable * scale;
            const auto reached = static_cast<std::int64_t>(std::llround(running));
            cells[c].stops[key] = {reached - counted, expected.energyKwh, expected.hours};
            counted = reached;
        }
        cells[c].activity =
            std::max(counted, static_cast<std::int64_t>(std::llround(cellTotals[c] * scale)));
    }
    return cells;
}

}  // namespace vane
