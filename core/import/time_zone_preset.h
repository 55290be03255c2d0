#pragma once

#include <string>

#include "core/icu_forward.h"

namespace vane {

// The offset from UTC of `zone` at `instant` as "+HHMM" (e.g. "+0200" in central European
// summer time): the title of the time-zone item preset for a wind file.
std::string utcOffsetText(double instant, const icu::TimeZone& zone);

}  // namespace vane
