#pragma once

#include <cstdint>
#include <optional>
#include <utility>
#include <vector>

namespace vane {

// A recording as the host lists it; only its time stamp matters to the analyses.
struct Recording {
    double recordingTime = 0.0;  // seconds since the Unix epoch
};

// A recording session at one site.
struct Session {
    double sampledate = 0.0;  // seconds since the Unix epoch
    std::int64_t recordingCount = 0;
    std::optional<double> latitude;   // degrees north; absent when the site has no location
    std::optional<double> longitude;  // degrees east
};

// What the plug-in may ask of its host: the user's current selections, in any order. Each call
// answers anew, so callers that must see a later change of selection simply ask again.
class Host {
  public:
    virtual ~Host() = default;
    virtual std::vector<Recording> selectedRecordings() const = 0;
    virtual std::vector<Session> selectedSessions() const = 0;
};

// A host whose selections are fixed lists: the command line's, and the tests'.
class FixedSelectionHost final : public Host {
  public:
    FixedSelectionHost(std::vector<Recording> recordings, std::vector<Session> sessions = {})
        : recordings_(std::move(recordings)), sessions_(std::move(sessions)) {}

    std::vector<Recording> selectedRecordings() const override { return recordings_; }
    std::vector<Session> selectedSessions() const override { return sessions_; }

  private:
    std::vector<Recording> recordings_;
    std::vector<Session> sessions_;
};

std::vector<Recording> sortedByRecordingTime(std::vector<Recording> recordings);
std::vector<Session> sortedBySampleDate(std::vector<Session> sessions);

}  // namespace vane
