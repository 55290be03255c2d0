#pragma once

#include <cstdint>
#include <functional>
#include <memory>
#include <optional>
#include <string>
#include <string_view>
#include <vector>

#include "core/recordings/duplicate_recordings.h"
#include "core/recordings/imported_recording.h"
#include "core/recordings/times_imported_before.h"
#include "library/library_types.h"

namespace vane::library {

// Adds an import's recordings to one session, inside the import's transaction. Going without
// finish() abandons what was added.
class RecordingWriter {
  public:
    virtual ~RecordingWriter() = default;
    virtual void add(const ImportedRecording& recording) = 0;
    virtual void finish() = 0;
};

// The steps an import takes in a library, all in one write transaction that imports take in
// turns: from its start to its end no other import adds recordings, so that each finds what the
// one before stored. Reads and other changes do not wait for it. Going without commit() rolls
// back. Each step throws StoreError for what the backend refused, LibraryError for the rest.
class ImportTransaction {
  public:
    virtual ~ImportTransaction() = default;

    // The name of the session to import into, held so that nobody removes it meanwhile; nothing
    // when it no longer exists.
    virtual std::optional<std::string> existingSessionName(std::int64_t sessionId) = 0;
    // Makes the session, or with joinExisting finds the one of its name; `made` tells which.
    virtual std::int64_t sessionFor(const NewSession& session, bool& made) = 0;
    // What a batch must not add again (see DuplicateCheck), each key shown once to `see` and not
    // held: every recording of the target session (0 when none is made yet), and those elsewhere
    // with one of the batch's file paths, given sorted and each once (a key may come twice).
    virtual void forEachStoredKey(std::int64_t targetSession,
                                  const std::vector<std::string_view>& paths,
                                  const std::function<void(const StoredRecordingKey&)>& see) = 0;
    // The recordings without a file of every other session, from `first` to `last`.
    virtual std::vector<StoredTime> timesWithoutFileElsewhere(std::int64_t targetSession,
                                                              double first, double last) = 0;
    virtual std::unique_ptr<RecordingWriter> recordingWriter(std::int64_t sessionId) = 0;
    virtual void commit() = 0;
};

}  // namespace vane::library
