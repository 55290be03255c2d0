// The direct readings of plain numbers and fixed-width time stamps against ICU's: both must give
// the same double to the bit, or both nothing. The whole input is a reading with either decimal
// separator, and an ISO time stamp read with and without its shortcut; its first byte also picks
// a date pattern as in date_pattern_fuzzer, or a free pattern up to the first line break, the time
// stamp being what follows.
#include <bit>
#include <cstddef>
#include <cstdint>
#include <cstdlib>
#include <optional>
#include <string_view>

#include "core/analysis/decimal_number_text.h"
#include "core/import/date_format_items.h"
#include "core/time/date_pattern_parser.h"
#include "core/time/iso_timestamp.h"
#include "fuzz/fuzz_zone.h"

namespace {

void requireSame(std::optional<double> read, std::optional<double> icu) {
    if (read.has_value() != icu.has_value() ||
        (read && std::bit_cast<std::uint64_t>(*read) != std::bit_cast<std::uint64_t>(*icu))) {
        std::abort();
    }
}

}  // namespace

extern "C" int LLVMFuzzerTestOneInput(const std::uint8_t* data, std::size_t size) {
    const std::string_view text(reinterpret_cast<const char*>(data), size);
    static const vane::DecimalNumberText point(".");
    static const vane::DecimalNumberText comma(",");
    for (const vane::DecimalNumberText* numbers : {&point, &comma}) {
        requireSame(numbers->parse(text), numbers->parseWithIcu(text));
    }
    if (vane::parseIsoTimestamp(text) != vane::parseIsoTimestampWithoutShortcut(text)) {
        std::abort();
    }
    if (size == 0) {
        return 0;
    }
    const std::size_t choice = data[0];
    const std::string_view rest = text.substr(1);
    if (choice < vane::kDateFormatItems.size()) {
        const vane::DatePatternParser parser(vane::kDateFormatItems[choice], vane::fuzz::berlin());
        requireSame(parser.parse(rest), parser.parseWithIcu(rest));
        return 0;
    }
    const std::size_t end = rest.find('\n');
    const std::string_view stamp = end == std::string_view::npos ? "" : rest.substr(end + 1);
    const vane::DatePatternParser parser(rest.substr(0, end), vane::fuzz::berlin());
    requireSame(parser.parse(stamp), parser.parseWithIcu(stamp));
    return 0;
}
