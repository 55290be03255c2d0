#pragma once

#include <cstdint>
#include <optional>
#include <stdexcept>
#include <string>
#include <string_view>
#include <utility>
#include <variant>
#include <vector>

#include "core/recordings/zone_change.h"

namespace vane::library {

// The library version this program writes; older libraries are migrated forward on open.
inline constexpr int kLibrarySchemaVersion = 5;

// Why a library cannot be opened or changed, in words for the user.
class LibraryError : public std::runtime_error {
  public:
    using std::runtime_error::runtime_error;
};

// An import that failed and was rolled back: the library is as it was. `cause` is what the file
// or the server refused, so that a caller making a new library can word it as a library not made.
class ImportUndone : public LibraryError {
  public:
    explicit ImportUndone(const std::string& cause)
        : LibraryError("The import was undone, the library is unchanged: " + cause),
          cause_(cause) {}
    const std::string& cause() const { return cause_; }

  private:
    std::string cause_;
};

// A session is chosen and shown by its name: one of blanks only could be neither.
inline bool isBlankSessionName(std::string_view name) {
    return name.find_first_not_of(" \t\r\n\v\f") == std::string_view::npos;
}
inline constexpr const char* kBlankSessionName = "a session needs a name that is not blank";

// Why a session's new name was refused, whichever change asked for it.
inline std::string sessionNameTaken(const std::string& name) {
    return "A session named \"" + name +
           "\" already exists. Choose another name, or import "
           "into that session.";
}

struct LibrarySession {
    std::int64_t id = 0;
    std::string name;
    double sampleDate = 0.0;  // seconds since the Unix epoch: the first evening's midnight
    std::optional<double> latitude;
    std::optional<double> longitude;
    std::string notes;
    std::int64_t recordingCount = 0;

    bool operator==(const LibrarySession&) const = default;
};

struct LibraryRecording {
    std::int64_t id = 0;
    std::int64_t sessionId = 0;
    double recordingTime = 0.0;
    int utcOffsetSeconds = 0;
    std::string timeZone;
    std::string filePath;
    std::string label{};  // empty: none
    std::optional<double> probability{};
    bool manualLabel = false;
};

// What a read of recordings fills in: everything, or what an analysis takes (no file path and no
// time zone name, which are most of a row's bytes).
enum class RecordingDetail { Full, ForAnalysis };

// Whether sessions come with their count of recordings, which reads every recording's index entry:
// on a server library of millions that is a second an analysis need not wait.
enum class SessionDetail { WithCounts, WithoutCounts };

// What a read of the library gives: the rows it could read, and a line naming each row it left out
// because its stored values are out of range (a damaged file). A read that fails as a whole throws
// LibraryError instead (see readLibrary() for it as an Outcome).
template <typename Rows>
struct RowsRead {
    Rows rows;
    std::vector<std::string> leftOut{};
};

struct NewSession {
    std::string name;
    // Absent: the first evening of the imported recordings, which must then be some.
    std::optional<double> sampleDate{};
    std::optional<double> latitude{};
    std::optional<double> longitude{};
    std::string notes{};
    // Session names are unique. When one of this name exists (also one that another import made
    // a moment ago), true adds the recordings to it; false refuses the import with a message.
    bool joinExisting = false;
};

// Rows exactly as stored (absent values as NULL), so that a removal can be put back unchanged.
struct StoredSessionRow {
    std::int64_t id = 0;
    std::string name;
    double sampleDate = 0.0;
    std::optional<double> latitude;
    std::optional<double> longitude;
    std::string notes;
};

struct StoredRecordingRow {
    std::int64_t id = 0;
    std::int64_t sessionId = 0;
    double recordingTime = 0.0;
    std::int64_t utcOffset = 0;
    std::optional<std::string> timeZone;
    std::optional<std::string> filePath;
    std::optional<std::string> label;
    std::optional<double> probability;
    std::int64_t manualLabel = 0;
};

// A recording's label and whether a person set it, as stored: an absent label (NULL) told apart
// from an empty one, so that putting a label back leaves the row exactly as it was.
struct RecordingLabel {
    std::int64_t recordingId = 0;
    std::optional<std::string> label;
    bool manualLabel = false;

    bool operator==(const RecordingLabel&) const = default;
};

// What a removal took out of the library.
struct RemovedRows {
    std::vector<StoredSessionRow> sessions;
    std::vector<StoredRecordingRow> recordings;  // also those of the removed sessions
};

// The times of a session's recordings that were read as local time, with its sample date.
struct SessionTimes {
    std::int64_t sessionId = 0;
    double sampleDate = 0.0;
    std::vector<std::pair<std::int64_t, KeptTime>> recordings;  // by recording id
};

using ImportTarget = std::variant<NewSession, std::int64_t /* existing session id */>;

struct SameTimesElsewhere {
    std::string sessionName;
    std::size_t sameTimes = 0;
    std::size_t timesWithoutFile = 0;
};

struct ImportSummary {
    std::int64_t sessionId = 0;  // 0 when nothing was new and no session was made
    std::string sessionName;
    std::size_t imported = 0;
    // Indexes into the recordings given of those already in the library, which were skipped.
    std::vector<std::size_t> alreadyStored{};
    // Another session holding most of the time stamps brought without files: imported all the
    // same, and the user must be told.
    std::optional<SameTimesElsewhere> sameTimesElsewhere{};
};

}  // namespace vane::library
