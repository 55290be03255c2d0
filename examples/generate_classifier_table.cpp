// Writes an identification program's table (id.csv) for the example recordings: one row per
// recording with its date, time and offset into the file, an automatic species label with its
// match ratio, now and then a manual label, and rows of noise and unidentified calls between
// them. Three groups answer the wind differently, as they do in nature: the open-space hunters
// keep flying in a stiff breeze, the pipistrelles thin out, the Myotis stay near calm air. The
// output depends only on the input files, so the shipped table can be made again exactly.

#include <unicode/timezone.h>

#include <array>
#include <cmath>
#include <cstdio>
#include <fstream>
#include <memory>
#include <string>
#include <vector>

#include "core/time/iso_timestamp.h"
#include "core/time/local_time.h"
#include "examples/split_mix64.h"

namespace {

using vane::examples::SplitMix64;

constexpr int kLoggerOffsetSeconds = 2 * 3600;
constexpr double kRowSeconds = 600.0;

struct WindRows {
    double firstRowEnd = 0.0;
    std::vector<double> speeds;

    // The reading of the interval that holds `instant`; calm before and after the log.
    double at(double instant) const {
        const double rows = std::ceil((instant - firstRowEnd) / kRowSeconds);
        if (rows < 0.0 || rows >= static_cast<double>(speeds.size())) {
            return 0.0;
        }
        return speeds[static_cast<std::size_t>(rows)];
    }
};

// "dd.MM.yyyy HH:mm;wind;temperature;state" rows in the logger's summer time.
WindRows readWind(const char* path) {
    std::ifstream in(path);
    std::string line;
    std::getline(in, line);
    WindRows wind;
    while (std::getline(in, line)) {
        if (line.size() < 18) {
            continue;
        }
        if (wind.speeds.empty()) {
            const vane::LocalDateTime local{
                {std::stoi(line.substr(6, 4)), std::stoi(line.substr(3, 2)),
                 std::stoi(line.substr(0, 2))},
                std::stoi(line.substr(11, 2)),
                std::stoi(line.substr(14, 2)),
                0};
            wind.firstRowEnd = vane::utcInstant(local) - kLoggerOffsetSeconds;
        }
        std::string speed = line.substr(17, line.find(';', 17) - 17);
        speed.replace(speed.find(','), 1, ".");
        wind.speeds.push_back(std::stod(speed));
    }
    return wind;
}

struct Group {
    std::array<const char*, 4> labels;
    int count;
    double (*weight)(double wind);
};

const std::array<Group, 3> kGroups = {{
    {{"NYCNOC", "NYCLEI", "EPTSER", "VESMUR"}, 4, [](double w) { return 0.25 + 0.1 * w; }},
    {{"PIPPIP", "PIPNAT", "PIPPYG", ""}, 3, [](double w) { return 1.2 * std::exp(-w / 5.0); }},
    {{"MYODAU", "MYONAT", "", ""}, 2, [](double w) { return 0.9 * std::exp(-w / 2.0); }},
}};

void writeRow(std::FILE* out, double instant, const icu::TimeZone& zone, SplitMix64& random,
              const std::string& autoId, double matchRatio, const std::string& manualId) {
    // The recorder starts a file a few seconds before the call the row describes.
    const int offset = static_cast<int>(random.next() % 5);
    const std::string start = vane::formatLocalIso(instant - offset, zone);
    const std::string date = start.substr(0, 10);
    const std::string time = start.substr(11, 8);
    std::string stamp = date.substr(0, 4) + date.substr(5, 2) + date.substr(8, 2) + "_" +
                        time.substr(0, 2) + time.substr(3, 2) + time.substr(6, 2);
    std::fprintf(out,
                 "E:\\Franconia\\2012,E:\\Franconia\\ids,night,FRANC_%s.wav,1,%d,%.1f,,,%s,%s,%s,,,"
                 ",%s,%d,%d,%.2f,0.05,,,%d,,,,,,,,,,,,,1,%s\r\n",
                 stamp.c_str(), offset, 1.0 + static_cast<double>(random.next() % 40) / 10.0,
                 date.c_str(), time.c_str(), time.substr(0, 2).c_str(), autoId.c_str(),
                 static_cast<int>(4 + random.next() % 20), static_cast<int>(2 + random.next() % 10),
                 matchRatio, static_cast<int>(4 + random.next() % 20), manualId.c_str());
}

}  // namespace

int main(int argc, char** argv) {
    if (argc != 4) {
        std::fprintf(stderr, "usage: %s RECORDINGS WIND-FILE TIMEZONE > id.csv\n", argv[0]);
        return 2;
    }
    const std::unique_ptr<icu::TimeZone> zone{
        icu::TimeZone::createTimeZone(icu::UnicodeString::fromUTF8(argv[3]))};
    const WindRows wind = readWind(argv[2]);
    std::ifstream recordings(argv[1]);
    if (!recordings || wind.speeds.empty()) {
        std::fprintf(stderr, "cannot read %s or %s\n", argv[1], argv[2]);
        return 1;
    }
    SplitMix64 random(0x49444353);  // "IDCS"
    std::printf(
        "INDIR,OUTDIR,FOLDER,IN FILE,CHANNEL,OFFSET,DURATION,OUT FILE FS,OUT FILE ZC,DATE,TIME,"
        "HOUR,DATE-12,TIME-12,HOUR-12,AUTO ID*,PULSES,MATCHING,MATCH RATIO,MARGIN,ALTERNATE 1,"
        "ALTERNATE 2,N,Fc,Sc,Dur,Fmax,Fmin,Fmean,TBC,Fk,Tk,S1,Tc,Qual,FILES,MANUAL ID\r\n");
    std::string line;
    while (std::getline(recordings, line)) {
        const auto stamp = vane::parseIsoTimestamp(line);
        if (!stamp) {
            continue;
        }
        const double instant = vane::toInstant(*stamp, *zone);
        const double speed = wind.at(instant);
        std::array<double, kGroups.size()> weights{};
        double total = 0.0;
        for (std::size_t g = 0; g < kGroups.size(); ++g) {
            weights[g] = kGroups[g].weight(speed);
            total += weights[g];
        }
        double pick = random.uniform() * total;
        std::size_t g = 0;
        while (g + 1 < kGroups.size() && pick >= weights[g]) {
            pick -= weights[g];
            ++g;
        }
        const Group& group = kGroups[g];
        const std::string label = group.labels[random.next() % static_cast<unsigned>(group.count)];
        // One call in ten is a poor match, and a person checked one in twenty-five.
        const double ratio =
            random.uniform() < 0.1 ? 0.2 + 0.29 * random.uniform() : 0.55 + 0.44 * random.uniform();
        const std::string manual = random.uniform() < 0.04 ? label : "";
        writeRow(stdout, instant, *zone, random, label, ratio, manual);
        // Wind in the grass and insects leave their own files, which the program calls noise.
        if (random.uniform() < 0.08) {
            writeRow(stdout, instant + 2.0, *zone, random,
                     random.uniform() < 0.7 ? "Noise" : "NoID", 0.0, "");
        }
    }
    return 0;
}
