#include "host/desk/main_window.h"

#include <unicode/timezone.h>

#include <QAction>
#include <QApplication>
#include <QDir>
#include <QDragEnterEvent>
#include <QDropEvent>
#include <QEvent>
#include <QFileInfo>
#include <QHeaderView>
#include <QItemSelection>
#include <QMenuBar>
#include <QMimeData>
#include <QSettings>
#include <QSortFilterProxyModel>
#include <QSplitter>
#include <QStandardPaths>
#include <QStatusBar>
#include <QTableView>

#include "core/recordings/list_file.h"
#include "core/recordings/recording_csv.h"
#include "host/desk/about_text.h"
#include "host/desk/desk_dialogs.h"
#include "host/desk/dropped_sources.h"
#include "host/desk/import_dialog.h"
#include "host/desk/import_runner.h"
#include "host/desk/library_editor.h"
#include "host/desk/library_models.h"
#include "plugin_api/plugin.h"
#include "plugin_api/window_sizes.h"

namespace vane {
namespace {

constexpr int kMaxRecentLibraries = 8;
const QString kLibraryType = QStringLiteral("vanelib");
const QString kRecentKey = QStringLiteral("recentLibraries");

QTableView* makeTable(QAbstractItemModel* model) {
    auto* view = new QTableView;
    view->setModel(model);
    view->setSortingEnabled(true);
    view->setSelectionBehavior(QAbstractItemView::SelectRows);
    view->setSelectionMode(QAbstractItemView::ExtendedSelection);
    view->setAlternatingRowColors(true);
    view->verticalHeader()->hide();
    view->horizontalHeader()->setStretchLastSection(true);
    return view;
}

QSortFilterProxyModel* sortingProxy(QAbstractItemModel* source, QObject* parent) {
    auto* proxy = new QSortFilterProxyModel(parent);
    proxy->setSourceModel(source);
    proxy->setSortRole(kSortRole);
    return proxy;
}

}  // namespace

MainWindow::MainWindow(QWidget* parent) : MainWindow(deskDialogs(), parent) {}

MainWindow::MainWindow(UserDialogs dialogs, QWidget* parent)
    : MainWindow(std::move(dialogs), deskQuestions(), parent) {}

MainWindow::MainWindow(UserDialogs dialogs, std::unique_ptr<Questions> questions, QWidget* parent)
    : QMainWindow(parent),
      sessionModel_(new SessionTableModel(this)),
      recordingModel_(new RecordingTableModel(this)),
      sessionProxy_(sortingProxy(sessionModel_, this)),
      recordingProxy_(sortingProxy(recordingModel_, this)),
      sessionView_(makeTable(sessionProxy_)),
      recordingView_(makeTable(recordingProxy_)),
      dialogs_(std::move(dialogs)),
      questions_(std::move(questions)),
      editor_(new LibraryEditor(
          this,
          EditedWindow{[this] { return library_ ? &*library_ : nullptr; },
                       [this] {
                           std::vector<library::LibrarySession> sessions;
                           for (const int row : selectedSourceRows(sessionView_, sessionProxy_)) {
                               sessions.push_back(sessionModel_->session(row));
                           }
                           return sessions;
                       },
                       [this] { return selectedRecordingIds(); },
                       [this] { return recordingView_->hasFocus(); }, [this] { reload(); }},
          *dialogs_.alerts, *questions_)) {
    sessionView_->setObjectName(QStringLiteral("sessions"));
    recordingView_->setObjectName(QStringLiteral("recordings"));
    sessionView_->sortByColumn(SessionTableModel::SampleDate, Qt::AscendingOrder);
    recordingView_->sortByColumn(RecordingTableModel::Time, Qt::AscendingOrder);
    auto* splitter = new QSplitter(Qt::Vertical);
    splitter->addWidget(sessionView_);
    splitter->addWidget(recordingView_);
    splitter->setSizes({260, 380});
    setCentralWidget(splitter);
    connect(sessionView_->selectionModel(), &QItemSelectionModel::selectionChanged, this,
            &MainWindow::showSelectedSessionsRecordings);
    connect(recordingView_->selectionModel(), &QItemSelectionModel::selectionChanged, this, [this] {
        statusBar()->showMessage(tr("%1 recordings selected").arg(selectedRecordings().size()));
    });
    buildMenus();
    setAcceptDrops(true);
    buildHelpMenu();
    updateTitle();
    keepWindowSize(*this, QStringLiteral("mainWindow"), QSize(900, 640));
    // A recording's file name is at the end of its path: keep it in sight.
    recordingView_->setTextElideMode(Qt::ElideMiddle);
}

MainWindow::~MainWindow() = default;

QString MainWindow::defaultLibraryFile() {
    return QDir(QStandardPaths::writableLocation(QStandardPaths::AppDataLocation))
        .filePath(QStringLiteral("Library.vanelib"));
}

void MainWindow::buildMenus() {
    QMenu* file = menuBar()->addMenu(tr("&File"));
    file->addAction(tr("&New Library..."), QKeySequence::New, this, &MainWindow::chooseNewLibrary);
    file->addAction(tr("&Open Library..."), QKeySequence::Open, this,
                    &MainWindow::chooseLibraryToOpen);
    file->addAction(tr("Open &Shared Library..."), this, &MainWindow::chooseSharedLibraryToOpen);
    recentMenu_ = file->addMenu(tr("Open &Recent"));
    file->addAction(tr("Re&fresh"), QKeySequence::Refresh, this, [this] { refresh(); });
    file->addSeparator();
    file->addAction(tr("Import &Folder of WAV Files..."), this, &MainWindow::importFolder);
    file->addAction(tr("Import &CSV File..."), this, &MainWindow::importCsv);
    file->addSeparator();
    file->addAction(tr("&Quit"), QKeySequence::Quit, this, &QWidget::close);
    editor_->addMenuTo(menuBar());
    pluginMenu_ = menuBar()->addMenu(tr("&Plug-ins"));
    pluginMenu_->setObjectName(QStringLiteral("pluginMenu"));
    pluginMenu_->addAction(tr("No plug-ins found"))->setEnabled(false);
    updateRecentMenu();
}

void MainWindow::buildHelpMenu() {
    QMenu* help = menuBar()->addMenu(tr("&Help"));
    help->addAction(tr("&About Vane"), this, [this] {
        dialogs_.alerts->showReport(this, tr("About Vane"), aboutText(), QString());
    });
}

bool MainWindow::openLibrary(const QString& file) {
    // The library goes on the recent list only once its sessions could be read: a damaged file
    // put there first would fail again on every start.
    try {
        library::RecordingLibrary opened = library::RecordingLibrary::open(file.toStdString());
        (void)opened.sessions();
        library_.emplace(std::move(opened));
        editor_->forgetHistory();
    } catch (const std::exception& error) {
        dialogs_.alerts->showAlert(this, tr("Cannot open library"), cannotReadText(file, error));
        return false;
    }
    rememberRecent(file);
    reload();
    if (library_->undoneUnfinishedChange()) {
        dialogs_.alerts->showAlert(
            this, tr("Unfinished change undone"),
            tr("\"%1\" held a change that was never finished, such as an import that was "
               "stopped. It was undone; the library is as it was before that change.")
                .arg(file));
    }
    return true;
}

bool MainWindow::createLibrary(const QString& file) {
    try {
        library_.emplace(library::RecordingLibrary::create(file.toStdString()));
        editor_->forgetHistory();
    } catch (const library::LibraryError& error) {
        dialogs_.alerts->showAlert(this, tr("Cannot create library"),
                                   QString::fromStdString(error.what()));
        return false;
    }
    rememberRecent(file);
    reload();
    return true;
}

void MainWindow::reload() {
    // Keep the user's selection of sessions across a reload, such as after an import.
    std::vector<std::int64_t> selected;
    for (const int row : selectedSourceRows(sessionView_, sessionProxy_)) {
        selected.push_back(sessionModel_->session(row).id);
    }
    // Recordings stay selected by their ids: another user's import must not undo a selection.
    std::vector<std::int64_t> selectedRecordings;
    for (const int row : selectedSourceRows(recordingView_, recordingProxy_)) {
        selectedRecordings.push_back(recordingModel_->recording(row).id);
    }
    std::vector<library::LibrarySession> sessions;
    std::vector<std::string> refused;
    if (library_) {
        try {
            sessions = library_->sessions(&refused);
        } catch (const std::exception& error) {
            dialogs_.alerts->showAlert(
                this, tr("Cannot read library"),
                cannotReadText(QString::fromStdString(library_->file().string()), error));
        }
    }
    sayRefusedRows(refused);
    sessionModel_->setSessions(std::move(sessions));
    for (int row = 0; row < sessionModel_->rowCount(); ++row) {
        if (std::find(selected.begin(), selected.end(), sessionModel_->session(row).id) !=
            selected.end()) {
            sessionView_->selectionModel()->select(
                sessionProxy_->mapFromSource(sessionModel_->index(row, 0)),
                QItemSelectionModel::Select | QItemSelectionModel::Rows);
        }
    }
    showSelectedSessionsRecordings();
    std::sort(selectedRecordings.begin(), selectedRecordings.end());
    QItemSelection keep;
    for (int row = 0; row < recordingModel_->rowCount(); ++row) {
        if (std::binary_search(selectedRecordings.begin(), selectedRecordings.end(),
                               recordingModel_->recording(row).id)) {
            const QModelIndex index =
                recordingProxy_->mapFromSource(recordingModel_->index(row, 0));
            keep.select(index, index);
        }
    }
    recordingView_->selectionModel()->select(
        keep, QItemSelectionModel::Select | QItemSelectionModel::Rows);
    sessionView_->resizeColumnsToContents();
    updateTitle();
}

void MainWindow::refresh(bool quietly) {
    if (!library_) {
        return;
    }
    try {
        std::vector<library::LibrarySession> now = library_->sessions();
        bool same = static_cast<int>(now.size()) == sessionModel_->rowCount();
        for (int row = 0; same && row < sessionModel_->rowCount(); ++row) {
            same = now[static_cast<std::size_t>(row)] == sessionModel_->session(row);
        }
        if (same) {
            return;
        }
    } catch (const std::exception& error) {
        const QString text =
            cannotReadText(QString::fromStdString(library_->file().string()), error);
        if (quietly) {
            statusBar()->showMessage(text);
        } else {
            dialogs_.alerts->showAlert(this, tr("Cannot read library"), text);
        }
        return;
    }
    reload();
}

void MainWindow::changeEvent(QEvent* event) {
    QMainWindow::changeEvent(event);
    // Coming back to the window is when a person expects to see what colleagues imported.
    if (event->type() == QEvent::ActivationChange && isActiveWindow()) {
        refresh(true);
    }
}

void MainWindow::setLibraryAddressQuestion(std::unique_ptr<LibraryAddressQuestion> question) {
    addressQuestion_ = std::move(question);
}

void MainWindow::chooseSharedLibraryToOpen() {
    if (const std::optional<QString> address = addressQuestion_->askLibraryAddress(this)) {
        openLibrary(*address);
    }
}

void MainWindow::selectSessions(const QStringList& names) {
    sessionView_->clearSelection();
    for (int row = 0; row < sessionProxy_->rowCount(); ++row) {
        const QModelIndex index = sessionProxy_->index(row, SessionTableModel::Name);
        if (names.contains(index.data().toString())) {
            sessionView_->selectionModel()->select(
                index, QItemSelectionModel::Select | QItemSelectionModel::Rows);
        }
    }
}

void MainWindow::updateTitle() {
    if (!library_) {
        setWindowTitle(tr("Vane"));
        return;
    }
    const QString location = QString::fromStdString(library_->file().string());
    setWindowTitle(
        tr("%1 - Vane").arg(library_->onServer() ? location : QFileInfo(location).fileName()));
}

std::vector<int> MainWindow::selectedSourceRows(const QTableView* view,
                                                const QSortFilterProxyModel* proxy) const {
    std::vector<int> rows;
    for (const QModelIndex& index : view->selectionModel()->selectedRows()) {
        rows.push_back(proxy->mapToSource(index).row());
    }
    std::sort(rows.begin(), rows.end());
    return rows;
}

void MainWindow::showSelectedSessionsRecordings() {
    std::vector<std::int64_t> ids;
    std::vector<library::LibrarySession> sessions;
    for (const int row : selectedSourceRows(sessionView_, sessionProxy_)) {
        sessions.push_back(sessionModel_->session(row));
        ids.push_back(sessions.back().id);
    }
    std::vector<library::LibraryRecording> recordings;
    std::vector<std::string> refused;
    if (library_) {
        try {
            recordings = library_->recordings(ids, &refused);
        } catch (const std::exception& error) {
            dialogs_.alerts->showAlert(
                this, tr("Cannot read library"),
                cannotReadText(QString::fromStdString(library_->file().string()), error));
        }
    }
    sayRefusedRows(refused);
    recordingModel_->setRecordings(std::move(recordings), sessions);
    recordingView_->resizeColumnToContents(RecordingTableModel::Time);
}

std::vector<std::int64_t> MainWindow::selectedRecordingIds() const {
    std::vector<std::int64_t> ids;
    for (const int row : selectedSourceRows(recordingView_, recordingProxy_)) {
        ids.push_back(recordingModel_->recording(row).id);
    }
    return ids;
}

LabelledRecordings MainWindow::selection() const {
    LabelledRecordings selected;
    for (const int row : selectedSourceRows(recordingView_, recordingProxy_)) {
        const library::LibraryRecording& from = recordingModel_->recording(row);
        Recording recording{from.recordingTime};
        // The library holds at most as many labels as a table can, so the index is there.
        recording.label = selected.labels.indexOf(from.label).value_or(0);
        if (from.probability) {
            recording.probability = static_cast<float>(*from.probability);
        }
        recording.manualLabel = from.manualLabel;
        selected.recordings.push_back(recording);
    }
    return selected;
}

std::vector<Recording> MainWindow::selectedRecordings() const {
    return selection().recordings;
}

std::vector<std::string> MainWindow::recordingLabels() const {
    return selection().labels.names();
}

std::vector<Session> MainWindow::selectedSessions() const {
    std::vector<Session> sessions;
    for (const int row : selectedSourceRows(sessionView_, sessionProxy_)) {
        const library::LibrarySession& s = sessionModel_->session(row);
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

QString MainWindow::cannotReadText(const QString& file, const std::exception& error) {
    // A library's own errors name the file; SQLite's do not.
    const QString what = QString::fromStdString(error.what());
    return what.contains(file) ? what : tr("\"%1\" cannot be read: %2").arg(file, what);
}

std::optional<std::vector<library::LibrarySession>> MainWindow::sessionsOrSay() {
    try {
        return library_->sessions();
    } catch (const std::exception& error) {
        dialogs_.alerts->showAlert(
            this, tr("Cannot read library"),
            cannotReadText(QString::fromStdString(library_->file().string()), error));
        return std::nullopt;
    }
}

void MainWindow::sayRefusedRows(const std::vector<std::string>& refused) {
    if (refused.empty()) {
        return;
    }
    QString lines;
    for (const std::string& line : refused) {
        lines += QStringLiteral("\n") + QString::fromStdString(line);
    }
    dialogs_.alerts->showAlert(
        this, tr("Damaged rows left out"),
        tr("These rows of the library hold values out of range and are not shown:%1").arg(lines));
}

void MainWindow::rememberRecent(const QString& file) {
    QSettings settings;
    QStringList recent = settings.value(kRecentKey).toStringList();
    const QString path =
        library::isServerLocation(file.toStdString()) ? file : QFileInfo(file).absoluteFilePath();
    recent.removeAll(path);
    recent.prepend(path);
    settings.setValue(kRecentKey, recent.mid(0, kMaxRecentLibraries));
    updateRecentMenu();
}

void MainWindow::updateRecentMenu() {
    recentMenu_->clear();
    const QStringList recent = QSettings().value(kRecentKey).toStringList();
    for (const QString& file : recent) {
        recentMenu_->addAction(file, this, [this, file] { openLibrary(file); });
    }
    recentMenu_->setEnabled(!recent.isEmpty());
}

void MainWindow::chooseNewLibrary() {
    // An existing file is refused by the library, which never overwrites one.
    const std::optional<SavePanelChoice> choice = dialogs_.panels->chooseFileToSave(
        this, SavePanelOptions{.title = tr("New Library"),
                               .proposedName = QStringLiteral("Bats"),
                               .fileTypes = {kLibraryType},
                               .typesName = tr("Vane libraries"),
                               .confirmOverwrite = false});
    if (choice) {
        createLibrary(choice->path);
    }
}

void MainWindow::chooseLibraryToOpen() {
    const std::optional<QString> file =
        dialogs_.panels->chooseFileToOpen(this, OpenPanelOptions{.fileTypes = {kLibraryType},
                                                                 .typesName = tr("Vane libraries"),
                                                                 .title = tr("Open Library")});
    if (file) {
        openLibrary(*file);
    }
}

void MainWindow::importFolder() {
    if (!library_) {
        dialogs_.alerts->showAlert(this, tr("No library"), tr("Open or create a library first."));
        return;
    }
    if (const std::optional<QString> chosen =
            dialogs_.panels->chooseFolder(this, tr("Import Folder"))) {
        importFolderAt(*chosen);
    }
}

void MainWindow::importFolderAt(const QString& folder) {
    if (!library_) {
        dialogs_.alerts->showAlert(this, tr("No library"), tr("Open or create a library first."));
        return;
    }
    const std::optional<std::vector<library::LibrarySession>> sessions = sessionsOrSay();
    if (!sessions) {
        return;
    }
    QApplication::setOverrideCursor(Qt::WaitCursor);
    const std::optional<GeoPosition> site = agreedGuanoPosition(folder.toStdString());
    QApplication::restoreOverrideCursor();
    ImportDialog dialog(QFileInfo(folder).fileName(), *sessions, nullptr, site, this);
    if (dialog.exec() != QDialog::Accepted) {
        return;
    }
    const std::shared_ptr<icu::TimeZone> zone = dialog.timeZone();
    const library::ImportTarget target = dialog.target();
    const std::filesystem::path libraryFile = library_->file();
    runAndReport(tr("Reading recordings..."), [zone, target, libraryFile, folder](
                                                  std::stop_token stop,
                                                  const ScanProgress& progress) {
        return vane::importFolder(libraryFile, folder.toStdString(), *zone, target, stop, progress);
    });
}

void MainWindow::importCsv() {
    if (!library_) {
        dialogs_.alerts->showAlert(this, tr("No library"), tr("Open or create a library first."));
        return;
    }
    const std::optional<QString> chosen = dialogs_.panels->chooseFileToOpen(
        this, OpenPanelOptions{.fileTypes = {QStringLiteral("csv"), QStringLiteral("txt")},
                               .typesName = tr("CSV files"),
                               .title = tr("Import CSV File")});
    if (chosen) {
        importCsvAt(*chosen);
    }
}

void MainWindow::importCsvAt(const QString& file) {
    if (!library_) {
        dialogs_.alerts->showAlert(this, tr("No library"), tr("Open or create a library first."));
        return;
    }
    const Outcome<std::string> content = readListFile(file.toStdString(), "CSV file");
    if (!content) {
        dialogs_.alerts->showAlert(this, tr("Cannot read file"),
                                   tr("\"%1\" cannot be read.").arg(file));
        return;
    }
    const auto table = std::make_shared<const CsvTable>(splitRecordingCsv(*content));
    const std::optional<std::vector<library::LibrarySession>> sessions = sessionsOrSay();
    if (!sessions) {
        return;
    }
    // An identification program's table says itself where its times and labels are.
    const bool knownTable = looksLikeClassifierTable(*content);
    ImportDialog dialog(QFileInfo(file).completeBaseName(), *sessions,
                        knownTable ? nullptr : table.get(), std::nullopt, this);
    if (dialog.exec() != QDialog::Accepted) {
        return;
    }
    const std::shared_ptr<icu::TimeZone> zone = dialog.timeZone();
    const library::ImportTarget target = dialog.target();
    const RecordingColumns columns = dialog.columns();
    const std::filesystem::path libraryFile = library_->file();
    const std::string fileName = file.toStdString();
    if (knownTable) {
        const auto text = std::make_shared<const std::string>(*content);
        runAndReport(tr("Importing recordings..."), [=](std::stop_token stop, const ScanProgress&) {
            return vane::importClassifierTable(libraryFile, *text, *zone, fileName, target, stop);
        });
        return;
    }
    runAndReport(tr("Importing recordings..."), [=](std::stop_token stop, const ScanProgress&) {
        return vane::importCsv(libraryFile, *table, columns, *zone, fileName, target, stop);
    });
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
    if (!library_) {
        dialogs_.alerts->showAlert(this, tr("No library"), tr("Open or create a library first."));
        return;
    }
    if (!sources.refused.isEmpty()) {
        dialogs_.alerts->showAlert(
            this, tr("Not imported"),
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

void MainWindow::runAndReport(const QString& label, const ImportWork& work) {
    ImportReport report;
    try {
        report = runImport(this, label, work);
    } catch (const std::exception& error) {
        dialogs_.alerts->showAlert(
            this, tr("Import failed"),
            tr("Nothing was imported; the library is unchanged. %1").arg(error.what()));
        return;
    }
    if (report.changed) {
        reload();
    }
    dialogs_.alerts->showReport(this, report.title, report.message, report.details);
}

}  // namespace vane
