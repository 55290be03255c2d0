#pragma once

#include <memory>
#include <optional>
#include <string>
#include <string_view>

#include "core/icu_forward.h"

namespace vane {

// Reads time stamps written in a Unicode date pattern such as "dd.MM.yyyy HH:mm". A text counts
// only when the pattern takes all of it, and fields out of range (month 13) are refused; with a
// pattern ICU does not accept, nothing is read. Texts without an offset are read in `zone`.
class DatePatternParser {
  public:
    DatePatternParser(std::string_view pattern, const icu::TimeZone& zone);
    ~DatePatternParser();
    DatePatternParser(const DatePatternParser&) = delete;
    DatePatternParser& operator=(const DatePatternParser&) = delete;

    // Seconds since the Unix epoch, or nothing when the text does not fit the pattern.
    std::optional<double> parse(std::string_view text) const;

  private:
    // Fixed-width numeric patterns without ICU, for speed; nothing means ICU decides.
    std::optional<double> parseQuickly(std::string_view text) const;

    struct Format;  // keeps ICU's formatting headers out of this one
    std::unique_ptr<Format> format_;
};

}  // namespace vane
