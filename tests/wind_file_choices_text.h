#pragma once

#include <string>
#include <vector>

#include "core/import/resolve_choices.h"

namespace vane::testing {

inline std::string sourceName(ChoiceSource source) {
    switch (source) {
        case ChoiceSource::open:
            return "open";
        case ChoiceSource::user:
            return "user";
        case ChoiceSource::guessed:
            return "guessed";
        case ChoiceSource::preset:
            return "preset";
    }
    return "?";
}

inline std::string shown(int value) {
    return std::to_string(value);
}
inline std::string shown(StringEncoding value) {
    return std::to_string(value);
}
inline std::string shown(const std::string& value) {
    return "'" + value + "'";
}
inline std::string shown(const FieldSeparatorChoice& separator) {
    return shown(separator.title);
}
inline std::string shown(const std::vector<std::string>& markers) {
    std::string list;
    for (const std::string& marker : markers) {
        list += (list.empty() ? "" : ",") + marker;
    }
    return shown(list);
}

template <typename T>
std::string shown(const char* name, const Chosen<T>& choice) {
    if (choice.source() == ChoiceSource::open) {
        return std::string(name) + " open";
    }
    return std::string(name) + " " + shown(*choice) + " " + sourceName(choice.source());
}

// Every choice with its value and who made it, one "name value source" after the other, so that
// a test that compares choices shows where they part.
inline std::string describeChoices(const WindFileChoices& choices) {
    const TextChoices& text = choices.text;
    const std::string parts[] = {
        shown("encoding", text.encoding),
        shown("lineEnding", text.lineEndingIndex),
        shown("separator", text.fieldSeparator),
        shown("startingLine", text.startingLine),
        shown("unitRows", text.unitRows),
        shown("date", choices.dateTimeColumn),
        shown("time", choices.timeColumn),
        shown("wind", choices.windColumn),
        shown("temperature", choices.temperatureColumn),
        shown("state", choices.stateColumn),
        shown("format", choices.dateFormat),
        shown("zone", choices.timeZone),
        shown("offset", choices.timeOffsetMinutes),
        shown("decimal", choices.decimalSeparator),
        shown("missing", choices.missingMarkers),
        shown("unit", choices.windUnit),
    };
    std::string line;
    for (const std::string& part : parts) {
        line += (line.empty() ? "" : " | ") + part;
    }
    return line;
}

}  // namespace vane::testing
