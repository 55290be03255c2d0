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

#include "cli/analyse_command.h"
#include "core/analysis/activity_analysis.h"
#include "core/analysis/bat_events.h"
#include "core/import/wind_file.h"
#include "core/recordings/recording_list.h"
#include "core/time/civil_date.h"

namespace {

constexpr std::size_t kFullWindRows = 525'600;  // ten years of 10-minute rows
constexpr std::size_t kFullRecordings = 2'000'000;
constexpr int kZoneSeconds = 3600;                         // the files are written at +0100
constexpr double kFirstRow = 1262304000.0 - kZoneSeconds;  // 2010-01-01 00:00 at +0100

class Random {
  public:
    double uniform() {
        state_ = state_ * 6364136223846793005ull + 1442695040888963407ull;
        return static_cast<double>(state_ >> 11) * 0x1.0p-53;
    }

  private:
    std::uint64_t state_ = 2009;
};

struct FileCloser {
    void operator()(std::FILE* file) const { std::fclose(file); }
};
using File = std::unique_ptr<std::FILE, FileCloser>;

void civilFields(double instant, vane::CivilDate& date, long& secondOfDay) {
    const double local = instant + kZoneSeconds;
    const long days = static_cast<long>(std::floor(local / 86400.0));
    secondOfDay = static_cast<long>(local - static_cast<double>(days) * 86400.0);
    date = vane::addDays({1970, 1, 1}, days);
}

// A logger's file: semicolons, decimal commas, CR LF, an operating state.
std::filesystem::path writeWindFile(std::size_t rows) {
    const auto path = std::filesystem::temp_directory_path() /
                      ("vane_analyse_bench_wind_" + std::to_string(rows) + ".csv");
    const File file(std::fopen(path.c_str(), "wb"));
    std::FILE* out = file.get();
    std::fputs("Date/Time;Wind speed (m/s);Temperature (C);State\r\n", out);
    Random random;
    for (std::size_t r = 0; r < rows; ++r) {
        vane::CivilDate date;
        long second = 0;
        civilFields(kFirstRow + 600.0 * static_cast<double>(r + 1), date, second);
        const int wind = static_cast<int>(random.uniform() * 120.0);
        const int temperature = static_cast<int>(random.uniform() * 300.0) - 50;
        std::fprintf(out, "%02d.%02d.%04d %02ld:%02ld;%d,%d;%d,%d;%s\r\n", date.day, date.month,
                     date.year, second / 3600, second / 60 % 60, wind / 10, wind % 10,
                     temperature / 10, std::abs(temperature % 10),
                     wind < 30 ? "idle" : "production");
    }
    return path;
}

// Sorted time stamps over the same years, clustered in passes of a few seconds.
std::filesystem::path writeRecordings(std::size_t count, std::size_t windRows) {
    const auto path = std::filesystem::temp_directory_path() /
                      ("vane_analyse_bench_recordings_" + std::to_string(count) + ".txt");
    const double span = 600.0 * static_cast<double>(windRows);
    std::vector<double> times;
    times.reserve(count);
    Random random;
    while (times.size() < count) {
        const double pass = kFirstRow + std::floor(random.uniform() * span);
        for (int i = 0; i < 8 && times.size() < count; ++i) {
            times.push_back(pass + 5.0 * i);
        }
    }
    std::sort(times.begin(), times.end());
    const File file(std::fopen(path.c_str(), "wb"));
    std::FILE* out = file.get();
    for (const double t : times) {
        vane::CivilDate date;
        long second = 0;
        civilFields(t, date, second);
        std::fprintf(out, "%04d-%02d-%02dT%02ld:%02ld:%02ld+01:00\n", date.year, date.month,
                     date.day, second / 3600, second / 60 % 60, second % 60);
    }
    return path;
}

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
    cache.made.push_back({quarters, {writeWindFile(rows), writeRecordings(recordings, rows)}});
    return cache.made.back().second;
}

double peakMegabytes() {
    rusage usage{};
    getrusage(RUSAGE_SELF, &usage);
    return static_cast<double>(usage.ru_maxrss) / 1024.0;
}

std::unique_ptr<icu::TimeZone> berlin() {
    return std::unique_ptr<icu::TimeZone>(icu::TimeZone::createTimeZone("Europe/Berlin"));
}

void BM_AnalyseEndToEnd(benchmark::State& state) {
    const BenchFiles& files = filesFor(state.range(0));
    vane::cli::AnalyseOptions options;
    options.recordingList = files.recordings;
    options.windFile = files.wind;
    options.zone = "+0100";
    const auto zone = berlin();
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
        benchmark::DoNotOptimize(load->table.rows.data());
    }
}

void BM_RecordingsAndBins(benchmark::State& state) {
    const BenchFiles& files = filesFor(state.range(0));
    const auto zone = berlin();
    for (auto _ : state) {
        const vane::RecordingListResult list = vane::readRecordingList(files.recordings, *zone);
        const auto sorted = vane::sortedByRecordingTime(list.value());
        const vane::BatEventList events = vane::batEvents(sorted, vane::batEventGridOrigin(*zone));
        benchmark::DoNotOptimize(events.data());
    }
}

void BM_ActivityScan(benchmark::State& state) {
    const BenchFiles& files = filesFor(state.range(0));
    const auto zone = berlin();
    const vane::Outcome<vane::WindFileView> load = vane::loadWindFile(files.wind, {});
    const vane::RecordingListResult list = vane::readRecordingList(files.recordings, *zone);
    const vane::BatEventList events =
        vane::batEvents(vane::sortedByRecordingTime(list.value()), vane::batEventGridOrigin(*zone));
    vane::ActivityAnalysisOptions options;
    options.dateTimeColumn = 1;
    options.windColumn = 2;
    options.stateColumn = state.range(1);
    options.dateFormat = "dd.MM.yyyy HH:mm";
    options.timeZone = "+0100";
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
