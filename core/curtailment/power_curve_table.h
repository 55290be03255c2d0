#pragma once

#include <cstddef>
#include <optional>
#include <string>
#include <string_view>
#include <vector>

#include "core/outcome/outcome.h"

namespace vane {

inline constexpr double kHighestCurveWind = 100.0;  // m/s
inline constexpr std::string_view kPowerCurveProblem = "Bad power curve";

struct PowerCurveRow {
    std::string name;  // UTF-8
    std::size_t line = 0;
    std::vector<std::string> values;  // one per wind speed of the title row, or fewer
};

// Power curves as data sheets and spreadsheets give several turbines': one row per turbine under
// a title row of wind speeds (`turbine_type,0.0,0.5,...`).
struct PowerCurveTable {
    std::string firstTitle;
    std::size_t titleLine = 0;
    std::vector<double> windSpeeds;  // rising, 0 to kHighestCurveWind
    std::vector<PowerCurveRow> rows;
};

// The table, when `text` (lines cut at LF) is one: a title row (a title that is no number, then
// three or more numbers) within 50 rows of the top, and below it a row that begins with a name;
// tab, ';' or ',' between fields, '#' comments, empty fields at a row's end dropped. Nothing for
// any other text, such as a curve in two columns or one column of power per air density (whose
// rows begin with a number); a title row whose wind speeds do not rise within 0 to 100 m/s is
// the problem, with `file` and the line. Names are read as Latin-1 when the text is no UTF-8.
std::optional<Outcome<PowerCurveTable>> readPowerCurveTable(std::string_view text,
                                                            std::string_view file);

}  // namespace vane
