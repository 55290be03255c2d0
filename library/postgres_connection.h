#pragma once

#include <memory>
#include <optional>
#include <string>
#include <string_view>
#include <vector>

#include "library/store_error.h"

struct pg_conn;
struct pg_result;

namespace vane::library {

inline constexpr std::string_view kUniqueViolation = "23505";

// What the server refused, with its SQLSTATE code (such as kUniqueViolation).
class PostgresError : public StoreError {
  public:
    PostgresError(const std::string& message, std::string state)
        : StoreError(message), state_(std::move(state)) {}
    const std::string& state() const { return state_; }

  private:
    std::string state_;
};

// One result of the server; cleared when it goes. Reading outside its rows and columns is refused.
class PostgresResult {
  public:
    explicit PostgresResult(pg_result* result);

    int rows() const;
    // How many rows an INSERT, UPDATE or DELETE touched.
    long affectedRows() const;
    bool isNull(int row, int column) const;
    std::string text(int row, int column) const;

  private:
    struct Clear {
        void operator()(pg_result* result) const;
    };
    std::unique_ptr<pg_result, Clear> result_;
};

// One connection to a server, opened from a `postgresql://` URL and the PG* environment; closed
// when it goes. A URL with a password in it is refused, so that none ends up in shell histories
// and process lists: the password file or PGPASSWORD holds it.
class PostgresConnection {
  public:
    explicit PostgresConnection(const std::string& url);

    // A new connection to the same server as the same user, for work beside this one's.
    PostgresConnection another() const { return PostgresConnection(url_); }

    // Runs one statement with text parameters (nullopt: NULL), results in text.
    PostgresResult run(const std::string& sql,
                       const std::vector<std::optional<std::string>>& parameters = {});
    // `text` as a quoted literal of SQL, for statements that take no parameters (COPY).
    std::string literal(std::string_view text) const;
    // Runs statements without parameters or result rows.
    void execute(const std::string& sql);

    // COPY ... FROM STDIN: begin with run(), then send the data, then finish (or abandon it,
    // which fails the COPY and so the transaction it is in).
    void sendCopyData(std::string_view data);
    void endCopy();
    void abandonCopy();
    // COPY ... TO STDOUT: begin with run(), then take the data a piece at a time as the server
    // sends it (each valid until the next call), until nothing comes.
    std::optional<std::string_view> receiveCopyData();

  private:
    struct Finish {
        void operator()(pg_conn* connection) const;
    };
    struct FreePiece {
        void operator()(char* piece) const;
    };
    [[noreturn]] void fail(pg_result* result) const;
    // Takes a finished COPY's results; its first says whether all of it went through.
    void takeCopyResult();

    std::string url_;
    std::unique_ptr<pg_conn, Finish> connection_;
    std::unique_ptr<char, FreePiece> copyPiece_;
};

// Everything between construction and commit() happens as a whole or not at all.
class PostgresTransaction {
  public:
    explicit PostgresTransaction(PostgresConnection& connection,
                                 const std::string& begin = "BEGIN");
    ~PostgresTransaction();
    PostgresTransaction(const PostgresTransaction&) = delete;
    PostgresTransaction& operator=(const PostgresTransaction&) = delete;

    void commit();

  private:
    PostgresConnection& connection_;
    bool done_ = false;
};

// The version of the PostgreSQL client library this program runs with, as "17.2".
std::string postgresClientVersion();

}  // namespace vane::library
