#include "core/time/date_pattern_parser.h"

#include <unicode/parsepos.h>
#include <unicode/smpdtfmt.h>
#include <unicode/timezone.h>
#include <unicode/uchar.h>
#include <unicode/unistr.h>

#include <charconv>
#include <cmath>
#include <vector>

#include "core/text/ascii.h"
#include "core/time/civil_date.h"
#include "core/time/iso_timestamp.h"
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
        if (c == '\'') {
            // Quoted letters such as the "T" of ISO stamps; quoted quotes stay ICU's business.
            const std::size_t close = pattern.find('\'', i + 1);
            if (close == std::string_view::npos || close == i + 1) {
                return {};
            }
            for (std::size_t k = i + 1; k < close; ++k) {
                const char quoted = pattern[k];
                if ((quoted < 'a' || quoted > 'z') && (quoted < 'A' || quoted > 'Z')) {
                    return {};
                }
                fields.push_back({QuickField::literal, quoted});
            }
            i = close + 1;
            continue;
        }
        if (!letter) {
            if (static_cast<unsigned char>(c) >= 0x80) {
                return {};  // non-ASCII text is ICU's business
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

enum class NamedFormat { none, iso, unixSeconds, excelDays };

NamedFormat namedFormat(std::string_view pattern) {
    return pattern == kIsoFormatName           ? NamedFormat::iso
           : pattern == kUnixSecondsFormatName ? NamedFormat::unixSeconds
           : pattern == kExcelDaysFormatName   ? NamedFormat::excelDays
                                               : NamedFormat::none;
}

// Text fields outside quotes (month or day names) are English; the root locale would want
// "M07" for July.
bool hasNameFields(std::string_view pattern) {
    bool quoted = false;
    for (std::size_t i = 0; i < pattern.size(); ++i) {
        quoted = pattern[i] == '\'' ? !quoted : quoted;
        if (!quoted &&
            (pattern[i] == 'E' || pattern.substr(i, 3) == "MMM" || pattern.substr(i, 3) == "LLL")) {
            return true;
        }
    }
    return false;
}

// A plain decimal number, sign and fraction optional; the count of its decimals beside it.
struct PlainNumber {
    double value = 0.0;
    std::size_t decimals = 0;
};

std::optional<PlainNumber> plainNumber(std::string_view text) {
    text = trimmed(text);
    if (text.empty() || text.size() > 32) {
        return std::nullopt;
    }
    const std::size_t start = text.front() == '-' ? 1 : 0;
    std::size_t point = std::string_view::npos;
    for (std::size_t i = start; i < text.size(); ++i) {
        if (text[i] == '.' && point == std::string_view::npos) {
            point = i;
        } else if (text[i] < '0' || text[i] > '9') {
            return std::nullopt;
        }
    }
    if (text.size() == start || point == start || point + 1 == text.size()) {
        return std::nullopt;
    }
    PlainNumber number;
    const auto [end, error] = std::from_chars(text.data(), text.data() + text.size(), number.value);
    if (error != std::errc() || end != text.data() + text.size()) {
        return std::nullopt;
    }
    number.decimals = point == std::string_view::npos ? 0 : text.size() - point - 1;
    return number;
}

// Seconds since 1970 of local wall-clock seconds (with any fraction) in `zone`.
double localSecondsInZone(double wallSeconds, const icu::TimeZone& zone) {
    const double whole = std::floor(wallSeconds);
    const double day = std::floor(whole / 86400.0);
    const auto secondOfDay = static_cast<int>(whole - day * 86400.0);
    const CivilDate date = addDays(CivilDate{}, static_cast<long>(day));
    return localInstant({date, secondOfDay / 3600, secondOfDay / 60 % 60, secondOfDay % 60}, zone) +
           (wallSeconds - whole);
}

constexpr double kExcelDayOfUnixEpoch = 25569.0;
// 0001-01-01 and 9999-12-31 in Excel days and Unix seconds: far enough for any logger.
constexpr double kLastExcelDay = 2958465.0;
constexpr double kMostUnixSeconds = 253402300799.0;

}  // namespace

struct DatePatternParser::Format {
    icu::SimpleDateFormat format;
    std::vector<QuickField> quick;
    std::unique_ptr<icu::TimeZone> zone;
    bool needsZone = true;  // the pattern has no offset field of its own
    NamedFormat named = NamedFormat::none;
};

DatePatternParser::DatePatternParser(std::string_view pattern, const icu::TimeZone& zone) {
    UErrorCode status = U_ZERO_ERROR;
    const NamedFormat named = namedFormat(pattern);
    if (named != NamedFormat::none) {
        format_ = std::make_unique<Format>(Format{icu::SimpleDateFormat(status),
                                                  {},
                                                  std::unique_ptr<icu::TimeZone>(zone.clone()),
                                                  true,
                                                  named});
        return;
    }
    // Fixed locales keep month and day names independent of the user's language settings.
    auto format = std::make_unique<Format>(Format{
        icu::SimpleDateFormat(
            icu::UnicodeString::fromUTF8(pattern),
            hasNameFields(pattern) ? icu::Locale::getEnglish() : icu::Locale::getRoot(), status),
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
    if (format_ && format_->named == NamedFormat::none) {
        if (auto quick = parseQuickly(text)) {
            return quick;
        }
    }
    return parseWithIcu(text);
}

std::optional<double> DatePatternParser::parseWithIcu(std::string_view text) const {
    if (!format_) {
        return std::nullopt;
    }
    if (format_->named != NamedFormat::none) {
        return parseNamed(text);
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

std::optional<double> DatePatternParser::parseNamed(std::string_view text) const {
    if (format_->named == NamedFormat::iso) {
        const std::optional<IsoTimestamp> stamp = parseIsoTimestamp(text);
        if (!stamp || stamp->date.year < 1600) {
            return std::nullopt;
        }
        return toInstant(*stamp, *format_->zone);
    }
    const std::optional<PlainNumber> number = plainNumber(text);
    if (!number) {
        return std::nullopt;
    }
    if (format_->named == NamedFormat::unixSeconds) {
        if (std::fabs(number->value) > kMostUnixSeconds) {
            return std::nullopt;
        }
        return number->value;
    }
    if (number->value < 1.0 || number->value > kLastExcelDay) {
        return std::nullopt;
    }
    const double wall = (number->value - kExcelDayOfUnixEpoch) * 86400.0;
    const double step = number->decimals <= 4 ? 60.0 : 1.0;
    return localSecondsInZone(std::round(wall / step) * step, *format_->zone);
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
