#include "core/analysis/row_matching.h"

namespace vane {

RowDates::RowDates(const WindTable& table, const ActivityAnalysisOptions& options,
                   const icu::TimeZone& zone)
    : table_(table),
      columns_(dateColumnsOf(options)),
      dateFields_(dateFieldsNeeded(columns_)),
      reader_(options.dateFormat, options.timeZone, zone),
      convention_(options.stamps) {}

std::optional<double> RowDates::read(std::size_t row) {
    if (table_.fieldCount(row) < dateFields_) {
        return std::nullopt;
    }
    return reader_.read(rowDateText(table_, row, columns_, buffer_));
}

std::size_t dateFieldsNeeded(const DateColumns& columns) {
    return std::max({columns.date, columns.time.value_or(0), columns.day.value_or(0)}) + 1;
}

std::optional<std::size_t> usableEndRow(const WindTable& table, const DateColumns& columns) {
    const std::size_t fieldsNeeded = dateFieldsNeeded(columns);
    for (std::size_t row = table.rowCount(); row > table.startAt + 1; --row) {
        if (table.fieldCount(row - 1) >= fieldsNeeded &&
            !table.field(row - 1, columns.date).empty()) {
            return row - 1;
        }
    }
    return std::nullopt;
}

float rowWindowWidth(std::optional<double> previous, std::optional<double> current) {
    if (!previous || !current) {
        return kWidestRowWindow;
    }
    const float gap = static_cast<float>(std::fabs(*previous - *current));
    if (gap < 1.0f) {
        return kWidestRowWindow;
    }
    return std::min(gap + 1.0f, kWidestRowWindow);
}

}  // namespace vane
