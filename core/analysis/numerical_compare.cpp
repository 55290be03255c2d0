#include "core/analysis/numerical_compare.h"

#include <unicode/stringpiece.h>
#include <unicode/uchar.h>

#include <cstdint>
#include <limits>
#include <optional>

namespace vane {

namespace {

// Classification is per UTF-16 code unit, so a digit outside the BMP arrives as two
// surrogates and counts as a non-digit. The non-digit reader and the integer reader must
// agree on what a digit is, otherwise the comparison loop could stop making progress.
bool isDigit(const char16_t c) {
    return u_isdigit(c) != 0;
}

bool isSkippable(const char16_t c) {
    return u_isUWhiteSpace(c) != 0;
}

struct Run {
    int32_t start = 0;
    int32_t length = 0;
};

// Reads one text front to back, skipping white space before every read.
class Scanner {
  public:
    explicit Scanner(const icu::UnicodeString& text) : text_(text), length_(text.length()) {}

    // Only skippable characters remain.
    bool atEnd() {
        skip();
        return pos_ >= length_;
    }

    // Everything up to the next decimal digit; nothing when already at a digit or the end.
    std::optional<Run> readNonDigits() {
        skip();
        const int32_t start = pos_;
        while (pos_ < length_ && !isDigit(text_.charAt(pos_))) {
            ++pos_;
        }
        if (pos_ == start) {
            return std::nullopt;
        }
        return Run{start, pos_ - start};
    }

    // Optionally signed decimal integer; values beyond 64 bits saturate instead of wrapping,
    // and all their digits are still consumed.
    std::optional<std::int64_t> readInteger() {
        skip();
        int32_t p = pos_;
        bool negative = false;
        if (p < length_ && (text_.charAt(p) == u'+' || text_.charAt(p) == u'-')) {
            negative = text_.charAt(p) == u'-';
            ++p;
        }
        if (p >= length_ || !isDigit(text_.charAt(p))) {
            return std::nullopt;
        }

        constexpr std::int64_t kMax = std::numeric_limits<std::int64_t>::max();
        constexpr std::int64_t kMin = std::numeric_limits<std::int64_t>::min();
        std::int64_t value = 0;
        bool saturated = false;
        for (; p < length_ && isDigit(text_.charAt(p)); ++p) {
            if (saturated) {
                continue;
            }
            const int digit = u_charDigitValue(text_.charAt(p));
            // Accumulate towards the sign so that INT64_MIN itself is representable.
            if (negative) {
                if (value < (kMin + digit) / 10) {
                    value = kMin;
                    saturated = true;
                } else {
                    value = value * 10 - digit;
                }
            } else {
                if (value > (kMax - digit) / 10) {
                    value = kMax;
                    saturated = true;
                } else {
                    value = value * 10 + digit;
                }
            }
        }
        pos_ = p;
        return value;
    }

  private:
    void skip() {
        while (pos_ < length_ && isSkippable(text_.charAt(pos_))) {
            ++pos_;
        }
    }

    const icu::UnicodeString& text_;
    const int32_t length_;
    int32_t pos_ = 0;
};

int sign(const int value) {
    return (value > 0) - (value < 0);
}

// Whichever side still has something left sorts after the other.
int compareTails(Scanner& a, Scanner& b) {
    const bool aEnded = a.atEnd();
    const bool bEnded = b.atEnd();
    if (aEnded && !bEnded) {
        return -1;
    }
    if (bEnded && !aEnded) {
        return 1;
    }
    return 0;
}

// Having a piece of the given kind where the other side has none sorts later.
template <typename T>
int comparePresence(const std::optional<T>& a, const std::optional<T>& b) {
    return static_cast<int>(a.has_value()) - static_cast<int>(b.has_value());
}

}  // namespace

int numericalCompare(const icu::UnicodeString& a, const icu::UnicodeString& b) {
    Scanner sa(a);
    Scanner sb(b);
    if (sa.atEnd() || sb.atEnd()) {
        return compareTails(sa, sb);
    }

    int r = 0;
    while (true) {
        const std::optional<Run> runA = sa.readNonDigits();
        const std::optional<Run> runB = sb.readNonDigits();
        if (runA && runB) {
            r = sign(a.compare(runA->start, runA->length, b, runB->start, runB->length));
        } else {
            r = comparePresence(runA, runB);
        }
        if (r != 0 || sa.atEnd() || sb.atEnd()) {
            break;
        }

        // Both sides now stand on a digit, so both reads succeed and the loop advances.
        const std::optional<std::int64_t> numA = sa.readInteger();
        const std::optional<std::int64_t> numB = sb.readInteger();
        if (numA && numB) {
            r = (*numA > *numB) - (*numA < *numB);
        } else {
            r = comparePresence(numA, numB);
        }
        if (r != 0 || sa.atEnd() || sb.atEnd()) {
            break;
        }
    }
    if (r != 0) {
        return r;
    }
    return compareTails(sa, sb);
}

int numericalCompare(const std::string_view a, const std::string_view b) {
    const icu::UnicodeString ua =
        icu::UnicodeString::fromUTF8(icu::StringPiece(a.data(), static_cast<int32_t>(a.size())));
    const icu::UnicodeString ub =
        icu::UnicodeString::fromUTF8(icu::StringPiece(b.data(), static_cast<int32_t>(b.size())));
    return numericalCompare(ua, ub);
}

bool NumericalLess::operator()(const std::string& a, const std::string& b) const {
    return numericalCompare(std::string_view(a), std::string_view(b)) < 0;
}

}  // namespace vane
