#include "cli/import_command.h"

#include <unicode/timezone.h>
#include <unistd.h>

#include <CLI/CLI.hpp>
#include <algorithm>
#include <iostream>
#include <map>
#include <memory>

#include "cli/finite_number.h"
#include "cli/problem_report.h"
#include "cli/recording_source.h"
#include "cli/stop_on_signals.h"
#include "core/files/shown_content.h"
#include "core/recordings/recording_filter.h"
#include "core/recordings/species_label.h"
#include "core/recordings/stored_paths.h"
#include "core/text/counted.h"
#include "core/time/local_time.h"
#include "library/library_problem.h"
#include "library/new_library_file.h"
#include "library/recording_library.h"

namespace vane::cli {
namespace {

struct ReadSources {
    std::vector<ImportedRecording> recordings;
    std::vector<SkippedFile> skipped;
    AgreedPosition site;
};

Outcome<ReadSources> readSources(const ImportOptions& options, const icu::TimeZone& zone,
                                 std::ostream& err, bool terminal) {
    ReadSources all;
    for (std::size_t i = 0; i < options.sources.size(); ++i) {
        if (terminal) {
            err << "\rReading " << i + 1 << " of " << options.sources.size() << ": "
                << printable(options.sources[i].string()) << "\x1b[K" << std::flush;
        }
        Outcome<RecordingSourceRead> read =
            readRecordingSourceToStore(options.sources[i], zone, options.named);
        if (!read) {
            if (terminal) {
                err << '\n';
            }
            return std::move(read).error();
        }
        // Millions of recordings are held once, not twice.
        if (all.recordings.empty()) {
            all.recordings = std::move(read->recordings);
        } else {
            all.recordings.insert(all.recordings.end(),
                                  std::make_move_iterator(read->recordings.begin()),
                                  std::make_move_iterator(read->recordings.end()));
        }
        all.skipped.insert(all.skipped.end(), read->skipped.begin(), read->skipped.end());
        all.site.add(read->site);
    }
    if (terminal) {
        err << '\n';
    }
    return all;
}

void writeSummary(const ReadSources& read, const library::ImportSummary& summary,
                  const std::filesystem::path& libraryFile, std::ostream& out) {
    if (summary.imported == 0) {
        out << "Nothing new: " << (summary.alreadyStored.size() == 1 ? "the" : "all") << ' '
            << counted(summary.alreadyStored.size(), "recording is", "recordings are") << " in "
            << printable(libraryFile.string()) << " already; it is unchanged\n";
        return;
    }
    out << "Imported " << counted(summary.imported, "recording", "recordings") << " into session \""
        << printable(summary.sessionName) << "\" of " << printable(libraryFile.string()) << '\n';
    if (!summary.alreadyStored.empty()) {
        out << "Skipped " << counted(summary.alreadyStored.size(), "recording", "recordings")
            << " already in the library\n";
    }
    if (const auto& same = summary.sameTimesElsewhere) {
        out << "Warning: " << same->sameTimes << " of the " << same->timesWithoutFile
            << " time stamps without a file are in session \"" << printable(same->sessionName)
            << "\" already. If this list was imported before, these bats now count twice "
               "wherever both sessions are read: delete one of the two sessions.\n";
    }
    std::map<std::string, std::size_t> perLabel;
    std::size_t noBat = 0;
    std::size_t below = 0;
    auto duplicate = summary.alreadyStored.begin();
    for (std::size_t i = 0; i < read.recordings.size(); ++i) {
        if (duplicate != summary.alreadyStored.end() && *duplicate == i) {
            ++duplicate;
            continue;
        }
        const ImportedRecording& recording = read.recordings[i];
        ++perLabel[recording.label];
        noBat += isNoBatLabel(recording.label) ? 1 : 0;
        below += !isNoBatLabel(recording.label) && !recording.manualLabel &&
                         recording.probability && *recording.probability < kDefaultMinProbability
                     ? 1
                     : 0;
    }
    std::vector<std::pair<std::string, std::size_t>> labels(perLabel.begin(), perLabel.end());
    std::stable_sort(labels.begin(), labels.end(),
                     [](const auto& a, const auto& b) { return a.second > b.second; });
    out << "Per label:\n";
    for (const auto& [label, count] : labels) {
        out << "  " << (label.empty() ? "(no label)" : printable(label)) << '\t' << count << '\n';
    }
    if (noBat > 0 || below > 0) {
        out << "Kept, but left out of analyses by default: " << noBat
            << " labelled noise or no ID, " << below << " with an automatic probability below "
            << kDefaultMinProbability << '\n';
    }
    out << "Left out: " << read.skipped.size() << (read.skipped.size() == 1 ? " file" : " files")
        << '\n';
    for (const SkippedFile& skipped : read.skipped) {
        out << "  " << printable(skipped.file) << ": " << printable(skipped.reason) << '\n';
    }
}

// A new file is written beside its name and given it when complete; a server's library is
// written in one transaction instead.
bool isNewLibraryFile(const library::LibraryLocation& location) {
    return location.isMissingFile();
}

}  // namespace

int runImport(const ImportOptions& options, const icu::TimeZone& processZone, std::ostream& out,
              std::ostream& err, const ImportProgress& progress) {
    std::unique_ptr<icu::TimeZone> chosenZone;
    if (options.zone) {
        chosenZone.reset(
            icu::TimeZone::createTimeZone(icu::UnicodeString::fromUTF8(*options.zone)));
        // ICU answers an unknown name with GMT under another name; a misspelt zone must not pass.
        if (*chosenZone == icu::TimeZone::getUnknown()) {
            return reportProblem(badUsage("--zone: unknown time zone \"" + *options.zone +
                                          "\" (give a name such as Europe/Berlin)"),
                                 err);
        }
    }
    const icu::TimeZone& zone = chosenZone ? *chosenZone : processZone;
    const bool terminal = &err == &std::cerr && isatty(STDERR_FILENO) == 1;

    Outcome<ReadSources> read = readSources(options, zone, err, terminal);
    if (!read) {
        return reportProblem(read.error(), err);
    }
    if (read->recordings.empty()) {
        err << "Nothing to import: no recordings in " << options.sources.size()
            << (options.sources.size() == 1 ? " source" : " sources") << '\n';
        for (const SkippedFile& skipped : read->skipped) {
            err << "  " << printable(skipped.file) << ": " << printable(skipped.reason) << '\n';
        }
        return kExitNoResult;
    }

    // Into the session of that name, also when another import makes it meanwhile.
    library::NewSession session{options.session, {}, options.latitude, options.longitude};
    session.joinExisting = true;
    if (const std::optional<GeoPosition> site = read->site.position();
        !options.latitude && !options.longitude && site) {
        session.latitude = site->latitude;
        session.longitude = site->longitude;
    }
    const auto tell = [&](std::size_t done) {
        if (progress) {
            progress(done, read->recordings.size());
        }
        if (terminal) {
            err << "\rWriting " << done << " of " << read->recordings.size() << " recordings\x1b[K"
                << std::flush;
        }
    };
    const auto waiting = [&err] {
        err << "Waiting for another import into the library to end...\n" << std::flush;
    };
    const StopOnSignals signals;
    const auto importInto = [&](library::RecordingLibrary& library) {
        std::optional<library::ImportSummary> summary =
            library.importRecordings(session, read->recordings, signals.token(), tell, waiting);
        if (terminal) {
            err << '\n';
        }
        return summary;
    };
    const bool isNew = isNewLibraryFile(options.library);
    // What became of the library when nothing was imported: a new one may have been made by
    // another import meanwhile.
    const auto libraryAsItWas = [&options] {
        return "\"" + options.library.string() + "\"" +
               (isNewLibraryFile(options.library) ? " was not made" : " is as it was");
    };
    try {
        std::optional<library::ImportSummary> summary;
        bool made = false;
        if (isNew) {
            library::NewLibraryFile fresh(options.library);
            summary = importInto(fresh.library());
            // When another import made the library meanwhile, this one goes into it instead.
            made = summary && fresh.publish();
        }
        if (!made && (!isNew || summary)) {
            library::RecordingLibrary library = library::RecordingLibrary::open(options.library);
            summary = importInto(library);
        }
        if (!summary) {
            err << "Stopped: nothing was imported; " << printable(libraryAsItWas()) << '\n';
            return exitStatusOfSignal(signals.signal());
        }
        writeSummary(*read, *summary, options.library, out);
        return kExitSuccess;
    } catch (const library::ImportUndone& undone) {
        return reportProblem(
            {.title = "Problem with library",
             .message = "Nothing was imported; " + libraryAsItWas() + ": " + undone.cause()},
            err);
    } catch (const library::LibraryError& error) {
        return reportProblem(library::libraryProblem(error), err);
    } catch (const std::filesystem::filesystem_error& error) {
        return reportProblem(library::libraryProblem(error, options.library), err);
    }
}

void addImportCommand(CLI::App& app, CommandAction& action) {
    const auto options = std::make_shared<ImportOptions>();
    CLI::App* command = app.add_subcommand(
        "import",
        "Import recordings into a session of a Vane library (made when new): identification\n"
        "programs' tables (recognised from their header), recording lists and CSV lists, WAV\n"
        "files with GUANO metadata or a recorder's file name, and folders of them. All or\n"
        "nothing: when any source cannot be read, the library is left as it was. Prints how many\n"
        "recordings were imported, how many per label, and which files were left out and why.");
    command
        ->add_option("--library", options->library,
                     "The library: a file, or a postgresql:// URL of a database")
        ->required();
    command
        ->add_option("--session", options->session,
                     "The session to import into; made when the library has none of that name")
        ->required()
        ->check(CLI::Validator(
            [](const std::string& name) -> std::string {
                return library::isBlankSessionName(name) ? library::kBlankSessionName : "";
            },
            "", "NAME"));
    command->add_option("--latitude", options->latitude, "Of a new session's site, degrees north")
        ->check(finiteNumber())
        ->check(CLI::Range(-90.0, 90.0));
    command->add_option("--longitude", options->longitude, "Of a new session's site, degrees east")
        ->check(finiteNumber())
        ->check(CLI::Range(-180.0, 180.0));
    command->add_option("--zone", options->zone,
                        "Time zone of times without an offset, such as Europe/Berlin; default:\n"
                        "the process's (TZ)");
    addNamedColumnOptions(*command, options->named);
    command->add_option("SOURCES", options->sources, "Files and folders to import")
        ->required()
        ->check(CLI::ExistingPath);
    command->callback([options, &action] {
        action = [options] {
            return runImport(*options, *processTimeZone(), std::cout, std::cerr);
        };
    });
}

}  // namespace vane::cli
