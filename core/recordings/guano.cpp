#include "core/recordings/guano.h"

#include <charconv>
#include <cmath>

#include "core/files/shown_content.h"
#include "core/import/text_reading.h"
#include "core/recordings/riff_chunks.h"
#include "core/text/ascii.h"
#include "core/text/utf8.h"

namespace vane {
namespace {

// Recorders pad their GUANO text with NUL bytes.
constexpr std::string_view kGuanoBlanks{" \t\r\n\0", 5};

std::optional<double> readNumber(std::string_view& text) {
    text = trimmed(text, kGuanoBlanks);
    double value = 0.0;
    const auto [end, error] = std::from_chars(text.data(), text.data() + text.size(), value);
    if (error != std::errc{} || !std::isfinite(value)) {
        return std::nullopt;
    }
    text.remove_prefix(static_cast<std::size_t>(end - text.data()));
    return value;
}

std::optional<GeoPosition> parsePosition(std::string_view text) {
    const std::optional<double> latitude = readNumber(text);
    const std::optional<double> longitude = readNumber(text);
    if (!latitude || !longitude || !trimmed(text, kGuanoBlanks).empty() ||
        std::abs(*latitude) > 90.0 || std::abs(*longitude) > 180.0) {
        return std::nullopt;
    }
    return GeoPosition{*latitude, *longitude};
}

// GUANO is UTF-8; text that is not was written by older software in Windows Latin 1 (or, where
// that leaves a byte undefined, ISO Latin 1, which reads every byte).
std::string asUtf8(std::string_view text) {
    if (isValidUtf8(text)) {
        return std::string(text);
    }
    Outcome<DecodedText> read = decodeInEncoding(text, kWindowsLatin1Encoding);
    if (!read) {
        read = decodeInEncoding(text, kIsoLatin1Encoding);
    }
    return read ? std::move(read->text) : std::string();
}

}  // namespace

GuanoMetadata parseGuano(std::string_view bytes) {
    GuanoMetadata metadata;
    const std::string utf8 = asUtf8(bytes);
    std::string_view text = utf8;
    // A NUL ends a line as it ends the padding: no field keeps one.
    constexpr std::string_view kLineEnds{"\n\0", 2};
    while (!text.empty()) {
        const std::size_t end = text.find_first_of(kLineEnds);
        const std::string_view line = text.substr(0, end);
        text.remove_prefix(end == std::string_view::npos ? text.size() : end + 1);
        const std::size_t colon = line.find(':');
        if (colon == std::string_view::npos) {
            continue;
        }
        const std::string_view key = trimmed(line.substr(0, colon), kGuanoBlanks);
        const std::string_view value = trimmed(line.substr(colon + 1), kGuanoBlanks);
        if (!key.empty()) {
            metadata.fields.insert_or_assign(std::string(key), std::string(value));
        }
    }
    if (const auto stamp = metadata.fields.find("Timestamp"); stamp != metadata.fields.end()) {
        metadata.timestamp = parseIsoTimestamp(stamp->second);
        if (!metadata.timestamp) {
            metadata.problems.push_back("GUANO Timestamp \"" + shownContent(stamp->second) +
                                        "\" is not an ISO 8601 time stamp");
        }
    }
    if (const auto position = metadata.fields.find("Loc Position");
        position != metadata.fields.end()) {
        metadata.position = parsePosition(position->second);
        if (!metadata.position) {
            metadata.problems.push_back("GUANO Loc Position \"" + shownContent(position->second) +
                                        "\" is not a latitude and longitude");
        }
    }
    return metadata;
}

GuanoFileResult readGuanoFile(const std::filesystem::path& file) {
    RiffChunkSearch chunk = findRiffChunk(file, "guan");
    if (!chunk) {
        return std::move(chunk).error();
    }
    if (!*chunk) {
        return std::optional<GuanoMetadata>();
    }
    return std::optional(parseGuano(**chunk));
}

}  // namespace vane
