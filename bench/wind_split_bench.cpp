// A year of 1-minute logger rows (525,600 lines, about 25 MB) must be cut into the wind table
// well under a second: every change of a choice in the preview sheet splits the whole text again.

#include <benchmark/benchmark.h>

#include <cstdio>
#include <string>

#include "core/import/text_reading.h"
#include "core/import/wind_file.h"
#include "core/import/wind_table_split.h"

namespace {

constexpr int kRowsPerYear = 525600;

// Semicolon-separated with decimal commas and CR LF, as European loggers write them; the bytes
// are ASCII except the degree sign of the header, in Windows-1252.
std::string yearOfMinuteRows() {
    std::string text =
        "Datum;Temp \xB0"
        "C;Wind m/s;Richtung;Leistung kW;Feuchte %;Zustand\r\n";
    text.reserve(static_cast<std::size_t>(kRowsPerYear) * 52);
    char line[96];
    for (int i = 0; i < kRowsPerYear; ++i) {
        const int day = i / 1440;
        const int minute = i % 1440;
        std::snprintf(line, sizeof line,
                      "%02d.%02d.2012 %02d:%02d;%d,%d;%d,%d;%d;%d,%d;%d,%d;%s\r\n", day % 28 + 1,
                      day / 28 % 12 + 1, minute / 60, minute % 60, 10 + i % 15, i % 10, i % 12,
                      (i / 7) % 10, i % 360, 100 + i % 900, i % 10, 40 + i % 50, i % 7,
                      i % 97 == 0 ? "Stillstand" : "Betrieb");
        text += line;
    }
    return text;
}

const std::string& utf8Text() {
    static const std::string text = vane::decodeWithFallback(yearOfMinuteRows())->text;
    return text;
}

void BM_SplitWindText(benchmark::State& state) {
    const std::string& text = utf8Text();
    const vane::SplitChoices choices{vane::kLineEndingCrLf, {0, ";"}, "1"};
    for (auto _ : state) {
        vane::WindTable table = vane::splitWindText(text, choices);
        benchmark::DoNotOptimize(table);
    }
    state.SetBytesProcessed(static_cast<std::int64_t>(state.iterations() * text.size()));
    state.counters["rows"] = static_cast<double>(vane::splitWindText(text, choices).rowCount());
}
BENCHMARK(BM_SplitWindText)->Unit(benchmark::kMillisecond);

// Detection and decoding of the raw bytes, as on choosing the file.
void BM_DecodeWindowsLatin1(benchmark::State& state) {
    const std::string bytes = yearOfMinuteRows();
    for (auto _ : state) {
        vane::Outcome<vane::DecodedText> read = vane::decodeWithFallback(bytes);
        benchmark::DoNotOptimize(read);
    }
    state.SetBytesProcessed(static_cast<std::int64_t>(state.iterations() * bytes.size()));
}
BENCHMARK(BM_DecodeWindowsLatin1)->Unit(benchmark::kMillisecond);

// Everything after the read: line-ending and separator guesses, split, titles, column guesses.
void BM_ViewWindText(benchmark::State& state) {
    const std::string& text = utf8Text();
    for (auto _ : state) {
        vane::WindFileView view = vane::viewWindText(text, vane::kWindowsLatin1Encoding,
                                                     vane::EncodingSource::detected, {});
        benchmark::DoNotOptimize(view);
    }
}
BENCHMARK(BM_ViewWindText)->Unit(benchmark::kMillisecond);

}  // namespace
