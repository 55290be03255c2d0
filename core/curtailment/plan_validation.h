#pragma once

#include <cstdint>
#include <vector>

#include "core/curtailment/curtailment_data.h"

namespace vane {

// What a plan protects, and costs, on nights it was not made from.
struct ShareEstimate {
    double share = 0.0;  // of the held-out activity
    double low = 0.0;    // the 90 % interval of that share
    double high = 0.0;
    double energyLostKwh = 0.0;  // on the held-out nights, all folds together
    double curtailedHours = 0.0;
};

enum class ValidationMethod {
    none,          // too few nights or no activity to hold any out
    heldOutYears,  // each year with enough activity, planned from the others
    nightBlocks,   // one season: folds of whole weeks of nights, every fifth week in one
};

struct HeldOutYear {
    int year = 0;
    std::int64_t activity = 0;
    bool used = false;  // false: too little activity to judge a plan by
    double tailoredShare = 0.0;
    double blanketShare = 0.0;
};

struct PlanValidation {
    ValidationMethod method = ValidationMethod::none;
    int folds = 0;
    // The share of what the tailored plan is planned on that it must protect so that it keeps
    // the target on the held-out nights (the target itself when it does so already).
    double plannedPercent = 90.0;
    ShareEstimate blanket;
    ShareEstimate tailored;
    std::vector<HeldOutYear> years;  // with held-out years: every year with activity
    // The tailored plan each fold made at the planned share, one cut-in per cell.
    std::vector<std::vector<double>> foldCutIns;
};

// A year with less than this share of the mean year's activity is not held out.
inline constexpr double kLeastYearShare = 0.05;
inline constexpr int kNightsPerBlock = 7;
inline constexpr int kNightFolds = 5;

// Makes both plans again without each fold's nights (as makePlans does) and scores them on
// those nights, the tailored plan for each planned share until one keeps the target there; the
// interval comes from resampling whole weeks of the held-out nights.
PlanValidation validatePlans(const CurtailmentData& data, const CurtailmentOptions& options);

// What the tailored plans validated on `data` protect of `part`'s activity on the nights they
// were not made from, with its interval as above: `part`'s nights are among `data`'s by their
// day (one turbine of a farm whose pooled nights `data` holds), each scored by the plan of the
// fold its day fell in.
ShareEstimate heldOutShare(const CurtailmentData& data, const PlanValidation& validation,
                           const CurtailmentData& part);

// The fold of every night (-1: never held out) and the number of folds, by the method above.
struct NightFolds {
    ValidationMethod method = ValidationMethod::none;
    std::vector<int> fold;
    int count = 0;
};
NightFolds nightFolds(const CurtailmentData& data);

}  // namespace vane
