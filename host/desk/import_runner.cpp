#include "host/desk/import_runner.h"

#include <QEventLoop>
#include <QProgressDialog>
#include <QThread>
#include <exception>
#include <memory>

namespace vane {

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

}  // namespace vane
