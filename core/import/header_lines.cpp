#include "core/import/header_lines.h"

#include <algorithm>
#include <array>
#include <cstddef>
#include <string>
#include <vector>

#include "core/text/column_titles.h"

namespace vane {
namespace {

constexpr std::size_t kLinesLooked = 64;

// The first `count` lines of `text`, the last one without its line break.
std::vector<std::string_view> firstLines(std::string_view text, std::string_view lineSeparator,
                                         std::size_t count) {
    std::vector<std::string_view> lines;
    for (std::size_t start = 0; lines.size() < count && start <= text.size();) {
        const std::size_t end = text.find(lineSeparator, start);
        lines.push_back(text.substr(start, end == std::string_view::npos ? end : end - start));
        if (end == std::string_view::npos || lineSeparator.empty()) {
            break;
        }
        start = end + lineSeparator.size();
    }
    return lines;
}

// The field without the quotes, brackets and blanks loggers put around it, lower-cased.
std::string bareField(std::string_view field) {
    constexpr std::string_view kAround = " \t\r\"'[]()";
    const std::size_t start = field.find_first_not_of(kAround);
    if (start == std::string_view::npos) {
        return {};
    }
    return lowercaseTitle(field.substr(start, field.find_last_not_of(kAround) - start + 1));
}

bool isOneOf(std::string_view field, std::initializer_list<std::string_view> words) {
    const std::string bare = bareField(field);
    return std::find(words.begin(), words.end(), bare) != words.end();
}

std::size_t fieldCountOf(std::string_view line, std::string_view separator) {
    if (separator.empty()) {
        return 1;
    }
    std::size_t count = 1;
    for (std::size_t at = line.find(separator); at != std::string_view::npos;
         at = line.find(separator, at + separator.size())) {
        ++count;
    }
    return count;
}

bool looksLikeNumber(std::string_view field) {
    const std::size_t start = field.find_first_not_of(" \"'");
    if (start == std::string_view::npos) {
        return false;
    }
    field.remove_prefix(start);
    if ((field.front() == '+' || field.front() == '-' || field.front() == '.') &&
        field.size() > 1) {
        field.remove_prefix(1);
    }
    return field.front() >= '0' && field.front() <= '9';
}

bool mostlyTitles(std::string_view line, std::string_view separator) {
    std::size_t fields = 0;
    std::size_t titles = 0;
    std::size_t start = 0;
    while (true) {
        const std::size_t end =
            separator.empty() ? std::string_view::npos : line.find(separator, start);
        const std::string_view field = line.substr(start, end - start);
        ++fields;
        titles +=
            !looksLikeNumber(field) && field.find_first_not_of(" \"'\r") != std::string_view::npos
                ? 1
                : 0;
        if (end == std::string_view::npos) {
            break;
        }
        start = end + separator.size();
    }
    return 2 * titles > fields;
}

// Whether a field names a unit or a way of processing, as loggers write them in a row of their own.
bool isUnitOrProcessing(std::string_view field) {
    return isSpeedUnit(field) || isSpreadOrExtreme(field) ||
           isOneOf(field, {"ts",  "rn",  "deg",     "degrees", "°",       "degc",  "deg c",
                           "°c",  "c",   "celsius", "celcius", "%",       "hpa",   "mbar",
                           "mb",  "kpa", "w/m^2",   "w/m2",    "v",       "volts", "mm",
                           "smp", "avg", "tot",     "wvc",     "unitless"});
}

}  // namespace

int findStartingLine(std::string_view text, std::string_view lineSeparator,
                     const std::optional<FieldSeparatorChoice>& separator) {
    constexpr std::size_t kRowsBelowCompared = 5;
    const std::vector<std::string_view> lines = firstLines(text, lineSeparator, kLinesLooked);
    if (lines.size() > 2 && bareField(lines[0].substr(0, lines[0].find(','))) == "toa5") {
        return 2;
    }
    // A block of "key,value" lines looks like a header of two columns until a line of another
    // kind ends it; the header whose field count holds to the last line looked wins over it.
    std::optional<int> firstFound;
    for (std::size_t i = 0; i < lines.size(); ++i) {
        const FieldSeparatorChoice choice = separator.value_or(guessFieldSeparator(lines[i]));
        const std::string_view fieldSeparator = fieldSeparatorText(choice);
        const std::size_t fields = fieldCountOf(lines[i], fieldSeparator);
        if (fields < 2 || !mostlyTitles(lines[i], fieldSeparator)) {
            continue;
        }
        std::size_t compared = 0;
        bool same = true;
        bool throughout = true;
        for (std::size_t k = i + 1;
             k < lines.size() && (throughout || compared < kRowsBelowCompared); ++k) {
            if (lines[k].empty()) {
                continue;
            }
            const bool alike = fieldCountOf(lines[k], fieldSeparator) == fields;
            if (compared < kRowsBelowCompared) {
                ++compared;
                same = same && alike;
            }
            throughout = throughout && alike;
        }
        if (!same || compared == 0) {
            continue;
        }
        if (throughout) {
            return static_cast<int>(i) + 1;
        }
        firstFound = firstFound.value_or(static_cast<int>(i) + 1);
    }
    return firstFound.value_or(1);
}

int findUnitRows(std::string_view text, std::string_view lineSeparator, int startingLine,
                 std::string_view fieldSeparator) {
    constexpr int kMostUnitRows = 3;
    if (startingLine < 1 || startingLine > static_cast<int>(kLinesLooked)) {
        return 0;
    }
    const std::vector<std::string_view> lines =
        firstLines(text, lineSeparator, static_cast<std::size_t>(startingLine + kMostUnitRows + 1));
    // A unit row holds no number and names at least one unit or way of processing.
    const auto isUnitRow = [&](std::string_view line) {
        bool named = false;
        for (std::size_t start = 0;;) {
            const std::size_t end =
                fieldSeparator.empty() ? std::string_view::npos : line.find(fieldSeparator, start);
            const std::string_view field = line.substr(start, end - start);
            if (looksLikeNumber(field)) {
                return false;
            }
            named = named || isUnitOrProcessing(field);
            if (end == std::string_view::npos) {
                return named;
            }
            start = end + fieldSeparator.size();
        }
    };
    int rows = 0;
    for (auto line = static_cast<std::size_t>(startingLine); line < lines.size(); ++line) {
        if (!isUnitRow(lines[line])) {
            return !lines[line].empty() && !mostlyTitles(lines[line], fieldSeparator) ? rows : 0;
        }
        if (rows == kMostUnitRows) {
            return 0;
        }
        ++rows;
    }
    return 0;
}

std::string declaredSpeedUnit(std::string_view text, std::string_view lineSeparator,
                              int startingLine) {
    if (startingLine < 2 || startingLine > static_cast<int>(kLinesLooked)) {
        return {};
    }
    std::string declared;
    for (const std::string_view line :
         firstLines(text, lineSeparator, static_cast<std::size_t>(startingLine) - 1)) {
        const std::size_t split = line.find_first_of(",;\t=:");
        if (split == std::string_view::npos || !isOneOf(line.substr(0, split), {"units", "unit"})) {
            continue;
        }
        const std::string_view value = line.substr(split + 1);
        if (!isSpeedUnit(value)) {
            continue;
        }
        if (!declared.empty() && bareField(declared) != bareField(value)) {
            return {};
        }
        declared = bareField(value);
    }
    return declared;
}

bool isSpeedUnit(std::string_view field) {
    return isOneOf(
        field, {"m/s", "ms", "m s-1", "m s^-1", "m/sec", "metres/second", "meters/second",
                "meter/second", "metre/second", "mph", "mi/h", "km/h", "kmh", "kn", "kt", "knots"});
}

bool isSpreadOrExtreme(std::string_view field) {
    return isOneOf(field, {"std", "sd", "stdev", "stddev", "max", "min", "maximum", "minimum"});
}

}  // namespace vane
