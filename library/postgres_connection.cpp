#include "library/postgres_connection.h"

#include <libpq-fe.h>

#include <cstdlib>

#include "library/library_location.h"
#include "library/library_types.h"

namespace vane::library {
namespace {

// libpq's messages run over several lines with tabs; a problem is shown on one line.
std::string trimmed(std::string text) {
    for (char& c : text) {
        c = c == '\n' || c == '\t' ? ' ' : c;
    }
    while (!text.empty() && text.back() == ' ') {
        text.pop_back();
    }
    return text;
}

bool urlHasPassword(const std::string& url) {
    char* message = nullptr;
    PQconninfoOption* options = PQconninfoParse(url.c_str(), &message);
    if (!options) {
        const std::string why = message ? trimmed(message) : "not a connection URL";
        PQfreemem(message);
        throw LibraryError("\"" + withPasswordHidden(url) +
                           "\" cannot be read as a library's URL: " + why);
    }
    bool password = false;
    for (const PQconninfoOption* option = options; option->keyword; ++option) {
        password = password || (std::string_view(option->keyword) == "password" && option->val &&
                                *option->val != '\0');
    }
    PQconninfoFree(options);
    return password;
}

}  // namespace

PostgresResult::PostgresResult(pg_result* result) : result_(result) {}

void PostgresResult::Clear::operator()(pg_result* result) const {
    PQclear(result);
}

int PostgresResult::rows() const {
    return PQntuples(result_.get());
}

long PostgresResult::affectedRows() const {
    return std::strtol(PQcmdTuples(result_.get()), nullptr, 10);
}

bool PostgresResult::isNull(int row, int column) const {
    return row < 0 || row >= rows() || column < 0 || column >= PQnfields(result_.get()) ||
           PQgetisnull(result_.get(), row, column) != 0;
}

std::string PostgresResult::text(int row, int column) const {
    if (isNull(row, column)) {
        return {};
    }
    return {PQgetvalue(result_.get(), row, column),
            static_cast<std::size_t>(PQgetlength(result_.get(), row, column))};
}

void PostgresConnection::Finish::operator()(pg_conn* connection) const {
    PQfinish(connection);
}

PostgresConnection::PostgresConnection(const std::string& url) : url_(url) {
    if (urlHasPassword(url)) {
        throw LibraryError("\"" + url.substr(0, url.find(':')) +
                           "://...\" holds a password; Vane takes none in a library's URL. Put it "
                           "in the password file (~/.pgpass, or the file PGPASSFILE names).");
    }
    connection_.reset(PQconnectdb(url.c_str()));
    if (!connection_ || PQstatus(connection_.get()) != CONNECTION_OK) {
        const std::string why =
            connection_ ? trimmed(PQerrorMessage(connection_.get())) : "out of memory";
        throw LibraryError("\"" + withPasswordHidden(url) + "\" cannot be opened: " + why);
    }
    // The server's notices are for its administrator, not for the command's standard error.
    PQsetNoticeProcessor(
        connection_.get(), [](void*, const char*) {}, nullptr);
    // Times and numbers travel exactly, whatever the server's defaults.
    execute("SET extra_float_digits = 3; SET client_encoding = 'UTF8'");
}

void PostgresConnection::fail(pg_result* result) const {
    const char* state = result ? PQresultErrorField(result, PG_DIAG_SQLSTATE) : nullptr;
    const char* primary = result ? PQresultErrorField(result, PG_DIAG_MESSAGE_PRIMARY) : nullptr;
    const std::string message =
        primary ? std::string(primary) : trimmed(PQerrorMessage(connection_.get()));
    const std::string code = state ? state : "";
    PQclear(result);
    throw PostgresError(message, code);
}

PostgresResult PostgresConnection::run(const std::string& sql,
                                       const std::vector<std::optional<std::string>>& parameters) {
    std::vector<const char*> values;
    values.reserve(parameters.size());
    for (const std::optional<std::string>& parameter : parameters) {
        values.push_back(parameter ? parameter->c_str() : nullptr);
    }
    pg_result* result =
        PQexecParams(connection_.get(), sql.c_str(), static_cast<int>(values.size()), nullptr,
                     values.data(), nullptr, nullptr, 0);
    const ExecStatusType status = result ? PQresultStatus(result) : PGRES_FATAL_ERROR;
    if (status != PGRES_COMMAND_OK && status != PGRES_TUPLES_OK && status != PGRES_COPY_IN &&
        status != PGRES_COPY_OUT) {
        fail(result);
    }
    return PostgresResult(result);
}

std::string PostgresConnection::literal(std::string_view text) const {
    char* quoted = PQescapeLiteral(connection_.get(), text.data(), text.size());
    if (!quoted) {
        fail(nullptr);
    }
    std::string result(quoted);
    PQfreemem(quoted);
    return result;
}

void PostgresConnection::execute(const std::string& sql) {
    pg_result* result = PQexec(connection_.get(), sql.c_str());
    const ExecStatusType status = result ? PQresultStatus(result) : PGRES_FATAL_ERROR;
    if (status != PGRES_COMMAND_OK && status != PGRES_TUPLES_OK) {
        fail(result);
    }
    PQclear(result);
}

void PostgresConnection::sendCopyData(std::string_view data) {
    if (PQputCopyData(connection_.get(), data.data(), static_cast<int>(data.size())) != 1) {
        fail(nullptr);
    }
}

void PostgresConnection::endCopy() {
    if (PQputCopyEnd(connection_.get(), nullptr) != 1) {
        fail(nullptr);
    }
    takeCopyResult();
}

void PostgresConnection::takeCopyResult() {
    pg_result* result = PQgetResult(connection_.get());
    if (!result || PQresultStatus(result) != PGRES_COMMAND_OK) {
        fail(result);
    }
    PQclear(result);
    while ((result = PQgetResult(connection_.get())) != nullptr) {
        PQclear(result);
    }
}

void PostgresConnection::abandonCopy() {
    PQputCopyEnd(connection_.get(), "stopped");
    while (pg_result* result = PQgetResult(connection_.get())) {
        PQclear(result);
    }
}

void PostgresConnection::FreePiece::operator()(char* piece) const {
    PQfreemem(piece);
}

std::optional<std::string_view> PostgresConnection::receiveCopyData() {
    char* piece = nullptr;
    const int length = PQgetCopyData(connection_.get(), &piece, 0);
    copyPiece_.reset(piece);
    if (length >= 0) {
        return std::string_view(piece, static_cast<std::size_t>(length));
    }
    if (length == -2) {
        fail(nullptr);
    }
    // The COPY's end: its result says whether all of it came.
    takeCopyResult();
    return std::nullopt;
}

PostgresTransaction::PostgresTransaction(PostgresConnection& connection, const std::string& begin)
    : connection_(connection) {
    connection_.execute(begin);
}

PostgresTransaction::~PostgresTransaction() {
    if (!done_) {
        try {
            connection_.execute("ROLLBACK");
        } catch (const PostgresError&) {
            // A lost connection has rolled back on the server by itself.
        }
    }
}

void PostgresTransaction::commit() {
    connection_.execute("COMMIT");
    done_ = true;
}

std::string postgresClientVersion() {
    const int version = PQlibVersion();  // major * 10000 + minor since version 10
    return std::to_string(version / 10000) + '.' + std::to_string(version % 10000);
}

}  // namespace vane::library
