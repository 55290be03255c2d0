#include <unicode/unistr.h>

#include <algorithm>
#include <cmath>
#include <map>
#include <optional>
#include <set>
#include <string_view>

#include "core/analysis/activity_classes.h"
#include "core/analysis/decimal_number_text.h"
#include "core/analysis/row_matching.h"
#include "core/import/wind_table_split.h"
#include "core/time/date_pattern_parser.h"

namespace vane {
namespace {

constexpr double kStateMatchSeconds = 60.0;

// Plain UTF-16 code unit order, as the state list is sorted.
bool codeUnitLess(std::string_view a, std::string_view b) {
    const auto unicode = [](std::string_view text) {
        return icu::UnicodeString::fromUTF8(
            icu::StringPiece(text.data(), static_cast<int32_t>(text.size())));
    };
    return unicode(a).compare(unicode(b)) < 0;
}

// The distinct states of the data rows that hold their date/time and state fields.
std::vector<std::string> stateList(const WindTable& table, std::size_t stateColumn,
                                   std::size_t fieldsNeeded) {
    std::set<std::string_view> distinct;
    for (std::size_t row = table.startAt + 1; row < table.rowCount(); ++row) {
        if (table.fieldCount(row) >= fieldsNeeded) {
            distinct.insert(table.field(row, stateColumn));
        }
    }
    std::vector<std::string> states(distinct.begin(), distinct.end());
    std::sort(states.begin(), states.end(), codeUnitLess);
    return states;
}

}  // namespace

ActivityAnalysisResult analyseActivityPerState(const BatEventList& events, const WindTable& table,
                                               const ActivityAnalysisOptions& options,
                                               const icu::TimeZone& localZone) {
    const std::size_t windColumn = static_cast<std::size_t>(options.windColumn) - 1;
    const DateColumns dateColumns = dateColumnsOf(options);
    const std::size_t stateColumn = static_cast<std::size_t>(options.stateColumn) - 1;
    const std::size_t dateFields = dateFieldsNeeded(dateColumns);
    const std::vector<std::string> states =
        stateList(table, stateColumn, std::max(dateFields, stateColumn + 1));
    if (states.empty() ||
        !holdsDataRowWithFields(table, std::max({dateFields, stateColumn + 1, windColumn + 1}))) {
        return refusedAnalysis("No environmental data",
                               "No data row after the header holds the date/time, the wind "
                               "speed and the state field.");
    }

    // Local time of the zone given, as the per-state analysis has always read it; a named zone
    // is its own local time.
    WindDateReader dates(options.dateFormat, isZoneName(options.timeZone) ? options.timeZone : "",
                         localZone);
    std::string buffer;
    const DecimalNumberText decimalNumbers(options.decimalSeparator);
    const ReadingValues numbers = readingValuesFor(options, decimalNumbers, true);
    std::size_t cachedRow = static_cast<std::size_t>(-1);
    std::optional<double> cachedDate;
    const auto stampOf = [&](std::size_t row) {
        if (row != cachedRow) {
            cachedRow = row;
            cachedDate = table.fieldCount(row) < dateFields
                             ? std::nullopt
                             : dates.read(rowDateText(table, row, dateColumns, buffer));
        }
        return cachedDate;
    };
    // A row stamped at the beginning of its step stands at that step's end, as in the analysis.
    StepEnds stepEnds;
    const auto dateOf = [&](std::size_t row) {
        return options.stamps == StampConvention::end ? stampOf(row)
                                                      : stepEnds.at(row, table.rowCount(), stampOf);
    };

    // A row matches the bins within a minute of its stamp either side. The advance stops at the
    // last row; bins after it find nothing to match.
    std::map<std::string_view, ClassCounts> countsByState;
    std::int64_t unreadableReadings = 0;
    const std::size_t lastRow = table.rowCount() - 1;
    std::size_t i = table.startAt + 1;
    for (const BatEvent& event : events) {
        const double e = event.binEnd;
        std::optional<double> d = dateOf(i);
        while ((!d || e - *d > kStateMatchSeconds) && i < lastRow) {
            ++i;
            d = dateOf(i);
        }
        if (d && std::fabs(e - *d) < kStateMatchSeconds) {
            // A row short of its state field has no state to count under: a reading left out.
            const std::optional<double> key =
                table.fieldCount(i) > stateColumn
                    ? classKeyOf(numbers.parse(table.field(i, windColumn)))
                    : std::nullopt;
            if (key) {
                countsByState[table.field(i, stateColumn)][*key] += 1;
            } else {
                ++unreadableReadings;
            }
        }
    }

    ActivityAnalysisResult result;
    if (unreadableReadings > 0) {
        result.alerts.push_back(readingsLeftOutAlert(unreadableReadings, false));
    }
    std::set<double> keys;
    std::vector<std::int64_t> totals;
    for (const std::string& state : states) {
        std::int64_t total = 0;
        for (const auto& [key, count] : countsByState[state]) {
            keys.insert(key);
            total += count;
        }
        totals.push_back(total);
        result.plotData[state];
        result.seriesNames.push_back(state);
        result.summaries.push_back({state, activityLevels(countsByState[state])});
        result.classCounts[state] = countsByState[state];
    }

    // Every state gets a point for every class, so that all curves share their classes.
    std::vector<float> cumulative(states.size(), 0.0f);
    for (const double key : keys) {
        const float lowerBound = classLowerBound(key);
        const std::string label = decimalNumbers.formatLabel(lowerBound);
        for (std::size_t j = 0; j < states.size(); ++j) {
            const ClassCounts& counts = countsByState[states[j]];
            const auto found = counts.find(key);
            const std::int64_t count = found == counts.end() ? 0 : found->second;
            cumulative[j] += shareOf(count, totals[j]);
            result.pasteboardText += label + '\t' + std::to_string(count) + '\t';
            result.plotData[states[j]].push_back({lowerBound, cumulative[j]});
        }
        result.pasteboardText += '\n';
    }

    result.legend = true;
    result.xRangeLength = 25.0;
    result.yRangeLength = 1.0;
    return result;
}

}  // namespace vane
