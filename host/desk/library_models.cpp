#include "host/desk/library_models.h"

#include <unicode/timezone.h>

#include <QLocale>
#include <map>

#include "core/time/local_time.h"
#include "core/time/utc_offset.h"

namespace vane {
namespace {

// "YYYY-MM-DD HH:MM:SS" in the user's zone: unambiguous and sorts as text too.
QString localText(double instant, const icu::TimeZone& zone) {
    return QString::fromStdString(formatLocalIso(instant, zone)).replace(QLatin1Char('T'), ' ');
}

QString coordinateText(const std::optional<double>& value) {
    return value ? QLocale().toString(*value, 'f', 5) : QString();
}

}  // namespace

SessionTableModel::SessionTableModel(QObject* parent)
    : QAbstractTableModel(parent), zone_(processTimeZone()) {}

SessionTableModel::~SessionTableModel() = default;

void SessionTableModel::setSessions(std::vector<library::LibrarySession> sessions) {
    beginResetModel();
    sessions_ = std::move(sessions);
    endResetModel();
}

int SessionTableModel::rowCount(const QModelIndex& parent) const {
    return parent.isValid() ? 0 : static_cast<int>(sessions_.size());
}

int SessionTableModel::columnCount(const QModelIndex& parent) const {
    return parent.isValid() ? 0 : ColumnCount;
}

QVariant SessionTableModel::data(const QModelIndex& index, int role) const {
    if (!index.isValid() ||
        (role != Qt::DisplayRole && role != kSortRole && role != Qt::TextAlignmentRole)) {
        return {};
    }
    const library::LibrarySession& s = sessions_.at(static_cast<std::size_t>(index.row()));
    if (role == Qt::TextAlignmentRole) {
        return index.column() == Name ? QVariant() : QVariant(Qt::AlignRight | Qt::AlignVCenter);
    }
    const bool sorting = role == kSortRole;
    switch (index.column()) {
        case Name:
            return QString::fromStdString(s.name);
        case SampleDate:
            return sorting ? QVariant(s.sampleDate)
                           : QVariant(localText(s.sampleDate, *zone_).left(10));
        case Latitude:
            return sorting ? QVariant(s.latitude.value_or(-1000)) : coordinateText(s.latitude);
        case Longitude:
            return sorting ? QVariant(s.longitude.value_or(-1000)) : coordinateText(s.longitude);
        case Recordings:
            return QVariant::fromValue<qlonglong>(s.recordingCount);
        default:
            return {};
    }
}

QVariant SessionTableModel::headerData(int section, Qt::Orientation orientation, int role) const {
    if (orientation != Qt::Horizontal || role != Qt::DisplayRole) {
        return QAbstractTableModel::headerData(section, orientation, role);
    }
    switch (section) {
        case Name:
            return tr("Session");
        case SampleDate:
            return tr("Sample date");
        case Latitude:
            return tr("Latitude");
        case Longitude:
            return tr("Longitude");
        case Recordings:
            return tr("Recordings");
        default:
            return {};
    }
}

RecordingTableModel::RecordingTableModel(QObject* parent)
    : QAbstractTableModel(parent), zone_(processTimeZone()) {}

RecordingTableModel::~RecordingTableModel() = default;

void RecordingTableModel::setRecordings(std::vector<library::LibraryRecording> recordings,
                                        const std::vector<library::LibrarySession>& sessions) {
    std::map<std::int64_t, QString> names;
    for (const auto& session : sessions) {
        names[session.id] = QString::fromStdString(session.name);
    }
    beginResetModel();
    recordings_ = std::move(recordings);
    sessionNames_.clear();
    for (const auto& recording : recordings_) {
        sessionNames_.push_back(names[recording.sessionId]);
    }
    endResetModel();
}

int RecordingTableModel::rowCount(const QModelIndex& parent) const {
    return parent.isValid() ? 0 : static_cast<int>(recordings_.size());
}

int RecordingTableModel::columnCount(const QModelIndex& parent) const {
    return parent.isValid() ? 0 : ColumnCount;
}

QVariant RecordingTableModel::data(const QModelIndex& index, int role) const {
    if (!index.isValid() ||
        (role != Qt::DisplayRole && role != kSortRole && role != Qt::ToolTipRole)) {
        return {};
    }
    const auto row = static_cast<std::size_t>(index.row());
    const library::LibraryRecording& r = recordings_.at(row);
    switch (index.column()) {
        case Time:
            if (role == kSortRole) {
                return r.recordingTime;
            }
            if (role == Qt::ToolTipRole) {
                // As it was read, so a recorder's clock setting can be checked.
                return tr("Read as UTC%1 %2")
                    .arg(QString::fromStdString(utcOffsetWithColon(r.utcOffsetSeconds)),
                         QString::fromStdString(r.timeZone));
            }
            return localText(r.recordingTime, *zone_);
        case Label:
            if (role == Qt::ToolTipRole) {
                return r.manualLabel ? tr("Set or confirmed by a person") : QVariant();
            }
            return r.manualLabel && !r.label.empty()
                       ? QString::fromStdString(r.label) + QStringLiteral(" \u2713")
                       : QString::fromStdString(r.label);
        case Probability:
            if (role == Qt::ToolTipRole) {
                return {};
            }
            if (role == kSortRole) {
                return r.probability.value_or(-1.0);
            }
            return r.probability ? QLocale().toString(*r.probability, 'f', 2) : QString();
        case File:
            return QString::fromStdString(r.filePath);
        case SessionName:
            return role == Qt::ToolTipRole ? QVariant() : QVariant(sessionNames_[row]);
        default:
            return {};
    }
}

QVariant RecordingTableModel::headerData(int section, Qt::Orientation orientation, int role) const {
    if (orientation != Qt::Horizontal || role != Qt::DisplayRole) {
        return QAbstractTableModel::headerData(section, orientation, role);
    }
    switch (section) {
        case Time:
            return tr("Time stamp");
        case Label:
            return tr("Label");
        case Probability:
            return tr("Probability");
        case File:
            return tr("File");
        case SessionName:
            return tr("Session");
        default:
            return {};
    }
}

}  // namespace vane
