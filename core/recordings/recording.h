#pragma once

#include <cmath>
#include <cstdint>
#include <limits>
#include <vector>

namespace vane {

// A recording as the analyses see it. Millions of them are held at once, so the species label is
// an index into the label table of whoever holds them (0: no label) and the probability a float.
struct Recording {
    double recordingTime = 0.0;                                   // seconds since the Unix epoch
    float probability = std::numeric_limits<float>::quiet_NaN();  // NaN: none given
    std::uint16_t label = 0;
    bool manualLabel = false;  // set by a person, so it counts whatever the probability

    bool hasProbability() const { return !std::isnan(probability); }
};

static_assert(sizeof(Recording) <= 16, "millions of recordings are held at once");

// Earliest first, stable; times that are no number go last.
std::vector<Recording> sortedByRecordingTime(std::vector<Recording> recordings);

}  // namespace vane
