#pragma once

#include <filesystem>
#include <string>
#include <string_view>

#include "core/import/text_encodings.h"
#include "core/outcome/outcome.h"

namespace vane {

// How the encoding of a read text was settled.
enum class EncodingSource {
    detected,  // byte-order mark, valid UTF-8 or the charset detector
    fallback,  // detection failed; read as Mac OS Roman
    chosen,    // the caller named it
};

// A file's bytes as text: UTF-8, with the encoding they were read in. A read that fails says why
// in its problem's message, which is meant for the log line, not the alert.
struct DecodedText {
    std::string text{};
    StringEncoding encoding = 0;
    EncodingSource source = EncodingSource::detected;
};

// Decoding of bytes already in memory; the file readers below add only the reading.
// Detection: a byte-order mark gives UTF-8, UTF-16 or UTF-32; otherwise valid UTF-8 gives UTF-8;
// otherwise ICU's charset detector, when it names an encoding of the table and the bytes decode
// cleanly in it. No text when nothing fits.
Outcome<DecodedText> decodeDetectingEncoding(std::string_view bytes);
// Strict: bytes that are not valid in `encoding` give no text.
Outcome<DecodedText> decodeInEncoding(std::string_view bytes, StringEncoding encoding);
// Detection, then Mac OS Roman when detection gives no text.
Outcome<DecodedText> decodeWithFallback(std::string_view bytes);

// The same over a file. A file that cannot be opened, or a directory, gives no text and an error
// naming the file.
// The same as decodeInEncoding() and decodeWithFallback(), taking the bytes so that UTF-8 text
// becomes the result without a copy.
Outcome<DecodedText> takeInEncoding(std::string bytes, StringEncoding encoding);
Outcome<DecodedText> takeWithFallback(std::string bytes);

Outcome<DecodedText> readTextDetectingEncoding(const std::filesystem::path& path);
Outcome<DecodedText> readTextInEncoding(const std::filesystem::path& path, StringEncoding encoding);
Outcome<DecodedText> readTextWithFallback(const std::filesystem::path& path);

}  // namespace vane
