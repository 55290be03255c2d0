// Every redraw of the yearly picture (a change of bin width, inversion or selection) draws it
// anew, so a full year of recordings must take a small fraction of a second.

#include <benchmark/benchmark.h>
#include <unicode/timezone.h>

#include <algorithm>
#include <cmath>
#include <cstdint>
#include <memory>
#include <vector>

#include "core/yearly/activity_raster.h"
#include "core/yearly/bar_raster.h"

namespace {

constexpr double kNewYear2012 = 1325372400.0;  // 2012-01-01 00:00 in central Europe

// Recordings at night over one year, sorted as the picture receives them.
std::vector<vane::Recording> yearOfRecordings(std::size_t count) {
    std::vector<vane::Recording> recordings;
    recordings.reserve(count);
    std::uint64_t state = 7;
    const auto next = [&state] {
        state = state * 6364136223846793005ull + 1442695040888963407ull;
        return static_cast<double>(state >> 11) * 0x1.0p-53;
    };
    while (recordings.size() < count) {
        const double day = std::floor(next() * 360.0);
        const double secondOfNight = 18.0 * 3600.0 + next() * 12.0 * 3600.0;
        recordings.push_back({kNewYear2012 + day * 86400.0 + secondOfNight});
    }
    std::sort(recordings.begin(), recordings.end(),
              [](const vane::Recording& a, const vane::Recording& b) {
                  return a.recordingTime < b.recordingTime;
              });
    return recordings;
}

void BM_ActivityPicture(benchmark::State& state) {
    const std::unique_ptr<icu::TimeZone> zone{icu::TimeZone::createTimeZone("Europe/Berlin")};
    const std::vector<vane::Recording> recordings =
        yearOfRecordings(static_cast<std::size_t>(state.range(0)));
    for (auto _ : state) {
        const vane::Outcome<vane::ActivityRaster> result =
            vane::generateImageData(recordings, 10, {}, *zone);
        benchmark::DoNotOptimize(result->raster.bytes.data());
    }
    state.SetItemsProcessed(state.iterations() * state.range(0));
}
BENCHMARK(BM_ActivityPicture)->Arg(1000)->Arg(100000)->Arg(1000000)->Unit(benchmark::kMillisecond);

void BM_SunMarksOfAYear(benchmark::State& state) {
    const std::unique_ptr<icu::TimeZone> zone{icu::TimeZone::createTimeZone("Europe/Berlin")};
    for (auto _ : state) {
        const vane::SunMarks marks = vane::sunMarksForYear(2012, {}, *zone);
        benchmark::DoNotOptimize(marks.days.data());
    }
}
BENCHMARK(BM_SunMarksOfAYear)->Unit(benchmark::kMillisecond);

void BM_BarPicture(benchmark::State& state) {
    const std::unique_ptr<icu::TimeZone> zone{icu::TimeZone::createTimeZone("Europe/Berlin")};
    std::vector<vane::Session> sessions;
    for (int day = 0; day < 360; ++day) {
        sessions.push_back({kNewYear2012 + day * 86400.0, day % 97, std::nullopt, std::nullopt});
    }
    for (auto _ : state) {
        const vane::BarRasterResult result = vane::generateBarGraphImageData(sessions, *zone);
        benchmark::DoNotOptimize(result.raster.bytes.data());
    }
}
BENCHMARK(BM_BarPicture)->Unit(benchmark::kMillisecond);

}  // namespace
