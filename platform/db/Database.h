#pragma once

#include <cstdint>
#include <functional>
#include <memory>
#include <optional>
#include <set>
#include <string>
#include <string_view>
#include <vector>

#include "platform/db/Errors.h"
#include "platform/db/Recordset.h"
#include "platform/db/Schema.h"
#include "platform/db/Sql.h"
#include "platform/db/Value.h"

struct sqlite3;

namespace kiv {

class Transaction;
class IntegrityCheck;
class RecordsetImpl;
class StatementShelf;
class Statement;
class KeysetCursor;
struct RawAccess;

// A WHERE condition with its bound values, to be put into a larger statement.
struct SqlCondition {
    Sql sql;
    std::vector<Value> params;
};

// How a file's commits reach the disk. Full: a committed write survives the process being killed
// or the machine losing power. Scratch: for a file whose rows are rebuilt before every use (the
// print tables), commits do not wait for the disk; a crash may lose the last ones, never corrupt
// the file.
enum class Durability { Full, Scratch };

// What a transaction is opened for. One that writes takes the write lock as it begins (BEGIN
// IMMEDIATE), so that it waits for another copy's short write for the busy timeout: a transaction
// that took a read first would be refused at its first write at once, without waiting. One that
// only reads (a schedule read whole as one state of the file) begins as a read; a write inside it,
// or a transaction that writes nested in it, is a programming error and raises DbError.
enum class TransactionKind { Reads, Writes };

// One SQLite file. Every value reaches SQLite as a bound parameter ("?" in the SQL text); no
// function here takes a value pasted into SQL. A Database is used by one thread; recordsets still
// open when it is destroyed are closed with it (any later use raises DbError).
class Database {
  public:
    // Opens the file, creating it with the whole schema (file mode 0600) when it does not exist.
    // The schema also tells how the fields convert values on the way in and out. The whole file
    // is then checked in the background; its first write waits for the check, and every write
    // to a file found damaged raises DbError ("acc.mdb 已損毀，無法讀取"), so that nothing is
    // written into it.
    static std::unique_ptr<Database> open(const std::string& path, const Schema& schema,
                                          Durability durability = Durability::Full);
    ~Database();
    Database(const Database&) = delete;
    Database& operator=(const Database&) = delete;

    // A text holding a NUL character is refused (SQLite would end the statement there). Returns
    // the number of rows an INSERT, UPDATE or DELETE changed.
    template <class... Args>
    int64_t Execute(const Sql& sql, const Args&... args) {
        return ExecuteWith(sql, {Value(args)...});
    }
    int64_t ExecuteWith(const Sql& sql, const std::vector<Value>& params);

    template <class... Args>
    Recordset OpenRecordset(const Sql& sql, const Args&... args) {
        return OpenRecordsetWith(sql, {Value(args)...});
    }
    Recordset OpenRecordsetWith(const Sql& sql, const std::vector<Value>& params);

    // The first column of every row of a query as text (Null as ""), read in one pass without a
    // recordset: a list of numbers or names to choose from.
    template <class... Args>
    std::vector<std::string> ColumnTexts(const Sql& sql, const Args&... args) {
        return ColumnTextsWith(sql, {Value(args)...});
    }
    std::vector<std::string> ColumnTextsWith(const Sql& sql, const std::vector<Value>& params);

    // Appends rows to a table whose named fields hold text (the print tables), all through one
    // prepared INSERT: `nextRow` puts the next row's texts into `texts`, one for each of `fields`
    // in order (nullopt for Null), and returns false when no row is left. The texts are only lent:
    // each need last until the next call. All the rows are written or none (inside a caller's
    // transaction, which a failure then should roll back); a field that is missing or holds no
    // text raises DbError before anything is written. Returns the rows written.
    using RowTexts = std::vector<std::optional<std::string_view>>;
    int64_t AppendTextRows(std::string_view table, const std::vector<std::string>& fields,
                           const std::function<bool(RowTexts& texts)>& nextRow);

    // Every row of a table in stored (insertion) order, updatable: the table-type recordset.
    Recordset OpenTable(std::string_view table);

    // The name of a table or view, and of a field of one, for joining into SQL text; DbError when
    // neither the schema nor the file holds it.
    Identifier Table(std::string_view table);
    Identifier Field(std::string_view table, std::string_view field);

    bool HasTable(const std::string& table);
    bool HasField(const std::string& table, const std::string& field);
    // The table's field names in stored order.
    std::vector<std::string> FieldNames(const std::string& table);
    // Appends a field as the table's last column; existing rows take its default.
    void AddField(const std::string& table, const FieldDef& field);
    bool HasIndex(const std::string& index);
    void AddIndex(const IndexDef& index);

    // A condition matching rows where any field but `skipFields` holds `text` as stored text.
    // The user's "*" and "?" stay wildcards; "%" and "_" match themselves. A text longer than
    // SQLite can match (likeTextLimit characters) is refused with DbError.
    SqlCondition FullTextCondition(const std::string& table, std::string_view text,
                                   const std::vector<std::string>& skipFields = {});

    const std::string& path() const { return path_; }
    const Schema& schema() const { return schema_; }
    // Whether a Transaction is open, so that what must be written inside a caller's can check.
    bool InTransaction() const { return transactionDepth_ > 0; }

    // Looks at the file now and gives the changes counted so far: this program's writes through
    // the Database and the commits of other copies (SQLite's data version). Two equal answers mean
    // the file did not change between the two looks, so that what a form read after the first
    // still stands; a form reads again only when the answer moved.
    uint64_t ChangesSoFar();

  private:
    friend class Transaction;
    friend class FileLook;
    friend void endReadsOfOpenDatabases();
    friend class RecordsetImpl;
    friend class KeysetCursor;
    friend struct RawAccess;
    friend std::unique_ptr<RecordsetImpl> openRecordsetImpl(Database& db, std::string_view sql,
                                                            const std::vector<Value>& params);
    Database(std::string path, Schema schema, sqlite3* db);
    sqlite3* handle() const { return db_; }
    StatementShelf& shelf();
    // The statement of this text, kept from an earlier run when the schema has not changed since.
    Statement takeStatement(std::string_view sql);
    void configure(Durability durability);
    void createSchemaIfBlank();
    // Ends the reads that open recordsets keep running, before a write or a rollback.
    void releaseReads();
    // Before every write: refuses a write inside a transaction that began as a read, waits for the
    // file's check, and refuses a damaged file.
    void awaitSoundFile();
    void refuseWriteWhileReading() const;

    std::string path_;
    Schema schema_;
    sqlite3* db_;
    int transactionDepth_ = 0;
    // What the outermost transaction open now was begun for.
    TransactionKind outerKind_ = TransactionKind::Writes;
    // Counts the writes made through this Database, and the commits of other connections noticed
    // by a FileLook, so that open recordsets know when the rows they hold may be stale.
    uint64_t changeCount_ = 0;
    // The commits of other connections noticed so far: SQLite's data version as last read, the
    // statement that reads it, prepared once, and the looks open now (FileLook).
    uint64_t otherCommits_ = 0;
    int64_t dataVersion_ = -1;
    std::unique_ptr<Statement> dataVersionStatement_;
    int looks_ = 0;
    std::set<RecordsetImpl*> openRecordsets_;
    // Statements prepared for recordsets since closed and for earlier Executes, for the next ones
    // of the same text.
    std::unique_ptr<StatementShelf> shelf_;
    std::unique_ptr<IntegrityCheck> check_;
    bool foundSound_ = false;
};

// Control goes back to the user (a user action returned, or the program waits for the user's next
// move): every open Database ends the reads its recordsets keep running, so that no read
// transaction outlives the action that read (SQLite would go on showing that connection the file as
// it then was). A recordset reads on from its row at its next move, noticing what another copy
// committed meanwhile.
void endReadsOfOpenDatabases();

// All or nothing: the outermost transaction begins and commits; inner ones are savepoints, so an
// action may hold one open across a modal show of a form that opens its own. A transaction neither
// committed nor rolled back rolls back when it ends. Rolling back an outer transaction ends the
// inner ones still open. A Transaction ends before its Database.
class Transaction {
  public:
    Transaction(Database& db, TransactionKind kind);
    ~Transaction();
    Transaction(const Transaction&) = delete;
    Transaction& operator=(const Transaction&) = delete;

    void Commit();
    void Rollback();

  private:
    Database& db_;
    int depth_;
    bool open_ = true;
};

// The longest text, in characters, that the LIKE patterns below accept: escaped, any text of this
// length stays within SQLite's pattern limit (50,000 bytes), whatever its characters.
inline constexpr size_t likeTextLimit = 12000;

// A LIKE pattern (used with ESCAPE '\') for texts starting with `prefix`, taken literally.
// Both raise DbError ("搜尋文字過長") for a text longer than likeTextLimit characters.
std::string likePrefix(std::string_view prefix);
// A LIKE pattern (ESCAPE '\') for texts containing `text`; "*" and "?" stay wildcards.
std::string likeContains(std::string_view text);

}  // namespace kiv
