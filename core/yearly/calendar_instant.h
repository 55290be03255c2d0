#pragma once

#include <cmath>

namespace vane {

// Instants of the years 1 to 9999, the range the yearly pictures' calendar arithmetic is meant
// for; anything else (including infinities and NaN) is passed over.
inline bool isCalendarInstant(double instant) {
    constexpr double kFirstInstant = -62135596800.0;  // 0001-01-01T00:00:00Z
    constexpr double kEndInstant = 253402300800.0;    // 10000-01-01T00:00:00Z
    return std::isfinite(instant) && instant >= kFirstInstant && instant < kEndInstant;
}

}  // namespace vane
