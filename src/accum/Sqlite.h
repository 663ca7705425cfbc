#pragma once
// Our thin layer over SQLite: a connection, prepared statements with bound
// values, and transactions that roll back unless committed. Nothing here
// throws; every failure comes back as a Status with SQLite's message.
#include <sqlite3.h>

#include <chrono>
#include <cstdint>
#include <filesystem>
#include <string>
#include <string_view>

namespace lociview::sql {

struct Status {
    int code = SQLITE_OK;  // primary result code (SQLITE_BUSY, SQLITE_CORRUPT, ...)
    std::string message;
    bool ok() const { return code == SQLITE_OK; }
};

class Statement;

class Database {
public:
    Database() = default;
    Database(Database&& other) noexcept;
    Database& operator=(Database&& other) noexcept;
    Database(const Database&) = delete;
    Database& operator=(const Database&) = delete;
    ~Database();

    // Opens (or creates, with SQLITE_OPEN_CREATE in flags) the file.
    static Database open(const std::filesystem::path& file, int flags, Status& status);

    bool isOpen() const { return db != nullptr; }
    void close();
    // How long a statement waits for another connection's lock before
    // giving up with SQLITE_BUSY.
    void setBusyTimeout(std::chrono::milliseconds timeout);

    Status exec(const char* sql);  // statements without results
    Statement prepare(std::string_view sql);
    int64_t lastInsertRowid() const;
    int changes() const;
    bool inTransaction() const;
    sqlite3* handle() const { return db; }

private:
    explicit Database(sqlite3* db) : db(db) {}
    sqlite3* db = nullptr;
};

// A prepared statement. The first failure (preparing, binding, stepping)
// sticks: later calls do nothing and status() reports it, so a sequence of
// calls needs one check at its end.
class Statement {
public:
    Statement(Statement&& other) noexcept;
    Statement& operator=(Statement&&) = delete;
    Statement(const Statement&) = delete;
    Statement& operator=(const Statement&) = delete;
    ~Statement();

    // Parameters count from 1, as in SQL's ?1.
    Statement& bind(int index, int64_t value);
    Statement& bind(int index, int value) { return bind(index, static_cast<int64_t>(value)); }
    Statement& bind(int index, double value);  // NaN is stored as NULL by SQLite
    Statement& bind(int index, std::string_view text);
    Statement& bindNull(int index);

    bool step();     // true while a row is ready; false when done or failed
    Status run();    // steps to the end; the status of the whole statement
    void rewind();   // for another run with new bindings; keeps a failure
    const Status& status() const { return state; }

    // Columns count from 0.
    bool isNull(int column) const;
    bool isInteger(int column) const;  // stored as an integer, not text, a real or NULL
    int64_t int64(int column) const;
    int32_t int32(int column) const;
    double real(int column) const;
    std::string text(int column) const;

private:
    friend class Database;
    Statement(sqlite3* db, std::string_view sql);
    Statement& check(int code);
    sqlite3* db;
    sqlite3_stmt* stmt = nullptr;
    Status state;
};

// BEGIN IMMEDIATE on construction: the write lock is taken (waiting out the
// busy timeout) before anything is read, so two writers never both read a
// state and then race to change it. Rolled back on destruction unless
// commit() succeeded.
class Transaction {
public:
    explicit Transaction(Database& db);
    Transaction(const Transaction&) = delete;
    Transaction& operator=(const Transaction&) = delete;
    ~Transaction();

    const Status& begun() const { return beginStatus; }
    Status commit();

private:
    Database& db;
    Status beginStatus;
    bool done = false;
};

}  // namespace lociview::sql
