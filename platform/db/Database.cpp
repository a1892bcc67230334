#include "platform/db/Database.h"

#include <fcntl.h>
#include <sqlite3.h>
#include <sys/stat.h>
#include <unistd.h>

#include <cerrno>
#include <cstring>
#include <filesystem>

#include "platform/db/IntegrityCheck.h"
#include "platform/db/RecordsetImpl.h"
#include "platform/db/SqlText.h"
#include "platform/db/Statement.h"
#include "platform/db/Utf8.h"
#include "platform/db/WriteFault.h"

namespace kiv {

namespace {

std::string fileName(const std::string& path) {
    return std::filesystem::path(path).filename().string();
}

// Creates the empty file readable and writable by its owner only, before SQLite opens it (its
// journal and write-ahead log take the same mode). An empty file is an empty database.
void createPrivateFile(const std::string& path) {
    int fd = ::open(path.c_str(), O_WRONLY | O_CREAT | O_EXCL | O_CLOEXEC, 0600);
    if (fd < 0) {
        if (errno == EEXIST) return;
        throw DbError(fileFailureMessage(SQLITE_CANTOPEN, fileName(path), std::strerror(errno)), "",
                      SQLITE_CANTOPEN);
    }
    ::fchmod(fd, 0600);
    ::close(fd);
}

void runStatement(sqlite3* db, const std::string& sql) {
    Statement(db, sql).run();
}

// The Databases open now, so that the end of a user action reaches all of them; one thread uses
// them.
std::vector<Database*>& openDatabases() {
    static std::vector<Database*> open;
    return open;
}

}  // namespace

std::unique_ptr<Database> Database::open(const std::string& path, const Schema& schema,
                                         Durability durability) {
    if (!std::filesystem::exists(path)) createPrivateFile(path);
    sqlite3* handle = nullptr;
    // One thread uses a Database, so SQLite's own locking of the connection is not needed.
    int flags = SQLITE_OPEN_READWRITE | SQLITE_OPEN_NOMUTEX;
    if (sqlite3_open_v2(path.c_str(), &handle, flags, nullptr) != SQLITE_OK) {
        std::string message = handle ? sqlite3_errmsg(handle) : "out of memory";
        sqlite3_close_v2(handle);
        throw DbError(fileFailureMessage(SQLITE_CANTOPEN, fileName(path), message), "",
                      SQLITE_CANTOPEN);
    }
    std::unique_ptr<Database> db(new Database(path, schema, handle));
    db->configure(durability);
    db->createSchemaIfBlank();
    // The file's data version as it is opened, so that the first look notices a later commit.
    FileLook{*db};
    db->check_ = std::make_unique<IntegrityCheck>(path);
    return db;
}

Database::Database(std::string path, Schema schema, sqlite3* db)
    : path_(std::move(path)), schema_(std::move(schema)), db_(db) {
    openDatabases().push_back(this);
}

Database::~Database() {
    std::erase(openDatabases(), this);
    for (RecordsetImpl* recordset : openRecordsets_)
        recordset->detach();
    bool sound = foundSound_ || (check_ && check_->foundSound());
    check_.reset();
    // Keeps the planner's statistics current, so that it goes on choosing the date indexes. It
    // writes, so only to a file found sound.
    if (sound) sqlite3_exec(db_, "PRAGMA optimize", nullptr, nullptr, nullptr);
    shelf_.reset();
    dataVersionStatement_.reset();
    sqlite3_close_v2(db_);
}

// Full durability syncs the write-ahead log at every commit.
void Database::configure(Durability durability) {
    sqlite3_extended_result_codes(db_, 1);
    sqlite3_busy_timeout(db_, 5000);
    // The file is read first, so that a file that is no database is reported at once.
    runStatement(db_, "SELECT count(*) FROM sqlite_schema");
    OpenRecordset("PRAGMA journal_mode = WAL");
    runStatement(db_, durability == Durability::Full ? "PRAGMA synchronous = FULL"
                                                     : "PRAGMA synchronous = OFF");
    runStatement(db_, "PRAGMA foreign_keys = ON");
}

// A file without tables and without a schema version is new (or its creation was cut short,
// which left it empty): it receives the whole schema in one transaction. Any other file is left
// as it is.
void Database::createSchemaIfBlank() {
    Transaction creation(*this, TransactionKind::Writes);
    auto state = OpenRecordset(
        "SELECT (SELECT count(*) FROM sqlite_schema), "
        "(SELECT user_version FROM pragma_user_version)");
    bool blank = state.Fields(0).wholeNumber() == 0 && state.Fields(1).wholeNumber() == 0;
    state.Close();
    if (blank) {
        for (const auto& table : schema_.tables)
            runStatement(db_, createTableSql(table));
        for (const auto& index : schema_.indexes)
            runStatement(db_, createIndexSql(index));
        for (const auto& statement : schema_.creationStatements)
            runStatement(db_, statement);
        runStatement(db_, "PRAGMA user_version = 1");
    }
    creation.Commit();
}

StatementShelf& Database::shelf() {
    if (!shelf_) shelf_ = std::make_unique<StatementShelf>();
    return *shelf_;
}

Statement Database::takeStatement(std::string_view sql) {
    shelf().followSchema(db_);
    return shelf().take(db_, sql);
}

int64_t Database::ExecuteWith(const Sql& sql, const std::vector<Value>& params) {
    Statement statement = takeStatement(sql.text());
    statement.bindAll(params);
    bool writes = !statement.readOnly();
    if (!writes) {
        statement.run();
        shelf().give(std::move(statement));
        return 0;
    }
    awaitSoundFile();
    releaseReads();
    statement.run();
    ++changeCount_;
    const int64_t changed = sqlite3_changes64(db_);
    shelf().give(std::move(statement));
    return changed;
}

std::vector<std::string> Database::ColumnTextsWith(const Sql& sql,
                                                   const std::vector<Value>& params) {
    Statement statement = takeStatement(sql.text());
    statement.bindAll(params);
    if (!statement.readOnly())
        throw DbError("只能讀取的查詢才能列出", statement.sql(), SQLITE_MISUSE);
    std::vector<std::string> texts;
    while (statement.step()) {
        auto text = reinterpret_cast<const char*>(sqlite3_column_text(statement.get(), 0));
        texts.emplace_back(text ? text : "", text ? sqlite3_column_bytes(statement.get(), 0) : 0);
    }
    statement.reset();
    shelf().give(std::move(statement));
    return texts;
}

// The rows of a print table come from a grid of texts, thousands at a time: they are bound as
// they stand, with no conversion and no copy, to one statement prepared for all of them.
int64_t Database::AppendTextRows(std::string_view table, const std::vector<std::string>& fields,
                                 const std::function<bool(RowTexts& texts)>& nextRow) {
    std::string names, marks;
    for (const std::string& field : fields) {
        const Identifier name = Field(table, field);
        const FieldDef* def = schema_.field(std::string(table), field);
        if (def && def->kind != FieldKind::Text)
            throw DbError("欄位「" + field + "」不是文字欄位", "", SQLITE_MISMATCH);
        names += (names.empty() ? "" : ", ") + name.quoted();
        marks += marks.empty() ? "?" : ", ?";
    }
    Statement insert(
        db_, "INSERT INTO " + Table(table).quoted() + " (" + names + ") VALUES (" + marks + ")");
    // Inside the caller's transaction no savepoint of its own is taken: SQLite would copy every
    // page the rows change into the savepoint's journal. A failure there reaches the caller,
    // whose transaction then rolls the rows back with the rest.
    std::optional<Transaction> own;
    if (!InTransaction()) own.emplace(*this, TransactionKind::Writes);
    awaitSoundFile();
    releaseReads();
    RowTexts texts(fields.size());
    int64_t written = 0;
    while (nextRow(texts)) {
        if (texts.size() != fields.size())
            throw DbError("每列的文字數目須與欄位數目相同", insert.sql(), SQLITE_RANGE);
        for (size_t i = 0; i < texts.size(); ++i)
            insert.bindText(static_cast<int>(i + 1), texts[i]);
        insert.run();
        ++written;
    }
    ++changeCount_;
    if (own) own->Commit();
    return written;
}

void Database::releaseReads() {
    for (RecordsetImpl* recordset : openRecordsets_)
        recordset->releaseReads();
}

void endReadsOfOpenDatabases() {
    for (Database* db : openDatabases())
        db->releaseReads();
}

// A transaction that began as a read holds no write lock and would be refused at once by another
// copy's write instead of waiting its turn: whoever opened it as a read must not write in it.
void Database::refuseWriteWhileReading() const {
    if (transactionDepth_ > 0 && outerKind_ == TransactionKind::Reads)
        throw DbError("讀取用的交易不能寫入", "", SQLITE_MISUSE);
}

// Once found sound, the file is not asked again; a damaged one refuses every write. The writes
// of the opening itself (a new file's schema) come before the check.
void Database::awaitSoundFile() {
    refuseWriteWhileReading();
    if (foundSound_ || !check_) return;
    check_->awaitSound();
    foundSound_ = true;
}

Recordset Database::OpenRecordsetWith(const Sql& sql, const std::vector<Value>& params) {
    return Recordset(openRecordsetImpl(*this, sql.text(), params));
}

Recordset Database::OpenTable(std::string_view table) {
    return OpenRecordset("SELECT * FROM " + Table(table) + " ORDER BY rowid");
}

Identifier Database::Table(std::string_view table) {
    std::string name(table);
    if (!schema_.table(name)) {
        auto found = OpenRecordset(
            "SELECT count(*) FROM sqlite_schema "
            "WHERE type IN ('table', 'view') AND name = ? COLLATE NOCASE",
            name);
        if (found.Fields(0).wholeNumber() == 0)
            throw DbError("沒有資料表「" + name + "」", "", SQLITE_ERROR);
    }
    return Identifier(quoteIdentifier(name));
}

Identifier Database::Field(std::string_view table, std::string_view field) {
    std::string tableName(table), name(field);
    if (!schema_.field(tableName, name) && !HasField(tableName, name))
        throw DbError("資料表「" + tableName + "」沒有欄位「" + name + "」", "", SQLITE_ERROR);
    return Identifier(quoteIdentifier(name));
}

bool Database::HasTable(const std::string& table) {
    auto rs = OpenRecordset(
        "SELECT count(*) FROM sqlite_schema WHERE type = 'table' AND name = ? COLLATE NOCASE",
        table);
    return rs.Fields(0).wholeNumber() > 0;
}

bool Database::HasField(const std::string& table, const std::string& field) {
    for (const auto& name : FieldNames(table))
        if (sameIdentifier(name, field)) return true;
    return false;
}

std::vector<std::string> Database::FieldNames(const std::string& table) {
    std::vector<std::string> names;
    auto rs = OpenRecordset("SELECT name FROM pragma_table_info(?) ORDER BY cid", table);
    for (; !rs.Eof(); rs.MoveNext())
        names.push_back(rs.Fields(0).text());
    return names;
}

void Database::AddField(const std::string& table, const FieldDef& field) {
    Statement alter(db_,
                    "ALTER TABLE " + quoteIdentifier(table) + " ADD COLUMN " + columnSql(field));
    awaitSoundFile();
    releaseReads();
    alter.run();
    ++changeCount_;
    for (auto& def : schema_.tables)
        if (sameIdentifier(def.name, table) && !schema_.field(table, field.name))
            def.fields.push_back(field);
}

bool Database::HasIndex(const std::string& index) {
    return OpenRecordset("SELECT count(*) FROM sqlite_schema WHERE type = 'index' AND name = ?",
                         index)
               .Fields(0)
               .wholeNumber() > 0;
}

void Database::AddIndex(const IndexDef& index) {
    Statement create(db_, createIndexSql(index));
    refuseWriteWhileReading();
    releaseReads();
    create.run();
    ++changeCount_;
}

SqlCondition Database::FullTextCondition(const std::string& table, std::string_view text,
                                         const std::vector<std::string>& skipFields) {
    auto names = FieldNames(table);
    if (names.empty()) throw DbError("沒有資料表「" + table + "」", "", SQLITE_ERROR);
    std::string pattern = likeContains(text);
    SqlCondition condition{"(", {}};
    for (const auto& name : names) {
        bool skipped = false;
        for (const auto& skip : skipFields)
            skipped = skipped || sameIdentifier(name, skip);
        if (skipped) continue;
        if (!condition.params.empty()) condition.sql += " OR ";
        condition.sql += Identifier(quoteIdentifier(name));
        condition.sql += " LIKE ? ESCAPE '\\'";
        condition.params.emplace_back(pattern);
    }
    if (condition.params.empty()) return {"(0)", {}};
    condition.sql += ")";
    return condition;
}

// The data version is read by one step of the kept statement, stepped directly: reading it is no
// write for the write-fault switch to count. The statement stands on its row until the outermost
// look ends, which keeps the state of the file it read. A version SQLite cannot read counts as a
// commit, so that nothing kept is trusted; the first look, as the file opens, only reads it.
FileLook::FileLook(Database& db) : db_(db) {
    if (db_.looks_ > 0) {
        ++db_.looks_;
        return;
    }
    if (!db_.dataVersionStatement_)
        db_.dataVersionStatement_ = std::make_unique<Statement>(db_.db_, "PRAGMA data_version");
    ++db_.looks_;
    sqlite3_stmt* stmt = db_.dataVersionStatement_->get();
    if (sqlite3_step(stmt) == SQLITE_ROW) {
        const int64_t version = sqlite3_column_int64(stmt, 0);
        const bool opening = db_.dataVersion_ < 0;
        const bool same = version == db_.dataVersion_;
        db_.dataVersion_ = version;
        if (opening || same) return;
    }
    ++db_.otherCommits_;
    ++db_.changeCount_;
}

FileLook::~FileLook() {
    if (--db_.looks_ == 0) sqlite3_reset(db_.dataVersionStatement_->get());
}

// The reads the recordsets keep running end first: an open read would show the file as it stood
// when that read began.
uint64_t Database::ChangesSoFar() {
    if (transactionDepth_ == 0) releaseReads();
    FileLook look(*this);
    return changeCount_;
}

Transaction::Transaction(Database& db, TransactionKind kind)
    : db_(db), depth_(db.transactionDepth_) {
    if (depth_ == 0) {
        db_.releaseReads();
        runStatement(db_.db_, kind == TransactionKind::Writes ? "BEGIN IMMEDIATE" : "BEGIN");
        db_.outerKind_ = kind;
    } else {
        if (kind == TransactionKind::Writes) db_.refuseWriteWhileReading();
        runStatement(db_.db_, "SAVEPOINT kiv_" + std::to_string(depth_));
    }
    ++db_.transactionDepth_;
}

Transaction::~Transaction() {
    if (!open_) return;
    try {
        Rollback();
    } catch (const DbError&) {
        // Nothing more can be done while unwinding; SQLite ends the transaction with the file.
    }
}

void Transaction::Commit() {
    if (!open_ || depth_ >= db_.transactionDepth_) throw DbError("交易已經結束", "", SQLITE_MISUSE);
    if (depth_ + 1 != db_.transactionDepth_)
        throw DbError("內層的交易還沒有結束", "", SQLITE_MISUSE);
    // SQLite itself rolls a transaction back on some failures (a full disk, an I/O error).
    if (sqlite3_get_autocommit(db_.db_)) {
        open_ = false;
        db_.transactionDepth_ = 0;
        throw DbError("交易已被資料庫取消", "", SQLITE_ABORT);
    }
    if (depth_ == 0) {
        try {
            writefault::beforeCommit();
        } catch (const DbError&) {
            Rollback();
            throw;
        }
        runStatement(db_.db_, "COMMIT");
    } else {
        runStatement(db_.db_, "RELEASE kiv_" + std::to_string(depth_));
    }
    open_ = false;
    db_.transactionDepth_ = depth_;
}

// Rolling back an outer transaction also ends the inner ones still open; they then have nothing
// left to roll back.
void Transaction::Rollback() {
    if (!open_) return;
    open_ = false;
    if (depth_ >= db_.transactionDepth_) return;
    db_.transactionDepth_ = depth_;
    ++db_.changeCount_;
    db_.releaseReads();
    if (sqlite3_get_autocommit(db_.db_)) {
        db_.transactionDepth_ = 0;
        return;
    }
    if (depth_ == 0) {
        runStatement(db_.db_, "ROLLBACK");
    } else {
        std::string name = "kiv_" + std::to_string(depth_);
        runStatement(db_.db_, "ROLLBACK TO " + name);
        runStatement(db_.db_, "RELEASE " + name);
    }
}

namespace {

void checkLikeText(std::string_view text) {
    if (characterCount(text) > likeTextLimit)
        throw DbError("搜尋文字過長，最多 " + std::to_string(likeTextLimit) + " 個字", "",
                      SQLITE_TOOBIG);
}

}  // namespace

std::string likePrefix(std::string_view prefix) {
    checkLikeText(prefix);
    std::string pattern;
    for (char c : prefix) {
        if (c == '%' || c == '_' || c == '\\') pattern += '\\';
        pattern += c;
    }
    return pattern + "%";
}

std::string likeContains(std::string_view text) {
    checkLikeText(text);
    std::string pattern = "%";
    for (char c : text) {
        if (c == '*')
            pattern += '%';
        else if (c == '?')
            pattern += '_';
        else {
            if (c == '%' || c == '_' || c == '\\') pattern += '\\';
            pattern += c;
        }
    }
    return pattern + "%";
}

}  // namespace kiv
