#pragma once

#include <string>
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

}  // namespace vane
