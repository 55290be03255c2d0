#include "core/import/header_lines.h"

#include <algorithm>
#include <array>
#include <cstddef>
#include <string>
#include <vector>

#include "core/text/column_titles.h"
#include "core/time/utc_offset.h"

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

}  // namespace

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

namespace {

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
    return isSpeedUnit(field) || isSpreadOrExtreme(field) || isTemperatureUnit(field) ||
           isOneOf(field, {"ts",   "rn",  "deg", "degrees", "°",    "%",       "hpa",
                           "mbar", "mb",  "kpa", "w/m^2",   "w/m2", "v",       "volts",
                           "mm",   "smp", "avg", "tot",     "wvc",  "unitless"});
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

std::optional<DeclaredStamps> declaredStamps(std::string_view text, std::string_view lineSeparator,
                                             int startingLine) {
    static constexpr std::array<std::string_view, 8> kBegin = {"beginning of the time step",
                                                               "beginning of the interval",
                                                               "start of the time step",
                                                               "start of the interval",
                                                               "interval beginning",
                                                               "interval start",
                                                               "period start",
                                                               "period beginning"};
    static constexpr std::array<std::string_view, 6> kEnd = {
        "end of the time step", "end of the interval", "interval ending",
        "interval end",         "period ending",       "period end"};
    if (startingLine < 2 || startingLine > static_cast<int>(kLinesLooked)) {
        return std::nullopt;
    }
    std::optional<DeclaredStamps> declared;
    for (const std::string_view line :
         firstLines(text, lineSeparator, static_cast<std::size_t>(startingLine) - 1)) {
        const std::string lower = lowercaseTitle(line);
        // A line that names a date ("Period end,2012-07-02") gives no convention.
        if ((lower.find("stamp") == std::string::npos && lower.find("time") == std::string::npos) ||
            lower.find_first_of("0123456789") != std::string::npos) {
            continue;
        }
        const auto says = [&lower](const auto& phrases) {
            return std::any_of(phrases.begin(), phrases.end(), [&lower](std::string_view phrase) {
                return lower.find(phrase) != std::string::npos;
            });
        };
        const bool begin = says(kBegin);
        if (!begin && !says(kEnd)) {
            continue;
        }
        const StampConvention convention = begin ? StampConvention::begin : StampConvention::end;
        if (declared && declared->convention != convention) {
            return std::nullopt;
        }
        constexpr std::string_view kBlanks = " \t\r";
        const std::size_t start = line.find_first_not_of(kBlanks);
        declared = DeclaredStamps{
            convention,
            std::string(line.substr(start, line.find_last_not_of(kBlanks) - start + 1))};
    }
    return declared;
}

namespace {

std::string_view trimmed(std::string_view text) {
    constexpr std::string_view kAround = " \t\r\"'";
    const std::size_t start = text.find_first_not_of(kAround);
    if (start == std::string_view::npos) {
        return {};
    }
    return text.substr(start, text.find_last_not_of(kAround) - start + 1);
}

// Minutes east of UTC written as "0", "-5", "+5.5", "UTC+1", "GMT-05:00" or "+0100".
std::optional<int> offsetMinutes(std::string_view value) {
    value = trimmed(value);
    for (const std::string_view prefix : {"UTC", "utc", "GMT", "gmt"}) {
        if (value.starts_with(prefix)) {
            value.remove_prefix(prefix.size());
            if (value.empty()) {
                return 0;
            }
        }
    }
    if (value.empty()) {
        return std::nullopt;
    }
    if (const std::optional<int> minutes = parseUtcOffset(value)) {
        return minutes;
    }
    const int sign = value.front() == '-' ? -1 : 1;
    if (value.front() == '-' || value.front() == '+') {
        value.remove_prefix(1);
    }
    const std::size_t digits = value.find_first_not_of("0123456789");
    const std::string_view hours = value.substr(0, digits);
    if (hours.empty() || hours.size() > 2) {
        return std::nullopt;
    }
    int minutes = std::stoi(std::string(hours)) * 60;
    const std::string_view rest = digits == std::string_view::npos ? "" : value.substr(digits);
    if (rest == ":30" || rest == ".5" || rest == ":30:00") {
        minutes += 30;
    } else if (!rest.empty() && rest != ":00" && rest != ".0" && rest != ":00:00") {
        return std::nullopt;
    }
    if (minutes > 14 * 60) {
        return std::nullopt;
    }
    return sign * minutes;
}

}  // namespace

std::optional<DeclaredZone> declaredZone(std::string_view text, std::string_view lineSeparator,
                                         int startingLine) {
    if (startingLine < 2 || startingLine > static_cast<int>(kLinesLooked)) {
        return std::nullopt;
    }
    std::optional<DeclaredZone> declared;
    for (const std::string_view line :
         firstLines(text, lineSeparator, static_cast<std::size_t>(startingLine) - 1)) {
        const std::size_t split = line.find_first_of(",;\t=:");
        if (split == std::string_view::npos ||
            !isOneOf(line.substr(0, split), {"time zone", "timezone", "time_zone", "utc offset"})) {
            continue;
        }
        const std::optional<int> minutes = offsetMinutes(line.substr(split + 1));
        if (!minutes) {
            return std::nullopt;
        }
        const std::string offset = formatUtcOffset(*minutes);
        if (declared && declared->offset != offset) {
            return std::nullopt;
        }
        declared = DeclaredZone{offset, std::string(trimmed(line))};
    }
    return declared;
}

bool isSpeedUnit(std::string_view field) {
    return isOneOf(
        field, {"m/s", "ms", "m s-1", "m s^-1", "m/sec", "metres/second", "meters/second",
                "meter/second", "metre/second", "mph", "mi/h", "km/h", "kmh", "kn", "kt", "knots"});
}

bool isTemperatureUnit(std::string_view field) {
    return isOneOf(field, {"degc", "deg c", "°c", "c", "celsius", "celcius", "deg_c", "degrees c"});
}

bool isSpreadOrExtreme(std::string_view field) {
    return isOneOf(field, {"std", "sd", "stdev", "stddev", "max", "min", "maximum", "minimum"});
}

}  // namespace vane
