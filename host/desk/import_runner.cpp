#include "host/desk/import_runner.h"

#include <QEventLoop>
#include <QProgressDialog>
#include <QThread>
#include <exception>
#include <memory>
#include <optional>

#include "core/recordings/stored_paths.h"
#include "plugin_api/counted_text.h"

namespace vane {
namespace {

void addSkipped(const std::vector<SkippedFile>& skipped, ImportReport& report) {
    if (skipped.empty()) {
        return;
    }
    report.message += ' ' + QObject::tr("Skipped %1; see the details.")
                                .arg(counted(static_cast<qsizetype>(skipped.size()),
                                             QObject::tr("file"), QObject::tr("files")));
    for (const SkippedFile& file : skipped) {
        report.details += QString::fromStdString(file.file + ": " + file.reason) + '\n';
    }
}

ImportReport cancelled() {
    return {QObject::tr("Import cancelled"),
            QObject::tr("Nothing was imported; the library is unchanged."),
            {},
            false,
            true};
}

// Nothing is written then: a new session without recordings would have no sample date.
ImportReport nothingFound(const std::vector<SkippedFile>& skipped) {
    ImportReport report{QObject::tr("Nothing imported"),
                        QObject::tr("No recordings were found; the library is unchanged."),
                        {},
                        false,
                        false};
    addSkipped(skipped, report);
    return report;
}

ImportReport reportOf(const std::optional<library::ImportSummary>& summary,
                      const std::vector<SkippedFile>& skipped) {
    if (!summary) {
        return cancelled();
    }
    const std::size_t already = summary->alreadyStored.size();
    ImportReport report;
    if (summary->imported == 0) {
        report.title = QObject::tr("Nothing imported");
        report.message =
            already == 1 ? QObject::tr("The recording is in the library already; it is unchanged.")
                         : QObject::tr(
                               "All %1 recordings are in the library already; it is "
                               "unchanged.")
                               .arg(already);
    } else {
        report.changed = true;
        report.title = QObject::tr("Import finished");
        report.message = QObject::tr("Imported %1 into the session \"%2\".")
                             .arg(counted(static_cast<qsizetype>(summary->imported),
                                          QObject::tr("recording"), QObject::tr("recordings")),
                                  QString::fromStdString(summary->sessionName));
        if (already > 0) {
            report.message +=
                ' ' + QObject::tr("Skipped %1 already in the library.")
                          .arg(counted(static_cast<qsizetype>(already), QObject::tr("recording"),
                                       QObject::tr("recordings")));
        }
        if (const auto& same = summary->sameTimesElsewhere) {
            report.title = QObject::tr("Imported again?");
            report.message +=
                ' ' + QObject::tr(
                          "%1 of the %2 time stamps without a file are in the session "
                          "\"%3\" already. If this list was imported before, these bats "
                          "now count twice wherever both sessions are read: delete one "
                          "of the two sessions.")
                          .arg(same->sameTimes)
                          .arg(same->timesWithoutFile)
                          .arg(QString::fromStdString(same->sessionName));
        }
    }
    addSkipped(skipped, report);
    return report;
}

// Rows left out of a list, by line, after what was imported.
void addRefused(const std::vector<RefusedRow>& refused, const std::string& fileName,
                ImportReport& report) {
    if (refused.empty() || report.cancelled) {
        return;
    }
    report.message += ' ' + QObject::tr("Left out %1 that could not be read; see the details.")
                                .arg(counted(static_cast<qsizetype>(refused.size()),
                                             QObject::tr("row"), QObject::tr("rows")));
    for (const RefusedRow& row : refused) {
        report.details +=
            QString::fromStdString(fileName + ':' + std::to_string(row.line) + ": " + row.reason) +
            '\n';
    }
}

}  // namespace

ImportReport runImport(QWidget* parent, const QString& label, const ImportWork& work) {
    QProgressDialog dialog(label, QObject::tr("Cancel"), 0, 0, parent);
    dialog.setWindowModality(Qt::WindowModal);
    dialog.setMinimumDuration(300);
    dialog.setAutoReset(false);
    dialog.setAutoClose(false);

    std::stop_source stop;
    QObject::connect(&dialog, &QProgressDialog::canceled, [&stop] { stop.request_stop(); });
    const ScanProgress progress = [&dialog](std::size_t done, std::size_t total) {
        // Queued to the dialog's thread; dropped if the dialog is gone.
        QMetaObject::invokeMethod(
            &dialog,
            [&dialog, done, total] {
                dialog.setMaximum(static_cast<int>(total));
                dialog.setValue(static_cast<int>(done));
            },
            Qt::QueuedConnection);
    };

    ImportReport report;
    std::exception_ptr failure;
    const std::unique_ptr<QThread> thread(QThread::create([&] {
        try {
            report = work(stop.get_token(), progress);
        } catch (...) {
            failure = std::current_exception();
        }
    }));
    QEventLoop loop;
    QObject::connect(thread.get(), &QThread::finished, &loop, &QEventLoop::quit);
    thread->start();
    loop.exec();
    thread->wait();
    if (failure) {
        std::rethrow_exception(failure);
    }
    return report;
}

ImportReport importFolder(const library::LibraryLocation& location,
                          const std::filesystem::path& folder, const icu::TimeZone& zone,
                          const library::ImportTarget& target, std::stop_token stop,
                          const ScanProgress& progress) {
    const FolderScan scan = scanRecordingFolder(canonicalPath(folder), zone, stop, progress);
    if (scan.cancelled) {
        return cancelled();
    }
    if (scan.recordings.empty()) {
        return nothingFound(scan.skipped);
    }
    // A connection of its own: SQLite connections are not shared between threads.
    library::RecordingLibrary writer = library::RecordingLibrary::open(location);
    return reportOf(writer.importRecordings(target, scan.recordings, stop), scan.skipped);
}

namespace {

// Rows that read are imported in one transaction; the rows refused are listed after the summary.
template <typename Read>
ImportReport importRowsThatRead(const library::LibraryLocation& location, Outcome<Read> read,
                                const std::string& fileName, const library::ImportTarget& target,
                                std::stop_token stop) {
    if (!read) {
        return {QObject::tr("Import stopped"),
                QObject::tr("Nothing was imported. %1")
                    .arg(QString::fromStdString(read.error().describe())),
                {},
                false};
    }
    anchorFilePaths(read->recordings, tableFolder(fileName));
    ImportReport report;
    if (read->recordings.empty()) {
        report = nothingFound({});
    } else {
        library::RecordingLibrary writer = library::RecordingLibrary::open(location);
        report = reportOf(writer.importRecordings(target, read->recordings, stop), {});
    }
    addRefused(read->refused, fileName, report);
    return report;
}

}  // namespace

ImportReport importCsv(const library::LibraryLocation& location, const CsvTable& table,
                       const RecordingColumns& columns, const icu::TimeZone& zone,
                       const std::string& fileName, const library::ImportTarget& target,
                       std::stop_token stop) {
    return importRowsThatRead(location,
                              readCsvRecordingsKeepingGoodRows(table, columns, zone, fileName),
                              fileName, target, stop);
}

ImportReport importClassifierTable(const library::LibraryLocation& location,
                                   const std::string& text, const icu::TimeZone& zone,
                                   const std::string& fileName, const library::ImportTarget& target,
                                   std::stop_token stop) {
    return importRowsThatRead(location,
                              readClassifierTable(text, fileName, zone, {}, BadRows::Skip),
                              fileName, target, stop);
}

}  // namespace vane
