#include "core/project/toml_guard.h"

#include <cstdio>

namespace vane {
namespace {

// The code point of the UTF-8 sequence at `at` and its length, for the two-byte sequences that
// hold every letter concerned; none for anything else.
bool twoByteLetter(std::string_view text, std::size_t at, char32_t& letter) {
    if (at + 1 >= text.size()) {
        return false;
    }
    const auto lead = static_cast<unsigned char>(text[at]);
    const auto next = static_cast<unsigned char>(text[at + 1]);
    if ((lead & 0xE0) != 0xC0 || (next & 0xC0) != 0x80) {
        return false;
    }
    letter = static_cast<char32_t>(((lead & 0x1F) << 6) | (next & 0x3F));
    return letter >= 0xA1 && letter <= 0x499;
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
        if (twoByteLetter(text, at, letter)) {
            if (place == Place::basic || place == Place::multiBasic) {
                char escape[8];
                std::snprintf(escape, sizeof escape, "\\u%04X", static_cast<unsigned>(letter));
                guarded += escape;
            } else if (place == Place::comment) {
                guarded += '?';
            } else {
                return Problem{.title = "Problem with project",
                               .message = "a letter such as \"" + std::string(text.substr(at, 2)) +
                                          "\" only inside a \"...\" text; put the key or text "
                                          "in double quotes",
                               .file = fileName,
                               .line = line,
                               .kind = ProblemKind::badInput};
            }
            ++at;
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
                    guarded += text[++at];  // an escaped quote or backslash
                } else if (c == '"') {
                    place = Place::bare;
                }
                break;
            case Place::multiBasic:
                if (c == '\\' && at + 1 < text.size() && text[at + 1] != '\n') {
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
