#pragma once

#include <string>
#include <vector>

#include "core/recordings/recording.h"
#include "core/recordings/session.h"
#include "core/recordings/species_label.h"
#include "library/library_location.h"

namespace vane::library {

// What a library holds for an analysis: the recordings and sessions of the named sessions, or
// of every session when no name is given.
struct LibrarySelection {
    std::vector<Recording> recordings;
    LabelTable labels;  // the recordings' labels point into it
    std::vector<Session> sessions;
    bool undoneUnfinishedChange = false;  // see RecordingLibrary::undoneUnfinishedChange()
};

// Throws LibraryError when the file is not a readable library or a name matches no session.
LibrarySelection readLibrarySelection(const LibraryLocation& location,
                                      const std::vector<std::string>& sessionNames);

}  // namespace vane::library
