#include "platform/db/KeysetCursor.h"

#include <sqlite3.h>

#include <algorithm>
#include <cmath>
#include <limits>
#include <unordered_map>
#include <utility>

#include "platform/db/Database.h"
#include "platform/db/Numbers.h"
#include "platform/db/Utf8.h"

namespace kiv {

namespace {

constexpr int pageSize = KeysetQuery::pageSize;
// A place in the tail whose rowid has not been read: the pages a jump went over.
constexpr int64_t unknownRowid = std::numeric_limits<int64_t>::min();

// Where the stream's page from `position` ends: the first rows in pages growing from one row, so
// that a recordset read for one row or a screenful reads little more, then whole aligned pages.
int64_t streamPageEnd(int64_t position) {
    if (position < pageSize) return std::max<int64_t>(1, 2 * position);
    return (position / pageSize + 1) * pageSize;
}

[[noreturn]] void refuse(const std::string& field, const std::string& why) {
    throw ConversionError("欄位「" + field + "」：" + why);
}

// The number a numeric field receives: "" is Null, "12,000" is 12000, any other text is refused,
// and so is what no number can hold (NaN, infinity, "1e400"). A whole number stays whole on the
// way to SQLite, however large: a double would round it above 2^53.
Value numberForField(const Value& value, FieldKind kind, const std::string& field) {
    double number = 0;
    if (value.isNull()) return Value();
    if (value.kind() == Value::Kind::Date) refuse(field, "日期不能存入數字欄位");
    if (value.kind() == Value::Kind::Integer && kind == FieldKind::Integer) return value;
    try {
        if (const std::string* text = valueAs<std::string>(value)) {
            std::string written = trimmed(*text);
            if (written.empty()) return Value();
            if (kind == FieldKind::Integer)
                if (auto whole = wholeNumberFromText(written))
                    return Value(static_cast<long long>(*whole));
        }
        number = value.number();
    } catch (const ConversionError& error) {
        refuse(field, error.what());
    }
    if (std::isnan(number)) refuse(field, "不是數字");
    if (std::isinf(number)) refuse(field, "超出數字範圍");
    if (kind == FieldKind::Real) return Value(number);
    return Value(static_cast<long long>(roundHalfToEven(number)));
}

Value dateForField(const Value& value, const std::string& field) {
    if (value.isNull() || value.kind() == Value::Kind::Date) return value;
    if (!value.isText()) refuse(field, "「" + value.text() + "」不是日期");
    if (trimmed(value.text()).empty()) return Value();
    try {
        return Value(value.date());
    } catch (const ConversionError&) {
        refuse(field, "「" + value.text() + "」不是日期");
    }
}

// The value as the field's kind stores it; a field the schema does not know takes it as it is.
Value convertForField(const Value& value, const ColumnInfo& column) {
    if (!column.kind) return value;
    switch (*column.kind) {
        case FieldKind::Text:
            if (value.isNull() || value.isText()) return value;
            return Value(value.text());
        case FieldKind::Integer:
        case FieldKind::Real:
            return numberForField(value, *column.kind, column.name);
        case FieldKind::Boolean:
            if (value.kind() == Value::Kind::Date) refuse(column.name, "日期不是是非值");
            try {
                return Value(value.boolean());
            } catch (const ConversionError&) {
                refuse(column.name, "「" + value.text() + "」不是是非值");
            }
        case FieldKind::Date:
            return dateForField(value, column.name);
    }
    return value;
}

}  // namespace

std::unique_ptr<KeysetCursor> KeysetCursor::open(Database& db, std::string_view sql,
                                                 const KeysetQuery& query,
                                                 const std::vector<Value>& params) {
    Statement stream;
    try {
        shelfOf(db).followSchema(db.handle());
        stream = shelfOf(db).take(db.handle(), query.streamSql);
    } catch (const DbError&) {
        return nullptr;
    }
    auto columns = columnsOf(stream.get(), db.schema(), 1);
    // The order keys after the query's own columns are the cursor's, not the caller's.
    columns.resize(columns.size() - query.orderKeys);
    std::unique_ptr<KeysetCursor> cursor(
        new KeysetCursor(db, sql, query, params, std::move(stream), std::move(columns)));
    try {
        cursor->streamStatement_.bindAll(params);
    } catch (const DbError& e) {
        throw DbError(e.what(), std::string(sql), e.code());
    }
    return cursor;
}

KeysetCursor::KeysetCursor(Database& db, std::string_view sql, KeysetQuery query,
                           std::vector<Value> params, Statement stream,
                           std::vector<ColumnInfo> columns)
    : RecordsetImpl(db, sql, std::move(columns)),
      query_(std::move(query)),
      params_(std::move(params)),
      streamStatement_(std::move(stream)),
      width_(this->columns().size()),
      partialStamp_(changeCount()),
      changeCounter_(changeCounter()) {
    for (const auto& column : this->columns())
        kinds_.push_back(column.kind);
}

KeysetCursor::~KeysetCursor() {
    if (!attached()) return;
    for (Statement* statement : {&streamStatement_, &keyStatement_, &tailStatement_,
                                 &tailKeyStatement_, &pageStatement_, &insertStatement_})
        shelf().give(std::move(*statement));
}

void KeysetCursor::detach() {
    rowReady_ = false;
    streaming_ = false;
    streamStatement_ = Statement();
    keyStatement_ = Statement();
    tailStatement_ = Statement();
    tailKeyStatement_ = Statement();
    pageStatement_ = Statement();
    insertStatement_ = Statement();
    RecordsetImpl::detach();
}

// Opening reads nothing: the first look at the rows from the front reads the first page through
// the stream, which also tells whether that is all.
void KeysetCursor::start() {
    if (started_) return;
    FileLook look(database());  // a recordset that outlived its database reads nothing
    bool any = false;
    try {
        any = streamStatement_.step();
    } catch (const DbError& e) {
        raiseAsWritten(e);
    }
    started_ = true;
    // A tail read before a write no longer fits the rows the stream now meets.
    if (!complete_ && changeCount() != partialStamp_) {
        tail_.clear();
        tailAsked_ = 0;
        partialStamp_ = changeCount();
    }
    if (!complete_) keysOtherCommits_ = otherCommits();
    if (!any) {
        streamStatement_.reset();
        if (!complete_) keys_.clear();
        complete_ = true;
        return;
    }
    streamNext_ = 0;
    if (!noteStreamKey(0, sqlite3_column_int64(streamStatement_.get(), 0))) {
        streamStatement_.reset();
        return;
    }
    streaming_ = true;
    readStreamPage();
}

void KeysetCursor::readStreamPage() {
    sqlite3_stmt* stmt = streamStatement_.get();
    int64_t start = streamNext_;
    int64_t rows = streamPageEnd(start) - start;
    beginPage(static_cast<size_t>(rows));
    int64_t count = 0;
    while (true) {
        page_.rows.read(stmt, static_cast<size_t>(count), 1);
        page_.present[count++] = 1;
        bool more = false;
        try {
            more = streamStatement_.step();
        } catch (const DbError& e) {
            streaming_ = false;
            raiseAsWritten(e);
        }
        if (!more) {
            // The stream has met the end: every rowid is known.
            endStream();
            complete_ = complete_ || keys_.size() == static_cast<size_t>(start + count);
            break;
        }
        if (!noteStreamKey(start + count, sqlite3_column_int64(stmt, 0))) {
            endStream();
            break;
        }
        streamNext_ = start + count;
        if (count == rows) break;
    }
    endPage(End::Front, start, count);
    page_.streamed = true;
}

// The stream's row at `position` extends the known rowids, or must agree with them once they
// are all read; false when it does not.
bool KeysetCursor::noteStreamKey(int64_t position, int64_t rowid) {
    auto known = static_cast<int64_t>(keys_.size());
    if (!complete_ && position == known) {
        keys_.push_back(rowid);
        return true;
    }
    return position < known && keys_[position] == rowid;
}

void KeysetCursor::endStream() {
    if (!streaming_) return;
    streaming_ = false;
    streamStatement_.reset();
}

// The rows the stream read stay, but they are of the state of the file the stream held: the next
// move, also one on the page the stream read last, looks at the file first.
void KeysetCursor::releaseReads() {
    endStream();
    page_.streamed = false;
}

// Every rowid the statement gives; it is prepared on first use, as most recordsets never need it.
void KeysetCursor::readRowids(Statement& statement, const std::string& sql,
                              std::vector<int64_t>& rowids) {
    if (!statement.get()) {
        statement = shelf().take(database().handle(), sql);
        statement.bindAll(params_);
    }
    rowids.clear();
    try {
        while (statement.step())
            rowids.push_back(sqlite3_column_int64(statement.get(), 0));
    } catch (const DbError& e) {
        rowids.clear();
        raiseAsWritten(e);
    }
    statement.reset();
}

// The last `rows` rows, last first, with their rowids, as the tail's own page. False when the
// rows read from the front came before a write: only the full list of rowids then fits both.
bool KeysetCursor::readTail(int64_t rows) {
    if (changeCount() != partialStamp_) {
        if (started_) return false;
        tail_.clear();
        tailAsked_ = 0;
        partialStamp_ = changeCount();
    }
    if (tailAsked_ >= rows) return !tail_.empty();
    if (!tailStatement_.get()) {
        tailStatement_ = shelf().take(database().handle(), query_.tailSql);
        for (size_t i = 0; i < params_.size(); ++i)
            tailStatement_.bind(static_cast<int>(i + 1), params_[i]);
    }
    sqlite3_stmt* stmt = tailStatement_.get();
    sqlite3_bind_int64(stmt, sqlite3_bind_parameter_count(stmt), rows);
    beginPage(static_cast<size_t>(rows));
    tail_.clear();
    try {
        while (tailStatement_.step()) {
            page_.rows.read(stmt, tail_.size(), 1);
            page_.present[tail_.size()] = 1;
            tail_.push_back(sqlite3_column_int64(stmt, 0));
        }
    } catch (const DbError& e) {
        tail_.clear();
        raiseAsWritten(e);
    }
    tailStatement_.reset();
    tailAsked_ = rows;
    if (!complete_) keysOtherCommits_ = otherCommits();
    endPage(End::Back, 0, static_cast<int64_t>(tail_.size()));
    return !tail_.empty();
}

// The rowids of the page holding `position` counted from the back, read after the tail with no
// write in between, so that they join it; the pages between stay unknown (unknownRowid) until a
// move reaches them. SQLite steps over the rows before the page without handing them out, as a
// jump of the scroll bar needs no rowid but the ones it lands on. False when the page cannot join
// the tail (a write since, or the result ends before the position): only the full list of rowids
// then tells where the position lies.
bool KeysetCursor::readTailPage(int64_t position) {
    if (query_.tailKeySql.empty() || changeCount() != partialStamp_ || position < 0) return false;
    if (static_cast<int64_t>(tail_.size()) < tailAsked_) return false;
    const int64_t start = position / pageSize * pageSize;
    if (!tailKeyStatement_.get()) {
        tailKeyStatement_ = shelf().take(database().handle(), query_.tailKeySql);
        for (size_t i = 0; i < params_.size(); ++i)
            tailKeyStatement_.bind(static_cast<int>(i + 1), params_[i]);
    }
    sqlite3_stmt* stmt = tailKeyStatement_.get();
    const int limit = sqlite3_bind_parameter_count(stmt) - 1;
    sqlite3_bind_int64(stmt, limit, pageSize);
    sqlite3_bind_int64(stmt, limit + 1, start);
    std::vector<int64_t> rowids;
    try {
        while (tailKeyStatement_.step())
            rowids.push_back(sqlite3_column_int64(stmt, 0));
    } catch (const DbError& e) {
        raiseAsWritten(e);
    }
    tailKeyStatement_.reset();
    if (start + static_cast<int64_t>(rowids.size()) <= position) return false;
    const size_t end = static_cast<size_t>(start) + rowids.size();
    if (tail_.size() < end) tail_.resize(end, unknownRowid);
    std::copy(rowids.begin(), rowids.end(), tail_.begin() + start);
    tailAsked_ = std::max<int64_t>(tailAsked_, static_cast<int64_t>(tail_.size()));
    return true;
}

void KeysetCursor::completeKeys() {
    if (!complete_) readAllKeys();
}

// Every rowid of the result as the file now holds them, in place of those read before; the
// current row stays current wherever it now stands, and a place between rows stays between the
// rows around it, found again by their rowids.
void KeysetCursor::readAllKeys() {
    // Before the first look from the front the position is the first row, whatever it is.
    std::optional<int64_t> current;
    if ((complete_ || started_ || end_ == End::Back) && onRow()) current = currentRowid();
    // A row another copy deleted may have left its rowid to a new row: the current row is known
    // by the order keys it was read with too, while the page read holds them.
    std::optional<std::vector<Value>> keys;
    if (current && otherCommits() != keysOtherCommits_) keys = currentKeys();
    const bool pastLast =
        !betweenRows_ &&
        (end_ == End::Back ? index_ < 0
                           : complete_ && index_ >= static_cast<int64_t>(keys_.size()));
    std::vector<int64_t> rowids;
    readRowids(keyStatement_, query_.keySql, rowids);
    const End end = end_;
    const int64_t index = index_;
    const std::vector<int64_t> earlier = std::exchange(end == End::Front ? keys_ : tail_, {});
    keys_ = std::move(rowids);
    complete_ = true;
    keysOtherCommits_ = otherCommits();
    rowReady_ = false;
    auto count = static_cast<int64_t>(keys_.size());
    index_ = end == End::Front ? index : index < 0 ? count : count - 1 - index;
    index_ = std::clamp<int64_t>(index_, -1, count);
    if (pastLast)
        index_ = count;
    else if (current)
        findRowAgain(*current, keys, earlier, end, index);
    else if (betweenRows_)
        findPlaceAgain(earlier, end, index);
    end_ = End::Front;
    tail_.clear();
    tailAsked_ = 0;
    if (page_.end == End::Back) page_.valid = false;
    // A stream that no longer agrees with the rowids ends at its next row.
    if (streaming_ && !(streamNext_ < count &&
                        keys_[streamNext_] == sqlite3_column_int64(streamStatement_.get(), 0)))
        endStream();
}

// The current row, `rowid` read with the order keys `keys` (when known), among the rowids read
// anew, after it stood at `index` from `end` in `earlier`. When it is gone (deleted meanwhile, its
// rowid perhaps given to a new row), the position lies between rows where it stood.
void KeysetCursor::findRowAgain(int64_t rowid, const std::optional<std::vector<Value>>& keys,
                                const std::vector<int64_t>& earlier, End end, int64_t index) {
    const auto count = static_cast<int64_t>(keys_.size());
    const bool same = !keys || stillHoldsKeys(rowid, *keys);
    if (same && index_ >= 0 && index_ < count && keys_[index_] == rowid) return;
    if (auto found = std::find(keys_.begin(), keys_.end(), rowid); same && found != keys_.end()) {
        index_ = found - keys_.begin();
        return;
    }
    findPlaceAgain(earlier, end, index, rowid);
}

// The order keys the current row was read with, while the page read holds it.
std::optional<std::vector<Value>> KeysetCursor::currentKeys() const {
    if (query_.orderKeys == 0 || !page_.valid || page_.end != end_ || index_ < page_.start ||
        index_ >= page_.start + page_.count || !page_.present[index_ - page_.start])
        return std::nullopt;
    const auto slot = static_cast<size_t>(index_ - page_.start);
    std::vector<Value> keys;
    for (size_t i = 0; i < query_.orderKeys; ++i)
        keys.push_back(page_.rows.value(slot, width_ + i, std::nullopt));
    return keys;
}

// Whether the row of `rowid` is there and still holds the order keys it was read with.
bool KeysetCursor::stillHoldsKeys(int64_t rowid, const std::vector<Value>& keys) {
    Statement same = shelf().take(database().handle(), query_.sameRowSql);
    sqlite3_bind_int64(same.get(), 1, rowid);
    for (size_t i = 0; i < keys.size(); ++i)
        same.bind(static_cast<int>(i + 2), keys[i]);
    bool held = false;
    try {
        held = same.step();
    } catch (const DbError& e) {
        raiseAsWritten(e);
    }
    shelf().give(std::move(same));
    return held;
}

// The place between rows that lay at `index` from `end` in `earlier` (where a row now gone stood,
// or, after a Delete, where the next row stood), among the rowids read anew: before the first row
// from there on in `earlier` that still stands, or else after the last one before it, so that
// moving on either way meets neither a row twice nor skips one, however often the file changed;
// with none of them left, where it lay counted from its end.
void KeysetCursor::findPlaceAgain(const std::vector<int64_t>& earlier, End end, int64_t index,
                                  std::optional<int64_t> gone) {
    const auto count = static_cast<int64_t>(keys_.size());
    betweenRows_ = true;
    std::unordered_map<int64_t, int64_t> places;
    for (int64_t i = 0; i < count; ++i)
        if (keys_[i] != gone) places.emplace(keys_[i], i);
    // The rows after it run on in the front's rowids, and back towards the last in the tail's.
    const int64_t later = end == End::Front ? 1 : -1;
    const auto placeOfNearest = [&](int64_t from, int64_t direction) -> std::optional<int64_t> {
        for (int64_t i = from; i >= 0 && i < static_cast<int64_t>(earlier.size()); i += direction)
            if (auto place = places.find(earlier[i]); place != places.end()) return place->second;
        return std::nullopt;
    };
    if (auto next = placeOfNearest(index, later))
        index_ = *next;
    else if (auto previous = placeOfNearest(index - later, -later))
        index_ = *previous + 1;
    else
        index_ = std::clamp<int64_t>(end == End::Front ? index : count - index, 0, count);
}

// Whether the rowids kept were read before the file changed under them. Those read in part give
// way to any write since; the full list gives way to another copy's commit, and follows the writes
// of this program itself as before (a row it added joins the end, a row it deleted reads as
// deleted). The stream's own rows are one state of the file however long it runs.
bool KeysetCursor::keysStale() const {
    if (streaming_) return false;
    if (complete_) return otherCommits() != keysOtherCommits_;
    return holdsRows() && changeCount() != partialStamp_;
}

bool KeysetCursor::holdsRows() const {
    return complete_ || started_ || !tail_.empty();
}

// Rowids read before the file changed are read again, keeping the current row.
void KeysetCursor::followFile() {
    if (keysStale()) readAllKeys();
}

// Nothing read before the file changed is kept: the recordset reads as if it had just opened, as
// a move to either end or to a place counted from the front does not start from the current row.
void KeysetCursor::forgetStaleRows() {
    if (!keysStale()) return;
    endStream();
    keys_.clear();
    tail_.clear();
    tailAsked_ = 0;
    complete_ = false;
    started_ = false;
    partialStamp_ = changeCount();
    page_.valid = false;
    rowReady_ = false;
}

bool KeysetCursor::onRow() {
    return !betweenRows_ && !bof() && !eof();
}

int64_t KeysetCursor::currentRowid() const {
    return keysAt(end_)[index_];
}

bool KeysetCursor::bof() {
    if (end_ == End::Front && !complete_) start();
    if (complete_) return keys_.empty() || index_ < 0;
    return end_ == End::Front && index_ < 0;
}

bool KeysetCursor::eof() {
    if (end_ == End::Front && !complete_) start();
    if (complete_) return keys_.empty() || index_ >= static_cast<int64_t>(keys_.size());
    return end_ == End::Back && index_ < 0;
}

int64_t KeysetCursor::count() {
    FileLook look(database());
    followFile();
    completeKeys();
    return static_cast<int64_t>(keys_.size());
}

// Every move leaves the row: its place in the page and an unsaved AddNew or Edit go with it.
void KeysetCursor::leaveRow() {
    rowReady_ = false;
    pending_ = Pending::None;
}

void KeysetCursor::moveFirst() {
    leaveRow();
    betweenRows_ = false;
    if (!streaming_ && holdsRows()) {
        FileLook look(database());
        forgetStaleRows();
    }
    end_ = End::Front;
    index_ = 0;
}

void KeysetCursor::moveLast() {
    leaveRow();
    betweenRows_ = false;
    FileLook look(database());
    forgetStaleRows();
    if (!complete_ && !query_.tailSql.empty() && readTail(1)) {
        end_ = End::Back;
        index_ = 0;
        return;
    }
    completeKeys();
    end_ = End::Front;
    index_ = keys_.empty() ? 0 : static_cast<int64_t>(keys_.size()) - 1;
}

// A move first looks whether the file changed, and holds the state it saw while it reads, so that
// the rowids it reads join those kept. A move of the stream, or on a page it read, needs no look:
// they hold one state of the file.
void KeysetCursor::move(int64_t n) {
    leaveRow();
    if (streaming_ || staysOnStreamedPage(n)) return moveBy(n);
    FileLook look(database());
    followFile();
    moveBy(n);
}

// The rows of a page the stream read are of the stream's state of the file also once the stream has
// met its end, so that a loop reading to the end looks at the file no more often than the stream.
bool KeysetCursor::staysOnStreamedPage(int64_t n) const {
    if (!page_.valid || !page_.streamed || page_.stamp != changeCount() || end_ != End::Front ||
        betweenRows_)
        return false;
    return index_ + n >= page_.start && index_ + n < page_.start + page_.count;
}

void KeysetCursor::moveBy(int64_t n) {
    if (betweenRows_) {
        if (n == 0) return;
        betweenRows_ = false;
        // The next row already stands at index_.
        if (n > 0) --n;
    }
    if (end_ == End::Back) {
        int64_t target = index_ - n;
        auto known = static_cast<int64_t>(tail_.size());
        // Walking back from the last row reads a whole page of the tail before everything.
        if (target >= known && known == tailAsked_ && tailAsked_ < pageSize) readTail(pageSize);
        const bool read = target < 0 || (target < static_cast<int64_t>(tail_.size()) &&
                                         tail_[target] != unknownRowid);
        if (read || readTailPage(target)) {
            index_ = std::max<int64_t>(target, -1);
            return;
        }
    } else {
        if (!complete_) start();
        int64_t target = index_ + n;
        // A short step past the rows read so far goes on with the stream.
        auto known = [&] { return static_cast<int64_t>(keys_.size()); };
        while (!complete_ && streaming_ && target >= known() && target < known() + 4 * pageSize)
            readStreamPage();
        if (complete_) {
            index_ = std::clamp<int64_t>(target, -1, static_cast<int64_t>(keys_.size()));
            return;
        }
        if (target < known()) {
            index_ = std::max<int64_t>(target, -1);
            return;
        }
    }
    completeKeys();
    moveBy(n);
}

int64_t KeysetCursor::absolutePosition() {
    FileLook look(database());
    followFile();
    if (betweenRows_ || bof() || eof()) return -1;
    completeKeys();
    return index_;
}

void KeysetCursor::setAbsolutePosition(int64_t position) {
    leaveRow();
    FileLook look(database());
    forgetStaleRows();
    completeKeys();
    if (position < 0 || position >= static_cast<int64_t>(keys_.size()))
        raise("沒有第 " + std::to_string(position) + " 筆");
    betweenRows_ = false;
    index_ = position;
}

Value KeysetCursor::field(int index) {
    if (rowReady_ && pending_ == Pending::None && *changeCounter_ == page_.stamp &&
        static_cast<size_t>(index) < width_)
        return page_.rows.value(rowSlot_, static_cast<size_t>(index), kinds_[index]);
    checkIndex(index);
    if (pending_ == Pending::Adding) return pendingValues_[index].value_or(Value());
    if (pending_ == Pending::Editing && pendingValues_[index]) return *pendingValues_[index];
    if (!onRow()) raiseNoCurrentRow();
    locateRow();
    return page_.rows.value(rowSlot_, static_cast<size_t>(index), kinds_[index]);
}

std::string KeysetCursor::fieldText(int index) {
    if (rowReady_ && pending_ == Pending::None && *changeCounter_ == page_.stamp &&
        static_cast<size_t>(index) < width_)
        return page_.rows.text(rowSlot_, static_cast<size_t>(index), kinds_[index]);
    return field(index).text();
}

void KeysetCursor::locateRow() {
    bool covered = page_.valid && page_.stamp == changeCount() && page_.end == end_ &&
                   index_ >= page_.start && index_ < page_.start + page_.count;
    if (!covered) {
        FileLook look(database());
        followFile();
        if (!onRow()) raise(RowDeletedMessage);
        readPage();
    }
    auto slot = static_cast<size_t>(index_ - page_.start);
    if (!page_.present[slot]) raise(RowDeletedMessage);
    rowSlot_ = slot;
    rowReady_ = true;
}

// Pages are aligned, so that moving forward or backward row by row reads each page once.
void KeysetCursor::readPage() {
    if (!started_ && end_ == End::Front && index_ == 0) {
        start();
        if (page_.valid && page_.end == End::Front && page_.start == 0 && page_.count > 0) return;
    }
    if (streaming_ && end_ == End::Front && index_ >= streamNext_ &&
        index_ < streamPageEnd(streamNext_))
        return readStreamPage();
    int64_t start = index_ / pageSize * pageSize;
    endStream();
    const auto& keys = keysAt(end_);
    readRows(keys, start, std::min<int64_t>(pageSize, static_cast<int64_t>(keys.size()) - start));
}

void KeysetCursor::readRows(const std::vector<int64_t>& keys, int64_t start, int64_t count) {
    if (!pageStatement_.get()) pageStatement_ = shelf().take(database().handle(), query_.pageSql);
    std::vector<std::pair<int64_t, int64_t>> slots;  // rowid and place in the page
    for (int64_t i = 0; i < pageSize; ++i) {
        if (i < count) {
            sqlite3_bind_int64(pageStatement_.get(), static_cast<int>(i + 1), keys[start + i]);
            slots.emplace_back(keys[start + i], i);
        } else {
            sqlite3_bind_null(pageStatement_.get(), static_cast<int>(i + 1));
        }
    }
    std::sort(slots.begin(), slots.end());
    beginPage(static_cast<size_t>(count));
    sqlite3_stmt* stmt = pageStatement_.get();
    try {
        while (pageStatement_.step()) {
            int64_t rowid = sqlite3_column_int64(stmt, 0);
            auto found =
                std::lower_bound(slots.begin(), slots.end(), std::make_pair(rowid, int64_t{0}));
            if (found == slots.end() || found->first != rowid) continue;
            page_.rows.read(stmt, static_cast<size_t>(found->second), 1);
            page_.present[found->second] = 1;
        }
    } catch (const DbError& e) {
        raiseAsWritten(e);
    }
    pageStatement_.reset();
    endPage(end_, start, count);
}

// The statements of the cursor are its own rewriting of the query: a fault names the query as the
// caller wrote it.
void KeysetCursor::raiseAsWritten(const DbError& e) const {
    throw DbError(e.what(), sql(), e.code());
}

// The page is invalid while it is read, so that a failed read leaves none half filled.
void KeysetCursor::beginPage(size_t rows) {
    rowReady_ = false;
    page_.valid = false;
    page_.streamed = false;
    page_.rows.reset(rows, width_ + query_.orderKeys);
    page_.present.assign(rows, 0);
}

void KeysetCursor::endPage(End end, int64_t start, int64_t count) {
    page_.valid = true;
    page_.stamp = changeCount();
    page_.end = end;
    page_.start = start;
    page_.count = count;
}

void KeysetCursor::addNew() {
    pending_ = Pending::Adding;
    pendingValues_.assign(columns().size(), std::nullopt);
}

// The row's fields as the recordset read them, exactly as stored (no conversion by kind), are
// what Update expects to find still stored.
void KeysetCursor::edit() {
    if (!onRow()) raiseNoCurrentRow();
    locateRow();
    readValues_.clear();
    for (size_t i = 0; i < width_; ++i)
        readValues_.push_back(page_.rows.value(rowSlot_, i, std::nullopt));
    pending_ = Pending::Editing;
    editRowid_ = currentRowid();
    pendingValues_.assign(columns().size(), std::nullopt);
}

void KeysetCursor::setField(int index, const Value& value) {
    checkIndex(index);
    const ColumnInfo& column = columns()[index];
    if (pending_ == Pending::None) raise("請先 AddNew 或 Edit");
    if (column.origin.empty()) raise("欄位「" + column.name + "」不能寫入");
    pendingValues_[index] = convertForField(value, column);
}

void KeysetCursor::update() {
    if (pending_ == Pending::None) raise("沒有 AddNew 或 Edit 就 Update");
    if (pending_ == Pending::Adding)
        insertPending();
    else
        updatePending();
    pending_ = Pending::None;
}

// The new row joins the end of the rowids; they are read in full first, so that the full read
// cannot meet the new row a second time. The INSERT is prepared once for the fields a row sets
// and kept while the next rows set the same ones, as a table filled row by row does.
void KeysetCursor::insertPending() {
    completeKeys();
    std::vector<char> fields(pendingValues_.size());
    for (size_t i = 0; i < pendingValues_.size(); ++i)
        fields[i] = pendingValues_[i] ? 1 : 0;
    if (!insertStatement_.get() || fields != insertFields_) {
        shelf().give(std::move(insertStatement_));
        insertStatement_ = shelf().take(database().handle(), insertSql(fields));
        insertFields_ = std::move(fields);
    }
    releaseDatabaseReads();
    // Every parameter is bound anew for each row, so the row's own values can be lent.
    int bound = 0;
    for (const auto& value : pendingValues_)
        if (value) insertStatement_.bindBorrowed(++bound, *value);
    insertStatement_.run();
    keys_.push_back(sqlite3_last_insert_rowid(database().handle()));
    noteChange();
}

std::string KeysetCursor::insertSql(const std::vector<char>& fields) const {
    std::string names, marks;
    for (size_t i = 0; i < fields.size(); ++i) {
        if (!fields[i]) continue;
        names += (marks.empty() ? "" : ", ") + quoteIdentifier(columns()[i].origin);
        marks += marks.empty() ? "?" : ", ?";
    }
    return "INSERT INTO " + quoteIdentifier(query_.table) +
           (marks.empty() ? " DEFAULT VALUES" : " (" + names + ") VALUES (" + marks + ")");
}

// The row is changed only where it still holds every field as the recordset read it, so that a
// change saved meanwhile by another copy of the program is never overwritten unseen; a row
// deleted meanwhile is no longer there to change. Either way nothing is written, and the
// recordset reads the row afresh.
void KeysetCursor::updatePending() {
    std::string assignments, unchanged;
    std::vector<Value> values, expected;
    for (size_t i = 0; i < pendingValues_.size(); ++i) {
        const std::string& field = columns()[i].origin;
        if (field.empty()) continue;
        unchanged += " AND " + quoteIdentifier(field) + " IS ? COLLATE BINARY";
        expected.push_back(readValues_[i]);
        if (!pendingValues_[i]) continue;
        assignments += (values.empty() ? "" : ", ") + quoteIdentifier(field) + " = ?";
        values.push_back(*pendingValues_[i]);
    }
    if (values.empty()) return;
    releaseDatabaseReads();
    // A form saves the same fields of its rows again and again: the statement is kept on the
    // shelf by its text rather than prepared for every save.
    Statement change =
        shelf().take(database().handle(), "UPDATE " + quoteIdentifier(query_.table) + " SET " +
                                              assignments + " WHERE rowid = ?" + unchanged);
    int index = 0;
    for (const Value& value : values)
        change.bind(++index, value);
    sqlite3_bind_int64(change.get(), ++index, editRowid_);
    for (const Value& value : expected)
        change.bind(++index, value);
    const std::string sql = change.sql();
    change.run();
    shelf().give(std::move(change));
    noteChange();
    // The page holds the row as it was read, its order keys included.
    page_.valid = false;
    rowReady_ = false;
    if (sqlite3_changes(database().handle()) == 0) {
        pending_ = Pending::None;
        page_.valid = false;
        rowReady_ = false;
        throw UpdateConflict(UpdateConflict::ChangedMeanwhile, sql, SQLITE_ABORT);
    }
}

// The row is deleted as the recordset knows it: one another copy deleted meanwhile is not there to
// delete, whatever row SQLite has since given its rowid. The look and the deletion hold the write
// lock together, so that no other copy commits between them.
void KeysetCursor::remove() {
    leaveRow();
    if (!onRow()) raiseNoCurrentRow();
    Transaction removal(database(), TransactionKind::Writes);
    {
        FileLook look(database());
        followFile();
    }
    if (!onRow()) raise(RowDeletedMessage);
    int64_t rowid = currentRowid();
    completeKeys();
    releaseDatabaseReads();
    Statement erase(database().handle(),
                    "DELETE FROM " + quoteIdentifier(query_.table) + " WHERE rowid = ?");
    sqlite3_bind_int64(erase.get(), 1, rowid);
    erase.run();
    removal.Commit();
    noteChange();
    if (!(index_ >= 0 && index_ < static_cast<int64_t>(keys_.size()) && keys_[index_] == rowid)) {
        auto found = std::find(keys_.begin(), keys_.end(), rowid);
        if (found == keys_.end()) return;
        index_ = found - keys_.begin();
    }
    keys_.erase(keys_.begin() + index_);
    betweenRows_ = true;
    page_.valid = false;
}

}  // namespace kiv
