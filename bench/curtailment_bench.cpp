// Curtailment plans on ten years of 10-minute wind rows and two million recordings: one plan
// (cells, blanket and tailored on the counts) must take under a second, the trade-off curve of 50
// shares under two, and the whole result (the model's plan, each year held out, the estimate and
// its interval) under two as well. The files are those of analyse_bench, read once.

#include <benchmark/benchmark.h>
#include <sys/resource.h>
#include <unicode/timezone.h>

#include <filesystem>
#include <memory>
#include <string>
#include <vector>

#include "bench/bench_data.h"
#include "core/analysis/bat_events.h"
#include "core/curtailment/curtailment_result.h"
#include "core/curtailment/turbine_intervals.h"
#include "core/import/wind_file.h"
#include "core/recordings/recording_list.h"

namespace {

std::unique_ptr<icu::TimeZone> utc() {
    return std::unique_ptr<icu::TimeZone>(icu::TimeZone::createTimeZone("UTC"));
}

double peakMegabytes() {
    rusage usage{};
    getrusage(RUSAGE_SELF, &usage);
    return static_cast<double>(usage.ru_maxrss) / 1024.0;
}

// A 2 MW turbine: the cube of the wind from 3 to 12 m/s, then rated power to 25 m/s.
vane::PowerCurve twoMegawatts() {
    vane::PowerCurve curve;
    curve.points.push_back({3.0, 0.0});
    for (double wind = 3.5; wind <= 12.0; wind += 0.5) {
        curve.points.push_back({wind, 2000.0 * (wind * wind * wind - 27.0) / (1728.0 - 27.0)});
    }
    curve.points.push_back({25.0, 2000.0});
    return curve;
}

struct Inputs {
    std::vector<vane::TurbineInterval> intervals;
    vane::BatEventList events;
};

const Inputs& inputs() {
    static const Inputs made = [] {
        const auto folder = std::filesystem::temp_directory_path();
        const auto wind = folder / "vane_curtailment_bench_wind.csv";
        const auto recordings = folder / "vane_curtailment_bench_recordings.txt";
        vane::bench::writeWindFile(wind, vane::bench::kFullWindRows);
        vane::bench::writeRecordings(recordings, vane::bench::kFullRecordings,
                                     vane::bench::kFullWindRows);
        const auto zone = utc();
        const vane::Outcome<vane::WindFileView> view = vane::loadWindFile(wind, {});
        const vane::RecordingListResult list = vane::readRecordingList(recordings, *zone);
        Inputs result;
        result.events = vane::batEvents(vane::sortedByRecordingTime(list.value()),
                                        vane::batEventGridOrigin(*zone));
        vane::ActivityAnalysisOptions options;
        options.dateTimeColumn = 1;
        options.windColumn = 3;
        options.temperatureColumn = 2;
        options.dateFormat = "dd.MM.yyyy HH:mm";
        options.timeZone = "+0000";
        options.decimalSeparator = ",";
        static const vane::PowerCurve curve = twoMegawatts();
        result.intervals =
            vane::turbineIntervals(result.events, view->table, options, {0, &curve}, *zone)
                .intervals;
        std::filesystem::remove(wind);
        std::filesystem::remove(recordings);
        return result;
    }();
    return made;
}

vane::CurtailmentOptions planOptions() {
    vane::CurtailmentOptions options;
    options.energyKnown = true;
    return options;
}

const vane::Site kSite{49.6, 11.05};

void BM_OnePlan(benchmark::State& state) {
    const Inputs& data = inputs();
    const auto zone = utc();
    for (auto _ : state) {
        const vane::CurtailmentData cells =
            vane::curtailmentData(data.intervals, kSite, planOptions(), *zone);
        const std::vector<vane::CellActivity> all = vane::cellsOf(cells);
        const vane::BlanketPlan blanket = vane::blanketPlan(all, 90, true);
        const vane::TailoredPlan tailored = vane::tailoredPlan(all, cells.parts, 90, true);
        benchmark::DoNotOptimize(blanket.cutIn);
        benchmark::DoNotOptimize(tailored.totals.energyLostKwh);
    }
    state.counters["intervals"] = static_cast<double>(data.intervals.size());
    state.counters["bins"] = static_cast<double>(data.events.size());
    state.counters["peak_MB"] = peakMegabytes();
}

void BM_Tradeoff50(benchmark::State& state) {
    const Inputs& data = inputs();
    const auto zone = utc();
    const vane::CurtailmentData cells =
        vane::curtailmentData(data.intervals, kSite, planOptions(), *zone);
    const std::vector<vane::CellActivity> all = vane::cellsOf(cells);
    for (auto _ : state) {
        const std::vector<vane::TradeoffPoint> curve = vane::tradeoffCurve(all, 50, 99, true);
        benchmark::DoNotOptimize(curve.data());
    }
    state.counters["activity"] = static_cast<double>(cells.activityInNights);
}

void BM_WholeResult(benchmark::State& state) {
    const Inputs& data = inputs();
    const auto zone = utc();
    for (auto _ : state) {
        const vane::CurtailmentResult result =
            vane::curtailmentResult(data.intervals, kSite, planOptions(), *zone);
        benchmark::DoNotOptimize(result.validation.years.data());
    }
    state.counters["peak_MB"] = peakMegabytes();
}

BENCHMARK(BM_OnePlan)->Iterations(3)->Unit(benchmark::kMillisecond);
BENCHMARK(BM_Tradeoff50)->Iterations(3)->Unit(benchmark::kMillisecond);
BENCHMARK(BM_WholeResult)->Iterations(1)->Unit(benchmark::kMillisecond);

}  // namespace
