#pragma once

// Reading and writing SQL text, for the database layer and for the report reader, which quotes the
// tables its templates name.

#include <cstddef>
#include <optional>
#include <string>
#include <string_view>

namespace kiv {

// The name as an SQL identifier in double quotes, so that any table or field name is safe.
std::string quoteIdentifier(std::string_view name);

// ASCII letters compared without case, as SQLite compares identifiers.
bool sameIdentifier(std::string_view a, std::string_view b);

// How a query over one table is read as a keyset cursor: the statements that give the rowids of
// its result in order, and the head of the statement that reads its rows by rowid.
struct KeysetQuery {
    std::string table;       // the table's name, unquoted
    std::string keySql;      // the rowids of the result, in the query's order
    std::string streamSql;   // the rowid and the query's own columns, in the same order
    std::string tailSql;     // the rowid and the query's own columns of the last rows, last
                             // first, as many as the parameter after the query's own; empty
                             // when the order cannot be reversed
    std::string tailKeySql;  // the rowids alone of the rows counted from the last, last first:
                             // as many as the parameter after the query's own, after skipping
                             // as many as the next one; empty with tailSql
    std::string pageSql;     // the rowid and the query's own columns of up to pageSize rows,
                             // their rowids bound as parameters 1 to pageSize
    // streamSql, tailSql and pageSql end with the query's order keys, orderKeys columns after its
    // own, so that a row is known by its rowid and the keys it was read with: SQLite may give the
    // rowid of a row another copy deleted to a new row.
    size_t orderKeys = 0;
    std::string sameRowSql;  // 1 when the row of the rowid (parameter 1) still holds the order
                             // keys bound after it; empty when the query has none
    static constexpr int pageSize = 64;
};

// The keyset form of a plain query over one table: a SELECT of plain columns or "*" from one table,
// with WHERE, ORDER BY and LIMIT only. Any other query (joins, aggregates, DISTINCT, GROUP BY,
// compound selects, expressions among the columns, ORDER BY by column number or by an alias) gives
// nullopt and is read whole: a keyset of those would not read back what the query means.
std::optional<KeysetQuery> keysetQueryOf(std::string_view sql);

}  // namespace kiv
