// Writes the data of the process benchmark: make_analyse_data QUARTERS WIND_FILE RECORDINGS_FILE
// [iso] gives QUARTERS quarters of ten years of wind rows and of two million recordings; with
// "iso", the wind file in the style of writeIsoWindFile.

#include <cstdio>
#include <cstdlib>
#include <exception>
#include <string>

#include "bench/bench_data.h"

int main(int argc, char** argv) {
    const bool iso = argc == 5 && std::string(argv[4]) == "iso";
    if (argc != 4 && !iso) {
        std::fprintf(stderr, "usage: %s QUARTERS WIND_FILE RECORDINGS_FILE [iso]\n", argv[0]);
        return 2;
    }
    const long quarters = std::strtol(argv[1], nullptr, 10);
    if (quarters < 1 || quarters > 40) {
        std::fprintf(stderr, "%s: QUARTERS must lie between 1 and 40\n", argv[0]);
        return 2;
    }
    const auto scale = static_cast<std::size_t>(quarters);
    const std::size_t rows = vane::bench::kFullWindRows * scale / 4;
    try {
        if (iso) {
            vane::bench::writeIsoWindFile(argv[2], rows);
        } else {
            vane::bench::writeWindFile(argv[2], rows);
        }
        vane::bench::writeRecordings(argv[3], vane::bench::kFullRecordings * scale / 4, rows);
    } catch (const std::exception& error) {
        std::fprintf(stderr, "%s: %s\n", argv[0], error.what());
        return 1;
    }
    return 0;
}
