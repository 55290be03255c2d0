#include "core/curtailment/plan_validation.h"

#include <algorithm>
#include <cmath>
#include <map>
#include <random>

#include "core/curtailment/curtailment_plan.h"
#include "core/curtailment/plan_procedure.h"

namespace vane {
namespace {

constexpr int kResamples = 2000;
constexpr double kTail = 0.05;  // each side of the 90 % interval

// What one plan did on one held-out night.
struct NightScore {
    std::int64_t protectedActivity = 0;
    double energyKwh = 0.0;
    double hours = 0.0;
};

NightScore scoreNight(const NightActivity& night, const std::vector<double>& cutIns) {
    NightScore score;
    for (const NightClass& counted : night.classes) {
        const auto c = static_cast<std::size_t>(counted.cell);
        if (counted.stoppable && c < cutIns.size() && cutInOfClass(counted.windKey) <= cutIns[c]) {
            score.protectedActivity += counted.activity;
            score.energyKwh += counted.energyKwh;
            score.hours += counted.hours;
        }
    }
    return score;
}

std::int64_t activityOf(const NightActivity& night) {
    std::int64_t activity = 0;
    for (const NightClass& counted : night.classes) {
        activity += counted.activity;
    }
    return activity;
}

long blockOf(const CurtailmentData& data, const NightActivity& night) {
    return (night.day - data.nights.front().day) / kNightsPerBlock;
}

// The share and its interval from the held-out nights' sums per week, resampled with
// replacement: weeks, not nights, because a good week for bats tends to be good throughout.
struct BlockSums {
    double activity = 0.0;
    double protectedActivity = 0.0;
};

void addScore(BlockSums& block, std::int64_t activity, const NightScore& score,
              ShareEstimate& estimate) {
    block.activity += static_cast<double>(activity);
    block.protectedActivity += static_cast<double>(score.protectedActivity);
    estimate.energyLostKwh += score.energyKwh;
    estimate.curtailedHours += score.hours;
}

void estimateShare(const std::vector<BlockSums>& blocks, int folds, ShareEstimate& estimate) {
    double activity = 0.0;
    double protectedActivity = 0.0;
    for (const BlockSums& block : blocks) {
        activity += block.activity;
        protectedActivity += block.protectedActivity;
    }
    estimate.share = activity > 0.0 ? protectedActivity / activity : 0.0;
    estimate.low = estimate.high = estimate.share;
    if (blocks.size() < 2 || !(activity > 0.0)) {
        return;
    }
    std::mt19937_64 random(20120401);
    std::vector<double> shares;
    shares.reserve(kResamples);
    for (int resample = 0; resample < kResamples; ++resample) {
        double drawnActivity = 0.0;
        double drawnProtected = 0.0;
        for (std::size_t k = 0; k < blocks.size(); ++k) {
            const BlockSums& block = blocks[random() % blocks.size()];
            drawnActivity += block.activity;
            drawnProtected += block.protectedActivity;
        }
        if (drawnActivity > 0.0) {
            shares.push_back(drawnProtected / drawnActivity);
        }
    }
    std::sort(shares.begin(), shares.end());
    const auto at = [&](double quantile) {
        const auto index =
            static_cast<std::size_t>(quantile * static_cast<double>(shares.size() - 1) + 0.5);
        return shares[std::min(index, shares.size() - 1)];
    };
    // Resampling the held-out weeks sees their chance, not that of the plans made from the
    // other folds, which differ from the plan made from all nights; their share of the variance
    // grows as the folds shrink (one more part in k - 1), so the interval widens by as much.
    const double widening = std::sqrt(1.0 + 1.0 / std::max(folds - 1, 1));
    estimate.low = std::max(
        0.0, estimate.share - widening * (estimate.share - std::min(at(kTail), estimate.share)));
    estimate.high =
        std::min(1.0, estimate.share +
                          widening * (std::max(at(1.0 - kTail), estimate.share) - estimate.share));
}

}  // namespace

NightFolds nightFolds(const CurtailmentData& data) {
    NightFolds folds;
    folds.fold.assign(data.nights.size(), -1);
    const std::vector<std::pair<int, std::int64_t>> years = activityByYear(data);
    double mean = 0.0;
    for (const auto& [year, activity] : years) {
        mean += static_cast<double>(activity) / static_cast<double>(years.size());
    }
    std::vector<int> used;
    for (const auto& [year, activity] : years) {
        if (activity > 0 && static_cast<double>(activity) >= kLeastYearShare * mean) {
            used.push_back(year);
        }
    }
    if (used.size() >= 2) {
        folds.method = ValidationMethod::heldOutYears;
        folds.count = static_cast<int>(used.size());
        for (std::size_t n = 0; n < data.nights.size(); ++n) {
            const auto found = std::find(used.begin(), used.end(), data.nights[n].year);
            if (found != used.end()) {
                folds.fold[n] = static_cast<int>(found - used.begin());
            }
        }
        return folds;
    }
    if (data.nights.empty()) {
        return folds;
    }
    const long blocks = blockOf(data, data.nights.back()) + 1;
    if (blocks < 2) {
        return folds;
    }
    folds.method = ValidationMethod::nightBlocks;
    folds.count = static_cast<int>(std::min<long>(kNightFolds, blocks));
    for (std::size_t n = 0; n < data.nights.size(); ++n) {
        folds.fold[n] = static_cast<int>(blockOf(data, data.nights[n]) % folds.count);
    }
    return folds;
}

namespace {

// Every held-out night scored by the plans made without its fold: the tailored plans for each
// planned share, and the blanket plan.
struct FoldScores {
    std::vector<std::vector<NightScore>> tailored;         // per planned share, per night
    std::vector<NightScore> blanket;                       // per night
    std::vector<std::vector<std::vector<double>>> cutIns;  // per fold, per planned share
};

FoldScores scoreFolds(const CurtailmentData& data, const NightFolds& folds,
                      const CurtailmentOptions& options, const std::vector<double>& planned) {
    FoldScores scores{std::vector<std::vector<NightScore>>(
                          planned.size(), std::vector<NightScore>(data.nights.size())),
                      std::vector<NightScore>(data.nights.size()),
                      {}};
    // Each fold's nights summed once (those never held out first); a fold's plans are made
    // from the others' sums.
    std::vector<ClassSums> foldSums;
    for (int fold = -1; fold < folds.count; ++fold) {
        NightSelection in(data.nights.size());
        for (std::size_t n = 0; n < data.nights.size(); ++n) {
            in[n] = folds.fold[n] == fold;
        }
        foldSums.push_back(classSums(data, in));
    }
    for (int fold = 0; fold < folds.count; ++fold) {
        ClassSums training = foldSums.front();
        for (int other = 0; other < folds.count; ++other) {
            if (other != fold) {
                training = joined(training, foldSums[static_cast<std::size_t>(other) + 1]);
            }
        }
        MadePlans plans = makePlans(training, options, planned);
        const std::vector<double> blanketCutIns(plans.counted.size(), plans.blanket.cutIn);
        for (std::size_t n = 0; n < data.nights.size(); ++n) {
            if (folds.fold[n] != fold) {
                continue;
            }
            scores.blanket[n] = scoreNight(data.nights[n], blanketCutIns);
            for (std::size_t p = 0; p < planned.size(); ++p) {
                scores.tailored[p][n] = scoreNight(data.nights[n], plans.tailoredCutIns[p]);
            }
        }
        scores.cutIns.push_back(std::move(plans.tailoredCutIns));
    }
    return scores;
}

// The first planned share whose plans keep the target on the held-out nights, else the last.
std::size_t keepingShare(const CurtailmentData& data, const NightFolds& folds,
                         const FoldScores& scores, double percent) {
    std::int64_t heldOut = 0;
    for (std::size_t n = 0; n < data.nights.size(); ++n) {
        heldOut += folds.fold[n] >= 0 ? activityOf(data.nights[n]) : 0;
    }
    const std::int64_t required = requiredActivity(heldOut, percent);
    for (std::size_t p = 0; p < scores.tailored.size(); ++p) {
        std::int64_t protectedActivity = 0;
        for (const NightScore& score : scores.tailored[p]) {
            protectedActivity += score.protectedActivity;
        }
        if (protectedActivity >= required) {
            return p;
        }
    }
    return scores.tailored.size() - 1;
}

}  // namespace

PlanValidation validatePlans(const CurtailmentData& data, const CurtailmentOptions& options) {
    PlanValidation validation;
    validation.plannedPercent = options.protectPercent;
    const NightFolds folds = nightFolds(data);
    if (folds.method == ValidationMethod::none) {
        return validation;
    }
    validation.method = folds.method;
    validation.folds = folds.count;
    const std::vector<double> planned = plannedPercents(options);
    const FoldScores scores = scoreFolds(data, folds, options, planned);
    const std::size_t chosen = keepingShare(data, folds, scores, options.protectPercent);
    validation.plannedPercent = planned[chosen];
    for (const std::vector<std::vector<double>>& fold : scores.cutIns) {
        validation.foldCutIns.push_back(fold[chosen]);
    }
    const std::vector<NightScore>& tailored = scores.tailored[chosen];
    const std::vector<NightScore>& blanket = scores.blanket;

    // Sums per week of held-out nights, and per year for the table of held-out years.
    std::vector<BlockSums> blanketBlocks;
    long lastBlock = -1;
    for (std::size_t n = 0; n < data.nights.size(); ++n) {
        const NightActivity& night = data.nights[n];
        const std::int64_t activity = activityOf(night);
        const NightScore& tailoredScore = tailored[n];
        if (folds.method == ValidationMethod::heldOutYears &&
            (validation.years.empty() || validation.years.back().year != night.year)) {
            validation.years.push_back({night.year, 0, folds.fold[n] >= 0, 0.0, 0.0});
        }
        if (!validation.years.empty()) {
            HeldOutYear& year = validation.years.back();
            year.activity += activity;
            year.tailoredShare += static_cast<double>(tailoredScore.protectedActivity);
            year.blanketShare += static_cast<double>(blanket[n].protectedActivity);
        }
        if (folds.fold[n] < 0) {
            continue;
        }
        if (blockOf(data, night) != lastBlock) {
            lastBlock = blockOf(data, night);
            blanketBlocks.emplace_back();
        }
        addScore(blanketBlocks.back(), activity, blanket[n], validation.blanket);
    }
    std::erase_if(validation.years, [](const HeldOutYear& year) { return year.activity == 0; });
    for (HeldOutYear& year : validation.years) {
        year.tailoredShare /= static_cast<double>(year.activity);
        year.blanketShare /= static_cast<double>(year.activity);
        if (!year.used) {
            year.tailoredShare = year.blanketShare = 0.0;
        }
    }
    validation.tailored = heldOutShare(data, validation, data);
    estimateShare(blanketBlocks, folds.count, validation.blanket);
    return validation;
}

ShareEstimate heldOutShare(const CurtailmentData& data, const PlanValidation& validation,
                           const CurtailmentData& part) {
    ShareEstimate estimate;
    const NightFolds folds = nightFolds(data);
    if (folds.method == ValidationMethod::none ||
        validation.foldCutIns.size() != static_cast<std::size_t>(folds.count)) {
        return estimate;
    }
    std::map<long, std::size_t> nightOfDay;
    for (std::size_t n = 0; n < data.nights.size(); ++n) {
        nightOfDay.emplace(data.nights[n].day, n);
    }
    std::vector<BlockSums> blocks;
    long lastBlock = -1;
    for (const NightActivity& night : part.nights) {
        const auto found = nightOfDay.find(night.day);
        if (found == nightOfDay.end() || folds.fold[found->second] < 0) {
            continue;
        }
        const auto fold = static_cast<std::size_t>(folds.fold[found->second]);
        if (blockOf(data, night) != lastBlock) {
            lastBlock = blockOf(data, night);
            blocks.emplace_back();
        }
        addScore(blocks.back(), activityOf(night), scoreNight(night, validation.foldCutIns[fold]),
                 estimate);
    }
    estimateShare(blocks, folds.count, estimate);
    return estimate;
}

}  // namespace vane
