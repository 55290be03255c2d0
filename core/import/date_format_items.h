#pragma once

#include <array>
#include <string_view>

#include "core/time/date_pattern_parser.h"

namespace vane {

// The year, the day of the year and the clock, as rowDateText() joins a station file's columns.
inline constexpr std::string_view kDayOfYearFormat = "yyyy D HHmm";

// The items of the date-format chooser, ICU date patterns. Items 0 to 3 are the layouts the
// separator guess picks among (one or two colons, with two slashes or two dots); the rest cover
// ISO and US layouts, then layouts loggers write: two-digit years, spaces between day, month and
// year, an offset after the seconds, the year, day of the year and clock of station files (their
// three columns joined by rowDateText()). Items are only ever added at the end, so that an index
// keeps its meaning.
inline constexpr std::array<std::string_view, 24> kDateFormatItems = {
    "dd/MM/yyyy HH:mm",      "dd/MM/yyyy HH:mm:ss",    "dd.MM.yyyy HH:mm",
    "dd.MM.yyyy HH:mm:ss",   "yyyy-MM-dd HH:mm:ss",    "yyyy-MM-dd HH:mm",
    "yyyy-MM-dd'T'HH:mm:ss", "MM/dd/yyyy HH:mm",       "MM/dd/yyyy HH:mm:ss",
    kIsoFormatName,          "dd-MMM-yyyy HH:mm:ss",   "dd-MMM-yyyy HH:mm",
    "M/d/yyyy h:mm a",       "M/d/yyyy h:mm:ss a",     "M/d/yyyy H:mm",
    "M/d/yyyy H:mm:ss",      kUnixSecondsFormatName,   kExcelDaysFormatName,
    "M/d/yy H:mm",           "M/d/yy H:mm:ss",         "dd MM yyyy HH:mm",
    "dd MM yyyy HH:mm:ss",   "dd/MM/yyyy HH:mm:ssxxx", kDayOfYearFormat,
};
inline constexpr std::size_t kDayOfYearItem = 23;
static_assert(kDateFormatItems[kDayOfYearItem] == kDayOfYearFormat);

}  // namespace vane
