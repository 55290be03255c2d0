// A WAVE file's sound as the review window reads it, its spectrogram and its slowed-down copy.
#include <cmath>
#include <cstddef>
#include <cstdint>
#include <cstdlib>
#include <string>
#include <string_view>

#include "core/recordings/wav_samples.h"
#include "core/signal/spectrogram.h"

extern "C" int LLVMFuzzerTestOneInput(const std::uint8_t* data, std::size_t size) {
    const std::string_view bytes(reinterpret_cast<const char*>(data), size);
    const vane::Outcome<vane::WavSamples> wav = vane::parseWavSamples(bytes, "fuzz.wav");
    // A refused file is always said to be refused in words.
    if (!wav) {
        if (wav.error().message.empty()) {
            std::abort();
        }
        return 0;
    }
    for (const float sample : wav->samples) {
        if (!(sample >= -1.0f && sample <= 1.0f)) {
            std::abort();
        }
    }
    const vane::Spectrogram picture =
        vane::spectrogram(wav->samples, wav->sampleRate, {64, 150000, 32});
    if (picture.decibels.size() != picture.columns * picture.rows) {
        std::abort();
    }
    for (const float db : picture.decibels) {
        if (!std::isfinite(db)) {
            std::abort();
        }
    }
    // Slowed down, the same sound at a tenth of the rate.
    const vane::Outcome<std::string> slow = vane::timeExpandedWav(bytes, 10, "fuzz.wav");
    if (slow) {
        const vane::Outcome<vane::WavSamples> again = vane::parseWavSamples(*slow, "slow.wav");
        if (!again || again->samples.size() != wav->samples.size() ||
            again->sampleRate != wav->sampleRate / 10) {
            std::abort();
        }
    }
    return 0;
}
