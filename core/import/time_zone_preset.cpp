#include "core/import/time_zone_preset.h"

#include <unicode/locid.h>
#include <unicode/smpdtfmt.h>
#include <unicode/timezone.h>

#include <memory>

namespace vane {

std::string utcOffsetText(double instant, const icu::TimeZone& zone) {
    UErrorCode status = U_ZERO_ERROR;
    icu::SimpleDateFormat format(icu::UnicodeString(u"ZZZ"), icu::Locale::getRoot(), status);
    if (U_FAILURE(status)) {
        return {};
    }
    format.setTimeZone(zone);
    icu::UnicodeString text;
    format.format(instant * 1000.0, text);
    std::string result;
    text.toUTF8String(result);
    return result;
}

}  // namespace vane
