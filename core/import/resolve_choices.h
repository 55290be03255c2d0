#pragma once

#include <string>
#include <vector>

#include "core/icu_forward.h"
#include "core/import/wind_file.h"
#include "core/import/wind_file_choices.h"

namespace vane {

// The choices of WindFileChoices, for whoever speaks of one of them (notes, options, controls).
enum class ChoiceField {
    encoding,
    lineEnding,
    fieldSeparator,
    startingLine,
    dateTimeColumn,
    timeColumn,
    dayColumn,
    windColumn,
    temperatureColumn,
    stateColumn,
    dateFormat,
    timeZone,
    timeOffset,
    decimalSeparator,
    missingMarkers,
    windUnit,
    stamps,
};

// A guess the user should hear of because the obvious sign was missing: the command line prints
// it with the option that changes it; the panel shows the choice selected.
struct ChoiceNote {
    ChoiceField field = ChoiceField::dateTimeColumn;
    bool untitled = false;  // no column title names it: something else gave it away
    std::string why;        // "its values read as dates"
};

// What the guesses need to know beyond the file.
struct ChoiceContext {
    // The wind file's zone is guessed as this zone's offset at `firstRecording` (seconds since
    // 1970), the first recording analysed; without a zone, "+0000".
    const icu::TimeZone* zone = nullptr;
    double firstRecording = 0.0;
    // The analysis classes the temperature instead of the wind speed; with a state column it
    // classes the wind speed all the same.
    bool classesTemperature = false;
    // A temperature is read beside the wind speed (a curtailment plan's floor).
    bool needsTemperature = false;
};

struct ResolvedChoices {
    WindFileChoices choices;        // every choice holds its value
    std::vector<ChoiceNote> notes;  // in the order they are to be shown
};

// The one place where the user's choices meet the guesses: every choice the user set is kept,
// every other one is guessed from `view` (or preset), and the guesses that follow from a choice
// follow the user's (a date column named by hand has its time column and date format guessed for
// it). The text choices are those `view` was read and cut with.
ResolvedChoices resolveChoices(const WindFileView& view, const WindFileChoices& chosen,
                               const ChoiceContext& context);

}  // namespace vane
