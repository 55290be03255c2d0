#include "core/curtailment/turbine_intervals.h"

#include <algorithm>
#include <cmath>

#include "core/analysis/decimal_number_text.h"
#include "core/analysis/reading_values.h"
#include "core/analysis/row_matching.h"
#include "core/import/wind_table_split.h"

namespace vane {
namespace {

std::optional<float> readingIn(const WindTable& table, std::size_t row, int item,
                               const ReadingValues& numbers) {
    if (item <= 0 || table.fieldCount(row) < static_cast<std::size_t>(item)) {
        return std::nullopt;
    }
    const std::optional<double> value =
        numbers.parse(table.field(row, static_cast<std::size_t>(item) - 1));
    if (!value) {
        return std::nullopt;
    }
    const auto single = static_cast<float>(*value);
    return std::isfinite(single) ? std::optional<float>(single) : std::nullopt;
}

}  // namespace

TurbineIntervalScan turbineIntervals(const BatEventList& events, const WindTable& table,
                                     const ActivityAnalysisOptions& options,
                                     const PowerSource& power, const icu::TimeZone& zone) {
    TurbineIntervalScan scan;
    if (options.windColumn <= 0 || options.dateTimeColumn <= 0 || table.empty() ||
        table.startAt >= table.rowCount()) {
        return scan;
    }
    const DateColumns dateColumns = dateColumnsOf(options);
    const std::size_t fieldsNeeded =
        std::max(static_cast<std::size_t>(options.windColumn), dateFieldsNeeded(dateColumns));
    // A row short of its wind speed keeps its interval and activity, without a reading.
    const std::optional<std::size_t> endRow = usableEndRow(table, dateColumns);
    if (!endRow || !holdsDataRowWithFields(table, fieldsNeeded)) {
        return scan;
    }
    const DecimalNumberText decimalNumbers(options.decimalSeparator);
    // The analysis's own reading: missing markers left out, the wind in m/s.
    const ReadingValues wind = readingValuesFor(options, decimalNumbers, true);
    const ReadingValues numbers = readingValuesFor(options, decimalNumbers, false);
    const std::size_t firstRow = table.startAt + 1;

    // The activity of each row by the analysis's own rule, then the rows as intervals.
    std::vector<std::int64_t> activity(*endRow + 1 - firstRow, 0);
    {
        RowDates dates(table, options, zone);
        const RowMatchScan matching = matchBinsToRows(
            events, table, *endRow, dates, options.timeOffsetMinutes,
            [&](const BatEvent& event, std::size_t row) {
                activity[row - firstRow] += options.countRecordings ? event.count : 1;
            });
        scan.endReached = matching.endReached;
        scan.unreadableDate = matching.unreadableDate;
    }
    std::int64_t allActivity = 0;
    for (const BatEvent& event : events) {
        allActivity += options.countRecordings ? event.count : 1;
    }

    RowDates dates(table, options, zone);
    std::optional<double> previous;
    scan.intervals.reserve(activity.size());
    for (std::size_t row = firstRow; row <= *endRow; ++row) {
        const std::optional<double> date = dates.at(row);
        if (!date) {
            scan.unreadableDate = true;
            previous = date;
            continue;
        }
        TurbineInterval interval;
        interval.end = *date + options.timeOffsetMinutes * 60.0;
        interval.seconds = static_cast<double>(rowWindowWidth(previous, date)) - 1.0;
        interval.wind = readingIn(table, row, options.windColumn, wind);
        interval.temperature = readingIn(table, row, options.temperatureColumn, numbers);
        if (power.powerColumn > 0) {
            const std::optional<float> kw = readingIn(table, row, power.powerColumn, numbers);
            interval.powerKw = kw.value_or(0.0f);
            scan.rowsWithoutPower += !kw;
        } else if (power.curve != nullptr && interval.wind) {
            interval.powerKw = power.curve->kwAt(*interval.wind);
        }
        interval.activity = activity[row - firstRow];
        scan.activityMatched += interval.activity;
        scan.intervals.push_back(interval);
        previous = date;
    }
    scan.activityUnmatched = allActivity - scan.activityMatched;
    return scan;
}

}  // namespace vane
