// Readings as numbers with either decimal separator, and the numerical order of texts: two
// texts split at the first NUL must compare in opposite directions when swapped.
#include <cmath>
#include <cstddef>
#include <cstdint>
#include <cstdlib>
#include <string_view>

#include "core/analysis/decimal_number_text.h"
#include "core/analysis/numerical_compare.h"

extern "C" int LLVMFuzzerTestOneInput(const std::uint8_t* data, std::size_t size) {
    const std::string_view text(reinterpret_cast<const char*>(data), size);
    static const vane::DecimalNumberText point(".");
    static const vane::DecimalNumberText comma(",");
    for (const vane::DecimalNumberText* numbers : {&point, &comma}) {
        if (const std::optional<double> value = numbers->parse(text);
            value && std::isfinite(*value)) {
            (void)numbers->formatLabel(*value);
        }
    }
    const std::size_t split = text.find('\0');
    const std::string_view a = text.substr(0, split);
    const std::string_view b = split == std::string_view::npos ? "" : text.substr(split + 1);
    const int forward = vane::numericalCompare(a, b);
    const int backward = vane::numericalCompare(b, a);
    if (forward != -backward || vane::numericalCompare(a, a) != 0) {
        std::abort();
    }
    return 0;
}
