#pragma once

#include <QAbstractTableModel>
#include <memory>
#include <vector>

#include "core/icu_forward.h"
#include "library/recording_library.h"

namespace vane {

// Both tables answer Qt::UserRole with a value that sorts as the column should (numbers and
// instants rather than their texts).
inline constexpr int kSortRole = Qt::UserRole;

class SessionTableModel : public QAbstractTableModel {
    Q_OBJECT
  public:
    enum Column { Name, SampleDate, Latitude, Longitude, Recordings, ColumnCount };

    explicit SessionTableModel(QObject* parent = nullptr);
    ~SessionTableModel() override;

    void setSessions(std::vector<library::LibrarySession> sessions);
    const library::LibrarySession& session(int row) const { return sessions_.at(row); }

    int rowCount(const QModelIndex& parent = {}) const override;
    int columnCount(const QModelIndex& parent = {}) const override;
    QVariant data(const QModelIndex& index, int role) const override;
    QVariant headerData(int section, Qt::Orientation orientation, int role) const override;

  private:
    std::vector<library::LibrarySession> sessions_;
    std::unique_ptr<icu::TimeZone> zone_;
};

class RecordingTableModel : public QAbstractTableModel {
    Q_OBJECT
  public:
    enum Column { Time, Label, Probability, File, SessionName, ColumnCount };

    explicit RecordingTableModel(QObject* parent = nullptr);
    ~RecordingTableModel() override;

    void setRecordings(std::vector<library::LibraryRecording> recordings,
                       const std::vector<library::LibrarySession>& sessions);
    const library::LibraryRecording& recording(int row) const { return recordings_.at(row); }

    int rowCount(const QModelIndex& parent = {}) const override;
    int columnCount(const QModelIndex& parent = {}) const override;
    QVariant data(const QModelIndex& index, int role) const override;
    QVariant headerData(int section, Qt::Orientation orientation, int role) const override;

  private:
    std::vector<library::LibraryRecording> recordings_;
    std::vector<QString> sessionNames_;  // per recording
    std::unique_ptr<icu::TimeZone> zone_;
};

}  // namespace vane
