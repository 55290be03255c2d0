// `vane analyse` end to end on ten years of 10-minute wind rows and two million recordings must
// stay under 3 seconds and 1 GB; each part (reading, splitting, binning, scanning) must grow
// linearly, which the runs at a quarter and half of the size show.

#include <benchmark/benchmark.h>
#include <sys/resource.h>
#include <unicode/timezone.h>

#include <algorithm>
#include <cmath>
#include <cstdint>
#include <cstdio>
#include <filesystem>
#include <fstream>
#include <memory>
#include <sstream>
#include <string>
#include <vector>

#include "bench/bench_data.h"
#include "cli/analyse_command.h"
#include "core/analysis/activity_analysis.h"
#include "core/analysis/bat_events.h"
#include "core/import/wind_file.h"
#include "core/recordings/recording_list.h"

namespace {

using vane::bench::kFullRecordings;
using vane::bench::kFullWindRows;

struct BenchFiles {
    std::filesystem::path wind;
    std::filesystem::path recordings;
};

// Made once per size and kept for the process's life; removed at exit.
const BenchFiles& filesFor(std::int64_t quarters) {
    struct Cache {
        std::vector<std::pair<std::int64_t, BenchFiles>> made;
        ~Cache() {
            for (const auto& [size, files] : made) {
                std::filesystem::remove(files.wind);
                std::filesystem::remove(files.recordings);
            }
        }
    };
    static Cache cache;
    for (const auto& [size, files] : cache.made) {
        if (size == quarters) {
            return files;
        }
    }
    const auto rows = kFullWindRows * static_cast<std::size_t>(quarters) / 4;
    const auto recordings = kFullRecordings * static_cast<std::size_t>(quarters) / 4;
    const auto folder = std::filesystem::temp_directory_path();
    const BenchFiles files{
        folder / ("vane_analyse_bench_wind_" + std::to_string(rows) + ".csv"),
        folder / ("vane_analyse_bench_recordings_" + std::to_string(recordings) + ".txt")};
    vane::bench::writeWindFile(files.wind, rows);
    vane::bench::writeRecordings(files.recordings, recordings, rows);
    cache.made.push_back({quarters, files});
    return cache.made.back().second;
}

double peakMegabytes() {
    rusage usage{};
    getrusage(RUSAGE_SELF, &usage);
    return static_cast<double>(usage.ru_maxrss) / 1024.0;
}

std::unique_ptr<icu::TimeZone> utc() {
    return std::unique_ptr<icu::TimeZone>(icu::TimeZone::createTimeZone("UTC"));
}

void BM_AnalyseEndToEnd(benchmark::State& state) {
    const BenchFiles& files = filesFor(state.range(0));
    vane::cli::AnalyseOptions options;
    options.recordingList = files.recordings;
    options.windFile = files.wind;
    options.zone = "+0000";
    const auto zone = utc();
    for (auto _ : state) {
        std::ostringstream out;
        std::ostringstream err;
        const int status = vane::cli::runAnalyse(options, *zone, out, err);
        if (status != 0) {
            state.SkipWithError(("analyse failed: " + err.str()).c_str());
            return;
        }
        benchmark::DoNotOptimize(out.str().data());
    }
    state.counters["peak_MB"] = peakMegabytes();
}

void BM_LoadWindFile(benchmark::State& state) {
    const BenchFiles& files = filesFor(state.range(0));
    for (auto _ : state) {
        const vane::Outcome<vane::WindFileView> load = vane::loadWindFile(files.wind, {});
        benchmark::DoNotOptimize(load->table.rowCount());
    }
}

void BM_RecordingsAndBins(benchmark::State& state) {
    const BenchFiles& files = filesFor(state.range(0));
    const auto zone = utc();
    for (auto _ : state) {
        const vane::RecordingListResult list = vane::readRecordingList(files.recordings, *zone);
        const auto sorted = vane::sortedByRecordingTime(list.value());
        const vane::BatEventList events = vane::batEvents(sorted, vane::batEventGridOrigin(*zone));
        benchmark::DoNotOptimize(events.data());
    }
}

void BM_ActivityScan(benchmark::State& state) {
    const BenchFiles& files = filesFor(state.range(0));
    const auto zone = utc();
    const vane::Outcome<vane::WindFileView> load = vane::loadWindFile(files.wind, {});
    const vane::RecordingListResult list = vane::readRecordingList(files.recordings, *zone);
    const vane::BatEventList events =
        vane::batEvents(vane::sortedByRecordingTime(list.value()), vane::batEventGridOrigin(*zone));
    vane::ActivityAnalysisOptions options;
    options.dateTimeColumn = 1;
    options.windColumn = 3;
    options.stateColumn = state.range(1);
    options.dateFormat = "dd.MM.yyyy HH:mm";
    options.timeZone = "+0000";
    options.decimalSeparator = ",";
    for (auto _ : state) {
        const vane::ActivityAnalysisResult result =
            vane::analyseActivityAndWind(events, load->table, options, *zone);
        benchmark::DoNotOptimize(result.pasteboardText.data());
    }
    state.counters["bins"] = static_cast<double>(events.size());
}

BENCHMARK(BM_AnalyseEndToEnd)->Arg(1)->Arg(2)->Arg(4)->Iterations(1)->Unit(benchmark::kMillisecond);
BENCHMARK(BM_LoadWindFile)->Arg(1)->Arg(2)->Arg(4)->Iterations(1)->Unit(benchmark::kMillisecond);
BENCHMARK(BM_RecordingsAndBins)
    ->Arg(1)
    ->Arg(2)
    ->Arg(4)
    ->Iterations(1)
    ->Unit(benchmark::kMillisecond);
BENCHMARK(BM_ActivityScan)
    ->Args({1, 0})
    ->Args({2, 0})
    ->Args({4, 0})
    ->Args({4, 4})
    ->Iterations(1)
    ->Unit(benchmark::kMillisecond);

}  // namespace
