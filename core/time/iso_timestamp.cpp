#include "core/time/iso_timestamp.h"

#include <cmath>

#include "core/text/ascii.h"
#include "core/time/local_time.h"
#include "core/time/local_time_converter.h"
#include "core/time/text_fields.h"

namespace vane {
namespace {

std::optional<int> readOffset(TextCursor& cursor) {
    if (cursor.skip('Z')) {
        return 0;
    }
    const char sign = cursor.peek();
    if (sign != '+' && sign != '-') {
        return std::nullopt;
    }
    cursor.skip(sign);
    int hours = 0;
    int minutes = 0;
    // "+100" is how some recorders write "+01:00": one hour digit, then the minutes.
    if (cursor.remaining() == 3) {
        if (!cursor.readFixedDigits(1, hours) || !cursor.readFixedDigits(2, minutes)) {
            return std::nullopt;
        }
    } else {
        if (!cursor.readFixedDigits(2, hours)) {
            return std::nullopt;
        }
        if (!cursor.atEnd()) {
            cursor.skip(':');
            if (!cursor.readFixedDigits(2, minutes)) {
                return std::nullopt;
            }
        }
    }
    if (hours > 18 || minutes > 59) {
        return std::nullopt;
    }
    const int seconds = hours * 3600 + minutes * 60;
    return sign == '-' ? -seconds : seconds;
}

bool isDigit(char c) {
    return static_cast<unsigned char>(c - '0') < 10;
}

int twoDigits(const char* at) {
    return (at[0] - '0') * 10 + (at[1] - '0');
}

// "YYYY-MM-DD HH:MM:SS" or with "T", nothing around it: the layout of nearly every list, read
// at fixed places. Anything else, including this layout with an impossible date or time, is left
// to the full reader, which reads this layout to the same fields.
std::optional<IsoTimestamp> readCommonLayout(std::string_view text) {
    if (text.size() != 19) {
        return std::nullopt;
    }
    const char* at = text.data();
    const bool fits = isDigit(at[0]) && isDigit(at[1]) && isDigit(at[2]) && isDigit(at[3]) &&
                      at[4] == '-' && isDigit(at[5]) && isDigit(at[6]) && at[7] == '-' &&
                      isDigit(at[8]) && isDigit(at[9]) && (at[10] == 'T' || at[10] == ' ') &&
                      isDigit(at[11]) && isDigit(at[12]) && at[13] == ':' && isDigit(at[14]) &&
                      isDigit(at[15]) && at[16] == ':' && isDigit(at[17]) && isDigit(at[18]);
    if (!fits) {
        return std::nullopt;
    }
    IsoTimestamp stamp;
    stamp.date = {twoDigits(at) * 100 + twoDigits(at + 2), twoDigits(at + 5), twoDigits(at + 8)};
    stamp.hour = twoDigits(at + 11);
    stamp.minute = twoDigits(at + 14);
    const int second = twoDigits(at + 17);
    // Days up to the 28th are in every month, which spares most stamps the calendar.
    const bool dateFits = stamp.date.month >= 1 && stamp.date.month <= 12 && stamp.date.day >= 1 &&
                          (stamp.date.day <= 28 || isValid(stamp.date));
    if (!dateFits || stamp.hour > 23 || stamp.minute > 59 || second > 59) {
        return std::nullopt;
    }
    stamp.second = second;
    return stamp;
}

}  // namespace

std::optional<IsoTimestamp> parseIsoTimestamp(std::string_view text) {
    if (std::optional<IsoTimestamp> stamp = readCommonLayout(text)) {
        return stamp;
    }
    return parseIsoTimestampWithoutShortcut(text);
}

std::optional<IsoTimestamp> parseIsoTimestampWithoutShortcut(std::string_view text) {
    TextCursor cursor{trimmed(text)};
    IsoTimestamp stamp;
    int second = 0;
    if (!cursor.readFixedDigits(4, stamp.date.year) || !cursor.skip('-') ||
        !cursor.readFixedDigits(2, stamp.date.month) || !cursor.skip('-') ||
        !cursor.readFixedDigits(2, stamp.date.day) || !isValid(stamp.date)) {
        return std::nullopt;
    }
    if (!cursor.skip('T') && !cursor.skip(' ')) {
        return std::nullopt;
    }
    if (!cursor.readFixedDigits(2, stamp.hour) || !cursor.skip(':') ||
        !cursor.readFixedDigits(2, stamp.minute)) {
        return std::nullopt;
    }
    // Seconds may be left out, as ISO 8601 allows and loggers often do.
    const bool hasSeconds = cursor.skip(':');
    if (hasSeconds && !cursor.readFixedDigits(2, second)) {
        return std::nullopt;
    }
    if (stamp.hour > 23 || stamp.minute > 59 || second > 59) {
        return std::nullopt;
    }
    double fraction = 0.0;
    if (hasSeconds && (cursor.skip('.') || cursor.skip(',')) && !cursor.readFraction(9, fraction)) {
        return std::nullopt;
    }
    stamp.second = second + fraction;
    if (!cursor.atEnd()) {
        stamp.utcOffsetSeconds = readOffset(cursor);
        if (!stamp.utcOffsetSeconds || !cursor.atEnd()) {
            return std::nullopt;
        }
    }
    return stamp;
}

namespace {

template <typename LocalToInstant>
double instantOf(const IsoTimestamp& stamp, LocalToInstant&& localToInstant) {
    const double wholeSecond = std::floor(stamp.second);
    const LocalDateTime local{stamp.date, stamp.hour, stamp.minute, static_cast<int>(wholeSecond)};
    const double instant = stamp.utcOffsetSeconds ? utcInstant(local) - *stamp.utcOffsetSeconds
                                                  : localToInstant(local);
    return instant + (stamp.second - wholeSecond);
}

}  // namespace

double toInstant(const IsoTimestamp& stamp, const icu::TimeZone& zone) {
    return instantOf(stamp,
                     [&zone](const LocalDateTime& local) { return localInstant(local, zone); });
}

double toInstant(const IsoTimestamp& stamp, LocalTimeConverter& converter) {
    return instantOf(stamp,
                     [&converter](const LocalDateTime& local) { return converter.instant(local); });
}

}  // namespace vane
