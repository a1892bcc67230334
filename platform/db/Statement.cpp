#include "platform/db/Statement.h"

#include <sqlite3.h>

#include <cmath>
#include <filesystem>
#include <utility>

#include "platform/db/Errors.h"
#include "platform/db/SqlText.h"
#include "platform/db/WriteFault.h"

namespace kiv {

namespace {

bool isBlankTail(sqlite3* db, const char* tail) {
    for (const char* p = tail; *p; ++p) {
        if (*p == ' ' || *p == '\t' || *p == '\n' || *p == '\r' || *p == ';') continue;
        // Comments alone prepare to no statement.
        sqlite3_stmt* rest = nullptr;
        const char* restTail = nullptr;
        if (sqlite3_prepare_v2(db, p, -1, &rest, &restTail) != SQLITE_OK) return false;
        bool blank = rest == nullptr;
        sqlite3_finalize(rest);
        return blank && isBlankTail(db, restTail);
    }
    return true;
}

// BEGIN IMMEDIATE takes the write lock and so counts as no read-only statement, but it changes
// nothing stored.
bool isTransactionControl(std::string_view sql) {
    size_t start = sql.find_first_not_of(" \t\r\n");
    if (start == std::string_view::npos) return false;
    std::string_view rest = sql.substr(start);
    for (std::string_view word : {"BEGIN", "COMMIT", "END", "ROLLBACK", "SAVEPOINT", "RELEASE"})
        if (rest.size() >= word.size() && sameIdentifier(rest.substr(0, word.size()), word))
            return true;
    return false;
}

}  // namespace

std::string fileFailureMessage(int code, const std::string& file, const std::string& message) {
    switch (code & 0xff) {
        case SQLITE_CORRUPT:
        case SQLITE_NOTADB:
            return file + " 已損毀，無法讀取\n" + message;
        case SQLITE_READONLY:
            return file + " 為唯讀，無法存檔\n" + message;
        case SQLITE_CANTOPEN:
            return "無法開啟資料庫 " + file + "\n" + message;
        case SQLITE_BUSY:
        case SQLITE_LOCKED:
            return file + " 正由另一個程式寫入中，請稍後再試\n" + message;
        case SQLITE_FULL:
            return file + " 所在的磁碟已滿，無法存檔\n" + message;
        case SQLITE_IOERR:
            return file + " 讀寫失敗，磁碟或檔案系統發生錯誤\n" + message;
        default:
            return message;
    }
}

void raiseSqliteError(sqlite3* db, std::string_view sql) {
    int code = sqlite3_extended_errcode(db);
    std::string message = sqlite3_errmsg(db);
    if (code == SQLITE_CONSTRAINT_UNIQUE || code == SQLITE_CONSTRAINT_PRIMARYKEY)
        throw UniqueViolation(message, std::string(sql), code);
    const char* path = sqlite3_db_filename(db, "main");
    std::string file = path ? std::filesystem::path(path).filename().string() : "";
    throw DbError(fileFailureMessage(code, file, message), std::string(sql), code);
}

Statement::Statement(sqlite3* db, std::string_view sql) : db_(db), sql_(sql) {
    // SQLite would end the statement at the NUL and run only what comes before it.
    if (sql_.find('\0') != std::string::npos)
        throw DbError("SQL 指令含有 NUL 字元", sql_, SQLITE_MISUSE);
    const char* tail = nullptr;
    if (sqlite3_prepare_v2(db, sql_.c_str(), static_cast<int>(sql_.size()), &stmt_, &tail) !=
        SQLITE_OK)
        raiseSqliteError(db, sql_);
    if (stmt_ == nullptr) throw DbError("沒有 SQL 指令", sql_, SQLITE_MISUSE);
    if (!isBlankTail(db, tail)) {
        sqlite3_finalize(stmt_);
        stmt_ = nullptr;
        throw DbError("一次只能執行一個 SQL 指令", sql_, SQLITE_MISUSE);
    }
}

Statement::~Statement() {
    sqlite3_finalize(stmt_);
}

Statement::Statement(Statement&& other) noexcept
    : db_(other.db_), stmt_(std::exchange(other.stmt_, nullptr)), sql_(std::move(other.sql_)) {}

Statement& Statement::operator=(Statement&& other) noexcept {
    if (this != &other) {
        sqlite3_finalize(stmt_);
        db_ = other.db_;
        stmt_ = std::exchange(other.stmt_, nullptr);
        sql_ = std::move(other.sql_);
    }
    return *this;
}

void Statement::bindAll(const std::vector<Value>& params) {
    int expected = sqlite3_bind_parameter_count(stmt_);
    if (static_cast<int>(params.size()) != expected)
        throw DbError("參數數目不符：SQL 需要 " + std::to_string(expected) + " 個，給了 " +
                          std::to_string(params.size()) + " 個",
                      sql_, SQLITE_RANGE);
    for (size_t i = 0; i < params.size(); ++i)
        bind(static_cast<int>(i + 1), params[i]);
}

void Statement::bind(int index, const Value& value) {
    int rc = SQLITE_OK;
    switch (value.kind()) {
        case Value::Kind::Null:
            rc = sqlite3_bind_null(stmt_, index);
            break;
        case Value::Kind::Boolean:
            rc = sqlite3_bind_int(stmt_, index, *valueAs<bool>(value) ? 1 : 0);
            break;
        case Value::Kind::Integer:
            rc = sqlite3_bind_int64(stmt_, index, *valueAs<int64_t>(value));
            break;
        case Value::Kind::Double:
            // SQLite would store a NaN as Null.
            if (std::isnan(*valueAs<double>(value)))
                throw ConversionError("不是數字的值不能存入資料庫");
            rc = sqlite3_bind_double(stmt_, index, *valueAs<double>(value));
            break;
        case Value::Kind::Text: {
            const std::string& text = *valueAs<std::string>(value);
            rc = sqlite3_bind_text(stmt_, index, text.data(), static_cast<int>(text.size()),
                                   SQLITE_TRANSIENT);
            break;
        }
        case Value::Kind::Date: {
            std::string iso = valueAs<Date>(value)->iso();
            rc = sqlite3_bind_text(stmt_, index, iso.data(), static_cast<int>(iso.size()),
                                   SQLITE_TRANSIENT);
            break;
        }
    }
    if (rc != SQLITE_OK) raiseSqliteError(db_, sql_);
}

void Statement::bindBorrowed(int index, const Value& value) {
    const std::string* text = valueAs<std::string>(value);
    if (!text) return bind(index, value);
    if (sqlite3_bind_text(stmt_, index, text->data(), static_cast<int>(text->size()),
                          SQLITE_STATIC) != SQLITE_OK)
        raiseSqliteError(db_, sql_);
}

void Statement::bindText(int index, std::optional<std::string_view> text) {
    // An empty view may point nowhere, and SQLite reads a text without data as Null.
    const int rc = !text ? sqlite3_bind_null(stmt_, index)
                         : sqlite3_bind_text(stmt_, index, text->empty() ? "" : text->data(),
                                             static_cast<int>(text->size()), SQLITE_STATIC);
    if (rc != SQLITE_OK) raiseSqliteError(db_, sql_);
}

bool Statement::step() {
    if (!sqlite3_stmt_busy(stmt_) && !sqlite3_stmt_readonly(stmt_) && !isTransactionControl(sql_))
        writefault::beforeWrite();
    int rc = sqlite3_step(stmt_);
    if (rc == SQLITE_ROW) return true;
    if (rc == SQLITE_DONE) return false;
    // The reset leaves the error in place and ends the failed run, so the statement can run again.
    sqlite3_reset(stmt_);
    raiseSqliteError(db_, sql_);
}

void Statement::reset() {
    sqlite3_reset(stmt_);
}

void Statement::run() {
    while (step()) {
    }
    reset();
}

bool Statement::readOnly() const {
    return sqlite3_stmt_readonly(stmt_) != 0;
}

int Statement::columnCount() const {
    return sqlite3_column_count(stmt_);
}

std::vector<ColumnInfo> columnsOf(sqlite3_stmt* stmt, const Schema& schema, int first) {
    std::vector<ColumnInfo> columns;
    int count = sqlite3_column_count(stmt);
    for (int i = first; i < count; ++i) {
        ColumnInfo column;
        const char* name = sqlite3_column_name(stmt, i);
        const char* table = sqlite3_column_table_name(stmt, i);
        const char* origin = sqlite3_column_origin_name(stmt, i);
        column.name = name ? name : "";
        column.table = table ? table : "";
        column.origin = origin ? origin : "";
        if (table && origin)
            if (const FieldDef* field = schema.field(column.table, column.origin))
                column.kind = field->kind;
        columns.push_back(std::move(column));
    }
    return columns;
}

namespace {

Value storedValue(int type, int64_t integer, double real, std::string_view text,
                  const std::optional<FieldKind>& kind) {
    switch (type) {
        case SQLITE_INTEGER:
            if (kind == FieldKind::Boolean) return Value(integer != 0);
            return Value(static_cast<long long>(integer));
        case SQLITE_FLOAT:
            return Value(real);
        case SQLITE_NULL:
            return Value();
        default:
            // A date field holding text that is no date gives the text back as it is.
            if (kind == FieldKind::Date)
                if (auto date = Date::fromIso(text)) return Value(*date);
            return Value(text);
    }
}

std::string_view valueText(sqlite3_value* value) {
    auto data = reinterpret_cast<const char*>(sqlite3_value_text(value));
    return std::string_view(data ? data : "", sqlite3_value_bytes(value));
}

}  // namespace

// Every cell of a row is written when the row is read, so the cells are not cleared here.
void RowBuffer::reset(size_t rows, size_t width) {
    width_ = width;
    cells_.resize(rows * width);
    text_.clear();
}

void RowBuffer::read(sqlite3_stmt* stmt, size_t row, int firstColumn) {
    Cell* cell = &cells_[row * width_];
    for (size_t c = 0; c < width_; ++c, ++cell) {
        // The column's own value object: one call per field instead of one per question.
        sqlite3_value* value = sqlite3_column_value(stmt, firstColumn + static_cast<int>(c));
        cell->type = sqlite3_value_type(value);
        if (cell->type == SQLITE_INTEGER) {
            cell->integer = sqlite3_value_int64(value);
        } else if (cell->type == SQLITE_FLOAT) {
            cell->real = sqlite3_value_double(value);
        } else if (cell->type != SQLITE_NULL) {
            std::string_view text = valueText(value);
            cell->integer = static_cast<int64_t>(text_.size());
            cell->length = static_cast<uint32_t>(text.size());
            text_.append(text);
        }
    }
}

Value RowBuffer::value(size_t row, size_t column, const std::optional<FieldKind>& kind) const {
    const Cell& cell = cells_[row * width_ + column];
    std::string_view text;
    if (cell.type == SQLITE_TEXT || cell.type == SQLITE_BLOB)
        text = std::string_view(text_).substr(static_cast<size_t>(cell.integer), cell.length);
    return storedValue(cell.type, cell.integer, cell.real, text, kind);
}

// A stored text reads as itself unless it is a date field's, which reads as the date it holds.
std::string RowBuffer::text(size_t row, size_t column, const std::optional<FieldKind>& kind) const {
    const Cell& cell = cells_[row * width_ + column];
    if ((cell.type == SQLITE_TEXT || cell.type == SQLITE_BLOB) && kind != FieldKind::Date)
        return text_.substr(static_cast<size_t>(cell.integer), cell.length);
    return value(row, column, kind).text();
}

Value readColumn(sqlite3_stmt* stmt, int column, const std::optional<FieldKind>& kind) {
    sqlite3_value* value = sqlite3_column_value(stmt, column);
    int type = sqlite3_value_type(value);
    switch (type) {
        case SQLITE_INTEGER:
            return storedValue(type, sqlite3_value_int64(value), 0, {}, kind);
        case SQLITE_FLOAT:
            return storedValue(type, 0, sqlite3_value_double(value), {}, kind);
        case SQLITE_NULL:
            return Value();
        default:
            return storedValue(type, 0, 0, valueText(value), kind);
    }
}

}  // namespace kiv
