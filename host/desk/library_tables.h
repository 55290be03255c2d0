#pragma once

#include <QSplitter>
#include <QStringList>
#include <cstdint>
#include <functional>
#include <vector>

#include "core/recordings/species_label.h"
#include "library/library_types.h"

class QSortFilterProxyModel;
class QTableView;

namespace vane {

class SessionTableModel;
class RecordingTableModel;

// The library's sessions above and the recordings of the selected sessions below, each sorted by
// any column. Selecting sessions reads their recordings with `readRecordings`.
class LibraryTables : public QSplitter {
    Q_OBJECT
  public:
    using RecordingReader = std::function<std::vector<library::LibraryRecording>(
        const std::vector<std::int64_t>& sessionIds)>;

    explicit LibraryTables(RecordingReader readRecordings, QWidget* parent = nullptr);
    ~LibraryTables() override;

    // Shows `sessions` in place of those shown and reads their recordings again, keeping the
    // sessions and recordings selected by their ids: an import, also another user's, must not
    // undo a selection.
    void showSessions(std::vector<library::LibrarySession> sessions);
    // True when exactly these sessions are shown, so that a refresh need not move anything.
    bool showsSessions(const std::vector<library::LibrarySession>& sessions) const;
    void selectSessions(const QStringList& names);

    std::vector<library::LibrarySession> selectedSessions() const;
    std::vector<std::int64_t> selectedRecordingIds() const;
    // The selected recordings with the labels they point into, in one pass so the two agree; with
    // none selected, every recording of the selected sessions.
    LabelledRecordings selectedRecordings() const;
    // The selected recordings' rows as the table shows them, top to bottom; with none selected,
    // every row shown.
    std::vector<library::LibraryRecording> selectedRecordingRows() const;
    bool recordingsHaveFocus() const;

  signals:
    void recordingSelectionChanged();

  private:
    void showSelectedSessionsRecordings();
    std::vector<int> selectedSourceRows(const QTableView* view,
                                        const QSortFilterProxyModel* proxy) const;

    RecordingReader readRecordings_;
    SessionTableModel* sessionModel_;
    RecordingTableModel* recordingModel_;
    QSortFilterProxyModel* sessionProxy_;
    QSortFilterProxyModel* recordingProxy_;
    QTableView* sessionView_;
    QTableView* recordingView_;
};

}  // namespace vane
