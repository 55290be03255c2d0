#include "core/analysis/activity_analysis.h"

#include <algorithm>
#include <cmath>
#include <optional>
#include <string_view>

#include "core/analysis/activity_classes.h"
#include "core/analysis/decimal_number_text.h"
#include "core/analysis/row_matching.h"
#include "core/files/shown_content.h"
#include "core/import/column_guesses.h"
#include "core/import/wind_table_split.h"

namespace vane {
namespace {

constexpr std::string_view kSingleSeries = "single";
struct PlainScan {
    ClassCounts counts;
    std::int64_t total = 0;
    bool endReached = false;  // bins were left when the data ran out
    bool unreadableDate = false;
    std::int64_t unreadableReadings = 0;  // matched bins whose row held no number
};

PlainScan scanPlain(const BatEventList& events, const WindTable& table, std::size_t endRow,
                    std::size_t valueColumn, RowDates& dates, const ReadingValues& numbers,
                    const ActivityAnalysisOptions& options) {
    PlainScan scan;
    const RowMatchScan matching =
        matchBinsToRows(events, table, endRow, dates, options.timeOffsetMinutes,
                        [&](const BatEvent& event, std::size_t row) {
                            const std::int64_t weight = options.countRecordings ? event.count : 1;
                            if (const std::optional<double> key =
                                    classKeyOf(numbers.parse(table.field(row, valueColumn)))) {
                                scan.counts[*key] += weight;
                                scan.total += weight;
                            } else {
                                ++scan.unreadableReadings;
                            }
                        });
    scan.endReached = matching.endReached;
    scan.unreadableDate = matching.unreadableDate;
    return scan;
}

ActivityAnalysisResult analysePlain(const BatEventList& events, const WindTable& table,
                                    const ActivityAnalysisOptions& options,
                                    const icu::TimeZone& zone) {
    const std::size_t valueColumn =
        static_cast<std::size_t>(options.plotTemp ? options.temperatureColumn
                                                  : options.windColumn) -
        1;
    const DateColumns dateColumns = dateColumnsOf(options);
    const std::size_t fieldsNeeded = std::max(valueColumn + 1, dateFieldsNeeded(dateColumns));
    // A row short of its reading keeps its date: the reading is missing, as an empty field is.
    const std::optional<std::size_t> endRow = usableEndRow(table, dateColumns);
    if (!endRow || !holdsDataRowWithFields(table, fieldsNeeded)) {
        return refusedAnalysis(
            "No environmental data",
            std::string("No data row after the header holds both the date/time and the ") +
                (options.plotTemp ? "temperature" : "wind speed") + " field.");
    }

    RowDates dates(table, options, zone);
    const DecimalNumberText numbers(options.decimalSeparator);
    const PlainScan scan =
        scanPlain(events, table, *endRow, valueColumn, dates,
                  readingValuesFor(options, numbers, !options.plotTemp), options);

    ActivityAnalysisResult result;
    if (scan.endReached) {
        result.alerts.push_back(
            {"Activity without environmental data",
             "Activity was recorded for a longer period than environmental data was collected."});
    }
    if (scan.unreadableDate) {
        std::string message = "At least one date/time entry had an unknown format.";
        if (const std::optional<std::size_t> row = dates.firstUnreadable()) {
            std::string note = unreadableDateNote(table, *row, dateColumns, options.dateFormat);
            note.front() = static_cast<char>(note.front() - 'a' + 'A');
            message += " " + note + ".";
        }
        result.alerts.push_back({"Wrong date/time format", message});
    }
    if (scan.unreadableReadings > 0) {
        result.alerts.push_back(readingsLeftOutAlert(scan.unreadableReadings, options.plotTemp));
    }
    if (scan.counts.empty() && !scan.unreadableDate && scan.unreadableReadings == 0) {
        result.alerts.push_back(noTimeOverlapAlert());
        result.stoppedAtNoTimeOverlap = true;
        return result;
    }

    std::vector<PlotPoint>& points = result.plotData[std::string(kSingleSeries)];
    float cumulative = 0.0f;
    const auto addLine = [&](float lowerBound, std::int64_t count) {
        result.pasteboardText +=
            numbers.formatLabel(lowerBound) + '\t' + std::to_string(count) + '\n';
        cumulative += shareOf(count, scan.total);
        points.push_back({lowerBound, cumulative});
    };
    // The origin of the curve, just before the class of 0; nothing is ever counted into it.
    bool originWritten = false;
    for (const auto& [key, count] : scan.counts) {
        if (!originWritten && key >= 0.0) {
            addLine(0.0f, 0);
            originWritten = true;
        }
        addLine(classLowerBound(key), count);
    }
    if (!originWritten) {
        addLine(0.0f, 0);
    }

    result.seriesNames = {std::string(kSingleSeries)};
    result.xRangeLength = options.plotTemp ? 40.0 : 25.0;
    result.yRangeLength = 1.0;
    result.summaries.push_back({std::string(kSingleSeries), activityLevels(scan.counts)});
    result.classCounts[std::string(kSingleSeries)] = scan.counts;
    return result;
}

}  // namespace

ActivityAnalysisOptions analysisOptions(const WindFileChoices& choices, bool plotTemp,
                                        bool countRecordings) {
    return ActivityAnalysisOptions{
        .plotTemp = plotTemp,
        .windColumn = *choices.windColumn,
        .temperatureColumn = *choices.temperatureColumn,
        .dateTimeColumn = *choices.dateTimeColumn,
        .timeColumn = *choices.timeColumn,
        .dayColumn = *choices.dayColumn,
        .stateColumn = *choices.stateColumn,
        .dateFormat = *choices.dateFormat,
        .timeZone = *choices.timeZone,
        .decimalSeparator = *choices.decimalSeparator,
        .timeOffsetMinutes = *choices.timeOffsetMinutes,
        .countRecordings = countRecordings,
        .missingMarkers = *choices.missingMarkers,
        .windUnit = *choices.windUnit,
        .stamps = *choices.stamps,
    };
}

DateColumns dateColumnsOf(const ActivityAnalysisOptions& options) {
    return {static_cast<std::size_t>(std::max(options.dateTimeColumn, 1)) - 1,
            options.timeColumn > 0 ? std::optional(static_cast<std::size_t>(options.timeColumn) - 1)
                                   : std::nullopt,
            options.dayColumn > 0 ? std::optional(static_cast<std::size_t>(options.dayColumn) - 1)
                                  : std::nullopt};
}

ReadingValues readingValuesFor(const ActivityAnalysisOptions& options,
                               const DecimalNumberText& numbers, bool wind) {
    return ReadingValues(numbers, options.missingMarkers,
                         wind ? windSpeedFactor("(" + options.windUnit + ")") : 1.0);
}

ActivityAnalysisResult analyseActivityAndWind(const BatEventList& events, const WindTable& table,
                                              const ActivityAnalysisOptions& options,
                                              const icu::TimeZone& localZone) {
    const bool perState = options.stateColumn > 0;
    const bool temperature = options.plotTemp && !perState;
    if ((temperature ? options.temperatureColumn : options.windColumn) <= 0) {
        return temperature ? refusedAnalysis("No temperature column",
                                             "Choose the column that holds the temperature.")
                           : refusedAnalysis("No wind speed column",
                                             "Choose the column that holds the wind speed.");
    }
    if (options.dateTimeColumn <= 0) {
        return refusedAnalysis("No date/time column",
                               "Choose the column that holds the date and time of each "
                               "measurement.");
    }
    if (table.empty()) {
        return refusedAnalysis("No environmental data",
                               "The wind file holds no table: no text, or no line break of the "
                               "chosen kind.");
    }
    if (table.startAt >= table.rowCount()) {
        return refusedAnalysis("Starting line outside the file",
                               "The starting line (the header row) must lie within the wind "
                               "file's " +
                                   std::to_string(table.rowCount()) + " lines.");
    }
    ActivityAnalysisResult result = perState
                                        ? analyseActivityPerState(events, table, options, localZone)
                                        : analysePlain(events, table, options, localZone);
    if (!temperature && !options.windUnit.empty() && !result.refused) {
        result.alerts.insert(
            result.alerts.begin(),
            {"Wind speed converted", "The wind column's readings are in " + options.windUnit +
                                         "; they were converted to m/s."});
    }
    return result;
}

std::string columnPairHeader(const ActivityAnalysisResult& result) {
    if (!result.legend || result.seriesNames.empty()) {
        return {};
    }
    std::string line;
    for (std::string name : result.seriesNames) {
        std::replace_if(
            name.begin(), name.end(), [](char c) { return c == '\t' || c == '\n' || c == '\r'; },
            ' ');
        line += printable(name) + "\t\t";
    }
    return line + '\n';
}

std::string describeActivitySummary(const ActivitySummary& summary, bool plotTemp,
                                    const std::string& decimalSeparator) {
    if (summary.levels.empty()) {
        return "no activity counted";
    }
    const DecimalNumberText numbers(decimalSeparator);
    const std::string unit = plotTemp ? " °C" : " m/s";
    std::string text;
    for (const ActivityLevel& level : summary.levels) {
        if (!text.empty()) {
            text += "; ";
        }
        text += "below " + numbers.formatLabel(level.readingBelow) + unit + ": " +
                std::to_string(level.percent) + " % of activity";
    }
    return text;
}

}  // namespace vane
