#include "core/recordings/wav_samples.h"

#include <algorithm>
#include <bit>
#include <cmath>
#include <cstring>
#include <limits>
#include <optional>

#include "core/files/input_file.h"
#include "core/files/shown_content.h"

namespace vane {
namespace {

constexpr std::uint16_t kPcm = 1;
constexpr std::uint16_t kIeeeFloat = 3;
constexpr std::uint16_t kExtensible = 0xFFFE;

std::uint32_t littleEndian(std::string_view bytes, std::size_t at, std::size_t width) {
    std::uint32_t value = 0;
    for (std::size_t i = 0; i < width; ++i) {
        value |= static_cast<std::uint32_t>(static_cast<unsigned char>(bytes[at + i])) << (8 * i);
    }
    return value;
}

// Where the format and the sound are in the file, every offset checked against its length.
struct WavLayout {
    std::size_t formatAt = 0;  // of the fmt chunk's body
    std::uint16_t format = 0;
    std::uint16_t channels = 0;
    std::uint32_t sampleRate = 0;
    std::uint16_t bitsPerSample = 0;
    std::size_t dataAt = 0;
    std::size_t dataBytes = 0;
    bool truncated = false;
};

Outcome<WavLayout> wavLayout(std::string_view bytes, const std::string& shownName) {
    const auto refuse = [&](const std::string& why) {
        return Problem{.title = "Cannot read recording", .message = why, .file = shownName};
    };
    if (bytes.size() < 12 || bytes.substr(0, 4) != "RIFF" || bytes.substr(8, 4) != "WAVE") {
        return refuse("is not a RIFF/WAVE file.");
    }
    WavLayout layout;
    bool haveFormat = false;
    bool haveData = false;
    for (std::size_t at = 12; at + 8 <= bytes.size() && !haveData;) {
        const std::string_view id = bytes.substr(at, 4);
        const std::size_t size = littleEndian(bytes, at + 4, 4);
        const std::size_t body = at + 8;
        const std::size_t available = bytes.size() - body;
        if (id == "data") {
            if (!haveFormat) {
                return refuse("has its sound before its format (no \"fmt \" chunk first).");
            }
            layout.dataAt = body;
            layout.dataBytes = std::min(size, available);
            layout.truncated = size > available;
            haveData = true;
            break;
        }
        if (size > available) {
            return refuse("is damaged: its \"" + printable(id) + "\" chunk runs past the end.");
        }
        if (id == "fmt ") {
            if (size < 16) {
                return refuse("is damaged: its format chunk is " + std::to_string(size) +
                              " bytes long, less than 16.");
            }
            layout.formatAt = body;
            layout.format = static_cast<std::uint16_t>(littleEndian(bytes, body, 2));
            layout.channels = static_cast<std::uint16_t>(littleEndian(bytes, body + 2, 2));
            layout.sampleRate = littleEndian(bytes, body + 4, 4);
            layout.bitsPerSample = static_cast<std::uint16_t>(littleEndian(bytes, body + 14, 2));
            if (layout.format == kExtensible && size >= 26) {
                layout.format = static_cast<std::uint16_t>(littleEndian(bytes, body + 24, 2));
            }
            haveFormat = true;
        }
        at = body + size + (size % 2);  // chunks are padded to an even length
    }
    if (!haveFormat) {
        return refuse("has no format chunk (\"fmt \").");
    }
    if (!haveData) {
        return refuse("has no sound (no \"data\" chunk).");
    }
    if (layout.sampleRate == 0) {
        return refuse("gives a sample rate of 0.");
    }
    if (layout.channels == 0) {
        return refuse("gives 0 channels.");
    }
    const bool integer =
        layout.format == kPcm && (layout.bitsPerSample == 8 || layout.bitsPerSample == 16 ||
                                  layout.bitsPerSample == 24 || layout.bitsPerSample == 32);
    const bool floating =
        layout.format == kIeeeFloat && (layout.bitsPerSample == 32 || layout.bitsPerSample == 64);
    if (!integer && !floating) {
        return refuse("holds sound Vane cannot read (format " + std::to_string(layout.format) +
                      ", " + std::to_string(layout.bitsPerSample) +
                      " bits); it reads integer PCM of 8, 16, 24 or 32 bits and floats of 32 or "
                      "64 bits.");
    }
    return layout;
}

float sampleAt(std::string_view bytes, std::size_t at, const WavLayout& layout) {
    const std::size_t width = layout.bitsPerSample / 8u;
    if (layout.format == kIeeeFloat) {
        if (width == 4) {
            return std::bit_cast<float>(littleEndian(bytes, at, 4));
        }
        const std::uint64_t bits =
            littleEndian(bytes, at, 4) |
            (static_cast<std::uint64_t>(littleEndian(bytes, at + 4, 4)) << 32);
        return static_cast<float>(std::bit_cast<double>(bits));
    }
    const std::uint32_t raw = littleEndian(bytes, at, width);
    if (width == 1) {
        return (static_cast<float>(raw) - 128.0f) / 128.0f;  // 8-bit sound is unsigned
    }
    // Sign-extended by shifting the top byte into place.
    const auto value = static_cast<std::int32_t>(raw << (32 - 8 * width)) >> (32 - 8 * width);
    return static_cast<float>(value) / static_cast<float>(1u << (8 * width - 1));
}

}  // namespace

Outcome<WavSamples> parseWavSamples(std::string_view bytes, const std::string& shownName) {
    Outcome<WavLayout> found = wavLayout(bytes, shownName);
    if (!found) {
        return std::move(found).error();
    }
    const WavLayout& layout = *found;
    WavSamples wav;
    wav.sampleRate = layout.sampleRate;
    wav.channels = layout.channels;
    wav.bitsPerSample = layout.bitsPerSample;
    wav.floatingPoint = layout.format == kIeeeFloat;
    const std::size_t frameBytes = std::size_t{layout.channels} * (layout.bitsPerSample / 8u);
    const std::size_t frames = layout.dataBytes / frameBytes;
    wav.truncated = layout.truncated || frames * frameBytes != layout.dataBytes;
    wav.samples.resize(frames);
    for (std::size_t i = 0; i < frames; ++i) {
        const float sample = sampleAt(bytes, layout.dataAt + i * frameBytes, layout);
        // A float file may hold anything; what is no number or out of range draws as silence.
        wav.samples[i] = std::isfinite(sample) ? std::clamp(sample, -1.0f, 1.0f) : 0.0f;
    }
    return wav;
}

Outcome<WavSamples> readWavSamples(const std::filesystem::path& file) {
    const Outcome<std::string> bytes = readInputFile(file, "recording");
    if (!bytes) {
        return bytes.error();
    }
    return parseWavSamples(*bytes, file.string());
}

Outcome<std::string> timeExpandedWav(std::string_view bytes, std::uint32_t factor,
                                     const std::string& shownName) {
    Outcome<WavLayout> found = wavLayout(bytes, shownName);
    if (!found) {
        return std::move(found).error();
    }
    if (factor == 0 || found->sampleRate / factor == 0) {
        return Problem{.title = "Cannot slow down recording",
                       .message = "has a sample rate of " + std::to_string(found->sampleRate) +
                                  ", too low to be played " + std::to_string(factor) +
                                  " times slower.",
                       .file = shownName};
    }
    std::string expanded(bytes);
    const auto write = [&](std::size_t at, std::uint32_t value) {
        for (std::size_t i = 0; i < 4; ++i) {
            expanded[at + i] = static_cast<char>((value >> (8 * i)) & 0xFF);
        }
    };
    write(found->formatAt + 4, found->sampleRate / factor);
    write(found->formatAt + 8, littleEndian(bytes, found->formatAt + 8, 4) / factor);
    return expanded;
}

}  // namespace vane
