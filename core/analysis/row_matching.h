#pragma once

#include <algorithm>
#include <cmath>
#include <cstddef>
#include <optional>
#include <string>
#include <string_view>

#include "core/analysis/activity_analysis.h"
#include "core/analysis/bat_events.h"
#include "core/import/wind_dates.h"
#include "core/import/wind_table.h"

namespace vane {

inline constexpr float kWidestRowWindow = 601.0f;  // ten minutes and the one second of tolerance

// The ends of the steps of rows stamped at their beginning, for a scan that moves forward: the
// next row's stamp, at most ten minutes on. A row with no later stamp to go by (the last, or one
// before an unreadable or equal stamp) takes the step of the row before it.
class StepEnds {
  public:
    // `stampOf(row)` reads a row's own stamp; rows run up to `rowCount`.
    template <typename StampOf>
    std::optional<double> at(std::size_t row, std::size_t rowCount, StampOf&& stampOf) {
        if (row != row_) {
            row_ = row;
            const std::optional<double> stamp = stampOf(row);
            const std::optional<double> next =
                stamp && row + 1 < rowCount ? stampOf(row + 1) : std::nullopt;
            if (stamp && next && *next - *stamp >= 1.0) {
                step_ = std::min(*next - *stamp, static_cast<double>(kWidestRowWindow) - 1.0);
            }
            end_ = stamp ? std::optional(*stamp + step_) : std::nullopt;
        }
        return end_;
    }

  private:
    std::size_t row_ = static_cast<std::size_t>(-1);
    std::optional<double> end_;
    double step_ = kWidestRowWindow - 1.0;
};

// The time stamps of the data rows, read on demand. The scan only moves forward, so remembering
// the last row read means every row is parsed at most once.
class RowDates {
  public:
    RowDates(const WindTable& table, const ActivityAnalysisOptions& options,
             const icu::TimeZone& zone);

    // Where the row's interval ends: its stamp, or for stamps at the beginning of the step, the
    // end of that step. A row that lacks its date/time fields has no readable date; one that
    // lacks a reading's field has its date all the same.
    std::optional<double> at(std::size_t row) {
        if (convention_ == StampConvention::end) {
            return stampAt(row);
        }
        return stepEnds_.at(row, table_.rowCount(), [this](std::size_t r) { return stampAt(r); });
    }

    // The first row read whose date/time text did not read, for the alert that names it.
    std::optional<std::size_t> firstUnreadable() const { return firstUnreadable_; }

  private:
    std::optional<double> read(std::size_t row);
    std::optional<double> stampAt(std::size_t row) {
        if (row != cachedRow_) {
            cachedRow_ = row;
            cachedDate_ = read(row);
            // Short rows are no date written wrong: only a text that does not read is named.
            if (!cachedDate_ && !firstUnreadable_ && table_.fieldCount(row) >= dateFields_ &&
                !table_.field(row, columns_.date).empty()) {
                firstUnreadable_ = row;
            }
        }
        return cachedDate_;
    }

    const WindTable& table_;
    DateColumns columns_;
    std::size_t dateFields_;
    WindDateReader reader_;
    std::string buffer_;
    std::size_t cachedRow_ = static_cast<std::size_t>(-1);
    std::optional<double> cachedDate_;
    std::optional<std::size_t> firstUnreadable_;
    StampConvention convention_;
    StepEnds stepEnds_;
};

// How many fields a row needs to hold its date/time.
std::size_t dateFieldsNeeded(const DateColumns& columns);

// The last data row whose date/time fields are there and written: rows after it (a final empty
// line) are never read. A row short of a reading's field is no reason to stop before it.
std::optional<std::size_t> usableEndRow(const WindTable& table, const DateColumns& columns);

// How far back from its stamp a row's interval reaches, with the second of tolerance: the gap to
// the row before, at most ten minutes.
float rowWindowWidth(std::optional<double> previous, std::optional<double> current);

struct RowMatchScan {
    bool endReached = false;  // bins were left when the data ran out
    bool unreadableDate = false;
};

// The one rule that pairs activity bins with rows: a row stands for the interval that ends at its
// own stamp (shifted by the offset) and reaches back to the row before, at most ten minutes, with
// a second of tolerance after it. Calls `matched(event, row)` for each bin that falls into a row
// before `endRow`; bins between rows are matched to none.
template <typename Matched>
RowMatchScan matchBinsToRows(const BatEventList& events, const WindTable& table, std::size_t endRow,
                             RowDates& dates, std::int32_t offsetMinutes, Matched&& matched) {
    RowMatchScan scan;
    const double limit = offsetMinutes * 60.0 + 1.0;
    std::size_t i = table.startAt + 1;
    std::optional<double> previous;
    for (const BatEvent& event : events) {
        if (i >= endRow) {
            scan.endReached = true;
            break;
        }
        const double e = event.binEnd;
        std::optional<double> d = dates.at(i);
        scan.unreadableDate |= !d;
        while ((!d || e - *d > limit) && i < endRow) {
            previous = d;
            ++i;
            d = dates.at(i);
            scan.unreadableDate |= !d;
        }
        const float width = rowWindowWidth(previous, d);
        if (d && limit - width < e - *d && e - *d < limit) {
            matched(event, i);
        }
        // Later bins of the same row see the full window.
        if (previous && (!d || std::fabs(*previous - *d) > 1.0)) {
            previous = d;
        }
    }
    return scan;
}

}  // namespace vane
