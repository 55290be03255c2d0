#include "host/desk/library_editor.h"

#include <unicode/timezone.h>

#include <QAction>
#include <QMenu>
#include <QMenuBar>
#include <QUndoCommand>
#include <QUndoStack>
#include <memory>

#include "host/desk/desk_dialogs.h"
#include "host/desk/session_dialog.h"
#include "host/desk/zone_names.h"
#include "library/library_problem.h"
#include "plugin_api/counted_text.h"

namespace vane {
namespace {

using Change = std::function<void(library::RecordingLibrary&)>;

// One change of the library, done when pushed (it was done just before) and undone or done again
// on request. A step that fails is said once and the command leaves the stack, since the library
// no longer is as the stack expects.
class LibraryChange final : public QUndoCommand {
  public:
    LibraryChange(const QString& text, Change change, Change undo, const EditedWindow& window,
                  AlertPresenter& alerts, QWidget* parent)
        : QUndoCommand(text),
          change_(std::move(change)),
          undo_(std::move(undo)),
          window_(window),
          alerts_(alerts),
          parent_(parent) {}

    void redo() override {
        if (firstRedo_) {
            firstRedo_ = false;
            return;
        }
        run(change_, QObject::tr("Cannot redo"));
    }
    void undo() override { run(undo_, QObject::tr("Cannot undo")); }

  private:
    void run(const Change& step, const QString& title) {
        library::RecordingLibrary* library = window_.library();
        try {
            if (!library) {
                throw library::LibraryError("No library is open.");
            }
            step(*library);
        } catch (const std::exception& error) {
            alerts_.showAlert(parent_, title,
                              QObject::tr("\"%1\" could not be changed; it is as it was. %2")
                                  .arg(text(), QString::fromStdString(error.what())));
            setObsolete(true);
        }
        window_.reload();
    }

    Change change_;
    Change undo_;
    const EditedWindow& window_;
    AlertPresenter& alerts_;
    QWidget* parent_;
    bool firstRedo_ = true;
};

}  // namespace

LibraryEditor::LibraryEditor(QWidget* window, EditedWindow edited, AlertPresenter& alerts,
                             Questions& questions)
    : QObject(window),
      window_(window),
      edited_(std::move(edited)),
      alerts_(alerts),
      questions_(questions),
      undoStack_(new QUndoStack(this)) {}

LibraryEditor::~LibraryEditor() = default;

QMenu* LibraryEditor::addMenuTo(QMenuBar* bar) {
    QMenu* menu = bar->addMenu(tr("&Edit"));
    menu->setObjectName(QStringLiteral("editMenu"));
    QAction* undo = undoStack_->createUndoAction(this, tr("&Undo"));
    undo->setShortcut(QKeySequence::Undo);
    QAction* redo = undoStack_->createRedoAction(this, tr("&Redo"));
    redo->setShortcut(QKeySequence::Redo);
    menu->addAction(undo);
    menu->addAction(redo);
    menu->addSeparator();
    QAction* remove = menu->addAction(tr("&Delete..."), this, &LibraryEditor::deleteSelection);
    remove->setShortcut(QKeySequence::Delete);
    remove->setShortcutContext(Qt::WindowShortcut);
    remove->setToolTip(
        tr("Deletes the selected recordings when their table has the focus, "
           "else the selected sessions with their recordings"));
    QAction* edit =
        menu->addAction(tr("&Edit Session..."), this, &LibraryEditor::editSelectedSession);
    edit->setShortcut(Qt::Key_F2);
    return menu;
}

void LibraryEditor::forgetHistory() {
    undoStack_->clear();
}

void LibraryEditor::deleteSelection() {
    const std::vector<std::int64_t> recordings = edited_.selectedRecordingIds();
    if (edited_.recordingsHaveFocus() && !recordings.empty()) {
        deleteRecordings(recordings);
    } else {
        deleteSessions(edited_.selectedSessions());
    }
}

void LibraryEditor::deleteSessions(const std::vector<library::LibrarySession>& sessions) {
    if (sessions.empty() || !edited_.library()) {
        return;
    }
    std::vector<std::int64_t> ids;
    std::int64_t recordings = 0;
    for (const library::LibrarySession& session : sessions) {
        ids.push_back(session.id);
        recordings += session.recordingCount;
    }
    const QString what = sessions.size() == 1
                             ? tr("the session \"%1\" with its %2")
                                   .arg(QString::fromStdString(sessions.front().name),
                                        counted(recordings, tr("recording"), tr("recordings")))
                             : tr("%1 sessions with their %2")
                                   .arg(sessions.size())
                                   .arg(counted(recordings, tr("recording"), tr("recordings")));
    if (!questions_.confirm(window_, tr("Delete Sessions"),
                            tr("Delete %1 from the library? Edit > Undo brings them back until "
                               "the library is closed.")
                                .arg(what),
                            tr("Delete"))) {
        return;
    }
    const auto removed = std::make_shared<library::RemovedRows>();
    apply(
        sessions.size() == 1 ? tr("Delete Session") : tr("Delete %1 Sessions").arg(sessions.size()),
        [ids, removed](library::RecordingLibrary& library) {
            *removed = library.removeSessions(ids);
        },
        [removed](library::RecordingLibrary& library) { library.restoreRows(*removed); });
}

void LibraryEditor::deleteRecordings(const std::vector<std::int64_t>& recordingIds) {
    if (recordingIds.empty() || !edited_.library()) {
        return;
    }
    if (!questions_.confirm(window_, tr("Delete Recordings"),
                            tr("Delete %1 from the library? Edit > Undo brings them back "
                               "until the library is closed.")
                                .arg(counted(static_cast<qsizetype>(recordingIds.size()),
                                             tr("recording"), tr("recordings"))),
                            tr("Delete"))) {
        return;
    }
    const auto removed = std::make_shared<library::RemovedRows>();
    apply(
        tr("Delete %1 Recordings").arg(recordingIds.size()),
        [recordingIds, removed](library::RecordingLibrary& library) {
            *removed = library.removeRecordings(recordingIds);
        },
        [removed](library::RecordingLibrary& library) { library.restoreRows(*removed); });
}

void LibraryEditor::editSelectedSession() {
    const std::vector<library::LibrarySession> selected = edited_.selectedSessions();
    if (selected.size() != 1 || !edited_.library()) {
        alerts_.showAlert(window_, tr("Edit Session"), tr("Select one session to edit."));
        return;
    }
    const library::RecordingLibrary& open = *edited_.library();
    const Outcome<std::vector<std::string>> zones = library::readLibrary(
        open.location(), [&] { return open.sessionTimeZones(selected.front().id); });
    if (!zones) {
        alerts_.showAlert(window_, tr("Cannot read library"),
                          QString::fromStdString(zones.error().message));
        return;
    }
    SessionDialog dialog(selected.front(), *zones, window_);
    if (dialog.exec() != QDialog::Accepted || !dialog.edited()) {
        return;
    }
    // One step to undo, however many of its parts changed.
    const library::LibrarySession& before = selected.front();
    const library::LibrarySession after = *dialog.edited();
    undoStack_->beginMacro(tr("Edit Session \"%1\"").arg(QString::fromStdString(before.name)));
    if (after.name != before.name || after.latitude != before.latitude ||
        after.longitude != before.longitude) {
        changeSession(before, after);
    }
    if (const std::optional<QString> zone = dialog.changedZone()) {
        changeSessionZone(before, *zone);
    }
    undoStack_->endMacro();
}

void LibraryEditor::changeSessionZone(const library::LibrarySession& session, const QString& zone) {
    const std::int64_t id = session.id;
    const std::shared_ptr<const icu::TimeZone> chosen = zoneNamed(zone);
    const auto was = std::make_shared<library::SessionTimes>();
    apply(
        tr("Read \"%1\" in %2").arg(QString::fromStdString(session.name), zone),
        [id, chosen, was](library::RecordingLibrary& library) {
            *was = library.rereadSessionInZone(id, *chosen);
        },
        [was](library::RecordingLibrary& library) { library.restoreSessionTimes(*was); });
}

void LibraryEditor::changeSession(const library::LibrarySession& before,
                                  const library::LibrarySession& after) {
    apply(
        tr("Edit Session \"%1\"").arg(QString::fromStdString(before.name)),
        // Each way only from the state the other left, so that someone's change meanwhile is
        // refused with a message rather than overwritten.
        [before, after](library::RecordingLibrary& library) {
            library.updateSession(before, after);
        },
        [before, after](library::RecordingLibrary& library) {
            library.updateSession(after, before);
        });
}

void LibraryEditor::labelRecordings(const std::vector<library::LibraryRecording>& recordings,
                                    const std::string& label) {
    std::vector<library::RecordingLabel> labelled;
    std::vector<library::RecordingLabel> shown;
    for (const library::LibraryRecording& recording : recordings) {
        if (recording.label != label || !recording.manualLabel) {
            labelled.push_back({recording.id, label, true});
            shown.push_back({recording.id, recording.label, recording.manualLabel});
        }
    }
    if (labelled.empty()) {
        return;
    }
    const auto was = std::make_shared<std::vector<library::RecordingLabel>>();
    apply(
        labelled.size() == 1 ? tr("Label Recording as \"%1\"").arg(QString::fromStdString(label))
                             : tr("Label %1 Recordings as \"%2\"")
                                   .arg(labelled.size())
                                   .arg(QString::fromStdString(label)),
        // Each way only from the labels the other left, so that a colleague's label set
        // meanwhile is refused with a message rather than overwritten.
        [labelled, shown, was](library::RecordingLibrary& library) {
            *was = library.setLabels(labelled, shown);
        },
        [labelled, was](library::RecordingLibrary& library) { library.setLabels(*was, labelled); });
}

void LibraryEditor::apply(const QString& text, const Change& change, const Change& undo) {
    library::RecordingLibrary* library = edited_.library();
    if (!library) {
        return;
    }
    try {
        change(*library);
    } catch (const std::exception& error) {
        alerts_.showAlert(window_, tr("Cannot change library"),
                          tr("\"%1\" could not be done; the library is as it was. %2")
                              .arg(text, QString::fromStdString(error.what())));
        return;
    }
    undoStack_->push(new LibraryChange(text, change, undo, edited_, alerts_, window_));
    edited_.reload();
}

}  // namespace vane
