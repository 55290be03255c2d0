// Writes a season of made-up but realistic bat recordings for one site: passes cluster after
// sunset and before sunrise, nights are busier in high summer, and bad-weather nights are quiet.
// Given a file name, it also writes the site's wind file from the same nights: bad-weather
// nights are windy and cold, calm nights warm, summer warmer than spring, so activity falls with
// wind speed and rises with temperature as it does in nature. The output depends only on the
// arguments, so the shipped files can be made again exactly.

#include <unicode/timezone.h>

#include <algorithm>
#include <cmath>
#include <cstdint>
#include <cstdio>
#include <cstdlib>
#include <memory>
#include <numbers>
#include <string>
#include <vector>

#include "core/solpos/sun_times.h"
#include "core/time/civil_date.h"
#include "core/time/local_time.h"
#include "examples/split_mix64.h"

namespace {

using vane::examples::SplitMix64;

struct Night {
    double sunset;   // instants, seconds since the epoch
    double sunrise;  // the next morning
};

// What the weather of one night was like, for the wind file.
struct NightWeather {
    Night night;
    double midnight;  // between the two days, where the night's weather is centred
    double calm;      // 0 for a stormy night, up to 1 for a still one
    int dayOfYear;    // of the evening
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

struct FileCloser {
    void operator()(std::FILE* file) const { std::fclose(file); }
};

// The logger's clock: central European summer time all season, as many loggers keep it.
constexpr int kLoggerOffsetSeconds = 2 * 3600;
constexpr double kRowSeconds = 600.0;

std::string loggerStamp(double instant) {
    const double local = instant + kLoggerOffsetSeconds;
    const long days = static_cast<long>(std::floor(local / 86400.0));
    const long secondOfDay = static_cast<long>(local - static_cast<double>(days) * 86400.0);
    const vane::CivilDate date = vane::addDays({1970, 1, 1}, days);
    char text[64];
    std::snprintf(text, sizeof text, "%02d.%02d.%04d %02ld:%02ld", date.day, date.month, date.year,
                  secondOfDay / 3600, secondOfDay / 60 % 60);
    return text;
}

// One decimal, with the decimal comma of a German logger.
std::string commaDecimal(double value) {
    char text[32];
    std::snprintf(text, sizeof text, "%.1f", std::round(value * 10.0) / 10.0 + 0.0);
    std::string result = text;
    std::replace(result.begin(), result.end(), '.', ',');
    return result == "-0,0" ? "0,0" : result;
}

// The mean power of a 2 MW turbine at a wind speed: from cut-in at 3 m/s with the cube of the
// speed up to rated power at 12 m/s, held to cut-out at 25 m/s. The power the wind offers, also
// while the turbine is stopped, so that a plan can weigh what stopping costs.
int turbineKw(double windSpeed) {
    constexpr double kCutIn = 3.0;
    constexpr double kRated = 12.0;
    constexpr double kCutOut = 25.0;
    constexpr double kRatedKw = 2000.0;
    if (windSpeed < kCutIn || windSpeed >= kCutOut) {
        return 0;
    }
    if (windSpeed >= kRated) {
        return static_cast<int>(kRatedKw);
    }
    const double cube = windSpeed * windSpeed * windSpeed;
    const double share =
        (cube - kCutIn * kCutIn * kCutIn) / (kRated * kRated * kRated - kCutIn * kCutIn * kCutIn);
    return static_cast<int>(std::lround(kRatedKw * share));
}

// A value that follows the nights: interpolated between the midnights around `t`.
double betweenNights(const std::vector<NightWeather>& nights, std::size_t next, double t,
                     double (*of)(const NightWeather&)) {
    if (next == 0) {
        return of(nights.front());
    }
    if (next >= nights.size()) {
        return of(nights.back());
    }
    const NightWeather& before = nights[next - 1];
    const NightWeather& after = nights[next];
    const double share = (t - before.midnight) / (after.midnight - before.midnight);
    return of(before) + share * (of(after) - of(before));
}

// 10-minute rows of hub-height wind speed, air temperature, the turbine's operating state and
// its power, stamped at the end of each interval.
void writeWindFile(std::FILE* out, const std::vector<NightWeather>& nights, double firstRow,
                   double lastRow, std::uint64_t site) {
    SplitMix64 random(0x57494E44 ^ site);  // "WIND", apart from the recordings' stream
    std::fprintf(out, "Date/Time;Wind speed (m/s);Temperature (C);Operating state;Power (kW)\r\n");
    double windNoise = 0.0;
    double temperatureNoise = 0.0;
    std::size_t next = 0;  // the first night whose midnight lies after the row
    for (double t = firstRow; t <= lastRow; t += kRowSeconds) {
        while (next < nights.size() && nights[next].midnight <= t) {
            ++next;
        }
        const double calm =
            betweenNights(nights, next, t, [](const NightWeather& n) { return n.calm; });
        const double dayOfYear = betweenNights(nights, next, t, [](const NightWeather& n) {
            return static_cast<double>(n.dayOfYear);
        });
        const double hour = std::fmod((t + kLoggerOffsetSeconds) / 3600.0, 24.0);
        const double afternoon = std::cos(2.0 * std::numbers::pi * (hour - 15.0) / 24.0);

        windNoise = 0.9 * windNoise + 0.45 * random.normal(0.0, 1.0);
        temperatureNoise = 0.98 * temperatureNoise + 0.3 * random.normal(0.0, 1.0);
        const double wind = std::max(0.0, 8.0 - 5.5 * calm + 1.2 * afternoon + windNoise);
        const double season =
            11.0 + 8.0 * std::cos(2.0 * std::numbers::pi * (dayOfYear - 200.0) / 365.0);
        const double temperature = season + 5.0 * afternoon + 4.0 * (calm - 0.5) + temperatureNoise;

        const bool dark = std::any_of(
            nights.begin() + static_cast<long>(next > 0 ? next - 1 : 0),
            nights.begin() + static_cast<long>(std::min(next + 1, nights.size())),
            [t](const NightWeather& n) { return t > n.night.sunset && t <= n.night.sunrise; });
        // Below cut-in the rotor idles; on mild, light-wind nights it is stopped for the bats.
        const char* state = wind < 3.0                                  ? "idle"
                            : dark && wind < 6.0 && temperature >= 10.0 ? "bat stop"
                                                                        : "production";
        // From the speed as logged, so that the file agrees with itself.
        const double loggedWind = std::round(wind * 10.0) / 10.0;
        std::fprintf(out, "%s;%s;%s;%s;%d\r\n", loggerStamp(t).c_str(), commaDecimal(wind).c_str(),
                     commaDecimal(temperature).c_str(), state, turbineKw(loggedWind));
    }
}

}  // namespace

int main(int argc, char** argv) {
    if (argc < 6 || argc > 8) {
        std::fprintf(stderr,
                     "usage: %s LATITUDE LONGITUDE TIMEZONE FIRST-DAY DAYS [WIND-FILE [SITE]]"
                     " > recordings.txt\n(SITE, a number, gives another site's weather and bats)\n",
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

    // Site 0 is the shipped example's; the others draw their own weather and bats.
    const std::uint64_t site =
        argc == 8 ? std::strtoull(argv[7], nullptr, 10) * 0x9E3779B97F4A7C15u : 0;
    SplitMix64 random(0x56414E45 ^ site);  // "VANE"
    std::vector<double> recordings;
    std::vector<NightWeather> nights;
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
        nights.push_back({night, vane::localInstant({morning, 0, 0, 0}, *zone),
                          weather < 0.4 ? 0.0 : 0.3 + 0.7 * (weather - 0.4),
                          vane::dayOfYear(evening)});

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

    if (argc >= 7) {
        std::unique_ptr<std::FILE, FileCloser> windFile(std::fopen(argv[6], "wb"));
        if (!windFile || nights.empty()) {
            std::fprintf(stderr, "cannot write %s\n", argv[6]);
            return 1;
        }
        const double firstRow = vane::utcInstant({*firstDay, 0, 10, 0}) - kLoggerOffsetSeconds;
        const double lastRow =
            vane::utcInstant({vane::addDays(*firstDay, days), 12, 0, 0}) - kLoggerOffsetSeconds;
        writeWindFile(windFile.get(), nights, firstRow, lastRow, site);
        if (std::ferror(windFile.get()) != 0 || std::fclose(windFile.release()) != 0) {
            std::fprintf(stderr, "cannot write %s\n", argv[6]);
            return 1;
        }
    }
    return 0;
}
