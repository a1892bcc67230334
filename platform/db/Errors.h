#pragma once

#include <stdexcept>
#include <string>

namespace kiv {

// A statement SQLite refused; carries SQLite's message and the SQL text.
class DbError : public std::runtime_error {
  public:
    DbError(const std::string& message, std::string sql, int code)
        : std::runtime_error(message), sql_(std::move(sql)), code_(code) {}
    const std::string& sql() const { return sql_; }
    int code() const { return code_; }

  private:
    std::string sql_;
    int code_;
};

// A row refused by a unique index or primary key (a duplicate project number or staff name).
class UniqueViolation : public DbError {
  public:
    using DbError::DbError;
};

// A row changed (or deleted) by another copy of the program since this one read it, found
// before anything was written: an Update after Edit, a save of rows a form showed, a state
// changed from the state read.
class UpdateConflict : public DbError {
  public:
    using DbError::DbError;
    explicit UpdateConflict(const std::string& message = ChangedMeanwhile);
    static constexpr const char* ChangedMeanwhile = "此筆資料已被其他使用者變更，請重新讀取";
};

// What a row another copy of the program deleted says when it is read or acted on.
inline constexpr const char* RowDeletedMessage = "這一筆已被刪除";

}  // namespace kiv
