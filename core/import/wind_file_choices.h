#pragma once

#include <cstdint>
#include <optional>
#include <string>
#include <utility>
#include <vector>

#include "core/import/split_choices.h"
#include "core/import/text_encodings.h"

namespace vane {

// Where the value of a choice comes from.
enum class ChoiceSource {
    open,     // left to the guess and not resolved yet: no value
    user,     // the user set it; no guess overrides it
    guessed,  // the file told (or, for the encoding, detection)
    preset,   // nothing set, nothing guessed: the usual value, or the chooser's first item
};

// What is chosen for one aspect of reading a wind file: the user's value, or left to the guess.
// Once resolved it holds the value the file is read with and says who chose it.
template <typename T>
class Chosen {
  public:
    Chosen() = default;
    // The user's value, so that `choices.windColumn = 3` sets it.
    Chosen(T value) : Chosen(std::move(value), ChoiceSource::user) {}  // NOLINT: implicit
    static Chosen guessed(T value) { return Chosen(std::move(value), ChoiceSource::guessed); }
    static Chosen preset(T value) { return Chosen(std::move(value), ChoiceSource::preset); }

    ChoiceSource source() const { return source_; }
    bool byUser() const { return source_ == ChoiceSource::user; }
    // The value; a choice still open to the guess has none and throws std::bad_optional_access.
    const T& operator*() const { return value_.value(); }
    const T* operator->() const { return &value_.value(); }
    // Back to the guess.
    void reset() { *this = Chosen(); }

    friend bool operator==(const Chosen&, const Chosen&) = default;
    // Against a plain value, compare *choice: a comparison would also weigh who chose it.
    friend bool operator==(const Chosen&, const T&) = delete;

  private:
    Chosen(T value, ChoiceSource source) : value_(std::move(value)), source_(source) {}

    std::optional<T> value_;
    ChoiceSource source_ = ChoiceSource::open;
};

// Which end of its measuring step a row's time stamp marks. A row stamped at the end stands for
// (t - step, t]; at the beginning, for [t, t + step).
enum class StampConvention { end, begin };

// How the file's bytes are read as text and cut into the table.
struct TextChoices {
    Chosen<StringEncoding> encoding;  // guessed: detected; preset: Mac OS Roman, detection failed
    Chosen<int> lineEndingIndex;      // kLineEndingLf, kLineEndingCrLf or kLineEndingCr
    Chosen<FieldSeparatorChoice> fieldSeparator;  // guessed from the header line
    Chosen<int> startingLine;  // the header row's line, from 1; guessed: found below a preamble
    Chosen<int> unitRows;      // rows of units or processing under the header; guessed: found

    friend bool operator==(const TextChoices&, const TextChoices&) = default;
};

// How to read a wind file: every choice is either the user's or left to the guess, and
// resolveChoices() (resolve_choices.h) is the one place where the two meet. The panel's controls
// edit it, the command line's options fill it, the guesses complete it and the analysis reads
// it. Columns count as the choosers do: 0 is no column, k is table column k - 1.
struct WindFileChoices {
    TextChoices text;
    Chosen<int> dateTimeColumn;
    Chosen<int> timeColumn;  // a time of day apart from the date, read after it
    Chosen<int> dayColumn;   // the day of the year, read between the year and the clock
    Chosen<int> windColumn;
    Chosen<int> temperatureColumn;   // guessed only where a temperature is read
    Chosen<int> stateColumn;         // never guessed: one curve per state is the user's wish
    Chosen<std::string> dateFormat;  // a date-format chooser item or any ICU date pattern
    Chosen<std::string> timeZone;    // an offset such as "+0200" or a name such as "Europe/Berlin"
    Chosen<std::int32_t> timeOffsetMinutes;           // added to every time stamp
    Chosen<std::string> decimalSeparator;             // "." or ","
    Chosen<std::vector<std::string>> missingMarkers;  // readings left out; "" an empty field
    // "km/h", "mph" or "kn" when the wind column is in that unit (its title or unit row says so)
    Chosen<std::string> windUnit;
    Chosen<StampConvention> stamps;  // guessed from a preamble that says which

    friend bool operator==(const WindFileChoices&, const WindFileChoices&) = default;
};

}  // namespace vane
