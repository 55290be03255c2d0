#include "core/import/resolve_choices.h"

#include <algorithm>

#include "core/files/shown_content.h"
#include "core/import/analysis_guesses.h"
#include "core/import/column_guesses.h"
#include "core/import/date_format_items.h"
#include "core/import/header_lines.h"
#include "core/import/missing_markers.h"
#include "core/import/split_choices.h"
#include "core/import/wind_dates.h"
#include "core/time/utc_offset.h"

namespace vane {
namespace {

Chosen<int> columnGuess(std::size_t item) {
    return item > 0 ? Chosen<int>::guessed(static_cast<int>(item)) : Chosen<int>::preset(0);
}

std::size_t itemOf(const Chosen<int>& column) {
    return static_cast<std::size_t>(std::max(*column, 0));
}

// The column's field in the table's first unit row; empty without one.
std::string_view unitRowField(const WindTable& table, std::size_t item) {
    return item > 0 && table.unitRows > 0 ? table.field(table.headerRow() + 1, item - 1)
                                          : std::string_view();
}

std::string formatItem(std::size_t item) {
    return std::string(kDateFormatItems.at(item));
}

// The date format: the user's; else, for the columns the file's guess chose, the format that
// guess found; else, for columns the user named, the format that reads them (the file's own
// first if they are the guessed ones). A sheet that guessed no format keeps its first item, and
// named columns that no format reads keep the file's format.
Chosen<std::string> dateFormat(const WindFileView& view, const WindFileChoices& chosen,
                               const WindFileChoices& resolved) {
    if (chosen.dateFormat.byUser()) {
        return chosen.dateFormat;
    }
    const WindFileGuesses& found = view.found;
    const std::optional<std::size_t> fileFormat = found.columns.dateFormatIndex;
    const bool datesNamed =
        chosen.dateTimeColumn.byUser() || chosen.timeColumn.byUser() || chosen.dayColumn.byUser();
    if (!datesNamed && fileFormat) {
        return Chosen<std::string>::guessed(formatItem(*fileFormat));
    }
    const std::size_t date = itemOf(resolved.dateTimeColumn);
    const std::size_t time = itemOf(resolved.timeColumn);
    const std::size_t day = itemOf(resolved.dayColumn);
    if (datesNamed && date > 0) {
        const bool fileColumns =
            date == found.columns.dateTimeItem && time == found.timeItem && day == found.dayItem;
        const auto column = [](std::size_t item) {
            return item > 0 ? std::optional(item - 1) : std::nullopt;
        };
        if (const std::optional<std::size_t> format =
                guessDateFormatItem(view.table, {date - 1, column(time), column(day)},
                                    fileColumns ? fileFormat : std::nullopt)) {
            return Chosen<std::string>::guessed(formatItem(*format));
        }
    }
    return Chosen<std::string>::preset(formatItem(fileFormat.value_or(0)));
}

}  // namespace

ResolvedChoices resolveChoices(const WindFileView& view, const WindFileChoices& chosen,
                               const ChoiceContext& context) {
    ResolvedChoices resolved;
    WindFileChoices& choices = resolved.choices;
    std::vector<ChoiceNote>& notes = resolved.notes;
    const std::vector<std::string>& titles = view.columnTitles;
    const WindFileGuesses& found = view.found;
    choices.text = view.reading;

    // A date column named by hand brings the time column that belongs to it; the file's own
    // year column brings its day of the year and clock.
    choices.dateTimeColumn = chosen.dateTimeColumn.byUser()
                                 ? chosen.dateTimeColumn
                                 : columnGuess(found.columns.dateTimeItem);
    const bool fileDateColumn = itemOf(choices.dateTimeColumn) == found.columns.dateTimeItem;
    choices.dayColumn = chosen.dayColumn.byUser() ? chosen.dayColumn
                        : fileDateColumn          ? columnGuess(found.dayItem)
                                                  : Chosen<int>::preset(0);
    choices.timeColumn = chosen.timeColumn.byUser() ? chosen.timeColumn
                         : chosen.dateTimeColumn.byUser() && !(fileDateColumn && found.dayItem > 0)
                             ? columnGuess(guessTimeItem(titles, itemOf(choices.dateTimeColumn)))
                             : columnGuess(found.timeItem);
    if (!chosen.dateTimeColumn.byUser() && !chosen.timeColumn.byUser() &&
        found.dateTimeFromValues) {
        notes.push_back({ChoiceField::dateTimeColumn, true, "its values read as dates"});
    }
    choices.dateFormat = dateFormat(view, chosen, choices);
    if (!chosen.dateFormat.byUser() && !chosen.dateTimeColumn.byUser() &&
        !chosen.timeColumn.byUser() && found.dateFormatFromTitles) {
        notes.push_back({ChoiceField::dateFormat, false, "the column titles spell it out"});
    }
    if (!chosen.dayColumn.byUser() && choices.dayColumn.source() == ChoiceSource::guessed) {
        notes.push_back({ChoiceField::dayColumn, false,
                         "beside the year, with the clock as HHMM in the column after it"});
    }

    choices.windColumn =
        chosen.windColumn.byUser() ? chosen.windColumn : columnGuess(found.columns.windItem);
    if (!chosen.windColumn.byUser() && found.windFromUnit) {
        notes.push_back({ChoiceField::windColumn, true, "its title says m/s"});
    }
    if (!chosen.windColumn.byUser() && found.columns.windItem > 0 &&
        found.columns.windItem == highestAnemometerItem(titles)) {
        notes.push_back({ChoiceField::windColumn, false, "the highest anemometer's mean speed"});
    }
    const std::string_view unitRow = unitRowField(view.table, itemOf(choices.windColumn));
    if (!chosen.windColumn.byUser() && found.windFromUnitRow) {
        notes.push_back(
            {ChoiceField::windColumn, false, "its unit row says " + shownContent(unitRow)});
    }
    if (chosen.windUnit.byUser()) {
        choices.windUnit = chosen.windUnit;
    } else {
        std::string unit;
        if (const std::size_t wind = itemOf(choices.windColumn);
            wind > 0 && wind <= titles.size()) {
            windSpeedFactor(titles[wind - 1], &unit);
        }
        if (unit.empty() && !unitRow.empty()) {
            windSpeedFactor("(" + std::string(unitRow) + ")", &unit);
        }
        if (unit.empty() && *choices.windColumn > 0 && view.text) {
            windSpeedFactor(
                "(" +
                    declaredSpeedUnit(*view.text,
                                      lineSeparatorForIndex(*view.reading.lineEndingIndex),
                                      *view.reading.startingLine) +
                    ")",
                &unit);
        }
        choices.windUnit =
            unit.empty() ? Chosen<std::string>::preset(unit) : Chosen<std::string>::guessed(unit);
    }

    choices.stateColumn = chosen.stateColumn.byUser() ? chosen.stateColumn : Chosen<int>::preset(0);
    const bool temperatureClassed = context.classesTemperature && *choices.stateColumn <= 0;
    if (chosen.temperatureColumn.byUser()) {
        choices.temperatureColumn = chosen.temperatureColumn;
    } else if (const int item = temperatureClassed || context.needsTemperature
                                    ? guessTemperatureItem(titles, view.table)
                                    : 0;
               item > 0) {
        choices.temperatureColumn = Chosen<int>::guessed(item);
        const std::string_view temperatureUnit =
            unitRowField(view.table, static_cast<std::size_t>(item));
        notes.push_back({ChoiceField::temperatureColumn, false,
                         isTemperatureUnit(temperatureUnit)
                             ? "its unit row says " + shownContent(temperatureUnit)
                             : std::string("guessed from its title")});
    } else {
        choices.temperatureColumn = Chosen<int>::preset(0);
    }

    // The readings the analysis classes tell the separator; the wind speed's while the panel
    // does not know yet which button will end it.
    if (chosen.decimalSeparator.byUser()) {
        choices.decimalSeparator = chosen.decimalSeparator;
    } else {
        const int wind = *choices.windColumn;
        const int temperature = *choices.temperatureColumn;
        const int valueColumn = temperatureClassed ? temperature : wind > 0 ? wind : temperature;
        const std::string separator = guessDecimalSeparator(view.table, valueColumn);
        choices.decimalSeparator = valueColumn > 0 ? Chosen<std::string>::guessed(separator)
                                                   : Chosen<std::string>::preset(separator);
    }

    const std::string_view lineSeparator = lineSeparatorForIndex(*view.reading.lineEndingIndex);
    if (chosen.timeZone.byUser()) {
        choices.timeZone = chosen.timeZone;
    } else if (const std::optional<DeclaredZone> declared =
                   view.text ? declaredZone(*view.text, lineSeparator, *view.reading.startingLine)
                             : std::nullopt) {
        choices.timeZone = Chosen<std::string>::guessed(declared->offset);
        notes.push_back({ChoiceField::timeZone, false,
                         "the preamble says \"" + shownContent(declared->line, 80) + "\""});
    } else {
        choices.timeZone = Chosen<std::string>::preset(
            context.zone != nullptr ? utcOffsetText(context.firstRecording, *context.zone)
                                    : formatUtcOffset(0));
    }
    choices.timeOffsetMinutes = chosen.timeOffsetMinutes.byUser() ? chosen.timeOffsetMinutes
                                                                  : Chosen<std::int32_t>::preset(0);
    choices.stamps = Chosen<StampConvention>::preset(StampConvention::end);
    if (chosen.stamps.byUser()) {
        choices.stamps = chosen.stamps;
    } else if (const std::optional<DeclaredStamps> declared =
                   view.text ? declaredStamps(*view.text, lineSeparator, *view.reading.startingLine)
                             : std::nullopt) {
        choices.stamps = Chosen<StampConvention>::guessed(declared->convention);
        notes.push_back({ChoiceField::stamps, false,
                         "the preamble says \"" + shownContent(declared->line, 80) + "\""});
    }
    choices.missingMarkers = chosen.missingMarkers.byUser()
                                 ? chosen.missingMarkers
                                 : Chosen<std::vector<std::string>>::preset(commonMissingMarkers());
    return resolved;
}

}  // namespace vane
