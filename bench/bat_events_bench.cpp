// Binning a decade of recordings must stay well under a second: users select whole projects.

#include <benchmark/benchmark.h>

#include <algorithm>
#include <cstdint>
#include <vector>

#include "core/analysis/bat_events.h"

namespace {

constexpr double kGridOrigin = 1245448800.0;  // 2009-06-20 00:00 in central Europe

// Passes of bats spread over ten years, ten recordings each within a minute, sorted as the
// analysis receives them.
std::vector<vane::Recording> decadeOfRecordings(std::size_t count) {
    const double span = 10 * 365.25 * 86400.0;
    constexpr std::size_t kRecordingsPerPass = 10;
    std::vector<vane::Recording> recordings;
    recordings.reserve(count);
    std::uint64_t state = 42;
    const auto next = [&state] {
        state = state * 6364136223846793005ull + 1442695040888963407ull;
        return static_cast<double>(state >> 11) * 0x1.0p-53;
    };
    while (recordings.size() < count) {
        const double pass = kGridOrigin + next() * span;
        for (std::size_t i = 0; i < kRecordingsPerPass && recordings.size() < count; ++i) {
            recordings.push_back({pass + next() * 60.0});
        }
    }
    std::sort(recordings.begin(), recordings.end(),
              [](const vane::Recording& a, const vane::Recording& b) {
                  return a.recordingTime < b.recordingTime;
              });
    return recordings;
}

void BM_BatEvents(benchmark::State& state) {
    const auto recordings = decadeOfRecordings(static_cast<std::size_t>(state.range(0)));
    for (auto _ : state) {
        const vane::BatEventList events = vane::batEvents(recordings, kGridOrigin);
        benchmark::DoNotOptimize(events.data());
    }
    state.SetItemsProcessed(state.iterations() * state.range(0));
}
BENCHMARK(BM_BatEvents)->Arg(1'000'000)->Unit(benchmark::kMillisecond);

}  // namespace
