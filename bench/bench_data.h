#pragma once

#include <cstddef>
#include <filesystem>

namespace vane::bench {

// Ten years of 10-minute rows and two million recordings: the size of a site's whole history.
constexpr std::size_t kFullWindRows = 525'600;
constexpr std::size_t kFullRecordings = 2'000'000;

// A logger's file as written in UTC: header "Datum;Temp;Wind;Betrieb", dates "dd.MM.yyyy HH:mm"
// at the end of each ten minutes from 2010-01-01 00:10, decimal commas, CR LF. The same `rows`
// always give the same bytes.
void writeWindFile(const std::filesystem::path& path, std::size_t rows);

// The same readings in another common style: header "timestamp,temperature,wind_speed,state",
// ISO dates with "T" and seconds, decimal points, states "running" and "stopped", LF.
void writeIsoWindFile(const std::filesystem::path& path, std::size_t rows);

// `count` sorted ISO time stamps without offset over the span of `windRows` rows, clustered in
// passes of a few seconds as bats pass a detector. Deterministic like the wind file.
void writeRecordings(const std::filesystem::path& path, std::size_t count, std::size_t windRows);

}  // namespace vane::bench
