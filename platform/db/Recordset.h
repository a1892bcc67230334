#pragma once

#include <cstdint>
#include <memory>
#include <optional>
#include <string>
#include <string_view>

#include "platform/db/Value.h"

namespace kiv {

class Database;
class RecordsetImpl;

// The rows of one query, with a current row. A query over one table is a keyset cursor: the rowids
// of the result, in order, give RecordCount, Move and AbsolutePosition, and each row is read when
// it is reached, a small page at a time; only results of joins or aggregates are read whole. The
// rowids are read when first needed: opening and reading forward, or moving to the last row, read
// only the pages they reach. A recordset over one table can add, edit and delete rows. Writes
// through the Database show in the rows read after them. Once another copy of the program commits,
// the rowids and rows kept are read again at the next move, keeping the current row, so that rows
// read before that commit are never joined to rows read after it.
class Recordset {
  public:
    Recordset();
    ~Recordset();
    Recordset(Recordset&&) noexcept;
    Recordset& operator=(Recordset&&) noexcept;

    // Before the first row / past the last; both at once when the result is empty.
    bool Bof() const;
    bool Eof() const;
    // The exact number of rows of the whole result.
    int64_t RecordCount() const;

    void MoveFirst();
    void MoveLast();
    void MoveNext();
    void MovePrevious();
    // Moves n rows from the current one (n may be negative); past either end gives Bof or Eof.
    void Move(int64_t n);
    // The 0-based position of the current row; -1 at Bof or Eof.
    int64_t AbsolutePosition() const;
    void SetAbsolutePosition(int64_t position);

    int FieldCount() const;
    std::string FieldName(int index) const;
    // The current row's field by position or by name (case-insensitive; "table.field" finds a
    // field of a join whose names repeat). Reading at Bof or Eof, or an unknown name, raises
    // DbError. During AddNew or Edit it reads the pending value.
    Value Fields(int index) const;
    Value Fields(std::string_view name) const;
    // Fields(index).text() read without a Value in between, for lists that show many rows.
    std::string FieldText(int index) const;
    // The position of a field by name, as Fields finds it: a form reading many rows looks each
    // field up once and then reads it by position.
    int FieldIndex(std::string_view name) const;

    // Starts a new row; fields set before Update are written, the rest take their defaults. After
    // Update the new row is at the end of the recordset and the current row is what it was.
    // Moving before Update discards the pending row, as the old recordsets did.
    void AddNew();
    // Starts changing the current row.
    void Edit();
    // Sets a field of the pending row. The value is converted to the field's kind: into a number
    // field "" is Null and "12,000" is 12000 (a text that is not a number raises
    // ConversionError); into a date field a Date or a date text; into a Boolean field any
    // Boolean or number.
    void SetField(int index, const Value& value);
    void SetField(std::string_view name, const Value& value);
    // Writes the pending row (a unique-key refusal raises UniqueViolation and keeps the pending
    // row, so the caller may cancel it). After Edit the row is written only if it still holds
    // every field as the recordset read it: changed or deleted meanwhile (by another copy of the
    // program), nothing is written, UpdateConflict is raised, the pending change is dropped and
    // the fields read the stored row again.
    void Update();
    void CancelUpdate();
    bool EditPending() const;
    // Deletes the current row; the current position then lies on no row until a Move.
    void Delete();
    void Close();

    bool IsUpdatable() const;

  private:
    friend class Database;
    explicit Recordset(std::unique_ptr<RecordsetImpl> impl);
    RecordsetImpl& impl() const;
    std::unique_ptr<RecordsetImpl> impl_;
};

}  // namespace kiv
