#pragma once

#include <cstdint>
#include <span>
#include <string>
#include <string_view>

struct sqlite3;
struct sqlite3_stmt;

namespace qv::sql {

// One prepared statement; finalized when it goes out of scope. Bind indexes count
// from 1, column indexes from 0.
class Statement {
  public:
    Statement() = default;
    Statement(sqlite3* db, std::string_view text);
    ~Statement();
    Statement(Statement&& other) noexcept;
    Statement& operator=(Statement&& other) noexcept;

    bool valid() const { return stmt_ != nullptr; }
    Statement& bind(int index, std::int64_t value);
    Statement& bind(int index, std::string_view text);
    Statement& bindBlob(int index, std::span<const std::uint8_t> bytes);
    Statement& bindNull(int index);
    // Text and bytes that stay where they are until the statement has been stepped:
    // bound without a copy.
    Statement& bindRef(int index, std::string_view text);
    Statement& bindBlobRef(int index, std::span<const std::uint8_t> bytes);
    // Steps once: true while a row is there. Sets the last result code.
    bool step();
    // Resets for the next binding.
    void reset();
    // Resets for the next step and keeps the bindings, for a statement whose every
    // parameter is bound anew each time (a row of a bulk write).
    void rewind();
    int result() const { return result_; }

    std::int64_t integer(int column) const;
    std::string text(int column) const;
    std::string blob(int column) const;
    // The text of a column without a copy; valid until the next step or reset.
    std::string_view textView(int column) const;
    bool isNull(int column) const;

  private:
    sqlite3_stmt* stmt_ = nullptr;
    int result_ = 0;
};

// Runs statements without results; false with error set on failure.
bool exec(sqlite3* db, const char* text, std::string* error = nullptr);

// The database's message for its last failure.
std::string lastError(sqlite3* db);

}  // namespace qv::sql
