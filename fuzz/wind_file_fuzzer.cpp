// A wind file from its bytes to the analysis and a curtailment plan: decoding, the split, the
// guesses and the dates of the guessed column read with the guessed pattern.
#include <cstddef>
#include <cstdint>
#include <string_view>

#include "core/analysis/activity_analysis.h"
#include "core/curtailment/curtailment_result.h"
#include "core/curtailment/turbine_intervals.h"
#include "core/import/date_format_items.h"
#include "core/import/wind_file.h"
#include "core/import/wind_table_split.h"
#include "core/time/date_pattern_parser.h"
#include "fuzz/fuzz_zone.h"

extern "C" int LLVMFuzzerTestOneInput(const std::uint8_t* data, std::size_t size) {
    const std::string_view bytes(reinterpret_cast<const char*>(data), size);
    vane::TextRead read = vane::decodeWithFallback(bytes);
    if (!read.text) {
        return 0;
    }
    const vane::WindFileView view =
        vane::viewWindText(std::move(*read.text), read.encoding, read.source, {});
    const std::size_t format = view.guesses.dateFormatIndex.value_or(0);
    const vane::DatePatternParser parser(vane::kDateFormatItems.at(format), vane::fuzz::berlin());
    const std::size_t rows = vane::previewRowCount(view.table);
    for (std::size_t row = 0; row < rows; ++row) {
        for (std::size_t column = 0; column <= view.columnTitles.size(); ++column) {
            (void)vane::previewCell(view.table, row, column);
        }
        if (view.guesses.dateTimeItem > 0) {
            (void)parser.parse(vane::previewCell(view.table, row, view.guesses.dateTimeItem - 1));
        }
    }
    if (view.tableProblem) {
        return 0;
    }
    vane::ActivityAnalysisOptions options;
    options.dateTimeColumn = static_cast<int>(view.guesses.dateTimeItem);
    options.windColumn = static_cast<int>(view.guesses.windItem);
    options.stateColumn = size % 3 == 0 ? static_cast<int>(view.guesses.stateItem) : 0;
    options.dateFormat = std::string(vane::kDateFormatItems.at(format));
    options.timeZone = "+0200";
    options.decimalSeparator = size % 2 == 0 ? "," : ".";
    const vane::BatEventList events = {{1340306400.0, 2}, {1340307000.0, 1}, {1333238400.0, 3}};
    (void)vane::analyseActivityAndWind(events, view.table, options, vane::fuzz::berlin());
    // The same rows as a curtailment plan's intervals, the last column as the power.
    options.stateColumn = 0;
    options.temperatureColumn = static_cast<int>(view.guesses.temperatureItem);
    const vane::TurbineIntervalScan scan = vane::turbineIntervals(
        events, view.table, options, {static_cast<int>(view.columnTitles.size()), nullptr},
        vane::fuzz::berlin());
    vane::CurtailmentOptions plan;
    plan.energyKnown = true;
    plan.temperatureFloor = 10.0;
    (void)vane::curtailmentResult(scan.intervals, {49.6, 11.05}, plan, vane::fuzz::berlin());
    return 0;
}
