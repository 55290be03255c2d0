#pragma once

#include <cstdint>
#include <optional>
#include <string>
#include <string_view>
#include <vector>

namespace vane {

// A text encoding by its platform string-encoding number (4 UTF-8, 12 Windows Latin 1, 30 Mac OS
// Roman, ...). Byte-order variants and other converted encodings have numbers of 256 and more.
using StringEncoding = std::uint32_t;

inline constexpr StringEncoding kUtf8Encoding = 4;
inline constexpr StringEncoding kUtf16Encoding = 10;
inline constexpr StringEncoding kIsoLatin1Encoding = 5;
inline constexpr StringEncoding kWindowsLatin1Encoding = 12;
inline constexpr StringEncoding kMacOSRomanEncoding = 30;  // what a failed detection falls back to
inline constexpr StringEncoding kUtf32Encoding = 0x8c000100;

// What the encoding chooser lists: numbers below 256 only.
inline constexpr StringEncoding kLargestOfferedEncoding = 255;

struct EncodingEntry {
    std::string displayName;
    std::int32_t number = 0;
    friend bool operator==(const EncodingEntry&, const EncodingEntry&) = default;
};

// The encodings offered to the user, in the table's order, numbers below 256 only; not sorted,
// duplicate names kept. Built afresh on every call.
std::vector<EncodingEntry> allAvailableEncodings();

// The number of the last entry of allAvailableEncodings() whose display name equals `name`
// exactly, or 0 when none does.
std::int32_t numberFromLocalizedStringEncodingName(std::string_view name);
// The same over a given list.
std::int32_t numberFromLocalizedStringEncodingName(const std::vector<EncodingEntry>& entries,
                                                   std::string_view name);

// English display name of any encoding the table knows (offered or not), or nothing.
std::optional<std::string> encodingDisplayName(StringEncoding encoding);

// The ICU converter that reads `encoding`, or nothing when the table does not know it.
std::optional<std::string> encodingConverterName(StringEncoding encoding);

// The table's number for an ICU charset name (as the charset detector gives them), or nothing.
std::optional<StringEncoding> encodingForCharsetName(std::string_view charsetName);

}  // namespace vane
