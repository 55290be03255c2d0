// The plan's own inputs from outside: a power curve and an effort file, and the curve read at
// any wind speed.
#include <cmath>
#include <cstddef>
#include <cstdint>
#include <cstdlib>
#include <string_view>

#include "core/curtailment/effort_file.h"
#include "core/curtailment/power_curve.h"
#include "fuzz/fuzz_zone.h"

extern "C" int LLVMFuzzerTestOneInput(const std::uint8_t* data, std::size_t size) {
    const std::string_view text(reinterpret_cast<const char*>(data), size);
    const vane::Outcome<vane::PowerCurve> curve = vane::parsePowerCurve(text, "curve.csv");
    if (!curve && curve.error().describe().empty()) {
        std::abort();
    }
    if (curve) {
        for (const double wind : {-1.0, 0.0, 3.3, 12.0, 30.0, std::nan(""), HUGE_VAL}) {
            if (!std::isfinite(curve->kwAt(wind))) {
                std::abort();
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
