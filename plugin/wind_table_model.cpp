#include "plugin/wind_table_model.h"

#include "core/import/wind_table_split.h"

namespace vane::plugin {

void WindTableModel::setTable(std::shared_ptr<const WindTable> table,
                              std::vector<std::string> columnTitles) {
    beginResetModel();
    table_ = std::move(table);
    columnTitles_ = std::move(columnTitles);
    endResetModel();
}

int WindTableModel::rowCount(const QModelIndex& parent) const {
    return parent.isValid() ? 0 : static_cast<int>(previewRowCount(*table_));
}

int WindTableModel::columnCount(const QModelIndex& parent) const {
    return parent.isValid() ? 0 : static_cast<int>(columnTitles_.size());
}

QVariant WindTableModel::data(const QModelIndex& index, int role) const {
    if (role != Qt::DisplayRole || !index.isValid() || index.row() >= rowCount()) {
        return {};
    }
    const std::string_view cell = previewCell(*table_, static_cast<std::size_t>(index.row()),
                                              static_cast<std::size_t>(index.column()));
    return QString::fromUtf8(cell.data(), static_cast<qsizetype>(cell.size()));
}

QVariant WindTableModel::headerData(int section, Qt::Orientation orientation, int role) const {
    if (role != Qt::DisplayRole) {
        return {};
    }
    if (orientation == Qt::Vertical) {
        return section + 1;
    }
    if (section < 0 || static_cast<std::size_t>(section) >= columnTitles_.size()) {
        return {};
    }
    return QString::fromStdString(columnTitles_[static_cast<std::size_t>(section)]);
}

}  // namespace vane::plugin
