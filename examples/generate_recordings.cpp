// Writes a season of made-up but realistic bat recordings for one site: passes cluster after
// sunset and before sunrise, nights are busier in high summer, and bad-weather nights are quiet.
// The output depends only on the arguments, so the shipped file can be made again exactly.

#include <unicode/timezone.h>

#include <algorithm>
#include <cmath>
#include <cstdint>
#include <cstdio>
#include <cstdlib>
#include <memory>
#include <string>
#include <vector>

#include "core/solpos/sun_times.h"
#include "core/time/civil_date.h"
#include "core/time/local_time.h"

namespace {

// A small generator with a fixed algorithm, unlike the standard distributions, whose results
// differ between library versions.
class SplitMix64 {
  public:
    explicit SplitMix64(std::uint64_t seed) : state_(seed) {}

    std::uint64_t next() {
        std::uint64_t z = (state_ += 0x9E3779B97F4A7C15ull);
        z = (z ^ (z >> 30)) * 0xBF58476D1CE4E5B9ull;
        z = (z ^ (z >> 27)) * 0x94D049BB133111EBull;
        return z ^ (z >> 31);
    }
    double uniform() { return static_cast<double>(next() >> 11) * 0x1.0p-53; }
    // Approximately normal: the sum of four uniforms, scaled.
    double normal(double mean, double spread) {
        const double sum = uniform() + uniform() + uniform() + uniform();
        return mean + spread * (sum - 2.0) * std::sqrt(3.0);
    }

  private:
    std::uint64_t state_;
};

struct Night {
    double sunset;   // instants, seconds since the epoch
    double sunrise;  // the next morning
};

void writeStamp(std::FILE* out, double instant, const icu::TimeZone& zone) {
    const int offset = vane::utcOffsetSeconds(instant, zone);
    const std::string local = vane::formatLocalIso(instant, zone);
    std::fprintf(out, "%s%c%02d:%02d\n", local.c_str(), offset < 0 ? '-' : '+',
                 std::abs(offset) / 3600, std::abs(offset) / 60 % 60);
}

double sunEventInstant(const vane::CivilDate& date, double minutes, const icu::TimeZone& zone) {
    const double midnight = vane::localInstant({date, 0, 0, 0}, zone);
    return midnight + minutes * 60.0;
}

}  // namespace

int main(int argc, char** argv) {
    if (argc != 6) {
        std::fprintf(stderr,
                     "usage: %s LATITUDE LONGITUDE TIMEZONE FIRST-DAY DAYS > recordings.txt\n",
                     argv[0]);
        return 2;
    }
    const double latitude = std::atof(argv[1]);
    const double longitude = std::atof(argv[2]);
    const std::unique_ptr<icu::TimeZone> zone{
        icu::TimeZone::createTimeZone(icu::UnicodeString::fromUTF8(argv[3]))};
    const auto firstDay = vane::parseIsoDate(argv[4]);
    const int days = std::atoi(argv[5]);
    if (!firstDay || days < 1) {
        std::fprintf(stderr, "FIRST-DAY is YYYY-MM-DD and DAYS a positive number\n");
        return 2;
    }

    SplitMix64 random(0x56414E45);  // "VANE"
    std::vector<double> recordings;
    for (int i = 0; i < days; ++i) {
        const vane::CivilDate evening = vane::addDays(*firstDay, i);
        const vane::CivilDate morning = vane::addDays(evening, 1);
        const double zoneHours = vane::utcOffsetSecondsOnDate(evening, *zone) / 3600.0;
        const auto eveningSun = vane::sunTimesForDay(latitude, longitude, zoneHours, evening.year,
                                                     vane::dayOfYear(evening));
        const auto morningSun = vane::sunTimesForDay(latitude, longitude, zoneHours, morning.year,
                                                     vane::dayOfYear(morning));
        if (!eveningSun.sunRisesAndSets() || !morningSun.sunRisesAndSets()) {
            continue;
        }
        const Night night{sunEventInstant(evening, eveningSun.sunset, *zone),
                          sunEventInstant(morning, morningSun.sunrise, *zone)};
        const double nightLength = night.sunrise - night.sunset;

        // Activity peaks in late July; one night in five is too cold, wet or windy to fly.
        const double season = std::exp(-std::pow((vane::dayOfYear(evening) - 205) / 50.0, 2));
        const double weather = random.uniform() < 0.2 ? 0.05 : 0.4 + random.uniform();
        const int passes = static_cast<int>(std::lround(30.0 * season * weather));

        for (int p = 0; p < passes; ++p) {
            double start;
            const double kind = random.uniform();
            if (kind < 0.55) {  // evening emergence, about an hour after sunset
                start = night.sunset + std::fabs(random.normal(65.0, 30.0)) * 60.0;
            } else if (kind < 0.85) {  // foraging through the night
                start = night.sunset + random.uniform() * nightLength;
            } else {  // return to the roost before sunrise
                start = night.sunrise - std::fabs(random.normal(40.0, 20.0)) * 60.0;
            }
            // A pass leaves one to four recordings a few seconds apart.
            const int calls = 1 + static_cast<int>(random.next() % 4);
            double t = std::floor(start);
            for (int c = 0; c < calls; ++c) {
                recordings.push_back(t);
                t += 3.0 + std::floor(random.uniform() * 40.0);
            }
        }
    }

    std::sort(recordings.begin(), recordings.end());
    std::printf("# Example bat recordings, one time stamp per line (generated, not measured)\n");
    for (const double t : recordings) {
        writeStamp(stdout, t, *zone);
    }
    return 0;
}
