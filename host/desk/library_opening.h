#pragma once

#include <QObject>
#include <QString>
#include <functional>
#include <memory>

#include "host/desk/desk_dialogs.h"
#include "library/recording_library.h"

class QMenu;
class QWidget;

namespace vane {

class AlertPresenter;
class FilePanels;

// Opening and making libraries: the File menu's New, Open, Open Shared and Open Recent, the list
// of libraries last opened, and the library a start opens. A library that opened is handed to
// `opened`, which shows it.
class LibraryOpening : public QObject {
    Q_OBJECT
  public:
    using Opened = std::function<void(library::RecordingLibrary)>;

    LibraryOpening(QWidget* window, AlertPresenter& alerts, FilePanels& panels, Opened opened);
    ~LibraryOpening() override;

    void addMenuItemsTo(QMenu* file);

    // Opens a library in place of the current one; on failure (also a damaged file) alerts with
    // the file's name, keeps the current one and answers false. Only a library that opened goes
    // on the recent list.
    bool openLibrary(const QString& file);
    bool createLibrary(const QString& file);
    // The library last opened while it is still there, else the default one, made when missing.
    void openAtStart();

    static QString defaultLibraryFile();
    // Tests put a recorder in place of the typed address.
    void setLibraryAddressQuestion(std::unique_ptr<LibraryAddressQuestion> question);

  private:
    void rememberRecent(const QString& file);
    void updateRecentMenu();
    void chooseNewLibrary();
    void chooseLibraryToOpen();
    void chooseSharedLibraryToOpen();

    QWidget* window_;
    AlertPresenter& alerts_;
    FilePanels& panels_;
    Opened opened_;
    std::unique_ptr<LibraryAddressQuestion> addressQuestion_ = deskLibraryAddressQuestion();
    QMenu* recentMenu_ = nullptr;
};

}  // namespace vane
