#include <gtest/gtest.h>

#include <cstdio>
#include <cstdlib>
#include <vector>

#include "core/curtailment/curtailment_result.h"
#include "tests/core/curtailment/known_truth.h"

namespace vane {
namespace {

using test::KnownTruth;

std::vector<TurbineInterval> joined(const std::vector<std::vector<TurbineInterval>>& summers) {
    std::vector<TurbineInterval> all;
    for (const auto& summer : summers) {
        all.insert(all.end(), summer.begin(), summer.end());
    }
    return all;
}

TEST(PlanOutOfSampleTest, Explore) {
    const KnownTruth truth;
    for (const PlanFit fit : {PlanFit::exact, PlanFit::model}) {
        for (const int made : {1, 2}) {
            double shareSum = 0, ratioSum = 0, expectedGap = 0;
            int held = 0, runs = 0;
            for (std::uint64_t world = 1; world <= 6; ++world) {
                std::vector<std::vector<TurbineInterval>> training;
                for (int y = 0; y < made; ++y) {
                    training.push_back(truth.summer(2010 + y, world));
                }
                CurtailmentOptions options;
                options.energyKnown = true;
                options.fit = fit;
                const CurtailmentResult result =
                    curtailmentResult(joined(training), truth.site, options, *truth.zone);
                const std::vector<double> cutIns = cutInsOf(result.tailored);
                const std::vector<double> blanket(cutIns.size(), result.blanket.cutIn);
                double share = 0, tailoredEnergy = 0, blanketEnergy = 0;
                const int others = 2;
                for (int y = 0; y < others; ++y) {
                    const auto test = truth.summer(2020 + y, world);
                    const test::Scored t = test::scoreCutIns(test, truth, cutIns, 10);
                    const test::Scored b = test::scoreCutIns(test, truth, blanket, 10);
                    share += t.share / others;
                    tailoredEnergy += t.energyKwh;
                    blanketEnergy += b.energyKwh;
                }
                const ShareEstimate& e = result.validation.tailored;
                held += e.low <= share && share <= e.high;
                shareSum += share;
                ratioSum += tailoredEnergy / blanketEnergy;
                expectedGap += std::abs(e.share - share);
                ++runs;
                if (world == 1 && made == 1) {
                    std::int64_t a = 0;
                    for (const auto& i : training[0])
                        a += i.activity;
                    std::printf("active %lld\n", (long long)a);
                }
                if (std::getenv("V"))
                    std::printf(
                        "fit %d made %d world %d: out %.3f est %.3f [%.3f %.3f] in %.3f ratio %.2f "
                        "blanket in %.3f est %.3f\n",
                        static_cast<int>(fit), made, static_cast<int>(world), share, e.share, e.low,
                        e.high, result.tailored.totals.protectedShare,
                        tailoredEnergy / blanketEnergy, result.blanket.totals.protectedShare,
                        result.validation.blanket.share);
            }
            std::printf("== fit %d made %d: mean out %.3f ratio %.2f gap %.3f held %d/%d\n",
                        static_cast<int>(fit), made, shareSum / runs, ratioSum / runs,
                        expectedGap / runs, held, runs);
        }
    }
}

}  // namespace
}  // namespace vane
namespace vane {
namespace {
TEST(PlanOutOfSampleTest, Coverage) {
    const test::KnownTruth truth;
    std::vector<std::vector<TurbineInterval>> fresh;
    for (int y = 0; y < 3; ++y)
        fresh.push_back(truth.expectedSummer(2030 + y, 99));
    const auto all = joined(fresh);
    int heldT = 0, heldB = 0, runs = 0;
    double gapT = 0, gapB = 0;
    const std::uint64_t worlds = std::getenv("W") ? std::atoi(std::getenv("W")) : 40;
    for (std::uint64_t world = 100; world < 100 + worlds; ++world) {
        CurtailmentOptions options;
        options.energyKnown = true;
        const CurtailmentResult result =
            curtailmentResult(truth.summer(2011, world), truth.site, options, *truth.zone);
        const std::vector<double> cutIns = cutInsOf(result.tailored);
        const double t = test::scoreCutIns(all, truth, cutIns, 10).share;
        const double b =
            test::scoreCutIns(all, truth, std::vector<double>(cutIns.size(), result.blanket.cutIn),
                              10)
                .share;
        const ShareEstimate& et = result.validation.tailored;
        const ShareEstimate& eb = result.validation.blanket;
        heldT += et.low <= t && t <= et.high;
        heldB += eb.low <= b && b <= eb.high;
        gapT += et.share - t;
        gapB += eb.share - b;
        ++runs;
        if (std::getenv("V"))
            std::printf("T %.3f [%.3f %.3f] truth %.3f | B %.3f [%.3f %.3f] truth %.3f\n", et.share,
                        et.low, et.high, t, eb.share, eb.low, eb.high, b);
    }
    std::printf("coverage tailored %d/%d blanket %d/%d bias %.3f %.3f\n", heldT, runs, heldB, runs,
                gapT / runs, gapB / runs);
}
}  // namespace
}  // namespace vane
