#pragma once

#include <QString>
#include <functional>
#include <stop_token>

#include "core/recordings/recording_folder_scan.h"

class QWidget;

namespace vane {

struct ImportReport {
    QString title;
    QString message;
    QString details;  // skipped files and why, one a line
    bool changed = false;
};

using ImportWork = std::function<ImportReport(std::stop_token stop, const ScanProgress& progress)>;

// Runs `work` on a worker thread while a progress dialog with a Cancel button is shown over
// `parent`; the user interface stays responsive. Cancel asks the work to stop; the work must
// then leave the library as it was.
ImportReport runImport(QWidget* parent, const QString& label, const ImportWork& work);

}  // namespace vane
