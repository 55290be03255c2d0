#pragma once

#include <optional>

#include "core/icu_forward.h"
#include "core/time/local_time.h"

namespace vane {

// Reads wall-clock times of one zone as instants exactly as localInstant() does, for long runs of
// time stamps: the offset is asked of ICU once per stretch of local time between two changes of
// the zone's offset (and at most a few weeks long) instead of once per time stamp. Stamps in
// order stay in one stretch for weeks, so a list of millions costs a few hundred ICU calls.
class LocalTimeConverter {
  public:
    // `zone` must outlive the converter.
    explicit LocalTimeConverter(const icu::TimeZone& zone);

    double instant(const LocalDateTime& local);

  private:
    void enterStretchAround(double localMillis, int year);

    const icu::TimeZone& zone_;
    const icu::BasicTimeZone* transitions_;  // none: a zone that cannot list its changes
    double stretchBegin_ = 0.0;              // local time read as UTC, in milliseconds
    double stretchEnd_ = 0.0;                // the stretch is [begin, end); empty at first
    double offsetSeconds_ = 0.0;
    // Stamps in order share their day for hours: its first second, read as UTC, is kept.
    std::optional<CivilDate> day_;
    double dayStartAsUtc_ = 0.0;
};

}  // namespace vane
