#include "platform/db/ShownRows.h"

#include <algorithm>

#include "platform/db/Database.h"

namespace kiv {

ShownRows::ShownRows(Database& db, Sql sql, std::vector<Value> params)
    : sql_(std::move(sql)), params_(std::move(params)), rows_(read(db, sql_, params_)) {}

void ShownRows::CheckUnchanged(Database& db) const {
    if (sql_.text().empty()) return;
    if (read(db, sql_, params_) != rows_) raiseConflict();
}

// The rows read must stand among the stored ones in the order they were read.
void ShownRows::CheckNoneChangedOrDeleted(Database& db) const {
    if (sql_.text().empty()) return;
    Rows stored = read(db, sql_, params_);
    auto next = stored.begin();
    for (const auto& row : rows_) {
        next = std::find(next, stored.end(), row);
        if (next == stored.end()) raiseConflict();
        ++next;
    }
}

void ShownRows::raiseConflict() const {
    throw UpdateConflict();
}

void ShownRows::Reread(Database& db) {
    if (!sql_.text().empty()) rows_ = read(db, sql_, params_);
}

ShownRows::Rows ShownRows::read(Database& db, const Sql& sql, const std::vector<Value>& params) {
    Rows rows;
    for (Recordset rs = db.OpenRecordsetWith(sql, params); !rs.Eof(); rs.MoveNext()) {
        std::vector<Value> row;
        row.reserve(rs.FieldCount());
        for (int i = 0; i < rs.FieldCount(); ++i)
            row.push_back(rs.Fields(i));
        rows.push_back(std::move(row));
    }
    return rows;
}

void ChangeShownStateWith(Database& db, const Sql& sql, const std::vector<Value>& params) {
    if (db.ExecuteWith(sql, params) == 1) return;
    throw UpdateConflict();
}

}  // namespace kiv
