#include "core/analysis/activity_analysis.h"

#include <gmock/gmock.h>
#include <gtest/gtest.h>
#include <unicode/timezone.h>

#include <cmath>
#include <limits>
#include <memory>
#include <string>
#include <vector>

#include "core/analysis/activity_classes.h"
#include "core/time/local_time.h"
#include "tests/core/import/wind_table_rows.h"

namespace vane {

void PrintTo(const AnalysisAlert& alert, std::ostream* out) {
    *out << alert.title << ": " << alert.message;
}
void PrintTo(const PlotPoint& point, std::ostream* out) {
    *out << "(" << point.x << ", " << point.y << ")";
}

namespace {

using ::testing::ElementsAre;
using ::testing::IsEmpty;
using ::testing::StartsWith;

const AnalysisAlert kLateActivity{
    "Activity without environmental data",
    "Activity was recorded for a longer period than environmental data was collected."};
const AnalysisAlert kWrongFormat{"Wrong date/time format",
                                 "At least one date/time entry had an unknown format."};
// The alert names the first text that does not read, and the pattern tried.
AnalysisAlert wrongFormatAt(int line, const std::string& text) {
    return {kWrongFormat.title, kWrongFormat.message + " First at line " + std::to_string(line) +
                                    ": \"" + text + "\" does not read as dd.MM.yyyy HH:mm."};
}
const AnalysisAlert kNoOverlap{"No time overlap",
                               "It seems the selected recordings and the available wind data do "
                               "not overlap in time. No measurements were taken."};

// A summer night at a site in central Europe; the logger writes local summer time.
class ActivityAnalysisTest : public ::testing::Test {
  protected:
    std::unique_ptr<icu::TimeZone> berlin_{icu::TimeZone::createTimeZone("Europe/Berlin")};

    double at(int hour, int minute) const {
        return localInstant({{2012, 6, 21}, hour, minute, 0}, *berlin_);
    }
    static std::string stamp(int hour, int minute) {
        char text[32];
        std::snprintf(text, sizeof text, "21.06.2012 %02d:%02d", hour, minute);
        return text;
    }

    // Header "Date;Wind;Temp;State", then one row per entry.
    struct Row {
        std::string date;
        std::string wind;
        std::string temp = "15";
        std::string state = "run";
    };
    static test::WindRows tableRows(const std::vector<Row>& rows) {
        test::WindRows windRows = {{"Date", "Wind", "Temp", "State"}};
        for (const Row& row : rows) {
            windRows.push_back({row.date, row.wind, row.temp, row.state});
        }
        return windRows;
    }
    static WindTable table(const std::vector<Row>& rows) {
        return test::tableOfRows(tableRows(rows));
    }

    BatEventList bins(std::initializer_list<std::pair<int, int>> times) const {
        BatEventList events;
        for (const auto& [hour, minute] : times) {
            events.push_back({at(hour, minute), 1});
        }
        return events;
    }

    static ActivityAnalysisOptions windOptions() {
        ActivityAnalysisOptions options;
        options.dateTimeColumn = 1;
        options.windColumn = 2;
        options.temperatureColumn = 3;
        options.dateFormat = "dd.MM.yyyy HH:mm";
        options.timeZone = "+0200";
        return options;
    }

    ActivityAnalysisResult run(const BatEventList& events, const WindTable& windTable,
                               const ActivityAnalysisOptions& options = windOptions()) const {
        return analyseActivityAndWind(events, windTable, options, *berlin_);
    }
};

// Rows whose readings tell which row a bin was matched with: row n reads n m/s.
TEST_F(ActivityAnalysisTest, EachBinIsMatchedWithTheRowWhoseIntervalEndsAtOrAfterIt) {
    const WindTable offGrid =
        table({{stamp(22, 5), "1"}, {stamp(22, 15), "2"}, {stamp(22, 25), "3"}});
    EXPECT_EQ(run(bins({{22, 10}, {22, 20}}), offGrid).pasteboardText, "0\t0\n2\t1\n3\t1\n");

    const WindTable onGrid =
        table({{stamp(22, 0), "1"}, {stamp(22, 10), "2"}, {stamp(22, 20), "3"}});
    // The stamp itself belongs to its row's interval.
    EXPECT_EQ(run(bins({{22, 0}, {22, 10}}), onGrid).pasteboardText, "0\t0\n1\t1\n2\t1\n");
    // An offset of ten minutes moves every interval ten minutes later.
    ActivityAnalysisOptions shifted = windOptions();
    shifted.timeOffsetMinutes = 10;
    EXPECT_EQ(run(bins({{22, 10}, {22, 20}}), onGrid, shifted).pasteboardText,
              "0\t0\n1\t1\n2\t1\n");
}

TEST_F(ActivityAnalysisTest, AnIntervalReachesBackToThePreviousRowAtMostTenMinutes) {
    // 22:10 is passed over to the 22:10 row although 22:05 lies nearer before it.
    const WindTable fiveMinutes =
        table({{stamp(22, 0), "1"}, {stamp(22, 5), "2"}, {stamp(22, 10), "3"}});
    EXPECT_EQ(run(bins({{22, 0}, {22, 10}}), fiveMinutes).pasteboardText, "0\t0\n1\t1\n3\t1\n");

    // After a gap, the row stands for the ten minutes before its stamp only.
    const WindTable gap = table({{stamp(22, 0), "1"}, {stamp(23, 0), "2"}, {stamp(23, 10), "3"}});
    const ActivityAnalysisResult gapResult =
        run(bins({{22, 30}, {22, 40}, {22, 50}, {23, 0}}), gap);
    EXPECT_THAT(gapResult.alerts, IsEmpty());
    EXPECT_EQ(gapResult.pasteboardText, "0\t0\n2\t1\n");

    // A bin before the first row's interval is simply not counted.
    EXPECT_EQ(run(bins({{21, 0}, {22, 10}}), fiveMinutes).pasteboardText, "0\t0\n3\t1\n");
}

// Rows every `step` seconds from 20:00, row n reading n/2 + 0.1 m/s so that its class is n;
// each bin must land in the class of the row whose step holds the bin's end: the row stamped at
// or after it (stamps at the end of the step), or the one before that (at the beginning).
TEST_F(ActivityAnalysisTest, EachStampConventionMatchesABinWithTheRowWhoseStepHoldsIt) {
    for (const int step : {600, 300, 120}) {
        const double first = at(20, 0);
        const int rows = 3 * 3600 / step;
        std::vector<Row> written;
        for (int n = 0; n < rows; ++n) {
            const auto minutes = static_cast<int>(n * step / 60);
            written.push_back(
                {stamp(20 + minutes / 60, minutes % 60), std::to_string(n * 0.5 + 0.1)});
        }
        const WindTable windTable = table(written);
        BatEventList events;
        for (double end = first + 600.0; end < first + (rows - 2) * step; end += 600.0) {
            events.push_back({end, 1});
        }
        for (const StampConvention convention : {StampConvention::end, StampConvention::begin}) {
            ActivityAnalysisOptions options = windOptions();
            options.stamps = convention;
            ClassCounts expected;
            for (const BatEvent& event : events) {
                const auto stampedAtOrAfter =
                    static_cast<int>(std::ceil((event.binEnd - first) / step));
                expected[stampedAtOrAfter - (convention == StampConvention::begin ? 1 : 0)] += 1;
            }
            const ActivityAnalysisResult result = run(events, windTable, options);
            EXPECT_THAT(result.alerts, IsEmpty());
            EXPECT_EQ(result.classCounts.at("single"), expected)
                << "step " << step << (convention == StampConvention::begin ? ", begin" : ", end");
        }
    }
}

TEST_F(ActivityAnalysisTest, ClassesAccumulateIntoTheCurveAndTheTable) {
    const WindTable readings = table({{stamp(22, 0), "0.2"},
                                      {stamp(22, 10), "0.4"},
                                      {stamp(22, 20), "1.7"},
                                      {stamp(22, 30), "9"}});
    const ActivityAnalysisResult result = run(bins({{22, 0}, {22, 10}, {22, 20}}), readings);
    EXPECT_THAT(result.alerts, IsEmpty());
    EXPECT_TRUE(result.hasTable());
    EXPECT_EQ(result.pasteboardText, "0\t0\n0\t2\n1.5\t1\n");
    EXPECT_THAT(result.seriesNames, ElementsAre("single"));
    ASSERT_EQ(result.plotData.size(), 1u);
    const std::vector<PlotPoint>& curve = result.plotData.at("single");
    ASSERT_EQ(curve.size(), 3u);
    EXPECT_EQ(curve[0], (PlotPoint{0.0, 0.0}));
    EXPECT_EQ(curve[1].x, 0.0);
    EXPECT_NEAR(curve[1].y, 0.6667, 1e-4);
    EXPECT_EQ(curve[2], (PlotPoint{1.5, 1.0}));
    EXPECT_EQ(result.xRangeLength, 25.0);
    EXPECT_EQ(result.yRangeLength, 1.0);
    EXPECT_FALSE(result.legend);

    // Half of the activity lies below 0.5 m/s, the rest below 2 m/s.
    ASSERT_EQ(result.summaries.size(), 1u);
    EXPECT_THAT(result.summaries[0].levels,
                ElementsAre(ActivityLevel{50, 0.5}, ActivityLevel{80, 2.0}, ActivityLevel{90, 2.0},
                            ActivityLevel{95, 2.0}));
    EXPECT_EQ(describeActivitySummary(result.summaries[0], false, ","),
              "below 0,5 m/s: 50 % of activity; below 2 m/s: 80 % of activity; below 2 m/s: "
              "90 % of activity; below 2 m/s: 95 % of activity");

    // Readings and labels both take the chosen separator.
    const WindTable commas = table({{stamp(22, 0), "0,2"},
                                    {stamp(22, 10), "0,4"},
                                    {stamp(22, 20), "1,7"},
                                    {stamp(22, 30), "9"}});
    ActivityAnalysisOptions comma = windOptions();
    comma.decimalSeparator = ",";
    EXPECT_EQ(run(bins({{22, 0}, {22, 10}, {22, 20}}), commas, comma).pasteboardText,
              "0\t0\n0\t2\n1,5\t1\n");
    // With the other separator the readings are no numbers: left out and said so, not counted
    // as calm air.
    const ActivityAnalysisResult point = run(bins({{22, 0}, {22, 10}, {22, 20}}), commas);
    EXPECT_EQ(point.pasteboardText, "0\t0\n");
    ASSERT_EQ(point.alerts.size(), 1u);
    EXPECT_EQ(point.alerts[0].title, "Readings left out");
    EXPECT_THAT(point.alerts[0].message,
                StartsWith("3 activity bins matched rows whose wind speed"));
    EXPECT_FALSE(point.stoppedAtNoTimeOverlap);
}

TEST_F(ActivityAnalysisTest, ReadingsAtTheEdgeOfSinglePrecisionKeepFiniteClasses) {
    // Some loggers write the largest single-precision value for a missing reading.
    const WindTable extreme = table({{stamp(22, 0), "NaN"},
                                     {stamp(22, 10), "340282346638528859811704183484516925440"},
                                     {stamp(22, 20), "1e400"},
                                     {stamp(22, 30), "1"}});
    const ActivityAnalysisResult result = run(bins({{22, 0}, {22, 10}, {22, 20}}), extreme);
    const std::vector<PlotPoint>& curve = result.plotData.at("single");
    ASSERT_EQ(curve.size(), 2u);
    // Not numbers, or beyond single precision: no readings, left out.
    EXPECT_EQ(curve[0], (PlotPoint{0.0, 0.0}));
    EXPECT_EQ(curve[1].x, std::numeric_limits<float>::max());
    EXPECT_EQ(curve[1].y, 1.0);
    ASSERT_EQ(result.alerts.size(), 1u);
    EXPECT_THAT(result.alerts[0].message, StartsWith("2 activity bins matched rows"));
    EXPECT_EQ(result.pasteboardText.find("\u221E"), std::string::npos) << result.pasteboardText;
    EXPECT_TRUE(std::isfinite(result.summaries[0].levels.back().readingBelow));
}

TEST_F(ActivityAnalysisTest, RecordingCountsWeighTheBinsWhenChosen) {
    const WindTable readings =
        table({{stamp(22, 0), "3.1"}, {stamp(22, 10), "3.3"}, {stamp(22, 40), "7"}});
    BatEventList events{{at(21, 0), 4}, {at(22, 0), 3}, {at(22, 10), 5}};
    ActivityAnalysisOptions weighed = windOptions();
    weighed.countRecordings = true;
    // The unmatched first bin's count is passed over, not given to the next bin.
    EXPECT_EQ(run(events, readings, weighed).pasteboardText, "0\t0\n3\t8\n");
    EXPECT_EQ(run(events, readings).pasteboardText, "0\t0\n3\t2\n");
}

TEST_F(ActivityAnalysisTest, AFieldWithTheDateAloneIsReadAsMidnight) {
    const WindTable daily = test::tableOfRows(
        {{"Date", "Wind"}, {"20.06.2012", "1"}, {"21.06.2012", "2"}, {"22.06.2012", "3"}});
    ActivityAnalysisOptions options = windOptions();
    options.dateFormat = "dd.MM.yyyy HH:mm:ss";
    const ActivityAnalysisResult result = run(bins({{0, 0}}), daily, options);
    EXPECT_THAT(result.alerts, IsEmpty());
    EXPECT_EQ(result.pasteboardText, "0\t0\n2\t1\n");
}

TEST_F(ActivityAnalysisTest, FrostyClassesComeFirstSoTheCurveStaysCumulative) {
    const WindTable cold = table({{stamp(22, 0), "4", "-0.3"},
                                  {stamp(22, 10), "4", "1.2"},
                                  {stamp(22, 20), "4", "-2.3"},
                                  {stamp(22, 30), "4", "0"}});
    ActivityAnalysisOptions temperature = windOptions();
    temperature.plotTemp = true;
    const ActivityAnalysisResult result =
        run(bins({{22, 0}, {22, 10}, {22, 20}}), cold, temperature);
    EXPECT_EQ(result.pasteboardText, "-2.5\t1\n-0.5\t1\n0\t0\n1\t1\n");
    const std::vector<PlotPoint>& curve = result.plotData.at("single");
    ASSERT_EQ(curve.size(), 4u);
    for (std::size_t k = 1; k < curve.size(); ++k) {
        EXPECT_LE(curve[k - 1].x, curve[k].x);
        EXPECT_LE(curve[k - 1].y, curve[k].y);
    }
    EXPECT_FLOAT_EQ(curve[2].y, 2.0f / 3.0f);
    EXPECT_FLOAT_EQ(curve[3].y, 1.0f);
    EXPECT_EQ(result.xRangeLength, 40.0);

    // Only frost: the origin comes last.
    EXPECT_EQ(run(bins({{22, 0}}), cold, temperature).pasteboardText, "-0.5\t1\n0\t0\n");
}

TEST_F(ActivityAnalysisTest, BinsAfterTheLastRowEndTheScanWithAnAlert) {
    const WindTable twoRows = table({{stamp(22, 0), "1"}, {stamp(22, 10), "2"}});
    // One late bin moves the scan onto the last row and is not counted: no alert.
    const ActivityAnalysisResult oneLate = run(bins({{22, 0}, {22, 30}}), twoRows);
    EXPECT_THAT(oneLate.alerts, IsEmpty());
    EXPECT_EQ(oneLate.pasteboardText, "0\t0\n1\t1\n");
    // The next one meets the end, even inside the last row's interval; what was counted stays.
    const ActivityAnalysisResult twoLate = run(bins({{22, 0}, {22, 30}, {22, 40}}), twoRows);
    EXPECT_THAT(twoLate.alerts, ElementsAre(kLateActivity));
    EXPECT_EQ(twoLate.pasteboardText, "0\t0\n1\t1\n");
    EXPECT_THAT(run(bins({{22, 0}, {22, 10}, {22, 10}}), twoRows).alerts,
                ElementsAre(kLateActivity));

    // A single data row: the first bin already meets the end.
    const ActivityAnalysisResult single = run(bins({{22, 0}}), table({{stamp(22, 0), "1"}}));
    EXPECT_THAT(single.alerts, ElementsAre(kLateActivity, kNoOverlap));
    EXPECT_TRUE(single.stoppedAtNoTimeOverlap);
    EXPECT_FALSE(single.hasTable());

    // A trailing empty line is never read.
    test::WindRows trailingRows = tableRows({{stamp(22, 0), "1"}, {stamp(22, 10), "2"}});
    trailingRows.push_back({""});
    const WindTable trailing = test::tableOfRows(trailingRows);
    EXPECT_EQ(run(bins({{22, 0}, {22, 10}}), trailing).pasteboardText, "0\t0\n1\t1\n2\t1\n");
}

TEST_F(ActivityAnalysisTest, NoOverlapStopsWithoutATable) {
    const WindTable night =
        table({{stamp(22, 0), "1"}, {stamp(22, 10), "2"}, {stamp(22, 20), "3"}});
    ActivityAnalysisResult result = run(bins({{3, 0}}), night);
    EXPECT_THAT(result.alerts, ElementsAre(kNoOverlap));
    EXPECT_TRUE(result.stoppedAtNoTimeOverlap);
    EXPECT_THAT(result.pasteboardText, IsEmpty());
    EXPECT_THAT(result.plotData, IsEmpty());
    EXPECT_THAT(result.seriesNames, IsEmpty());
    EXPECT_THAT(run({}, night).alerts, ElementsAre(kNoOverlap));
}

TEST_F(ActivityAnalysisTest, TheRowAfterAnUnreadableDateIsStillRead) {
    // Mended: the scan used to pass over the readable row after an unreadable one.
    const WindTable broken = table({{stamp(22, 0), "1"},
                                    {"22:10 on the 21st", "2"},
                                    {stamp(22, 20), "3"},
                                    {stamp(22, 30), "4"},
                                    {stamp(22, 40), "5"}});
    const ActivityAnalysisResult result = run(bins({{22, 0}, {22, 20}, {22, 30}}), broken);
    EXPECT_THAT(result.alerts, ElementsAre(wrongFormatAt(3, "22:10 on the 21st")));
    EXPECT_EQ(result.pasteboardText, "0\t0\n1\t1\n3\t1\n4\t1\n");

    // The same when the very first data row is unreadable.
    const WindTable brokenStart =
        table({{"-", "9"}, {stamp(22, 0), "1"}, {stamp(22, 10), "2"}, {stamp(22, 20), "3"}});
    const ActivityAnalysisResult start = run(bins({{22, 0}, {22, 10}}), brokenStart);
    EXPECT_THAT(start.alerts, ElementsAre(wrongFormatAt(2, "-")));
    EXPECT_EQ(start.pasteboardText, "0\t0\n1\t1\n2\t1\n");

    // Two unreadable rows in a row.
    const WindTable twoBroken = table(
        {{stamp(22, 0), "1"}, {"x", "7"}, {"y", "8"}, {stamp(22, 30), "3"}, {stamp(22, 40), "4"}});
    EXPECT_EQ(run(bins({{22, 0}, {22, 30}}), twoBroken).pasteboardText, "0\t0\n1\t1\n3\t1\n");
}

TEST_F(ActivityAnalysisTest, ARowShortOfItsReadingKeepsItsDateAndMissesTheReading) {
    // Mended: such a row lost its date, its bins were matched with none, a last one ended the
    // data early, and the analysis said a date was unreadable.
    test::WindRows raggedRows =
        tableRows({{stamp(22, 0), "1"}, {stamp(22, 10), "2"}, {stamp(22, 20), "3"}});
    raggedRows.insert(raggedRows.begin() + 2, {stamp(22, 5)});  // no wind field
    raggedRows.push_back({stamp(22, 30)});
    raggedRows.push_back({""});
    const WindTable ragged = test::tableOfRows(raggedRows);
    const ActivityAnalysisResult result =
        run(bins({{22, 0}, {22, 5}, {22, 10}, {22, 20}, {22, 30}}), ragged);
    ASSERT_EQ(result.alerts.size(), 1u) << result.alerts[0].title;
    EXPECT_EQ(result.alerts[0].title, "Readings left out");
    EXPECT_THAT(result.alerts[0].message, StartsWith("2 activity bins"));
    EXPECT_EQ(result.pasteboardText, "0\t0\n1\t1\n2\t1\n3\t1\n");

    // A blank line in the middle holds no date.
    test::WindRows gappyRows =
        tableRows({{stamp(22, 0), "1"}, {stamp(22, 10), "2"}, {stamp(22, 20), "3"}});
    gappyRows.insert(gappyRows.begin() + 2, {""});
    const ActivityAnalysisResult gappy =
        run(bins({{22, 0}, {22, 10}, {22, 20}}), test::tableOfRows(gappyRows));
    EXPECT_THAT(gappy.alerts, ElementsAre(kWrongFormat));
    EXPECT_EQ(gappy.pasteboardText, "0\t0\n1\t1\n2\t1\n3\t1\n");
}

TEST_F(ActivityAnalysisTest, NothingCountedGivesSharesOfZeroNotNaN) {
    const WindTable unreadable = table({{"a", "1"}, {"b", "2"}, {"c", "3"}});
    const ActivityAnalysisResult result = run(bins({{22, 0}, {22, 10}}), unreadable);
    EXPECT_THAT(result.alerts, ElementsAre(kLateActivity, wrongFormatAt(2, "a")));
    EXPECT_EQ(result.pasteboardText, "0\t0\n");
    EXPECT_THAT(result.plotData.at("single"), ElementsAre(PlotPoint{0.0, 0.0}));
    EXPECT_THAT(result.summaries[0].levels, IsEmpty());
    EXPECT_EQ(describeActivitySummary(result.summaries[0], false, "."), "no activity counted");
}

TEST_F(ActivityAnalysisTest, RefusesToStartWithoutTheColumnsOrRowsItNeeds) {
    const WindTable night = table({{stamp(22, 0), "1"}, {stamp(22, 10), "2"}});
    const auto expectRefusal = [&](const ActivityAnalysisResult& result, const char* title) {
        EXPECT_TRUE(result.refused) << title;
        ASSERT_EQ(result.alerts.size(), 1u) << title;
        EXPECT_EQ(result.alerts[0].title, title);
        EXPECT_FALSE(result.alerts[0].message.empty());
        EXPECT_THAT(result.pasteboardText, IsEmpty());
        EXPECT_THAT(result.plotData, IsEmpty());
        EXPECT_FALSE(result.hasTable());
    };
    ActivityAnalysisOptions options = windOptions();
    options.windColumn = 0;
    expectRefusal(run(bins({{22, 0}}), night, options), "No wind speed column");
    options = windOptions();
    options.plotTemp = true;
    options.temperatureColumn = 0;
    expectRefusal(run(bins({{22, 0}}), night, options), "No temperature column");
    options = windOptions();
    options.dateTimeColumn = 0;
    expectRefusal(run(bins({{22, 0}}), night, options), "No date/time column");
    options = windOptions();
    options.windColumn = 9;  // beyond every row
    expectRefusal(run(bins({{22, 0}}), night, options), "No environmental data");
    expectRefusal(run(bins({{22, 0}}), table({})), "No environmental data");
    WindTable empty;
    expectRefusal(run(bins({{22, 0}}), empty), "No environmental data");
    WindTable beyond = night;
    beyond.startAt = 3;
    expectRefusal(run(bins({{22, 0}}), beyond), "Starting line outside the file");
    options = windOptions();
    options.stateColumn = 4;
    options.windColumn = 0;
    options.plotTemp = true;  // the per-state analysis always classes the wind speed
    expectRefusal(run(bins({{22, 0}}), night, options), "No wind speed column");
}

class StateActivityAnalysisTest : public ActivityAnalysisTest {
  protected:
    static ActivityAnalysisOptions stateOptions() {
        ActivityAnalysisOptions options = windOptions();
        options.stateColumn = 4;
        options.timeZone.clear();  // not used: the per-state dates are local time
        return options;
    }
};

TEST_F(StateActivityAnalysisTest, EveryStateGetsItsOwnCumulativeCurveAndColumns) {
    const WindTable states = table({{stamp(22, 0), "1.2", "15", "A"},
                                    {stamp(22, 10), "1.7", "15", "A"},
                                    {stamp(22, 20), "1.6", "15", "B"},
                                    {stamp(22, 30), "1.8", "15", "A"},
                                    {stamp(22, 40), "1.9", "15", "B"},
                                    {stamp(22, 50), "1.5", "15", "A"}});
    ActivityAnalysisOptions options = stateOptions();
    options.plotTemp = true;         // makes no difference
    options.countRecordings = true;  // nor does this
    BatEventList events = bins({{22, 0}, {22, 10}, {22, 20}, {22, 30}, {22, 40}, {22, 50}});
    events[0].count = 7;
    const ActivityAnalysisResult result = run(events, states, options);
    EXPECT_THAT(result.alerts, IsEmpty());
    EXPECT_EQ(result.pasteboardText, "1\t1\t1\t0\t\n1.5\t3\t1.5\t2\t\n");
    EXPECT_THAT(result.seriesNames, ElementsAre("A", "B"));
    EXPECT_THAT(result.plotData.at("A"), ElementsAre(PlotPoint{1.0, 0.25}, PlotPoint{1.5, 1.0}));
    EXPECT_THAT(result.plotData.at("B"), ElementsAre(PlotPoint{1.0, 0.0}, PlotPoint{1.5, 1.0}));
    EXPECT_TRUE(result.legend);
    EXPECT_EQ(result.xRangeLength, 25.0);
    EXPECT_EQ(result.yRangeLength, 1.0);
    ASSERT_EQ(result.summaries.size(), 2u);
    EXPECT_EQ(result.summaries[0].series, "A");
    EXPECT_EQ(result.summaries[1].levels.front(), (ActivityLevel{50, 2.0}));
}

TEST_F(StateActivityAnalysisTest, StatesAreListedInCodeUnitOrderEvenWhenNeverMatched) {
    const WindTable states = table({{stamp(22, 0), "2", "15", "B"},
                                    {stamp(22, 10), "2", "15", "A"},
                                    {stamp(22, 20), "2", "15", "a"},
                                    {stamp(22, 30), "2", "15", "B"}});
    const ActivityAnalysisResult result = run(bins({{22, 0}}), states, stateOptions());
    EXPECT_THAT(result.seriesNames, ElementsAre("A", "B", "a"));
    EXPECT_EQ(result.pasteboardText, "2\t0\t2\t1\t2\t0\t\n");
    // A state without activity keeps a flat curve at 0, not NaN.
    EXPECT_THAT(result.plotData.at("A"), ElementsAre(PlotPoint{2.0, 0.0}));
    EXPECT_THAT(result.summaries[0].levels, IsEmpty());

    // Nothing matched: every state still has its (empty) series.
    const ActivityAnalysisResult none = run(bins({{3, 0}}), states, stateOptions());
    EXPECT_THAT(none.alerts, IsEmpty());
    EXPECT_TRUE(none.hasTable());
    EXPECT_THAT(none.pasteboardText, IsEmpty());
    EXPECT_EQ(none.plotData.size(), 3u);
    EXPECT_THAT(none.plotData.at("a"), IsEmpty());
}

TEST_F(StateActivityAnalysisTest, ABinMatchesOnlyARowWithinAMinute) {
    const WindTable offGrid = table({{stamp(22, 5), "1", "15", "A"},
                                     {stamp(22, 15), "2", "15", "A"},
                                     {stamp(22, 20), "3", "15", "A"}});
    EXPECT_EQ(run(bins({{22, 10}, {22, 20}}), offGrid, stateOptions()).pasteboardText, "3\t1\t\n");
}

TEST_F(StateActivityAnalysisTest, ShortRowsAndBinsAfterTheLastRowAreLeftOut) {
    test::WindRows raggedRows = tableRows({{stamp(22, 0), "1", "15", "A"},
                                           {stamp(22, 10), "2", "15", "B"},
                                           {stamp(22, 20), "3", "15", "A"}});
    raggedRows.insert(raggedRows.begin() + 2, {stamp(22, 5), "9"});  // lacks the state
    raggedRows.push_back({""});
    const WindTable ragged = test::tableOfRows(raggedRows);
    const ActivityAnalysisResult result =
        run(bins({{22, 0}, {22, 10}, {22, 20}, {22, 30}, {23, 0}}), ragged, stateOptions());
    EXPECT_THAT(result.seriesNames, ElementsAre("A", "B"));
    EXPECT_EQ(result.pasteboardText, "1\t1\t1\t0\t\n2\t0\t2\t1\t\n3\t1\t3\t0\t\n");
}

TEST_F(StateActivityAnalysisTest, RowsWithoutAReadingAreLeftOutAndSaidSo) {
    const WindTable gaps = table({{stamp(22, 0), "", "15", "A"},
                                  {stamp(22, 10), "---", "15", "B"},
                                  {stamp(22, 20), "2", "15", "A"}});
    const ActivityAnalysisResult result =
        run(bins({{22, 0}, {22, 10}, {22, 20}}), gaps, stateOptions());
    EXPECT_EQ(result.pasteboardText, "2\t1\t2\t0\t\n");
    ASSERT_EQ(result.alerts.size(), 1u);
    EXPECT_EQ(result.alerts[0].title, "Readings left out");
    EXPECT_THAT(result.alerts[0].message, StartsWith("2 activity bins matched rows whose wind"));
}

TEST_F(StateActivityAnalysisTest, DatesAreReadInTheLocalZoneWithoutTheZoneText) {
    const WindTable states =
        table({{stamp(22, 0), "1", "15", "A"}, {stamp(22, 10), "1", "15", "A"}});
    ActivityAnalysisOptions options = stateOptions();
    options.timeZone = "+0000";
    options.timeOffsetMinutes = 120;
    EXPECT_EQ(run(bins({{22, 10}}), states, options).pasteboardText, "1\t1\t\n");
}

}  // namespace
}  // namespace vane
