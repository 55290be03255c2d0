#include "core/import/text_encodings.h"

#include <algorithm>
#include <array>

namespace vane {
namespace {

struct KnownEncoding {
    StringEncoding number;
    std::string_view displayName;
    std::string_view converterName;  // ICU's
};

// Only encodings ICU can convert are here: NEXTSTEP (2), Symbol (6) and non-lossy ASCII (7) have
// no ICU converter and are left out. The order is the order the chooser lists them in.
constexpr std::array<KnownEncoding, 19> kKnownEncodings = {{
    {1, "ASCII", "US-ASCII"},
    {3, "Japanese EUC", "EUC-JP"},
    {4, "UTF-8", "UTF-8"},
    {5, "ISO Latin 1", "ISO-8859-1"},
    {8, "Shift JIS", "windows-31j"},
    {9, "ISO Latin 2", "ISO-8859-2"},
    {10, "UTF-16", "UTF-16"},
    {11, "Windows Cyrillic", "windows-1251"},
    {12, "Windows Latin 1", "windows-1252"},
    {13, "Windows Greek", "windows-1253"},
    {14, "Windows Latin 5", "windows-1254"},
    {15, "Windows Latin 2", "windows-1250"},
    {21, "ISO 2022 Japanese", "ISO-2022-JP"},
    {30, "Mac OS Roman", "macintosh"},
    {kUtf32Encoding, "UTF-32", "UTF-32"},
    {0x90000100, "UTF-16 big-endian", "UTF-16BE"},
    {0x94000100, "UTF-16 little-endian", "UTF-16LE"},
    {0x98000100, "UTF-32 big-endian", "UTF-32BE"},
    {0x9c000100, "UTF-32 little-endian", "UTF-32LE"},
}};

struct CharsetName {
    std::string_view detectorName;
    StringEncoding number;
};

// The charset detector's names. ISO-8859-1 is read as Windows Latin 1: the two differ only in
// 0x80-0x9F, which hold control characters in ISO Latin 1 that no text file contains, and the
// detector says ISO-8859-1 for every Windows file that happens to use no character there.
constexpr std::array<CharsetName, 15> kCharsetNames = {{
    {"UTF-8", 4},
    {"UTF-16BE", 0x90000100},
    {"UTF-16LE", 0x94000100},
    {"UTF-32BE", 0x98000100},
    {"UTF-32LE", 0x9c000100},
    {"Shift_JIS", 8},
    {"ISO-2022-JP", 21},
    {"EUC-JP", 3},
    {"ISO-8859-1", kWindowsLatin1Encoding},
    {"ISO-8859-2", 9},
    {"windows-1250", 15},
    {"windows-1251", 11},
    {"windows-1252", kWindowsLatin1Encoding},
    {"windows-1253", 13},
    {"windows-1254", 14},
}};

const KnownEncoding* findEncoding(StringEncoding number) {
    const auto* found =
        std::find_if(kKnownEncodings.begin(), kKnownEncodings.end(),
                     [number](const KnownEncoding& e) { return e.number == number; });
    return found == kKnownEncodings.end() ? nullptr : found;
}

}  // namespace

std::vector<EncodingEntry> allAvailableEncodings() {
    std::vector<EncodingEntry> entries;
    for (const KnownEncoding& encoding : kKnownEncodings) {
        if (encoding.number <= kLargestOfferedEncoding) {
            entries.push_back(
                {std::string(encoding.displayName), static_cast<std::int32_t>(encoding.number)});
        }
    }
    return entries;
}

std::int32_t numberFromLocalizedStringEncodingName(std::string_view name) {
    return numberFromLocalizedStringEncodingName(allAvailableEncodings(), name);
}

std::int32_t numberFromLocalizedStringEncodingName(const std::vector<EncodingEntry>& entries,
                                                   std::string_view name) {
    std::int32_t number = 0;
    for (const EncodingEntry& entry : entries) {
        if (entry.displayName == name) {
            number = entry.number;
        }
    }
    return number;
}

std::optional<std::string> encodingDisplayName(StringEncoding encoding) {
    const KnownEncoding* known = findEncoding(encoding);
    if (known == nullptr) {
        return std::nullopt;
    }
    return std::string(known->displayName);
}

std::optional<std::string> encodingConverterName(StringEncoding encoding) {
    const KnownEncoding* known = findEncoding(encoding);
    if (known == nullptr) {
        return std::nullopt;
    }
    return std::string(known->converterName);
}

std::optional<StringEncoding> encodingForCharsetName(std::string_view charsetName) {
    for (const CharsetName& name : kCharsetNames) {
        if (name.detectorName == charsetName) {
            return name.number;
        }
    }
    return std::nullopt;
}

}  // namespace vane
