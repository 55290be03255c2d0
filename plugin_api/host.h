#pragma once

#include <string>
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
    // The species labels the selected recordings' label indices point into, index 0 being no
    // label; a host that keeps no labels answers just that one.
    virtual std::vector<std::string> recordingLabels() const { return {std::string()}; }
};

// A host whose selections are fixed lists: the command line's, and the tests'.
class FixedSelectionHost final : public Host {
  public:
    FixedSelectionHost(std::vector<Recording> recordings, std::vector<Session> sessions = {})
        : recordings_(std::move(recordings)), sessions_(std::move(sessions)) {}
    // With the labels the recordings' label indices point into.
    static FixedSelectionHost withLabels(std::vector<Recording> recordings,
                                         std::vector<std::string> labels) {
        FixedSelectionHost host(std::move(recordings));
        host.labels_ = std::move(labels);
        return host;
    }

    std::vector<Recording> selectedRecordings() const override { return recordings_; }
    std::vector<Session> selectedSessions() const override { return sessions_; }
    std::vector<std::string> recordingLabels() const override { return labels_; }

  private:
    std::vector<Recording> recordings_;
    std::vector<Session> sessions_;
    std::vector<std::string> labels_{std::string()};
};

}  // namespace vane
