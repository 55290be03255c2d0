#include "bench/bench_data.h"

#include <algorithm>
#include <cmath>
#include <cstdint>
#include <cstdio>
#include <memory>
#include <stdexcept>
#include <vector>

#include "core/time/civil_date.h"

namespace vane::bench {
namespace {

constexpr double kFirstRow = 1262304000.0;  // 2010-01-01 00:00 UTC

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

File openForWriting(const std::filesystem::path& path) {
    File file(std::fopen(path.c_str(), "wb"));
    if (!file) {
        throw std::runtime_error("cannot write " + path.string());
    }
    return file;
}

void civilFields(double instant, CivilDate& date, long& secondOfDay) {
    const long days = static_cast<long>(std::floor(instant / 86400.0));
    secondOfDay = static_cast<long>(instant - static_cast<double>(days) * 86400.0);
    date = addDays({1970, 1, 1}, days);
}

}  // namespace

void writeWindFile(const std::filesystem::path& path, std::size_t rows) {
    const File file = openForWriting(path);
    std::FILE* out = file.get();
    std::fputs("Datum;Temp;Wind;Betrieb\r\n", out);
    Random random;
    for (std::size_t r = 0; r < rows; ++r) {
        CivilDate date;
        long second = 0;
        civilFields(kFirstRow + 600.0 * static_cast<double>(r + 1), date, second);
        const int wind = static_cast<int>(random.uniform() * 120.0);
        const int temperature = static_cast<int>(random.uniform() * 300.0) - 50;
        std::fprintf(out, "%02d.%02d.%04d %02ld:%02ld;%s%d,%d;%d,%d;%s\r\n", date.day, date.month,
                     date.year, second / 3600, second / 60 % 60,
                     temperature < 0 && temperature > -10 ? "-" : "", temperature / 10,
                     std::abs(temperature % 10), wind / 10, wind % 10,
                     wind < 30 ? "idle" : "production");
    }
}

void writeIsoWindFile(const std::filesystem::path& path, std::size_t rows) {
    const File file = openForWriting(path);
    std::FILE* out = file.get();
    std::fputs("timestamp,temperature,wind_speed,state\n", out);
    Random random;
    for (std::size_t r = 0; r < rows; ++r) {
        CivilDate date;
        long second = 0;
        civilFields(kFirstRow + 600.0 * static_cast<double>(r + 1), date, second);
        const int wind = static_cast<int>(random.uniform() * 120.0);
        const int temperature = static_cast<int>(random.uniform() * 300.0) - 50;
        std::fprintf(out, "%04d-%02d-%02dT%02ld:%02ld:00,%.1f,%.2f,%s\n", date.year, date.month,
                     date.day, second / 3600, second / 60 % 60, temperature / 10.0,
                     wind / 10.0 + random.uniform() * 0.09, wind < 30 ? "stopped" : "running");
    }
}

void writeRecordings(const std::filesystem::path& path, std::size_t count, std::size_t windRows) {
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
    const File file = openForWriting(path);
    std::FILE* out = file.get();
    for (const double t : times) {
        CivilDate date;
        long second = 0;
        civilFields(t, date, second);
        std::fprintf(out, "%04d-%02d-%02dT%02ld:%02ld:%02ld\n", date.year, date.month, date.day,
                     second / 3600, second / 60 % 60, second % 60);
    }
}

}  // namespace vane::bench
