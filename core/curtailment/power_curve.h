#pragma once

#include <string>
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
    std::string turbine;  // the row taken of a table with one row per turbine (UTF-8), or empty
    std::string unit;     // how the values were read and why, to be said: "W, by the title"

    double kwAt(double windSpeed) const;
};

// A value above this cannot be a turbine's power in kW (the largest turbines are rated near
// 26000 kW), so a curve whose title names no unit is in W when its highest value is above it,
// and in kW otherwise.
inline constexpr double kHighestKwValue = 30000.0;

// Reads a power curve in either of two shapes (',', ';' or tab; '#' comments; CR LF or CR):
// - long: lines `wind_speed,power` under an optional header line; columns after the second,
//   such as "Cp [-]", are left out;
// - wide: one row per turbine under a title row of wind speeds (`turbine_type,0.0,0.5,...`),
//   below any preamble; an empty field or a row short of fields has no point there.
// The power is in the unit its title names (W, kW or MW: "Power [W]", "P (kW)", "in watts"; the
// second title of a long table, the first of a wide one), otherwise by kHighestKwValue.
// `turbine` picks the row of a wide table by its first field, whatever the case; a table of one
// row needs none. A line that is no wind speed (0 to 100 m/s) and power (within ±1000000 kW), a
// wind speed not above the one before, fewer than two points, or a turbine not named or not in
// the table is refused with the file's line and the turbines it holds; `file` names it.
Outcome<PowerCurve> parsePowerCurve(std::string_view text, std::string_view file,
                                    std::string_view turbine = {});

// The turbines of a wide table in file order, as UTF-8 (a file that is no UTF-8 is read as
// Latin-1); none for a long table or a text of neither shape.
std::vector<std::string> powerCurveTurbines(std::string_view text);

}  // namespace vane
