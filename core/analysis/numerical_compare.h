#pragma once

#include <unicode/unistr.h>

#include <string>
#include <string_view>

namespace vane {

// Orders texts so that embedded numbers compare by value: "3.000000" < "12.000000",
// "file2" < "file10". Runs of non-digits compare by UTF-16 code unit; runs of decimal
// digits (any script) compare as signed 64-bit integers. White space and line breaks in
// front of each run are ignored. Returns -1, 0 or +1.
int numericalCompare(const icu::UnicodeString& a, const icu::UnicodeString& b);

// Same ordering for UTF-8 text; malformed sequences compare as U+FFFD.
int numericalCompare(std::string_view a, std::string_view b);

// Without this, two string literals would convert equally well to either overload above.
inline int numericalCompare(const char* a, const char* b) {
    return numericalCompare(std::string_view(a), std::string_view(b));
}

// Sort comparator for UTF-8 keys, ascending by numericalCompare.
struct NumericalLess {
    bool operator()(const std::string& a, const std::string& b) const;
};

}  // namespace vane
