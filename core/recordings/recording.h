#pragma once

#include <vector>

namespace vane {

// A recording as the host lists it; only its time stamp matters to the analyses.
struct Recording {
    double recordingTime = 0.0;  // seconds since the Unix epoch
};

// Earliest first, stable; times that are no number go last.
std::vector<Recording> sortedByRecordingTime(std::vector<Recording> recordings);

}  // namespace vane
