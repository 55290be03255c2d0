#pragma once

#include <initializer_list>
#include <string>
#include <string_view>

namespace vane {

// Column titles are compared and searched lower-cased by Unicode's rules, the same in every
// locale, so that "TEMP", "Temp" and "temp" are one title whatever the file's language.
std::string lowercaseTitle(std::string_view title);

// Whether the lower-cased title contains any of `keywords`, which are written in lower case.
bool titleContainsAny(std::string_view title, std::initializer_list<std::string_view> keywords);

}  // namespace vane
