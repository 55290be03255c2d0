#include "core/curtailment/power_curve.h"

#include <algorithm>
#include <cmath>
#include <optional>

#include "core/analysis/decimal_number_text.h"
#include "core/curtailment/csv_pairs.h"
#include "core/files/shown_content.h"
#include "core/text/ascii.h"

namespace vane {
namespace {

constexpr double kHighestWind = 100.0;
constexpr double kLargestKw = 1e6;

// A power column titled in watts: "Power [W]", "P (W)", "W", "Power in watts".
bool titledInWatts(std::string_view title) {
    const std::string lowered = asciiLowercase(trimmed(title));
    return lowered == "w" || lowered.ends_with(" w") || lowered.find("[w]") != std::string::npos ||
           lowered.find("(w)") != std::string::npos || lowered.find(" watt") != std::string::npos;
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

Outcome<PowerCurve> parsePowerCurve(std::string_view text, std::string_view file) {
    const DecimalNumberText numbers(".");
    PowerCurve curve;
    double kwPerValue = 1.0;
    const auto number = [&](std::string_view field) -> std::optional<double> {
        const std::optional<double> value = numbers.parse(field);
        return value && std::isfinite(*value) ? value : std::nullopt;
    };
    const Outcome<std::size_t> read = readCsvPairs(
        text, file, "Bad power curve",
        [&](std::string_view windField, std::string_view kwField) -> Outcome<void> {
            const std::optional<double> wind = number(windField);
            std::optional<double> kw = number(kwField);
            if (!wind || !kw) {
                if (curve.points.empty() && titledInWatts(kwField)) {
                    kwPerValue = 0.001;
                }
                return Problem{.message = "\"" + shownContent(windField) + "\", \"" +
                                          shownContent(kwField) +
                                          "\" is no wind speed and power in kW"};
            }
            *kw *= kwPerValue;
            // Far beyond any turbine: a unit slip or damage, and room for sums that stay finite.
            if (*wind < 0.0 || *wind > kHighestWind || std::fabs(*kw) > kLargestKw) {
                return Problem{.message =
                                   "a wind speed of 0 to 100 m/s and a power of at most "
                                   "1000000 kW are expected, not \"" +
                                   shownContent(windField) + "\", \"" + shownContent(kwField) +
                                   "\""};
            }
            if (!curve.points.empty() && *wind <= curve.points.back().windSpeed) {
                return Problem{.message = "the wind speeds must rise from line to line"};
            }
            curve.points.push_back({*wind, *kw});
            return {};
        });
    if (!read) {
        return read.error();
    }
    if (curve.points.size() < 2) {
        return Problem{.title = "Bad power curve",
                       .message = "a power curve needs at least two lines wind_speed,kW",
                       .file = std::string(file)};
    }
    // A turbine that never produces loses nothing by stopping: every plan would look free.
    if (std::none_of(curve.points.begin(), curve.points.end(),
                     [](const PowerCurvePoint& point) { return point.kw > 0.0; })) {
        return Problem{.title = "Bad power curve",
                       .message =
                           "no line gives a power above 0 kW (is the power column in "
                           "kW, and is it the second?)",
                       .file = std::string(file)};
    }
    return curve;
}

}  // namespace vane
