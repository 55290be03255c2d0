#pragma once

#include <memory>
#include <optional>
#include <string>
#include <string_view>

#include "core/icu_forward.h"

namespace vane {

// Names that stand for readings no ICU pattern describes; they may be given wherever a pattern
// is. ISO 8601: "T" or a space, seconds and fraction optional, an optional "Z" or offset, which
// wins over the zone. Unix seconds are UTC. Excel serial days count from 1899-12-30 in the zone;
// with four decimals or fewer they are only good to the minute and are rounded to it.
inline constexpr std::string_view kIsoFormatName = "ISO 8601";
inline constexpr std::string_view kUnixSecondsFormatName = "Unix seconds";
inline constexpr std::string_view kExcelDaysFormatName = "Excel serial days";

// Reads time stamps written in a Unicode date pattern such as "dd.MM.yyyy HH:mm". A text counts
// only when the pattern takes all of it, and fields out of range (month 13) are refused; with a
// pattern ICU does not accept, nothing is read. Texts without an offset are read in `zone`.
// Month and day names are English.
class DatePatternParser {
  public:
    DatePatternParser(std::string_view pattern, const icu::TimeZone& zone);
    ~DatePatternParser();
    DatePatternParser(const DatePatternParser&) = delete;
    DatePatternParser& operator=(const DatePatternParser&) = delete;

    // Seconds since the Unix epoch, or nothing when the text does not fit the pattern.
    std::optional<double> parse(std::string_view text) const;
    // The same reading without the shortcut for fixed-width numeric patterns: what parse() must
    // agree with. The named formats read as in parse().
    std::optional<double> parseWithIcu(std::string_view text) const;

  private:
    // Fixed-width numeric patterns without ICU, for speed; nothing means ICU decides.
    std::optional<double> parseQuickly(std::string_view text) const;
    std::optional<double> parseNamed(std::string_view text) const;

    struct Format;  // keeps ICU's formatting headers out of this one
    std::unique_ptr<Format> format_;
};

}  // namespace vane
