#pragma once

#include <optional>
#include <span>
#include <string>
#include <string_view>

#include "core/icu_forward.h"

namespace vane {

// Offsets from UTC as the wind file's time stamps are read with them: "+HHMM" or "-HHMM".

// Minutes east of UTC of every offset a zone has used since 2000, summer times included, in
// ascending order: the time-zone chooser's items.
std::span<const int> utcOffsetsInUse();

// "+0200" for 120 minutes east, "-0430" for 270 minutes west.
std::string formatUtcOffset(int minutesEast);
// "+02:00" for 7200 seconds east, as an offset is shown to people (seconds left out).
std::string utcOffsetWithColon(int secondsEast);

// The minutes east of UTC of an offset the date reader takes: a sign and four digits, hours
// below 24 and minutes below 60 (a day or more, or 60 minutes, would leave every date unread).
std::optional<int> parseUtcOffset(std::string_view text);

// The offset of `zone` at `instant` as "+HHMM" (e.g. "+0200" in central European summer
// time): the title of the time-zone item preset for a wind file.
std::string utcOffsetText(double instant, const icu::TimeZone& zone);

}  // namespace vane
