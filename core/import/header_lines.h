#pragma once

#include <initializer_list>
#include <optional>
#include <string>
#include <string_view>

#include "core/import/split_choices.h"
#include "core/import/wind_file_choices.h"

namespace vane {

// The field without the quotes, brackets and blanks loggers put around it, lower-cased.
std::string bareField(std::string_view field);

// Whether the bare field is one of `words` (lower-case).
bool isOneOf(std::string_view field, std::initializer_list<std::string_view> words);

// The line (from 1) of the header row in a text whose starting line nobody set: line 2 of a
// Campbell Scientific TOA5 file (its line 1 says "TOA5"), else the first of its first 64 lines
// whose fields are mostly not numbers and whose field count (under `separator`, or the separator
// guessed from that line) the next filled lines share, preferring the first whose field count all
// filled lines looked below it share; line 1 when none is.
int findStartingLine(std::string_view text, std::string_view lineSeparator,
                     const std::optional<FieldSeparatorChoice>& separator);

// How many lines (at most 3) directly under the header line `startingLine` describe its columns
// rather than hold data: lines that hold no number and name a unit or a way of processing
// ("m/s", "Deg", "TS", "Avg", "Smp"), above a line that is mostly numbers.
int findUnitRows(std::string_view text, std::string_view lineSeparator, int startingLine,
                 std::string_view fieldSeparator);

// The speed unit the preamble (the lines before `startingLine`) declares on a "Units" line
// ("Units,mph", "Units = m/s"), lower-cased; empty when it declares none or more than one.
std::string declaredSpeedUnit(std::string_view text, std::string_view lineSeparator,
                              int startingLine);

struct DeclaredStamps {
    StampConvention convention = StampConvention::end;
    std::string line;  // the preamble's line that says so, blanks around it cut
};

// Which end of the step the preamble (the lines before `startingLine`) says the time stamps mark:
// "Time stamps indicate the beginning of the time step.", "interval beginning", "period end" and
// the like. None when it says nothing of it, or both.
std::optional<DeclaredStamps> declaredStamps(std::string_view text, std::string_view lineSeparator,
                                             int startingLine);

struct DeclaredZone {
    std::string offset;  // "+HHMM"
    std::string line;    // the preamble's line that says so, blanks around it cut
};

// The UTC offset the preamble declares on a "Time Zone" line ("Time Zone,0", "Time zone = UTC+1",
// "TimeZone,-05:00"): whole or half hours, or "+HHMM". None when it declares none, one that does
// not read, or two that differ.
std::optional<DeclaredZone> declaredZone(std::string_view text, std::string_view lineSeparator,
                                         int startingLine);

// Whether a field of a unit row (quotes, brackets and blanks around it aside, any case) names a
// speed unit: "m/s", "Metres/Second", "mph", "km/h", "knots" and the like.
bool isSpeedUnit(std::string_view field);

// Whether it names a temperature unit: "Deg C", "°C", "Celsius", "Celcius" and the like.
bool isTemperatureUnit(std::string_view field);

// Whether it names a spread or an extreme rather than a mean or a sample: "Std", "Max", "Min".
bool isSpreadOrExtreme(std::string_view field);

}  // namespace vane
