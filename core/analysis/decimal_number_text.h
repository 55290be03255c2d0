#pragma once

#include <memory>
#include <optional>
#include <string>
#include <string_view>

namespace vane {

// Reads readings and prints class labels with a chosen decimal separator (a point or a comma, as
// loggers write), independent of the user's locale. No grouping separators either way.
class DecimalNumberText {
  public:
    explicit DecimalNumberText(std::string_view decimalSeparator);
    ~DecimalNumberText();
    DecimalNumberText(const DecimalNumberText&) = delete;
    DecimalNumberText& operator=(const DecimalNumberText&) = delete;

    // The number when the whole text is one, such as "-3,5" with a comma; otherwise nothing.
    // Plain digits are read directly; every other text is left to parseWithIcu(), with which
    // the result is always the same.
    std::optional<double> parse(std::string_view text) const;
    // ICU's reading alone: what parse() must agree with.
    std::optional<double> parseWithIcu(std::string_view text) const;

    // At most one fraction digit and at least one integer digit: "0", "1,5", "-0,5", "12".
    std::string formatLabel(double value) const;

  private:
    struct Formats;  // keeps ICU's formatting headers out of this one
    std::unique_ptr<Formats> formats_;
    char separator_ = 0;  // of the direct reading; none where it is not one ASCII character
};

}  // namespace vane
