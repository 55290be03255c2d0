#pragma once

#include <QObject>
#include <QString>
#include <functional>
#include <optional>
#include <vector>

#include "host/desk/import_runner.h"
#include "library/recording_library.h"

class QMenu;
class QWidget;

namespace vane {

class AlertPresenter;
class FilePanels;
struct DroppedSources;

// What the imports need of the window they import into.
struct ImportingWindow {
    std::function<const library::RecordingLibrary*()> library;  // nothing while none is open
    // The open library's sessions, or nothing after an alert naming the library.
    std::function<std::optional<std::vector<library::LibrarySession>>()> sessions;
    std::function<void()> reload;  // after an import that changed the library
};

// Importing into the open library: a folder of WAV files or a CSV list, chosen from the File
// menu or dropped on the window, each with its dialog, run off the user interface thread and
// reported when done.
class LibraryImports : public QObject {
    Q_OBJECT
  public:
    LibraryImports(QWidget* window, ImportingWindow importing, AlertPresenter& alerts,
                   FilePanels& panels);
    ~LibraryImports() override;

    void addMenuItemsTo(QMenu* file);

    void importFolder();  // after a folder panel
    void importCsv();     // after a file panel
    void importFolderAt(const QString& folder);
    void importCsvAt(const QString& file);
    // Imports each folder and list in turn; says what else was dropped and is left out.
    void importDropped(const DroppedSources& sources);

  private:
    bool libraryIsOpenOrSay();
    void runAndReport(const QString& label, const ImportWork& work);

    QWidget* window_;
    ImportingWindow importing_;
    AlertPresenter& alerts_;
    FilePanels& panels_;
};

}  // namespace vane
