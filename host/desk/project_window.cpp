#include "host/desk/project_window.h"

#include <unicode/timezone.h>

#include <QApplication>
#include <QDir>
#include <QFileInfo>
#include <QHBoxLayout>
#include <QHeaderView>
#include <QLabel>
#include <QLineEdit>
#include <QPlainTextEdit>
#include <QProgressBar>
#include <QPushButton>
#include <QTableWidget>
#include <QVBoxLayout>
#include <sstream>

#include "core/time/local_time.h"
#include "farm/project_run.h"
#include "plugin_api/user_dialogs.h"
#include "plugin_api/window_sizes.h"

namespace vane {
namespace {

QString q(const std::string& text) {
    return QString::fromStdString(text);
}

std::filesystem::path pathOf(const QString& text) {
    return std::filesystem::path(text.toStdU16String());
}

}  // namespace

ProjectWindow::ProjectWindow(const QString& projectFile, FilePanels& panels,
                             DocumentOpener openDocument, QWidget* parent)
    : QDialog(parent),
      projectFile_(projectFile),
      panels_(panels),
      openDocument_(std::move(openDocument)),
      zone_(processTimeZone()),
      turbines_(new QTableWidget(0, 4, this)),
      problems_(new QLabel(this)),
      folder_(new QLineEdit(this)),
      progress_(new QProgressBar(this)),
      runButton_(new QPushButton(tr("&Run"), this)),
      cancelButton_(new QPushButton(tr("Cancel"), this)),
      log_(new QPlainTextEdit(this)) {
    setObjectName(QStringLiteral("projectWindow"));
    turbines_->setObjectName(QStringLiteral("turbines"));
    folder_->setObjectName(QStringLiteral("resultsFolder"));
    progress_->setObjectName(QStringLiteral("progress"));
    runButton_->setObjectName(QStringLiteral("run"));
    cancelButton_->setObjectName(QStringLiteral("cancel"));
    log_->setObjectName(QStringLiteral("log"));
    turbines_->setHorizontalHeaderLabels(
        {tr("Turbine"), tr("Recordings"), tr("Wind file"), tr("Check")});
    turbines_->horizontalHeader()->setStretchLastSection(true);
    turbines_->setEditTriggers(QAbstractItemView::NoEditTriggers);
    turbines_->setWordWrap(true);
    problems_->setWordWrap(true);
    problems_->setTextInteractionFlags(Qt::TextSelectableByMouse);
    log_->setReadOnly(true);
    const QFileInfo file(projectFile);
    // Beside the project file unless the user chooses otherwise.
    folder_->setText(file.absoluteDir().filePath(file.completeBaseName() + tr(" results")));
    auto* choose = new QPushButton(tr("Choose…"), this);
    connect(choose, &QPushButton::clicked, this, [this] {
        if (const std::optional<QString> chosen =
                panels_.chooseFolder(this, tr("Folder of the results"))) {
            setResultsFolder(*chosen);
        }
    });
    connect(runButton_, &QPushButton::clicked, this, &ProjectWindow::run);
    connect(cancelButton_, &QPushButton::clicked, this, &ProjectWindow::cancel);
    cancelButton_->setEnabled(false);

    auto* folderRow = new QHBoxLayout;
    folderRow->addWidget(new QLabel(tr("Results:"), this));
    folderRow->addWidget(folder_, 1);
    folderRow->addWidget(choose);
    auto* runRow = new QHBoxLayout;
    runRow->addWidget(progress_, 1);
    runRow->addWidget(runButton_);
    runRow->addWidget(cancelButton_);
    auto* layout = new QVBoxLayout(this);
    layout->addWidget(turbines_, 3);
    layout->addWidget(problems_);
    layout->addLayout(folderRow);
    layout->addLayout(runRow);
    layout->addWidget(log_, 1);
    showCheck();
    keepWindowSize(*this, QStringLiteral("projectWindow"), QSize(900, 560));
}

ProjectWindow::~ProjectWindow() {
    worker_.request_stop();
}

void ProjectWindow::showCheck() {
    QApplication::setOverrideCursor(Qt::WaitCursor);
    const farm::ProjectCheck check = farm::checkProjectInputs(pathOf(projectFile_), *zone_);
    QApplication::restoreOverrideCursor();
    setWindowTitle(
        tr("Wind farm %1")
            .arg(check.farm.empty() ? QFileInfo(projectFile_).fileName() : q(check.farm)));
    turbines_->setRowCount(static_cast<int>(check.turbines.size()));
    bool readable = true;
    for (int row = 0; row < turbines_->rowCount(); ++row) {
        const farm::TurbineCheck& turbine = check.turbines[static_cast<std::size_t>(row)];
        QStringList found;
        for (const std::string& line : turbine.found) {
            found << q(line);
        }
        if (!turbine.readable) {
            found.prepend(tr("Its inputs could not be read:"));
        }
        const QString texts[] = {q(turbine.name), q(turbine.recordings), q(turbine.windFile),
                                 found.join(QLatin1Char('\n'))};
        for (int column = 0; column < 4; ++column) {
            turbines_->setItem(row, column, new QTableWidgetItem(texts[column]));
        }
        readable = readable && turbine.readable;
    }
    turbines_->resizeRowsToContents();
    QStringList problems;
    for (const Problem& problem : check.problems) {
        problems << q(problem.describe());
    }
    problems_->setText(
        problems.isEmpty()
            ? QString()
            : tr("Problems of the project file:\n%1").arg(problems.join(QLatin1Char('\n'))));
    problems_->setVisible(!problems.isEmpty());
    // A turbine whose inputs cannot be read still runs, as on the command line, and says why in
    // its log; a project file with problems does not.
    runnable_ = check.problems.empty() && !check.turbines.empty();
    runButton_->setEnabled(runnable_);
    progress_->setRange(0, std::max(1, turbines_->rowCount()));
    progress_->setValue(0);
    if (!readable) {
        log_->setPlainText(tr("Some turbines' inputs could not be read (see Check)."));
    }
}

QString ProjectWindow::resultsFolder() const {
    return folder_->text();
}

void ProjectWindow::setResultsFolder(const QString& folder) {
    folder_->setText(folder);
}

bool ProjectWindow::isRunning() const {
    return running_;
}

void ProjectWindow::run() {
    if (!runnable_ || isRunning()) {
        return;
    }
    if (worker_.joinable()) {
        worker_.join();  // the last run has sent its end already
    }
    running_ = true;
    runButton_->setEnabled(false);
    cancelButton_->setEnabled(true);
    folder_->setEnabled(false);
    progress_->setValue(0);
    log_->setPlainText(tr("Running…"));
    farm::ProjectRunOptions options{.projectFile = pathOf(projectFile_),
                                    .outFolder = pathOf(folder_->text()),
                                    .jobs = 0,
                                    .progress = false,
                                    .onProgress = {},
                                    .stop = {}};
    options.onProgress = [this](std::size_t done, std::size_t) {
        QMetaObject::invokeMethod(
            this, [this, done] { progress_->setValue(static_cast<int>(done)); },
            Qt::QueuedConnection);
    };
    std::unique_ptr<icu::TimeZone> zone(zone_->clone());
    worker_ = std::jthread([this, options, zone = std::move(zone)](std::stop_token stop) mutable {
        options.stop = stop;
        std::ostringstream said;
        const int status = farm::runProject(options, *zone, said, said);
        // Queued to this window: dropped when the window is gone by then.
        QMetaObject::invokeMethod(
            this, [this, status, text = q(said.str())] { finish(status, text); },
            Qt::QueuedConnection);
    });
}

void ProjectWindow::cancel() {
    if (isRunning()) {
        worker_.request_stop();
        cancelButton_->setEnabled(false);
        log_->appendPlainText(tr("Stopping after the turbines that are running…"));
    }
}

void ProjectWindow::finish(int status, const QString& said) {
    running_ = false;
    cancelButton_->setEnabled(false);
    runButton_->setEnabled(runnable_);
    folder_->setEnabled(true);
    log_->setPlainText(said);
    const QString report = QDir(folder_->text()).filePath(QString::fromUtf8(farm::kFarmReportName));
    if (status != farm::kExitStopped && QFileInfo::exists(report)) {
        progress_->setValue(progress_->maximum());
        openDocument_(report);
    }
    emit runFinished(status);
}

}  // namespace vane
