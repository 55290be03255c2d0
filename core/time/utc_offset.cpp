#include "core/time/utc_offset.h"

#include <unicode/locid.h>
#include <unicode/smpdtfmt.h>
#include <unicode/timezone.h>

#include <array>
#include <cstdio>
#include <cstdlib>

namespace vane {

std::span<const int> utcOffsetsInUse() {
    // Older measurements find their zone too: Caracas used -0430 until 2016, Newfoundland
    // -0230 every summer.
    static constexpr std::array kOffsets = {
        -720, -660, -600, -570, -540, -480, -420, -360, -300, -270, -240, -210, -180, -150, -120,
        -60,  0,    60,   120,  180,  210,  240,  270,  300,  330,  345,  360,  390,  420,  480,
        510,  525,  540,  570,  585,  600,  630,  660,  690,  720,  765,  780,  825,  840,
    };
    return kOffsets;
}

namespace {

std::string offsetText(bool west, int minutes, const char* between) {
    std::array<char, 16> text{};
    std::snprintf(text.data(), text.size(), "%c%02d%s%02d", west ? '-' : '+', minutes / 60, between,
                  minutes % 60);
    return text.data();
}

}  // namespace

std::string formatUtcOffset(int minutesEast) {
    return offsetText(minutesEast < 0, std::abs(minutesEast), "");
}

std::string utcOffsetWithColon(int secondsEast) {
    return offsetText(secondsEast < 0, std::abs(secondsEast) / 60, ":");
}

std::optional<int> parseUtcOffset(std::string_view text) {
    if (text.size() != 5 || (text[0] != '+' && text[0] != '-')) {
        return std::nullopt;
    }
    int digits[4] = {};
    for (std::size_t k = 0; k < 4; ++k) {
        const char c = text[k + 1];
        if (c < '0' || c > '9') {
            return std::nullopt;
        }
        digits[k] = c - '0';
    }
    const int hours = digits[0] * 10 + digits[1];
    const int minutes = digits[2] * 10 + digits[3];
    if (hours >= 24 || minutes >= 60) {
        return std::nullopt;
    }
    const int magnitude = hours * 60 + minutes;
    return text[0] == '-' ? -magnitude : magnitude;
}

std::string utcOffsetText(double instant, const icu::TimeZone& zone) {
    // ICU's own offset of the zone, so that the preset matches how the zone is read elsewhere.
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
