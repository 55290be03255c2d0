#pragma once

#include <array>
#include <cstddef>
#include <cstdint>
#include <stdexcept>
#include <string>
#include <string_view>
#include <vector>

namespace vane {

// What a column of a binary COPY stream holds, as PostgreSQL sends it (big-endian, IEEE doubles).
enum class CopyType : std::uint8_t { Integer32, Integer64, Double, Text };

struct CopyColumn {
    std::string_view name;  // for messages
    CopyType type = CopyType::Text;
    bool nullable = false;
};

// A damaged, cut or foreign stream: what was wrong and where.
class CopyStreamError : public std::runtime_error {
  public:
    using std::runtime_error::runtime_error;
};

// One row as read, its fields views into the piece it came in (valid while that piece is).
// Every field has been checked against its column, so reading one cannot fail.
class CopyRow {
  public:
    static constexpr std::size_t kMostColumns = 16;

    bool isNull(std::size_t column) const { return fields_[column].data() == nullptr; }
    // Integer32 or Integer64; 0 when NULL.
    std::int64_t integer(std::size_t column) const;
    // 0 when NULL.
    double number(std::size_t column) const;
    // Empty when NULL.
    std::string_view text(std::size_t column) const { return fields_[column]; }

  private:
    friend class BinaryCopyReader;
    std::array<std::string_view, kMostColumns> fields_{};
};

// Reads PostgreSQL's binary COPY format (COPY ... TO STDOUT (FORMAT binary)) in place, a piece at
// a time as the server sends it: the header before the first row, then whole rows, then the
// trailer. Nothing is copied or allocated per row. Anything the server would never send (a wrong
// header, a row cut short, another number of fields, a field of another length than its type, a
// NULL where none may be, bytes after the trailer) throws CopyStreamError naming the row and the
// column, so that damage is never read as values.
class BinaryCopyReader {
  public:
    // At most CopyRow::kMostColumns columns.
    explicit BinaryCopyReader(std::vector<CopyColumn> columns);

    // Starts on the next piece; the rows in it are then read with next().
    void take(std::string_view piece);
    // The next row of the piece taken, into `row`; false when the piece holds no more.
    bool next(CopyRow& row);
    // Whether the trailer has come; throws when the stream ended (no more pieces) without it.
    void finish() const;
    std::size_t rowsRead() const { return rows_; }

  private:
    void readHeader();
    [[noreturn]] void fail(const std::string& what) const;

    std::vector<CopyColumn> columns_;
    std::string_view piece_;
    bool headerRead_ = false;
    bool ended_ = false;
    std::size_t rows_ = 0;
};

}  // namespace vane
