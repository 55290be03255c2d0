#include "core/project/toml_guard.h"

#include <cstdint>
#include <cstdio>

namespace vane {
namespace {

// Whether the reader's test for white space beyond ASCII has no answer for `c`: it sorts code
// points from U+00A0 into blocks of 0x3FA and for blocks 0, 11 and 63 answers only a few.
bool unanswered(char32_t c) {
    if (c <= 0xA0 || c > 0xFEFF || c == 0x3000 || c == 0xFEFF) {
        return false;
    }
    const std::uint64_t block = (static_cast<std::uint64_t>(c) - 0xA0) / 0x3FA;
    return block == 0 || block == 11 || block == 63;
}

// The code point of the two- or three-byte UTF-8 sequence at `at` and its length when the
// reader's test has no answer for it; none otherwise.
std::size_t unansweredLetter(std::string_view text, std::size_t at, char32_t& letter) {
    const auto byte = [&](std::size_t index) {
        return at + index < text.size() ? static_cast<unsigned char>(text[at + index]) : 0u;
    };
    const auto follows = [&](std::size_t index) { return (byte(index) & 0xC0) == 0x80; };
    std::size_t length = 0;
    if ((byte(0) & 0xE0) == 0xC0 && follows(1)) {
        letter = static_cast<char32_t>(((byte(0) & 0x1F) << 6) | (byte(1) & 0x3F));
        length = 2;
    } else if ((byte(0) & 0xF0) == 0xE0 && follows(1) && follows(2)) {
        letter = static_cast<char32_t>(((byte(0) & 0x0F) << 12) | ((byte(1) & 0x3F) << 6) |
                                       (byte(2) & 0x3F));
        length = 3;
    }
    return length > 0 && unanswered(letter) ? length : 0;
}

// No escape starts with such a letter, and the reader tests it for white space (a line-ending
// backslash) before it says so.
Problem escapedLetter(std::string_view text, std::size_t at, const std::string& fileName,
                      std::size_t line) {
    char32_t letter = 0;
    const std::size_t length = unansweredLetter(text, at, letter);
    return Problem{.title = "Problem with project",
                   .message = "\"\\" + std::string(text.substr(at, length)) +
                              "\" is no escape; write \"\\\\\" for a backslash",
                   .file = fileName,
                   .line = line,
                   .kind = ProblemKind::badInput};
}

enum class Place { bare, basic, multiBasic, literal, multiLiteral, comment };

}  // namespace

Outcome<std::string> guardedToml(std::string_view text, const std::string& fileName) {
    std::string guarded;
    guarded.reserve(text.size());
    Place place = Place::bare;
    std::size_t line = 1;
    for (std::size_t at = 0; at < text.size(); ++at) {
        const char c = text[at];
        const std::string_view rest = text.substr(at);
        char32_t letter = 0;
        if (const std::size_t length = unansweredLetter(text, at, letter); length > 0) {
            if (place == Place::basic || place == Place::multiBasic) {
                char escape[8];
                std::snprintf(escape, sizeof escape, "\\u%04X", static_cast<unsigned>(letter));
                guarded += escape;
            } else if (place == Place::comment) {
                guarded += '?';
            } else {
                return Problem{.title = "Problem with project",
                               .message = "a letter such as \"" +
                                          std::string(text.substr(at, length)) +
                                          "\" only inside a \"...\" text; put the key or text "
                                          "in double quotes",
                               .file = fileName,
                               .line = line,
                               .kind = ProblemKind::badInput};
            }
            at += length - 1;
            continue;
        }
        guarded += c;
        if (c == '\n') {
            ++line;
            if (place == Place::comment || place == Place::basic || place == Place::literal) {
                place = Place::bare;  // a single-line text ends here, or the parser says so
            }
            continue;
        }
        switch (place) {
            case Place::bare:
                if (rest.starts_with("\"\"\"")) {
                    place = Place::multiBasic;
                    guarded += "\"\"";
                    at += 2;
                } else if (rest.starts_with("'''")) {
                    place = Place::multiLiteral;
                    guarded += "''";
                    at += 2;
                } else if (c == '"') {
                    place = Place::basic;
                } else if (c == '\'') {
                    place = Place::literal;
                } else if (c == '#') {
                    place = Place::comment;
                }
                break;
            case Place::basic:
                if (c == '\\' && at + 1 < text.size() && text[at + 1] != '\n') {
                    if (unansweredLetter(text, at + 1, letter) > 0) {
                        return escapedLetter(text, at + 1, fileName, line);
                    }
                    guarded += text[++at];  // an escaped quote or backslash
                } else if (c == '"') {
                    place = Place::bare;
                }
                break;
            case Place::multiBasic:
                if (c == '\\' && at + 1 < text.size() && text[at + 1] != '\n') {
                    if (unansweredLetter(text, at + 1, letter) > 0) {
                        return escapedLetter(text, at + 1, fileName, line);
                    }
                    guarded += text[++at];
                } else if (rest.starts_with("\"\"\"")) {
                    place = Place::bare;
                    guarded += "\"\"";
                    at += 2;
                }
                break;
            case Place::literal:
                if (c == '\'') {
                    place = Place::bare;
                }
                break;
            case Place::multiLiteral:
                if (rest.starts_with("'''")) {
                    place = Place::bare;
                    guarded += "''";
                    at += 2;
                }
                break;
            case Place::comment:
                break;
        }
    }
    return guarded;
}

}  // namespace vane
