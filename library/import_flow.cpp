#include "library/import_flow.h"

#include <algorithm>
#include <memory>
#include <string>
#include <string_view>
#include <utility>
#include <variant>

#include "core/recordings/duplicate_recordings.h"
#include "library/store_error.h"

namespace vane::library {
namespace {

constexpr std::size_t kProgressEvery = 25'000;
// Times are compared to the millisecond; the span read around them is that much wider.
constexpr double kMillisecond = 0.001;

// The file paths the recordings bring, sorted and each once.
std::vector<std::string_view> distinctPaths(const std::vector<ImportedRecording>& recordings) {
    std::vector<std::string_view> paths;
    for (const ImportedRecording& recording : recordings) {
        if (!recording.filePath.empty()) {
            paths.push_back(recording.filePath);
        }
    }
    std::sort(paths.begin(), paths.end());
    paths.erase(std::unique(paths.begin(), paths.end()), paths.end());
    return paths;
}

std::optional<SameTimesElsewhere> sameTimesElsewhere(
    ImportTransaction& import, std::int64_t targetSession,
    const std::vector<ImportedRecording>& recordings) {
    const std::optional<std::pair<double, double>> span = spanOfTimesWithoutFile(recordings);
    if (!span) {
        return std::nullopt;
    }
    const std::optional<TimesImportedBefore> before = timesImportedBefore(
        import.timesWithoutFileElsewhere(targetSession, span->first - kMillisecond,
                                         span->second + kMillisecond),
        recordings);
    if (!before) {
        return std::nullopt;
    }
    return SameTimesElsewhere{import.existingSessionName(before->sessionId).value_or("?"),
                              before->sameTimes, before->timesWithoutFile};
}

std::optional<ImportSummary> importWithin(ImportTransaction& import, const ImportTarget& target,
                                          const std::vector<ImportedRecording>& recordings,
                                          std::stop_token stop,
                                          const std::function<void(std::size_t done)>& progress) {
    ImportSummary summary;
    bool madeSession = false;
    const auto* newSession = std::get_if<NewSession>(&target);
    // A session of its own is made only once something is new, so that files imported again are
    // told so rather than refused for the name they ask for.
    const bool sessionOfItsOwn = newSession && !newSession->joinExisting;
    if (newSession) {
        summary.sessionName = newSession->name;
        if (!sessionOfItsOwn) {
            summary.sessionId = import.sessionFor(*newSession, madeSession);
        }
    } else {
        summary.sessionId = std::get<std::int64_t>(target);
        std::optional<std::string> name = import.existingSessionName(summary.sessionId);
        if (!name) {
            throw LibraryError("The session to import into no longer exists.");
        }
        summary.sessionName = std::move(*name);
    }
    DuplicateCheck check(recordings);
    const auto see = [&check](const StoredRecordingKey& key) { check.see(key); };
    import.forEachStoredKey(summary.sessionId, distinctPaths(recordings), see);
    summary.alreadyStored = check.duplicates();
    if (stop.stop_requested()) {
        return std::nullopt;
    }
    summary.sameTimesElsewhere = sameTimesElsewhere(import, summary.sessionId, recordings);
    if (summary.alreadyStored.size() == recordings.size() && !recordings.empty()) {
        // Nothing new: rolled back, so that no empty session is left.
        if (madeSession) {
            summary.sessionId = 0;
        }
        return summary;
    }
    if (sessionOfItsOwn) {
        summary.sessionId = import.sessionFor(*newSession, madeSession);
    }
    {
        const std::unique_ptr<RecordingWriter> writer = import.recordingWriter(summary.sessionId);
        auto duplicate = summary.alreadyStored.begin();
        for (std::size_t i = 0; i < recordings.size(); ++i) {
            if (stop.stop_requested()) {
                return std::nullopt;
            }
            if (duplicate != summary.alreadyStored.end() && *duplicate == i) {
                ++duplicate;
                continue;
            }
            writer->add(recordings[i]);
            ++summary.imported;
            if (progress && summary.imported % kProgressEvery == 0) {
                progress(summary.imported);
            }
        }
        writer->finish();
    }
    if (progress) {
        progress(summary.imported);
    }
    if (stop.stop_requested()) {
        return std::nullopt;
    }
    import.commit();
    return summary;
}

}  // namespace

std::optional<ImportSummary> importRecordings(LibraryStore& store, const ImportTarget& target,
                                              const std::vector<ImportedRecording>& recordings,
                                              std::stop_token stop,
                                              const std::function<void(std::size_t done)>& progress,
                                              const std::function<void()>& waiting) {
    try {
        const std::unique_ptr<ImportTransaction> import = store.beginImport(stop, waiting);
        if (!import) {
            return std::nullopt;
        }
        return importWithin(*import, target, recordings, stop, progress);
    } catch (const StoreError& error) {
        if (store.holdsUnfinishedChange()) {
            throw LibraryError(
                "The import failed (" + std::string(error.what()) +
                ") and could not be undone yet: the library is put back as it was when it is "
                "next opened. Keep the file ending in \"-journal\" beside it until then.");
        }
        throw ImportUndone(error.what());
    }
}

}  // namespace vane::library
