#pragma once

#include <QObject>
#include <cstdint>
#include <functional>
#include <vector>

#include "library/recording_library.h"

class QMenu;
class QMenuBar;
class QUndoStack;
class QWidget;

namespace vane {

class AlertPresenter;
class Questions;

// What the editor needs of the window it edits for.
struct EditedWindow {
    std::function<library::RecordingLibrary*()> library;  // nothing while none is open
    std::function<std::vector<library::LibrarySession>()> selectedSessions;
    std::function<std::vector<std::int64_t>()> selectedRecordingIds;
    std::function<bool()> recordingsHaveFocus;  // Delete then removes recordings, else sessions
    std::function<void()> reload;               // after every change, done or undone
};

// The Edit menu: removing sessions and recordings, renaming a session and editing its site,
// labelling recordings.
// Each change is one transaction of the library and can be undone until another library is
// opened.
class LibraryEditor : public QObject {
    Q_OBJECT
  public:
    LibraryEditor(QWidget* window, EditedWindow edited, AlertPresenter& alerts,
                  Questions& questions);
    ~LibraryEditor() override;

    QMenu* addMenuTo(QMenuBar* bar);
    QUndoStack* undoStack() const { return undoStack_; }
    void forgetHistory();  // the library changed under it: another was opened

    // After a question that says how many; nothing when the user cancels.
    void deleteSelection();
    void deleteSessions(const std::vector<library::LibrarySession>& sessions);
    void deleteRecordings(const std::vector<std::int64_t>& recordingIds);
    void editSelectedSession();  // with the session dialog
    void changeSession(const library::LibrarySession& before, const library::LibrarySession& after);
    // Gives the recordings `label` as a person's label, one step to undo back to the labels and
    // manual marks they had; nothing when they carry it as a person's already.
    void labelRecordings(const std::vector<library::LibraryRecording>& recordings,
                         const std::string& label);
    // Reads the session's local times again in the zone named `zone` (see rereadSessionInZone).
    void changeSessionZone(const library::LibrarySession& session, const QString& zone);

  private:
    using Change = std::function<void(library::RecordingLibrary&)>;
    // Runs `change` now; when it worked, it goes on the undo stack with `undo`.
    void apply(const QString& text, const Change& change, const Change& undo);

    QWidget* window_;
    EditedWindow edited_;
    AlertPresenter& alerts_;
    Questions& questions_;
    QUndoStack* undoStack_;
};

}  // namespace vane
