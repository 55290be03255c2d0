#pragma once

#include <QMainWindow>
#include <QPointer>
#include <QStringList>
#include <memory>
#include <optional>
#include <type_traits>

#include "core/recordings/species_label.h"
#include "host/desk/desk_dialogs.h"
#include "host/desk/project_window.h"
#include "host/plugins/plugin_loader.h"
#include "library/recording_library.h"
#include "plugin_api/host.h"
#include "plugin_api/user_dialogs.h"

class QMenu;

namespace vane {

class LibraryEditor;
class LibraryImports;
class LibraryOpening;
class LibraryTables;
class ReviewWindow;
class Questions;

// The desktop host: the sessions of one library, the recordings of the selected sessions, and
// the plug-ins. As the plug-ins' Host it answers exactly what is selected in its two tables.
class MainWindow : public QMainWindow, public Host {
    Q_OBJECT
  public:
    explicit MainWindow(QWidget* parent = nullptr);  // the platform's standard dialogs
    // Everything that waits on a person goes through `dialogs`; tests put recorders there.
    explicit MainWindow(UserDialogs dialogs, QWidget* parent = nullptr);
    // With the questions asked before a removal, too.
    MainWindow(UserDialogs dialogs, std::unique_ptr<Questions> questions,
               QWidget* parent = nullptr);
    ~MainWindow() override;

    // Opens a library in place of the current one; on failure (also a damaged file) alerts with
    // the file's name, keeps the current one and answers false. Only a library that opened goes
    // on the recent list.
    bool openLibrary(const QString& file);
    bool createLibrary(const QString& file);
    // The library last opened while it is still there, else the default one, made when missing.
    void openAtStart();
    const library::RecordingLibrary* library() const { return library_ ? &*library_ : nullptr; }
    void reload();
    // Reads the library again to show what others changed (imports from other machines), keeping
    // the selection; nothing moves when nothing changed. `quietly`: a failure goes to the status
    // bar instead of an alert, as when the window comes to the front.
    void refresh(bool quietly = false);
    void selectSessions(const QStringList& names);
    // Opens the review window on the selected recordings (all of the selected sessions' when none
    // is picked), or brings it to the front.
    void reviewRecordings();

    // Loads the plug-ins of `folders` and lists them in the Plug-ins menu.
    void loadPlugins(const QStringList& folders);

    std::vector<Recording> selectedRecordings() const override;
    std::vector<std::string> recordingLabels() const override;
    std::vector<Session> selectedSessions() const override;

    // Tests put a recorder in place of the typed address.
    void setLibraryAddressQuestion(std::unique_ptr<LibraryAddressQuestion> question);

    // Opens a wind farm's project file in a window of its own, to check and run (File › Open
    // Project); the finished farm report goes to `openDocument`, by default the desktop's viewer.
    ProjectWindow* openProject(const QString& file);
    void setDocumentOpener(DocumentOpener openDocument);

  protected:
    void changeEvent(QEvent* event) override;
    // WAV folders and CSV lists dropped on the window are imported, each with its dialog.
    void dragEnterEvent(QDragEnterEvent* event) override;
    void dropEvent(QDropEvent* event) override;

  private:
    void showLibrary(library::RecordingLibrary opened);
    void buildMenus();
    void updateTitle();
    // In the status bar; also after a reload, which may drop deleted recordings unannounced.
    void showSelectionCount();
    void refreshReview();
    // The open library's sessions, or nothing after an alert naming the library.
    std::optional<std::vector<library::LibrarySession>> sessionsOrSay();
    std::vector<library::LibraryRecording> recordingsOrSay(
        const std::vector<std::int64_t>& sessionIds);
    // A read of the open library, or nothing after an alert with what kept it.
    template <typename Read>
    std::optional<std::invoke_result_t<Read>> readOrSay(Read&& read);

    std::optional<library::RecordingLibrary> library_;
    QMenu* pluginMenu_ = nullptr;
    PluginLoader plugins_;
    UserDialogs dialogs_;
    std::unique_ptr<Questions> questions_;
    LibraryTables* tables_;
    LibraryEditor* editor_;
    LibraryOpening* opening_;
    LibraryImports* imports_;
    QPointer<ReviewWindow> review_;  // made when first asked for
    DocumentOpener openDocument_;
};

}  // namespace vane
