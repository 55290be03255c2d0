#pragma once

#include <cstdint>
#include <filesystem>
#include <fstream>
#include <string>
#include <string_view>

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

    static std::string guanoWav(std::string_view guanoText) {
        return wav(chunk("guan", guanoText));
    }

    static void write(const std::filesystem::path& file, const std::string& bytes) {
        std::filesystem::create_directories(file.parent_path());
        std::ofstream(file, std::ios::binary) << bytes;
    }

  private:
    static std::string littleEndian32(std::uint32_t value) {
        std::string bytes;
        for (int i = 0; i < 4; ++i) {
            bytes += static_cast<char>((value >> (8 * i)) & 0xFFu);
        }
        return bytes;
    }
};

}  // namespace vane::testing
