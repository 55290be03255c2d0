#include "core/recordings/recording_folder_scan.h"

#include <unicode/timezone.h>

#include <algorithm>
#include <cerrno>
#include <cmath>
#include <cstdio>
#include <cstring>
#include <memory>

#include "core/recordings/file_name_timestamp.h"
#include "core/text/ascii.h"
#include "core/time/local_time.h"

namespace vane {
namespace {

bool isWavFile(const std::filesystem::directory_entry& entry) {
    std::error_code ec;
    return entry.is_regular_file(ec) && isRecordingFileName(entry.path());
}

// Why a file cannot be a recording before anything is read from it: it cannot be opened (such as
// one without read permission), or it holds nothing, as a recorder that stopped before writing
// leaves it: no sound, so no bat.
std::optional<std::string> unreadableBecause(const std::filesystem::path& file) {
    errno = 0;
    const std::unique_ptr<std::FILE, int (*)(std::FILE*)> opened{std::fopen(file.c_str(), "rb"),
                                                                 &std::fclose};
    if (!opened) {
        return "cannot be opened: " + std::string(std::strerror(errno));
    }
    if (std::fgetc(opened.get()) == EOF) {
        return std::ferror(opened.get()) != 0
                   ? "could not be read: " + std::string(std::strerror(errno))
                   : "is empty (0 bytes): the recorder wrote nothing into it";
    }
    return std::nullopt;
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
    const auto leftOut = [&file](std::string why, ProblemKind kind) {
        return Problem{.title = "Problem with recording",
                       .message = std::move(why),
                       .file = file.string(),
                       .kind = kind};
    };
    if (std::optional<std::string> why = unreadableBecause(file)) {
        return leftOut(std::move(*why), ProblemKind::unreadable);
    }
    RecordingFile read;
    const GuanoFileResult guano = readGuanoFile(file);
    // A WAV file whose chunks do not fit it is damaged: its metadata, species included, may be
    // gone, so it is left out with the damage named rather than taken by its name alone.
    if (!guano && asciiLowercase(file.extension().string()) == ".wav") {
        return leftOut(guano.error().message, ProblemKind::badInput);
    }
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
    return leftOut((guanoProblem.empty() ? "" : "file " + guanoProblem + "; ") +
                       "no GUANO Timestamp and no date and time (YYYYMMDD_HHMMSS) in its name",
                   ProblemKind::badInput);
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

// Every recording file under `folder`, in path order. A folder that cannot be opened or read to
// its end is no empty folder: it goes into `unreadable` with why. Links to folders are not
// followed, so that a link to a parent cannot hold the walk.
std::vector<std::filesystem::path> recordingFilesUnder(const std::filesystem::path& folder,
                                                       std::stop_token stop,
                                                       std::vector<SkippedFile>& unreadable) {
    std::vector<std::filesystem::path> files;
    std::vector<std::filesystem::path> pending{folder};
    while (!pending.empty()) {
        const std::filesystem::path current = std::move(pending.back());
        pending.pop_back();
        std::error_code ec;
        for (std::filesystem::directory_iterator it(current, ec), end; !ec && it != end;
             it.increment(ec)) {
            if (stop.stop_requested()) {
                return {};
            }
            std::error_code typeError;
            if (it->is_directory(typeError) && !it->is_symlink(typeError)) {
                pending.push_back(it->path());
            } else if (isWavFile(*it)) {
                files.push_back(it->path());
            }
        }
        if (ec) {
            unreadable.push_back({current.string(), "folder cannot be read: " + ec.message()});
        }
    }
    std::sort(files.begin(), files.end());
    return files;
}

}  // namespace

std::optional<GeoPosition> agreedGuanoPosition(const std::filesystem::path& folder,
                                               std::stop_token stop) {
    std::vector<SkippedFile> unreadable;
    AgreedPosition agreed;
    for (const std::filesystem::path& file : recordingFilesUnder(folder, stop, unreadable)) {
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
    const std::vector<std::filesystem::path> files =
        recordingFilesUnder(folder, stop, scan.skipped);
    if (stop.stop_requested()) {
        scan.cancelled = true;
        return scan;
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
    std::stable_sort(scan.skipped.begin(), scan.skipped.end(),
                     [](const SkippedFile& a, const SkippedFile& b) { return a.file < b.file; });
    return scan;
}

}  // namespace vane
