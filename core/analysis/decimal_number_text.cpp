#include "core/analysis/decimal_number_text.h"

#include <unicode/dcfmtsym.h>
#include <unicode/decimfmt.h>
#include <unicode/fmtable.h>
#include <unicode/locid.h>
#include <unicode/parsepos.h>
#include <unicode/unistr.h>

#include <charconv>
#include <stdexcept>

namespace vane {
namespace {

std::unique_ptr<icu::DecimalFormat> makeFormat(std::string_view decimalSeparator) {
    UErrorCode status = U_ZERO_ERROR;
    auto symbols = std::make_unique<icu::DecimalFormatSymbols>(icu::Locale::getRoot(), status);
    if (U_FAILURE(status)) {
        throw std::runtime_error("ICU has no decimal format symbols");
    }
    const icu::UnicodeString separator = icu::UnicodeString::fromUTF8(decimalSeparator);
    symbols->setSymbol(icu::DecimalFormatSymbols::kDecimalSeparatorSymbol, separator);
    symbols->setSymbol(icu::DecimalFormatSymbols::kMonetarySeparatorSymbol, separator);
    // A grouping separator equal to the decimal one would make "1,5" ambiguous.
    symbols->setSymbol(icu::DecimalFormatSymbols::kGroupingSeparatorSymbol,
                       separator == u"," ? u"." : u",");
    auto format = std::make_unique<icu::DecimalFormat>(u"0.#", symbols.release(), status);
    if (U_FAILURE(status)) {
        throw std::runtime_error("ICU refused the decimal number pattern");
    }
    format->setGroupingUsed(false);
    format->setLenient(false);
    return format;
}

// Longer texts are left to ICU; twenty characters still hold more digits than a double's 17
// significant ones.
constexpr std::size_t kLongestPlainNumber = 20;

// "-12", "3.25" (with `separator`): an optional minus, ASCII digits, at most one separator with
// digits on both sides. Nothing when the text is anything else.
std::optional<double> plainDecimal(std::string_view text, char separator) {
    if (text.empty() || text.size() > kLongestPlainNumber) {
        return std::nullopt;
    }
    char digits[kLongestPlainNumber];
    const std::size_t start = text.front() == '-' ? 1 : 0;
    std::size_t point = std::string_view::npos;
    for (std::size_t i = 0; i < text.size(); ++i) {
        const char c = text[i];
        if (c >= '0' && c <= '9') {
            digits[i] = c;
        } else if (c == separator && point == std::string_view::npos) {
            point = i;
            digits[i] = '.';
        } else if (i != 0 || start == 0) {
            return std::nullopt;
        } else {
            digits[i] = '-';
        }
    }
    if (text.size() == start || point == start || point + 1 == text.size()) {
        return std::nullopt;
    }
    double value = 0.0;
    const auto [end, error] = std::from_chars(digits, digits + text.size(), value);
    if (error != std::errc() || end != digits + text.size()) {
        return std::nullopt;
    }
    return value;
}

}  // namespace

struct DecimalNumberText::Formats {
    std::unique_ptr<icu::DecimalFormat> reader;
    std::unique_ptr<icu::DecimalFormat> labels;
};

DecimalNumberText::DecimalNumberText(std::string_view decimalSeparator)
    : formats_(std::make_unique<Formats>()),
      separator_(decimalSeparator == "." || decimalSeparator == "," ? decimalSeparator.front()
                                                                    : '\0') {
    formats_->reader = makeFormat(decimalSeparator);
    formats_->reader->setMaximumFractionDigits(340);
    formats_->labels = makeFormat(decimalSeparator);
    formats_->labels->setMaximumFractionDigits(1);
    formats_->labels->setMinimumIntegerDigits(1);
}

DecimalNumberText::~DecimalNumberText() = default;

std::optional<double> DecimalNumberText::parse(std::string_view text) const {
    if (separator_ != '\0') {
        if (const std::optional<double> value = plainDecimal(text, separator_)) {
            return value;
        }
    }
    return parseWithIcu(text);
}

std::optional<double> DecimalNumberText::parseWithIcu(std::string_view text) const {
    const icu::UnicodeString unicodeText = icu::UnicodeString::fromUTF8(text);
    if (unicodeText.isEmpty()) {
        return std::nullopt;
    }
    icu::Formattable number;
    icu::ParsePosition position(0);
    formats_->reader->parse(unicodeText, number, position);
    if (position.getErrorIndex() >= 0 || position.getIndex() != unicodeText.length()) {
        return std::nullopt;
    }
    UErrorCode status = U_ZERO_ERROR;
    const double value = number.getDouble(status);
    if (U_FAILURE(status)) {
        return std::nullopt;
    }
    return value;
}

std::string DecimalNumberText::formatLabel(double value) const {
    icu::UnicodeString label;
    formats_->labels->format(value, label);
    std::string text;
    label.toUTF8String(text);
    return text;
}

}  // namespace vane
