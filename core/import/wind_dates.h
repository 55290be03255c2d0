#pragma once

#include <cstddef>
#include <memory>
#include <optional>
#include <string>
#include <string_view>
#include <vector>

#include "core/icu_forward.h"
#include "core/import/wind_table.h"
#include "core/time/date_pattern_parser.h"

namespace vane {

// Where a row's time stamp is written: one column, or a date and a time column whose fields are
// read joined by one space; station files write the year, the day of the year and the clock as
// HHMM in three. Columns count from 0.
struct DateColumns {
    std::size_t date = 0;
    std::optional<std::size_t> time;
    std::optional<std::size_t> day = std::nullopt;  // of the year, when the date column holds it
};

// The date/time text of `row`: the date field, or it, one space and the time field, in
// `buffer`, which is reused from row to row. With a day-of-year column: the year, the day and
// the clock padded to four digits, "2012 183 0005".
std::string_view rowDateText(const WindTable& table, std::size_t row, const DateColumns& columns,
                             std::string& buffer);

// Whether `zoneText` is a fixed offset "+HHMM" or the name of a zone ICU knows.
bool isFixedOffsetText(std::string_view zoneText);
bool isZoneName(std::string_view zoneText);

// Reads the time stamps of a wind file's rows with a chooser item or ICU pattern (`format`).
// `zoneText` "+HHMM" reads every stamp at that offset; a zone name ("Europe/Berlin") reads each
// with that zone's offset at its date, and the hour that occurs twice at the autumn change in
// file order (first occurrence, then second); empty reads in `zone` as it is. An offset written
// in the stamp wins over all of them. A stamp in double quotes that does not read is read without
// them. A time of "24:00" is the next day's midnight. Stamps must be read in file order.
class WindDateReader {
  public:
    WindDateReader(std::string_view format, std::string_view zoneText, const icu::TimeZone& zone);
    ~WindDateReader();
    WindDateReader(const WindDateReader&) = delete;
    WindDateReader& operator=(const WindDateReader&) = delete;

    std::optional<double> read(std::string_view text);

  private:
    std::optional<double> readUnquoted(std::string_view text);
    std::optional<double> readWithOffsetText(std::string_view text);
    double inNamedZone(double wallSeconds);

    std::string zoneText_;
    bool appendOffset_ = false;  // the ICU pattern reads the fixed offset appended to the text
    bool namedZone_ = false;
    bool isoFormat_ = false;
    bool zoneInPattern_ = false;
    std::unique_ptr<icu::TimeZone> zone_;
    std::unique_ptr<DatePatternParser> parser_;
    std::string buffer_;
    std::optional<double> previous_;
};

// The chooser item that reads the date/time text of every sampled data row (the first ones and
// some spread over the file) as times from 1980 to 2100 that never go back, `preferred` first if
// it does, else the earliest such item. `valuesOnly` leaves out Unix seconds and Excel days,
// which any column of numbers might seem to be. Nothing when no item reads them all.
std::optional<std::size_t> guessDateFormatItem(const WindTable& table, const DateColumns& columns,
                                               std::optional<std::size_t> preferred,
                                               bool valuesOnly = false);

// The same guess for many columns, each item's reader built once for all of them.
class DateFormatGuess {
  public:
    DateFormatGuess();
    ~DateFormatGuess();
    DateFormatGuess(const DateFormatGuess&) = delete;
    DateFormatGuess& operator=(const DateFormatGuess&) = delete;

    std::optional<std::size_t> operator()(const WindTable& table, const DateColumns& columns,
                                          std::optional<std::size_t> preferred,
                                          bool valuesOnly = false);

    // Whether `item` reads the date/time text of every sampled row, in whatever order and year:
    // for a format the column titles tell, where typical-year files mix years.
    bool readsEveryRow(const WindTable& table, const DateColumns& columns, std::size_t item);

  private:
    struct Readers;
    std::unique_ptr<Readers> readers_;
};

// The first chooser item that reads `text` as a time from 1980 to 2100, for a message that
// suggests it.
std::optional<std::size_t> dateFormatItemReading(std::string_view text);

// "line 12: \"2012-07-01 18:00\" does not read as dd.MM.yyyy HH:mm; yyyy-MM-dd HH:mm reads it",
// the text escaped and shortened; for the alert that dates could not be read.
std::string unreadableDateNote(const WindTable& table, std::size_t row, const DateColumns& columns,
                               std::string_view format);

}  // namespace vane
