#pragma once

#include <string_view>
#include <vector>

#include "core/curtailment/curtailment_plan.h"
#include "core/icu_forward.h"
#include "core/outcome/outcome.h"

namespace vane {

// Reads a CSV `start,end` of ISO 8601 time stamps (local time of `zone` without an offset; ',',
// ';' or tab; an optional header line; '#' comments): when the detector was recording. A line
// whose stamps do not read, or whose end is not after its start, is refused with its line.
Outcome<std::vector<EffortSpan>> parseEffortSpans(std::string_view text, std::string_view file,
                                                  const icu::TimeZone& zone);

}  // namespace vane
