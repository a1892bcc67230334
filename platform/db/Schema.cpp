#include "platform/db/Schema.h"

#include "platform/db/SqlText.h"

namespace kiv {

const TableDef* Schema::table(const std::string& name) const {
    for (const auto& t : tables)
        if (sameIdentifier(t.name, name)) return &t;
    return nullptr;
}

const FieldDef* Schema::field(const std::string& tableName, const std::string& name) const {
    const TableDef* t = table(tableName);
    if (!t) return nullptr;
    for (const auto& f : t->fields)
        if (sameIdentifier(f.name, name)) return &f;
    return nullptr;
}

// Dates are ISO texts so that text order is date order; the check keeps anything else out.
std::string columnSql(const FieldDef& field) {
    std::string name = quoteIdentifier(field.name);
    std::string sql = name;
    switch (field.kind) {
        case FieldKind::Text:
            sql += field.noCase ? " TEXT COLLATE NOCASE" : " TEXT";
            break;
        case FieldKind::Integer:
        case FieldKind::Boolean:
            sql += " INTEGER";
            break;
        case FieldKind::Real:
            sql += " REAL";
            break;
        case FieldKind::Date:
            sql += " TEXT";
            break;
    }
    if (field.notNull || field.kind == FieldKind::Boolean) sql += " NOT NULL";
    if (field.primaryKey) sql += " PRIMARY KEY";
    if (!field.defaultSql.empty())
        sql += " DEFAULT " + field.defaultSql;
    else if (field.kind == FieldKind::Boolean)
        sql += " DEFAULT 0";
    if (field.kind == FieldKind::Boolean) sql += " CHECK (" + name + " IN (0, 1))";
    if (field.kind == FieldKind::Date)
        sql += " CHECK (" + name + " IS NULL OR " + name +
               " GLOB '[0-9][0-9][0-9][0-9]-[0-9][0-9]-[0-9][0-9]*')";
    return sql;
}

std::string createTableSql(const TableDef& table) {
    std::string sql = "CREATE TABLE " + quoteIdentifier(table.name) + " (";
    for (size_t i = 0; i < table.fields.size(); ++i)
        sql += (i == 0 ? "" : ", ") + columnSql(table.fields[i]);
    return sql + ") STRICT";
}

std::string createIndexSql(const IndexDef& index) {
    std::string sql = std::string(index.unique ? "CREATE UNIQUE INDEX " : "CREATE INDEX ") +
                      quoteIdentifier(index.name) + " ON " + quoteIdentifier(index.table) + " (";
    for (size_t i = 0; i < index.columns.size(); ++i)
        sql += (i == 0 ? "" : ", ") + quoteIdentifier(index.columns[i]);
    return sql + ")";
}

}  // namespace kiv
