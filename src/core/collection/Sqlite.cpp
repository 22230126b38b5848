#include "collection/Sqlite.h"

#include <sqlite3.h>

#include <utility>

namespace qv::sql {

Statement::Statement(sqlite3* db, std::string_view text) {
    result_ = sqlite3_prepare_v2(db, text.data(), static_cast<int>(text.size()), &stmt_, nullptr);
    if (result_ != SQLITE_OK) {
        sqlite3_finalize(stmt_);
        stmt_ = nullptr;
    }
}

Statement::~Statement() {
    sqlite3_finalize(stmt_);
}

Statement::Statement(Statement&& other) noexcept
    : stmt_(std::exchange(other.stmt_, nullptr)), result_(other.result_) {}

Statement& Statement::operator=(Statement&& other) noexcept {
    if (this != &other) {
        sqlite3_finalize(stmt_);
        stmt_ = std::exchange(other.stmt_, nullptr);
        result_ = other.result_;
    }
    return *this;
}

Statement& Statement::bind(int index, std::int64_t value) {
    sqlite3_bind_int64(stmt_, index, value);
    return *this;
}

Statement& Statement::bind(int index, std::string_view text) {
    sqlite3_bind_text(stmt_, index, text.data(), static_cast<int>(text.size()), SQLITE_TRANSIENT);
    return *this;
}

Statement& Statement::bindBlob(int index, std::span<const std::uint8_t> bytes) {
    sqlite3_bind_blob(stmt_, index, bytes.data(), static_cast<int>(bytes.size()), SQLITE_TRANSIENT);
    return *this;
}

Statement& Statement::bindRef(int index, std::string_view text) {
    sqlite3_bind_text(stmt_, index, text.data(), static_cast<int>(text.size()), SQLITE_STATIC);
    return *this;
}

Statement& Statement::bindBlobRef(int index, std::span<const std::uint8_t> bytes) {
    sqlite3_bind_blob(stmt_, index, bytes.data(), static_cast<int>(bytes.size()), SQLITE_STATIC);
    return *this;
}

Statement& Statement::bindNull(int index) {
    sqlite3_bind_null(stmt_, index);
    return *this;
}

bool Statement::step() {
    if (!stmt_) {
        result_ = SQLITE_MISUSE;
        return false;
    }
    result_ = sqlite3_step(stmt_);
    return result_ == SQLITE_ROW;
}

void Statement::reset() {
    sqlite3_reset(stmt_);
    sqlite3_clear_bindings(stmt_);
}

void Statement::rewind() {
    sqlite3_reset(stmt_);
}

std::int64_t Statement::integer(int column) const {
    return sqlite3_column_int64(stmt_, column);
}

std::string Statement::text(int column) const {
    const auto* p = sqlite3_column_text(stmt_, column);
    return p ? std::string(reinterpret_cast<const char*>(p),
                           static_cast<std::size_t>(sqlite3_column_bytes(stmt_, column)))
             : std::string();
}

std::string_view Statement::textView(int column) const {
    const auto* p = sqlite3_column_text(stmt_, column);
    return p ? std::string_view(reinterpret_cast<const char*>(p),
                                static_cast<std::size_t>(sqlite3_column_bytes(stmt_, column)))
             : std::string_view();
}

std::string Statement::blob(int column) const {
    const void* p = sqlite3_column_blob(stmt_, column);
    return p ? std::string(static_cast<const char*>(p),
                           static_cast<std::size_t>(sqlite3_column_bytes(stmt_, column)))
             : std::string();
}

bool Statement::isNull(int column) const {
    return sqlite3_column_type(stmt_, column) == SQLITE_NULL;
}

bool exec(sqlite3* db, const char* text, std::string* error) {
    char* message = nullptr;
    if (sqlite3_exec(db, text, nullptr, nullptr, &message) == SQLITE_OK)
        return true;
    if (error)
        *error = message ? message : sqlite3_errmsg(db);
    sqlite3_free(message);
    return false;
}

std::string lastError(sqlite3* db) {
    return sqlite3_errmsg(db);
}

}  // namespace qv::sql
