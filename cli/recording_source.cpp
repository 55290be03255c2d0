#include "cli/recording_source.h"

#include <CLI/CLI.hpp>
#include <algorithm>
#include <sstream>

#include "cli/problem_report.h"
#include "core/analysis/bat_events.h"
#include "core/files/shown_content.h"
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
    // Opened once: a pipe gives its bytes only once, and every step below reads the same.
    Outcome<ListInput> input = ListInput::open(source.recordingList, kRecordingListKind);
    if (!input) {
        return std::move(input).error();
    }
    if (source.named.given() || looksLikeClassifierTable(input->start()) ||
        looksLikeUnknownLabelledTable(input->start())) {
        Outcome<std::string_view> text = input->text(kClassifierTableKind);
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
    RecordingListResult list = readRecordingList(*input, zone);
    if (list) {
        return LoadedRecordings{std::move(list).value(), {}};
    }
    // Not a list: perhaps a table with date and time columns, or one to refuse with the columns
    // it has, which says more than the list's first bad line.
    Outcome<std::string_view> text = input->text(kClassifierTableKind);
    if (!text) {
        return std::move(list).error();
    }
    // Where the table readers give up, they read the text as a list once more and fail as the
    // list did; otherwise their problem says more.
    Outcome<RecordingSourceRead> table =
        readRecordingText(*text, source.recordingList.string(), zone);
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
    // Every row would pass a filter by species that finds no species: that count would look
    // like one of the species asked for.
    if (!anyLabel && !source.filter.filter.species.empty()) {
        return badUsage(source.library
                            ? "--species: the library's recordings have no species labels; leave "
                              "out --species"
                            : "--species: \"" + source.recordingList.string() +
                                  "\" has no species labels, only times; leave out --species, or "
                                  "name a table's label column with --label-column");
    }
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
        err << printable(loaded.note) << '\n';
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
