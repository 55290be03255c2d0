#pragma once

#include <string>
#include <string_view>

#include "core/outcome/outcome.h"

namespace vane {

// The toml++ of the distributions (3.3) reaches an unreachable branch, undefined behaviour, when
// it meets a letter from U+00A1 to U+0499 (ä, ö, ü, ß among them), U+2F6E to U+3367 or U+FB06
// to U+FF00 where it looks for white space. This answers the text with each such letter of a "..."
// text written as its \uXXXX escape (the same text once read) and of a comment as '?'; one
// elsewhere (a bare key, a '...' text, after a backslash) is refused with its line. Invalid UTF-8
// is left for the parser to refuse.
Outcome<std::string> guardedToml(std::string_view text, const std::string& fileName);

}  // namespace vane
