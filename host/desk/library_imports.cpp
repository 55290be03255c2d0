#include "host/desk/library_imports.h"

#include <unicode/timezone.h>

#include <QApplication>
#include <QFileInfo>
#include <QMenu>
#include <memory>

#include "core/recordings/list_file.h"
#include "core/recordings/recording_csv.h"
#include "host/desk/dropped_sources.h"
#include "host/desk/import_dialog.h"
#include "plugin_api/user_dialogs.h"

namespace vane {

LibraryImports::LibraryImports(QWidget* window, ImportingWindow importing, AlertPresenter& alerts,
                               FilePanels& panels)
    : QObject(window),
      window_(window),
      importing_(std::move(importing)),
      alerts_(alerts),
      panels_(panels) {}

LibraryImports::~LibraryImports() = default;

void LibraryImports::addMenuItemsTo(QMenu* file) {
    file->addAction(tr("Import &Folder of WAV Files..."), this, &LibraryImports::importFolder);
    file->addAction(tr("Import &CSV File..."), this, &LibraryImports::importCsv);
}

bool LibraryImports::libraryIsOpenOrSay() {
    if (importing_.library()) {
        return true;
    }
    alerts_.showAlert(window_, tr("No library"), tr("Open or create a library first."));
    return false;
}

void LibraryImports::importFolder() {
    if (!libraryIsOpenOrSay()) {
        return;
    }
    if (const std::optional<QString> chosen = panels_.chooseFolder(window_, tr("Import Folder"))) {
        importFolderAt(*chosen);
    }
}

void LibraryImports::importFolderAt(const QString& folder) {
    if (!libraryIsOpenOrSay()) {
        return;
    }
    const std::optional<std::vector<library::LibrarySession>> sessions = importing_.sessions();
    if (!sessions) {
        return;
    }
    QApplication::setOverrideCursor(Qt::WaitCursor);
    const std::optional<GeoPosition> site = agreedGuanoPosition(folder.toStdString());
    QApplication::restoreOverrideCursor();
    ImportDialog dialog(QFileInfo(folder).fileName(), *sessions, nullptr, site, window_);
    if (dialog.exec() != QDialog::Accepted) {
        return;
    }
    const std::shared_ptr<icu::TimeZone> zone = dialog.timeZone();
    const library::ImportTarget target = dialog.target();
    const library::LibraryLocation location = importing_.library()->location();
    runAndReport(tr("Reading recordings..."), [zone, target, location, folder](
                                                  std::stop_token stop,
                                                  const ScanProgress& progress) {
        return vane::importFolder(location, folder.toStdString(), *zone, target, stop, progress);
    });
}

void LibraryImports::importCsv() {
    if (!libraryIsOpenOrSay()) {
        return;
    }
    const std::optional<QString> chosen = panels_.chooseFileToOpen(
        window_, OpenPanelOptions{.fileTypes = {QStringLiteral("csv"), QStringLiteral("txt")},
                                  .typesName = tr("CSV files"),
                                  .title = tr("Import CSV File")});
    if (chosen) {
        importCsvAt(*chosen);
    }
}

void LibraryImports::importCsvAt(const QString& file) {
    if (!libraryIsOpenOrSay()) {
        return;
    }
    const Outcome<std::string> content = readListFile(file.toStdString(), "CSV file");
    if (!content) {
        alerts_.showAlert(window_, tr("Cannot read file"), tr("\"%1\" cannot be read.").arg(file));
        return;
    }
    const auto table = std::make_shared<const CsvTable>(splitRecordingCsv(*content));
    const std::optional<std::vector<library::LibrarySession>> sessions = importing_.sessions();
    if (!sessions) {
        return;
    }
    // An identification program's table says itself where its times and labels are.
    const bool knownTable = looksLikeClassifierTable(*content);
    ImportDialog dialog(QFileInfo(file).completeBaseName(), *sessions,
                        knownTable ? nullptr : table.get(), std::nullopt, window_);
    if (dialog.exec() != QDialog::Accepted) {
        return;
    }
    const std::shared_ptr<icu::TimeZone> zone = dialog.timeZone();
    const library::ImportTarget target = dialog.target();
    const RecordingColumns columns = dialog.columns();
    const library::LibraryLocation location = importing_.library()->location();
    const std::string fileName = file.toStdString();
    if (knownTable) {
        const auto text = std::make_shared<const std::string>(*content);
        runAndReport(tr("Importing recordings..."), [=](std::stop_token stop, const ScanProgress&) {
            return vane::importClassifierTable(location, *text, *zone, fileName, target, stop);
        });
        return;
    }
    runAndReport(tr("Importing recordings..."), [=](std::stop_token stop, const ScanProgress&) {
        return vane::importCsv(location, *table, columns, *zone, fileName, target, stop);
    });
}

void LibraryImports::importDropped(const DroppedSources& sources) {
    if (!libraryIsOpenOrSay()) {
        return;
    }
    if (!sources.refused.isEmpty()) {
        alerts_.showAlert(
            window_, tr("Not imported"),
            tr("Only folders of recordings and CSV or text lists can be dropped here; these are "
               "left out:\n%1")
                .arg(sources.refused.join(QLatin1Char('\n'))));
    }
    for (const QString& folder : sources.folders) {
        importFolderAt(folder);
    }
    for (const QString& list : sources.lists) {
        importCsvAt(list);
    }
}

void LibraryImports::runAndReport(const QString& label, const ImportWork& work) {
    ImportReport report;
    try {
        report = runImport(window_, label, work);
    } catch (const std::exception& error) {
        // The library's own refusals say already that nothing was imported.
        const QString why = QString::fromUtf8(error.what());
        alerts_.showAlert(window_, tr("Import failed"),
                          why.startsWith(QStringLiteral("Nothing was imported"))
                              ? why
                              : tr("Nothing was imported; the library is unchanged. %1").arg(why));
        return;
    }
    if (report.changed) {
        importing_.reload();
    }
    alerts_.showReport(window_, report.title, report.message, report.details);
}

}  // namespace vane
