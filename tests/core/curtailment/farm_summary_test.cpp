#include "core/curtailment/farm_summary.h"

#include <gtest/gtest.h>

namespace vane {
namespace {

CurtailmentResult planOf(std::vector<double> cutIns, bool energyKnown, bool validated) {
    CurtailmentResult result;
    result.energyKnown = energyKnown;
    result.data.activityInNights = 1471;
    result.data.productionKwh = 936100.0;
    result.blanket.cutIn = 6.0;
    for (const double cutIn : cutIns) {
        result.tailored.cells.push_back(CellCutIn{.cutIn = cutIn});
    }
    result.tailored.totals.energyLostKwh = 34600.0;
    result.tailored.totals.curtailedHours = 212.25;
    if (validated) {
        result.validation.method = ValidationMethod::nightBlocks;
        result.validation.tailored = ShareEstimate{.share = 0.904, .low = 0.853, .high = 0.937};
    }
    return result;
}

TEST(FarmSummaryTest, EachTurbineIsOneLineOfItsPlansNumbers) {
    const struct {
        CurtailmentResult result;
        std::string line;
    } cases[] = {
        {planOf({0.0, 6.5, 3.5}, true, true),
         "WEA 1\t1471\t6 m/s\t0-6.5 m/s\t90 % (85-94 %)\t34.60 MWh\t3.70 %\t-\t-\t-\n"},
        {planOf({4.5, 4.5}, false, true),
         "WEA 1\t1471\t6 m/s\t4.5 m/s\t90 % (85-94 %)\t212.2 h\t-\t-\t-\t-\n"},
        {planOf({}, true, false), "WEA 1\t1471\t6 m/s\t-\t-\t34.60 MWh\t3.70 %\t-\t-\t-\n"},
    };
    for (const auto& [result, line] : cases) {
        const std::string table = farmSummaryTable({farmSummaryRow("WEA 1", result)});
        EXPECT_EQ(table.substr(table.find('\n') + 1), line);
    }
}

// The farm plan at a turbine: that turbine's own share and its own energy, beside its own plan;
// the farm plan's line gives the pooled numbers in both places.
TEST(FarmSummaryTest, TheFarmPlanIsShownAtEachTurbineAndOnItsOwnLine) {
    FarmPlan farm{.result = planOf({5.0}, true, true), .turbines = {}};
    FarmPlanTurbine& turbine = farm.turbines.emplace_back();
    turbine.plan.totals.energyLostKwh = 12340.0;
    turbine.productionKwh = 246800.0;
    turbine.expected = ShareEstimate{.share = 0.871, .low = 0.815, .high = 0.912};
    FarmSummaryRow row = farmSummaryRow("WEA 1", planOf({0.0, 6.5}, true, true));
    addFarmPlan(row, farm, 0);
    FarmSummaryRow beyond = farmSummaryRow("WEA 2", planOf({0.0, 6.5}, true, true));
    addFarmPlan(beyond, farm, 1);
    const std::string table = farmSummaryTable({row, beyond, farmPlanRow(farm)});
    EXPECT_EQ(table.substr(table.find('\n') + 1),
              "WEA 1\t1471\t6 m/s\t0-6.5 m/s\t90 % (85-94 %)\t34.60 MWh\t3.70 %\t87 % (81-92 %)\t"
              "12.34 MWh\t5.00 %\n"
              "WEA 2\t1471\t6 m/s\t0-6.5 m/s\t90 % (85-94 %)\t34.60 MWh\t3.70 %\t-\t-\t-\n"
              "farm plan\t1471\t6 m/s\t5 m/s\t90 % (85-94 %)\t34.60 MWh\t3.70 %\t90 % (85-94 %)\t"
              "34.60 MWh\t3.70 %\n");
}

}  // namespace
}  // namespace vane
