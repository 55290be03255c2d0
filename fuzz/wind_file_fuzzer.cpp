// A wind file from its bytes to the analysis and a curtailment plan: decoding, the header row
// found, the split, the guesses (date and time columns, format over sampled rows) and the dates
// of the guessed columns read with the guessed item, at a fixed offset and in a named zone.
#include <cstddef>
#include <cstdint>
#include <string_view>

#include "core/analysis/activity_analysis.h"
#include "core/curtailment/curtailment_result.h"
#include "core/curtailment/turbine_intervals.h"
#include "core/import/date_format_items.h"
#include "core/import/resolve_choices.h"
#include "core/import/wind_dates.h"
#include "core/import/wind_file.h"
#include "core/import/wind_table_split.h"
#include "core/time/date_pattern_parser.h"
#include "fuzz/fuzz_zone.h"

extern "C" int LLVMFuzzerTestOneInput(const std::uint8_t* data, std::size_t size) {
    const std::string_view bytes(reinterpret_cast<const char*>(data), size);
    vane::Outcome<vane::DecodedText> read = vane::decodeWithFallback(bytes);
    if (!read) {
        return 0;
    }
    const vane::WindFileView view =
        vane::viewWindText(std::move(read->text), read->encoding, read->source, {});
    const std::size_t format = view.found.columns.dateFormatIndex.value_or(0);
    vane::WindDateReader reader(vane::kDateFormatItems.at(format),
                                size % 2 == 0 ? "Europe/Berlin" : "+0200", vane::fuzz::berlin());
    const vane::DateColumns dateColumns{
        view.found.columns.dateTimeItem > 0 ? view.found.columns.dateTimeItem - 1 : 0,
        view.found.timeItem > 0 ? std::optional(view.found.timeItem - 1) : std::nullopt,
        view.found.dayItem > 0 ? std::optional(view.found.dayItem - 1) : std::nullopt};
    std::string buffer;
    const std::size_t rows = vane::previewRowCount(view.table);
    for (std::size_t row = 0; row < rows; ++row) {
        for (std::size_t column = 0; column <= view.columnTitles.size(); ++column) {
            (void)vane::previewCell(view.table, row, column);
        }
        if (view.found.columns.dateTimeItem > 0) {
            const std::size_t tableRow = view.table.startAt + 1 + row;
            (void)reader.read(vane::rowDateText(view.table, tableRow, dateColumns, buffer));
            if (row < 4) {
                (void)vane::unreadableDateNote(view.table, tableRow, dateColumns,
                                               vane::kDateFormatItems.at(format));
            }
        }
    }
    if (!vane::usableTable(view)) {
        return 0;
    }
    // Unit rows the user claims, more than the file may have.
    vane::TextChoices claimed;
    claimed.unitRows = static_cast<int>(size % 4);
    (void)vane::previewColumnTitles(vane::recutWindFile(view, claimed).table);
    // The choices as the panel and the command line resolve them, then some the user might set.
    const vane::ResolvedChoices resolved =
        vane::resolveChoices(view, {},
                             {.zone = &vane::fuzz::berlin(),
                              .firstRecording = 1340306400.0,
                              .classesTemperature = size % 7 == 0,
                              .needsTemperature = size % 2 == 0});
    vane::ActivityAnalysisOptions options =
        vane::analysisOptions(resolved.choices, size % 7 == 0, size % 11 == 0);
    options.windUnit = size % 5 == 0 ? "kn" : *resolved.choices.windUnit;
    options.stateColumn =
        size % 3 == 0 ? static_cast<int>(vane::guessStateItem(view.columnTitles)) : 0;
    options.timeZone = size % 4 == 0 ? "Europe/Berlin" : "+0200";
    options.decimalSeparator = size % 2 == 0 ? "," : ".";
    if (size % 3 == 1) {
        options.stamps = vane::StampConvention::begin;
    }
    const vane::BatEventList events = {{1340306400.0, 2}, {1340307000.0, 1}, {1333238400.0, 3}};
    (void)vane::analyseActivityAndWind(events, view.table, options, vane::fuzz::berlin());
    // The same rows as a curtailment plan's intervals, the last column as the power.
    options.stateColumn = 0;
    const vane::TurbineIntervalScan scan = vane::turbineIntervals(
        events, view.table, options, {static_cast<int>(view.columnTitles.size()), nullptr},
        vane::fuzz::berlin());
    vane::CurtailmentOptions plan;
    plan.energyKnown = true;
    plan.temperatureFloor = 10.0;
    (void)vane::curtailmentResult(scan.intervals, {49.6, 11.05}, plan, vane::fuzz::berlin());
    return 0;
}
