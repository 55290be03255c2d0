#include "host/desk/library_opening.h"

#include <QDir>
#include <QFileInfo>
#include <QMenu>
#include <QSettings>
#include <QStandardPaths>
#include <optional>

#include "library/library_problem.h"
#include "plugin_api/user_dialogs.h"

namespace vane {
namespace {

constexpr int kMaxRecentLibraries = 8;
const QString kLibraryType = QStringLiteral("vanelib");
const QString kRecentKey = QStringLiteral("recentLibraries");

}  // namespace

LibraryOpening::LibraryOpening(QWidget* window, AlertPresenter& alerts, FilePanels& panels,
                               Opened opened)
    : QObject(window),
      window_(window),
      alerts_(alerts),
      panels_(panels),
      opened_(std::move(opened)) {}

LibraryOpening::~LibraryOpening() = default;

void LibraryOpening::addMenuItemsTo(QMenu* file) {
    file->addAction(tr("&New Library..."), QKeySequence::New, this,
                    &LibraryOpening::chooseNewLibrary);
    file->addAction(tr("&Open Library..."), QKeySequence::Open, this,
                    &LibraryOpening::chooseLibraryToOpen);
    file->addAction(tr("Open &Shared Library..."), this,
                    &LibraryOpening::chooseSharedLibraryToOpen);
    recentMenu_ = file->addMenu(tr("Open &Recent"));
    updateRecentMenu();
}

QString LibraryOpening::defaultLibraryFile() {
    return QDir(QStandardPaths::writableLocation(QStandardPaths::AppDataLocation))
        .filePath(QStringLiteral("Library.vanelib"));
}

bool LibraryOpening::openLibrary(const QString& file) {
    // The library goes on the recent list only once its sessions could be read: a damaged file
    // put there first would fail again on every start.
    const library::LibraryLocation location(file.toStdString());
    Outcome<library::RecordingLibrary> opened = library::readLibrary(location, [&location] {
        library::RecordingLibrary library = library::RecordingLibrary::open(location);
        (void)library.sessions();
        return library;
    });
    if (!opened) {
        alerts_.showAlert(window_, tr("Cannot open library"),
                          QString::fromStdString(opened.error().message));
        return false;
    }
    const bool undone = opened->undoneUnfinishedChange();
    rememberRecent(file);
    opened_(std::move(*opened));
    if (undone) {
        alerts_.showAlert(
            window_, tr("Unfinished change undone"),
            tr("\"%1\" held a change that was never finished, such as an import that was "
               "stopped. It was undone; the library is as it was before that change.")
                .arg(file));
    }
    return true;
}

bool LibraryOpening::createLibrary(const QString& file) {
    std::optional<library::RecordingLibrary> created;
    try {
        created.emplace(library::RecordingLibrary::create(file.toStdString()));
    } catch (const library::LibraryError& error) {
        alerts_.showAlert(window_, tr("Cannot create library"),
                          QString::fromStdString(library::libraryProblem(error).message));
        return false;
    }
    rememberRecent(file);
    opened_(std::move(*created));
    return true;
}

void LibraryOpening::openAtStart() {
    const QStringList recent = QSettings().value(kRecentKey).toStringList();
    if (!recent.isEmpty() &&
        !library::LibraryLocation(recent.front().toStdString()).isMissingFile()) {
        openLibrary(recent.front());
    } else if (QFileInfo::exists(defaultLibraryFile())) {
        openLibrary(defaultLibraryFile());
    } else {
        QDir().mkpath(QFileInfo(defaultLibraryFile()).absolutePath());
        createLibrary(defaultLibraryFile());
    }
}

void LibraryOpening::setLibraryAddressQuestion(std::unique_ptr<LibraryAddressQuestion> question) {
    addressQuestion_ = std::move(question);
}

void LibraryOpening::rememberRecent(const QString& file) {
    QSettings settings;
    QStringList recent = settings.value(kRecentKey).toStringList();
    const QString path = library::LibraryLocation(file.toStdString()).onServer()
                             ? file
                             : QFileInfo(file).absoluteFilePath();
    recent.removeAll(path);
    recent.prepend(path);
    settings.setValue(kRecentKey, recent.mid(0, kMaxRecentLibraries));
    updateRecentMenu();
}

void LibraryOpening::updateRecentMenu() {
    recentMenu_->clear();
    const QStringList recent = QSettings().value(kRecentKey).toStringList();
    for (const QString& file : recent) {
        recentMenu_->addAction(file, this, [this, file] { openLibrary(file); });
    }
    recentMenu_->setEnabled(!recent.isEmpty());
}

void LibraryOpening::chooseNewLibrary() {
    // An existing file is refused by the library, which never overwrites one.
    const std::optional<SavePanelChoice> choice =
        panels_.chooseFileToSave(window_, SavePanelOptions{.title = tr("New Library"),
                                                           .proposedName = QStringLiteral("Bats"),
                                                           .fileTypes = {kLibraryType},
                                                           .typesName = tr("Vane libraries"),
                                                           .confirmOverwrite = false});
    if (choice) {
        // A name typed without a type would be hidden by Open Library's filter afterwards.
        const bool typeless = QFileInfo(choice->path).suffix().isEmpty();
        createLibrary(typeless ? choice->path + QLatin1Char('.') + kLibraryType : choice->path);
    }
}

void LibraryOpening::chooseLibraryToOpen() {
    const std::optional<QString> file =
        panels_.chooseFileToOpen(window_, OpenPanelOptions{.fileTypes = {kLibraryType},
                                                           .typesName = tr("Vane libraries"),
                                                           .title = tr("Open Library")});
    if (file) {
        openLibrary(*file);
    }
}

void LibraryOpening::chooseSharedLibraryToOpen() {
    if (const std::optional<QString> address = addressQuestion_->askLibraryAddress(window_)) {
        openLibrary(*address);
    }
}

}  // namespace vane
