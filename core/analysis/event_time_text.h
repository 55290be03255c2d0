#pragma once

#include <span>
#include <string>

#include "core/icu_forward.h"
#include "core/recordings/recording.h"

namespace vane {

// The end times of all occupied activity bins of `recordings` (in any order), one line each,
// in the short date and short time style of `locale` joined as that locale joins them, each
// line ended by "\n". Empty when no recording falls on or after the grid origin.
std::string eventTimeText(std::span<const Recording> recordings, const icu::TimeZone& zone,
                          const icu::Locale& locale);

}  // namespace vane
