#pragma once

#include <memory>
#include <ostream>
#include <string>

#include "platform/db/Database.h"
#include "tests/support/TempFolder.h"

namespace kiv {

// Values print as their kind and text in test failures.
inline void PrintTo(const Value& value, std::ostream* out) {
    static const char* const kinds[] = {"Null", "Boolean", "Integer", "Double", "Text", "Date"};
    *out << kinds[static_cast<int>(value.kind())] << " \"" << value.text() << "\"";
}

}  // namespace kiv

namespace kiv::test {

inline FieldDef field(std::string name, FieldKind kind = FieldKind::Text) {
    FieldDef f;
    f.name = std::move(name);
    f.kind = kind;
    return f;
}

// A small book with Chinese table and field names, a field of every kind and one that compares
// exactly.
inline Schema testSchema() {
    FieldDef name = field("名稱"), exact = field("備註");
    name.notNull = true;
    exact.noCase = false;
    Schema schema;
    schema.tables.push_back(
        {"帳目",
         {name, field("金額", FieldKind::Integer), field("比率", FieldKind::Real),
          field("日期", FieldKind::Date), field("已付", FieldKind::Boolean), exact}});
    schema.tables.push_back({"類別", {field("名稱"), field("類")}});
    schema.indexes.push_back({"帳目_名稱", "帳目", {"名稱"}, true});
    return schema;
}

inline Value scalar(Database& db, const Sql& sql, const std::vector<Value>& params = {}) {
    return db.OpenRecordsetWith(sql, params).Fields(0);
}

// A fresh book in a temporary folder.
struct TestBook {
    TempFolder folder;
    std::string path = folder.file("book.mdb");
    std::unique_ptr<Database> db = Database::open(path, testSchema());

    void addRow(const std::string& name, Value amount, Value day = {}, bool paid = false) {
        db->Execute("INSERT INTO 帳目 (名稱, 金額, 日期, 已付) VALUES (?, ?, ?, ?)", name, amount,
                    day, paid);
    }
    int64_t rows() { return scalar(*db, "SELECT count(*) FROM 帳目").wholeNumber(); }
};

// The error's text, "unique" for a duplicate key, or "" when nothing was raised.
template <class F>
std::string errorText(F action) {
    try {
        action();
    } catch (const UniqueViolation&) {
        return "unique";
    } catch (const DbError& error) {
        return error.what();
    }
    return "";
}

}  // namespace kiv::test
