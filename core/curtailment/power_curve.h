#pragma once

#include <string_view>
#include <vector>

#include "core/outcome/outcome.h"

namespace vane {

struct PowerCurvePoint {
    double windSpeed = 0.0;  // m/s
    double kw = 0.0;
};

// A turbine's power over wind speed: linear between its points, 0 outside them and where the
// curve is negative (the turbine's own draw below cut-in is no output lost).
struct PowerCurve {
    std::vector<PowerCurvePoint> points;  // wind speeds strictly ascending, at least two

    double kwAt(double windSpeed) const;
};

// Reads a CSV `wind_speed,kW` (',', ';' or tab; an optional header line, whose second title in
// watts, "Power [W]", makes the values W; '#' comments; further columns such as "Cp [-]" are
// left out). A line
// that is no pair of numbers (wind 0 to 100 m/s, power within ±1000000 kW), a wind speed not above
// the one before, or fewer than two points is refused with the file's line; `file` names it in the
// problem.
Outcome<PowerCurve> parsePowerCurve(std::string_view text, std::string_view file);

}  // namespace vane
