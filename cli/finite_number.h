#pragma once

#include <CLI/CLI.hpp>
#include <cmath>
#include <cstdlib>
#include <string>

namespace vane::cli {

// CLI::Range compares, and every comparison with NaN is false: without this check "nan" passes
// any range and reaches the computation.
inline CLI::Validator finiteNumber() {
    return CLI::Validator(
        [](const std::string& text) -> std::string {
            if (!std::isfinite(std::strtod(text.c_str(), nullptr))) {
                return "a finite number is needed, not " + text;
            }
            return {};
        },
        "", "FINITE");
}

}  // namespace vane::cli
