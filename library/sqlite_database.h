#pragma once

#include <cstdint>
#include <filesystem>
#include <optional>
#include <string>
#include <string_view>

#include "library/store_error.h"

struct sqlite3;
struct sqlite3_stmt;

namespace vane::library {

class SqliteError : public StoreError {
  public:
    SqliteError(const std::string& message, int code) : StoreError(message), code_(code) {}
    int code() const { return code_; }

  private:
    int code_;
};

// One connection to an SQLite file; closed when it goes.
class Database {
  public:
    enum class Mode { ReadOnly, ReadWrite, Create };

    Database(const std::filesystem::path& file, Mode mode);
    ~Database();
    Database(Database&& other) noexcept;
    Database& operator=(Database&& other) noexcept;
    Database(const Database&) = delete;
    Database& operator=(const Database&) = delete;

    void execute(std::string_view sql);
    std::int64_t lastInsertId() const;
    sqlite3* handle() const { return db_; }

  private:
    sqlite3* db_ = nullptr;
};

// A prepared statement; bind indices count from 1, column indices from 0.
class Statement {
  public:
    Statement(const Database& database, std::string_view sql);
    ~Statement();
    Statement(const Statement&) = delete;
    Statement& operator=(const Statement&) = delete;

    Statement& bind(int index, double value);
    Statement& bind(int index, std::int64_t value);
    Statement& bind(int index, int value) { return bind(index, std::int64_t{value}); }
    Statement& bind(int index, std::string_view value);
    Statement& bind(int index, const std::optional<double>& value);
    Statement& bind(int index, const std::optional<std::string>& value);
    Statement& bindNull(int index);

    // True while there is a row to read.
    bool step();
    void run() { step(); }
    void reset();

    double doubleAt(int column) const;
    std::int64_t integerAt(int column) const;
    std::string textAt(int column) const;
    std::optional<double> optionalDoubleAt(int column) const;
    // The value when it is stored as a number; a damaged file may hold text in any column, which
    // doubleAt() would read as its leading digits or as 0.
    std::optional<double> numberAt(int column) const;
    std::optional<std::string> optionalTextAt(int column) const;

  private:
    void check(int code) const;

    sqlite3* db_;
    sqlite3_stmt* statement_ = nullptr;
};

// Everything between construction and commit() happens as a whole or not at all: leaving the
// scope without commit(), by an exception or a cancel, rolls back.
class Transaction {
  public:
    explicit Transaction(Database& database);
    ~Transaction();
    Transaction(const Transaction&) = delete;
    Transaction& operator=(const Transaction&) = delete;

    void commit();

  private:
    Database& database_;
    bool done_ = false;
};

}  // namespace vane::library
