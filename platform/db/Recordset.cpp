#include "platform/db/Recordset.h"

#include <sqlite3.h>

#include <algorithm>

#include "platform/db/Database.h"
#include "platform/db/KeysetCursor.h"
#include "platform/db/RecordsetImpl.h"
#include "platform/db/SqlText.h"

namespace kiv {

namespace {

// Every row of the result, read when it opens: joins, aggregates and anything a keyset cannot
// follow. It is a snapshot and cannot be changed.
class WholeResult : public RecordsetImpl {
  public:
    WholeResult(Database& db, std::string_view sql, Statement& statement,
                std::vector<ColumnInfo> columns)
        : RecordsetImpl(db, sql, std::move(columns)) {
        const auto& cols = this->columns();
        int width = static_cast<int>(cols.size());
        while (statement.step()) {
            for (int i = 0; i < width; ++i)
                values_.push_back(readColumn(statement.get(), i, cols[i].kind));
            ++rows_;
        }
        statement.reset();
    }

    bool bof() override { return rows_ == 0 || index_ < 0; }
    bool eof() override { return rows_ == 0 || index_ >= rows_; }
    int64_t count() override { return rows_; }
    void moveFirst() override { index_ = 0; }
    void moveLast() override { index_ = rows_ == 0 ? 0 : rows_ - 1; }
    void move(int64_t n) override { index_ = std::clamp<int64_t>(index_ + n, -1, rows_); }
    int64_t absolutePosition() override { return bof() || eof() ? -1 : index_; }
    void setAbsolutePosition(int64_t position) override {
        if (position < 0 || position >= rows_) raise("沒有第 " + std::to_string(position) + " 筆");
        index_ = position;
    }
    Value field(int index) override {
        checkIndex(index);
        if (bof() || eof()) raiseNoCurrentRow();
        return values_[index_ * columns().size() + index];
    }

  private:
    std::vector<Value> values_;
    int64_t rows_ = 0;
    int64_t index_ = 0;
};

bool isRowidTable(Database& db, const std::string& table) {
    if (db.schema().table(table)) return true;
    auto rs = db.OpenRecordset(
        "SELECT count(*), sum(type = 'table' AND wr = 0) FROM pragma_table_list "
        "WHERE name = ? COLLATE NOCASE",
        table);
    return rs.Fields(0).wholeNumber() > 0 && rs.Fields(0) == rs.Fields(1);
}

}  // namespace

Statement StatementShelf::take(sqlite3* db, std::string_view sql) {
    for (auto it = statements_.rbegin(); it != statements_.rend(); ++it) {
        if (it->sql() != sql) continue;
        Statement found = std::move(*it);
        statements_.erase(std::next(it).base());
        return found;
    }
    return Statement(db, sql);
}

// Stepped directly: reading the schema's version is no write for the write-fault switch to count.
void StatementShelf::followSchema(sqlite3* db) {
    if (!versionStatement_.get()) versionStatement_ = Statement(db, "PRAGMA schema_version");
    sqlite3_stmt* stmt = versionStatement_.get();
    int64_t version = sqlite3_step(stmt) == SQLITE_ROW ? sqlite3_column_int64(stmt, 0) : -1;
    sqlite3_reset(stmt);
    if (version != version_) statements_.clear();
    version_ = version;
}

void StatementShelf::give(Statement statement) {
    if (!statement.get()) return;
    statement.reset();
    sqlite3_clear_bindings(statement.get());
    if (statements_.size() == capacity) statements_.erase(statements_.begin());
    statements_.push_back(std::move(statement));
}

RecordsetImpl::RecordsetImpl(Database& db, std::string_view sql, std::vector<ColumnInfo> columns)
    : db_(&db), sql_(sql), columns_(std::move(columns)) {
    for (size_t i = 0; i < columns_.size(); ++i)
        exactNames_.emplace(columns_[i].name, static_cast<int>(i));
    db_->openRecordsets_.insert(this);
}

RecordsetImpl::~RecordsetImpl() {
    if (db_) db_->openRecordsets_.erase(this);
}

void RecordsetImpl::detach() {
    db_ = nullptr;
}

Database& RecordsetImpl::database() const {
    if (!db_) raise("資料庫已關閉");
    return *db_;
}

StatementShelf& RecordsetImpl::shelfOf(Database& db) {
    return db.shelf();
}

uint64_t RecordsetImpl::changeCount() const {
    return database().changeCount_;
}

const uint64_t* RecordsetImpl::changeCounter() const {
    return &database().changeCount_;
}

uint64_t RecordsetImpl::otherCommits() const {
    return database().otherCommits_;
}

void RecordsetImpl::noteChange() {
    ++database().changeCount_;
}

void RecordsetImpl::releaseDatabaseReads() {
    database().awaitSoundFile();
    database().releaseReads();
}

void RecordsetImpl::raise(const std::string& message) const {
    throw DbError(message, sql_, SQLITE_MISUSE);
}

void RecordsetImpl::raiseNoCurrentRow() const {
    raise("沒有目前的資料列");
}

int RecordsetImpl::fieldIndex(std::string_view name) const {
    // Literals lie a few bytes apart: the address is mixed before it picks a slot.
    uint64_t mixed = reinterpret_cast<uintptr_t>(name.data()) * 0x9E3779B97F4A7C15ull;
    RecentName& recent = recentNames_[(mixed >> 56) % recentNames_.size()];
    if (recent.data == name.data() && columns_[recent.index].name == name) return recent.index;
    if (auto found = exactNames_.find(name); found != exactNames_.end()) {
        recent = {name.data(), found->second};
        return found->second;
    }
    for (size_t i = 0; i < columns_.size(); ++i)
        if (sameIdentifier(columns_[i].name, name)) return static_cast<int>(i);
    if (auto dot = name.find('.'); dot != std::string_view::npos) {
        for (size_t i = 0; i < columns_.size(); ++i)
            if (sameIdentifier(columns_[i].table, name.substr(0, dot)) &&
                sameIdentifier(columns_[i].origin, name.substr(dot + 1)))
                return static_cast<int>(i);
    }
    raise("沒有欄位「" + std::string(name) + "」");
}

void RecordsetImpl::checkIndex(int index) const {
    if (index < 0 || index >= static_cast<int>(columns_.size()))
        raise("沒有第 " + std::to_string(index) + " 個欄位");
}

void RecordsetImpl::addNew() {
    raise("這個記錄集不能更新");
}
void RecordsetImpl::edit() {
    raise("這個記錄集不能更新");
}
void RecordsetImpl::setField(int, const Value&) {
    raise("這個記錄集不能更新");
}
void RecordsetImpl::update() {
    raise("這個記錄集不能更新");
}
void RecordsetImpl::remove() {
    raise("這個記錄集不能更新");
}

std::unique_ptr<RecordsetImpl> openRecordsetImpl(Database& db, std::string_view sql,
                                                 const std::vector<Value>& params) {
    if (auto keyset = keysetQueryOf(sql); keyset && isRowidTable(db, keyset->table))
        if (auto cursor = KeysetCursor::open(db, sql, *keyset, params)) return cursor;
    Statement statement = db.takeStatement(sql);
    statement.bindAll(params);
    if (!statement.readOnly()) db.awaitSoundFile();
    auto result =
        std::make_unique<WholeResult>(db, sql, statement, columnsOf(statement.get(), db.schema()));
    db.shelf().give(std::move(statement));
    return result;
}

Recordset::Recordset() = default;
Recordset::~Recordset() = default;
Recordset::Recordset(Recordset&&) noexcept = default;
Recordset& Recordset::operator=(Recordset&&) noexcept = default;
Recordset::Recordset(std::unique_ptr<RecordsetImpl> impl) : impl_(std::move(impl)) {}

RecordsetImpl& Recordset::impl() const {
    if (!impl_) throw DbError("記錄集已關閉", "", SQLITE_MISUSE);
    return *impl_;
}

bool Recordset::Bof() const {
    return impl().bof();
}
bool Recordset::Eof() const {
    return impl().eof();
}
int64_t Recordset::RecordCount() const {
    return impl().count();
}
void Recordset::MoveFirst() {
    impl().moveFirst();
}
void Recordset::MoveLast() {
    impl().moveLast();
}
void Recordset::MoveNext() {
    impl().move(1);
}
void Recordset::MovePrevious() {
    impl().move(-1);
}
void Recordset::Move(int64_t n) {
    impl().move(n);
}
int64_t Recordset::AbsolutePosition() const {
    return impl().absolutePosition();
}
void Recordset::SetAbsolutePosition(int64_t position) {
    impl().setAbsolutePosition(position);
}

int Recordset::FieldCount() const {
    return static_cast<int>(impl().columns().size());
}
std::string Recordset::FieldName(int index) const {
    impl().checkIndex(index);
    return impl().columns()[index].name;
}
Value Recordset::Fields(int index) const {
    return impl().field(index);
}
std::string Recordset::FieldText(int index) const {
    return impl().fieldText(index);
}
Value Recordset::Fields(std::string_view name) const {
    return impl().field(impl().fieldIndex(name));
}
int Recordset::FieldIndex(std::string_view name) const {
    return impl().fieldIndex(name);
}

void Recordset::AddNew() {
    impl().addNew();
}
void Recordset::Edit() {
    impl().edit();
}
void Recordset::SetField(int index, const Value& value) {
    impl().setField(index, value);
}
void Recordset::SetField(std::string_view name, const Value& value) {
    impl().setField(impl().fieldIndex(name), value);
}
void Recordset::Update() {
    impl().update();
}
void Recordset::CancelUpdate() {
    impl().cancelUpdate();
}
bool Recordset::EditPending() const {
    return impl_ && impl_->editPending();
}
void Recordset::Delete() {
    impl().remove();
}
void Recordset::Close() {
    impl_.reset();
}
bool Recordset::IsUpdatable() const {
    return impl_ && impl_->updatable();
}

}  // namespace kiv
