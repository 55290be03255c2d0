// How long the review window takes from a recording's file to its spectrogram: reading the sound
// and the transform, for recordings of 1 to 10 s at 250 and 500 kHz. The target is 0.2 s.
#include <benchmark/benchmark.h>
#include <unistd.h>

#include <cmath>
#include <cstdint>
#include <filesystem>
#include <fstream>
#include <numbers>
#include <random>
#include <string>
#include <vector>

#include "core/recordings/wav_samples.h"
#include "core/signal/spectrogram.h"

namespace {

std::string littleEndian(std::uint32_t value, int bytes) {
    std::string text;
    for (int i = 0; i < bytes; ++i) {
        text += static_cast<char>((value >> (8 * i)) & 0xFF);
    }
    return text;
}

// A night's recording: noise with a call sweeping down from 80 to 40 kHz every 100 ms.
std::filesystem::path writeRecording(std::uint32_t rate, int seconds) {
    const std::filesystem::path file =
        std::filesystem::temp_directory_path() /
        ("vane-spectrogram-bench-" + std::to_string(::getpid()) + "-" + std::to_string(rate) + "-" +
         std::to_string(seconds) + ".wav");
    std::mt19937 random(7);
    std::normal_distribution<double> noise(0.0, 0.01);
    std::string data;
    const std::size_t samples = std::size_t{rate} * static_cast<std::size_t>(seconds);
    data.reserve(samples * 2);
    for (std::size_t i = 0; i < samples; ++i) {
        const double t = std::fmod(static_cast<double>(i) / rate, 0.1);
        double value = noise(random);
        if (t < 0.005) {
            value += 0.4 * std::sin(2 * std::numbers::pi * (80000.0 * t - 4e6 * t * t));
        }
        data += littleEndian(static_cast<std::uint16_t>(std::lround(value * 32767.0)), 2);
    }
    const std::string format = littleEndian(1, 2) + littleEndian(1, 2) + littleEndian(rate, 4) +
                               littleEndian(rate * 2, 4) + littleEndian(2, 2) + littleEndian(16, 2);
    const std::string body = "WAVE" + std::string("fmt ") + littleEndian(16, 4) + format + "data" +
                             littleEndian(static_cast<std::uint32_t>(data.size()), 4) + data;
    std::ofstream(file, std::ios::binary)
        << "RIFF" << littleEndian(static_cast<std::uint32_t>(body.size()), 4) << body;
    return file;
}

void BM_RecordingToSpectrogram(benchmark::State& state) {
    const auto rate = static_cast<std::uint32_t>(state.range(0));
    const auto seconds = static_cast<int>(state.range(1));
    const std::filesystem::path file = writeRecording(rate, seconds);
    for (auto _ : state) {
        const vane::Outcome<vane::WavSamples> wav = vane::readWavSamples(file);
        if (!wav) {
            state.SkipWithError(wav.error().message.c_str());
            break;
        }
        // As the review window asks for it.
        const vane::Spectrogram picture =
            vane::spectrogram(wav->samples, wav->sampleRate, {512, 150000, 4000});
        benchmark::DoNotOptimize(picture.decibels.data());
    }
    std::filesystem::remove(file);
}
BENCHMARK(BM_RecordingToSpectrogram)
    ->ArgNames({"rate", "seconds"})
    ->ArgsProduct({{250000, 500000}, {1, 5, 10}})
    ->Unit(benchmark::kMillisecond);

}  // namespace
