#include "host/desk/library_tables.h"

#include <QHeaderView>
#include <QItemSelection>
#include <QSortFilterProxyModel>
#include <QTableView>
#include <algorithm>
#include <numeric>

#include "host/desk/library_models.h"

namespace vane {
namespace {

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

LibraryTables::LibraryTables(RecordingReader readRecordings, QWidget* parent)
    : QSplitter(Qt::Vertical, parent),
      readRecordings_(std::move(readRecordings)),
      sessionModel_(new SessionTableModel(this)),
      recordingModel_(new RecordingTableModel(this)),
      sessionProxy_(sortingProxy(sessionModel_, this)),
      recordingProxy_(sortingProxy(recordingModel_, this)),
      sessionView_(makeTable(sessionProxy_)),
      recordingView_(makeTable(recordingProxy_)) {
    sessionView_->setObjectName(QStringLiteral("sessions"));
    recordingView_->setObjectName(QStringLiteral("recordings"));
    sessionView_->sortByColumn(SessionTableModel::SampleDate, Qt::AscendingOrder);
    recordingView_->sortByColumn(RecordingTableModel::Time, Qt::AscendingOrder);
    addWidget(sessionView_);
    addWidget(recordingView_);
    setSizes({260, 380});
    connect(sessionView_->selectionModel(), &QItemSelectionModel::selectionChanged, this,
            &LibraryTables::showSelectedSessionsRecordings);
    connect(recordingView_->selectionModel(), &QItemSelectionModel::selectionChanged, this,
            &LibraryTables::recordingSelectionChanged);
    // A recording's file name is at the end of its path: keep it in sight.
    recordingView_->setTextElideMode(Qt::ElideMiddle);
}

LibraryTables::~LibraryTables() = default;

void LibraryTables::showSessions(std::vector<library::LibrarySession> sessions) {
    std::vector<std::int64_t> selected;
    for (const int row : selectedSourceRows(sessionView_, sessionProxy_)) {
        selected.push_back(sessionModel_->session(row).id);
    }
    std::vector<std::int64_t> selectedRecordings = selectedRecordingIds();
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
}

bool LibraryTables::showsSessions(const std::vector<library::LibrarySession>& sessions) const {
    bool same = static_cast<int>(sessions.size()) == sessionModel_->rowCount();
    for (int row = 0; same && row < sessionModel_->rowCount(); ++row) {
        same = sessions[static_cast<std::size_t>(row)] == sessionModel_->session(row);
    }
    return same;
}

void LibraryTables::selectSessions(const QStringList& names) {
    sessionView_->clearSelection();
    for (int row = 0; row < sessionProxy_->rowCount(); ++row) {
        const QModelIndex index = sessionProxy_->index(row, SessionTableModel::Name);
        if (names.contains(index.data().toString())) {
            sessionView_->selectionModel()->select(
                index, QItemSelectionModel::Select | QItemSelectionModel::Rows);
        }
    }
}

std::vector<int> LibraryTables::selectedSourceRows(const QTableView* view,
                                                   const QSortFilterProxyModel* proxy) const {
    std::vector<int> rows;
    for (const QModelIndex& index : view->selectionModel()->selectedRows()) {
        rows.push_back(proxy->mapToSource(index).row());
    }
    std::sort(rows.begin(), rows.end());
    return rows;
}

void LibraryTables::showSelectedSessionsRecordings() {
    const std::vector<library::LibrarySession> sessions = selectedSessions();
    std::vector<std::int64_t> ids;
    for (const library::LibrarySession& session : sessions) {
        ids.push_back(session.id);
    }
    recordingModel_->setRecordings(readRecordings_(ids), sessions);
    recordingView_->resizeColumnToContents(RecordingTableModel::Time);
}

std::vector<library::LibrarySession> LibraryTables::selectedSessions() const {
    std::vector<library::LibrarySession> sessions;
    for (const int row : selectedSourceRows(sessionView_, sessionProxy_)) {
        sessions.push_back(sessionModel_->session(row));
    }
    return sessions;
}

std::vector<std::int64_t> LibraryTables::selectedRecordingIds() const {
    std::vector<std::int64_t> ids;
    for (const int row : selectedSourceRows(recordingView_, recordingProxy_)) {
        ids.push_back(recordingModel_->recording(row).id);
    }
    return ids;
}

LabelledRecordings LibraryTables::selectedRecordings() const {
    LabelledRecordings selected;
    std::vector<int> rows = selectedSourceRows(recordingView_, recordingProxy_);
    // Sessions chosen without picking any of their recordings stand for all of them, which are
    // the rows shown.
    if (rows.empty()) {
        rows.resize(static_cast<std::size_t>(recordingModel_->rowCount()));
        std::iota(rows.begin(), rows.end(), 0);
    }
    for (const int row : rows) {
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

std::vector<library::LibraryRecording> LibraryTables::selectedRecordingRows() const {
    const QItemSelectionModel* selection = recordingView_->selectionModel();
    const bool all = !selection->hasSelection();
    std::vector<library::LibraryRecording> rows;
    for (int row = 0; row < recordingProxy_->rowCount(); ++row) {
        if (all || selection->isRowSelected(row, {})) {
            rows.push_back(recordingModel_->recording(
                recordingProxy_->mapToSource(recordingProxy_->index(row, 0)).row()));
        }
    }
    return rows;
}

bool LibraryTables::recordingsHaveFocus() const {
    return recordingView_->hasFocus();
}

}  // namespace vane
