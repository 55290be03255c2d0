#pragma once

#include <cstdint>
#include <filesystem>
#include <string>
#include <string_view>
#include <vector>

#include "core/outcome/outcome.h"

namespace vane {

// The sound of a WAVE file: its first channel as numbers from -1 to 1, and how it was stored.
struct WavSamples {
    std::uint32_t sampleRate = 0;  // per second, never 0
    std::uint16_t channels = 0;
    std::uint16_t bitsPerSample = 0;
    bool floatingPoint = false;
    // The data chunk ran past the end of the file (a recorder whose battery ran out): the whole
    // frames that are there were read.
    bool truncated = false;
    std::vector<float> samples;

    double seconds() const { return static_cast<double>(samples.size()) / sampleRate; }
};

// Reads integer PCM of 8, 16, 24 or 32 bits and IEEE floats of 32 or 64 bits, plain or in the
// extensible format; anything else, and a file whose chunks cannot be walked, is refused with
// what is wrong, said of the file `shownName` ("<file>: is not a RIFF/WAVE file").
Outcome<WavSamples> parseWavSamples(std::string_view bytes, const std::string& shownName);
Outcome<WavSamples> readWavSamples(const std::filesystem::path& file);

// The same file, every byte kept but the sample and byte rates divided by `factor`: a player then
// plays the recording that many times slower and lower, bat calls within a person's hearing.
Outcome<std::string> timeExpandedWav(std::string_view bytes, std::uint32_t factor,
                                     const std::string& shownName);

}  // namespace vane
