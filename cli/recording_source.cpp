#include "cli/recording_source.h"

#include <CLI/CLI.hpp>
#include <algorithm>
#include <fstream>
#include <sstream>

#include "core/analysis/bat_events.h"
#include "core/recordings/classifier_table.h"
#include "core/recordings/list_file.h"
#include "core/recordings/recording_list.h"
#include "core/recordings/recording_source_file.h"
#include "core/time/local_time.h"
#include "library/library_problem.h"
#include "library/library_selection.h"
#include "library/recording_library.h"

namespace vane::cli {

void addLibraryOptions(CLI::App& command, CLI::Option* recordingList,
                       std::optional<std::filesystem::path>& library,
                       std::vector<std::string>& sessions, bool oneRequired) {
    CLI::Option* libraryOption = command.add_option(
        "--library", library,
        "A Vane library (a file, or a postgresql:// URL) to take the recordings from, instead "
        "of " +
            recordingList->get_name());
    command
        .add_option("--session", sessions,
                    "A session of the library (repeatable; default: every session)")
        ->needs(libraryOption);
    libraryOption->excludes(recordingList);
    if (oneRequired) {
        command.parse_complete_callback([recordingList, libraryOption] {
            if (recordingList->count() == 0 && libraryOption->count() == 0) {
                throw CLI::RequiredError("a recording list " + recordingList->get_name() +
                                         " or --library FILE");
            }
        });
    }
}

namespace {

// Whether the file starts with a known program's header; looks at the first line only, and at
// no more than a header's worth of it, since the file may be endless (a device) or have no line
// break at all.
bool startsWithClassifierHeader(const std::filesystem::path& file) {
    constexpr std::size_t kLongestHeader = 64 * 1024;
    std::ifstream in(file, std::ios::binary);
    std::string start(kLongestHeader, '\0');
    in.read(start.data(), static_cast<std::streamsize>(start.size()));
    start.resize(static_cast<std::size_t>(in.gcount()));
    return looksLikeClassifierTable(start.substr(0, start.find('\n')));
}

Outcome<LoadedRecordings> readUnfiltered(const RecordingSource& source, const icu::TimeZone& zone) {
    if (source.library) {
        try {
            library::LibrarySelection selection =
                library::readLibrarySelection(*source.library, source.sessions);
            LoadedRecordings loaded{std::move(selection.recordings), std::move(selection.sessions),
                                    std::move(selection.labels)};
            if (selection.undoneUnfinishedChange) {
                loaded.note = "Note: \"" + source.library->string() +
                              "\" held a change that was never finished (such as an import that "
                              "was stopped); it was undone, the library is as it was before it";
            }
            return loaded;
        } catch (const library::LibraryError& error) {
            return library::libraryProblem(error);
        }
    }
    if (source.named.given() || startsWithClassifierHeader(source.recordingList)) {
        Outcome<std::string> text = readListFile(source.recordingList, kClassifierTableKind);
        if (!text) {
            return std::move(text).error();
        }
        Outcome<ClassifierTable> table =
            readClassifierTable(*text, source.recordingList.string(), zone, source.named);
        if (!table) {
            return std::move(table).error();
        }
        Outcome<LabelledRecordings> labelled = toLabelledRecordings(table->recordings);
        if (!labelled) {
            Problem problem = std::move(labelled).error();
            problem.file = source.recordingList.string();
            return problem;
        }
        return LoadedRecordings{std::move(labelled->recordings), {}, std::move(labelled->labels)};
    }
    RecordingListResult list = readRecordingList(source.recordingList, zone);
    if (list) {
        return LoadedRecordings{std::move(list).value(), {}};
    }
    // Not a list: perhaps a table with date and time columns, or one to refuse with the columns
    // it has, which says more than the list's first bad line.
    std::error_code ec;
    if (!std::filesystem::is_regular_file(source.recordingList, ec)) {
        return std::move(list).error();
    }
    // Where the table readers give up, they read the file as a list once more and fail as the
    // list did; otherwise their problem says more.
    Outcome<RecordingSourceRead> table = readRecordingSource(source.recordingList, zone);
    if (!table) {
        return std::move(table).error();
    }
    Outcome<LabelledRecordings> labelled = toLabelledRecordings(table->recordings);
    if (!labelled) {
        return std::move(labelled).error();
    }
    return LoadedRecordings{std::move(labelled->recordings), {}, std::move(labelled->labels)};
}

std::string leftOutNote(const FilteredRecordings& filtered, std::size_t total,
                        const RecordingFilter& filter, bool anyProbability) {
    if (filtered.leftOut() == 0 && !anyProbability) {
        return {};
    }
    std::ostringstream note;
    note << "Recordings left out: " << filtered.noBat << " labelled noise or no ID, "
         << filtered.belowProbability << " with an automatic probability below "
         << filter.minProbability.value_or(kDefaultMinProbability)
         << (filter.minProbability ? "" : " (the default; --min-probability sets it)");
    if (!filter.species.empty()) {
        note << ", " << filtered.otherSpecies << " of other species";
    }
    note << "; " << filtered.kept.size() << " of " << total << " counted";
    return note.str();
}

}  // namespace

Outcome<LoadedRecordings> loadRecordings(const RecordingSource& source, const icu::TimeZone& zone) {
    Outcome<SpeciesGroups> groups = loadSpeciesGroups(source.filter.groupsFile);
    if (!groups) {
        return std::move(groups).error();
    }
    Outcome<LoadedRecordings> loaded = readUnfiltered(source, zone);
    if (!loaded) {
        return loaded;
    }
    loaded->groups = std::move(groups).value();
    // Recordings without labels or probabilities, as every list before them, pass untouched.
    const bool anyLabel = loaded->labels.names().size() > 1;
    const bool anyProbability =
        std::any_of(loaded->recordings.begin(), loaded->recordings.end(),
                    [](const Recording& recording) { return recording.hasProbability(); });
    if (!anyLabel && !anyProbability) {
        return loaded;
    }
    const std::size_t total = loaded->recordings.size();
    FilteredRecordings filtered =
        filterRecordings(loaded->recordings, loaded->labels, loaded->groups, source.filter.filter);
    loaded->leftOutNote = leftOutNote(filtered, total, source.filter.filter, anyProbability);
    loaded->recordings = std::move(filtered.kept);
    return loaded;
}

void sayRecordingsLeftOut(const LoadedRecordings& loaded, std::ostream& err) {
    if (!loaded.leftOutNote.empty()) {
        err << loaded.leftOutNote << '\n';
    }
}

void sayLoadNote(const LoadedRecordings& loaded, std::ostream& err) {
    if (!loaded.note.empty()) {
        err << loaded.note << '\n';
    }
}

void sayRecordingsBeforeTheBins(const std::vector<Recording>& recordings, const icu::TimeZone& zone,
                                std::ostream& err) {
    const double origin = batEventGridOrigin(zone);
    const auto early =
        std::count_if(recordings.begin(), recordings.end(),
                      [origin](const Recording& r) { return r.recordingTime < origin; });
    if (early > 0) {
        err << "Recordings left out: " << early << " of " << recordings.size()
            << " lie before the first activity bin, which begins " << formatLocalIso(origin, zone)
            << '\n';
    }
}

}  // namespace vane::cli
