#pragma once

// One prepared SQLite statement, inside the database layer; not used above it.

#include <cstdint>
#include <optional>
#include <string>
#include <string_view>
#include <vector>

#include "platform/db/Schema.h"
#include "platform/db/Value.h"

struct sqlite3;
struct sqlite3_stmt;

namespace kiv {

// Raises the error SQLite reports for the last call on `db`: UniqueViolation for a duplicate key,
// DbError for anything else.
// A failure of the database file itself (damaged, read-only, cannot be opened, locked by another
// program, its disk full, an I/O error) is reported in Traditional Chinese naming the file, with
// SQLite's own words on a second line for support; any other error keeps SQLite's message.
[[noreturn]] void raiseSqliteError(sqlite3* db, std::string_view sql);
// The message for the SQLite error `code` on the file called `file`.
std::string fileFailureMessage(int code, const std::string& file, const std::string& message);

class Statement {
  public:
    Statement() = default;
    // Prepares exactly one statement; a text holding more than one is refused.
    Statement(sqlite3* db, std::string_view sql);
    ~Statement();
    Statement(Statement&& other) noexcept;
    Statement& operator=(Statement&& other) noexcept;

    // Binds every "?" of the statement in order; the number of values must match.
    void bindAll(const std::vector<Value>& params);
    // Binds the 1-based parameter `index`.
    void bind(int index, const Value& value);
    // As bind, but a text is not copied: `value` must outlive every run of the statement until
    // the parameter is bound again.
    void bindBorrowed(int index, const Value& value);
    // Binds a text without copying it (it must outlive the runs until the next bind), or Null.
    void bindText(int index, std::optional<std::string_view> text);
    // True when a row is ready; false when the statement has run to its end.
    bool step();
    // Ends the run, keeping the bound values, so that no read stays open in between.
    void reset();
    // Runs the statement to its end.
    void run();

    bool readOnly() const;
    int columnCount() const;
    sqlite3_stmt* get() const { return stmt_; }
    const std::string& sql() const { return sql_; }

  private:
    sqlite3* db_ = nullptr;
    sqlite3_stmt* stmt_ = nullptr;
    std::string sql_;
};

// What the database layer knows about one result column.
struct ColumnInfo {
    std::string name;               // as the query names it (its alias, if any)
    std::string table;              // the table it comes from; empty for a computed column
    std::string origin;             // the field it comes from; empty for a computed column
    std::optional<FieldKind> kind;  // from the schema; none when the schema does not know it
};

// The result columns of a prepared statement from `first` on, with their kinds in `schema`.
std::vector<ColumnInfo> columnsOf(sqlite3_stmt* stmt, const Schema& schema, int first = 0);

// The column's value: a date field gives a Date, a Boolean field a bool, anything else what
// SQLite holds (text, whole number, double, Null).
Value readColumn(sqlite3_stmt* stmt, int column, const std::optional<FieldKind>& kind);

// Rows copied out of a statement as they are stored, the texts of all of them in one buffer: a
// page of rows costs no allocation per field, and a field becomes a Value only when it is read.
class RowBuffer {
  public:
    void reset(size_t rows, size_t width);
    // Copies the columns from `firstColumn` on of the statement's current row into `row`.
    void read(sqlite3_stmt* stmt, size_t row, int firstColumn);
    // The field as readColumn gives it.
    Value value(size_t row, size_t column, const std::optional<FieldKind>& kind) const;
    // The field's text as value(...).text() gives it.
    std::string text(size_t row, size_t column, const std::optional<FieldKind>& kind) const;

  private:
    struct Cell {
        int type = 0;
        uint32_t length = 0;
        int64_t integer = 0;  // a text's place in text_
        double real = 0;
    };
    size_t width_ = 0;
    std::vector<Cell> cells_;
    std::string text_;
};

}  // namespace kiv
