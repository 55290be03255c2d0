#include "core/curtailment/power_curve.h"

#include <algorithm>
#include <cmath>
#include <cstdio>
#include <optional>

#include "core/analysis/decimal_number_text.h"
#include "core/curtailment/csv_pairs.h"
#include "core/curtailment/power_curve_table.h"
#include "core/files/shown_content.h"
#include "core/text/ascii.h"

namespace vane {
namespace {

constexpr double kLargestKw = 1e6;
// Before the values have said their unit, they may be W.
constexpr double kLargestValue = kLargestKw * 1000.0;
constexpr std::size_t kTurbinesNamed = 20;
constexpr std::string_view kTitle = kPowerCurveProblem;

std::string numberText(double value) {
    char text[32];
    std::snprintf(text, sizeof text, "%.10g", value);
    return text;
}

// Loggers and spreadsheets on old Macs end lines with a bare CR; the rows are cut at LF.
std::string withLineFeeds(std::string_view text) {
    std::string lines(text);
    for (std::size_t i = 0; i < lines.size(); ++i) {
        if (lines[i] == '\r' && (i + 1 == lines.size() || lines[i + 1] != '\n')) {
            lines[i] = '\n';
        }
    }
    return lines;
}

// The kW of one value in the unit a title names by a word of its own ("Power [W]", "P (kW)",
// "Power in watts", "MW"); nothing when it names none, or two that disagree.
std::optional<double> kwPerValueTitled(std::string_view title) {
    const std::string lowered = asciiLowercase(title);
    const auto isLetter = [](char c) { return c >= 'a' && c <= 'z'; };
    std::optional<double> found;
    std::size_t at = 0;
    while (at < lowered.size()) {
        if (!isLetter(lowered[at])) {
            ++at;
            continue;
        }
        std::size_t end = at;
        while (end < lowered.size() && isLetter(lowered[end])) {
            ++end;
        }
        const std::string_view word = std::string_view(lowered).substr(at, end - at);
        at = end;
        std::optional<double> named;
        if (word == "w" || word == "watt" || word == "watts") {
            named = 0.001;
        } else if (word == "kw" || word == "kilowatt" || word == "kilowatts") {
            named = 1.0;
        } else if (word == "mw" || word == "megawatt" || word == "megawatts") {
            named = 1000.0;
        }
        if (named && found && *found != *named) {
            return std::nullopt;
        }
        found = named ? named : found;
    }
    return found;
}

struct PowerUnit {
    double kwPerValue = 1.0;
    std::string said;
};

PowerUnit powerUnit(std::optional<double> titled, double highestValue) {
    if (titled) {
        const char* name = *titled < 1.0 ? "W" : *titled > 1.0 ? "MW" : "kW";
        return {*titled, std::string(name) + ", as the title says"};
    }
    const std::string why =
        "no title names the unit, and the highest value, " + numberText(highestValue) + ", is ";
    if (highestValue > kHighestKwValue) {
        return {0.001, "W, as " + why + "above " + numberText(kHighestKwValue) +
                           " (more than any turbine's kW)"};
    }
    return {1.0, "kW, as " + why + "not above " + numberText(kHighestKwValue)};
}

// The checks every curve must pass, whatever its shape; `whose` begins the messages.
Outcome<PowerCurve> finished(PowerCurve curve, std::string_view file, const std::string& whose,
                             const std::string& noPowerHint) {
    if (curve.points.size() < 2) {
        return Problem{.title = std::string(kTitle),
                       .message = whose + " needs at least two points of wind speed and power",
                       .file = std::string(file)};
    }
    // A turbine that never produces loses nothing by stopping: every plan would look free.
    if (std::none_of(curve.points.begin(), curve.points.end(),
                     [](const PowerCurvePoint& point) { return point.kw > 0.0; })) {
        return Problem{.title = std::string(kTitle),
                       .message = "no " + noPowerHint,
                       .file = std::string(file)};
    }
    return curve;
}

Outcome<PowerCurve> parseLongCurve(std::string_view text, std::string_view file) {
    const DecimalNumberText numbers(".");
    PowerCurve curve;
    std::optional<double> titled;
    double highest = 0.0;
    const auto number = [&](std::string_view field) -> std::optional<double> {
        const std::optional<double> value = numbers.parse(field);
        return value && std::isfinite(*value) ? value : std::nullopt;
    };
    const Outcome<std::size_t> read = readCsvPairs(
        text, file, kTitle,
        [&](std::string_view windField, std::string_view powerField) -> Outcome<void> {
            const std::optional<double> wind = number(windField);
            const std::optional<double> power = number(powerField);
            if (!wind || !power) {
                if (curve.points.empty()) {
                    titled = kwPerValueTitled(powerField);
                }
                return Problem{.message = "\"" + shownContent(windField) + "\", \"" +
                                          shownContent(powerField) +
                                          "\" is no wind speed and power"};
            }
            // Far beyond any turbine: a unit slip or damage, and room for sums that stay finite.
            const double largest = titled ? kLargestKw / *titled : kLargestValue;
            if (*wind < 0.0 || *wind > kHighestCurveWind || std::fabs(*power) > largest) {
                return Problem{.message =
                                   "a wind speed of 0 to 100 m/s and a power of at most "
                                   "1000000 kW are expected, not \"" +
                                   shownContent(windField) + "\", \"" + shownContent(powerField) +
                                   "\""};
            }
            if (!curve.points.empty() && *wind <= curve.points.back().windSpeed) {
                return Problem{.message = "the wind speeds must rise from line to line"};
            }
            curve.points.push_back({*wind, *power});
            highest = std::max(highest, std::fabs(*power));
            return {};
        });
    if (!read) {
        return read.error();
    }
    const PowerUnit unit = powerUnit(titled, highest);
    for (PowerCurvePoint& point : curve.points) {
        point.kw *= unit.kwPerValue;
    }
    curve.unit = unit.said;
    return finished(std::move(curve), file, "a power curve",
                    "line gives a power above 0 kW (is the power column in kW, and is it the "
                    "second?)");
}

std::string turbineList(const std::vector<PowerCurveRow>& rows) {
    std::string list;
    for (std::size_t k = 0; k < rows.size() && k < kTurbinesNamed; ++k) {
        list += (k > 0 ? ", \"" : "\"") + shownContent(rows[k].name) + "\"";
    }
    if (rows.size() > kTurbinesNamed) {
        list += " and " + std::to_string(rows.size() - kTurbinesNamed) + " more";
    }
    return list;
}

Outcome<const PowerCurveRow*> chosenRow(const PowerCurveTable& table, std::string_view turbine,
                                        std::string_view file) {
    const auto refused = [&](std::string message, std::size_t line) {
        return Outcome<const PowerCurveRow*>(Problem{.title = std::string(kTitle),
                                                     .message = std::move(message),
                                                     .file = std::string(file),
                                                     .line = line});
    };
    if (table.rows.empty()) {
        return refused("no turbine's row below the title row of wind speeds", table.titleLine);
    }
    const std::string_view wanted = trimmed(turbine);
    if (wanted.empty()) {
        if (table.rows.size() == 1) {
            return &table.rows.front();
        }
        return refused("the table holds the curves of " + std::to_string(table.rows.size()) +
                           " turbines; name one (--turbine, or power-curve-turbine in a "
                           "project): " +
                           turbineList(table.rows),
                       0);
    }
    const PowerCurveRow* found = nullptr;
    for (const PowerCurveRow& row : table.rows) {
        if (!sameLetters(row.name, wanted)) {
            continue;
        }
        if (found != nullptr) {
            return refused("two rows name the turbine \"" + shownContent(wanted) + "\", on lines " +
                               std::to_string(found->line) + " and " + std::to_string(row.line),
                           row.line);
        }
        found = &row;
    }
    if (found == nullptr) {
        return refused("no turbine \"" + shownContent(wanted) + "\" in the table; it holds " +
                           turbineList(table.rows),
                       0);
    }
    return found;
}

Outcome<PowerCurve> parseWideCurve(const PowerCurveTable& table, std::string_view turbine,
                                   std::string_view file) {
    const Outcome<const PowerCurveRow*> chosen = chosenRow(table, turbine, file);
    if (!chosen) {
        return chosen.error();
    }
    const PowerCurveRow& row = **chosen;
    const auto refused = [&](std::string message) {
        return Problem{.title = std::string(kTitle),
                       .message = "turbine \"" + shownContent(row.name) + "\": " + message,
                       .file = std::string(file),
                       .line = row.line};
    };
    if (row.values.size() > table.windSpeeds.size()) {
        return refused(std::to_string(row.values.size()) + " values, but the title row (line " +
                       std::to_string(table.titleLine) + ") gives " +
                       std::to_string(table.windSpeeds.size()) + " wind speeds");
    }
    // One unit for the whole table: a small turbine's row in W stays in W beside large ones.
    double highest = 0.0;
    for (const PowerCurveRow& each : table.rows) {
        for (const std::string& value : each.values) {
            highest = std::max(highest, std::fabs(parseDecimal(value).value_or(0.0)));
        }
    }
    const PowerUnit unit = powerUnit(kwPerValueTitled(table.firstTitle), highest);
    PowerCurve curve;
    curve.turbine = row.name;
    curve.unit = unit.said;
    for (std::size_t k = 0; k < row.values.size(); ++k) {
        const std::string& field = row.values[k];
        if (field.empty()) {
            continue;  // no power given at this wind speed
        }
        const std::optional<double> value = parseDecimal(field);
        const std::string where = " at " + numberText(table.windSpeeds[k]) + " m/s";
        if (!value) {
            return refused("\"" + shownContent(field) + "\"" + where + " is no power");
        }
        const double kw = *value * unit.kwPerValue;
        if (std::fabs(kw) > kLargestKw) {
            return refused("a power of at most 1000000 kW is expected, not \"" +
                           shownContent(field) + "\"" + where);
        }
        curve.points.push_back({table.windSpeeds[k], kw});
    }
    return finished(std::move(curve), file, "turbine \"" + shownContent(row.name) + "\"",
                    "power above 0 kW in the row of turbine \"" + shownContent(row.name) + "\"");
}

}  // namespace

double PowerCurve::kwAt(double windSpeed) const {
    if (points.size() < 2 || !std::isfinite(windSpeed) || windSpeed < points.front().windSpeed ||
        windSpeed > points.back().windSpeed) {
        return 0.0;
    }
    const auto above = std::upper_bound(
        points.begin(), points.end(), windSpeed,
        [](double value, const PowerCurvePoint& point) { return value < point.windSpeed; });
    // Below cut-in a turbine draws power; stopping it then loses nothing.
    if (above == points.end()) {
        return std::max(0.0, points.back().kw);
    }
    const PowerCurvePoint& high = *above;
    const PowerCurvePoint& low = *(above - 1);
    const double fraction = (windSpeed - low.windSpeed) / (high.windSpeed - low.windSpeed);
    return std::max(0.0, low.kw + fraction * (high.kw - low.kw));
}

Outcome<PowerCurve> parsePowerCurve(std::string_view text, std::string_view file,
                                    std::string_view turbine) {
    const std::string lines = withLineFeeds(text);
    const std::optional<Outcome<PowerCurveTable>> wide = readPowerCurveTable(lines, file);
    if (!wide) {
        if (!trimmed(turbine).empty()) {
            return Problem{.title = std::string(kTitle),
                           .message = "the turbine \"" + shownContent(trimmed(turbine)) +
                                      "\" is named, but the file holds one curve of wind "
                                      "speed and power lines, no table with a row per turbine",
                           .file = std::string(file)};
        }
        return parseLongCurve(lines, file);
    }
    if (!*wide) {
        return wide->error();
    }
    return parseWideCurve(**wide, turbine, file);
}

std::vector<std::string> powerCurveTurbines(std::string_view text) {
    const std::string lines = withLineFeeds(text);
    const std::optional<Outcome<PowerCurveTable>> wide = readPowerCurveTable(lines, {});
    std::vector<std::string> names;
    if (wide && *wide) {
        for (const PowerCurveRow& row : (*wide)->rows) {
            names.push_back(row.name);
        }
    }
    return names;
}

}  // namespace vane
