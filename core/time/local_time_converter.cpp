#include "core/time/local_time_converter.h"

#include <unicode/basictz.h>
#include <unicode/tzrule.h>
#include <unicode/tztrans.h>

#include <algorithm>

namespace vane {
namespace {

constexpr double kMillisPerDay = 86'400'000.0;
// Transitions are looked for this far either side of a time. A change of offset moves local time
// by less than a day and a half (ICU refuses offsets of a day or more), so every change outside
// this window lies wholly before or after the stretch that ends well inside it.
constexpr double kWindowMillis = 30.0 * kMillisPerDay;
constexpr double kMostOffsetMillis = 1.5 * kMillisPerDay;

double totalOffsetMillis(const icu::TimeZoneRule& rule) {
    return static_cast<double>(rule.getRawOffset()) + static_cast<double>(rule.getDSTSavings());
}

// 1 January 00:00 of `year`, read as UTC. ICU switches from its table of past changes to the
// zone's lasting rule at such a moment, compared with local time, so no stretch crosses one.
double newYearMillis(int year) {
    return utcInstant({{year, 1, 1}, 0, 0, 0}) * 1000.0;
}

}  // namespace

LocalTimeConverter::LocalTimeConverter(const icu::TimeZone& zone)
    : zone_(zone), transitions_(dynamic_cast<const icu::BasicTimeZone*>(&zone)) {}

double LocalTimeConverter::instant(const LocalDateTime& local) {
    if (transitions_ == nullptr) {
        return localInstant(local, zone_);
    }
    if (day_ != local.date) {
        day_ = local.date;
        dayStartAsUtc_ = utcInstant({local.date, 0, 0, 0});
    }
    // Whole seconds under 2^53 add exactly, so this is utcInstant(local) to the bit.
    const double asUtc = dayStartAsUtc_ + static_cast<double>(local.hour * 3600L +
                                                              local.minute * 60L + local.second);
    const double millis = asUtc * 1000.0;
    if (!(millis >= stretchBegin_ && millis < stretchEnd_)) {
        enterStretchAround(millis, local.date.year);
        offsetSeconds_ = asUtc - localInstant(local, zone_);
    }
    return asUtc - offsetSeconds_;
}

// ICU's answer for a local time changes only where local time meets a change of offset: at the
// change's instant read with the offset before it and with the offset after it. The stretch
// reaches from the last such point at or before `localMillis` to the first one after it.
void LocalTimeConverter::enterStretchAround(double localMillis, int year) {
    double begin = localMillis - kWindowMillis + kMostOffsetMillis;
    double end = localMillis + kWindowMillis - kMostOffsetMillis;
    const double windowEnd = localMillis + kWindowMillis;
    icu::TimeZoneTransition transition;
    double from = localMillis - kWindowMillis;
    while (transitions_->getNextTransition(from, false, transition)) {
        const double at = transition.getTime();
        if (!(at <= windowEnd) || transition.getFrom() == nullptr ||
            transition.getTo() == nullptr) {
            break;
        }
        for (const double point : {at + totalOffsetMillis(*transition.getFrom()),
                                   at + totalOffsetMillis(*transition.getTo())}) {
            if (point <= localMillis) {
                begin = std::max(begin, point);
            } else {
                end = std::min(end, point);
            }
        }
        from = at;
    }
    begin = std::max(begin, newYearMillis(year));
    end = std::min(end, newYearMillis(year + 1));
    stretchBegin_ = begin;
    stretchEnd_ = end;
}

}  // namespace vane
