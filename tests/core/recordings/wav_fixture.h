#pragma once

#include <algorithm>
#include <cmath>
#include <cstdint>
#include <filesystem>
#include <fstream>
#include <string>
#include <string_view>
#include <vector>

namespace vane::testing {

// Small WAV files as recorders write them: a format chunk, a little silence, and optionally a
// GUANO chunk after the audio.
class WavFixture {
  public:
    static std::string chunk(std::string_view id, std::string_view data,
                             std::uint32_t declaredSize) {
        std::string bytes(id);
        bytes += littleEndian32(declaredSize);
        bytes += data;
        if (data.size() % 2 == 1) {
            bytes += '\0';
        }
        return bytes;
    }
    static std::string chunk(std::string_view id, std::string_view data) {
        return chunk(id, data, static_cast<std::uint32_t>(data.size()));
    }

    static std::string wav(const std::string& extraChunks) {
        const std::string format("\x01\x00\x01\x00\x80\xBB\x00\x00\x00\x77\x01\x00\x02\x00\x10\x00",
                                 16);
        const std::string body =
            "WAVE" + chunk("fmt ", format) + chunk("data", std::string(64, '\0')) + extraChunks;
        return "RIFF" + littleEndian32(static_cast<std::uint32_t>(body.size())) + body;
    }

    // 16-bit mono sound at `sampleRate`, `before` and `after` the chunks around format and data,
    // as different recorders order them.
    static std::string soundWav(std::uint32_t sampleRate, const std::vector<float>& samples,
                                const std::string& before = {}, const std::string& after = {}) {
        std::string format;
        format += littleEndian16(1) + littleEndian16(1) + littleEndian32(sampleRate) +
                  littleEndian32(sampleRate * 2) + littleEndian16(2) + littleEndian16(16);
        std::string data;
        for (const float sample : samples) {
            const long value = std::lround(std::clamp(sample, -1.0f, 1.0f) * 32767.0f);
            data += littleEndian16(static_cast<std::uint16_t>(static_cast<std::int16_t>(value)));
        }
        const std::string body =
            "WAVE" + before + chunk("fmt ", format) + chunk("data", data) + after;
        return "RIFF" + littleEndian32(static_cast<std::uint32_t>(body.size())) + body;
    }

    static std::string guanoWav(std::string_view guanoText) {
        return wav(chunk("guan", guanoText));
    }

    static void write(const std::filesystem::path& file, const std::string& bytes) {
        std::filesystem::create_directories(file.parent_path());
        std::ofstream(file, std::ios::binary) << bytes;
    }

    static std::string littleEndian16(std::uint16_t value) {
        return {static_cast<char>(value & 0xFFu), static_cast<char>(value >> 8)};
    }
    static std::string littleEndian32(std::uint32_t value) {
        std::string bytes;
        for (int i = 0; i < 4; ++i) {
            bytes += static_cast<char>((value >> (8 * i)) & 0xFFu);
        }
        return bytes;
    }
};

}  // namespace vane::testing
