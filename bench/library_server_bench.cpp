// A shared library at the scale of a coastal study: 10,000,000 recordings of 50 sites imported
// with COPY, one session of 1,000,000 recordings read back into the form an analysis takes,
// labels filtered, and then all 51 sessions merged by time. Beside the test script's private
// server (its URL in VANE_TEST_POSTGRESQL_URL):
//   scripts/with-postgres.sh build/default/bench/library_server_bench
// or on any empty database or new file: library_server_bench LIBRARY [SITES] [PER_SITE] [SESSION]
// A library that holds the sessions already (from an earlier run) is read as it is, without
// importing again, so that reads can be timed run after run on one library.
// Figures on this machine (2 cores, otherwise idle; PostgreSQL 15 from Debian with the test
// server's settings: its defaults, fsync off). The import of 10,000,000 recordings of 50 sites:
// 44 to 56 s. Reads, the builds of each step taking turns in one run, five runs each, medians
// (best), with this process's processor time and peak memory:
//                             every session (11,000,000)        one session (1,000,000)
//   a cursor per session      14.8 s (14.4), 7.1 s, 358 MB      1.94 s
//   one binary COPY           9.6 s (9.3), 4.1 s, 278 MB        1.13 s
//   two COPY streams          8.4 s (7.9), 4.2 s, 278 MB        1.17 s
//   and rows grown in blocks  7.5 s (7.4), 3.0 s, 276 MB        1.12 s
// Two backends, each merging half of the sessions, take 4.7 s of both processors to write their
// streams to nowhere (COPY TO '/dev/null'); with this process's 3 s beside them on the same two
// processors, every session in under 6 s is out of reach on this machine. On a server of its own
// the two streams halve the server's part, and this process's 3 s is the limit.
// The server's single backend is the limit of an import (one core busy, the other mostly idle).
// Of its time per 200,000 rows: the table 0.26 s, the session index 0.27 s, the path index 0.28 s,
// keeping the rows' sessions in a transition table and checking them once 0.2 s, the path lookup
// about 0.1 s. A foreign key checking each row by itself cost 0.9 s of it (96 s in all).

#include <unicode/timezone.h>

#include <algorithm>
#include <chrono>
#include <cstdlib>
#include <ctime>
#include <iostream>
#include <memory>
#include <string>

#include "cli/recording_source.h"
#include "library/recording_library.h"

namespace {

constexpr double kSeasonStart = 1333238400.0;  // 2012-04-01 00:00 UTC

// A site's season, labelled as a classifier would: mostly bats, some noise, varied probability.
std::vector<vane::ImportedRecording> season(int site, std::size_t count) {
    static const char* const kLabels[] = {"PIPPIP", "NYCNOC", "EPTSER",
                                          "MYODAU", "Noise",  "PIPNAT"};
    std::vector<vane::ImportedRecording> recordings;
    recordings.reserve(count);
    for (std::size_t i = 0; i < count; ++i) {
        vane::ImportedRecording recording{
            kSeasonStart + 15.0 * static_cast<double>(i) + site, 7200, "Europe/Berlin",
            "site" + std::to_string(site) + "/" + std::to_string(i) + ".wav"};
        recording.label = kLabels[(i * 7 + static_cast<std::size_t>(site)) % 6];
        recording.probability = static_cast<double>((i * 37) % 100) / 100.0;
        recordings.push_back(std::move(recording));
    }
    return recordings;
}

double secondsSince(std::chrono::steady_clock::time_point start) {
    return std::chrono::duration<double>(std::chrono::steady_clock::now() - start).count();
}

}  // namespace

int main(int argc, char** argv) {
    const char* server = std::getenv("VANE_TEST_POSTGRESQL_URL");
    if (argc < 2 && !server) {
        std::cerr << "usage: library_server_bench LIBRARY [SITES] [PER_SITE] [SESSION]\n";
        return 2;
    }
    const std::string location = argc > 1 ? argv[1] : server;
    const int sites = argc > 2 ? std::atoi(argv[2]) : 50;
    const std::size_t perSite = argc > 3 ? std::strtoul(argv[3], nullptr, 10) : 200'000;
    const std::size_t sessionSize = argc > 4 ? std::strtoul(argv[4], nullptr, 10) : 1'000'000;
    try {
        auto library = vane::library::RecordingLibrary::openOrCreate(location);
        const auto known = library.sessions(vane::library::SessionDetail::WithoutCounts).rows;
        const bool imported = std::any_of(known.begin(), known.end(), [](const auto& session) {
            return session.name == "One session";
        });
        if (imported) {
            std::cout << "the library holds the sessions already: read as it is\n";
        } else {
            double importing = 0.0;
            for (int site = 0; site < sites; ++site) {
                const auto recordings = season(site, perSite);
                const auto start = std::chrono::steady_clock::now();
                library.importRecordings(vane::library::NewSession{"Site " + std::to_string(site)},
                                         recordings);
                importing += secondsSince(start);
            }
            const double total = static_cast<double>(sites) * static_cast<double>(perSite);
            std::cout << "import of " << static_cast<std::size_t>(total) << " recordings of "
                      << sites << " sites: " << importing << " s (" << total / importing
                      << " a second)\n";
            library.importRecordings(vane::library::NewSession{"One session"},
                                     season(sites, sessionSize));
        }
        const std::unique_ptr<icu::TimeZone> zone(icu::TimeZone::createTimeZone("Europe/Berlin"));
        vane::cli::RecordingSource source;
        source.library = location;
        source.sessions = {"One session"};
        const auto start = std::chrono::steady_clock::now();
        const std::clock_t cpuStart = std::clock();
        const auto loaded = vane::cli::loadRecordings(source, *zone);
        const double reading = secondsSince(start);
        // This process's share; the rest is the server's and the wait for a busy machine.
        const double readingCpu = static_cast<double>(std::clock() - cpuStart) / CLOCKS_PER_SEC;
        if (!loaded) {
            std::cerr << loaded.error().describe() << '\n';
            return 1;
        }
        std::cout << "one session of " << sessionSize << " recordings to the analysis: " << reading
                  << " s, of which " << readingCpu << " s on this process's processor time ("
                  << loaded->recordings.size() << " kept by the filter)\n";

        source.sessions.clear();
        const auto allStart = std::chrono::steady_clock::now();
        const std::clock_t allCpuStart = std::clock();
        const auto everything = vane::cli::loadRecordings(source, *zone);
        const double allCpu = static_cast<double>(std::clock() - allCpuStart) / CLOCKS_PER_SEC;
        if (!everything) {
            std::cerr << everything.error().describe() << '\n';
            return 1;
        }
        std::cout << "every session (" << everything->sessions.size()
                  << ") to the analysis, merged by time: " << secondsSince(allStart)
                  << " s, of which " << allCpu << " s on this process's processor time ("
                  << everything->recordings.size() << " kept by the filter)\n";
        return 0;
    } catch (const vane::library::LibraryError& error) {
        std::cerr << error.what() << '\n';
        return 1;
    }
}
