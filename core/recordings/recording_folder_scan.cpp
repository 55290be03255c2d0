#include "core/recordings/recording_folder_scan.h"

#include <unicode/timezone.h>

#include <algorithm>
#include <cmath>

#include "core/recordings/file_name_timestamp.h"
#include "core/text/ascii.h"
#include "core/time/local_time.h"

namespace vane {
namespace {

bool isWavFile(const std::filesystem::directory_entry& entry) {
    std::error_code ec;
    return entry.is_regular_file(ec) && isRecordingFileName(entry.path());
}

// The manual identification wins over the automatic one.
void takeSpecies(const GuanoMetadata& metadata, ImportedRecording& recording) {
    for (const char* key : {"Species Manual ID", "Species Auto ID"}) {
        const auto found = metadata.fields.find(key);
        if (found != metadata.fields.end() && !trimmed(found->second).empty()) {
            recording.label = std::string(trimmed(found->second));
            recording.manualLabel = std::string_view(key) == "Species Manual ID";
            return;
        }
    }
}

}  // namespace

bool isRecordingFileName(const std::filesystem::path& file) {
    const std::string extension = asciiLowercase(file.extension().string());
    return extension == ".wav" || extension == ".wac" || extension == ".w4v" || extension == ".zc";
}

Outcome<RecordingFile> readRecordingFile(const std::filesystem::path& file,
                                         const icu::TimeZone& zone) {
    RecordingFile read;
    const GuanoFileResult guano = readGuanoFile(file);
    std::string guanoProblem = guano ? "" : guano.error().message;
    if (const GuanoMetadata* metadata = guano && *guano ? &**guano : nullptr) {
        read.position = metadata->position;
        if (!metadata->problems.empty()) {
            guanoProblem = metadata->problems.front();
        }
        if (const auto& stamp = metadata->timestamp) {
            const double instant = toInstant(*stamp, zone);
            read.recording = ImportedRecording{
                instant, stamp->utcOffsetSeconds.value_or(utcOffsetSeconds(instant, zone)),
                stamp->utcOffsetSeconds ? std::string() : timeZoneId(zone), file.string()};
            takeSpecies(*metadata, read.recording);
            return read;
        }
    }
    if (const auto stamp = parseFileNameTimestamp(file.filename().string())) {
        const double instant =
            (stamp->utc ? utcInstant(stamp->local) : localInstant(stamp->local, zone)) +
            stamp->fraction;
        read.recording = stamp->utc ? ImportedRecording{instant, 0, std::string(), file.string()}
                                    : ImportedRecording{instant, utcOffsetSeconds(instant, zone),
                                                        timeZoneId(zone), file.string()};
        if (const GuanoMetadata* metadata = guano && *guano ? &**guano : nullptr) {
            takeSpecies(*metadata, read.recording);
        }
        return read;
    }
    return Problem{.title = "Problem with recording",
                   .message = (guanoProblem.empty() ? "" : "file " + guanoProblem + "; ") +
                              "no GUANO Timestamp and no date and time (YYYYMMDD_HHMMSS) in its "
                              "name",
                   .file = file.string(),
                   .kind = ProblemKind::badInput};
}

void AgreedPosition::add(const std::optional<GeoPosition>& position) {
    if (!position) {
        return;
    }
    if (!first_) {
        first_ = position;
        return;
    }
    constexpr double kSameSiteDegrees = 0.001;
    disagree_ = disagree_ || std::abs(position->latitude - first_->latitude) > kSameSiteDegrees ||
                std::abs(position->longitude - first_->longitude) > kSameSiteDegrees;
}

void AgreedPosition::add(const AgreedPosition& other) {
    disagree_ = disagree_ || other.disagree_;
    add(other.first_);
}

std::optional<GeoPosition> AgreedPosition::position() const {
    return disagree_ ? std::nullopt : first_;
}

namespace {

std::vector<std::filesystem::path> recordingFilesUnder(const std::filesystem::path& folder,
                                                       std::stop_token stop, std::error_code& ec) {
    std::vector<std::filesystem::path> files;
    const auto options = std::filesystem::directory_options::skip_permission_denied;
    for (std::filesystem::recursive_directory_iterator it(folder, options, ec), end;
         !ec && it != end; it.increment(ec)) {
        if (stop.stop_requested()) {
            return {};
        }
        if (isWavFile(*it)) {
            files.push_back(it->path());
        }
    }
    std::sort(files.begin(), files.end());
    return files;
}

}  // namespace

std::optional<GeoPosition> agreedGuanoPosition(const std::filesystem::path& folder,
                                               std::stop_token stop) {
    std::error_code ec;
    AgreedPosition agreed;
    for (const std::filesystem::path& file : recordingFilesUnder(folder, stop, ec)) {
        if (stop.stop_requested()) {
            return std::nullopt;
        }
        const GuanoFileResult guano = readGuanoFile(file);
        if (guano && *guano) {
            agreed.add((*guano)->position);
        }
    }
    return agreed.position();
}

FolderScan scanRecordingFolder(const std::filesystem::path& folder, const icu::TimeZone& zone,
                               std::stop_token stop, const ScanProgress& progress) {
    FolderScan scan;
    std::error_code ec;
    const std::vector<std::filesystem::path> files = recordingFilesUnder(folder, stop, ec);
    if (stop.stop_requested()) {
        scan.cancelled = true;
        return scan;
    }
    if (ec) {
        scan.skipped.push_back({folder.string(), "could not be searched: " + ec.message()});
    }
    for (std::size_t i = 0; i < files.size(); ++i) {
        if (stop.stop_requested()) {
            scan.cancelled = true;
            return scan;
        }
        Outcome<RecordingFile> read = readRecordingFile(files[i], zone);
        if (read) {
            scan.recordings.push_back(std::move(read->recording));
            scan.site.add(read->position);
        } else {
            scan.skipped.push_back({files[i].string(), std::move(read).error().message});
        }
        if (progress) {
            progress(i + 1, files.size());
        }
    }
    return scan;
}

}  // namespace vane
