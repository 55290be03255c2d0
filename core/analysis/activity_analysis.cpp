#include "core/analysis/activity_analysis.h"

#include <algorithm>
#include <cmath>
#include <optional>
#include <string_view>

#include "core/analysis/activity_classes.h"
#include "core/analysis/decimal_number_text.h"
#include "core/time/date_pattern_parser.h"

namespace vane {
namespace {

constexpr std::string_view kSingleSeries = "single";
constexpr float kWidestWindow = 601.0f;  // ten minutes and the one second of tolerance

// The time stamps of the data rows, read on demand. The scan only moves forward, so remembering
// the last row read means every row is parsed at most once.
class RowDates {
  public:
    RowDates(const WindTable& table, std::size_t dateColumn, std::size_t fieldsNeeded,
             const ActivityAnalysisOptions& options, const icu::TimeZone& zone)
        : table_(table),
          dateColumn_(dateColumn),
          fieldsNeeded_(fieldsNeeded),
          zoneText_(options.timeZone),
          parser_(options.dateFormat + "ZZZ", zone) {}

    // A row that lacks the fields the analysis needs has no readable date.
    std::optional<double> at(std::size_t row) {
        if (row != cachedRow_) {
            cachedRow_ = row;
            cachedDate_ = read(row);
        }
        return cachedDate_;
    }

  private:
    std::optional<double> read(std::size_t row) {
        if (table_.fieldCount(row) < fieldsNeeded_) {
            return std::nullopt;
        }
        const std::string_view field = table_.field(row, dateColumn_);
        if (auto date = parser_.parse(withZone(field, ""))) {
            return date;
        }
        // A field with the date alone, when the pattern also wants a time of day.
        return parser_.parse(withZone(field, " 00:00:00"));
    }

    // The field, `middle` and the zone's offset in one reused buffer: one allocation for the
    // whole scan rather than one per row.
    std::string_view withZone(std::string_view field, std::string_view middle) {
        buffer_.assign(field);
        buffer_.append(middle);
        buffer_.append(zoneText_);
        return buffer_;
    }

    const WindTable& table_;
    std::size_t dateColumn_;
    std::size_t fieldsNeeded_;
    std::string zoneText_;
    DatePatternParser parser_;
    std::string buffer_;
    std::size_t cachedRow_ = static_cast<std::size_t>(-1);
    std::optional<double> cachedDate_;
};

// The last data row that holds both the date/time and the value field.
std::optional<std::size_t> usableEndRow(const WindTable& table, std::size_t fieldsNeeded) {
    for (std::size_t row = table.rowCount(); row > table.startAt + 1; --row) {
        if (table.fieldCount(row - 1) >= fieldsNeeded) {
            return row - 1;
        }
    }
    return std::nullopt;
}

float windowWidth(std::optional<double> previous, std::optional<double> current) {
    if (!previous || !current) {
        return kWidestWindow;
    }
    const float gap = static_cast<float>(std::fabs(*previous - *current));
    if (gap < 1.0f) {
        return kWidestWindow;
    }
    return std::min(gap + 1.0f, kWidestWindow);
}

struct PlainScan {
    ClassCounts counts;
    std::int64_t total = 0;
    bool endReached = false;  // bins were left when the data ran out
    bool unreadableDate = false;
    std::int64_t unreadableReadings = 0;  // matched bins whose row held no number
};

PlainScan scanPlain(const BatEventList& events, const WindTable& table, std::size_t endRow,
                    std::size_t valueColumn, RowDates& dates, const DecimalNumberText& numbers,
                    const ActivityAnalysisOptions& options) {
    PlainScan scan;
    // A row stands for the interval that ends at its own stamp (shifted by the offset) and
    // reaches back to the row before, at most ten minutes, with a second of tolerance after it.
    const double limit = options.timeOffsetMinutes * 60.0 + 1.0;
    std::size_t i = table.startAt + 1;
    std::optional<double> previous;
    for (const BatEvent& event : events) {
        if (i >= endRow) {
            scan.endReached = true;
            break;
        }
        const double e = event.binEnd;
        std::optional<double> d = dates.at(i);
        scan.unreadableDate |= !d;
        while ((!d || e - *d > limit) && i < endRow) {
            previous = d;
            ++i;
            d = dates.at(i);
            scan.unreadableDate |= !d;
        }
        const float width = windowWidth(previous, d);
        if (d && limit - width < e - *d && e - *d < limit) {
            const std::int64_t weight = options.countRecordings ? event.count : 1;
            if (const std::optional<double> key =
                    classKeyOf(numbers.parse(table.field(i, valueColumn)))) {
                scan.counts[*key] += weight;
                scan.total += weight;
            } else {
                ++scan.unreadableReadings;
            }
        }
        // Later bins of the same row see the full window.
        if (previous && (!d || std::fabs(*previous - *d) > 1.0)) {
            previous = d;
        }
    }
    return scan;
}

ActivityAnalysisResult analysePlain(const BatEventList& events, const WindTable& table,
                                    const ActivityAnalysisOptions& options,
                                    const icu::TimeZone& zone) {
    const std::size_t valueColumn =
        static_cast<std::size_t>(options.plotTemp ? options.temperatureColumn
                                                  : options.windColumn) -
        1;
    const std::size_t dateColumn = static_cast<std::size_t>(options.dateTimeColumn) - 1;
    const std::size_t fieldsNeeded = std::max(valueColumn, dateColumn) + 1;
    const std::optional<std::size_t> endRow = usableEndRow(table, fieldsNeeded);
    if (!endRow) {
        return refusedAnalysis(
            "No environmental data",
            std::string("No data row after the header holds both the date/time and the ") +
                (options.plotTemp ? "temperature" : "wind speed") + " field.");
    }

    RowDates dates(table, dateColumn, fieldsNeeded, options, zone);
    const DecimalNumberText numbers(options.decimalSeparator);
    const PlainScan scan = scanPlain(events, table, *endRow, valueColumn, dates, numbers, options);

    ActivityAnalysisResult result;
    if (scan.endReached) {
        result.alerts.push_back(
            {"Activity without environmental data",
             "Activity was recorded for a longer period than environmental data was collected."});
    }
    if (scan.unreadableDate) {
        result.alerts.push_back(
            {"Wrong date/time format", "At least one date/time entry had an unknown format."});
    }
    if (scan.unreadableReadings > 0) {
        result.alerts.push_back(readingsLeftOutAlert(scan.unreadableReadings, options.plotTemp));
    }
    if (scan.counts.empty() && !scan.unreadableDate && scan.unreadableReadings == 0) {
        result.alerts.push_back({"No time overlap",
                                 "It seems the selected recordings and the available wind data "
                                 "do not overlap in time. No measurements were taken."});
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
    return perState ? analyseActivityPerState(events, table, options, localZone)
                    : analysePlain(events, table, options, localZone);
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
        line += name + "\t\t";
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
