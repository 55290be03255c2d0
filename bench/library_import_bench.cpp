// A season of a busy site is tens of thousands of recordings: importing them into the library,
// and reading a session's recordings back for the window, must take well under a second, and
// reading the GUANO time stamps of a folder must not read the audio.

#include <benchmark/benchmark.h>
#include <unicode/timezone.h>

#include <filesystem>
#include <fstream>
#include <memory>
#include <string>

#include "core/recordings/recording_folder_scan.h"
#include "library/recording_library.h"

namespace {

std::vector<vane::ImportedRecording> season(std::size_t count) {
    std::vector<vane::ImportedRecording> recordings;
    recordings.reserve(count);
    for (std::size_t i = 0; i < count; ++i) {
        recordings.push_back({1333238400.0 + 180.0 * static_cast<double>(i), 7200, "Europe/Berlin",
                              "/data/season/recording.wav"});
    }
    return recordings;
}

std::filesystem::path freshLibrary() {
    const auto file = std::filesystem::temp_directory_path() / "vane-library-bench.vanelib";
    std::filesystem::remove(file);
    return file;
}

void BM_ImportIntoLibrary(benchmark::State& state) {
    const auto recordings = season(static_cast<std::size_t>(state.range(0)));
    for (auto _ : state) {
        state.PauseTiming();
        const auto file = freshLibrary();
        auto library = vane::library::RecordingLibrary::create(file);
        state.ResumeTiming();
        benchmark::DoNotOptimize(
            library.importRecordings(vane::library::NewSession{"Season"}, recordings));
    }
    state.SetItemsProcessed(state.iterations() * state.range(0));
    std::filesystem::remove(freshLibrary());
}
BENCHMARK(BM_ImportIntoLibrary)->Arg(50'000)->Unit(benchmark::kMillisecond);

void BM_ReadSessionRecordings(benchmark::State& state) {
    const auto file = freshLibrary();
    auto library = vane::library::RecordingLibrary::create(file);
    const auto summary = library.importRecordings(vane::library::NewSession{"Season"},
                                                  season(static_cast<std::size_t>(state.range(0))));
    for (auto _ : state) {
        benchmark::DoNotOptimize(library.recordings({summary->sessionId}).rows);
    }
    state.SetItemsProcessed(state.iterations() * state.range(0));
    std::filesystem::remove(file);
}
BENCHMARK(BM_ReadSessionRecordings)->Arg(50'000)->Unit(benchmark::kMillisecond);

// Files of one second of 384 kHz audio each, the GUANO chunk after the audio.
void BM_ScanGuanoFolder(benchmark::State& state) {
    const auto folder = std::filesystem::temp_directory_path() / "vane-scan-bench";
    std::filesystem::remove_all(folder);
    std::filesystem::create_directories(folder);
    const std::string guano = "GUANO|Version: 1.0\nTimestamp: 2012-06-21T21:03:00+02:00\n";
    const std::uint32_t audioBytes = 768'000;
    const auto le32 = [](std::uint32_t v) {
        return std::string{static_cast<char>(v & 0xFF), static_cast<char>(v >> 8 & 0xFF),
                           static_cast<char>(v >> 16 & 0xFF), static_cast<char>(v >> 24)};
    };
    const std::string audio(audioBytes, '\0');
    for (int i = 0; i < state.range(0); ++i) {
        std::ofstream out(folder / ("r" + std::to_string(i) + ".wav"), std::ios::binary);
        out << "RIFF" << le32(4 + 8 + audioBytes + 8 + static_cast<std::uint32_t>(guano.size()))
            << "WAVE"
            << "data" << le32(audioBytes) << audio << "guan"
            << le32(static_cast<std::uint32_t>(guano.size())) << guano;
    }
    const std::unique_ptr<icu::TimeZone> zone(icu::TimeZone::createTimeZone("Europe/Berlin"));
    for (auto _ : state) {
        benchmark::DoNotOptimize(vane::scanRecordingFolder(folder, *zone));
    }
    state.SetItemsProcessed(state.iterations() * state.range(0));
    std::filesystem::remove_all(folder);
}
BENCHMARK(BM_ScanGuanoFolder)->Arg(1'000)->Unit(benchmark::kMillisecond);

}  // namespace
