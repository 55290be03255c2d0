#pragma once

#include <cstddef>
#include <cstdint>
#include <memory>
#include <optional>
#include <string>
#include <string_view>
#include <vector>

namespace vane {

// The wind file as rows of fields, every field a view into one UTF-8 text exactly as written,
// empty fields included; rows need not have the same number of fields. The table keeps only
// where each row begins and ends beside the text (8 bytes a row), finding a row's fields when
// they are asked for, and copies of it share the text.
// The row at headerRow() holds the column titles, the unitRows rows after it up to startAt the
// columns' units or processing (a logger's "m/s" and "Avg" rows), and the rows after startAt are
// the data. Rows before the header are a preamble that stays in the table but is never read as
// data.
class WindTable {
  public:
    WindTable() = default;
    // Cuts `text` into rows at every line separator (every piece a row, the empty piece after a
    // final line break included) and each row into fields at every field separator; an empty
    // field separator leaves each row one field. A text of 2 GiB or more gives no rows, as the
    // readers refuse such files anyway.
    WindTable(std::shared_ptr<const std::string> text, std::string_view lineSeparator,
              std::string_view fieldSeparator, std::size_t startAt);

    std::size_t startAt = 0;
    std::size_t unitRows = 0;  // never more than startAt

    std::size_t headerRow() const { return startAt - unitRows; }

    std::size_t rowCount() const { return rowCount_; }
    bool empty() const { return rowCount() == 0; }
    // 0 for a row outside the table.
    std::size_t fieldCount(std::size_t row) const;
    // The field as written, or "" when the table has no such row or the row no such field.
    std::string_view field(std::size_t row, std::size_t column) const;
    // The text the fields are views into.
    const std::shared_ptr<const std::string>& text() const { return text_; }

    // A starting line outside the file leaves startAt at or beyond the row count: no header row
    // and no data rows then, and startAt + 1 never wraps.
    bool hasHeaderRow() const { return startAt < rowCount(); }
    std::size_t dataRowCount() const { return hasHeaderRow() ? rowCount() - startAt - 1 : 0; }

  private:
    // Which of 64 rows are filled, and how many filled rows come before them: a blank row costs
    // a bit, so that a file of line breaks costs a fraction of its size.
    struct RowBlock {
        std::uint64_t filled = 0;
        std::uint32_t filledBefore = 0;
    };
    // The index of `row` among the filled rows, or nothing for a blank row.
    std::optional<std::size_t> filledIndex(std::size_t row) const;

    // The filled row at `filled` as written, without its line separator.
    std::string_view filledRow(std::size_t filled) const;

    std::shared_ptr<const std::string> text_;
    std::string fieldSeparator_;
    std::size_t rowCount_ = 0;
    std::vector<RowBlock> blocks_;
    // Each filled row's first byte's offset and the offset one past its last, in turn: a
    // million rows cost 8 MB, where their fields' offsets would cost several times as much.
    std::vector<std::uint32_t> rowBounds_;
};

}  // namespace vane
