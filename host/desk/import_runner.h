#pragma once

#include <QString>
#include <filesystem>
#include <functional>
#include <stop_token>

#include "core/icu_forward.h"
#include "core/recordings/classifier_table.h"
#include "core/recordings/recording_csv.h"
#include "core/recordings/recording_folder_scan.h"
#include "library/recording_library.h"

class QWidget;

namespace vane {

struct ImportReport {
    QString title;
    QString message;
    QString details;  // skipped files and why, one a line
    bool changed = false;
    bool cancelled = false;  // the user stopped it; nothing was written
};

using ImportWork = std::function<ImportReport(std::stop_token stop, const ScanProgress& progress)>;

// Runs `work` on a worker thread while a progress dialog with a Cancel button is shown over
// `parent`; the user interface stays responsive. Cancel asks the work to stop; the work must
// then leave the library as it was.
ImportReport runImport(QWidget* parent, const QString& label, const ImportWork& work);

// The work of the two imports, as it runs on the worker thread. Each opens a connection of its
// own to `location` and writes nothing unless there is something to import; a new session
// has the site the target gives (the import dialog proposes the files' own).
ImportReport importFolder(const library::LibraryLocation& location,
                          const std::filesystem::path& folder, const icu::TimeZone& zone,
                          const library::ImportTarget& target, std::stop_token stop,
                          const ScanProgress& progress);
ImportReport importCsv(const library::LibraryLocation& location, const CsvTable& table,
                       const RecordingColumns& columns, const icu::TimeZone& zone,
                       const std::string& fileName, const library::ImportTarget& target,
                       std::stop_token stop);

// An identification program's table, recognised from its header: the times, labels and
// probabilities of the rows that read, in one transaction; the others are listed by line.
ImportReport importClassifierTable(const library::LibraryLocation& location,
                                   const std::string& text, const icu::TimeZone& zone,
                                   const std::string& fileName, const library::ImportTarget& target,
                                   std::stop_token stop);

}  // namespace vane
