#pragma once

#include <cstddef>
#include <span>
#include <vector>

namespace vane {

struct SpectrogramOptions {
    std::size_t windowSize = 512;      // samples of each transform; a power of two is fastest
    double highestFrequency = 150000;  // Hz; rows above it (or above half the rate) are left out
    // At most this many columns: a longer recording's frames are merged, each column keeping the
    // loudest of its frames so that a short call never falls between columns. 0: no limit.
    std::size_t maxColumns = 0;
};

// Loudness over time and frequency. Frames of `windowSize` samples, half overlapping, each under
// a Hann window; a row per frequency bin from 0 Hz up.
struct Spectrogram {
    std::size_t columns = 0;
    std::size_t rows = 0;
    double secondsPerColumn = 0.0;
    double hertzPerRow = 0.0;
    // Decibels relative to a full-scale sine, column by column (column * rows + row).
    std::vector<float> decibels;

    float at(std::size_t column, std::size_t row) const { return decibels[column * rows + row]; }
};

// The short-time Fourier transform of `samples` (from -1 to 1) taken `sampleRate` times a second.
// Empty when there are no samples or the rate is not positive.
Spectrogram spectrogram(std::span<const float> samples, double sampleRate,
                        const SpectrogramOptions& options = {});

}  // namespace vane
