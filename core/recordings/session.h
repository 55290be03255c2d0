#pragma once

#include <cstdint>
#include <optional>
#include <vector>

namespace vane {

// A recording session at one site.
struct Session {
    double sampleDate = 0.0;  // seconds since the Unix epoch
    std::int64_t recordingCount = 0;
    std::optional<double> latitude;   // degrees north; absent when the site has no location
    std::optional<double> longitude;  // degrees east
};

// Earliest first, stable; dates that are no number go last.
std::vector<Session> sortedBySampleDate(std::vector<Session> sessions);

}  // namespace vane
