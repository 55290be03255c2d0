#include "core/curtailment/curtailment_plan.h"

#include <gtest/gtest.h>
#include <unicode/timezone.h>

#include <cstdio>
#include <limits>
#include <memory>
#include <random>
#include <string>
#include <tuple>
#include <utility>
#include <vector>

#include "core/analysis/activity_analysis.h"
#include "core/curtailment/controller_table.h"
#include "core/curtailment/curtailment_result.h"
#include "core/curtailment/plan_procedure.h"
#include "core/curtailment/plan_validation.h"
#include "core/curtailment/turbine_intervals.h"
#include "core/time/local_time.h"
#include "tests/core/import/wind_table_rows.h"

namespace vane {
namespace {

const Site kFranconia{49.6, 10.9};

std::unique_ptr<icu::TimeZone> berlin() {
    return std::unique_ptr<icu::TimeZone>(icu::TimeZone::createTimeZone("Europe/Berlin"));
}

// A night of summer rows every ten minutes from 23:00 to 03:00 local time (all within the
// night at the site), wind speeds and activity from `draw`.
struct NightRows {
    test::WindRows rows{{"Date", "Wind", "Temp"}};
    BatEventList bins;
};

NightRows summerNight(std::mt19937& random, const icu::TimeZone& zone) {
    NightRows night;
    std::uniform_int_distribution<int> tenths(0, 140);
    std::uniform_int_distribution<int> busy(0, 2);
    for (int step = 0; step < 24; ++step) {
        const int minutes = 23 * 60 + step * 10;
        const CivilDate date = minutes >= 24 * 60 ? CivilDate{2012, 7, 15} : CivilDate{2012, 7, 14};
        const int hour = (minutes / 60) % 24;
        const int minute = minutes % 60;
        char stamp[32];
        std::snprintf(stamp, sizeof stamp, "%02d.%02d.%04d %02d:%02d", date.day, date.month,
                      date.year, hour, minute);
        const int wind = tenths(random);
        night.rows.push_back(
            {stamp, std::to_string(wind / 10) + "." + std::to_string(wind % 10), "15"});
        if (busy(random) > 0) {
            night.bins.push_back({localInstant({date, hour, minute, 0}, zone), busy(random) + 1});
        }
    }
    return night;
}

ActivityAnalysisOptions rowOptions() {
    ActivityAnalysisOptions options;
    options.dateTimeColumn = 1;
    options.windColumn = 2;
    options.temperatureColumn = 3;
    options.dateFormat = "dd.MM.yyyy HH:mm";
    options.timeZone = "+0200";
    return options;
}

// With every activity in one cell, the blanket cut-in for a share is the analysis's level for it.
TEST(CurtailmentPlanTest, OneCellGivesTheAnalysisLevelsAsBlanketCutIns) {
    const auto zone = berlin();
    std::mt19937 random(17);
    for (int round = 0; round < 20; ++round) {
        const NightRows night = summerNight(random, *zone);
        const WindTable table = test::tableOfRows(night.rows);
        for (const bool countRecordings : {false, true}) {
            ActivityAnalysisOptions options = rowOptions();
            options.countRecordings = countRecordings;
            const ActivityAnalysisResult analysis =
                analyseActivityAndWind(night.bins, table, options, *zone);
            ASSERT_EQ(analysis.summaries.size(), 1u);
            const TurbineIntervalScan scan =
                turbineIntervals(night.bins, table, options, {}, *zone);
            CurtailmentOptions plan;
            plan.night.parts = 1;
            const CurtailmentData data = curtailmentData(scan.intervals, kFranconia, plan, *zone);
            EXPECT_EQ(data.activityOutsideNights, 0);
            ASSERT_EQ(data.nights.size(), 1u);
            const std::vector<CellActivity> cells = cellsOf(data);
            for (const ActivityLevel& level : analysis.summaries.front().levels) {
                const BlanketPlan blanket = blanketPlan(cells, level.percent, false);
                EXPECT_DOUBLE_EQ(blanket.cutIn, level.readingBelow)
                    << level.percent << " % in round " << round;
                EXPECT_TRUE(blanket.totals.targetReached);
                // In one cell the tailored plan can do no better than the same cut-in.
                EXPECT_DOUBLE_EQ(tailoredPlan(cells, 1, level.percent, false).cells[6].cutIn,
                                 level.readingBelow);
            }
        }
    }
}

// Cells of random classes: activity, energy and hours per class.
std::vector<CellActivity> randomCells(std::mt19937& random, int cellCount) {
    std::uniform_int_distribution<int> classes(0, 4);
    std::uniform_int_distribution<int> key(0, 12);
    std::uniform_int_distribution<int> activity(0, 6);
    std::uniform_int_distribution<int> energy(0, 50);
    std::vector<CellActivity> cells(static_cast<std::size_t>(cellCount));
    for (CellActivity& cell : cells) {
        const int count = classes(random);
        for (int k = 0; k < count; ++k) {
            ClassStop& stop = cell.stops[key(random)];
            const int spared = activity(random);
            stop.activity += spared;
            stop.energyKwh += energy(random) / 2.0;
            stop.hours += 1.0 / 6.0;
            cell.activity += spared;
        }
        // Cold intervals: activity no cut-in protects.
        cell.activity += activity(random) / 3;
    }
    return cells;
}

// The least energy of every combination of cut-ins (the classes' bounds or 0) reaching the share.
double bruteForceLeast(const std::vector<CellActivity>& cells, double percent) {
    std::vector<std::vector<double>> options;
    std::int64_t total = 0;
    for (const CellActivity& cell : cells) {
        std::vector<double> cutIns{0.0};
        for (const auto& [key, stop] : cell.stops) {
            cutIns.push_back((key + 1) * 0.5);
        }
        options.push_back(cutIns);
        total += cell.activity;
    }
    const std::int64_t required = requiredActivity(total, percent);
    double least = std::numeric_limits<double>::infinity();
    std::vector<std::size_t> index(cells.size(), 0);
    while (true) {
        std::vector<double> cutIns;
        for (std::size_t c = 0; c < cells.size(); ++c) {
            cutIns.push_back(options[c][index[c]]);
        }
        const PlanTotals totals = applyCutIns(cells, cutIns);
        if (totals.protectedActivity >= required) {
            least = std::min(least, totals.energyLostKwh);
        }
        std::size_t c = 0;
        while (c < cells.size() && ++index[c] == options[c].size()) {
            index[c++] = 0;
        }
        if (c == cells.size()) {
            return least;
        }
    }
}

TEST(CurtailmentPlanTest, TailoredPlansCostTheLeastAndNeverMoreThanTheBlanket) {
    std::mt19937 random(4711);
    for (int round = 0; round < 300; ++round) {
        const std::vector<CellActivity> cells = randomCells(random, 4);
        for (const double percent : {50.0, 80.0, 90.0, 95.0, 100.0}) {
            const double least = bruteForceLeast(cells, percent);
            const TailoredPlan tailored = tailoredPlan(cells, 1, percent, true);
            const BlanketPlan blanket = blanketPlan(cells, percent, true);
            ASSERT_EQ(tailored.totals.targetReached,
                      least < std::numeric_limits<double>::infinity())
                << "round " << round << ", " << percent << " %";
            if (!tailored.totals.targetReached) {
                EXPECT_FALSE(blanket.totals.targetReached);
                continue;
            }
            EXPECT_NEAR(tailored.totals.energyLostKwh, least, 1e-9)
                << "round " << round << ", " << percent << " %";
            EXPECT_LE(tailored.totals.energyLostKwh, blanket.totals.energyLostKwh + 1e-9);
            std::int64_t total = 0;
            for (const CellActivity& cell : cells) {
                total += cell.activity;
            }
            EXPECT_GE(tailored.totals.protectedActivity, requiredActivity(total, percent));
        }
        // The curve is the same programme read at every share.
        for (const TradeoffPoint& point : tradeoffCurve(cells, 50, 99, true)) {
            const double least = bruteForceLeast(cells, point.protectPercent);
            if (least == std::numeric_limits<double>::infinity()) {
                EXPECT_FALSE(point.tailoredCost.has_value());
                continue;
            }
            ASSERT_TRUE(point.tailoredCost.has_value());
            EXPECT_NEAR(*point.tailoredCost, least, 1e-9);
            EXPECT_NEAR(*point.blanketCost,
                        blanketPlan(cells, point.protectPercent, true).totals.energyLostKwh, 1e-9);
        }
    }
}

// With millions of recordings the programme counts in units of equal weight: the plan still
// reaches the share, and costs no more than the exact least cost of a hair more.
TEST(CurtailmentPlanTest, LargeCountsArePlannedInUnitsAndStillReachTheShare) {
    std::mt19937 random(2024);
    for (int round = 0; round < 40; ++round) {
        std::vector<CellActivity> cells = randomCells(random, 4);
        for (CellActivity& cell : cells) {
            cell.activity *= 100003;
            for (auto& [key, stop] : cell.stops) {
                stop.activity *= 100003;
            }
        }
        for (const double percent : {50.0, 90.0}) {
            const TailoredPlan plan = tailoredPlan(cells, 1, percent, true);
            if (!plan.totals.targetReached) {
                EXPECT_EQ(bruteForceLeast(cells, percent), std::numeric_limits<double>::infinity());
                continue;
            }
            std::int64_t total = 0;
            for (const CellActivity& cell : cells) {
                total += cell.activity;
            }
            EXPECT_GE(plan.totals.protectedActivity, requiredActivity(total, percent));
            EXPECT_GE(plan.totals.energyLostKwh, bruteForceLeast(cells, percent) - 1e-9);
            EXPECT_LE(plan.totals.energyLostKwh, bruteForceLeast(cells, percent + 0.01) + 1e-9)
                << "round " << round << ", " << percent << " %";
        }
    }
}

// One interval of ten minutes at 600 kW.
TurbineInterval interval(double end, float wind, std::int64_t activity,
                         std::optional<float> temperature = 15.0f) {
    TurbineInterval row;
    row.end = end;
    row.wind = wind;
    row.temperature = temperature;
    row.powerKw = 600.0;
    row.activity = activity;
    return row;
}

// Cells of more than 256 classes each (readings up to 150 m/s), which the programme follows
// back with wider picks.
TEST(CurtailmentPlanTest, CellsOfManyClassesAreSolvedExactlyToo) {
    std::mt19937 random(99);
    std::uniform_int_distribution<int> activity(0, 3);
    std::vector<CellActivity> cells(2);
    for (CellActivity& cell : cells) {
        for (int key = 0; key < 300; ++key) {
            const int spared = activity(random);
            cell.stops[key] = {spared, 1.0 + key % 7, 1.0 / 6.0};
            cell.activity += spared;
        }
    }
    for (const double percent : {50.0, 90.0, 99.0}) {
        EXPECT_NEAR(tailoredPlan(cells, 1, percent, true).totals.energyLostKwh,
                    bruteForceLeast(cells, percent), 1e-6);
    }
}

TEST(CurtailmentPlanTest, TemperatureFloorAndEffortChangeExactlyTheirIntervals) {
    const auto zone = berlin();
    const auto at = [&](int day, int hour, int minute) {
        return localInstant({{2012, 7, day}, hour, minute, 0}, *zone);
    };
    // Three nights; the middle one's first interval is cold, the last night lies outside the
    // effort.
    const std::vector<TurbineInterval> intervals{
        interval(at(14, 23, 0), 2.2f, 4),       interval(at(15, 1, 0), 5.2f, 2),
        interval(at(15, 23, 0), 2.2f, 3, 8.0f), interval(at(16, 1, 0), 6.7f, 1, std::nullopt),
        interval(at(16, 23, 0), 1.0f, 5),       interval(at(15, 14, 0), 1.0f, 0)};
    CurtailmentOptions options;
    options.night.parts = 1;
    options.energyKnown = true;
    options.temperatureFloor = 10.0;
    options.effort = std::vector<EffortSpan>{{at(14, 12, 0), at(16, 12, 0)}};
    const CurtailmentData data = curtailmentData(intervals, kFranconia, options, *zone);
    EXPECT_EQ(data.activityInNights, 10);
    EXPECT_EQ(data.activityOutsideEffort, 5);
    EXPECT_EQ(data.activityOutsideNights, 0);
    EXPECT_EQ(data.nightsWithData, 2);
    // Production of every interval in the period, day and night: five of 100 kWh.
    EXPECT_DOUBLE_EQ(data.productionKwh, 500.0);
    const std::vector<CellActivity> cells = cellsOf(data);
    const CellActivity& july = cells[6];
    EXPECT_EQ(july.activity, 10);
    // The cold interval's class holds only the warm one's activity; the one without a
    // temperature stops.
    ASSERT_EQ(july.stops.size(), 3u);
    EXPECT_EQ(july.stops.at(4.0).activity, 4);
    EXPECT_DOUBLE_EQ(july.stops.at(4.0).energyKwh, 100.0);
    EXPECT_EQ(july.stops.at(10.0).activity, 2);
    EXPECT_EQ(july.stops.at(13.0).activity, 1);
    // Even stopping in every wind, the cold interval's 3 stay unprotected: 70 % at most.
    EXPECT_FALSE(blanketPlan(cells, 80, true).totals.targetReached);
    const BlanketPlan seventy = blanketPlan(cells, 70, true);
    EXPECT_TRUE(seventy.totals.targetReached);
    EXPECT_DOUBLE_EQ(seventy.cutIn, 7.0);
    EXPECT_DOUBLE_EQ(seventy.totals.energyLostKwh, 300.0);
    EXPECT_DOUBLE_EQ(seventy.totals.curtailedHours, 0.5);
}

TEST(CurtailmentPlanTest, WithoutEffortTheNightsFromFirstToLastActivityCount) {
    const auto zone = berlin();
    const auto at = [&](int day, int hour, int minute) {
        return localInstant({{2012, 7, day}, hour, minute, 0}, *zone);
    };
    const std::vector<TurbineInterval> intervals{
        interval(at(13, 23, 0), 3.0f, 0), interval(at(14, 23, 0), 3.0f, 1),
        interval(at(15, 12, 0), 3.0f, 7), interval(at(15, 23, 0), 3.0f, 0),
        interval(at(16, 1, 0), 3.0f, 2),  interval(at(16, 23, 0), 3.0f, 0)};
    CurtailmentOptions options;
    options.night.parts = 4;
    const CurtailmentData data = curtailmentData(intervals, kFranconia, options, *zone);
    EXPECT_TRUE(data.effortFromRecordings);
    EXPECT_EQ(data.activityInNights, 3);
    EXPECT_EQ(data.activityOutsideNights, 7);
    EXPECT_EQ(data.activityOutsideEffort, 0);
    EXPECT_EQ(data.nightsInPeriod, 2);
    EXPECT_EQ(data.nightsWithData, 2);
}

TEST(CurtailmentPlanTest, HeldOutYearsArePlannedFromTheOthersAndAlmostEmptyOnesOnlyListed) {
    CurtailmentData data;
    data.parts = 1;
    const auto year = [](int number, double key, std::int64_t activity) {
        NightActivity night;
        night.year = number;
        night.day = (number - 1970) * 365L + 195;
        night.classes.push_back(
            {6, key, kNoTemperature, true, activity, activity, activity, 100.0, 1.0});
        return night;
    };
    // 2013's 3 are less than 5 % of the mean year's 75.75.
    data.nights = {year(2010, 5.0, 100), year(2011, 5.0, 100), year(2012, 9.0, 100),
                   year(2013, 20.0, 3)};
    CurtailmentOptions options;
    options.fit = PlanFit::exact;
    options.energyKnown = true;
    const PlanValidation validation = validatePlans(data, options);
    EXPECT_EQ(validation.method, ValidationMethod::heldOutYears);
    EXPECT_EQ(validation.folds, 3);
    ASSERT_EQ(validation.years.size(), 4u);
    // 2010 is planned from the others (cut-in 5), which spares its class of 2.5 m/s.
    EXPECT_EQ(validation.years[0].year, 2010);
    EXPECT_DOUBLE_EQ(validation.years[0].tailoredShare, 1.0);
    // 2012 is planned from years of gentler wind: cut-in 3 leaves its 4.5 m/s unprotected.
    EXPECT_EQ(validation.years[2].year, 2012);
    EXPECT_DOUBLE_EQ(validation.years[2].tailoredShare, 0.0);
    EXPECT_DOUBLE_EQ(validation.years[2].blanketShare, 0.0);
    // Listed, but its 3 intervals would say "100 %" or "0 %" of nothing much: not held out.
    EXPECT_EQ(validation.years[3].year, 2013);
    EXPECT_EQ(validation.years[3].activity, 3);
    EXPECT_FALSE(validation.years[3].used);
    // 200 of the 300 held-out activity protected, energy as lost on those nights.
    EXPECT_DOUBLE_EQ(validation.tailored.share, 200.0 / 300.0);
    EXPECT_DOUBLE_EQ(validation.tailored.energyLostKwh, 200.0);
    EXPECT_LE(validation.tailored.low, validation.tailored.share);
    EXPECT_GE(validation.tailored.high, validation.tailored.share);
    // One night holds nothing out.
    data.nights.resize(1);
    EXPECT_EQ(validatePlans(data, options).method, ValidationMethod::none);
}

// Nights of one class per cell: (cell, wind class, activity, intervals).
NightActivity nightOf(int month, std::vector<std::tuple<int, double, int, int>> classes) {
    NightActivity night;
    night.year = 2012;
    night.month = month;
    night.seconds = 540 * 60.0;
    for (const auto& [cell, key, activity, intervals] : classes) {
        night.classes.push_back({cell, key, kNoTemperature, true, activity, intervals, activity,
                                 10.0 * intervals, intervals / 6.0});
    }
    return night;
}

// A cell with too few active intervals takes its month's blanket cut-in; in a month without
// activity, the nearest month's. The controller's table gives each window of equal cut-ins
// once, in minutes after the widened sunset, the last one before sunrise.
TEST(CurtailmentPlanTest, SparseCellsTakeTheirMonthsCutInAndTheControllerTableMergesWindows) {
    CurtailmentResult result;
    CurtailmentData& data = result.data;
    data.parts = 4;
    data.minutesBeforeSunset = 30;
    data.minutesAfterSunrise = 30;
    // July (cells 24 to 27): 10 active intervals at 2 m/s in the first night part, one at 5 m/s
    // in the second; September's first night part has intervals but no activity.
    data.nights = {nightOf(7, {{24, 4.0, 10, 10}, {24, 12.0, 0, 5}, {25, 10.0, 1, 3}}),
                   nightOf(9, {{32, 6.0, 0, 4}})};
    CurtailmentOptions options;
    options.fit = PlanFit::exact;
    options.minCellActivity = 3;
    const MadePlans plans = makePlans(classSums(data), options, {90.0});
    EXPECT_FALSE(plans.fixed[24].has_value());
    // July's blanket: 10 of its 11 need the cut-in 2.5.
    EXPECT_EQ(plans.fixed[25], std::optional<double>(2.5));
    EXPECT_EQ(plans.fixed[32], std::optional<double>(2.5));
    EXPECT_DOUBLE_EQ(plans.tailoredCutIns.front()[25], 2.5);
    EXPECT_DOUBLE_EQ(plans.tailoredCutIns.front()[32], 2.5);

    result.temperatureFloor = 10.0;
    result.tailored = tailoredPlanOf(plans, {}, data.parts);
    for (const auto& [cell, cutIn] : {std::pair{24, 5.0}, {25, 5.0}, {26, 0.0}, {27, 3.0}}) {
        result.tailored.cells[cell].cutIn = cutIn;
    }
    // Nights of 540 widened minutes: parts of 135.
    EXPECT_EQ(controllerTable(result),
              "month,reference,start_min,end_min,cut_in_ms,temperature_floor_c\n"
              "7,sunset,-30,240,5.0,10.0\n"
              "7,sunset,240,375,0.0,10.0\n"
              "7,sunrise,105,-30,3.0,10.0\n"
              "9,sunrise,510,-30,0.0,10.0\n");
}

TEST(CurtailmentPlanTest, TheJsonNamesItsSourcesAsJsonStringsWhateverTheirNames) {
    const std::string json =
        curtailmentJson(CurtailmentResult{}, {.windFile = "mast \"A\"\\2024\n.csv",
                                              .power = "curve Kurve °.csv",
                                              .zoneName = {},
                                              .turbine = "WEA \"Süd\"\t2"});
    EXPECT_NE(json.find(",\"power\":\"curve Kurve °.csv\","), std::string::npos) << json;
    EXPECT_TRUE(
        json.ends_with(",\"wind_file\":\"mast \\\"A\\\"\\\\2024\\u000a.csv\",\"recordings\":null,"
                       "\"project\":null,\"turbine\":\"WEA \\\"Süd\\\"\\u00092\","
                       "\"detector\":null}}\n"))
        << json;
}

}  // namespace
}  // namespace vane
