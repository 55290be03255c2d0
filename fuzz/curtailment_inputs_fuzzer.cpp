// The plan's own inputs from outside: a power curve (two columns, or a table of one row per
// turbine) and an effort file, and the curve read at any wind speed.
#include <cmath>
#include <cstddef>
#include <cstdint>
#include <cstdlib>
#include <string>
#include <string_view>
#include <vector>

#include "core/curtailment/effort_file.h"
#include "core/curtailment/power_curve.h"
#include "fuzz/fuzz_zone.h"

extern "C" int LLVMFuzzerTestOneInput(const std::uint8_t* data, std::size_t size) {
    const std::string_view text(reinterpret_cast<const char*>(data), size);
    // A table of one row per turbine is read for its first turbine, its last and one not there.
    const std::vector<std::string> turbines = vane::powerCurveTurbines(text);
    std::vector<std::string> named = {"", "no such turbine"};
    if (!turbines.empty()) {
        named.push_back(turbines.front());
        named.push_back(turbines.back());
    }
    for (const std::string& turbine : named) {
        const vane::Outcome<vane::PowerCurve> curve =
            vane::parsePowerCurve(text, "curve.csv", turbine);
        if (!curve && curve.error().describe().empty()) {
            std::abort();
        }
        if (curve) {
            if (curve->points.size() < 2) {
                std::abort();
            }
            for (const double wind : {-1.0, 0.0, 3.3, 12.0, 30.0, std::nan(""), HUGE_VAL}) {
                if (!std::isfinite(curve->kwAt(wind))) {
                    std::abort();
                }
            }
        }
    }
    const auto effort = vane::parseEffortSpans(text, "effort.csv", vane::fuzz::berlin());
    if (!effort && effort.error().describe().empty()) {
        std::abort();
    }
    if (effort) {
        for (const vane::EffortSpan& span : *effort) {
            if (!(span.end > span.start)) {
                std::abort();
            }
        }
    }
    return 0;
}
