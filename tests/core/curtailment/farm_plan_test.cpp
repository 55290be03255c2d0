#include "core/curtailment/farm_plan.h"

#include <gtest/gtest.h>

#include <cmath>
#include <vector>

#include "core/curtailment/curtailment_plan.h"
#include "tests/core/curtailment/known_truth.h"

namespace vane {
namespace {

using test::KnownTruth;

CurtailmentOptions defaults() {
    CurtailmentOptions options;
    options.protectPercent = 90.0;
    options.energyKnown = true;
    return options;
}

std::vector<const CurtailmentResult*> pointers(const std::vector<CurtailmentResult>& results) {
    std::vector<const CurtailmentResult*> pointers;
    for (const CurtailmentResult& result : results) {
        pointers.push_back(&result);
    }
    return pointers;
}

void expectSameEstimate(const ShareEstimate& a, const ShareEstimate& b) {
    EXPECT_NEAR(a.share, b.share, 1e-12);
    EXPECT_NEAR(a.low, b.low, 1e-12);
    EXPECT_NEAR(a.high, b.high, 1e-12);
}

// Turbines that saw the same nights are one turbine counted several times: the farm plan is
// its plan, and each turbine's share is the turbine's.
TEST(FarmPlanTest, IdenticalTurbinesMakeTheSingleTurbinesPlan) {
    const KnownTruth truth;
    const CurtailmentResult single =
        curtailmentResult(truth.summer(2011, 3), truth.site, defaults(), *truth.zone);
    const std::vector<CurtailmentResult> turbines(3, single);
    const FarmPlan farm = farmPlan(pointers(turbines));

    EXPECT_EQ(cutInsOf(farm.result.tailored), cutInsOf(single.tailored));
    EXPECT_EQ(farm.result.blanket.cutIn, single.blanket.cutIn);
    EXPECT_EQ(farm.result.validation.plannedPercent, single.validation.plannedPercent);
    EXPECT_EQ(farm.result.data.activityInNights, 3 * single.data.activityInNights);
    EXPECT_NEAR(farm.result.tailored.totals.energyLostKwh, 3 * single.tailored.totals.energyLostKwh,
                1e-6);
    expectSameEstimate(farm.result.validation.tailored, single.validation.tailored);
    ASSERT_EQ(farm.turbines.size(), 3u);
    for (const FarmPlanTurbine& turbine : farm.turbines) {
        EXPECT_EQ(turbine.activity, single.data.activityInNights);
        EXPECT_EQ(turbine.plan.totals.protectedActivity, single.tailored.totals.protectedActivity);
        EXPECT_NEAR(turbine.plan.totals.energyLostKwh, single.tailored.totals.energyLostKwh, 1e-6);
        expectSameEstimate(turbine.expected, single.validation.tailored);
    }
}

// Turbines of a farm at sites of their own: busy and sheltered, quiet and exposed, busy and
// exposed. Each truth's long run is what the farm plan really protects of that turbine's bats.
struct FarmTurbineTruth {
    KnownTruth truth;
    std::vector<CellActivity> longRun;
};

std::vector<FarmTurbineTruth> farmTruths() {
    std::vector<FarmTurbineTruth> turbines(3);
    const double levels[] = {8.0, 2.5, 5.0};
    const double winds[] = {0.8, 1.3, 1.15};
    for (std::size_t t = 0; t < turbines.size(); ++t) {
        KnownTruth& truth = turbines[t].truth;
        truth.level = levels[t];
        truth.windScale = winds[t];
        std::vector<TurbineInterval> future;
        for (int k = 0; k < 12; ++k) {
            const std::vector<TurbineInterval> summer = truth.expectedSummer(2040 + k, 77 + t);
            future.insert(future.end(), summer.begin(), summer.end());
        }
        turbines[t].longRun = truth.cells(future);
    }
    return turbines;
}

// The promise of the farm plan at each turbine: the share of that turbine's own bats it
// reports, with its interval, is what it protects of them on nights it was not made from; the
// turbines differ, so one plan protects them differently, and the farm as a whole reaches the
// target.
TEST(FarmPlanTest, EachTurbinesExpectedShareHoldsItsTrueShare) {
    const std::vector<FarmTurbineTruth> turbines = farmTruths();
    constexpr int kWorlds = 10;
    int held = 0;
    int checked = 0;
    std::vector<double> bias(turbines.size(), 0.0);
    std::vector<double> meanShare(turbines.size(), 0.0);
    double farmShare = 0.0;
    for (std::uint64_t world = 1; world <= kWorlds; ++world) {
        std::vector<CurtailmentResult> results;
        for (std::size_t t = 0; t < turbines.size(); ++t) {
            const KnownTruth& truth = turbines[t].truth;
            results.push_back(curtailmentResult(truth.summer(2012, 10 * world + t), truth.site,
                                                defaults(), *truth.zone));
        }
        const FarmPlan farm = farmPlan(pointers(results));
        ASSERT_EQ(farm.result.validation.method, ValidationMethod::nightBlocks);
        const std::vector<double> cutIns = cutInsOf(farm.result.tailored);
        double protectedAll = 0.0;
        double activityAll = 0.0;
        for (std::size_t t = 0; t < turbines.size(); ++t) {
            const std::vector<CellActivity>& longRun = turbines[t].longRun;
            const double trueShare = test::scoreCutIns(longRun, cutIns).share;
            const ShareEstimate& expected = farm.turbines[t].expected;
            SCOPED_TRACE(::testing::Message()
                         << "world " << world << ", turbine " << t << ": expected "
                         << expected.share << " in [" << expected.low << ", " << expected.high
                         << "], true " << trueShare);
            held += expected.low <= trueShare && trueShare <= expected.high;
            ++checked;
            bias[t] += (expected.share - trueShare) / kWorlds;
            meanShare[t] += trueShare / kWorlds;
            // Every turbine's long run covers as many summers: the farm's is their sum.
            protectedAll += static_cast<double>(applyCutIns(longRun, cutIns).protectedActivity);
            for (const CellActivity& cell : longRun) {
                activityAll += static_cast<double>(cell.activity);
            }
        }
        farmShare += protectedAll / activityAll / kWorlds;
    }
    // 90 % of 30 is 27; the turbines of one world share one plan, so they miss together.
    EXPECT_GE(held, 24) << held << " of " << checked;
    for (std::size_t t = 0; t < turbines.size(); ++t) {
        EXPECT_LT(std::abs(bias[t]), 0.02) << "turbine " << t;
    }
    // One plan for all: the sheltered turbine's bats are spared more than the exposed ones'.
    EXPECT_GT(meanShare[0], meanShare[1]);
    EXPECT_GE(farmShare, 0.89) << farmShare;
}

TEST(FarmPlanTest, TurbinesPlannedWithOtherSettingsAreNamed) {
    CurtailmentResult base;
    base.energyKnown = true;
    const struct {
        void (*change)(CurtailmentResult&);
        const char* setting;
    } cases[] = {
        {[](CurtailmentResult& r) { r.protectPercent = 95.0; }, "protect"},
        {[](CurtailmentResult& r) { r.night.parts = 8; }, "night-parts"},
        {[](CurtailmentResult& r) { r.night.minutesBeforeSunset = 30; }, "before-sunset"},
        {[](CurtailmentResult& r) { r.night.minutesAfterSunrise = 30; }, "after-sunrise"},
        {[](CurtailmentResult& r) { r.energyKnown = false; }, "power-column or power-curve"},
        {[](CurtailmentResult& r) { r.fit = PlanFit::exact; }, "fit"},
        {[](CurtailmentResult& r) { r.minCellActivity = 3; }, "min-cell-activity"},
    };
    for (const auto& [change, setting] : cases) {
        CurtailmentResult other = base;
        change(other);
        const std::optional<FarmPlanMismatch> mismatch = farmPlanMismatch({&base, &base, &other});
        ASSERT_TRUE(mismatch) << setting;
        EXPECT_EQ(mismatch->setting, setting);
        EXPECT_EQ(mismatch->other, 2u);
    }
    // A temperature floor decides which of a turbine's own intervals may stop: it may differ.
    CurtailmentResult floored = base;
    floored.temperatureFloor = 10.0;
    EXPECT_FALSE(farmPlanMismatch({&base, &floored}));
}

}  // namespace
}  // namespace vane
