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
         "WEA 1\t1471\t6 m/s\t0-6.5 m/s\t90 % (85-94 %)\t34.60 MWh\t3.70 %\n"},
        {planOf({4.5, 4.5}, false, true),
         "WEA 1\t1471\t6 m/s\t4.5 m/s\t90 % (85-94 %)\t212.2 h\t-\n"},
        {planOf({}, true, false), "WEA 1\t1471\t6 m/s\t-\t-\t34.60 MWh\t3.70 %\n"},
    };
    for (const auto& [result, line] : cases) {
        const std::string table = farmSummaryTable({farmSummaryRow("WEA 1", result)});
        EXPECT_EQ(table.substr(table.find('\n') + 1), line);
    }
}

}  // namespace
}  // namespace vane
