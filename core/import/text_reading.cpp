#include "core/import/text_reading.h"

#include <unicode/ucnv.h>
#include <unicode/ucsdet.h>
#include <unicode/utf8.h>

#include <algorithm>
#include <array>
#include <cstdint>
#include <cstring>
#include <limits>
#include <memory>
#include <system_error>

#include "core/files/input_file.h"
#include "core/text/utf8.h"

namespace vane {
namespace {

constexpr std::string_view kUtf8Mark = "\xEF\xBB\xBF";
constexpr std::string_view kUtf16BigEndianMark = "\xFE\xFF";
constexpr std::string_view kUtf16LittleEndianMark = "\xFF\xFE";
constexpr std::string_view kUtf32BigEndianMark{"\x00\x00\xFE\xFF", 4};
constexpr std::string_view kUtf32LittleEndianMark{"\xFF\xFE\x00\x00", 4};

// Unicode answers of the detector without a byte-order mark and the multi-byte Japanese ones
// are weak guesses at low confidence; taken at face value they turn plain European text into
// CJK characters.
constexpr int32_t kLeastConfidenceForWideGuesses = 50;

struct ConverterCloser {
    void operator()(UConverter* converter) const { ucnv_close(converter); }
};
struct DetectorCloser {
    void operator()(UCharsetDetector* detector) const { ucsdet_close(detector); }
};

Problem noText(std::string why) {
    return Problem{.message = std::move(why), .kind = ProblemKind::unreadable};
}

// `bytes` read by `from` (which stops at the first byte it cannot read) as UTF-8, converted piece
// by piece into the result, so that a large file is never held as UTF-16 (twice its size, and
// refused by ICU's strings beyond a billion characters). Nothing when a byte cannot be read.
std::optional<std::string> convertedToUtf8(std::string_view bytes, UConverter& from,
                                           UConverter& utf8) {
    std::string text;
    // Enough for any single-byte encoding, whose bytes above 0x7F become at most three.
    std::size_t high = 0;
    for (const char c : bytes) {
        high += static_cast<unsigned char>(c) >> 7;
    }
    text.reserve(bytes.size() + 2 * high);
    std::array<UChar, 32 * 1024> pivot{};
    UChar* pivotSource = pivot.data();
    UChar* pivotTarget = pivot.data();
    std::array<char, 64 * 1024> piece{};
    const char* source = bytes.data();
    for (bool first = true;; first = false) {
        char* target = piece.data();
        UErrorCode status = U_ZERO_ERROR;
        ucnv_convertEx(&utf8, &from, &target, piece.data() + piece.size(), &source,
                       bytes.data() + bytes.size(), pivot.data(), &pivotSource, &pivotTarget,
                       pivot.data() + pivot.size(), first, true, &status);
        text.append(piece.data(), static_cast<std::size_t>(target - piece.data()));
        if (status == U_BUFFER_OVERFLOW_ERROR) {
            continue;
        }
        if (U_FAILURE(status)) {
            return std::nullopt;
        }
        return text;
    }
}

// For an encoding of one byte a character, the UTF-8 of each byte as ICU reads it (length 0 for a
// byte that does not read), so that a large file is converted by table, several times faster
// than through UTF-16; nothing for an encoding of more bytes a character.
struct ByteTable {
    std::array<std::array<char, 4>, 256> utf8{};
    std::array<std::uint8_t, 256> length{};
};
std::optional<ByteTable> singleByteTable(UConverter& from, UConverter& utf8) {
    if (ucnv_getMaxCharSize(&from) != 1) {
        return std::nullopt;
    }
    ByteTable table;
    for (std::size_t byte = 0; byte < table.length.size(); ++byte) {
        const char in = static_cast<char>(byte);
        const char* source = &in;
        std::array<char, 8> out{};
        char* target = out.data();
        UErrorCode status = U_ZERO_ERROR;
        ucnv_convertEx(&utf8, &from, &target, out.data() + out.size(), &source, &in + 1, nullptr,
                       nullptr, nullptr, nullptr, true, true, &status);
        const auto length = static_cast<std::size_t>(target - out.data());
        if (U_FAILURE(status) || length > table.utf8[byte].size()) {
            continue;
        }
        std::copy_n(out.begin(), length, table.utf8[byte].begin());
        table.length[byte] = static_cast<std::uint8_t>(length);
    }
    return table;
}

// `bytes` by table: nothing when one of them does not read.
std::optional<std::string> convertedByTable(std::string_view bytes, const ByteTable& table) {
    std::array<std::uint64_t, 256> counts{};
    for (const char c : bytes) {
        ++counts[static_cast<unsigned char>(c)];
    }
    std::size_t length = 0;
    for (std::size_t byte = 0; byte < counts.size(); ++byte) {
        if (counts[byte] > 0 && table.length[byte] == 0) {
            return std::nullopt;
        }
        length += counts[byte] * table.length[byte];
    }
    // Every byte writes four and moves on by its own length; the room for the last three goes.
    std::string text(length + 3, '\0');
    char* out = text.data();
    for (const char c : bytes) {
        const auto byte = static_cast<unsigned char>(c);
        std::memcpy(out, table.utf8[byte].data(), 4);
        out += table.length[byte];
    }
    text.resize(length);
    return text;
}

Outcome<DecodedText> decodeStrictly(std::string_view bytes, StringEncoding encoding,
                                    EncodingSource source) {
    const std::optional<std::string> converterName = encodingConverterName(encoding);
    if (!converterName) {
        return noText("unknown encoding " + std::to_string(encoding));
    }
    if (bytes.size() > static_cast<std::size_t>(std::numeric_limits<int32_t>::max())) {
        return noText("the file is too large to read as text");
    }
    if (encoding == kUtf8Encoding) {
        if (!isValidUtf8(bytes)) {
            return noText("the bytes are not valid UTF-8");
        }
        if (bytes.starts_with(kUtf8Mark)) {
            bytes.remove_prefix(kUtf8Mark.size());
        }
        return DecodedText{std::string(bytes), encoding, source};
    }

    UErrorCode status = U_ZERO_ERROR;
    const std::unique_ptr<UConverter, ConverterCloser> converter(
        ucnv_open(converterName->c_str(), &status));
    const std::unique_ptr<UConverter, ConverterCloser> utf8(ucnv_open("UTF-8", &status));
    if (U_FAILURE(status)) {
        return noText("no converter for " + *converterName + ": " + u_errorName(status));
    }
    ucnv_setToUCallBack(converter.get(), UCNV_TO_U_CALLBACK_STOP, nullptr, nullptr, nullptr,
                        &status);
    const std::optional<ByteTable> table = singleByteTable(*converter, *utf8);
    std::optional<std::string> text =
        table ? convertedByTable(bytes, *table) : convertedToUtf8(bytes, *converter, *utf8);
    if (!text) {
        return noText("the bytes are not valid in " + *encodingDisplayName(encoding));
    }
    return DecodedText{.text = std::move(*text), .encoding = encoding, .source = source};
}

// A text file never holds control characters other than tab, line breaks and form feed; a
// detector answer that produces them has misread the file (or the file is not text).
bool looksLikeText(std::string_view utf8) {
    const auto* s = reinterpret_cast<const uint8_t*>(utf8.data());
    const auto length = static_cast<int64_t>(utf8.size());
    const auto allowed = [](UChar32 c) {
        const bool allowedControl = c == '\t' || c == '\n' || c == '\r' || c == '\f';
        return !(c < 0 || (c < 0x20 && !allowedControl) || c == 0x7F || (c >= 0x80 && c <= 0x9F));
    };
    // Nearly every byte of a logger file is ASCII: those are looked up rather than decoded.
    static constexpr std::array<bool, 0x80> kAllowedAscii = [&] {
        std::array<bool, 0x80> table{};
        for (UChar32 c = 0; c < 0x80; ++c) {
            table[static_cast<std::size_t>(c)] = allowed(c);
        }
        return table;
    }();
    int64_t i = 0;
    while (i < length) {
        if (s[i] < 0x80) {
            if (!kAllowedAscii[s[i]]) {
                return false;
            }
            ++i;
            continue;
        }
        UChar32 c = 0;
        U8_NEXT(s, i, length, c);
        if (!allowed(c)) {
            return false;
        }
    }
    return true;
}

bool isWideGuess(StringEncoding encoding) {
    return encoding > kLargestOfferedEncoding || encoding == 3 || encoding == 8 || encoding == 21;
}

// The detector learns from the bytes above 0x7F and their neighbours; in a long logger file those
// lie on a few lines (a state text, a header), so it is shown the beginning and those lines
// rather than megabytes of digits. The verdict is checked against the whole file by decoding.
std::string detectorSample(std::string_view bytes) {
    constexpr std::size_t kBeginning = 64 * 1024;
    constexpr std::size_t kMostLines = 64 * 1024;
    std::string sample(bytes.substr(0, kBeginning));
    std::size_t start = std::min(bytes.size(), kBeginning);
    while (start < bytes.size() && sample.size() < kBeginning + kMostLines) {
        const std::size_t high = static_cast<std::size_t>(
            std::find_if(bytes.begin() + static_cast<std::ptrdiff_t>(start), bytes.end(),
                         [](char c) { return static_cast<unsigned char>(c) >= 0x80; }) -
            bytes.begin());
        if (high >= bytes.size()) {
            break;
        }
        const std::size_t lineStart = bytes.find_last_of("\r\n", high);
        const std::size_t from =
            lineStart == std::string_view::npos || lineStart < start ? start : lineStart + 1;
        const std::size_t lineEnd = bytes.find_first_of("\r\n", high);
        const std::size_t to =
            std::min({lineEnd == std::string_view::npos ? bytes.size() : lineEnd + 1, bytes.size(),
                      from + (kBeginning + kMostLines - sample.size())});
        sample.append(bytes.substr(from, to - from));
        start = std::max(to, high + 1);
    }
    return sample;
}

std::optional<DecodedText> decodeByDetector(std::string_view bytes) {
    UErrorCode status = U_ZERO_ERROR;
    const std::unique_ptr<UCharsetDetector, DetectorCloser> detector(ucsdet_open(&status));
    if (U_FAILURE(status)) {
        return std::nullopt;
    }
    const std::string sample = detectorSample(bytes);
    ucsdet_setText(detector.get(), sample.data(), static_cast<int32_t>(sample.size()), &status);
    int32_t matchCount = 0;
    const UCharsetMatch** matches = ucsdet_detectAll(detector.get(), &matchCount, &status);
    if (U_FAILURE(status) || matches == nullptr) {
        return std::nullopt;
    }
    for (int32_t i = 0; i < matchCount; ++i) {
        status = U_ZERO_ERROR;
        const char* name = ucsdet_getName(matches[i], &status);
        const int32_t confidence = ucsdet_getConfidence(matches[i], &status);
        if (U_FAILURE(status) || name == nullptr) {
            continue;
        }
        const std::optional<StringEncoding> encoding = encodingForCharsetName(name);
        if (!encoding || (isWideGuess(*encoding) && confidence < kLeastConfidenceForWideGuesses)) {
            continue;
        }
        Outcome<DecodedText> read = decodeStrictly(bytes, *encoding, EncodingSource::detected);
        if (read && looksLikeText(read->text)) {
            return std::move(read).value();
        }
    }
    return std::nullopt;
}

Outcome<std::string> readBytes(const std::filesystem::path& path) {
    std::error_code code;
    if (std::filesystem::is_directory(path, code)) {
        return noText(path.string() + ": is a directory, not a file");
    }
    Outcome<std::string> bytes = readInputFile(path, "text file");
    if (!bytes) {
        return noText(bytes.error().describe());
    }
    return bytes;
}

// The failure of reading `path`, named in its message.
Outcome<DecodedText> naming(const std::filesystem::path& path, Outcome<DecodedText> read) {
    if (!read) {
        return noText(path.string() + ": " + read.error().message);
    }
    return read;
}

// The read of `bytes` as UTF-8 without a copy, when that is what decoding them would give:
// `detecting` as decodeDetectingEncoding() reads them, else as decodeInEncoding() in UTF-8.
// Nothing when decoding must decide.
std::optional<DecodedText> takeAsUtf8(std::string& bytes, bool detecting) {
    const std::string_view view(bytes);
    if (bytes.size() > static_cast<std::size_t>(std::numeric_limits<int32_t>::max())) {
        return std::nullopt;
    }
    if (detecting &&
        (view.starts_with(kUtf32BigEndianMark) || view.starts_with(kUtf32LittleEndianMark) ||
         view.starts_with(kUtf16BigEndianMark) || view.starts_with(kUtf16LittleEndianMark) ||
         (!view.starts_with(kUtf8Mark) && view.find('\0') != std::string_view::npos))) {
        return std::nullopt;
    }
    if (!isValidUtf8(view)) {
        return std::nullopt;
    }
    if (view.starts_with(kUtf8Mark)) {
        bytes.erase(0, kUtf8Mark.size());
    }
    return DecodedText{std::move(bytes), kUtf8Encoding,
                       detecting ? EncodingSource::detected : EncodingSource::chosen};
}

}  // namespace

Outcome<DecodedText> decodeDetectingEncoding(std::string_view bytes) {
    // UTF-32 little-endian begins with the UTF-16 little-endian mark, so it is tried first.
    if (bytes.starts_with(kUtf32BigEndianMark) || bytes.starts_with(kUtf32LittleEndianMark)) {
        return decodeStrictly(bytes, kUtf32Encoding, EncodingSource::detected);
    }
    if (bytes.starts_with(kUtf16BigEndianMark) || bytes.starts_with(kUtf16LittleEndianMark)) {
        return decodeStrictly(bytes, kUtf16Encoding, EncodingSource::detected);
    }
    if (bytes.starts_with(kUtf8Mark)) {
        return decodeStrictly(bytes, kUtf8Encoding, EncodingSource::detected);
    }
    if (isValidUtf8(bytes)) {
        // Plain text in UTF-16 or UTF-32 without a mark is valid UTF-8 too, with a NUL beside
        // every letter; the detector tells those apart, and they hold no NUL once decoded.
        if (bytes.find('\0') != std::string_view::npos) {
            if (std::optional<DecodedText> read = decodeByDetector(bytes)) {
                return *std::move(read);
            }
        }
        return decodeStrictly(bytes, kUtf8Encoding, EncodingSource::detected);
    }
    if (std::optional<DecodedText> read = decodeByDetector(bytes)) {
        return *std::move(read);
    }
    return noText("the text encoding could not be detected");
}

Outcome<DecodedText> decodeInEncoding(std::string_view bytes, StringEncoding encoding) {
    return decodeStrictly(bytes, encoding, EncodingSource::chosen);
}

Outcome<DecodedText> decodeWithFallback(std::string_view bytes) {
    Outcome<DecodedText> read = decodeDetectingEncoding(bytes);
    if (read) {
        return read;
    }
    return decodeStrictly(bytes, kMacOSRomanEncoding, EncodingSource::fallback);
}

Outcome<DecodedText> readTextDetectingEncoding(const std::filesystem::path& path) {
    Outcome<std::string> bytes = readBytes(path);
    if (!bytes) {
        return std::move(bytes).error();
    }
    if (std::optional<DecodedText> read = takeAsUtf8(*bytes, true)) {
        return *std::move(read);
    }
    return decodeDetectingEncoding(*bytes);
}

Outcome<DecodedText> takeInEncoding(std::string bytes, StringEncoding encoding) {
    if (encoding == kUtf8Encoding) {
        if (std::optional<DecodedText> read = takeAsUtf8(bytes, false)) {
            return *std::move(read);
        }
    }
    return decodeInEncoding(bytes, encoding);
}

Outcome<DecodedText> takeWithFallback(std::string bytes) {
    if (std::optional<DecodedText> read = takeAsUtf8(bytes, true)) {
        return *std::move(read);
    }
    return decodeWithFallback(bytes);
}

Outcome<DecodedText> readTextInEncoding(const std::filesystem::path& path,
                                        StringEncoding encoding) {
    Outcome<std::string> bytes = readBytes(path);
    if (!bytes) {
        return std::move(bytes).error();
    }
    return naming(path, takeInEncoding(*std::move(bytes), encoding));
}

Outcome<DecodedText> readTextWithFallback(const std::filesystem::path& path) {
    Outcome<std::string> bytes = readBytes(path);
    if (!bytes) {
        return std::move(bytes).error();
    }
    return naming(path, takeWithFallback(*std::move(bytes)));
}

}  // namespace vane
