#pragma once

// The two kinds of recordset behind Recordset, inside the database layer; not used above it.

#include <array>
#include <cstdint>
#include <functional>
#include <memory>
#include <optional>
#include <string>
#include <string_view>
#include <unordered_map>
#include <vector>

#include "platform/db/Statement.h"
#include "platform/db/Value.h"

namespace kiv {

class Database;

// Prepared statements kept for the next recordset or Execute of the same text: preparing a
// statement costs more than reading a row, and forms run the same few statements again and again.
class StatementShelf {
  public:
    // Lets go of every statement when the schema changed since they were prepared; a recordset
    // or Execute checks once as it starts.
    void followSchema(sqlite3* db);
    // The statement ready to bind; raises DbError when SQLite refuses the text.
    Statement take(sqlite3* db, std::string_view sql);
    // Keeps the statement, ended and with its values cleared; the least recently given goes when
    // the shelf is full.
    void give(Statement statement);

  private:
    static constexpr size_t capacity = 64;
    std::vector<Statement> statements_;
    // The schema the kept statements were prepared on: a field added since (by this program or
    // another) changes what "*" names, so they are all prepared anew.
    Statement versionStatement_;
    int64_t version_ = -1;
};

// A look at the file before a recordset reads what joins the rows it kept: it notices whether
// another connection committed since the last look (SQLite's data version moves only then),
// counting such a commit as a change, and holds the state of the file it saw until it ends, so that
// the reads made meanwhile meet that state. Looks nest; the outermost one reads the version. A look
// ends before any write.
class FileLook {
  public:
    explicit FileLook(Database& db);
    ~FileLook();
    FileLook(const FileLook&) = delete;
    FileLook& operator=(const FileLook&) = delete;

  private:
    Database& db_;
};

class RecordsetImpl {
  public:
    RecordsetImpl(Database& db, std::string_view sql, std::vector<ColumnInfo> columns);
    virtual ~RecordsetImpl();
    RecordsetImpl(const RecordsetImpl&) = delete;
    RecordsetImpl& operator=(const RecordsetImpl&) = delete;

    virtual bool bof() = 0;
    virtual bool eof() = 0;
    virtual int64_t count() = 0;
    virtual void moveFirst() = 0;
    virtual void moveLast() = 0;
    virtual void move(int64_t n) = 0;
    virtual int64_t absolutePosition() = 0;
    virtual void setAbsolutePosition(int64_t position) = 0;
    // The current row's field; raises DbError when there is no current row.
    virtual Value field(int index) = 0;
    // The field's text as Value::text gives it.
    virtual std::string fieldText(int index) { return field(index).text(); }

    virtual bool updatable() const { return false; }
    virtual void addNew();
    virtual void edit();
    virtual void setField(int index, const Value& value);
    virtual void update();
    virtual void cancelUpdate() {}
    virtual bool editPending() const { return false; }
    virtual void remove();

    const std::vector<ColumnInfo>& columns() const { return columns_; }
    // The position of the field called `name` (case-insensitive; "table.field" also finds a
    // field of a join); raises DbError when there is none.
    int fieldIndex(std::string_view name) const;
    void checkIndex(int index) const;

    // A write is coming: no statement of the recordset may stay open across it.
    virtual void releaseReads() {}
    // The database is closing: every later use raises DbError.
    virtual void detach();

  protected:
    Database& database() const;
    bool attached() const { return db_ != nullptr; }
    StatementShelf& shelf() const { return shelfOf(database()); }
    static StatementShelf& shelfOf(Database& db);
    // Writes through the Database so far; rows read before it moved may be stale.
    uint64_t changeCount() const;
    const uint64_t* changeCounter() const;
    // Commits of other connections noticed so far; rows read before it moved may be stale.
    uint64_t otherCommits() const;
    void noteChange();
    // Before a write through the recordset: the file's check passed, the other reads ended.
    void releaseDatabaseReads();
    const std::string& sql() const { return sql_; }
    [[noreturn]] void raise(const std::string& message) const;
    [[noreturn]] void raiseNoCurrentRow() const;

  private:
    Database* db_;
    std::string sql_;
    std::vector<ColumnInfo> columns_;
    struct NameHash {
        using is_transparent = void;
        size_t operator()(std::string_view s) const { return std::hash<std::string_view>{}(s); }
    };
    // The fields by their exact names, for the common lookup without an allocation.
    std::unordered_map<std::string, int, NameHash, std::equal_to<>> exactNames_;
    // Forms read fields by the same literal names row after row: the place of a name last seen
    // at the same address is checked against the field's name and taken without hashing.
    struct RecentName {
        const char* data = nullptr;
        int index = 0;
    };
    mutable std::array<RecentName, 256> recentNames_{};
};

// Opens the recordset that suits the query: a keyset cursor for a plain query over one table,
// every row read at once for anything else.
std::unique_ptr<RecordsetImpl> openRecordsetImpl(Database& db, std::string_view sql,
                                                 const std::vector<Value>& params);

}  // namespace kiv
