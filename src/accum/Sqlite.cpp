#include "accum/Sqlite.h"

#include <utility>

namespace lociview::sql {

namespace {

Status statusOf(sqlite3* db, int code) {
    if (code == SQLITE_OK || code == SQLITE_ROW || code == SQLITE_DONE) return {};
    // The connection's message is more precise ("no such table: run") than
    // the code's generic one, but only while it still describes this code.
    const bool own = db != nullptr && sqlite3_errcode(db) == code;
    return {code & 0xff, own ? sqlite3_errmsg(db) : sqlite3_errstr(code)};
}

}  // namespace

Database::Database(Database&& other) noexcept : db(std::exchange(other.db, nullptr)) {}

Database& Database::operator=(Database&& other) noexcept {
    if (this != &other) {
        close();
        db = std::exchange(other.db, nullptr);
    }
    return *this;
}

Database::~Database() { close(); }

Database Database::open(const std::filesystem::path& file, int flags, Status& status) {
    sqlite3* handle = nullptr;
    const int code = sqlite3_open_v2(file.c_str(), &handle, flags, nullptr);
    status = statusOf(handle, code);
    if (code != SQLITE_OK) {
        if (handle != nullptr && status.message.empty()) status.message = sqlite3_errmsg(handle);
        sqlite3_close_v2(handle);
        return {};
    }
    return Database(handle);
}

void Database::close() {
    // close_v2 defers the close until every statement is finalised, so the
    // order in which owners go away does not matter.
    if (db != nullptr) sqlite3_close_v2(std::exchange(db, nullptr));
}

void Database::setBusyTimeout(std::chrono::milliseconds timeout) {
    if (db != nullptr) sqlite3_busy_timeout(db, static_cast<int>(timeout.count()));
}

Status Database::exec(const char* sql) {
    if (db == nullptr) return {SQLITE_MISUSE, "the database is not open"};
    return statusOf(db, sqlite3_exec(db, sql, nullptr, nullptr, nullptr));
}

Statement Database::prepare(std::string_view sql) { return Statement(db, sql); }

int64_t Database::lastInsertRowid() const { return db != nullptr ? sqlite3_last_insert_rowid(db) : 0; }

int Database::changes() const { return db != nullptr ? sqlite3_changes(db) : 0; }

bool Database::inTransaction() const { return db != nullptr && sqlite3_get_autocommit(db) == 0; }

Statement::Statement(sqlite3* db, std::string_view sql) : db(db) {
    if (db == nullptr) {
        state = {SQLITE_MISUSE, "the database is not open"};
        return;
    }
    check(sqlite3_prepare_v2(db, sql.data(), static_cast<int>(sql.size()), &stmt, nullptr));
}

Statement::Statement(Statement&& other) noexcept
    : db(other.db), stmt(std::exchange(other.stmt, nullptr)), state(std::move(other.state)) {}

Statement::~Statement() { sqlite3_finalize(stmt); }

Statement& Statement::check(int code) {
    if (state.ok()) state = statusOf(db, code);
    return *this;
}

Statement& Statement::bind(int index, int64_t value) {
    return state.ok() ? check(sqlite3_bind_int64(stmt, index, value)) : *this;
}

Statement& Statement::bind(int index, double value) {
    return state.ok() ? check(sqlite3_bind_double(stmt, index, value)) : *this;
}

Statement& Statement::bind(int index, std::string_view text) {
    if (!state.ok()) return *this;
    return check(sqlite3_bind_text64(stmt, index, text.data(), text.size(), SQLITE_TRANSIENT, SQLITE_UTF8));
}

Statement& Statement::bindNull(int index) { return state.ok() ? check(sqlite3_bind_null(stmt, index)) : *this; }

bool Statement::step() {
    if (!state.ok()) return false;
    const int code = sqlite3_step(stmt);
    check(code);
    return code == SQLITE_ROW;
}

Status Statement::run() {
    while (step()) {
    }
    return state;
}

void Statement::rewind() {
    if (stmt == nullptr) return;
    sqlite3_reset(stmt);
    sqlite3_clear_bindings(stmt);
}

bool Statement::isNull(int column) const { return sqlite3_column_type(stmt, column) == SQLITE_NULL; }

bool Statement::isInteger(int column) const { return sqlite3_column_type(stmt, column) == SQLITE_INTEGER; }

int64_t Statement::int64(int column) const { return sqlite3_column_int64(stmt, column); }

int32_t Statement::int32(int column) const { return sqlite3_column_int(stmt, column); }

double Statement::real(int column) const { return sqlite3_column_double(stmt, column); }

std::string Statement::text(int column) const {
    const auto* bytes = reinterpret_cast<const char*>(sqlite3_column_text(stmt, column));
    return bytes != nullptr ? std::string(bytes, static_cast<size_t>(sqlite3_column_bytes(stmt, column))) : std::string();
}

Transaction::Transaction(Database& db) : db(db), beginStatus(db.exec("BEGIN IMMEDIATE")) {}

Transaction::~Transaction() {
    // A failed COMMIT or an I/O error may already have ended the transaction.
    if (!done && beginStatus.ok() && db.inTransaction()) db.exec("ROLLBACK");
}

Status Transaction::commit() {
    if (!beginStatus.ok()) return beginStatus;
    Status status = db.exec("COMMIT");
    if (status.ok()) done = true;
    return status;
}

}  // namespace lociview::sql
