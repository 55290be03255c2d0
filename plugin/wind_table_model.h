#pragma once

#include <QAbstractTableModel>
#include <memory>
#include <string>
#include <vector>

#include "core/import/wind_table.h"

namespace vane::plugin {

// The preview table's data source: the data rows of the wind table under the header's titles.
class WindTableModel final : public QAbstractTableModel {
    Q_OBJECT

  public:
    using QAbstractTableModel::QAbstractTableModel;

    // The model shares the table with whoever split it; nothing of it is copied.
    void setTable(std::shared_ptr<const WindTable> table, std::vector<std::string> columnTitles);

    int rowCount(const QModelIndex& parent = {}) const override;
    int columnCount(const QModelIndex& parent = {}) const override;
    QVariant data(const QModelIndex& index, int role) const override;
    QVariant headerData(int section, Qt::Orientation orientation, int role) const override;

  private:
    std::shared_ptr<const WindTable> table_ = std::make_shared<const WindTable>();
    std::vector<std::string> columnTitles_;
};

}  // namespace vane::plugin
