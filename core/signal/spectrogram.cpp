#include "core/signal/spectrogram.h"

#include <fftw3.h>

#include <algorithm>
#include <cmath>
#include <complex>
#include <memory>
#include <numbers>

namespace vane {
namespace {

struct FftwFree {
    void operator()(void* memory) const { fftwf_free(memory); }
};
struct PlanDestroy {
    void operator()(fftwf_plan plan) const { fftwf_destroy_plan(plan); }
};
template <typename T>
using FftwBuffer = std::unique_ptr<T[], FftwFree>;
using Plan = std::unique_ptr<std::remove_pointer_t<fftwf_plan>, PlanDestroy>;

// Far below the quietest sound 16 bits hold, so that silence is a finite number of decibels.
constexpr float kPowerFloor = 1e-14f;

template <typename T>
FftwBuffer<T> fftwBuffer(std::size_t count) {
    return FftwBuffer<T>(static_cast<T*>(fftwf_malloc(sizeof(T) * count)));
}

}  // namespace

Spectrogram spectrogram(std::span<const float> samples, double sampleRate,
                        const SpectrogramOptions& options) {
    Spectrogram result;
    const std::size_t window = std::max<std::size_t>(options.windowSize, 2);
    if (samples.empty() || !(sampleRate > 0.0)) {
        return result;
    }
    const std::size_t hop = window / 2;
    const std::size_t frames =
        samples.size() <= window ? 1 : (samples.size() - window + hop - 1) / hop + 1;
    const std::size_t bins = window / 2 + 1;
    result.hertzPerRow = sampleRate / static_cast<double>(window);
    result.rows = std::min(
        bins,
        static_cast<std::size_t>(std::floor(options.highestFrequency / result.hertzPerRow)) + 1);
    result.columns = options.maxColumns > 0 ? std::min(frames, options.maxColumns) : frames;
    result.secondsPerColumn = static_cast<double>(frames) * static_cast<double>(hop) /
                              static_cast<double>(result.columns) / sampleRate;

    std::vector<float> hann(window);
    double windowSum = 0.0;
    for (std::size_t i = 0; i < window; ++i) {
        hann[i] = static_cast<float>(
            0.5 - 0.5 * std::cos(2.0 * std::numbers::pi * static_cast<double>(i) /
                                 static_cast<double>(window)));
        windowSum += hann[i];
    }
    // A full-scale sine in one bin has the magnitude windowSum / 2: that is 0 dB.
    const float scale = static_cast<float>(4.0 / (windowSum * windowSum));

    const FftwBuffer<float> in = fftwBuffer<float>(window);
    const FftwBuffer<fftwf_complex> out = fftwBuffer<fftwf_complex>(bins);
    // Planning is the one part of FFTW that is not thread-safe; the estimate needs no measuring.
    const Plan plan(
        fftwf_plan_dft_r2c_1d(static_cast<int>(window), in.get(), out.get(), FFTW_ESTIMATE));

    std::vector<float> power(result.columns * result.rows, 0.0f);
    for (std::size_t frame = 0; frame < frames; ++frame) {
        const std::size_t first = frame * hop;
        for (std::size_t i = 0; i < window; ++i) {
            const std::size_t at = first + i;
            in[i] = at < samples.size() ? samples[at] * hann[i] : 0.0f;
        }
        fftwf_execute(plan.get());
        const std::size_t column = frame * result.columns / frames;
        float* cells = power.data() + column * result.rows;
        for (std::size_t row = 0; row < result.rows; ++row) {
            const float p = (out[row][0] * out[row][0] + out[row][1] * out[row][1]) * scale;
            cells[row] = std::max(cells[row], p);
        }
    }
    result.decibels.resize(power.size());
    std::transform(power.begin(), power.end(), result.decibels.begin(),
                   [](float p) { return 10.0f * std::log10(std::max(p, kPowerFloor)); });
    return result;
}

}  // namespace vane
