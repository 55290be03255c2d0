#pragma once

#include <cstdint>
#include <map>
#include <string>
#include <vector>

#include "core/analysis/bat_events.h"
#include "core/analysis/plot_data.h"
#include "core/analysis/reading_values.h"
#include "core/icu_forward.h"
#include "core/import/wind_dates.h"
#include "core/import/wind_file_choices.h"
#include "core/import/wind_table.h"

namespace vane {

// What the analysis panel's controls say. Column choosers count as the panel shows them: item 0
// is no column, item k is table column k - 1.
struct ActivityAnalysisOptions {
    bool plotTemp = false;  // class the temperature instead of the wind speed
    int windColumn = 0;
    int temperatureColumn = 0;
    int dateTimeColumn = 0;
    int timeColumn = 0;      // a time of day apart from the date: read after it
    int dayColumn = 0;       // the day of the year, read between the year and the clock
    int stateColumn = 0;     // any column chosen: one curve per state of that column
    std::string dateFormat;  // date pattern or chooser item of the date/time text
    // Offset of the date/time texts, such as "+0200", or a zone name such as "Europe/Berlin".
    std::string timeZone;
    std::string decimalSeparator = ".";  // of the readings and of the printed labels
    std::int32_t timeOffsetMinutes = 0;  // minutes added to every row's time stamp
    bool countRecordings = false;        // weigh each bin by its number of recordings
    std::vector<std::string> missingMarkers = commonMissingMarkers();  // readings left out
    std::string windUnit;  // "km/h" or "kn" when the wind column is in that unit; else m/s
    StampConvention stamps = StampConvention::end;  // which end of its step a row's stamp marks
};

// The options of an analysis that reads a wind file with `choices`, every one resolved
// (resolveChoices()), and classes the temperature when `plotTemp`.
ActivityAnalysisOptions analysisOptions(const WindFileChoices& choices, bool plotTemp,
                                        bool countRecordings);

// The columns the date/time text is read from (from 0), for options whose date column is set.
DateColumns dateColumnsOf(const ActivityAnalysisOptions& options);

// The reading of a wind or temperature field as the analysis counts it.
ReadingValues readingValuesFor(const ActivityAnalysisOptions& options,
                               const DecimalNumberText& numbers, bool wind);

struct AnalysisAlert {
    std::string title;
    std::string message;
    friend bool operator==(const AnalysisAlert&, const AnalysisAlert&) = default;
};

// The reading below which a share of the counted activity lies: the upper bound of the lowest
// class whose cumulative share reaches `percent`.
struct ActivityLevel {
    int percent = 0;
    double readingBelow = 0.0;
    friend bool operator==(const ActivityLevel&, const ActivityLevel&) = default;
};

// The 50, 80, 90 and 95 % levels of one series; none when the series counted nothing.
struct ActivitySummary {
    std::string series;
    std::vector<ActivityLevel> levels;
};

struct ActivityAnalysisResult {
    std::vector<AnalysisAlert> alerts;  // in the order they must be shown
    bool stoppedAtNoTimeOverlap = false;
    bool refused = false;  // the inputs did not allow a scan; the one alert says why
    std::string pasteboardText;
    PlotData plotData;
    std::vector<std::string> seriesNames;  // plot order, which gives each its plot style
    bool legend = false;                   // one curve per state
    double xRangeLength = 0.0;
    double yRangeLength = 0.0;
    std::vector<ActivitySummary> summaries;  // in series order
    // Per series, the activity per value class as ClassCounts holds it: for combining runs.
    std::map<std::string, std::map<double, std::int64_t>> classCounts;

    bool hasTable() const { return !refused && !stoppedAtNoTimeOverlap; }
};

// Pairs every activity bin with the wind table row whose measuring interval holds it and gives
// the cumulative share of activity over the reading, in classes 0.5 wide; with a state column,
// one such curve per state. `localZone` reads the per-state analysis's date/time texts, which
// carry no offset.
ActivityAnalysisResult analyseActivityAndWind(const BatEventList& events, const WindTable& table,
                                              const ActivityAnalysisOptions& options,
                                              const icu::TimeZone& localZone);

// For a result with one pair of columns per series (states, labels or groups): one line naming
// each series over its pair, laid out as the rows are ("name\t\t" a pair). Empty for the plain
// analysis, whose table has no header. Tabs and line breaks in a name become spaces.
std::string columnPairHeader(const ActivityAnalysisResult& result);

// "below 4,5 m/s: 80 % of activity; ..." with the labels' decimal separator, or a note that the
// series counted nothing.
std::string describeActivitySummary(const ActivitySummary& summary, bool plotTemp,
                                    const std::string& decimalSeparator);

}  // namespace vane
