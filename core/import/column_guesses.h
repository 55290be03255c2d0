#pragma once

#include <cstddef>
#include <optional>
#include <string>
#include <string_view>
#include <vector>

#include "core/import/wind_table.h"

namespace vane {

// Occurrences of `needle` in `text`, ignoring case, never overlapping; 0 for an empty needle.
std::size_t countString(std::string_view needle, std::string_view text);

// The first item whose lowercased title contains "datum", "date" or "time"; 0 when none does.
std::size_t guessDateTimeItem(const std::vector<std::string>& columnTitles);

// The first item whose lowercased title contains "wind" or "speed", else the first that names
// a turbine's wind speed ("Ws_avg", "WMET_HorWdSpd", ...), else the highest anemometer of a met
// mast; 0 when none does.
std::size_t guessWindItem(const std::vector<std::string>& columnTitles);

// The met-mast mean speed at the greatest height ("Spd80mN" over "Spd60mN"; never "Spd80mNStd"
// or "Spd80mNMax"), the first of equal heights; 0 when no title names one.
std::size_t highestAnemometerItem(const std::vector<std::string>& columnTitles);

// With a date column whose title names a date alone ("Date", "Datum"), the first other column
// whose title names a time of day alone ("Time", "Uhrzeit"); 0 otherwise.
std::size_t guessTimeItem(const std::vector<std::string>& columnTitles, std::size_t dateTimeItem);

// The first item whose title names an operating state ("status", "Betrieb", "WTUR_TurSt", ...);
// 0 when none does.
std::size_t guessStateItem(const std::vector<std::string>& columnTitles);

// The first item whose title names a turbine's power ("P_avg", "Power", "WTUR_W",
// "Power (kW)", "Leistung"); 0 when none does.
std::size_t guessPowerItem(const std::vector<std::string>& columnTitles);

// What a wind speed titled `title` is multiplied by to give m/s: 1/3.6 for km/h, 1609.344/3600
// for mph, 1852/3600 for knots, else 1. `unit` is set to "km/h", "mph" or "kn" when it is not 1.
double windSpeedFactor(std::string_view title, std::string* unit = nullptr);

// The field of the chosen date/time column in table row 3 (the file's fourth line, whatever the
// starting line); nothing when no column is chosen or that row or field does not exist.
std::optional<std::string_view> dateSampleField(const WindTable& table, std::size_t dateTimeItem);

// Date-format item for a sample by its colons, slashes and dots; nothing means "leave it".
std::optional<std::size_t> dateFormatIndexForSample(std::string_view sample);

// The date-format item a date column's title spells out, with its time column's if there is one:
// "Date (MM/DD/YYYY)" and "Time (HH:MM)" give "MM/dd/yyyy HH:mm". Nothing when the titles spell
// no layout or one no item has.
std::optional<std::size_t> dateFormatItemOfTitles(std::string_view dateTitle,
                                                  std::string_view timeTitle);

// What the titles tell after a split. dateFormatIndex is nothing when no format was guessed.
struct ColumnGuesses {
    std::size_t dateTimeItem = 0;
    std::optional<std::size_t> dateFormatIndex;
    std::size_t windItem = 0;
};

// columnTitles are the preview's column titles (which may outlive an empty table).
ColumnGuesses guessColumns(const std::vector<std::string>& columnTitles, const WindTable& table);

// guessColumns(), then what it leaves open where the file's values tell: a station's "Year" and
// "DOY" columns with the HHMM clock after them (read as "yyyy D HHmm"), a time column paired
// with a date column, the date format read from the first data rows and rows spread over the
// file (every chooser item tried), a date column found by its values when no title names one,
// and a wind column whose title says m/s when no title names one. A table with unit rows takes
// its wind column by them where one says a speed: the first whose rows say no spread or extreme
// ("Std", "Max").
struct WindFileGuesses {
    ColumnGuesses columns;
    std::size_t timeItem = 0;
    std::size_t dayItem = 0;            // the day of the year beside a year and a clock
    bool dateTimeFromValues = false;    // no title named the date/time column
    bool windFromUnit = false;          // the wind column was taken for its unit
    bool windFromUnitRow = false;       // ... for the speed its unit row names
    bool dateFormatFromTitles = false;  // the titles spell the date's layout out
};
WindFileGuesses guessWindFileColumns(const std::vector<std::string>& columnTitles,
                                     const WindTable& table);

}  // namespace vane
