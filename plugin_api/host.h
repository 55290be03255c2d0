#pragma once

#include <utility>
#include <vector>

#include "core/recordings/recording.h"
#include "core/recordings/session.h"

namespace vane {

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

}  // namespace vane
