// The date reader: with every pattern the chooser offers, and with free patterns as typed into
// the chooser's field or given with --date-format. The first byte picks the pattern; a free
// pattern is the text up to the first line break, the time stamp what follows. A chooser item
// also reads through the wind file's date reader (quotes, hour 24, the offset appended).
#include <cstddef>
#include <cstdint>
#include <string_view>

#include "core/import/date_format_items.h"
#include "core/import/wind_dates.h"
#include "core/time/date_pattern_parser.h"
#include "fuzz/fuzz_zone.h"

extern "C" int LLVMFuzzerTestOneInput(const std::uint8_t* data, std::size_t size) {
    if (size == 0) {
        return 0;
    }
    const std::size_t choice = data[0];
    std::string_view rest(reinterpret_cast<const char*>(data) + 1, size - 1);
    if (choice < vane::kDateFormatItems.size()) {
        const vane::DatePatternParser parser(vane::kDateFormatItems[choice], vane::fuzz::berlin());
        (void)parser.parse(rest);
        vane::WindDateReader reader(vane::kDateFormatItems[choice], "+0200", vane::fuzz::berlin());
        (void)reader.read(rest);
        return 0;
    }
    const std::size_t end = rest.find('\n');
    const std::string_view pattern = rest.substr(0, end);
    const std::string_view text = end == std::string_view::npos ? "" : rest.substr(end + 1);
    const vane::DatePatternParser parser(pattern, vane::fuzz::berlin());
    (void)parser.parse(text);
    return 0;
}
