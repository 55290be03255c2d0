// A classifier run over a season of several detectors gives a million rows: reading the table
// and importing every row into a library must take well under ten seconds.

#include <benchmark/benchmark.h>
#include <unicode/timezone.h>

#include <cstdio>
#include <filesystem>
#include <memory>
#include <string>

#include "core/recordings/classifier_table.h"
#include "library/recording_library.h"

namespace {

std::string idCsv(std::size_t rows) {
    std::string text =
        "INDIR,OUTDIR,FOLDER,IN FILE,CHANNEL,OFFSET,DURATION,OUT FILE FS,OUT FILE ZC,DATE,TIME,"
        "HOUR,DATE-12,TIME-12,HOUR-12,AUTO ID*,PULSES,MATCHING,MATCH RATIO,MARGIN,ALTERNATE 1,"
        "ALTERNATE 2,N,Fc,Sc,Dur,Fmax,Fmin,Fmean,TBC,Fk,Tk,S1,Tc,Qual,FILES,MANUAL ID\r\n";
    const char* labels[] = {"NYCNOC", "PIPPIP", "Noise", "MYODAU", "EPTSER", "NoID", "PIPNAT"};
    char row[512];
    for (std::size_t i = 0; i < rows; ++i) {
        const std::size_t second = i * 13;  // spread over about five months
        const std::size_t day = 1 + second / 86400 % 28;
        const std::size_t month = 4 + second / (86400 * 28);
        std::snprintf(row, sizeof row,
                      "D:\\data,D:\\out,night,S4U_2012%02zu%02zu_%06zu.wav,0,%zu.5,3.1,,,"
                      "2012-%02zu-%02zu,%02zu:%02zu:%02zu,21,,,,%s,10,7,0.%02zu,0.1,,,10,40.1,"
                      "-12,5.1,48,39,43,90,42,2.1,-20,3.2,0.3,1,%s\r\n",
                      month, day, i % 1000000, i % 3, month, day, second / 3600 % 24,
                      second / 60 % 60, second % 60, labels[i % 7], i % 100,
                      i % 50 == 0 ? "PIPPYG" : "");
        text += row;
    }
    return text;
}

void BM_ImportClassifierTable(benchmark::State& state) {
    const std::string text = idCsv(static_cast<std::size_t>(state.range(0)));
    const std::unique_ptr<icu::TimeZone> zone{icu::TimeZone::createTimeZone("Europe/Berlin")};
    const auto file = std::filesystem::temp_directory_path() / "vane-classifier-bench.vanelib";
    for (auto _ : state) {
        state.PauseTiming();
        std::filesystem::remove(file);
        auto library = vane::library::RecordingLibrary::create(file);
        state.ResumeTiming();
        const auto table = vane::readClassifierTable(text, "id.csv", *zone);
        if (!table) {
            state.SkipWithError(table.error().describe().c_str());
            break;
        }
        benchmark::DoNotOptimize(
            library.importRecordings(vane::library::NewSession{"Season"}, table->recordings));
    }
    state.SetItemsProcessed(state.iterations() * state.range(0));
    std::filesystem::remove(file);
}
BENCHMARK(BM_ImportClassifierTable)->Arg(1'000'000)->Unit(benchmark::kMillisecond)->Iterations(1);

void BM_ReadClassifierTable(benchmark::State& state) {
    const std::string text = idCsv(static_cast<std::size_t>(state.range(0)));
    const std::unique_ptr<icu::TimeZone> zone{icu::TimeZone::createTimeZone("Europe/Berlin")};
    for (auto _ : state) {
        benchmark::DoNotOptimize(vane::readClassifierTable(text, "id.csv", *zone));
    }
    state.SetItemsProcessed(state.iterations() * state.range(0));
}
BENCHMARK(BM_ReadClassifierTable)->Arg(1'000'000)->Unit(benchmark::kMillisecond)->Iterations(1);

}  // namespace
