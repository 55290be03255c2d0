#include "core/time/date_pattern_parser.h"

#include <unicode/parsepos.h>
#include <unicode/smpdtfmt.h>
#include <unicode/timezone.h>
#include <unicode/uchar.h>
#include <unicode/unistr.h>

#include <vector>

#include "core/time/civil_date.h"
#include "core/time/local_time.h"

namespace vane {
namespace {

// A numeric pattern compiled for the common case: fixed-width digit fields, literal separators
// and an optional "ZZZ" offset. Texts it takes are ones ICU takes with the same result; anything
// else is left to ICU, which stays the judge of what a pattern means.
struct QuickField {
    enum Kind { literal, year, month, day, hour, minute, second, offset };
    Kind kind = literal;
    char text = 0;  // of a literal
};

std::vector<QuickField> quickFields(const std::string_view pattern) {
    std::vector<QuickField> fields;
    for (std::size_t i = 0; i < pattern.size();) {
        const char c = pattern[i];
        std::size_t run = 1;
        while (i + run < pattern.size() && pattern[i + run] == c) {
            ++run;
        }
        const bool letter = (c >= 'a' && c <= 'z') || (c >= 'A' && c <= 'Z');
        if (!letter) {
            if (c == '\'' || static_cast<unsigned char>(c) >= 0x80) {
                return {};  // quoting and non-ASCII text are ICU's business
            }
            for (std::size_t k = 0; k < run; ++k) {
                fields.push_back({QuickField::literal, c});
            }
        } else if (c == 'y' && run == 4) {
            fields.push_back({QuickField::year});
        } else if (run == 2 && (c == 'M' || c == 'd' || c == 'H' || c == 'm' || c == 's')) {
            fields.push_back({c == 'M'   ? QuickField::month
                              : c == 'd' ? QuickField::day
                              : c == 'H' ? QuickField::hour
                              : c == 'm' ? QuickField::minute
                                         : QuickField::second});
        } else if (c == 'Z' && run == 3) {
            fields.push_back({QuickField::offset});
        } else {
            return {};
        }
        i += run;
    }
    return fields;
}

bool readDigits(std::string_view text, std::size_t& pos, std::size_t count, int& value) {
    if (text.size() - pos < count) {
        return false;
    }
    int result = 0;
    for (std::size_t k = 0; k < count; ++k) {
        const char c = text[pos + k];
        if (c < '0' || c > '9') {
            return false;
        }
        result = result * 10 + (c - '0');
    }
    pos += count;
    value = result;
    return true;
}

// Seconds east of UTC when `local` has one unambiguous offset in `zone`: no change of offset
// within half a day either side, where ICU's rules for skipped and repeated times would apply.
std::optional<int> plainOffset(double localAsUtc, const icu::TimeZone& zone) {
    const int before = utcOffsetSeconds(localAsUtc - 43200.0, zone);
    const int after = utcOffsetSeconds(localAsUtc + 43200.0, zone);
    if (before != after) {
        return std::nullopt;
    }
    return before;
}

// No time stamp holds a longer run of digits (year to fraction without separators is 23). ICU
// scales a fraction field by a power of ten in 32-bit arithmetic, which reaches zero at 35 digits
// and stops the process with a division by zero, so longer runs must never reach it.
constexpr int kLongestDigitRun = 24;

bool hasOverlongDigitRun(const icu::UnicodeString& text) {
    int run = 0;
    for (int32_t i = 0; i < text.length(); i = text.moveIndex32(i, 1)) {
        run = u_isdigit(text.char32At(i)) ? run + 1 : 0;
        if (run > kLongestDigitRun) {
            return true;
        }
    }
    return false;
}

}  // namespace

struct DatePatternParser::Format {
    icu::SimpleDateFormat format;
    std::vector<QuickField> quick;
    std::unique_ptr<icu::TimeZone> zone;
    bool needsZone = true;  // the pattern has no offset field of its own
};

DatePatternParser::DatePatternParser(std::string_view pattern, const icu::TimeZone& zone) {
    UErrorCode status = U_ZERO_ERROR;
    // The root locale keeps month and day names independent of the user's language settings.
    auto format = std::make_unique<Format>(
        Format{icu::SimpleDateFormat(icu::UnicodeString::fromUTF8(pattern), icu::Locale::getRoot(),
                                     status),
               quickFields(pattern), std::unique_ptr<icu::TimeZone>(zone.clone())});
    if (U_FAILURE(status)) {
        return;
    }
    format->format.setLenient(false);
    format->format.setTimeZone(zone);
    for (const QuickField& field : format->quick) {
        format->needsZone = format->needsZone && field.kind != QuickField::offset;
    }
    format_ = std::move(format);
}

DatePatternParser::~DatePatternParser() = default;

std::optional<double> DatePatternParser::parse(std::string_view text) const {
    if (!format_) {
        return std::nullopt;
    }
    if (auto quick = parseQuickly(text)) {
        return quick;
    }
    const icu::UnicodeString unicodeText = icu::UnicodeString::fromUTF8(text);
    if (hasOverlongDigitRun(unicodeText)) {
        return std::nullopt;
    }
    icu::ParsePosition position(0);
    const UDate date = format_->format.parse(unicodeText, position);
    if (position.getErrorIndex() >= 0 || position.getIndex() != unicodeText.length()) {
        return std::nullopt;
    }
    return date / 1000.0;
}

std::optional<double> DatePatternParser::parseQuickly(std::string_view text) const {
    const std::vector<QuickField>& fields = format_->quick;
    if (fields.empty()) {
        return std::nullopt;
    }
    LocalDateTime local;
    std::optional<int> offset;
    std::size_t pos = 0;
    for (const QuickField& field : fields) {
        bool read = true;
        switch (field.kind) {
            case QuickField::literal:
                read = pos < text.size() && text[pos] == field.text;
                ++pos;
                break;
            case QuickField::year:
                read = readDigits(text, pos, 4, local.date.year);
                break;
            case QuickField::month:
                read = readDigits(text, pos, 2, local.date.month);
                break;
            case QuickField::day:
                read = readDigits(text, pos, 2, local.date.day);
                break;
            case QuickField::hour:
                read = readDigits(text, pos, 2, local.hour);
                break;
            case QuickField::minute:
                read = readDigits(text, pos, 2, local.minute);
                break;
            case QuickField::second:
                read = readDigits(text, pos, 2, local.second);
                break;
            case QuickField::offset: {
                int hours = 0;
                int minutes = 0;
                const char sign = pos < text.size() ? text[pos++] : '\0';
                // ICU refuses offsets of a day or more, so they must not slip through here.
                read = (sign == '+' || sign == '-') && readDigits(text, pos, 2, hours) &&
                       readDigits(text, pos, 2, minutes) && hours < 24 && minutes < 60;
                offset = (sign == '-' ? -1 : 1) * (hours * 3600 + minutes * 60);
                break;
            }
        }
        if (!read) {
            return std::nullopt;
        }
    }
    // Before the Gregorian reform ICU counts Julian days; such years are left to it.
    if (pos != text.size() || local.date.year < 1600 || !isValid(local.date) || local.hour > 23 ||
        local.minute > 59 || local.second > 59) {
        return std::nullopt;
    }
    const double asUtc = utcInstant(local);
    if (format_->needsZone) {
        offset = plainOffset(asUtc, *format_->zone);
    }
    if (!offset) {
        return std::nullopt;
    }
    return asUtc - *offset;
}

}  // namespace vane
