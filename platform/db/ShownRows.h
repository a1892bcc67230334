#pragma once

#include <vector>

#include "platform/db/Sql.h"
#include "platform/db/Value.h"

namespace kiv {

class Database;

// The rows a form shows for editing, kept as they were read, so that its save writes only while
// the stored rows are still those: a change made meanwhile by another copy of the program is
// never overwritten, and a row it added or deleted is never lost or brought back.
class ShownRows {
  public:
    ShownRows() = default;
    // Reads the rows of `sql` as the form is about to show them. The query must give its rows in
    // a fixed order (an ORDER BY, or one row by its key).
    ShownRows(Database& db, Sql sql, std::vector<Value> params = {});

    // Raises UpdateConflict ("此筆資料已被其他使用者變更，請重新讀取") when the query now gives
    // other rows than were read. Call it inside the save's IMMEDIATE transaction, before its first
    // write, so that nothing can change between the check and the writes.
    void CheckUnchanged(Database& db) const;
    // As CheckUnchanged, for a list that other forms only add to (the voucher form adds words to
    // the lists the word editor shows): rows added meanwhile are allowed, so that the form can
    // take them in; a row read that was changed or deleted, or now stands in another order,
    // raises UpdateConflict.
    void CheckNoneChangedOrDeleted(Database& db) const;
    // Takes the rows as stored now, after the form's own save or after it showed them again.
    void Reread(Database& db);

    bool Empty() const { return rows_.empty(); }

  private:
    using Rows = std::vector<std::vector<Value>>;
    static Rows read(Database& db, const Sql& sql, const std::vector<Value>& params);
    [[noreturn]] void raiseConflict() const;

    Sql sql_ = "";
    std::vector<Value> params_;
    Rows rows_;
};

// A state changes only from the state the user was shown (a cheque processed, a voucher signed
// off, a contract row settled): `sql` is an UPDATE of one row whose WHERE names that state. When
// it changes no row, another copy of the program changed the state meanwhile, and UpdateConflict
// ("此筆資料已被其他使用者變更，請重新讀取") is raised. Run it inside the action's transaction,
// before its first other write, so that a refusal leaves nothing written.
void ChangeShownStateWith(Database& db, const Sql& sql, const std::vector<Value>& params);
template <class... Args>
void ChangeShownState(Database& db, const Sql& sql, const Args&... args) {
    ChangeShownStateWith(db, sql, {Value(args)...});
}

}  // namespace kiv
