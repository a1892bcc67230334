#pragma once

#include <string>
#include <vector>

namespace kiv {

// What a field holds; it decides the SQLite declaration and how values are converted on the way
// in and out (a date is stored as ISO text and read back as a Date, a Boolean as 0/1).
enum class FieldKind { Text, Integer, Real, Boolean, Date };

struct FieldDef {
    std::string name;
    FieldKind kind = FieldKind::Text;
    bool notNull = false;
    bool primaryKey = false;
    // Texts compare without regard to letter case, as the old engine's did; passwords and the
    // report feed tables compare exactly.
    bool noCase = true;
    // SQL text of the column's default, such as "1"; empty for none.
    std::string defaultSql;
};

struct TableDef {
    std::string name;
    std::vector<FieldDef> fields;  // in the table's fixed order
};

struct IndexDef {
    std::string name;
    std::string table;
    std::vector<std::string> columns;
    bool unique = false;
};

// The whole layout of one database file: tables, indexes, and further statements (views and
// seed rows) run once when the file is created.
struct Schema {
    std::vector<TableDef> tables;
    std::vector<IndexDef> indexes;
    std::vector<std::string> creationStatements;

    const TableDef* table(const std::string& name) const;
    const FieldDef* field(const std::string& table, const std::string& name) const;
};

// The CREATE TABLE statement of a table (a STRICT table, fields in order).
std::string createTableSql(const TableDef& table);
// The column declaration of one field, as used by CREATE TABLE and ALTER TABLE ADD COLUMN.
std::string columnSql(const FieldDef& field);
std::string createIndexSql(const IndexDef& index);

}  // namespace kiv
