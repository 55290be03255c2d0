#pragma once

#include <unicode/timezone.h>

#include <memory>

namespace vane::fuzz {

// A zone with daylight saving, so that skipped and repeated local times are exercised too.
inline const icu::TimeZone& berlin() {
    static const std::unique_ptr<icu::TimeZone> zone(
        icu::TimeZone::createTimeZone("Europe/Berlin"));
    return *zone;
}

}  // namespace vane::fuzz
