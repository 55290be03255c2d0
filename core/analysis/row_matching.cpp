#include "core/analysis/row_matching.h"

namespace vane {

RowDates::RowDates(const WindTable& table, std::size_t dateColumn, std::size_t fieldsNeeded,
                   const ActivityAnalysisOptions& options, const icu::TimeZone& zone)
    : table_(table),
      dateColumn_(dateColumn),
      fieldsNeeded_(fieldsNeeded),
      zoneText_(options.timeZone),
      parser_(options.dateFormat + "ZZZ", zone) {}

std::optional<double> RowDates::read(std::size_t row) {
    if (table_.fieldCount(row) < fieldsNeeded_) {
        return std::nullopt;
    }
    const std::string_view field = table_.field(row, dateColumn_);
    if (auto date = parser_.parse(withZone(field, ""))) {
        return date;
    }
    // A field with the date alone, when the pattern also wants a time of day.
    return parser_.parse(withZone(field, " 00:00:00"));
}

// The field, `middle` and the zone's offset in one reused buffer: one allocation for the whole
// scan rather than one per row.
std::string_view RowDates::withZone(std::string_view field, std::string_view middle) {
    buffer_.assign(field);
    buffer_.append(middle);
    buffer_.append(zoneText_);
    return buffer_;
}

std::optional<std::size_t> usableEndRow(const WindTable& table, std::size_t fieldsNeeded) {
    for (std::size_t row = table.rowCount(); row > table.startAt + 1; --row) {
        if (table.fieldCount(row - 1) >= fieldsNeeded) {
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
