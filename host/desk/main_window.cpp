#include "host/desk/main_window.h"

#include <QDesktopServices>
#include <QDragEnterEvent>
#include <QDropEvent>
#include <QEvent>
#include <QFileInfo>
#include <QMenuBar>
#include <QMimeData>
#include <QStatusBar>
#include <QUrl>

#include "host/desk/about_text.h"
#include "host/desk/dropped_sources.h"
#include "host/desk/library_alerts.h"
#include "host/desk/library_editor.h"
#include "host/desk/library_imports.h"
#include "host/desk/library_opening.h"
#include "host/desk/library_tables.h"
#include "host/desk/review_window.h"
#include "library/library_problem.h"
#include "plugin_api/counted_text.h"
#include "plugin_api/plugin.h"
#include "plugin_api/window_sizes.h"

namespace vane {

MainWindow::MainWindow(QWidget* parent) : MainWindow(deskDialogs(), parent) {}

MainWindow::MainWindow(UserDialogs dialogs, QWidget* parent)
    : MainWindow(std::move(dialogs), deskQuestions(), parent) {}

MainWindow::MainWindow(UserDialogs dialogs, std::unique_ptr<Questions> questions, QWidget* parent)
    : QMainWindow(parent),
      dialogs_(std::move(dialogs)),
      questions_(std::move(questions)),
      tables_(new LibraryTables([this](const std::vector<std::int64_t>& sessionIds) {
          return recordingsOrSay(sessionIds);
      })),
      editor_(new LibraryEditor(
          this,
          EditedWindow{[this] { return library_ ? &*library_ : nullptr; },
                       [this] { return tables_->selectedSessions(); },
                       [this] { return tables_->selectedRecordingIds(); },
                       [this] { return tables_->recordingsHaveFocus(); }, [this] { reload(); }},
          *dialogs_.alerts, *questions_)),
      opening_(new LibraryOpening(
          this, *dialogs_.alerts, *dialogs_.panels,
          [this](library::RecordingLibrary opened) { showLibrary(std::move(opened)); })),
      imports_(new LibraryImports(
          this,
          ImportingWindow{[this] { return library(); }, [this] { return sessionsOrSay(); },
                          [this] { reload(); }},
          *dialogs_.alerts, *dialogs_.panels)),
      openDocument_(
          [](const QString& path) { QDesktopServices::openUrl(QUrl::fromLocalFile(path)); }) {
    setCentralWidget(tables_);
    connect(tables_, &LibraryTables::recordingSelectionChanged, this, [this] {
        showSelectionCount();
        if (review_ && review_->isVisible()) {
            review_->followSelection();
        }
    });
    buildMenus();
    setAcceptDrops(true);
    updateTitle();
    keepWindowSize(*this, QStringLiteral("mainWindow"), QSize(900, 640));
}

MainWindow::~MainWindow() = default;

template <typename Read>
std::optional<std::invoke_result_t<Read>> MainWindow::readOrSay(Read&& read) {
    Outcome<std::invoke_result_t<Read>> outcome =
        library::readLibrary(library_->location(), std::forward<Read>(read));
    if (!outcome) {
        dialogs_.alerts->showAlert(this, tr("Cannot read library"),
                                   QString::fromStdString(outcome.error().message));
        return std::nullopt;
    }
    return std::move(outcome).value();
}

void MainWindow::buildMenus() {
    QMenu* file = menuBar()->addMenu(tr("&File"));
    opening_->addMenuItemsTo(file);
    file->addAction(tr("Re&fresh"), QKeySequence::Refresh, this, [this] { refresh(); });
    file->addSeparator();
    QAction* project = file->addAction(tr("Open &Project…"), this, [this] {
        OpenPanelOptions options;
        options.fileTypes = {QStringLiteral("toml")};
        options.typesName = tr("Wind farm projects");
        options.title = tr("Open Project");
        if (const std::optional<QString> chosen =
                dialogs_.panels->chooseFileToOpen(this, options)) {
            openProject(*chosen);
        }
    });
    project->setObjectName(QStringLiteral("openProject"));
    file->addSeparator();
    imports_->addMenuItemsTo(file);
    file->addSeparator();
    file->addAction(tr("&Quit"), QKeySequence::Quit, this, &QWidget::close);
    QMenu* edit = editor_->addMenuTo(menuBar());
    edit->addSeparator();
    QAction* review =
        edit->addAction(tr("&Review Recordings..."), this, &MainWindow::reviewRecordings);
    review->setShortcut(Qt::CTRL | Qt::Key_E);
    review->setToolTip(tr("Spectrogram, GUANO fields and label of each selected recording"));
    pluginMenu_ = menuBar()->addMenu(tr("&Plug-ins"));
    pluginMenu_->setObjectName(QStringLiteral("pluginMenu"));
    pluginMenu_->addAction(tr("No plug-ins found"))->setEnabled(false);
    QMenu* help = menuBar()->addMenu(tr("&Help"));
    help->addAction(tr("&About Vane"), this, [this] {
        dialogs_.alerts->showReport(this, tr("About Vane"), aboutText(), QString());
    });
}

bool MainWindow::openLibrary(const QString& file) {
    return opening_->openLibrary(file);
}

bool MainWindow::createLibrary(const QString& file) {
    return opening_->createLibrary(file);
}

void MainWindow::openAtStart() {
    opening_->openAtStart();
}

ProjectWindow* MainWindow::openProject(const QString& file) {
    auto* window = new ProjectWindow(file, *dialogs_.panels, openDocument_, this);
    window->setAttribute(Qt::WA_DeleteOnClose);
    window->show();
    return window;
}

void MainWindow::setDocumentOpener(DocumentOpener openDocument) {
    openDocument_ = std::move(openDocument);
}

void MainWindow::setLibraryAddressQuestion(std::unique_ptr<LibraryAddressQuestion> question) {
    opening_->setLibraryAddressQuestion(std::move(question));
}

void MainWindow::showLibrary(library::RecordingLibrary opened) {
    library_.emplace(std::move(opened));
    editor_->forgetHistory();
    reload();
}

void MainWindow::reload() {
    library::RowsRead<std::vector<library::LibrarySession>> read;
    if (library_) {
        if (auto sessions = readOrSay([this] { return library_->sessions(); })) {
            read = std::move(*sessions);
        }
    }
    sayLeftOutRows(*dialogs_.alerts, this, read.leftOut);
    tables_->showSessions(std::move(read.rows));
    updateTitle();
    showSelectionCount();
    refreshReview();
}

void MainWindow::reviewRecordings() {
    if (!review_) {
        review_ = new ReviewWindow(
            ReviewedRecordings{
                [this] { return tables_->selectedRecordingRows(); },
                [this] {
                    return library_ ? readOrSay([this] {
                                          return library_->labelNames();
                                      }).value_or(std::vector<std::string>{})
                                    : std::vector<std::string>{};
                },
                [this](const library::LibraryRecording& recording, const std::string& label) {
                    editor_->labelRecordings({recording}, label);
                },
                editor_->undoStack()},
            *dialogs_.alerts, this);
    }
    review_->refresh();
    review_->show();
    review_->raise();
    review_->activateWindow();
}

void MainWindow::refreshReview() {
    if (review_ && review_->isVisible()) {
        review_->refresh();
    }
}

void MainWindow::showSelectionCount() {
    statusBar()->showMessage(tr("%1 selected")
                                 .arg(counted(static_cast<qsizetype>(selectedRecordings().size()),
                                              tr("recording"), tr("recordings"))));
}

void MainWindow::refresh(bool quietly) {
    if (!library_) {
        return;
    }
    const auto now =
        library::readLibrary(library_->location(), [this] { return library_->sessions(); });
    if (!now) {
        const QString text = QString::fromStdString(now.error().message);
        if (quietly) {
            statusBar()->showMessage(text);
        } else {
            dialogs_.alerts->showAlert(this, tr("Cannot read library"), text);
        }
        return;
    }
    if (!tables_->showsSessions(now->rows)) {
        reload();
    }
}

void MainWindow::changeEvent(QEvent* event) {
    QMainWindow::changeEvent(event);
    // Coming back to the window is when a person expects to see what colleagues imported.
    if (event->type() == QEvent::ActivationChange && isActiveWindow()) {
        refresh(true);
    }
}

void MainWindow::selectSessions(const QStringList& names) {
    tables_->selectSessions(names);
}

void MainWindow::updateTitle() {
    if (!library_) {
        setWindowTitle(tr("Vane"));
        return;
    }
    const QString location = QString::fromStdString(library_->location().text());
    setWindowTitle(
        tr("%1 - Vane")
            .arg(library_->location().onServer() ? location : QFileInfo(location).fileName()));
}

std::optional<std::vector<library::LibrarySession>> MainWindow::sessionsOrSay() {
    auto read = readOrSay([this] { return library_->sessions(); });
    if (!read) {
        return std::nullopt;
    }
    return std::move(read->rows);
}

std::vector<library::LibraryRecording> MainWindow::recordingsOrSay(
    const std::vector<std::int64_t>& sessionIds) {
    library::RowsRead<std::vector<library::LibraryRecording>> read;
    if (library_) {
        if (auto recordings =
                readOrSay([this, &sessionIds] { return library_->recordings(sessionIds); })) {
            read = std::move(*recordings);
        }
    }
    sayLeftOutRows(*dialogs_.alerts, this, read.leftOut);
    return std::move(read.rows);
}

std::vector<Recording> MainWindow::selectedRecordings() const {
    return tables_->selectedRecordings().recordings;
}

std::vector<std::string> MainWindow::recordingLabels() const {
    return tables_->selectedRecordings().labels.names();
}

std::vector<Session> MainWindow::selectedSessions() const {
    std::vector<Session> sessions;
    for (const library::LibrarySession& s : tables_->selectedSessions()) {
        sessions.push_back({s.sampleDate, s.recordingCount, s.latitude, s.longitude});
    }
    return sessions;
}

void MainWindow::loadPlugins(const QStringList& folders) {
    plugins_.loadFrom(folders);
    pluginMenu_->clear();
    for (const LoadedPlugin& loaded : plugins_.plugins()) {
        loaded.plugin->attach(*this, this);
        AbstractPlugin* plugin = loaded.plugin;
        pluginMenu_->addAction(plugin->name(), this, [plugin] { plugin->fire(); });
    }
    if (plugins_.plugins().empty()) {
        pluginMenu_->addAction(tr("No plug-ins found"))->setEnabled(false);
    }
}

void MainWindow::dragEnterEvent(QDragEnterEvent* event) {
    if (event->mimeData()->hasUrls() && !droppedSources(event->mimeData()->urls()).empty()) {
        event->acceptProposedAction();
    }
}

void MainWindow::dropEvent(QDropEvent* event) {
    const DroppedSources sources = droppedSources(event->mimeData()->urls());
    if (sources.empty()) {
        return;
    }
    event->acceptProposedAction();
    imports_->importDropped(sources);
}

}  // namespace vane
