#pragma once

// The keyset cursor behind a recordset over one table, inside the database layer.

#include <memory>
#include <optional>

#include "platform/db/Errors.h"
#include "platform/db/RecordsetImpl.h"
#include "platform/db/SqlText.h"

namespace kiv {

// The rowids of the result in order, and the rows read a page at a time.
//
// Rows are read in pages of the rowids ("rowid IN (...)"), except while the recordset is read
// forward from its start: then the query itself runs on ("the stream"), giving each page and its
// rowids at the speed of a plain loop. The stream is the only statement left open between calls;
// it ends at the first jump elsewhere, before any write through the Database, and when control goes
// back to the user (endReadsOfOpenDatabases), so no read stays open across a write (it would see
// the write half-way and keep the write-ahead log from being checkpointed) nor past the user action
// that read (every other read of the connection would go on seeing the file as it was then).
//
// Opening only prepares the stream; nothing is read until a row is looked at, and the stream's
// first pages are small (one row, two, four ... up to a page), so that a recordset opened for one
// row reads about one. The full list of rowids is read only when something needs it (RecordCount,
// AbsolutePosition, moving beyond the rows known so far, adding or deleting a row). Moving to the
// last row first reads the last row alone through the reversed order, with its rowid, and the
// position is then counted from the back; walking back from it reads a page of the tail the same
// way, and a jump further back (a scroll bar dragged from the newest row) reads the rowids of the
// page it lands on alone, not the whole list. A write through the Database before
// the full list is read makes it follow the data as it is then, keeping the current row.
//
// Another copy's commit does the same to every rowid kept, the full list included: what was read
// before it is never joined to what is read after it. A move (but one of the stream or on a page it
// read, which hold one state of the file), the ends, the count and the reading of a page first
// look at the file (FileLook), and hold the state they saw while they read. The current row stays
// current wherever it now stands, so that a position counts in the file as it now is; a row deleted
// meanwhile leaves the position between the rows around it, as a Delete does. A row is known by its
// rowid and the order keys it was read with, as SQLite may give a deleted row's rowid to a new
// one. Past the last row stays past the last row, whatever another copy added.
class KeysetCursor : public RecordsetImpl {
  public:
    // Nullptr when SQLite refuses the keyset form of the query (the caller then reads it whole,
    // reporting the fault of the query as written).
    static std::unique_ptr<KeysetCursor> open(Database& db, std::string_view sql,
                                              const KeysetQuery& query,
                                              const std::vector<Value>& params);
    ~KeysetCursor() override;

    bool bof() override;
    bool eof() override;
    int64_t count() override;
    void moveFirst() override;
    void moveLast() override;
    void move(int64_t n) override;
    int64_t absolutePosition() override;
    void setAbsolutePosition(int64_t position) override;
    Value field(int index) override;
    std::string fieldText(int index) override;

    bool updatable() const override { return true; }
    void addNew() override;
    void edit() override;
    void setField(int index, const Value& value) override;
    void update() override;
    void cancelUpdate() override { pending_ = Pending::None; }
    bool editPending() const override { return pending_ != Pending::None; }
    void remove() override;
    void releaseReads() override;
    void detach() override;

  private:
    enum class End { Front, Back };
    enum class Pending { None, Adding, Editing };

    KeysetCursor(Database& db, std::string_view sql, KeysetQuery query, std::vector<Value> params,
                 Statement stream, std::vector<ColumnInfo> columns);

    void start();
    bool readTail(int64_t rows);
    bool readTailPage(int64_t position);
    void readStreamPage();
    bool noteStreamKey(int64_t position, int64_t rowid);
    void endStream();
    void readRowids(Statement& statement, const std::string& sql, std::vector<int64_t>& rowids);
    void completeKeys();
    void readAllKeys();
    void findRowAgain(int64_t rowid, const std::optional<std::vector<Value>>& keys,
                      const std::vector<int64_t>& earlier, End end, int64_t index);
    void findPlaceAgain(const std::vector<int64_t>& earlier, End end, int64_t index,
                        std::optional<int64_t> gone = std::nullopt);
    std::optional<std::vector<Value>> currentKeys() const;
    bool stillHoldsKeys(int64_t rowid, const std::vector<Value>& keys);
    bool keysStale() const;
    bool holdsRows() const;
    void followFile();
    void forgetStaleRows();
    bool staysOnStreamedPage(int64_t n) const;
    void moveBy(int64_t n);
    bool onRow();
    void leaveRow();
    int64_t currentRowid() const;
    const std::vector<int64_t>& keysAt(End end) const { return end == End::Front ? keys_ : tail_; }
    void locateRow();
    void readPage();
    void readRows(const std::vector<int64_t>& keys, int64_t start, int64_t count);
    void beginPage(size_t rows);
    void endPage(End end, int64_t start, int64_t count);
    [[noreturn]] void raiseAsWritten(const DbError& e) const;
    void insertPending();
    std::string insertSql(const std::vector<char>& fields) const;
    void updatePending();

    KeysetQuery query_;
    std::vector<Value> params_;
    Statement streamStatement_;
    Statement keyStatement_;
    Statement tailStatement_;
    Statement tailKeyStatement_;
    Statement pageStatement_;
    size_t width_;
    std::vector<std::optional<FieldKind>> kinds_;

    // keys_ holds every rowid when complete_, else the first ones; tail_ the last ones, last first,
    // read for tailAsked_ rows (fewer when the result has fewer), whole pages of it beyond the
    // first possibly not read yet (unknownRowid). Both parts are read with no write in between,
    // at partialStamp_.
    std::vector<int64_t> keys_;
    std::vector<int64_t> tail_;
    int64_t tailAsked_ = 0;
    bool complete_ = false;
    bool started_ = false;
    uint64_t partialStamp_ = 0;
    // Another copy's commits noticed when the rowids read so far were read.
    uint64_t keysOtherCommits_ = 0;

    // While streaming_, the stream stands on the row at position streamNext_, the first of the
    // page after the one it read last, and that row's rowid is in keys_.
    bool streaming_ = false;
    int64_t streamNext_ = 0;

    // Counted from the front (-1 is Bof) or, before the keys are complete, from the back (0 is
    // the last row, -1 is Eof).
    End end_ = End::Front;
    int64_t index_ = 0;
    // After Delete, or a row deleted meanwhile, the position lies between rows: index_ is where
    // the next row now stands. The rowids are then complete, so that a new reading of them finds
    // the place again by the rows around it.
    bool betweenRows_ = false;

    struct Page {
        bool valid = false;
        // Read by the stream.
        bool streamed = false;
        uint64_t stamp = 0;
        End end = End::Front;
        int64_t start = 0;
        int64_t count = 0;
        RowBuffer rows;
        std::vector<char> present;
    } page_;

    // The current row's place in the page, while nothing has moved or been written since the page
    // was read: reading the fields of one row looks it up once.
    bool rowReady_ = false;
    size_t rowSlot_ = 0;
    const uint64_t* changeCounter_;

    Pending pending_ = Pending::None;
    std::vector<std::optional<Value>> pendingValues_;
    int64_t editRowid_ = 0;
    // The fields of the row being edited as they were read, to find them unchanged on Update.
    std::vector<Value> readValues_;
    // The INSERT of the last added row and the fields it sets.
    Statement insertStatement_;
    std::vector<char> insertFields_;
};

}  // namespace kiv
