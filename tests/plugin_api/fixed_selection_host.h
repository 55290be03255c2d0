#pragma once

#include <string>
#include <utility>
#include <vector>

#include "plugin_api/host.h"

namespace vane {

// A host whose selections are fixed lists, for tests that drive a plug-in without the desktop.
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
