#include "library/sqlite_database.h"

#include <sqlite3.h>

#include <cerrno>
#include <cstring>
#include <utility>

namespace vane::library {
namespace {

// When the system refused a read or write, its words ("No space left on device", "Permission
// denied") tell the user what to do; SQLite's own ("database or disk is full", "disk I/O error")
// do not.
std::string wordsFor(sqlite3* db, int code) {
    const int primary = code & 0xFF;
    if (primary == SQLITE_FULL) {
        return std::strerror(ENOSPC);  // SQLite keeps no system error for it
    }
    const int systemError = db ? sqlite3_system_errno(db) : 0;
    if (systemError != 0 && (primary == SQLITE_IOERR || primary == SQLITE_CANTOPEN)) {
        return std::strerror(systemError);
    }
    const char* message = db ? sqlite3_errmsg(db) : nullptr;
    return message ? message : sqlite3_errstr(code);
}

[[noreturn]] void fail(sqlite3* db, int code) {
    throw SqliteError(wordsFor(db, code), code);
}

}  // namespace

Database::Database(const std::filesystem::path& file, Mode mode) {
    int flags = SQLITE_OPEN_READONLY;
    if (mode == Mode::ReadWrite) {
        flags = SQLITE_OPEN_READWRITE;
    } else if (mode == Mode::Create) {
        flags = SQLITE_OPEN_READWRITE | SQLITE_OPEN_CREATE;
    }
    const int code = sqlite3_open_v2(file.c_str(), &db_, flags | SQLITE_OPEN_NOMUTEX, nullptr);
    if (code != SQLITE_OK) {
        const SqliteError error(wordsFor(db_, code), code);
        sqlite3_close(db_);
        db_ = nullptr;
        throw error;
    }
    sqlite3_extended_result_codes(db_, 1);
    // Another process may be writing (the desktop while a script reads): wait rather than fail.
    sqlite3_busy_timeout(db_, 5000);
}

Database::~Database() {
    sqlite3_close(db_);
}

Database::Database(Database&& other) noexcept : db_(std::exchange(other.db_, nullptr)) {}

Database& Database::operator=(Database&& other) noexcept {
    if (this != &other) {
        sqlite3_close(db_);
        db_ = std::exchange(other.db_, nullptr);
    }
    return *this;
}

void Database::execute(std::string_view sql) {
    const std::string text(sql);
    const int code = sqlite3_exec(db_, text.c_str(), nullptr, nullptr, nullptr);
    if (code != SQLITE_OK) {
        fail(db_, code);
    }
}

std::int64_t Database::lastInsertId() const {
    return sqlite3_last_insert_rowid(db_);
}

Statement::Statement(const Database& database, std::string_view sql) : db_(database.handle()) {
    check(sqlite3_prepare_v2(db_, sql.data(), static_cast<int>(sql.size()), &statement_, nullptr));
}

Statement::~Statement() {
    sqlite3_finalize(statement_);
}

void Statement::check(int code) const {
    if (code != SQLITE_OK) {
        fail(db_, code);
    }
}

Statement& Statement::bind(int index, double value) {
    check(sqlite3_bind_double(statement_, index, value));
    return *this;
}

Statement& Statement::bind(int index, std::int64_t value) {
    check(sqlite3_bind_int64(statement_, index, value));
    return *this;
}

Statement& Statement::bind(int index, std::string_view value) {
    check(sqlite3_bind_text(statement_, index, value.data(), static_cast<int>(value.size()),
                            SQLITE_TRANSIENT));
    return *this;
}

Statement& Statement::bind(int index, const std::optional<double>& value) {
    return value ? bind(index, *value) : bindNull(index);
}

Statement& Statement::bind(int index, const std::optional<std::string>& value) {
    return value ? bind(index, std::string_view(*value)) : bindNull(index);
}

Statement& Statement::bindNull(int index) {
    check(sqlite3_bind_null(statement_, index));
    return *this;
}

bool Statement::step() {
    const int code = sqlite3_step(statement_);
    if (code == SQLITE_ROW) {
        return true;
    }
    if (code == SQLITE_DONE) {
        return false;
    }
    fail(db_, code);
}

void Statement::reset() {
    sqlite3_reset(statement_);
    sqlite3_clear_bindings(statement_);
}

double Statement::doubleAt(int column) const {
    return sqlite3_column_double(statement_, column);
}

std::int64_t Statement::integerAt(int column) const {
    return sqlite3_column_int64(statement_, column);
}

std::string Statement::textAt(int column) const {
    const auto* text = sqlite3_column_text(statement_, column);
    const int size = sqlite3_column_bytes(statement_, column);
    return text ? std::string(reinterpret_cast<const char*>(text), static_cast<std::size_t>(size))
                : std::string();
}

std::optional<double> Statement::optionalDoubleAt(int column) const {
    if (sqlite3_column_type(statement_, column) == SQLITE_NULL) {
        return std::nullopt;
    }
    return doubleAt(column);
}

std::optional<double> Statement::numberAt(int column) const {
    const int type = sqlite3_column_type(statement_, column);
    if (type != SQLITE_INTEGER && type != SQLITE_FLOAT) {
        return std::nullopt;
    }
    return doubleAt(column);
}

std::optional<std::string> Statement::optionalTextAt(int column) const {
    if (sqlite3_column_type(statement_, column) == SQLITE_NULL) {
        return std::nullopt;
    }
    return textAt(column);
}

Transaction::Transaction(Database& database) : database_(database) {
    // IMMEDIATE takes the write lock now, so a concurrent writer fails before any work is done.
    database_.execute("BEGIN IMMEDIATE");
}

Transaction::~Transaction() {
    if (done_) {
        return;
    }
    try {
        database_.execute("ROLLBACK");
    } catch (const SqliteError&) {
        // SQLite has ended the transaction by itself after some errors.
    }
    // After a full disk SQLite leaves the old pages in the journal until the next read puts them
    // back; read now, so that the file is as it was and no journal is left beside it.
    try {
        database_.execute("SELECT 1 FROM sqlite_master LIMIT 1");
    } catch (const SqliteError&) {
        // The journal stays; the next open puts it back.
    }
}

void Transaction::commit() {
    database_.execute("COMMIT");
    done_ = true;
}

}  // namespace vane::library
