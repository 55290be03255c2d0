// A session list, the CSV of sample dates, counts and sites that the bar picture draws.
#include <cstddef>
#include <cstdint>
#include <cstdlib>
#include <string_view>

#include "core/yearly/session_list.h"
#include "fuzz/fuzz_zone.h"

extern "C" int LLVMFuzzerTestOneInput(const std::uint8_t* data, std::size_t size) {
    const std::string_view text(reinterpret_cast<const char*>(data), size);
    const vane::SessionListResult list =
        vane::parseSessionList(text, "sessions.csv", vane::fuzz::berlin());
    if (!list && list.error().describe().empty()) {
        std::abort();
    }
    return 0;
}
