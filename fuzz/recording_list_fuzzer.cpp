// A recording list, one time stamp per line.
#include <cstddef>
#include <cstdint>
#include <cstdlib>
#include <string_view>

#include "core/recordings/recording_list.h"
#include "core/time/iso_timestamp.h"
#include "fuzz/fuzz_zone.h"

extern "C" int LLVMFuzzerTestOneInput(const std::uint8_t* data, std::size_t size) {
    const std::string_view text(reinterpret_cast<const char*>(data), size);
    const vane::RecordingListResult list =
        vane::parseRecordingList(text, "list.txt", vane::fuzz::berlin());
    // A refused list is always said to be refused in words.
    if (!list && list.error().describe().empty()) {
        std::abort();
    }
    (void)vane::parseIsoTimestamp(text);
    return 0;
}
